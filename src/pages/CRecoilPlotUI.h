#pragma once

#include <vector>

#include "profiles/ShootGun.h"
#include "ui/CControlUI.h"

namespace kx520 {

// A gun's recoil pattern as the aim moves: each bullet a dot where its
// corrections have taken the aim so far (left is left, down is down),
// joined in firing order, the selected bullet ringed. Scaled to fit.
class CRecoilPlotUI : public ui::CControlUI {
    Q_OBJECT

public:
    explicit CRecoilPlotUI(QWidget* parent = nullptr) : ui::CControlUI(parent) {}
    QString GetClass() const override { return QStringLiteral("RecoilPlotUI"); }

    void SetBullets(std::vector<profiles::Bullet> bullets);
    void SetSelected(int bullet);
    const std::vector<profiles::Bullet>& Bullets() const { return m_bullets; }

protected:
    void PaintStatusImage(QPainter& painter) override;

private:
    std::vector<profiles::Bullet> m_bullets;
    int m_selected = -1;
};

}  // namespace kx520
