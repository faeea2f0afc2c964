#pragma once

#include "devices/CZentrelUSBDevice.h"
#include "devices/MouseCore.h"

namespace kx520 {

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
    void OnConnected() override;
    void OnNotify() override;
    bool ProbeLink() override { return m_mouse->ProbeLink(); }
    void SetProfilePaths() override;
    QString ProfilePath() const override { return m_profilePath; }
    bool LoadProfileToPage() override;
    void ApplyProfileToPage() override;
    void SaveProfile() override;
    void LoadDefaults() override;
    void OnMacrosChanged() override;
    bool WriteKeysToDevice() override;
    profiles::LightSetting CurrentLightSetting() const override { return m_mouse->Light(); }

protected:
    void OnNotification(uint16_t code) override;

private:
    MouseCore* m_mouse;  // owned by the base, as its core
    QString m_profilePath;
};

}  // namespace kx520
