#include "pages/CLightControlUI.h"

#include <algorithm>

#include "lighting/EffectControlTable.h"
#include "platform/DebugTrace.h"
#include "controls/CColorPaletteUI.h"
#include "controls/CComboUI.h"
#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "controls/CSliderUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {

namespace {

constexpr const char* kEffectCombo = "light_combo_modeSelect";
constexpr const char* kCustomCombo = "light_combo_custommodeSelect";
constexpr const char* kZzccCombo = "light_combo_ZZCCmodeSelect";
constexpr const char* kBrightnessSlider = "deng_light_slider";
constexpr const char* kSpeedSlider = "deng_speed_slider";
constexpr const char* kColourEdits[] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
constexpr const char* kPalette = "deng_Color_Pallet";
constexpr const char* kSwatch = "deng_colordp_btn";
constexpr const char* kSevenColour = "deng_7color_check";
constexpr const char* kLeftOption = "deng_FXL_check";
constexpr const char* kRightOption = "deng_FXR_check";
constexpr const char* kSameButton = "deng_same_mode";

constexpr const char* kAudioCombo = "light_combo_audiomodeSelect";
constexpr const char* kAudioSeven = "deng_7audiocolor_check";
constexpr const char* kAudioEdits[] = {"deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"};
constexpr const char* kBackground = "audio_BkColor_check";
constexpr const char* kForeground = "audio_FgColor_check";
constexpr const char* kAudioPalette = "deng_audioColor_Pallet";
constexpr const char* kAudioSwatch = "deng_audiocolordp_btn";
constexpr const char* kAudioColourLayout = "light_audiocolor_layout";
constexpr const char* kAudioPaletteLayout = "audiocolorpallet_layout";

// Parts only a keyboard's page has.
constexpr const char* kKeyboardParts[] = {"lightcustom_layout", "light_combo_ZZCCmodeSelectLayout",
                                          "light_combo_AudiomodeSelectLayout", "light_combo_custommodeSelectLayout"};

uint32_t Pack(uint8_t red, uint8_t green, uint8_t blue) {
    return 0xFF000000u | static_cast<uint32_t>(red) << 16 | static_cast<uint32_t>(green) << 8 | blue;
}

uint8_t Red(uint32_t colour) { return static_cast<uint8_t>(colour >> 16); }
uint8_t Green(uint32_t colour) { return static_cast<uint8_t>(colour >> 8); }
uint8_t Blue(uint32_t colour) { return static_cast<uint8_t>(colour); }

QColor ToQColor(uint32_t colour) {
    return QColor(Red(colour), Green(colour), Blue(colour));
}

uint32_t FromQColor(const QColor& colour) {
    return Pack(static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
                static_cast<uint8_t>(colour.blue()));
}

// One component of `colour` replaced.
uint32_t WithComponent(uint32_t colour, int component, uint8_t value) {
    const int shift = 16 - 8 * std::clamp(component, 0, 2);
    return (colour & ~(0xFFu << shift)) | static_cast<uint32_t>(value) << shift;
}

uint32_t Foreground(const profiles::AudioLightSetting& audio) {
    return Pack(audio.fgRed, audio.fgGreen, audio.fgBlue);
}

uint32_t Background(const profiles::AudioLightSetting& audio) {
    return Pack(audio.bkRed, audio.bkGreen, audio.bkBlue);
}

// The colour being edited: the foreground for colour type 1.
uint32_t Edited(const profiles::AudioLightSetting& audio) {
    return audio.colorType == 1 ? Foreground(audio) : Background(audio);
}

void SetEdited(profiles::AudioLightSetting& audio, uint32_t colour) {
    if (audio.colorType == 1) {
        audio.fgRed = Red(colour);
        audio.fgGreen = Green(colour);
        audio.fgBlue = Blue(colour);
        return;
    }
    audio.bkRed = Red(colour);
    audio.bkGreen = Green(colour);
    audio.bkBlue = Blue(colour);
}

}  // namespace

CLightControlUI::CLightControlUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {}

ui::CControlUI* CLightControlUI::Part(const char* name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, QLatin1String(name));
}

ui::CComboUI* CLightControlUI::Combo(const char* name) const {
    return dynamic_cast<ui::CComboUI*>(Part(name));
}

ui::COptionUI* CLightControlUI::Option(const char* name) const {
    return dynamic_cast<ui::COptionUI*>(Part(name));
}

ui::CSliderUI* CLightControlUI::Slider(const char* name) const {
    return dynamic_cast<ui::CSliderUI*>(Part(name));
}

ui::CEditUI* CLightControlUI::Edit(const char* name) const {
    return dynamic_cast<ui::CEditUI*>(Part(name));
}

