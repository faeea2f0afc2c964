#include "headsetui/HeadsetPageView.h"

#include <QString>
#include <QStringList>

#include "pages/CMagicControlUI.h"
#include "pages/CVoice6533ControlUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString Text(const char* textId) {
    return ui::CResourceManager::Instance().GetText(QString::fromLatin1(textId));
}

}  // namespace

void HeadsetPageView::Bind(CVoice6533ControlUI* audio, CMagicControlUI* voice, Teller tell) {
    m_audio = audio;
    m_voice = voice;
    m_tell = std::move(tell);
}

void HeadsetPageView::SelectPreset(int preset) {
    if (m_audio != nullptr) {
        m_audio->SelectPreset(preset);
    }
}

void HeadsetPageView::SetBand(int band, int value) {
    if (m_audio != nullptr) {
        m_audio->SetBand(band, value);
    }
}

std::optional<int> HeadsetPageView::Band(int band) const {
    if (m_audio == nullptr || !m_audio->HasBand(band)) {
        return std::nullopt;
    }
    return m_audio->Band(band);
}

void HeadsetPageView::EnableCustomLayout(bool enabled) {
    if (m_audio != nullptr) {
        m_audio->EnableCustomLayout(enabled);
    }
}

void HeadsetPageView::SetMicOption(bool checked) {
    if (m_audio != nullptr) {
        m_audio->SetMicOption(checked);
    }
}

void HeadsetPageView::SetMonitorOption(bool checked) {
    if (m_audio != nullptr) {
        m_audio->SetMonitorOption(checked);
    }
}

void HeadsetPageView::SetMicLevel(int level) {
    if (m_audio != nullptr) {
        m_audio->SetMicLevel(level);
    }
}

int HeadsetPageView::MicLevel() const {
    return m_audio != nullptr ? m_audio->MicLevel() : -1;
}

void HeadsetPageView::SetMonitorLevel(int level) {
    if (m_audio != nullptr) {
        m_audio->SetMonitorLevel(level);
    }
}

int HeadsetPageView::MonitorLevel() const {
    return m_audio != nullptr ? m_audio->MonitorLevel() : -1;
}

void HeadsetPageView::ShowMicDecibels(const std::string& text) {
    if (m_audio != nullptr) {
        m_audio->ShowMicDecibels(Q(text));
    }
}

void HeadsetPageView::ShowMonitorDecibels(const std::string& text) {
    if (m_audio != nullptr) {
        m_audio->ShowMonitorDecibels(Q(text));
    }
}

std::string HeadsetPageView::CustomName() const {
    return m_audio != nullptr ? m_audio->CustomName().toStdString() : std::string();
}

void HeadsetPageView::SetCustomName(const std::string& name) {
    if (m_audio != nullptr) {
        m_audio->SetCustomName(Q(name));
    }
}

void HeadsetPageView::AppendCustom(const std::string& name) {
    if (m_audio != nullptr) {
        m_audio->AppendCustom(Q(name));
    }
}

int HeadsetPageView::SelectedCustom() const {
    return m_audio != nullptr ? m_audio->SelectedCustom() : -1;
}

int HeadsetPageView::CustomCount() const {
    return m_audio != nullptr ? m_audio->CustomCount() : 0;
}

void HeadsetPageView::SelectCustom(int index) {
    if (m_audio != nullptr) {
        m_audio->SelectCustom(index);
    }
}

void HeadsetPageView::RemoveCustom(int index) {
    if (m_audio != nullptr) {
        m_audio->RemoveCustom(index);
    }
}

void HeadsetPageView::ClearCustom() {
    if (m_audio != nullptr) {
        m_audio->ClearCustom();
    }
}

void HeadsetPageView::SetVoiceSwitch(bool on) {
    if (m_voice != nullptr) {
        m_voice->SetSwitch(on);
    }
}

bool HeadsetPageView::VoiceSwitch() const {
    return m_voice != nullptr && m_voice->Switch();
}

void HeadsetPageView::SelectVoice(int voice) {
    if (m_voice != nullptr) {
        m_voice->SelectVoice(voice);
    }
}

void HeadsetPageView::Tell(const std::string& textId) {
    if (m_tell) {
        m_tell(textId);
    }
}

void HeadsetPageView::ShowRefused(const std::string& what, int result) {
    const char* reason = "hs_refused_other";
    switch (result) {
        case kAudioNotApplied: reason = "hs_refused_not_applied"; break;
        case kAudioNoDevice: reason = "hs_refused_no_device"; break;
        case kAudioTimedOut: reason = "hs_refused_timeout"; break;
        case HeadsetAudio::kFailed: reason = "hs_refused_no_plugin"; break;
        default: break;
    }
    const QString text = Text(reason).arg(Text(what.c_str()));
    m_lastRefusal = text.toStdString();
    if (m_audio != nullptr) {
        m_audio->ShowStatus(text);
    }
}

std::string HeadsetPageView::ShowSummary(const HeadsetAudio::Summary& summary) {
    QString text = Text(summary.textId.c_str());
    if (!summary.notApplied.empty()) {
        QStringList names;
        for (const std::string& what : summary.notApplied) {
            // A role of the plug-in has a name; a bare property shows as it is.
            const QString id = QStringLiteral("hs_what_") + Q(what);
            const QString name = Text(id.toLatin1().constData());
            names << (name == id ? Q(what) : name);
        }
        text = text.arg(names.join(QStringLiteral(", ")));
    }
    if (!summary.packages.empty()) {
        QStringList packages;
        for (const std::string& package : summary.packages) {
            packages << Q(package);
        }
        text += QLatin1Char(' ') + Text("hs_audio_install").arg(packages.join(QLatin1Char(' ')));
    }
    if (m_audio != nullptr) {
        m_audio->ShowStatus(text);
    }
    return text.toStdString();
}

}  // namespace kx520
