#pragma once

#include "windows/CFramedListRowUI.h"

namespace kx520 {

namespace ui {
class COptionUI;
}

// One product in the settings window's update list: its name (a tick that
// selects it for updating), installed and offered versions, and a status
// that sets the status text, the progress and done marks, whether it can
// be ticked and the name's colours.
class CUpdateInfoListItemUI : public CFramedListRowUI {
    Q_OBJECT

public:
    static constexpr const char* kLayout = "XML/CustomControlXML/device_Update_list_item.xml";
    static constexpr int kRowHeight = 50;
    static constexpr int kLastStatus = 8;

    using CFramedListRowUI::CFramedListRowUI;
    QString GetClass() const override { return QStringLiteral("UpdateInfoListItemUI"); }

    // Looks its parts up by name; once its content is built.
    void FindParts();

    // 0..8 as the table in the .cpp says; the same status again changes
    // nothing, one above 8 is kept but changes nothing on screen.
    void SetStatus(int status);
    int GetStatus() const { return m_status; }
    // Another text in the status column, the status itself unchanged.
    void ShowStatusText(const QString& textId);
    // The status text id of a status; "" above 8.
    static QString StatusTextId(int status);

    void SetName(const QString& name);
    QString GetName() const;
    void SetCurrentVersionText(const QString& text);
    // Hidden while empty.
    void SetNewVersionText(const QString& text);
    void SetProgress(int value);
    int Progress() const { return m_progress; }

    bool IsTicked() const;
    // Raises "selectchanged" from the tick.
    void SetTicked(bool ticked);
    void EnableTick(bool enabled);
    bool TickEnabled() const;

protected:
    bool FrameSuppressed() const override { return IsTicked(); }

private:
    void ShowProgress(bool shown);

    ui::COptionUI* m_tick = nullptr;
    ui::CControlUI* m_oldVersion = nullptr;
    ui::CControlUI* m_newVersion = nullptr;
    ui::CControlUI* m_statusText = nullptr;
    ui::CControlUI* m_progressPanel = nullptr;
    ui::CControlUI* m_progressValue = nullptr;
    ui::CControlUI* m_done = nullptr;
    int m_status = -1;
    int m_progress = 0;
};

}  // namespace kx520