void CLightControlUI::SetEnabled(const char* name, bool enabled) {
    if (ui::CControlUI* control = Part(name)) {
        control->SetEnabled(enabled);
    }
}

void CLightControlUI::SetShown(const char* name, bool shown) {
    if (ui::CControlUI* control = Part(name)) {
        control->SetVisible(shown);
    }
}

void CLightControlUI::SetKind(int kind) {
    m_kind = kind;
    if (kind != EffectControlTable::kKeyboard) {
        for (const char* part : kKeyboardParts) {
            SetShown(part, false);
        }
    }
}

void CLightControlUI::FillEffects(const std::vector<std::string>& names, const std::vector<bool>& visible) {
    if (ui::CComboUI* combo = Combo(kEffectCombo)) {
        combo->RemoveAll();
        combo->SetItemHeight(30);
        for (size_t i = 0; i < names.size(); ++i) {
            const QString name = QString::fromStdString(names[i]);
            const int item = combo->AddItem(name, name);
            combo->SetItemVisible(item, i < visible.size() && visible[i]);
        }
    }
    for (const char* name : {kBrightnessSlider, kSpeedSlider}) {
        if (ui::CSliderUI* slider = Slider(name)) {
            slider->SetMinValue(0);
            slider->SetMaxValue(kMaxLevel);
        }
    }
}

void CLightControlUI::FillCustomEffects(const std::vector<std::string>& names) {
    ui::CComboUI* combo = Combo(kCustomCombo);
    if (combo == nullptr) {
        return;
    }
    combo->RemoveAll();
    for (const std::string& name : names) {
        combo->AddPlainItem(QString::fromStdString(name), QString::fromStdString(name));
    }
    SetShown("light_combo_custommodeSelectLayout", m_kind == EffectControlTable::kKeyboard && !names.empty());
}

void CLightControlUI::ShowSetting(const profiles::LightSetting& setting) {
    if (ui::CComboUI* combo = Combo(kEffectCombo)) {
        combo->SelectItem(setting.mode < combo->GetCount() ? setting.mode : -1, false);
    }
    if (ui::CSliderUI* slider = Slider(kBrightnessSlider)) {
        slider->SetValue(setting.brightness);
    }
    if (ui::CSliderUI* slider = Slider(kSpeedSlider)) {
        slider->SetValue(setting.speed);
    }
    ShowColour(Pack(setting.red, setting.green, setting.blue));
    if (ui::COptionUI* seven = Option(kSevenColour)) {
        seven->Selected(setting.multiColor != 0, false);
    }
    if (ui::CComboUI* combo = Combo(kZzccCombo)) {
        combo->SelectItem(setting.zzccLedMode < combo->GetCount() ? setting.zzccLedMode : -1, false);
    }
    if (ui::CComboUI* combo = Combo(kCustomCombo)) {
        combo->SelectItem(setting.customGroup < combo->GetCount() ? setting.customGroup : -1, false);
    }
    if (ui::COptionUI* left = Option(kLeftOption)) {
        left->Selected(setting.direction == kLeftDirection, false);
    }
    if (ui::COptionUI* right = Option(kRightOption)) {
        right->Selected(setting.direction != kLeftDirection, false);
    }
    ApplyControlStates();
}

void CLightControlUI::SetSameAllowed(bool allowed) {
    m_sameAllowed = allowed;
    ApplyControlStates();
}

void CLightControlUI::ApplyControlStates() {
    const EffectControls controls = EffectControlTable::For(m_kind, SelectedEffect(), m_sameAllowed);
    SetEnabled("lighteffect_layout", true);
    SetEnabled(kSevenColour, controls.sevenColour);
    SetEnabled("deng_color_layout", controls.colourLayout);
    SetEnabled("colorpallet_layout", controls.palette);
    SetEnabled("deng_light_layout", controls.brightness);
    SetEnabled("deng_speed_layout", controls.speed);
    if (controls.touchesFxAndSame) {
        SetEnabled("deng_fx_layout", controls.fx);
        SetShown(kSameButton, controls.same);
    }
    if (m_kind != EffectControlTable::kKeyboard) {
        return;
    }
    SetEnabled("light_color_layout", controls.lightColour);
    SetShown("deng_speed_layout", controls.speedShown);
    SetShown("light_combo_ZZCCmodeSelectLayout", controls.zzccShown);
    SetShown("light_combo_AudiomodeSelectLayout", controls.audioShown);
    SetShown("lightcustom_layout", controls.customShown);
    if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(Part("light_color_tablayout"))) {
        tabs->SelectItem(controls.colourTab);
    }
    if (controls.leftText != nullptr) {
        if (ui::CControlUI* left = Part(kLeftOption)) {
            left->SetText(QLatin1String(controls.leftText));
        }
        if (ui::CControlUI* right = Part(kRightOption)) {
            right->SetText(QLatin1String(controls.rightText));
        }
    }
}

