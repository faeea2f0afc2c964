#include "keyboardui/KeyboardOptionsPanel.h"

#include <algorithm>
#include <optional>

#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"
#include "keycodes/KeyLabels.h"
#include "platform/KeyRepeatPlan.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

template <typename Control>
Control* Find(const ui::CControlUI& page, const QString& name) {
    return dynamic_cast<Control*>(ui::CPaintManagerUI::FindSubControlByName(&page, name));
}

int PageStep(uint16_t value) {
    return value <= 3 ? value : 0;
}

QString Text(const char* id) {
    return ui::CResourceManager::Instance().GetText(QLatin1String(id));
}

}  // namespace

void KeyboardOptionsPanel::Show(const profiles::KeyboardSystemSettings& options) const {
    auto select = [this](const QString& name, bool selected) {
        if (auto* option = Find<ui::COptionUI>(m_page, name)) {
            option->Selected(selected, false);
        }
    };
    if (auto* slider = Find<ui::CSliderUI>(m_page, QLatin1String(kRepeatRateSlider))) {
        slider->SetValue(options.repeat);
    }
    const int delay = PageStep(options.repeatDelay);
    for (int i = 0; i < kRepeatDelaySteps; ++i) {
        select(QLatin1String(kRepeatDelayPrefix) + QString::number(i), i == delay);
    }
    const int rate = PageStep(options.pollingRate);
    for (int i = 0; i < kPollingRateOptions; ++i) {
        select(QLatin1String(kPollingRatePrefix) + QString::number(i), i == rate);
    }
    select(QLatin1String(kKey6Option), options.key6Flag != 0);
    select(QLatin1String(kWFlagOption), options.wFlag != 0);
    select(QLatin1String(kWinLockOption), options.winFlag != 0);
    ShowRepeatTexts(options);
}

profiles::KeyboardSystemSettings KeyboardOptionsPanel::Read(profiles::KeyboardSystemSettings options) const {
    auto selected = [this](const QString& name) -> std::optional<bool> {
        auto* option = Find<ui::COptionUI>(m_page, name);
        return option != nullptr ? std::optional<bool>(option->IsSelected()) : std::nullopt;
    };
    if (auto* slider = Find<ui::CSliderUI>(m_page, QLatin1String(kRepeatRateSlider))) {
        options.repeat = static_cast<uint16_t>(std::max(0, slider->GetValue()));
    }
    auto pick = [&selected](const char* prefix, int count, uint16_t& value) {
        for (int i = 0; i < count; ++i) {
            if (selected(QLatin1String(prefix) + QString::number(i)).value_or(false)) {
                value = static_cast<uint16_t>(i);
            }
        }
    };
    pick(kRepeatDelayPrefix, kRepeatDelaySteps, options.repeatDelay);
    pick(kPollingRatePrefix, kPollingRateOptions, options.pollingRate);
    auto flag = [&selected](const char* name, uint16_t& value) {
        if (const auto on = selected(QLatin1String(name))) {
            value = *on ? 1 : 0;
        }
    };
    flag(kKey6Option, options.key6Flag);
    flag(kWFlagOption, options.wFlag);
    flag(kWinLockOption, options.winFlag);
    return options;
}

void KeyboardOptionsPanel::ShowRepeatTexts(const profiles::KeyboardSystemSettings& options) const {
    if (ui::CControlUI* delay = Find<ui::CControlUI>(m_page, QStringLiteral("repeat_delay_time_label1"))) {
        delay->SetText(Text("Repeat_Delay_Time") + QString::number(KeyLabels::RepeatDelayMs(options.repeatDelay)) +
                       QStringLiteral("ms"));
    }
    if (ui::CControlUI* rate = Find<ui::CControlUI>(m_page, QStringLiteral("repeat_rate_label"))) {
        const QString text = Text("kb_repeat_per_second");
        rate->SetText(text.contains(QLatin1String("%1"))
                          ? text.arg(KeyRepeatPlan::PerSecond(options.repeat), 0, 'f', 1)
                          : text);
    }
    if (ui::CControlUI* input = Find<ui::CControlUI>(m_page, QStringLiteral("repeat_input_richedit"))) {
        input->SetAttribute(QStringLiteral("tiptext"), Text("Repeat_input_text"));
    }
}

void KeyboardOptionsPanel::ShowDesktopStatus(const QString& text) const {
    if (ui::CControlUI* status = Find<ui::CControlUI>(m_page, QStringLiteral("repeat_desktop_status"))) {
        status->SetText(text);
        status->SetToolTip(text);
    }
}

}  // namespace kx520
