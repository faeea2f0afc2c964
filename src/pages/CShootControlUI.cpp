#include "pages/CShootControlUI.h"

#include <algorithm>

#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "pages/CRecoilPlotUI.h"
#include "profiles/ShootImage.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {

namespace {

constexpr const char* kXCheck = "bullet_x_check";
constexpr const char* kYCheck = "bullet_y_check";
constexpr const char* kXEdit = "bullet_x_eidt";
constexpr const char* kYEdit = "bullet_y_eidt";
constexpr const char* kDelayEdit = "bullet_delay_eidt";

QString Text(const char* id) {
    return ui::CResourceManager::Instance().GetText(QLatin1String(id));
}

}  // namespace

void CShootControlUI::SetFolders(std::string dataFolder, std::string defaultFolder) {
    m_dataFolder = std::move(dataFolder);
    m_defaultFolder = std::move(defaultFolder);
}

ui::CControlUI* CShootControlUI::Find(const QString& name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, name);
}

std::string CShootControlUI::GunPath(int gun) const {
    return profiles::ShootImage::GunPath(m_dataFolder, static_cast<size_t>(std::clamp(gun, 0, kGuns - 1)));
}

std::string CShootControlUI::Build() {
    m_allFound = true;
    for (const char* name : {"shoot_gun_op_0", "shoot_image_display_switch", "bullet_op_0", "bullet_select_index",
                             "bullet_selected_prev", "bullet_selected_next", "shootdate_import_btn",
                             "shootdate_export_btn", "shootdate_save_btn", "shootdate_reset_btn",
                             "bullet_edit_layout", kXCheck, kYCheck, kXEdit, kYEdit, kDelayEdit}) {
        m_allFound = m_allFound && Find(QLatin1String(name)) != nullptr;
    }
    const std::string repaired = profiles::ShootGun::Provide(m_dataFolder, m_defaultFolder);
    for (int gun = 0; gun < kGuns; ++gun) {
        ShowPlot(gun);
    }
    m_bullet = -1;
    SelectGun(0);
    return repaired;
}

std::string CShootControlUI::SelectGun(int gun) {
    if (std::string error = CommitEdits(); !error.empty()) {
        return error;  // the edits stay on the bullet they were typed for, to try again
    }
    m_gun = std::clamp(gun, 0, kGuns - 1);
    for (int n = 0; n < kGuns; ++n) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(Find(QStringLiteral("shoot_gun_op_%1").arg(n)))) {
            option->Selected(n == m_gun, false);
        }
    }
    if (auto* images = dynamic_cast<ui::CTabLayoutUI*>(Find(QStringLiteral("shoot_image_display_switch")))) {
        images->SelectItem(m_gun);
    }
    ShowBullet();
    return {};
}

std::string CShootControlUI::SelectBullet(int bullet) {
    if (std::string error = CommitEdits(); !error.empty()) {
        return error;
    }
    m_bullet = std::clamp(bullet, 0, kBullets - 1);
    for (int n = 0; n < kBullets; ++n) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(Find(QStringLiteral("bullet_op_%1").arg(n)))) {
            option->Selected(n == m_bullet, false);
        }
    }
    if (ui::CControlUI* index = Find(QStringLiteral("bullet_select_index"))) {
        index->SetText(QString::number(m_bullet + 1));
    }
    ShowBullet();
    return {};
}

void CShootControlUI::ShowBullet() {
    m_shownGun = m_gun;
    m_shownBullet = m_bullet;
    m_shown = m_bullet >= 0 ? profiles::ShootGun::Read(GunPath(m_gun), static_cast<size_t>(m_bullet)) : std::nullopt;
    auto put = [this](const char* name, const QString& text) {
        if (ui::CControlUI* edit = Find(QLatin1String(name))) {
            edit->SetText(text);
        }
    };
    put(kXEdit, m_shown ? QString::number(m_shown->x) : QString());
    put(kYEdit, m_shown ? QString::number(m_shown->y) : QString());
    put(kDelayEdit, m_shown ? QString::number(m_shown->delay) : QString());
    if (auto* x = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kXCheck)))) {
        x->Selected(m_shown && m_shown->left, false);
    }
    if (auto* y = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kYCheck)))) {
        y->Selected(m_shown && m_shown->up, false);
    }
    ShowDirections();
    if (ui::CControlUI* edits = Find(QStringLiteral("bullet_edit_layout"))) {
        edits->SetEnabled(m_bullet >= 0);
    }
    if (auto* images = dynamic_cast<ui::CTabLayoutUI*>(Find(QStringLiteral("shoot_image_display_switch")))) {
        if (auto* plot = dynamic_cast<CRecoilPlotUI*>(images->GetItemAt(m_gun))) {
            plot->SetSelected(m_bullet);
        }
    }
}

std::string CShootControlUI::SetBullet(int gun, int bullet, const profiles::Bullet& value) {
    if (std::string error = SelectGun(gun); !error.empty()) {
        return error;  // not the bullet asked for: nothing is typed
    }
    if (std::string error = SelectBullet(bullet); !error.empty()) {
        return error;
    }
    for (const auto& [name, number] : {std::pair{kXEdit, value.x}, {kYEdit, value.y}, {kDelayEdit, value.delay}}) {
        if (ui::CControlUI* edit = Find(QLatin1String(name))) {
            edit->SetText(QString::number(number));
        }
    }
    if (auto* x = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kXCheck)))) {
        x->Selected(value.left, false);
    }
    if (auto* y = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kYCheck)))) {
        y->Selected(value.up, false);
    }
    ShowDirections();
    return SaveBullet();
}