int CLightControlUI::SelectedEffect() const {
    const ui::CComboUI* combo = Combo(kEffectCombo);
    return combo != nullptr ? combo->GetCurSel() : -1;
}

int CLightControlUI::SelectedCustomEffect() const {
    const ui::CComboUI* combo = Combo(kCustomCombo);
    return combo != nullptr ? combo->GetCurSel() : -1;
}

int CLightControlUI::SelectedZzcc() const {
    const ui::CComboUI* combo = Combo(kZzccCombo);
    return combo != nullptr ? combo->GetCurSel() : -1;
}

int CLightControlUI::Brightness() const {
    const ui::CSliderUI* slider = Slider(kBrightnessSlider);
    return slider != nullptr ? slider->GetValue() : 0;
}

int CLightControlUI::Speed() const {
    const ui::CSliderUI* slider = Slider(kSpeedSlider);
    return slider != nullptr ? slider->GetValue() : 0;
}

bool CLightControlUI::MultiColour() const {
    const ui::COptionUI* seven = Option(kSevenColour);
    return seven != nullptr && seven->IsSelected();
}

uint32_t CLightControlUI::PaletteColour() const {
    const auto* palette = dynamic_cast<const ui::CColorPaletteUI*>(Part(kPalette));
    return palette != nullptr ? FromQColor(palette->GetSelectColor()) : 0xFF000000u;
}

uint32_t CLightControlUI::AudioPaletteColour() const {
    const auto* palette = dynamic_cast<const ui::CColorPaletteUI*>(Part(kAudioPalette));
    return palette != nullptr ? FromQColor(palette->GetSelectColor()) : 0xFF000000u;
}

uint32_t CLightControlUI::PresetColour(int n) const {
    const ui::CControlUI* button = Part(("color_option_" + std::to_string(n)).c_str());
    return button != nullptr ? FromQColor(button->GetBkColor()) : 0;
}

QString CLightControlUI::EditText(int component) const {
    const ui::CEditUI* edit = component >= 0 && component < 3 ? Edit(kColourEdits[component]) : nullptr;
    return edit != nullptr ? edit->GetText() : QString();
}

void CLightControlUI::ShowColour(uint32_t colour) {
    const uint8_t components[] = {Red(colour), Green(colour), Blue(colour)};
    for (int i = 0; i < 3; ++i) {
        if (ui::CEditUI* edit = Edit(kColourEdits[i])) {
            edit->SetText(QString::number(components[i]));
        }
    }
    if (auto* palette = dynamic_cast<ui::CColorPaletteUI*>(Part(kPalette))) {
        palette->SetSelectColor(ToQColor(colour));
    }
    if (ui::CControlUI* swatch = Part(kSwatch)) {
        swatch->SetBkColor(ToQColor(colour));
    }
}

profiles::LightSetting CLightControlUI::Coloured(profiles::LightSetting setting, uint32_t colour) {
    setting.red = Red(colour);
    setting.green = Green(colour);
    setting.blue = Blue(colour);
    setting.multiColor = 0;
    return setting;
}

profiles::LightSetting CLightControlUI::TakeColour(profiles::LightSetting setting, uint32_t colour) {
    setting = Coloured(setting, colour);
    if (ui::COptionUI* seven = Option(kSevenColour)) {
        seven->Selected(false, false);
    }
    ShowColour(colour);
    return setting;
}

int CLightControlUI::ReadComponent(const char* editName) {
    ui::CEditUI* edit = Edit(editName);
    if (edit == nullptr) {
        return 0;
    }
    const QString text = edit->GetText().trimmed();
    bool ok = false;
    const qlonglong typed = text.toLongLong(&ok);
    // Digits beyond what a number holds are still "above 255".
    const int value = text.isEmpty() ? 0 : ok ? static_cast<int>(std::clamp<qlonglong>(typed, 0, 255)) : 255;
    if (text != QString::number(value)) {
        edit->SetText(QString::number(value));
    }
    return value;
}

profiles::LightSetting CLightControlUI::TakeEditComponent(profiles::LightSetting setting, int component) {
    if (component < 0 || component > 2) {
        return setting;
    }
    const int value = ReadComponent(kColourEdits[component]);
    const uint32_t colour =
        WithComponent(Pack(setting.red, setting.green, setting.blue), component, static_cast<uint8_t>(value));
    return TakeColour(setting, colour);
}

