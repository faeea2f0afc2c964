#pragma once

#include <QString>
#include <array>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "builder/WindowImplBase.h"
#include "catalog/DeviceCatalog.h"
#include "online/UpdateRecord.h"

namespace kx520 {

class CUpdateInfoListItemUI;
namespace ui {
class CComboUI;
class CListUI;
}  // namespace ui

// The settings window: the update list with its state, filled by a fresh
// update check each time the window opens, and the language choice, which
// it hands to the main window to apply. Runs modally over the main window.
class CSetWnd : public ui::WindowImplBase {
    Q_OBJECT

public:
    static constexpr int kWidth = 630;
    static constexpr int kHeight = 500;
    static constexpr int kStopWaitMs = 500;
    // The system commands the caption buttons send to the window itself.
    static constexpr quintptr kMinimize = 0xF020;
    static constexpr quintptr kMaximize = 0xF030;
    static constexpr quintptr kClose = 0xF060;
    static constexpr quintptr kRestore = 0xF120;
    static constexpr uint32_t kSysCommandMessage = 0x0112;

    explicit CSetWnd(QWidget* owner = nullptr);
    ~CSetWnd() override;

    QString GetWindowClassName() const override { return QStringLiteral("SetWnd"); }
    QString GetSkinFile() const override { return QStringLiteral("XML/setwnd.xml"); }
    void InitWindow() override;
    void Notify(const ui::Notification& notification) override;
    qintptr HandleCustomMessage(uint32_t message, quintptr wParam, qintptr lParam,
                                bool& handled) override;

    // What the opener hands over before the window is shown.
    void SetMainWindow(ui::WindowImplBase* main) { m_main = main; }
    void SetLanguageIndex(int index) { m_languageIndex = index; }
    int LanguageIndex() const { return m_languageIndex; }
    void SetIdentityRows(std::vector<FirmwareIdEntry> rows) { m_rows = std::move(rows); }
    // The update service's base address; "" sends nothing.
    void SetServiceAddress(std::string base) { m_serviceAddress = std::move(base); }
    // 48, 72, ... 192; anything else is traced and taken as 96.
    void SetWindowDpi(int dpi) { WindowImplBase::SetWindowDpi(dpi, "SET_WND DPI SET ERROR"); }

    // Asks the check to stop and waits for it (traced per slot); the
    // window's parts are left alone by it afterwards. A second call does
    // nothing.
    void StopSettingsThreads();
    bool ChecksStopped() const { return m_stopped; }
    // Every thread the stop waited for ended within its 500 ms.
    bool StoppedInTime() const { return m_stoppedInTime; }

    // The update check's steps, on this window's thread.
    void SetUpdateState(int state);
    bool AddUpdateItem(const online::UpdateRecord& record);
    bool RefreshUpdateItem(const online::UpdateRecord& record, int row);
    void FinishCheck(int failures);
    // The ticked rows with an update wait for their download.
    void ConfirmUpdates();

    int UpdateState() const { return m_updateState; }
    const QString& LastCheckDate() const { return m_lastCheckDate; }
    int RowCount() const;
    CUpdateInfoListItemUI* RowAt(int index) const;
    const std::vector<online::UpdateRecord>& Records() const { return m_records; }
    // No download or install is running: the window may close.
    bool MayClose() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void ScreenChanged() override;

private:
    struct StopSlot {
        bool event = false;
        std::jthread thread;
        std::future<void> finished;
    };

    void OnWindowInit();
    void FillLanguageList();
    void StartUpdateCheck();
    void OnClick(ui::CControlUI* sender);
    void OnSelectChanged(ui::CControlUI* sender);
    void OnItemSelect(ui::CControlUI* sender);
    void OnSysCommand(quintptr command);
    void OnRelay(quintptr code, qintptr value);
    void ShowUpdateButton(bool shown);
    void SelectUpdatePage(int page);
    void Relayout();

    ui::CControlUI* m_closeButton = nullptr;
    ui::CControlUI* m_maxButton = nullptr;
    ui::CControlUI* m_restoreButton = nullptr;
    ui::CControlUI* m_minButton = nullptr;
    ui::CControlUI* m_menuButton = nullptr;
    ui::CControlUI* m_laterButton = nullptr;
    ui::CListUI* m_updateList = nullptr;
    ui::CComboUI* m_languages = nullptr;

    ui::WindowImplBase* m_main = nullptr;
    int m_languageIndex = -1;
    std::vector<FirmwareIdEntry> m_rows;
    std::vector<online::UpdateRecord> m_records;
    std::string m_serviceAddress;
    int m_rowCount = 0;
    int m_updateState = 0;
    QString m_lastCheckDate;
    // The row a download step works on; none in this program.
    int m_currentRow = -1;
    std::array<StopSlot, 3> m_slots;
    bool m_stopped = false;
    bool m_stoppedInTime = true;
};

}  // namespace kx520