void CShootControlUI::ShowDirections() {
    if (auto* x = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kXCheck)))) {
        x->SetText(Text(x->IsSelected() ? "mouse_move_to_left_text" : "mouse_move_to_right_text"));
    }
    if (auto* y = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kYCheck)))) {
        y->SetText(Text(y->IsSelected() ? "mouse_move_to_up_text" : "mouse_move_to_down_text"));
    }
}

std::optional<profiles::Bullet> CShootControlUI::ReadEdits() const {
    if (m_shownBullet < 0) {
        return std::nullopt;
    }
    // A bullet the file does not hold yet shows empty edits: it is written
    // only once something is typed into them.
    constexpr const char* kEdits[] = {kXEdit, kYEdit, kDelayEdit};
    const bool typed = std::any_of(std::begin(kEdits), std::end(kEdits), [this](const char* name) {
        const ui::CControlUI* edit = Find(QLatin1String(name));
        return edit != nullptr && !edit->GetText().trimmed().isEmpty();
    });
    if (!m_shown && !typed) {
        return std::nullopt;
    }
    profiles::Bullet bullet = m_shown.value_or(profiles::Bullet{});
    auto number = [this](const char* name, int& value) {
        if (ui::CControlUI* edit = Find(QLatin1String(name))) {
            value = edit->GetText().trimmed().toInt();  // empty or not a number: 0
        }
    };
    number(kXEdit, bullet.x);
    number(kYEdit, bullet.y);
    number(kDelayEdit, bullet.delay);
    if (auto* x = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kXCheck)))) {
        bullet.left = x->IsSelected();
    }
    if (auto* y = dynamic_cast<ui::COptionUI*>(Find(QLatin1String(kYCheck)))) {
        bullet.up = y->IsSelected();
    }
    return profiles::ShootGun::Clamped(bullet);
}

std::string CShootControlUI::SaveBullet() {
    const std::optional<profiles::Bullet> edited = ReadEdits();
    if (!edited) {
        return {};  // no bullet: nothing to change
    }
    const std::string shipped = profiles::ShootImage::GunPath(m_defaultFolder, static_cast<size_t>(m_shownGun));
    const std::string error =
        profiles::ShootGun::Write(GunPath(m_shownGun), static_cast<size_t>(m_shownBullet), *edited, shipped);
    if (!error.empty()) {
        return error;  // the edits stay, to try again
    }
    m_shown = edited;
    if (m_shownGun == m_gun && m_shownBullet == m_bullet) {
        for (const auto& [name, value] : {std::pair{kXEdit, edited->x}, {kYEdit, edited->y}, {kDelayEdit, edited->delay}}) {
            if (ui::CControlUI* edit = Find(QLatin1String(name))) {
                edit->SetText(QString::number(value));  // as kept
            }
        }
    }
    ShowPlot(m_shownGun);
    return {};
}

std::string CShootControlUI::CommitEdits() {
    const std::optional<profiles::Bullet> edited = ReadEdits();
    if (!edited) {
        return {};
    }
    const profiles::Bullet shown = m_shown.value_or(profiles::Bullet{});
    if (m_shown && edited->x == shown.x && edited->y == shown.y && edited->delay == shown.delay) {
        return {};  // a direction alone waits for an edit
    }
    return SaveBullet();
}

void CShootControlUI::ShowPlot(int gun) {
    auto* images = dynamic_cast<ui::CTabLayoutUI*>(Find(QStringLiteral("shoot_image_display_switch")));
    if (images == nullptr) {
        return;
    }
    if (auto* plot = dynamic_cast<CRecoilPlotUI*>(images->GetItemAt(gun))) {
        plot->SetBullets(profiles::ShootGun::ReadAll(GunPath(gun)));
    }
}

std::string CShootControlUI::ResetGun() {
    // The whole gun is replaced: an edit that cannot be saved (a damaged
    // file) does not stand in the way of the remedy.
    CommitEdits();
    const std::string copied = profiles::ShootGun::Copy(
        profiles::ShootImage::GunPath(m_defaultFolder, static_cast<size_t>(m_gun)), GunPath(m_gun));
    ShowPlot(m_gun);
    ShowBullet();
    return copied;
}

std::string CShootControlUI::Import(const std::string& path) {
    // The whole gun is replaced: an edit that cannot be saved (a damaged
    // file) does not stand in the way of the remedy.
    CommitEdits();
    const std::string imported = profiles::ShootGun::Import(path, GunPath(m_gun));
    ShowPlot(m_gun);
    ShowBullet();
    return imported;
}

std::string CShootControlUI::Export(const std::string& path) {
    if (std::string error = CommitEdits(); !error.empty()) {
        return error;
    }
    const std::string exported = profiles::ShootGun::Copy(GunPath(m_gun), path);
    return exported;
}

void CShootControlUI::ShowStatus(const QString& text) {
    if (ui::CControlUI* status = Find(QStringLiteral("shoot_status_label"))) {
        status->SetText(text);
        status->SetToolTip(text);
    }
}

}  // namespace kx520
