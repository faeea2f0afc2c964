#include "mousepadui/CZentrelMousePadDevice.h"

#include <memory>
#include <optional>

#include "deviceui/CDeviceOptionUI.h"
#include "messages/RegisteredMessages.h"
#include "pages/CLightControlUI.h"
#include "platform/DebugTrace.h"

namespace kx520 {

CZentrelMousePadDevice::CZentrelMousePadDevice(hid::HidBackend& backend, QWidget* parent)
    : CZentrelUSBDevice(backend, std::make_unique<MousePadCore>(backend), parent),
      m_pad(&static_cast<MousePadCore&>(Core())) {}

void CZentrelMousePadDevice::BuildPage() {
    CZentrelUSBDevice::BuildPage();
    m_pad->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    LoadDefaults();
    LoadProfileToPage();
    ApplyProfileToPage();
}

void CZentrelMousePadDevice::OnConnected() {
    // The information block is read on the exchange thread; the page then
    // shows the profile (the record is read only when the pad says it changed).
    // Queued behind a write still running, never refused.
    auto info = std::make_shared<std::optional<std::vector<uint8_t>>>();
    RunRead([core = m_pad, info] { *info = core->FetchInfo(); },
                [this, info] {
                    if (*info) {
                        m_pad->TakeInfo(std::move(**info));
                    }
                    LoadProfileToPage();
                    ApplyProfileToPage();
                    m_pad->StartLight();
                });
}

void CZentrelMousePadDevice::OnNotify() {
    auto read = std::make_shared<std::optional<MousePadCore::RecordRead>>();
    RunRead([core = m_pad, read] { *read = core->FetchRecord(); },
            [this, read] {
                if (*read) {
                    m_pad->TakeRecord(**read);
                    // The page shows what the pad now runs; the profile keeps
                    // its own until the user changes the lighting.
                    ShowLightPage();
                } else {
                    DebugTrace("mouse pad record not read");
                }
                if (CDeviceOptionUI* option = DeviceOption()) {
                    option->Post(msg::kDeviceNotice, static_cast<quintptr>(m_pad->OnboardProfile()), 0);
                }
            });
}

void CZentrelMousePadDevice::SetProfilePaths() {
    m_pad->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    m_profilePath = ComposeProfilePaths(m_pad->ProfileData());
}

bool CZentrelMousePadDevice::LoadProfileToPage() {
    SetProfilePaths();
    if (m_profilePath.isEmpty()) {
        return false;
    }
    profiles::CBasicProfiledata& profile = m_pad->ProfileData();
    profile.LoadSection(m_profilePath.toStdString());
    m_pad->SetLight(profile.GetLightInfo());
    m_pad->TakeProfileLighting();
    return true;
}

void CZentrelMousePadDevice::ApplyProfileToPage() {
    LoadDefaults();
    const profiles::LightSetting& light = m_pad->Light();
    SetLightColour(light.red, light.green, light.blue);
    ShowLightPage();
    update();
}

void CZentrelMousePadDevice::ReloadProfile() {
    // Another profile: its lighting goes to the pad at once.
    if (!LoadProfileToPage()) {
        return;
    }
    ApplyProfileToPage();
    WriteRecord();
}

bool CZentrelMousePadDevice::SaveProfile() {
    m_pad->ProfileData().SetLightInfo(m_pad->Light());
    return SaveProfileData();
}

void CZentrelMousePadDevice::LoadDefaults() {
    m_pad->LoadDefaults();
}

void CZentrelMousePadDevice::ShowLightPage() {
    ShowEffectsAndSetting(m_pad->Names(), m_pad->Light());
}

bool CZentrelMousePadDevice::ApplyLightSetting(const profiles::LightSetting& setting, Written written) {
    m_pad->SetLight(setting);
    if (!SaveProfile()) {
        return false;  // the user was told; the pad keeps what the file still holds
    }
    m_pad->TakeProfileLighting();
    SetLightColour(setting.red, setting.green, setting.blue);
    WriteRecord(std::move(written));
    return true;
}

void CZentrelMousePadDevice::WriteRecord(Written written) {
    // Always the record of onboard profile 0, where the pad's read and write
    // strides agree: a write for profile n (64 x n) would land in the
    // records of other profiles, never in profile n's (25 x n).
    WriteLatest(WriteSlot::kRecord, m_pad->LightConfigWrite(0), std::move(written));
}

}  // namespace kx520
