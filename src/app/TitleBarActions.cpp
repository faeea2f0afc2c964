#include "app/TitleBarActions.h"

#include "app/CMainWnd.h"
#include "appwindow/NotificationRouter.h"

namespace kx520 {

void TitleBarActions::AddRoutes(NotificationRouter& routes) {
    CMainWnd& window = m_window;
    auto click = [&routes](const char* name, std::function<void()> action) {
        routes.Add({ui::notify::kClick, name, NameMatch::CaseInsensitive,
                    [action = std::move(action)](const ui::Notification&, int) { action(); }});
    };
    click("closebtn", [&window] { window.HideToTray(); });
    click("nodevice_ok_btn", [&window] { window.hide(); });
    click("no_device_simulate_btn", [&window] { window.ShowVirtualDevices(); });
    click("control_light_status", [&window] { window.ToggleLightControl(); });
    click("setbtn", [&window] { window.OpenSettingsWindow(false); });
    click("minbtn", [&window] { window.showMinimized(); });
    click("maxbtn", [&window] { window.showMaximized(); });
    click("restorebtn", [&window] { window.showNormal(); });
    // Listed, without an action until the skin picker and the audio-style
    // window land.
    routes.Add({ui::notify::kClick, "skinbtn", NameMatch::CaseInsensitive, nullptr});
    routes.Add({ui::notify::kClick, "music_setting_btn", NameMatch::CaseInsensitive, nullptr});
    routes.Add({ui::notify::kWindowSize, "root", NameMatch::CaseInsensitive,
                [&window](const ui::Notification&, int) { window.OnRootResized(); }});
}

}  // namespace kx520
