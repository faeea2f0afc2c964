#pragma once

#include <cstdint>
#include <span>

#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

// A device's battery in the device selector: level as text and bar, charge
// state as an image, the wireless logo of a mouse, the phone lying on a
// charging mouse pad. Fed with the 6-byte power status of the device.
class CMpDevicePowerUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    explicit CMpDevicePowerUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("MpDevicePower"); }

    void SetKind(int kind, int variant);
    int GetKind() const { return m_kind; }
    int GetVariant() const { return m_variant; }
    // Shows or hides "device_power_Layout".
    void ShowPower(bool show);
    // A device on its cable, or one without a battery: "Wired" in place of
    // a battery whose level nobody has read.
    void ShowCable();
    // On the receiver before the first level has come: the battery with a
    // dash for its level.
    void ShowBatteryPending();
    // A click on the display: "selectchanged" from it, as from its option.
    void Activate();
    // Byte 0 level in percent, 1 charge state (0 full or external power,
    // 1 charging, 2 on battery), 3 wireless flag, 5 phone on a pad. Changes
    // nothing when a control it needs is missing.
    void UpdatePower(std::span<const uint8_t> status);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ui::CControlUI* Part(const char* name) const;

    int m_kind = 0;
    int m_variant = 0;
};

}  // namespace kx520
