#pragma once

#include <QHash>
#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "macros/MacroEditor.h"
#include "profiles/MacroStore.h"
#include "ui/CHorizontalLayoutUI.h"

namespace kx520 {

namespace ui {
class CListUI;
class CListElementUI;
}  // namespace ui

// The macro editor page of a keyboard or mouse: the device's macros by
// name, the actions of the selected one as rows (key and mouse-button
// presses and releases, moves, each with its delay), and recording into
// them. The store keeps the files; the editor the rows' logic; the page
// shows them. The main window's routing calls it.
class CMacroControlUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    static constexpr int kScrollDelayMs = 50;
    static constexpr const char* kRowName = "macro_action";
    static constexpr const char* kRowNameLabel = "macro_action_name";
    static constexpr const char* kRowDirectionLabel = "macro_action_direction";
    // Raised when the page is hidden while it records (its tab, its device
    // or the window went away): recording must end with it.
    static constexpr const char* kRecordingLeft = "recordingleft";

    explicit CMacroControlUI(QWidget* parent = nullptr);
    ~CMacroControlUI() override;
    QString GetClass() const override { return QStringLiteral("MacroControl"); }

    // The device's data folder; the list is read again.
    void SetFolder(const std::string& folder);
    void LoadMacroList();
    const profiles::MacroStore& Store() const { return *m_store; }
    std::vector<std::string> MacroNames() const;
    int MacroCount() const;
    int SelectedMacro() const;
    void SelectMacro(int index);
    // The selected macro's rows from its file; no selection: no rows.
    void ShowSelectedMacro();

    // --- the macro list ----------------------------------------------------------
    std::optional<size_t> AddMacro();
    // The name typed into the name edit; kRenamed clears the edit.
    profiles::MacroStore::RenameResult RenameSelected();
    // The selected macro's file and entry go; the list shows the first.
    bool RemoveSelected();
    std::optional<size_t> ImportMacro(const std::string& path);
    bool ExportSelected(const std::string& path) const;

    // --- the rows -----------------------------------------------------------------
    // The rows to the selected macro's file (more than 250: nothing).
    profiles::MacroStore::SaveResult Save();
    void MoveRow(MacroEditor::Move move);
    void DeleteRow();
    void DeleteAllRows();
    void InsertButton(MacroEditor::Button button, bool press);
    // A move by the distance in its edit.
    void InsertMove(MacroEditor::Direction direction);
    void SelectRow(int row);
    // The row the user chose in the list becomes the selected row.
    void TakeListSelection();
    int SelectedRow() const;
    int RowCount() const;
    // The delay a row's edit shows now goes into its action.
    void TakeDelays();

    // --- recording ----------------------------------------------------------------
    void StartRecording(MacroEditor::TimeMode time, MacroEditor::InsertMode insert);
    void StopRecording();
    bool Recording() const { return m_editor.Recording(); }
    bool FixedTimeChecked() const;
    void RecordKey(bool press, uint8_t scan, bool extended);
    // A mouse button message at `global` (screen coordinates).
    void RecordMouse(uint32_t message, int xButton, QPoint global);
    // How recording hears the user: "" for every input of the machine,
    // else why it is this window only.
    void SetCaptureNote(const QString& textId);

    MacroEditor& Editor() { return m_editor; }
    // The milliseconds recording counts in (a test may fix them).
    void SetClock(std::function<uint32_t()> clock) { m_clock = std::move(clock); }

protected:
    void timerEvent(QTimerEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    ui::CControlUI* Part(const char* name) const;
    ui::CListUI* NameList() const;
    ui::CListUI* ActionList() const;
    void Apply(const MacroEditor::Change& change);
    void Show(const MacroEditor::Change& change);
    // The recorded rows not shown yet, now.
    void ShowRecorded();
    ui::CListElementUI* MakeRow(const profiles::MacroRow& row);
    void RenderRow(ui::CListElementUI* element, const profiles::MacroRow& row);
    void RebuildRows();
    void SetLocked(bool locked);
    void EnableMacroControls(bool enabled);
    uint32_t Now() const;

    std::unique_ptr<profiles::MacroStore> m_store;
    MacroEditor m_editor;
    std::function<uint32_t()> m_clock;
    int m_scrollTimer = 0;
    int m_showTimer = 0;
    std::vector<MacroEditor::Change> m_recorded;  // not shown yet
    // The page's own controls by name, found once.
    mutable QHash<QString, QPointer<ui::CControlUI>> m_parts;
};

}  // namespace kx520
