#pragma once

#include <QString>

#include "deviceui/CZentrelUSBDevice.h"
#include "mousepad/MousePadCore.h"

namespace kx520 {

// The mouse pad's page over its core: its fifteen LEDs, its profiles and
// its lighting page. Exchanges with the pad run on the exchange thread;
// what they read is taken on the UI thread.
class CZentrelMousePadDevice : public CZentrelUSBDevice {
    Q_OBJECT

public:
    explicit CZentrelMousePadDevice(hid::HidBackend& backend, QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("ZentrelMousePadDevice"); }

    MousePadCore& Pad() { return *m_pad; }
    const MousePadCore& Pad() const { return *m_pad; }

    void BuildPage() override;
    void OnConnected() override;
    void OnNotify() override;
    void SetProfilePaths() override;
    QString ProfilePath() const override { return m_profilePath; }
    bool LoadProfileToPage() override;
    void ApplyProfileToPage() override;
    void ReloadProfile() override;
    bool SaveProfile() override;
    void LoadDefaults() override;
    profiles::LightSetting CurrentLightSetting() const override { return m_pad->Light(); }
    bool ApplyLightSetting(const profiles::LightSetting& setting, Written written = {}) override;

private:
    void ShowLightPage();
    // The stored record written as the onboard profile's, on the exchange thread.
    void WriteRecord(Written written = {});

    MousePadCore* m_pad;
    QString m_profilePath;
};

}  // namespace kx520
