#include "windows/CUpdateInfoListItemUI.h"

#include <array>

#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {

namespace {

struct StatusLook {
    const char* textId;
    bool progress;
    bool done;
    bool tickable;
    bool offered;  // the name in the colours of a row with something to do
};

constexpr std::array<StatusLook, 9> kStatusLooks{{
    {"LessUpdateText", false, false, false, false},
    {"NeedUpdateText", false, false, true, true},
    {"NeedUpdateText", false, false, true, true},
    {"DownloadWaitText", false, false, false, true},
    {"DownloadIngText", true, false, false, true},
    {"DownloadOkText", false, true, false, true},
    {"UpdateIngText", true, false, false, true},
    {"UpdateOkText", false, false, false, false},
    {"UpdateFailText", false, false, true, true},
}};

}  // namespace

void CUpdateInfoListItemUI::FindParts() {
    const auto part = [this](const char* name) {
        return ui::CPaintManagerUI::FindSubControlByName(this, QLatin1String(name));
    };
    m_tick = dynamic_cast<ui::COptionUI*>(part("check_name_select"));
    m_oldVersion = part("OldRev");
    m_newVersion = part("updateRev");
    m_statusText = part("update_status_text");
    m_progressPanel = part("update_status_ing");
    m_progressValue = part("update_progress_value");
    m_done = part("update_status_ok");
}

QString CUpdateInfoListItemUI::StatusTextId(int status) {
    if (status < 0 || status > kLastStatus) {
        return {};
    }
    return QLatin1String(kStatusLooks[static_cast<size_t>(status)].textId);
}

void CUpdateInfoListItemUI::SetStatus(int status) {
    if (status == m_status) {
        return;
    }
    m_status = status;
    if (status < 0 || status > kLastStatus) {
        return;
    }
    const StatusLook& look = kStatusLooks[static_cast<size_t>(status)];
    if (m_statusText != nullptr) {
        m_statusText->SetText(QLatin1String(look.textId));
    }
    ShowProgress(look.progress);
    if (m_done != nullptr) {
        m_done->SetVisible(look.done);
    }
    EnableTick(look.tickable);
    if (m_tick != nullptr) {
        const char* normal = look.offered ? "#FF0099FF" : "#FFFFFFFF";
        m_tick->SetAttribute(QStringLiteral("textcolor"), QLatin1String(normal));
        m_tick->SetAttribute(QStringLiteral("selectedtextcolor"), QLatin1String(normal));
        m_tick->SetAttribute(QStringLiteral("disabledtextcolor"),
                             QLatin1String(look.offered ? "#FF0078C8" : "#FF666666"));
    }
}

void CUpdateInfoListItemUI::ShowStatusText(const QString& textId) {
    if (m_statusText != nullptr) {
        m_statusText->SetText(textId);
    }
}

void CUpdateInfoListItemUI::ShowProgress(bool shown) {
    if (m_progressPanel != nullptr) {
        m_progressPanel->SetVisible(shown);
    }
    SetProgress(0);
}

void CUpdateInfoListItemUI::SetName(const QString& name) {
    if (m_tick != nullptr) {
        m_tick->SetPlainText(true);
        m_tick->SetText(name);
    }
}

QString CUpdateInfoListItemUI::GetName() const {
    return m_tick != nullptr ? m_tick->GetText() : QString();
}

void CUpdateInfoListItemUI::SetCurrentVersionText(const QString& text) {
    if (m_oldVersion != nullptr) {
        m_oldVersion->SetPlainText(true);
        m_oldVersion->SetText(text);
    }
}

void CUpdateInfoListItemUI::SetNewVersionText(const QString& text) {
    if (m_newVersion != nullptr) {
        m_newVersion->SetPlainText(true);
        m_newVersion->SetText(text);
        m_newVersion->SetVisible(!text.isEmpty());
    }
}

void CUpdateInfoListItemUI::SetProgress(int value) {
    m_progress = value;
    if (m_progressValue != nullptr) {
        m_progressValue->SetPlainText(true);
        m_progressValue->SetText(QStringLiteral("%1%").arg(value));
    }
}

bool CUpdateInfoListItemUI::IsTicked() const {
    return m_tick != nullptr && m_tick->IsSelected();
}

void CUpdateInfoListItemUI::SetTicked(bool ticked) {
    if (m_tick != nullptr) {
        m_tick->Selected(ticked, true);
    }
}

void CUpdateInfoListItemUI::EnableTick(bool enabled) {
    if (m_tick != nullptr) {
        m_tick->SetEnabled(enabled);
    }
}

bool CUpdateInfoListItemUI::TickEnabled() const {
    return m_tick != nullptr && m_tick->isEnabled();
}

}  // namespace kx520
