#include "pageactions/ShootPageActions.h"

#include <functional>

#include "appwindow/AppWindow.h"
#include "appwindow/NotificationRouter.h"
#include "controls/COptionUI.h"
#include "mouseui/CZentrelMouseDevice.h"
#include "pages/CShootControlUI.h"
#include "ui/Notification.h"

namespace kx520 {

CShootControlUI* ShootPageActions::Page() const {
    auto* mouse = dynamic_cast<CZentrelMouseDevice*>(m_window.CurrentDevice());
    return mouse != nullptr ? mouse->ShootPage() : nullptr;
}

void ShootPageActions::Tell(const std::string& error) const {
    if (!error.empty()) {
        m_window.Ask(QStringLiteral("message_shoot_file"), 0, QString::fromStdString(error));
    }
}

void ShootPageActions::AddRoutes(NotificationRouter& routes) {
    using Action = std::function<std::string(CShootControlUI&, const ui::Notification&, int)>;
    auto add = [this, &routes](const char* type, const char* name, NameMatch match, Action action) {
        routes.Add({type, name, match, [this, action](const ui::Notification& notification, int n) {
                        if (CShootControlUI* page = Page()) {
                            Tell(action(*page, notification, n));
                        }
                    }});
    };
    // Options of a group act when chosen, not when left.
    auto chosen = [](const ui::Notification& notification) {
        const auto* option = dynamic_cast<const ui::COptionUI*>(notification.sender);
        return option != nullptr && option->IsSelected();
    };
    using N = const ui::Notification&;
    add(ui::notify::kSelectChanged, "shoot_gun_op_", NameMatch::PrefixNumber,
        [chosen](CShootControlUI& page, N notification, int n) {
            return chosen(notification) ? page.SelectGun(n) : std::string();
        });
    add(ui::notify::kSelectChanged, "bullet_op_", NameMatch::PrefixNumber,
        [chosen](CShootControlUI& page, N notification, int n) {
            return chosen(notification) ? page.SelectBullet(n) : std::string();
        });
    add(ui::notify::kClick, "bullet_selected_prev", NameMatch::CaseInsensitive,
        [](CShootControlUI& page, N, int) { return page.Previous(); });
    add(ui::notify::kClick, "bullet_selected_next", NameMatch::CaseInsensitive,
        [](CShootControlUI& page, N, int) { return page.Next(); });
    for (const char* edit : {"bullet_x_eidt", "bullet_y_eidt", "bullet_delay_eidt"}) {
        add(ui::notify::kKillFocus, edit, NameMatch::CaseInsensitive,
            [](CShootControlUI& page, N, int) { return page.SaveBullet(); });
    }
    for (const char* check : {"bullet_x_check", "bullet_y_check"}) {
        add(ui::notify::kSelectChanged, check, NameMatch::CaseInsensitive, [](CShootControlUI& page, N, int) {
            page.ShowDirections();
            return std::string();
        });
    }
    add(ui::notify::kClick, "shootdate_reset_btn", NameMatch::CaseInsensitive,
        [](CShootControlUI& page, N, int) { return page.ResetGun(); });
    add(ui::notify::kClick, "shootdate_import_btn", NameMatch::CaseInsensitive, [this](CShootControlUI& page, N, int) {
        const QString path = m_window.AskFile(false, {}, AppWindow::FileKind::kShoot);
        return path.isEmpty() ? std::string() : page.Import(path.toStdString());
    });
    add(ui::notify::kClick, "shootdate_export_btn", NameMatch::CaseInsensitive, [this](CShootControlUI& page, N, int) {
        const QString name = QStringLiteral("ShootData_%1.shoot").arg(page.Gun());
        const QString path = m_window.AskFile(true, name, AppWindow::FileKind::kShoot);
        return path.isEmpty() ? std::string() : page.Export(path.toStdString());
    });
    add(ui::notify::kClick, "shootdate_save_btn", NameMatch::CaseInsensitive, [this](CShootControlUI& page, N, int) {
        std::string error = page.CommitEdits();  // the bullet being edited goes with them
        if (auto* mouse = dynamic_cast<CZentrelMouseDevice*>(m_window.CurrentDevice()); mouse != nullptr && error.empty()) {
            mouse->WriteShoot();
        }
        return error;
    });
}

}  // namespace kx520
