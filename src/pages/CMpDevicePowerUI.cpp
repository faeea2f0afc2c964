#include "pages/CMpDevicePowerUI.h"

#include <QMouseEvent>
#include <algorithm>
#include <array>

#include "ui/CPaintManagerUI.h"
#include "controls/CProgressUI.h"

namespace kx520 {

namespace {

constexpr int kMouseKind = 2;
constexpr int kMousePadKind = 3;
constexpr size_t kMaxStatus = 64;

struct PhoneType {
    const char* tooltip;
    const char* image;
};

PhoneType PhoneOf(uint8_t code) {
    switch (code) {
        case 1: return {"Phone_type_iphone", "file='power/Phone_type_iphone.png'"};
        case 2: return {"Phone_type_samsung", "file='power/Phone_type_samsung.png'"};
        case 3: return {"Phone_type_other", "file='power/Phone_type_other.png'"};
        default: return {"Phone_type_no_device", "file='power/Phone_type_no_device.png'"};
    }
}

}  // namespace

CMpDevicePowerUI::CMpDevicePowerUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {}

void CMpDevicePowerUI::SetKind(int kind, int variant) {
    m_kind = kind;
    m_variant = variant;
}

ui::CControlUI* CMpDevicePowerUI::Part(const char* name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, QString::fromLatin1(name));
}

void CMpDevicePowerUI::ShowPower(bool show) {
    if (ui::CControlUI* layout = Part("device_power_Layout")) {
        layout->SetVisible(show);
    }
}

void CMpDevicePowerUI::ShowCable() {
    ShowPower(true);
    for (const char* battery : {"device_Power_progress", "device_power_status",
                                "device_wuxian_logo", "device_phone_type"}) {
        if (ui::CControlUI* part = Part(battery)) {
            part->SetVisible(false);
        }
    }
    if (ui::CControlUI* value = Part("device_power_value")) {
        value->SetPlainText(false);
        value->SetText(QStringLiteral("power_wired"));
    }
}

void CMpDevicePowerUI::ShowBatteryPending() {
    ShowPower(true);
    if (ui::CControlUI* state = Part("device_power_status")) {
        state->SetVisible(true);
    }
    if (ui::CControlUI* progress = Part("device_Power_progress")) {
        progress->SetVisible(false);
    }
    if (ui::CControlUI* value = Part("device_power_value")) {
        value->SetPlainText(true);
        value->SetText(QStringLiteral("–"));
    }
}

void CMpDevicePowerUI::Activate() {
    SendNotify(QString::fromLatin1(ui::notify::kSelectChanged));
}

void CMpDevicePowerUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    ui::CHorizontalLayoutUI::mousePressEvent(event);
}

void CMpDevicePowerUI::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        Activate();
        return;
    }
    ui::CHorizontalLayoutUI::mouseReleaseEvent(event);
}

void CMpDevicePowerUI::UpdatePower(std::span<const uint8_t> status) {
    auto* progress = dynamic_cast<ui::CProgressUI*>(Part("device_Power_progress"));
    ui::CControlUI* value = Part("device_power_value");
    ui::CControlUI* wireless = Part("device_wuxian_logo");
    ui::CControlUI* state = Part("device_power_status");
    ui::CControlUI* phone = Part("device_phone_type");
    if (progress == nullptr || value == nullptr || wireless == nullptr || state == nullptr ||
        phone == nullptr) {
        return;
    }
    std::array<uint8_t, kMaxStatus> bytes{};
    std::copy_n(status.begin(), std::min(status.size(), kMaxStatus), bytes.begin());
    // A level from the device is a percentage; anything above is taken as full.
    const int level = std::min<int>(bytes[0], 100);
    const bool wirelessFlag = bytes[3] != 0;
    progress->SetValue(100 - level);
    state->SetVisible(true);
    value->SetPlainText(true);
    value->SetText(QStringLiteral("%1%2").arg(level).arg(QLatin1Char('%')));
    if (m_kind == kMouseKind) {
        wireless->SetVisible(wirelessFlag);
    }
    switch (bytes[1]) {
        case 0:
            progress->SetVisible(true);
            state->SetBkImage(QStringLiteral("file='power/powered.png'"));
            break;
        case 1:
            progress->SetVisible(!wirelessFlag);
            state->SetBkImage(wirelessFlag ? QStringLiteral("file='power/wuxian_powering.png'")
                                           : QStringLiteral("file='power/powering.png'"));
            break;
        case 2:
            progress->SetVisible(true);
            state->SetBkImage(QStringLiteral("file='power/power.png'"));
            break;
        default:
            break;
    }
    phone->SetVisible(m_kind == kMousePadKind);
    if (m_kind == kMousePadKind) {
        const PhoneType type = PhoneOf(bytes[5]);
        phone->SetToolTip(QString::fromLatin1(type.tooltip));
        phone->SetBkImage(QString::fromLatin1(type.image));
    }
}

}  // namespace kx520
