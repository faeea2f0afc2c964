#pragma once

#include <QString>
#include <functional>
#include <string>

#include "mouse/MouseCore.h"

namespace kx520 {

class CShootControlUI;
class CZentrelUSBDevice;

// The mouse page's recoil tab: its page over the mouse's gun files, and the
// four guns written to the mouse on the exchange thread with the outcome
// shown on the page.
class MouseRecoil {
public:
    MouseRecoil(CZentrelUSBDevice& device, MouseCore& core) : m_device(device), m_core(core) {}

    // `page` (null without one) over the gun files; a gun missing or damaged
    // is put back from the shipped one. What could not be put back.
    std::string Bind(CShootControlUI* page, const std::string& dataFolder, const std::string& defaultFolder);
    CShootControlUI* Page() const { return m_page; }
    // `done` on the UI thread; false (the user told) while another write runs.
    bool Write(std::function<void(const MouseCore::ShootWrite&)> done);
    // What a write did, as the page says it.
    static QString StatusText(const MouseCore::ShootWrite& written);

private:
    CZentrelUSBDevice& m_device;
    MouseCore& m_core;
    CShootControlUI* m_page = nullptr;
};

}  // namespace kx520
