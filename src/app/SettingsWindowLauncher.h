#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

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
