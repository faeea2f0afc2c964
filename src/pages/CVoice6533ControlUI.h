#pragma once

#include <QString>

#include "ui/CVerticalLayoutUI.h"

namespace kx520 {

namespace ui {
class CComboUI;
class COptionUI;
class CSliderUI;
}  // namespace ui

// The headset's audio page: thirteen equaliser presets (13 the user's own
// curve), ten band sliders, the user's named curves, and the microphone
// and monitor switches and levels. A thin view: it finds its controls by
// name, sets them and reads them back; the headset does the rest.
class CVoice6533ControlUI : public ui::CVerticalLayoutUI {
    Q_OBJECT

public:
    static constexpr int kPresets = 13;
    static constexpr int kBands = 10;

    explicit CVoice6533ControlUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Voice6533Control"); }

    // Unchecks every preset, then checks `preset` (1-13; others store 0).
    void SelectPreset(int preset);
    int SelectedPreset() const { return m_preset; }
    void SetBand(int band, int value);
    // -1 when the slider is missing (a gain may be -1 too: see HasBand).
    int Band(int band) const;
    bool HasBand(int band) const;
    void EnableCustomLayout(bool enabled);

    void SetMicOption(bool checked);
    void SetMonitorOption(bool checked);
    void SetMicLevel(int level);
    int MicLevel() const;
    void SetMonitorLevel(int level);
    int MonitorLevel() const;
    void ShowMicDecibels(const QString& text);
    void ShowMonitorDecibels(const QString& text);

    QString CustomName() const;
    void SetCustomName(const QString& name);
    void AppendCustom(const QString& name);
    int SelectedCustom() const;
    int CustomCount() const;
    // Selects item `index` (-1 none) without a notification and clears the edit.
    void SelectCustom(int index);
    void RemoveCustom(int index);
    void ClearCustom();
    QString CustomText(int index) const;

    // The line telling what is applied, only kept, or unavailable.
    void ShowStatus(const QString& text);

private:
    ui::COptionUI* Option(const char* prefix, int n) const;
    ui::CSliderUI* Slider(const char* name) const;
    ui::CSliderUI* BandSlider(int band) const;
    ui::CComboUI* Names() const;
    ui::CControlUI* Part(const QString& name) const;

    int m_preset = 0;
};

}  // namespace kx520
