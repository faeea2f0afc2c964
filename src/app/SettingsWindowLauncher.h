#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalog/DeviceCatalog.h"

namespace kx520 {

class CMainWnd;
class CSetWnd;

// Opens the settings window over the main window, one at a time, and
// hands it what the main window knows: its place, DPI and language, the
// devices' versions and the update service's address.
class SettingsWindowLauncher {
public:
    using Versions = std::array<int32_t, kFirmwareIdTable.size() - 1>;

    explicit SettingsWindowLauncher(CMainWnd& main) : m_main(main) {}

    // Returns when the window has closed; nothing while one is open.
    void Open(bool centred);
    bool IsOpen() const { return m_open != nullptr; }
    CSetWnd* Window() const { return m_open; }
    // Where the window goes when not centred: its right edge 30 and its top
    // 60 layout pixels inside the main window's, at the main window's DPI.
    static QPoint Placement(const QRect& mainFrame, QSize size, int dpi);

    // The update identity rows' device versions, by catalogue index: the
    // attached device's release number, 0 for none.
    Versions DeviceVersions() const;
    // The rows the update check asks about (those with a version) and the
    // service it asks ("" for none), as the settings window gets them.
    std::vector<FirmwareIdEntry> IdentityRows() const;
    std::string ServiceAddress() const;

    // A message for the open window, posted on unchanged.
    void Relay(uint32_t message, quintptr wParam, qintptr lParam);
    // The main window applied a language: the open window rebuilds its texts.
    void LanguageApplied();
    // The main window closes its child windows.
    void Close();

private:
    CMainWnd& m_main;
    CSetWnd* m_open = nullptr;
};

}  // namespace kx520
