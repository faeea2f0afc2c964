#include "headsetui/CZentrelHS6533Device.h"

#include <QCoreApplication>

#include "deviceui/CDeviceOptionUI.h"
#include "messages/RegisteredMessages.h"
#include "pages/CLightControlUI.h"
#include "pages/CMagicControlUI.h"
#include "pages/CVoice6533ControlUI.h"
#include "platform/DebugTrace.h"
#include "profileui/CDeviceProfileUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {

namespace {

constexpr int kAudioFunction = 6;
constexpr int kVoiceFunction = 7;
// Where the two audio pages sit in "device_function_switch".
constexpr int kAudioPanel = 4;
constexpr int kVoicePanel = 5;
// The headset keeps one light record, the one its notifications point at.
constexpr int kLightRecord = 0;
constexpr int kStatusPeriodMs = 2000;

}  // namespace

CZentrelHS6533Device::CZentrelHS6533Device(hid::HidBackend& backend, QWidget* parent)
    : CZentrelUSBDevice(backend, std::make_unique<HeadsetCore>(backend), parent),
      m_headset(&static_cast<HeadsetCore&>(Core())),
      m_audioQueue(std::make_unique<HeadsetAudioQueue>([this](ExchangeQueue::Job done) {
          // Dropped with the page: nothing runs on a page that is gone.
          QMetaObject::invokeMethod(this, std::move(done), Qt::QueuedConnection);
      })),
      m_sound(std::make_unique<HeadsetSound>(m_headset->Profile(), m_view, *m_audioQueue,
                                             [this] { return SaveProfile(); })) {}

CZentrelHS6533Device::~CZentrelHS6533Device() {
    m_audioQueue.reset();  // its worker ends (and the plug-in tidies up) before the page goes
}

void CZentrelHS6533Device::BuildPage() {
    CZentrelUSBDevice::BuildPage();
    m_headset->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    LoadDefaults();
    m_view.Bind(findChild<CVoice6533ControlUI*>(QStringLiteral("Voice6533ControlItem")),
                findChild<CMagicControlUI*>(QStringLiteral("MagicControlItem")),
                [this](const std::string& textId) { Tell(QString::fromStdString(textId)); });
    LoadProfileToPage();
    ApplyProfileToPage();
    m_headset->StartLight();
    StartAudio();
    m_statusTimer = new QTimer(this);
    connect(m_statusTimer, &QTimer::timeout, this, [this] { RefreshAudioStatus(); });
    m_statusTimer->start(kStatusPeriodMs);
}

void CZentrelHS6533Device::RefreshAudioStatus() {
    if (!PageSeen() || AudioBusy()) {
        return;
    }
    auto status = std::make_shared<HeadsetAudio::Summary>();
    m_audioQueue->Run([status](HeadsetAudio& audio) { *status = audio.Describe(); },
                      [this, status] {
                          // A refusal on the line stays until there is news.
                          if (status->textId != m_shownSummary.textId ||
                              status->notApplied != m_shownSummary.notApplied) {
                              ShowAudioStatus(*status);
                          }
                      });
}

void CZentrelHS6533Device::StartAudio() {
    if (m_audioStarted) {
        return;
    }
    m_audioStarted = true;
    ShowAudioStatus({"hs_audio_looking", {}, {}});
    const std::vector<std::string> candidates = AudioSdk::Candidates(
        QCoreApplication::applicationDirPath().toStdString() + "/", std::string(KX520_INSTALL_LIBDIR) + "/");
    auto report = std::make_shared<HeadsetAudio::StartReport>();
    auto status = std::make_shared<HeadsetAudio::Summary>();
    m_audioQueue->Run(
        [candidates, report, status](HeadsetAudio& audio) {
            *report = audio.Start(candidates);
            *status = audio.Describe();
        },
        [this, report, status] {
            if (!report->loaded) {
                DebugTrace("audio plug-in not loaded: " + report->why);
            }
            for (const std::string& message : report->messages) {
                Tell(QString::fromStdString(message));
            }
            m_sound->TakeAudioState(report->state);
            m_sound->ShowOnPage();
            ShowAudioStatus(*status);
        });
}

void CZentrelHS6533Device::ReadAudioState() {
    auto state = std::make_shared<std::optional<HeadsetAudioState>>();
    auto status = std::make_shared<HeadsetAudio::Summary>();
    m_audioQueue->Run(
        [state, status](HeadsetAudio& audio) {
            std::vector<std::string> messages;
            if (audio.Reselect(messages)) {
                *state = audio.ReadAudioState();
            }
            *status = audio.Describe();
        },
        [this, state, status] {
            if (*state) {
                m_sound->TakeAudioState(**state);
                m_sound->ShowOnPage();
            }
            ShowAudioStatus(*status);
        });
}

