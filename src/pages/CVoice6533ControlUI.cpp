#include "pages/CVoice6533ControlUI.h"

#include "controls/CComboUI.h"
#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {

namespace {

constexpr const char* kPresetOption = "6533_eq_option_";
constexpr const char* kBandSlider = "6533_eq_hz_slider_";
constexpr const char* kCustomLayout = "custom_eq_option_layout";
constexpr const char* kNameCombo = "custom_eq_name_combo";
constexpr const char* kNameEdit = "custom_eq_name_edit";
constexpr const char* kMicOption = "6533_MicIn_option";
constexpr const char* kMonitorOption = "6533_MicMoniter_option";
constexpr const char* kMicSlider = "6533_MicIn_slider";
constexpr const char* kMonitorSlider = "6533_MicMoniter_slider";
constexpr const char* kMicValue = "6533_MicIn_value";
constexpr const char* kMonitorValue = "6533_MicMoniter_value";
constexpr const char* kStatus = "6533_status_text";

// Names built as "%s%d" from their prefixes.
QString Numbered(const char* prefix, int n) {
    return QString::asprintf("%s%d", prefix, n);
}

}  // namespace

CVoice6533ControlUI::CVoice6533ControlUI(QWidget* parent) : ui::CVerticalLayoutUI(parent) {}

ui::CControlUI* CVoice6533ControlUI::Part(const QString& name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, name);
}

ui::COptionUI* CVoice6533ControlUI::Option(const char* prefix, int n) const {
    return dynamic_cast<ui::COptionUI*>(Part(n < 0 ? QString::fromLatin1(prefix) : Numbered(prefix, n)));
}

ui::CSliderUI* CVoice6533ControlUI::Slider(const char* name) const {
    return dynamic_cast<ui::CSliderUI*>(Part(QString::fromLatin1(name)));
}

ui::CSliderUI* CVoice6533ControlUI::BandSlider(int band) const {
    return dynamic_cast<ui::CSliderUI*>(Part(Numbered(kBandSlider, band)));
}

ui::CComboUI* CVoice6533ControlUI::Names() const {
    return dynamic_cast<ui::CComboUI*>(Part(QString::fromLatin1(kNameCombo)));
}

void CVoice6533ControlUI::SelectPreset(int preset) {
    for (int n = 1; n <= kPresets; ++n) {
        if (ui::COptionUI* option = Option(kPresetOption, n)) {
            option->Selected(false, false);
        }
    }
    m_preset = preset >= 1 && preset <= kPresets ? preset : 0;
    if (ui::COptionUI* option = m_preset != 0 ? Option(kPresetOption, m_preset) : nullptr) {
        option->Selected(true, false);
    }
}

void CVoice6533ControlUI::SetBand(int band, int value) {
    if (ui::CSliderUI* slider = BandSlider(band)) {
        slider->SetValue(value);
    }
}

int CVoice6533ControlUI::Band(int band) const {
    const ui::CSliderUI* slider = BandSlider(band);
    return slider != nullptr ? slider->GetValue() : -1;
}

bool CVoice6533ControlUI::HasBand(int band) const {
    return BandSlider(band) != nullptr;
}

void CVoice6533ControlUI::EnableCustomLayout(bool enabled) {
    if (ui::CControlUI* layout = Part(QString::fromLatin1(kCustomLayout))) {
        layout->SetEnabled(enabled);
    }
}

void CVoice6533ControlUI::SetMicOption(bool checked) {
    if (ui::COptionUI* option = Option(kMicOption, -1)) {
        option->Selected(checked, false);
    }
}

void CVoice6533ControlUI::SetMonitorOption(bool checked) {
    if (ui::COptionUI* option = Option(kMonitorOption, -1)) {
        option->Selected(checked, false);
    }
}

void CVoice6533ControlUI::SetMicLevel(int level) {
    if (ui::CSliderUI* slider = Slider(kMicSlider)) {
        slider->SetValue(level);
    }
}

int CVoice6533ControlUI::MicLevel() const {
    const ui::CSliderUI* slider = Slider(kMicSlider);
    return slider != nullptr ? slider->GetValue() : -1;
}

void CVoice6533ControlUI::SetMonitorLevel(int level) {
    if (ui::CSliderUI* slider = Slider(kMonitorSlider)) {
        slider->SetValue(level);
    }
}

int CVoice6533ControlUI::MonitorLevel() const {
    const ui::CSliderUI* slider = Slider(kMonitorSlider);
    return slider != nullptr ? slider->GetValue() : -1;
}

void CVoice6533ControlUI::ShowMicDecibels(const QString& text) {
    if (ui::CControlUI* label = Part(QString::fromLatin1(kMicValue))) {
        label->SetText(text + QStringLiteral(" dB"));
    }
}

void CVoice6533ControlUI::ShowMonitorDecibels(const QString& text) {
    if (ui::CControlUI* label = Part(QString::fromLatin1(kMonitorValue))) {
        label->SetText(text + QStringLiteral(" dB"));
    }
}

QString CVoice6533ControlUI::CustomName() const {
    const ui::CControlUI* edit = Part(QString::fromLatin1(kNameEdit));
    return edit != nullptr ? edit->GetText().trimmed() : QString();
}

void CVoice6533ControlUI::SetCustomName(const QString& name) {
    if (ui::CControlUI* edit = Part(QString::fromLatin1(kNameEdit))) {
        edit->SetText(name);
    }
}

void CVoice6533ControlUI::AppendCustom(const QString& name) {
    if (ui::CComboUI* combo = Names()) {
        combo->AddPlainItem(name, name);  // the user's own name, never a text id
    }
}

int CVoice6533ControlUI::SelectedCustom() const {
    const ui::CComboUI* combo = Names();
    return combo != nullptr ? combo->GetCurSel() : -1;
}

int CVoice6533ControlUI::CustomCount() const {
    const ui::CComboUI* combo = Names();
    return combo != nullptr ? combo->GetCount() : 0;
}

void CVoice6533ControlUI::SelectCustom(int index) {
    if (ui::CComboUI* combo = Names()) {
        combo->SelectItem(index, false);
    }
    SetCustomName({});
}

void CVoice6533ControlUI::RemoveCustom(int index) {
    if (ui::CComboUI* combo = Names()) {
        combo->RemoveItem(index);
    }
}

void CVoice6533ControlUI::ClearCustom() {
    if (ui::CComboUI* combo = Names()) {
        combo->RemoveAll();
    }
}

QString CVoice6533ControlUI::CustomText(int index) const {
    const ui::CComboUI* combo = Names();
    return combo != nullptr ? combo->GetItemText(index) : QString();
}

void CVoice6533ControlUI::ShowStatus(const QString& text) {
    if (ui::CControlUI* label = Part(QString::fromLatin1(kStatus))) {
        label->SetText(text);
        label->SetToolTip(text);
    }
}

}  // namespace kx520
