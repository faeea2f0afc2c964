#include "app/SettingsWindowLauncher.h"

#include <QScreen>

#include "app/CMainWnd.h"
#include "desktop/SettingsStore.h"
#include "deviceui/CDeviceOptionUI.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "messages/RegisteredMessages.h"
#include "online/AppVersion.h"
#include "online/UpdateChecker.h"
#include "online/UpdateService.h"
#include "platform/DebugTrace.h"
#include "windows/CSetWnd.h"

namespace kx520 {

QPoint SettingsWindowLauncher::Placement(const QRect& mainFrame, QSize size, int dpi) {
    const auto scale = [dpi](int value) { return value * dpi / 96; };
    return {mainFrame.right() + 1 - size.width() - scale(30), mainFrame.top() + scale(60)};
}

SettingsWindowLauncher::Versions SettingsWindowLauncher::DeviceVersions() const {
    Versions versions{};
    for (CDeviceOptionUI* option : m_main.Options().Options()) {
        CZentrelUSBDevice* device = option->Device();
        const int index = device != nullptr ? device->CatalogIndex() : -1;
        // The first device of a kind answers for it, as its option comes first.
        if (index >= 0 && static_cast<size_t>(index) < versions.size() && versions[static_cast<size_t>(index)] == 0) {
            versions[static_cast<size_t>(index)] = device->FirmwareVersion();
        }
    }
    return versions;
}

std::vector<FirmwareIdEntry> SettingsWindowLauncher::IdentityRows() const {
    return online::UpdateChecker::IdentityRows(DeviceVersions(), online::InstalledAppVersion());
}

std::string SettingsWindowLauncher::ServiceAddress() const {
    return online::UpdateService::ServiceAddress(m_main.Settings().UpdateService().toStdString());
}

void SettingsWindowLauncher::Open(bool centred) {
    if (m_open != nullptr) {
        return;
    }
    CSetWnd window(&m_main);
    QString error;
    if (!window.Create(&error)) {
        DebugTrace("settings window layout: " + error.toStdString());
        return;
    }
    m_open = &window;
    window.SetWindowDpi(m_main.Dpi());
    window.SetMainWindow(&m_main);
    window.SetLanguageIndex(m_main.LanguageIndex());
    window.SetIdentityRows(IdentityRows());
    window.SetServiceAddress(ServiceAddress());
    if (centred) {
        window.CenterWindow();
    } else {
        // Beside the main window's right edge, and never off the screen.
        const QPoint corner = Placement(m_main.frameGeometry(), window.size(), m_main.Dpi());
        const QScreen* screen = m_main.screen();
        window.move(screen != nullptr ? ui::WindowImplBase::KeptInside(corner, window.size(), screen->availableGeometry())
                                      : corner);
    }
    window.ShowModal();
    m_open = nullptr;
}

void SettingsWindowLauncher::Relay(uint32_t message, quintptr wParam, qintptr lParam) {
    if (m_open != nullptr) {
        m_open->PostMessage(message, wParam, lParam);
    }
}

void SettingsWindowLauncher::LanguageApplied() {
    if (m_open != nullptr) {
        m_open->SendMessage(msg::kLanguageChanged, 0, 0);
    }
}

void SettingsWindowLauncher::Close() {
    if (m_open != nullptr) {
        m_open->close();
    }
}

}  // namespace kx520
