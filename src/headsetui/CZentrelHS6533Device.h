#pragma once

#include <memory>

#include <QTimer>
#include <string>

#include "deviceui/CZentrelUSBDevice.h"
#include "headset/HeadsetAudioQueue.h"
#include "headset/HeadsetCore.h"
#include "headset/HeadsetSound.h"
#include "headsetui/HeadsetPageView.h"

namespace kx520 {

// The headset's page over its core: its light (a light thread of its own,
// frames as output reports), its audio page and voice changer page, whose
// settings go through the audio plug-in on a worker of their own, and its
// profiles.
class CZentrelHS6533Device : public CZentrelUSBDevice {
    Q_OBJECT

public:
    explicit CZentrelHS6533Device(hid::HidBackend& backend, QWidget* parent = nullptr);
    ~CZentrelHS6533Device() override;
    QString GetClass() const override { return QStringLiteral("ZentrelHS6533Device"); }

    HeadsetCore& Headset() { return *m_headset; }
    HeadsetSound& Sound() { return *m_sound; }
    HeadsetPageView& View() { return m_view; }

    void BuildPage() override;
    void OnConnected() override;
    void OnNotify() override;
    void ReloadProfile() override;
    void RefreshPower() override { ShowPowerStatus(); }
    void SetProfilePaths() override;
    QString ProfilePath() const override { return m_profilePath; }
    bool LoadProfileToPage() override;
    void ApplyProfileToPage() override;
    bool SaveProfile() override;
    void LoadDefaults() override;
    // Tab 6 is the audio page, 7 the voice changer, the rest the lighting.
    void ShowFunction(int type) override;
    profiles::LightSetting CurrentLightSetting() const override { return m_headset->Light(); }
    bool ApplyLightSetting(const profiles::LightSetting& setting, Written written = {}) override;

    // The line the audio page shows: what applies and what does not.
    const std::string& AudioStatus() const { return m_audioStatus; }
    // The plug-in's own report (JSON), asked on the worker; `done` on the UI thread.
    void AskAudioReport(std::function<void(const std::string& report)> done);
    // `done` on the UI thread once every audio call asked before it was answered.
    void AfterAudio(std::function<void()> done);
    // Whether the audio worker has calls not yet answered.
    bool AudioBusy() const { return m_audioQueue && m_audioQueue->Busy(); }

private:
    // Loads the plug-in on the worker (once per page), then shows what it said.
    void StartAudio();
    // The endpoints chosen again and the driver's values read, on the worker.
    void ReadAudioState();
    void ShowLightPage();
    // The light record written on the exchange thread.
    void WriteRecord(Written written = {});
    void ShowAudioStatus(const HeadsetAudio::Summary& status);
    // While the page is seen its status is asked again now and then: a
    // sound server or headset that came or went shows without a click.
    void RefreshAudioStatus();

    HeadsetCore* m_headset;
    QString m_profilePath;
    HeadsetPageView m_view;
    std::unique_ptr<HeadsetAudioQueue> m_audioQueue;
    std::unique_ptr<HeadsetSound> m_sound;
    std::string m_audioStatus;
    HeadsetAudio::Summary m_shownSummary;
    QTimer* m_statusTimer = nullptr;
    bool m_audioStarted = false;
};

}  // namespace kx520
