#include "mouseui/MousePointerPanel.h"

#include <algorithm>

#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"
#include "mouse/MouseSensitivity.h"
#include "ui/CContainerUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {

namespace {

template <typename Control>
Control* Find(const ui::CControlUI& page, const QString& name) {
    return dynamic_cast<Control*>(ui::CPaintManagerUI::FindSubControlByName(&page, name));
}

constexpr const char* kSpeed = "pointer_speed_slider";
constexpr const char* kDoubleClick = "double_click_slider";
constexpr const char* kScroll = "scroll_speed_slider";
constexpr const char* kPrecision = "pointer_precision_check";
constexpr const char* kScrollsPage = "scrolls_page_check";

}  // namespace

void MousePointerPanel::Show(const profiles::MouseSystemSettings& settings) const {
    const int rate = MouseSensitivity::PollingOption(settings.reportRate);
    for (int n = 0; n < MouseSensitivity::kPollingOptions; ++n) {
        if (auto* option = Find<ui::COptionUI>(m_page, QStringLiteral("polling_rate_option_%1").arg(n))) {
            option->Selected(n == rate, false);
        }
    }
    auto slider = [this](const char* name, int value) {
        if (auto* control = Find<ui::CSliderUI>(m_page, QLatin1String(name))) {
            control->SetValue(value);
        }
    };
    slider(kSpeed, settings.mouseSpeed);
    slider(kDoubleClick, settings.doubleClickTime);
    slider(kScroll, settings.wheelScrollLines);
    auto check = [this](const char* name, bool on) {
        if (auto* option = Find<ui::COptionUI>(m_page, QLatin1String(name))) {
            option->Selected(on, false);
        }
    };
    check(kPrecision, settings.pointerPrecision != 0);
    check(kScrollsPage, settings.scrollPage != 0);
}

profiles::MouseSystemSettings MousePointerPanel::Read(profiles::MouseSystemSettings settings) const {
    auto slider = [this](const char* name, uint16_t& value) {
        if (auto* control = Find<ui::CSliderUI>(m_page, QLatin1String(name))) {
            value = static_cast<uint16_t>(std::max(0, control->GetValue()));
        }
    };
    slider(kSpeed, settings.mouseSpeed);
    slider(kDoubleClick, settings.doubleClickTime);
    slider(kScroll, settings.wheelScrollLines);
    settings.mouseSpeed = std::clamp<uint16_t>(settings.mouseSpeed, 1, 20);
    auto check = [this](const char* name, uint16_t& value) {
        if (auto* option = Find<ui::COptionUI>(m_page, QLatin1String(name))) {
            value = option->IsSelected() ? 1 : 0;
        }
    };
    check(kPrecision, settings.pointerPrecision);
    check(kScrollsPage, settings.scrollPage);
    return settings;
}

void MousePointerPanel::ShowTab(int n) const {
    auto* tabs = Find<ui::CTabLayoutUI>(m_page, QStringLiteral("mouse_device_seting_layout"));
    auto* options = Find<ui::CContainerUI>(m_page, QStringLiteral("mouse_option_layout"));
    if (tabs == nullptr || options == nullptr) {
        return;
    }
    if (n < 0 || n >= tabs->GetCount()) {
        n = 0;
    }
    tabs->SelectItem(n);
    const QString chosen = QStringLiteral("mouse_device_seting_option_%1").arg(n);
    for (ui::CControlUI* child : options->ChildControls()) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(child);
            option != nullptr && child->GetClass() == QLatin1String("Option")) {
            option->Selected(option->GetName() == chosen, false);
        }
    }
}

}  // namespace kx520
