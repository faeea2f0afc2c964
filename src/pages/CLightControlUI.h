#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lighting/LightColourControl.h"
#include "profiles/AudioLightSetting.h"
#include "profiles/LightSetting.h"
#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

namespace ui {
class CComboUI;
class CEditUI;
class COptionUI;
class CSliderUI;
}  // namespace ui

// The lighting page of a device: the effect, its brightness, speed and
// direction, one colour or the rainbow, and on keyboards the colour
// choice, the custom effects, the keys' own colours and the music. The
// page shows a light setting and reads the user's changes back; the
// device keeps, runs and writes the setting. The main window's routing
// calls it. The same page serves every kind (its kind number picks the
// control states of each effect).
class CLightControlUI : public ui::CHorizontalLayoutUI, public LightColourControl {
    Q_OBJECT

public:
    static constexpr int kMaxLevel = 4;  // brightness and speed run 0-4
    // What "deng_FXL_check" and "deng_FXR_check" put in a setting.
    static constexpr uint8_t kLeftDirection = 1;
    static constexpr uint8_t kRightDirection = 0;
    // `setting` in the one colour `colour` (0xRRGGBB): the rainbow is left.
    static profiles::LightSetting Coloured(profiles::LightSetting setting, uint32_t colour);
    static constexpr int kPresetColours = 8;

    explicit CLightControlUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("LightControl"); }

    void SetKind(int kind);
    int Kind() const { return m_kind; }
    // The effect list: one item per name (a language id), shown when its
    // flag is set; the item's place is the effect number.
    void FillEffects(const std::vector<std::string>& names, const std::vector<bool>& visible);
    // The custom effects (keyboards); the list is hidden while empty.
    void FillCustomEffects(const std::vector<std::string>& names);
    void ShowSetting(const profiles::LightSetting& setting);
    // More than one lighting device is connected: the same-effect button
    // may show.
    void SetSameAllowed(bool allowed);
    bool SameAllowed() const { return m_sameAllowed; }
    // The control states of the selected effect.
    void ApplyControlStates();

    // --- read back -------------------------------------------------------------
    int SelectedEffect() const;
    int SelectedCustomEffect() const;
    int SelectedZzcc() const;
    int Brightness() const;
    int Speed() const;
    bool MultiColour() const;
    // 0xFFRRGGBB; 0xFF000000 without a palette.
    uint32_t PaletteColour() const;
    // The background of preset button n; 0 when there is none.
    uint32_t PresetColour(int n) const;
    QString EditText(int component) const;

    // --- colour changes ----------------------------------------------------------
    // A preset or palette colour (0xAARRGGBB): `setting` takes its components
    // and one colour; the page shows it.
    profiles::LightSetting TakeColour(profiles::LightSetting setting, uint32_t colour);
    // Component `component` (0 red, 1 green, 2 blue) from its edit: above 255
    // is 255 (the edit rewritten), empty is 0.
    profiles::LightSetting TakeEditComponent(profiles::LightSetting setting, int component);

    // --- music (keyboards) -------------------------------------------------------
    // False (and a trace) when an audio control is missing.
    bool ShowAudioSetting(const profiles::AudioLightSetting& audio);
    // The setting as the page shows it; nothing when a control is missing.
    // `takeColour`: the swatch's colour becomes the edited colour.
    std::optional<profiles::AudioLightSetting> ReadAudioSetting(bool takeColour) const;
    const profiles::AudioLightSetting& ShownAudio() const { return m_audio; }
    // 0xFFRRGGBB of the music's palette; 0xFF000000 without one.
    uint32_t AudioPaletteColour() const;
    // The edited audio colour (foreground or background) as the user set
    // it; the page shows the result.
    profiles::AudioLightSetting TakeAudioColour(profiles::AudioLightSetting audio, uint32_t colour,
                                                bool fromPreset);
    profiles::AudioLightSetting TakeAudioEditComponent(profiles::AudioLightSetting audio, int component);

    // LightColourControl: the device's colour triple.
    void SetColour(int red, int green, int blue) override;
    void Colour(int& red, int& green, int& blue) const override;

private:
    ui::CControlUI* Part(const char* name) const;
    ui::CComboUI* Combo(const char* name) const;
    ui::COptionUI* Option(const char* name) const;
    ui::CSliderUI* Slider(const char* name) const;
    ui::CEditUI* Edit(const char* name) const;
    void SetEnabled(const char* name, bool enabled);
    void SetShown(const char* name, bool shown);
    void ShowColour(uint32_t colour);
    void ShowAudioColour(uint32_t colour);
    int ReadComponent(const char* editName);

    int m_kind = 0;
    bool m_sameAllowed = false;
    profiles::AudioLightSetting m_audio;
};

}  // namespace kx520
