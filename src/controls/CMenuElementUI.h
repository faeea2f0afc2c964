#pragma once

#include "controls/CButtonUI.h"

namespace kx520::ui {

// One command of a pop-up menu. A checkable item flips its check mark when
// chosen; the menu then reports the item to its owner.
class CMenuElementUI : public CButtonUI {
    Q_OBJECT

public:
    explicit CMenuElementUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("MenuElement"); }

    bool IsCheckable() const { return m_checkable; }
    bool IsChecked() const { return m_checked; }
    void SetChecked(bool checked);

    bool SetAttribute(const QString& name, const QString& value) override;
    void Activate() override;

protected:
    void PaintBkColor(QPainter& painter) override;
    void PaintText(QPainter& painter) override;

private:
    bool m_checkable = false;
    bool m_checked = false;
    QColor m_hotColor{0x2F, 0x80, 0xED, 0x50};
};

}  // namespace kx520::ui