void CZentrelHS6533Device::AskAudioReport(std::function<void(const std::string&)> done) {
    auto report = std::make_shared<std::string>();
    m_audioQueue->Run([report](HeadsetAudio& audio) { *report = audio.Status().value_or(""); },
                      [report, done = std::move(done)] { done(*report); });
}

void CZentrelHS6533Device::AfterAudio(std::function<void()> done) {
    m_audioQueue->Run([](HeadsetAudio&) {}, std::move(done));
}

void CZentrelHS6533Device::ShowAudioStatus(const HeadsetAudio::Summary& status) {
    m_shownSummary = status;
    m_audioStatus = m_view.ShowSummary(status);
}

void CZentrelHS6533Device::OnConnected() {
    const std::string path = Channel().FirstLink().Path();
    if (!path.empty() && !NotifyAttached(kx520::Headset)) {
        // Its one collection carries the notifications too.
        const bool attached = AttachNotify(path, kx520::Headset);
        DebugTrace((attached ? "headset notifications on " : "headset notifications not read on ") + path);
    }
    LoadProfileToPage();
    ReadAudioState();
    ApplyProfileToPage();
    m_headset->StartLight();
}

void CZentrelHS6533Device::OnNotify() {
    auto read = std::make_shared<std::optional<HeadsetCore::NotifyRead>>();
    RunRead([core = m_headset, read] { *read = core->FetchNotifyRead(); },
            [this, read] {
                if (!*read) {
                    return;
                }
                DebugTrace("headset notice " + std::to_string((*read)->index));
                // The main window takes this notice without acting on it.
                if (CDeviceOptionUI* option = DeviceOption()) {
                    option->Post(msg::kDeviceNotice, (*read)->index, 0);
                }
            });
}

void CZentrelHS6533Device::SetProfilePaths() {
    m_headset->SetFolders(DataFolder().toStdString(), DefaultFolder().toStdString());
    m_profilePath = ComposeProfilePaths(m_headset->Profile());
}

bool CZentrelHS6533Device::LoadProfileToPage() {
    SetProfilePaths();
    if (m_profilePath.isEmpty()) {
        return false;
    }
    auto& profile = m_headset->Profile();
    profile.LoadSection(m_profilePath.toStdString());
    m_headset->SetLight(profile.GetLightInfo());
    m_headset->TakeProfileLighting();
    m_sound->LoadFromProfile();
    return true;
}

void CZentrelHS6533Device::ApplyProfileToPage() {
    LoadDefaults();
    const profiles::LightSetting& light = m_headset->Light();
    SetLightColour(light.red, light.green, light.blue);
    ShowLightPage();
    m_sound->ShowOnPage();
    update();
}

void CZentrelHS6533Device::ReloadProfile() {
    // The lighting goes to the headset at once; the driver keeps its audio
    // settings until the user changes one.
    if (!LoadProfileToPage()) {
        return;
    }
    ApplyProfileToPage();
    WriteRecord();
}

bool CZentrelHS6533Device::SaveProfile() {
    m_headset->Profile().SetLightInfo(m_headset->Light());
    return SaveProfileData();
}

void CZentrelHS6533Device::LoadDefaults() {
    m_headset->LoadDefaults();
}

void CZentrelHS6533Device::ShowLightPage() {
    ShowEffectsAndSetting(m_headset->Names(), m_headset->Light());
}

void CZentrelHS6533Device::ShowFunction(int type) {
    CZentrelUSBDevice::ShowFunction(type);
    if (type != kAudioFunction && type != kVoiceFunction) {
        return;
    }
    if (auto* functions = dynamic_cast<ui::CTabLayoutUI*>(
            ui::CPaintManagerUI::FindSubControlByName(this, QStringLiteral("device_function_switch")))) {
        functions->SelectItem(type == kAudioFunction ? kAudioPanel : kVoicePanel);
    }
}

bool CZentrelHS6533Device::ApplyLightSetting(const profiles::LightSetting& setting, Written written) {
    m_headset->SetLight(setting);
    m_headset->TakeProfileLighting();
    SetLightColour(setting.red, setting.green, setting.blue);
    const bool saved = SaveProfile();
    WriteRecord(std::move(written));
    return saved;
}

void CZentrelHS6533Device::WriteRecord(Written written) {
    WriteLatest(WriteSlot::kRecord, m_headset->LightConfigWrite(kLightRecord), std::move(written));
}

}  // namespace kx520
