#include "devices/CZentrelMouseDevice.h"

#include "app/DeviceCatalog.h"
#include "platform/DebugTrace.h"
#include "profiles/CDeviceProfileUI.h"

namespace kx520 {

CZentrelMouseDevice::CZentrelMouseDevice(hid::HidBackend& backend, QWidget* parent)
    : CZentrelUSBDevice(backend, std::make_unique<MouseCore>(backend), parent),
      m_mouse(&static_cast<MouseCore&>(Core())) {
    DeviceInterfaceEntry identity = Identity();
    identity.deviceClass = MouseWired;
    SetIdentity(identity);
}

CZentrelMouseDevice::~CZentrelMouseDevice() = default;

void CZentrelMouseDevice::BuildPage() {
    CZentrelUSBDevice::BuildPage();
    m_mouse->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    LoadDefaults();  // the effects and macros are known before any mouse connects
    LoadProfileToPage();
}

void CZentrelMouseDevice::SetProfilePaths() {
    m_mouse->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    const QString id = ProfileControl() != nullptr ? ProfileControl()->GetCurrentProfileId() : QString();
    m_profilePath = id.isEmpty() ? QString() : DataFolder() + id + QStringLiteral(".Json");
    auto& profile = m_mouse->Profile();
    profile.SetProfilePath(m_profilePath.toStdString());
    profile.SetLightConfigPath(
        (DataFolder() + QString::fromLatin1(DefaultNameLists::kLightConfigFile)).toStdString());
}

bool CZentrelMouseDevice::LoadProfileToPage() {
    SetProfilePaths();
    if (m_profilePath.isEmpty()) {
        return false;
    }
    auto& profile = m_mouse->Profile();
    profile.LoadSection(m_profilePath.toStdString());
    profile.GetKeyList();
    profile.GetDPIStages();
    profile.GetSystemStages();
    m_mouse->SetLight(profile.GetLightInfo());
    profile.LoadLightConfig(profile.GetLightConfigPath());
    return true;
}

void CZentrelMouseDevice::ApplyProfileToPage() {
    LoadDefaults();
    const profiles::LightSetting& light = m_mouse->Light();
    SetLightColour(light.red, light.green, light.blue);
    update();
}

void CZentrelMouseDevice::SaveProfile() {
    auto& profile = m_mouse->Profile();
    profile.SetLightInfo(m_mouse->Light());
    profile.Save();
}

void CZentrelMouseDevice::LoadDefaults() {
    m_mouse->LoadDefaults();
}

void CZentrelMouseDevice::OnMacrosChanged() {
    LoadDefaults();
}

bool CZentrelMouseDevice::WriteKeysToDevice() {
    const MouseCore::AssignmentResult result = m_mouse->WriteAssignments(m_mouse->Profile().GetKeyList());
    if (result.macros != 0 || result.keys != protocol::kResultSuccess) {
        DebugTrace("mouse keys not written: macros " + std::to_string(result.macros) + ", keys " +
                   std::to_string(result.keys));
        return false;
    }
    m_mouse->Profile().Save();
    return true;
}

void CZentrelMouseDevice::OnConnected() {
    m_mouse->ReadDeviceState();
    LoadProfileToPage();
    if (m_mouse->ReadConfigRecord()) {
        m_mouse->Profile().Save();
    }
    ApplyProfileToPage();
}

void CZentrelMouseDevice::OnNotify() {
    if (m_mouse->ReadConfigRecord()) {
        m_mouse->Profile().Save();
    }
    ApplyProfileToPage();
}

void CZentrelMouseDevice::OnNotification(uint16_t code) {
    switch (m_mouse->TakeNotification(code)) {
        case MouseCore::Notification::kSettingsChanged:
            ScheduleNotify();
            break;
        case MouseCore::Notification::kProfileSwitched:
            m_mouse->Profile().Save();
            ApplyProfileToPage();
            break;
        case MouseCore::Notification::kFadeReaction:
        case MouseCore::Notification::kIgnored:
            break;
    }
}

}  // namespace kx520
