#pragma once

#include <QString>

#include "devices/CZentrelUSBDevice.h"

namespace kx520 {

// What a device tells the user while a script's call runs, kept as text for
// the call's answer in place of a message box the script could not answer.
class ToldText {
public:
    explicit ToldText(CZentrelUSBDevice& device) : m_device(device) {
        m_device.SetTeller([this](const QString& text) { m_text = text; });
    }
    ~ToldText() { m_device.SetTeller({}); }
    ToldText(const ToldText&) = delete;
    ToldText& operator=(const ToldText&) = delete;

    const QString& Text() const { return m_text; }

private:
    CZentrelUSBDevice& m_device;
    QString m_text;
};

}  // namespace kx520
