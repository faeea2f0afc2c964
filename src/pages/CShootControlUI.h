#pragma once

#include <QString>
#include <optional>
#include <string>

#include "profiles/ShootGun.h"
#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

// The mouse's recoil patterns: four guns of thirty bullets, each bullet a
// horizontal and a vertical correction and a delay, read from and written
// to the gun files of the mouse's data folder as they are edited. An edit
// goes to the gun and bullet it was shown for; with no bullet chosen the
// edits are empty and change nothing. File errors are returned ("" or why
// not) for the window to tell.
class CShootControlUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    static constexpr int kGuns = 4;
    static constexpr int kBullets = static_cast<int>(profiles::ShootGun::kBullets);

    explicit CShootControlUI(QWidget* parent = nullptr) : ui::CHorizontalLayoutUI(parent) {}
    QString GetClass() const override { return QStringLiteral("ShootControlUI"); }

    // Both end with '/'.
    void SetFolders(std::string dataFolder, std::string defaultFolder);
    // Finds the controls, puts back a gun file that is missing or not a gun
    // from the shipped one, and shows gun 0 with no bullet chosen; what could
    // not be put back.
    std::string Build();
    bool AllControlsFound() const { return m_allFound; }

    int Gun() const { return m_gun; }
    int Bullet() const { return m_bullet; }
    std::string GunPath(int gun) const;
    // Each first commits an edit waiting for the bullet shown before; when
    // that fails nothing else is done, and the edits stay to try again.
    std::string SelectGun(int gun);
    std::string SelectBullet(int bullet);
    std::string Previous() { return SelectBullet(m_bullet - 1); }
    std::string Next() { return SelectBullet(m_bullet + 1); }
    // The edits and the direction options into the file; nothing without a
    // bullet. The edits show the values as kept (0-255, 0-65535).
    std::string SaveBullet();
    // SaveBullet, but only when an edit differs from what it showed.
    std::string CommitEdits();
    // Gun `gun`, bullet `bullet` chosen and `value` typed into its edits and
    // options, then saved, as a user would (a script's change).
    std::string SetBullet(int gun, int bullet, const profiles::Bullet& value);
    // The direction options' texts after a click (nothing is saved).
    void ShowDirections();
    std::string ResetGun();
    std::string Import(const std::string& path);
    std::string Export(const std::string& path);
    // A line under the buttons: what the last write to the mouse did.
    void ShowStatus(const QString& text);

private:
    void ShowBullet();
    void ShowPlot(int gun);
    std::optional<profiles::Bullet> ReadEdits() const;
    ui::CControlUI* Find(const QString& name) const;

    std::string m_dataFolder;
    std::string m_defaultFolder;
    int m_gun = 0;
    int m_bullet = -1;
    // What the edits showed, and for which gun and bullet.
    std::optional<profiles::Bullet> m_shown;
    int m_shownGun = 0;
    int m_shownBullet = -1;
    bool m_allFound = false;
};

}  // namespace kx520
