#pragma once

#include "deviceui/CZentrelUSBDevice.h"
#include "mouseui/MouseButtonList.h"
#include "mouseui/MouseRecoil.h"
#include "mouse/MouseCore.h"

#include <optional>
#include <string>

namespace kx520::ui {
class CListUI;
}

namespace kx520 {

class CShootControlUI;

// The mouse's page over its core: the connection's exchange on either link
// (the receiver asked first), its profiles with their sensitivity stages,
// its configuration record, its macros and its own profile and stage
// switches.
class CZentrelMouseDevice : public CZentrelUSBDevice {
    Q_OBJECT

public:
    explicit CZentrelMouseDevice(hid::HidBackend& backend, QWidget* parent = nullptr);
    ~CZentrelMouseDevice() override;
    QString GetClass() const override { return QStringLiteral("ZentrelMouseDevice"); }

    MouseCore& Mouse() { return *m_mouse; }

    void BuildPage() override;
    // The LEDs, and the logo with the LED the catalogue names for it.
    bool StreamFrame() override;
    void OnConnected() override;
    void OnNotify() override;
    // The profile is shown and sent: its record and its buttons.
    void ReloadProfile() override;
    void RefreshPower() override { ShowPowerStatus(); }
    // The receiver's probe; a mouse that answers it gets the change it
    // missed (the link may have moved from the cable meanwhile).
    bool ProbeChannel() override;
    void OnProbed(bool awake) override;
    void SetProfilePaths() override;
    QString ProfilePath() const override { return m_profilePath; }
    bool LoadProfileToPage() override;
    void ApplyProfileToPage() override;
    bool SaveProfile() override;
    void LoadDefaults() override;
    void OnMacrosChanged() override;
    // The tab's panel; the marks belong to the keys tab, the hint to none.
    void ShowFunction(int type) override;
    profiles::LightSetting CurrentLightSetting() const override { return m_mouse->Light(); }
    // A new light setting: kept in the profile (saved), run on the picture
    // and written with the record. False when the mouse did not take it.
    bool ApplyLightSetting(const profiles::LightSetting& setting, Written written = {}) override;

    // --- the buttons ---------------------------------------------------------------
    // Each button's tool-tip (its own name, then what it does now), the
    // button list beside the picture and the logo's light mode.
    void RefreshKeyLabels() override;
    // On the keys tab a button is the one to assign, unless it is the
    // mouse's only left button (the user is told).
    void ClickKey(int position) override;
    void SaveKeysToDevice(KeyAssignmentEditor::Finished finished) override;
    // As the page assigns; the only left button keeps its job.
    std::string AssignKey(int position, const WordAssignment& assignment) override;

    // --- the sensitivity stages ------------------------------------------------------
    // The stages on the page: sliders (steps) and edits (values) in the
    // mouse's range, the stages that take part, the one in use, colours.
    void ShowStages();
    // Stage `stage` takes its slider's step, its edit's value, is switched
    // on or off, or becomes the one in use; each is written to the mouse
    // and saved. False when there is no such stage.
    bool TakeSlider(int stage);
    // While stage `stage`'s slider is dragged its edit follows; the stage
    // is written when the slider is let go.
    void PreviewSlider(int stage);
    bool TakeEdit(int stage);
    bool SetStageEnabled(int stage, bool enabled);
    bool SelectStage(int stage, Written written = {});
    // The stages to the profile (saved) and, once saved, to the mouse's
    // record; false when the file did not take them (the user was told),
    // `written` hears whether the mouse did.
    bool WriteStages(Written written = {});
    // The record as the profile holds it to the mouse; a record the mouse
    // did not take waits for its next answer.
    void WriteRecord(Written written = {});
    // Stage `stage` from a script: its value (and a separate Y value), its
    // colour (0xRRGGBB) and whether it takes part; "" or why not.
    struct StageChange {
        int value = 0;
        std::optional<int> y;
        std::optional<uint32_t> colour;
        std::optional<bool> enabled;
    };
    std::string ChangeStage(int stage, const StageChange& change, Written written = {});
    // Stage `stage` takes colour 0xRRGGBB (the list grows to it): shown,
    // saved and written. False for a stage outside 0-4.
    bool SetStageColour(int stage, uint32_t colour);
    // A code from the cable's notification interface, and from the
    // receiver's, which tells of settings and switches only (no fade
    // reaction from there).
    void OnNotification(uint16_t code) override;
    void OnReceiverNotification(uint16_t code) override;

    // The report rate option (0-4): saved and written; "" or why not.
    std::string SetReportRate(int option, Written written = {});
    // The report rate and pointer settings of the profile on the page
    // (a rate outside 0-4 shows the first option).
    void ShowSystemSettings();
    // The pointer settings as the page holds them: saved and written.
    void TakePointerSettings();
    // Tab `n` of the pointer settings (the first when there is no such tab).
    void ShowSettingsPanel(int n);

    // --- the recoil patterns -----------------------------------------------------
    // The recoil tab's page; null without one.
    CShootControlUI* ShootPage() const { return m_recoil.Page(); }
    // The four guns to the mouse on the exchange thread (the shoot page says
    // how it went); `done` on the UI thread. False, and the user told, while
    // another write runs.
    bool WriteShoot(std::function<void(const MouseCore::ShootWrite&)> done = {}) {
        return m_recoil.Write(std::move(done));
    }

private:
    ui::CControlUI* Part(const QString& name) const;
    // Row `row` of the button list, made when missing (hidden, disabled).
    // The lighting page shows the mouse's effects and its setting.
    void ShowLightPage();
    void ShowLogoText();
    // The stage list with at least `stage` + 1 entries; null for a stage
    // outside 0-4.
    profiles::DpiStage* Stage(std::vector<profiles::DpiStage>& stages, int stage) const;

    MouseCore* m_mouse;  // owned by the base, as its core
    QString m_profilePath;
    // A change the mouse did not take (asleep, unplugged mid-write): the
    // profile's record goes to the mouse on its next connection, on
    // whichever link, instead of the mouse's older one being read back.
    bool m_recordPending = false;
    MouseButtonList m_buttonList;
    CDeviceKeyButtonUI* m_logo = nullptr;
    MouseRecoil m_recoil;
};

}  // namespace kx520
