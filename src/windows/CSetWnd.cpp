#include "windows/CSetWnd.h"

#include <QCloseEvent>

#include "builder/CDialogBuilder.h"
#include "builder/CListUI.h"
#include "controls/CComboUI.h"
#include "messages/RegisteredMessages.h"
#include "online/HttpClient.h"
#include "online/UpdateChecker.h"
#include "online/UpdateService.h"
#include "online/UpdateTimeFile.h"
#include "platform/DataFolders.h"
#include "platform/DebugTrace.h"
#include "platform/LanguageConfig.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"
#include "ui/MessageRegistry.h"
#include "windows/CUpdateInfoListItemUI.h"
#include "windows/SettingsCheckSink.h"

namespace kx520 {

namespace {

bool Named(const ui::CControlUI* control, const char* name) {
    return control != nullptr && control->GetName().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// Statuses of a row whose file is being moved or installed.
bool TransferRunning(int status) {
    return status == 4 || status == 6;
}

bool Offered(int status) {
    return status == 1 || status == 2;
}

}  // namespace

CSetWnd::CSetWnd(QWidget* owner) : ui::WindowImplBase(owner) {
    setWindowFlag(Qt::Tool);
    setObjectName(QStringLiteral("setwnd"));
}

CSetWnd::~CSetWnd() {
    StopSettingsThreads();
}

void CSetWnd::InitWindow() {
    m_closeButton = FindControl(QStringLiteral("closebtn"));
    m_maxButton = FindControl(QStringLiteral("maxbtn"));
    m_restoreButton = FindControl(QStringLiteral("restorebtn"));
    m_minButton = FindControl(QStringLiteral("minbtn"));
    m_menuButton = FindControl(QStringLiteral("menubtn"));
    m_laterButton = FindControl(QStringLiteral("laterbtn"));
    m_updateList = dynamic_cast<ui::CListUI*>(FindControl(QStringLiteral("device_update_list_info")));
    m_languages = dynamic_cast<ui::CComboUI*>(FindControl(QStringLiteral("Language_combox_info")));
    SetLayoutSize(QSize(kWidth, kHeight));
}

void CSetWnd::Notify(const ui::Notification& notification) {
    const QString& type = notification.type;
    if (type == QLatin1String(ui::notify::kWindowInit)) {
        OnWindowInit();
    } else if (type == QLatin1String(ui::notify::kClick)) {
        OnClick(notification.sender);
    } else if (type == QLatin1String(ui::notify::kItemSelect)) {
        OnItemSelect(notification.sender);
    } else if (type == QLatin1String(ui::notify::kSelectChanged)) {
        OnSelectChanged(notification.sender);
    }
}

void CSetWnd::OnWindowInit() {
    FillLanguageList();
    StartUpdateCheck();
}

void CSetWnd::FillLanguageList() {
    if (m_languages == nullptr) {
        return;
    }
    const auto config = LanguageConfig::Load(ShippedDataFolder("DefaultData") + "/Language.config");
    if (!config) {
        return;
    }
    for (const LanguageEntry& entry : config->Entries()) {
        m_languages->AddItem(QString::fromStdString(entry.caption));
    }
    m_languages->SelectItem(m_languageIndex, false);
}

void CSetWnd::StartUpdateCheck() {
    if (m_stopped) {
        return;  // closed before its first paint
    }
    for (StopSlot& slot : m_slots) {
        slot.event = true;
    }
    const std::string folder = UserDataFolder();
    m_lastCheckDate = QString::fromStdString(online::UpdateTimeFile::ReadOrStart(folder));
    std::promise<void> finished;
    m_slots[0].finished = finished.get_future();
    m_slots[0].thread = std::jthread([this, rows = m_rows, base = m_serviceAddress, folder,
                                      finished = std::move(finished)](std::stop_token stop) mutable {
        online::HttpClient client;
        online::UpdateService service(client, base);
        online::UpdateChecker checker(service, folder);
        SettingsCheckSink sink(*this);
        checker.Run(rows, sink, stop);
        finished.set_value();
    });
}

void CSetWnd::StopSettingsThreads() {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    for (StopSlot& slot : m_slots) {
        if (slot.event) {
            slot.thread.request_stop();
        }
    }
    for (StopSlot& slot : m_slots) {
        if (!slot.event) {
            continue;
        }
        if (!slot.thread.joinable()) {
            DebugTrace("错误");
        } else if (slot.finished.wait_for(std::chrono::milliseconds(kStopWaitMs)) ==
                   std::future_status::ready) {
            DebugTrace("所有对象处于激发状态");
        } else {
            m_stoppedInTime = false;
            // Stopped but still inside a call that cannot be woken (a proxy
            // script): it finishes without touching the window.
            DebugTrace("所有对象处于非激发状态，超时");
        }
        if (slot.thread.joinable()) {
            slot.thread.join();
        }
        slot = StopSlot{};
    }
}

void CSetWnd::OnClick(ui::CControlUI* sender) {
    if (sender == nullptr) {
        return;
    }
    if (sender == m_closeButton || sender == m_laterButton) {
        if (MayClose()) {
            StopSettingsThreads();
            Close(0);
        }
    } else if (sender == m_minButton) {
        OnSysCommand(kMinimize);
    } else if (sender == m_maxButton) {
        OnSysCommand(kMaximize);
    } else if (sender == m_restoreButton) {
        OnSysCommand(kRestore);
    } else if (Named(sender, "set_in_update_wnd_btn")) {
        if (ui::CControlUI* hint = FindControl(QStringLiteral("update_tishi_layout"))) {
            hint->SetVisible(false);
        }
        SetLayoutSize(QSize(kWidth, kHeight));
    } else if (Named(sender, "update_fw_and_ap")) {
        SelectUpdatePage(1);
    } else if (Named(sender, "update_OK_btn")) {
        ConfirmUpdates();
    } else if (Named(sender, "update_back_btn")) {
        SelectUpdatePage(0);  // changed their mind: the list again, ticks as they were
    }
}

void CSetWnd::OnSelectChanged(ui::CControlUI* sender) {
    if (!Named(sender, "check_name_select")) {
        return;
    }
    bool anyTicked = false;
    for (int index = 0; index < RowCount(); ++index) {
        CUpdateInfoListItemUI* row = RowAt(index);
        anyTicked = anyTicked || (row != nullptr && row->IsTicked());
    }
    ShowUpdateButton(anyTicked);
}

void CSetWnd::OnItemSelect(ui::CControlUI* sender) {
    if (sender == nullptr || sender != m_languages || m_main == nullptr) {
        return;
    }
    m_languageIndex = m_languages->GetCurSel();
    m_main->SendMessage(msg::kLanguageChanged, static_cast<quintptr>(m_languageIndex), 0);
}

void CSetWnd::OnSysCommand(quintptr command) {
    if (command == kClose) {
        // The system close ends this window, never the program.
        if (MayClose()) {
            StopSettingsThreads();
            Close(0);
        }
        return;
    }
    const bool wasMaximised = isMaximized();
    if (command == kMinimize) {
        showMinimized();
    } else if (command == kMaximize) {
        showMaximized();
    } else if (command == kRestore) {
        showNormal();
    }
    if (isMaximized() != wasMaximised && m_maxButton != nullptr && m_restoreButton != nullptr) {
        m_maxButton->SetVisible(!isMaximized());
        m_restoreButton->SetVisible(isMaximized());
    }
}

qintptr CSetWnd::HandleCustomMessage(uint32_t message, quintptr wParam, qintptr lParam, bool& handled) {
    handled = false;
    if (message == ui::RegisterWindowMessage(QLatin1String(kSettingsRelayMessage.registration))) {
        OnRelay(wParam, lParam);
    } else if (message == kSysCommandMessage) {
        OnSysCommand(wParam & 0xFFF0);
        handled = true;
    } else if (message == msg::kLanguageChanged) {
        if (m_updateState == 4) {
            SetUpdateState(4);
        }
        ReloadTitle();
        Relayout();
    } else if (message == msg::kUpdateRefresh) {
        update();
    }
    return 0;
}

void CSetWnd::OnRelay(quintptr code, qintptr value) {
    CUpdateInfoListItemUI* row = RowAt(m_currentRow);
    if (row == nullptr) {
        return;  // no download step designates a row here
    }
    if (code == 1) {
        // Installed: the offered version is now the current one.
        const QString installed = m_records[static_cast<size_t>(m_currentRow)].newVersionText.c_str();
        row->SetCurrentVersionText(installed);
        row->SetNewVersionText(QString());
        row->SetStatus(online::UpdateRecord::kPlaceholderStatus);
        row->SetTicked(false);
        SendMessage(msg::kUpdateRefresh);
        bool pending = false;
        for (int index = 0; index < RowCount(); ++index) {
            CUpdateInfoListItemUI* other = RowAt(index);
            pending = pending || (other != nullptr && other->IsTicked() && other->GetStatus() != 7);
        }
        if (pending) {
            return;
        }
        bool offered = false;
        for (int index = 0; index < RowCount(); ++index) {
            CUpdateInfoListItemUI* other = RowAt(index);
            if (other != nullptr && other->GetStatus() != 7) {
                other->EnableTick(true);
                offered = true;
            }
        }
        SetUpdateState(offered ? 1 : 4);
    } else if (code == 2 || code == 3) {
        row->SetStatus(8);
        SendMessage(msg::kUpdateRefresh);
    } else if (code == 4) {
        row->SetProgress(static_cast<int>(value));
    }
}

void CSetWnd::SetUpdateState(int state) {
    m_updateState = state;
    if (state < 0 || state > 4) {
        return;
    }
    DebugTrace("update state " + std::to_string(state));
    static constexpr const char* kTexts[] = {"GetUpdateInfoText", "HaveUpdateInfoText", "NoUpdateInfoText",
                                             "ISUpdateINGText", "UpdateIsLastText"};
    if (ui::CControlUI* ring = FindControl(QStringLiteral("update_status_ring"))) {
        ring->SetVisible(state == 0);
    }
    if (ui::CControlUI* image = FindControl(QStringLiteral("update_status_image"))) {
        image->SetVisible(state != 0);
    }
    if (ui::CControlUI* text = FindControl(QStringLiteral("Update_Status_text"))) {
        if (state == 4) {
            text->SetPlainText(true);
            text->SetText(ui::CResourceManager::Instance().GetText(QLatin1String(kTexts[4])) + m_lastCheckDate);
        } else {
            text->SetPlainText(false);
            text->SetText(QLatin1String(kTexts[state]));
        }
    }
    if (state == 4 && m_main != nullptr) {
        m_main->SendMessage(msg::kClearSettingsBadge, 0, 0);
    }
}

bool CSetWnd::AddUpdateItem(const online::UpdateRecord& record) {
    if (m_updateList == nullptr) {
        return false;
    }
    ui::CDialogBuilder builder;
    auto* row = dynamic_cast<CUpdateInfoListItemUI*>(
        builder.Create(QLatin1String(CUpdateInfoListItemUI::kLayout), &GetPaintManager(), this));
    if (row == nullptr) {
        return false;
    }
    row->FindParts();
    row->SetFixedHeight(CUpdateInfoListItemUI::kRowHeight);
    row->SetName(QString::fromStdString(record.name));
    row->SetNewVersionText(QString::fromStdString(record.newVersionText));
    row->SetCurrentVersionText(QString::fromStdString(record.currentVersionText));
    row->SetStatus(record.status);
    row->SetUserData(QString::fromStdString(record.downloadPath));
    row->EnableTick(false);
    m_updateList->Add(row);
    online::UpdateRecord kept = record;
    kept.localFile = online::UpdateChecker::LocalFile(record.name);
    m_records.push_back(std::move(kept));
    m_rowCount = m_updateList->GetCount();
    return true;
}

bool CSetWnd::RefreshUpdateItem(const online::UpdateRecord& record, int index) {
    CUpdateInfoListItemUI* row = index < m_rowCount ? RowAt(index) : nullptr;
    if (row == nullptr || static_cast<size_t>(index) >= m_records.size()) {
        return false;
    }
    row->SetFixedHeight(CUpdateInfoListItemUI::kRowHeight);
    row->SetName(QString::fromStdString(record.name));
    row->SetCurrentVersionText(QString::fromStdString(record.currentVersionText));
    row->SetNewVersionText(record.status == online::UpdateRecord::kPlaceholderStatus
                               ? QString()
                               : QString::fromStdString(record.newVersionText));
    row->SetStatus(record.status);
    if (record.unreachable) {
        row->ShowStatusText(QStringLiteral("UpdateUncheckedText"));  // not "up to date": nobody said so
    }
    row->SetUserData(QString::fromStdString(record.downloadPath));
    row->EnableTick(false);
    m_records[static_cast<size_t>(index)] = record;
    m_rowCount = m_updateList->GetCount();
    DebugTrace("update row " + std::to_string(index) + " " + record.name + " " +
               std::to_string(record.status));
    return true;
}

void CSetWnd::FinishCheck(int failures) {
    bool any = false;
    for (int index = 0; index < RowCount(); ++index) {
        CUpdateInfoListItemUI* row = RowAt(index);
        if (row == nullptr) {
            continue;
        }
        const int status = row->GetStatus();
        if (status != 7 && status != 0) {
            row->EnableTick(true);
            row->SetTicked(true);
            ShowUpdateButton(true);
            any = true;
        } else {
            row->EnableTick(false);
        }
    }
    SetUpdateState(online::UpdateChecker::FinalState(any, failures, RowCount()));
}

void CSetWnd::ConfirmUpdates() {
    for (int index = 0; index < RowCount(); ++index) {
        CUpdateInfoListItemUI* row = RowAt(index);
        if (row == nullptr || !Offered(row->GetStatus())) {
            continue;
        }
        if (row->IsTicked()) {
            row->SetStatus(3);
        } else {
            row->EnableTick(false);
        }
    }
    if (ui::CControlUI* button = FindControl(QStringLiteral("update_fw_and_ap"))) {
        button->SetEnabled(false);
    }
    SelectUpdatePage(0);
}

void CSetWnd::ShowUpdateButton(bool shown) {
    if (ui::CControlUI* button = FindControl(QStringLiteral("update_fw_and_ap"))) {
        button->SetEnabled(shown);
        button->SetVisible(shown);
    }
}

void CSetWnd::SelectUpdatePage(int page) {
    if (auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(FindControl(QStringLiteral("get_update_tab_layout")))) {
        tabs->SelectItem(page);
    }
}

int CSetWnd::RowCount() const {
    return m_updateList != nullptr ? m_updateList->GetCount() : 0;
}

CUpdateInfoListItemUI* CSetWnd::RowAt(int index) const {
    if (m_updateList == nullptr || index < 0 || index >= m_updateList->GetCount()) {
        return nullptr;
    }
    return dynamic_cast<CUpdateInfoListItemUI*>(m_updateList->GetItemAt(index));
}

bool CSetWnd::MayClose() const {
    for (int index = 0; index < RowCount(); ++index) {
        const CUpdateInfoListItemUI* row = RowAt(index);
        if (row != nullptr && TransferRunning(row->GetStatus())) {
            return false;
        }
    }
    return true;
}

void CSetWnd::closeEvent(QCloseEvent* event) {
    if (!MayClose()) {
        event->ignore();
        return;
    }
    StopSettingsThreads();
    ui::WindowImplBase::closeEvent(event);
}

void CSetWnd::ScreenChanged() {
    Relayout();
}

void CSetWnd::Relayout() {
    if (QLayout* own = layout()) {
        own->invalidate();
    }
    update();
}

}  // namespace kx520