void CLightControlUI::SetColour(int red, int green, int blue) {
    ShowColour(Pack(static_cast<uint8_t>(std::clamp(red, 0, 255)), static_cast<uint8_t>(std::clamp(green, 0, 255)),
                    static_cast<uint8_t>(std::clamp(blue, 0, 255))));
}

void CLightControlUI::Colour(int& red, int& green, int& blue) const {
    int* components[] = {&red, &green, &blue};
    for (int i = 0; i < 3; ++i) {
        const ui::CEditUI* edit = Edit(kColourEdits[i]);
        *components[i] = edit != nullptr ? std::clamp(edit->GetText().toInt(), 0, 255) : 0;
    }
}

// --- music ------------------------------------------------------------------------

void CLightControlUI::ShowAudioColour(uint32_t colour) {
    const uint8_t components[] = {Red(colour), Green(colour), Blue(colour)};
    for (int i = 0; i < 3; ++i) {
        if (ui::CEditUI* edit = Edit(kAudioEdits[i])) {
            edit->SetText(QString::number(components[i]));
        }
    }
    if (auto* palette = dynamic_cast<ui::CColorPaletteUI*>(Part(kAudioPalette))) {
        palette->SetSelectColor(ToQColor(colour));
    }
    if (ui::CControlUI* swatch = Part(kAudioSwatch)) {
        swatch->SetBkColor(ToQColor(colour));
    }
}

bool CLightControlUI::ShowAudioSetting(const profiles::AudioLightSetting& audio) {
    m_audio = audio;
    ui::CComboUI* combo = Combo(kAudioCombo);
    if (combo == nullptr) {
        DebugTrace(" SetAudioLightInfo control is NULL");
        return false;
    }
    ui::COptionUI* background = Option(kBackground);
    ui::COptionUI* foreground = Option(kForeground);
    ui::COptionUI* seven = Option(kAudioSeven);
    if (background == nullptr || foreground == nullptr || seven == nullptr || Part(kAudioSwatch) == nullptr) {
        DebugTrace("GetAudioLightInfo control is NULL");
        return false;
    }
    combo->SelectItem(audio.audioMode < combo->GetCount() ? audio.audioMode : -1, false);
    const bool editsForeground = audio.colorType == 1;
    foreground->Selected(editsForeground, false);
    background->Selected(!editsForeground, false);
    seven->SetEnabled(editsForeground);
    if (editsForeground) {
        seven->Selected(audio.sevenColor != 0, false);
    }
    ShowAudioColour(editsForeground ? Foreground(audio) : Background(audio));
    const bool colours = audio.audioMode != 3;  // the rings draw in the rainbow only
    SetEnabled(kAudioColourLayout, colours);
    SetEnabled(kAudioPaletteLayout, colours);
    return true;
}

std::optional<profiles::AudioLightSetting> CLightControlUI::ReadAudioSetting(bool takeColour) const {
    const ui::CComboUI* combo = Combo(kAudioCombo);
    const ui::COptionUI* background = Option(kBackground);
    const ui::COptionUI* foreground = Option(kForeground);
    const ui::COptionUI* seven = Option(kAudioSeven);
    const ui::CControlUI* swatch = Part(kAudioSwatch);
    if (combo == nullptr || background == nullptr || foreground == nullptr || seven == nullptr ||
        swatch == nullptr) {
        DebugTrace("GetAudioLightInfo control is NULL");
        return std::nullopt;
    }
    profiles::AudioLightSetting audio = m_audio;
    audio.audioMode = static_cast<uint8_t>(std::max(0, combo->GetCurSel()));
    audio.sevenColor = seven->IsSelected() ? 1 : 0;
    const bool toBackground = background->IsSelected() && (m_audio.colorType == 1 || !foreground->IsSelected());
    audio.colorType = toBackground ? 0 : 1;
    if (takeColour) {
        SetEdited(audio, FromQColor(swatch->GetBkColor()));
    }
    return audio;
}

profiles::AudioLightSetting CLightControlUI::TakeAudioColour(profiles::AudioLightSetting audio, uint32_t colour,
                                                             bool fromPreset) {
    SetEdited(audio, colour);
    if (fromPreset && audio.colorType == 1) {
        audio.sevenColor = 0;  // a chosen colour ends the rainbow
    }
    ShowAudioSetting(audio);
    return audio;
}

profiles::AudioLightSetting CLightControlUI::TakeAudioEditComponent(profiles::AudioLightSetting audio,
                                                                    int component) {
    if (component < 0 || component > 2) {
        return audio;
    }
    const int value = ReadComponent(kAudioEdits[component]);
    return TakeAudioColour(audio, WithComponent(Edited(audio), component, static_cast<uint8_t>(value)), false);
}

}  // namespace kx520
