#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profiles/MacroStore.h"

namespace kx520 {

// The rows of the macro being edited and what the user does to them:
// moving, deleting and inserting rows, and recording keys and mouse
// buttons into them. No widgets: the macro page shows the rows and applies
// each change it reports.
class MacroEditor {
public:
    static constexpr size_t kMaxRecordedRows = 4000;
    static constexpr uint32_t kMaxDelay = 65535;
    static constexpr uint32_t kDefaultFixedDelay = 50;

    enum class TimeMode { kRecorded = 1, kConstant = 2, kIgnore = 3 };
    enum class InsertMode { kAppend = 4, kBefore = 8, kAfter = 16, kReplace = 32 };
    enum class Move { kUp, kDown, kTop, kBottom };
    // The mouse buttons of the insert menu.
    enum class Button { kLeft, kRight, kMiddle, kForward, kBack };
    // The four moves, by their row of the mouse event table (10-13).
    enum class Direction { kLeft = 10, kRight = 11, kUp = 12, kDown = 13 };

    // What changed: the page removes, inserts and re-renders these rows.
    struct Change {
        int removed = -1;
        int inserted = -1;
        std::vector<int> updated;
        int selected = -1;
        bool all = false;  // every row again
        bool scroll = false;  // a recorded row: scroll to the end soon
    };

    void Load(std::vector<profiles::MacroRow> rows);
    const std::vector<profiles::MacroRow>& Rows() const { return m_rows; }
    std::vector<profiles::MacroRow>& MutableRows() { return m_rows; }
    int Selected() const { return m_selected; }
    void Select(int row) { m_selected = row >= 0 && static_cast<size_t>(row) < m_rows.size() ? row : -1; }
    // The delay the user typed into row `row`'s edit.
    void SetDelay(size_t row, const std::string& text);

    uint32_t FixedDelay() const { return m_fixedDelay; }
    // Above 65535 is 65535.
    void SetFixedDelay(uint64_t delay);

    std::optional<Change> MoveSelected(Move move);
    std::optional<Change> DeleteSelected();
    Change DeleteAll();
    // A button's press or release after the selected row (at the top with
    // none), with the fixed delay; it becomes the selection.
    Change InsertButton(Button button, bool press);
    // A move of `distance` (truncated to a byte) in the same way.
    Change InsertMove(Direction direction, int64_t distance);

    // --- recording ---------------------------------------------------------------
    void StartRecording(TimeMode time, InsertMode insert, uint32_t nowMs);
    void StopRecording() { m_recording = false; }
    bool Recording() const { return m_recording; }
    InsertMode Mode() const { return m_insert; }
    // A key press or release by its set-1 scan code; nothing when it is
    // dropped (a repeat, a key of no row, no selected row to work on).
    std::optional<Change> RecordKey(bool press, uint8_t scan, bool extended, uint32_t nowMs);
    // A mouse button message (0x201 ... 0x20C; `xButton` 1 back, 2 forward);
    // `onStopButton`: the pointer was on the stop button.
    std::optional<Change> RecordMouse(uint32_t message, int xButton, bool onStopButton, uint32_t nowMs);

private:
    std::optional<Change> Record(const std::string& action, uint32_t button, uint32_t type, uint32_t nowMs);
    Change Insert(size_t at, profiles::MacroRow row);
    void SetRowDelay(size_t row, uint32_t delay);

    std::vector<profiles::MacroRow> m_rows;
    int m_selected = -1;
    uint32_t m_fixedDelay = kDefaultFixedDelay;
    bool m_recording = false;
    bool m_recordedRow = false;  // a row was recorded on this page
    TimeMode m_time = TimeMode::kRecorded;
    InsertMode m_insert = InsertMode::kAppend;
    uint32_t m_lastEventMs = 0;
    // The repeat filters: the last key press, and the last mouse message.
    std::optional<std::pair<uint8_t, bool>> m_lastPress;
    uint32_t m_lastMouse = 0;
};

}  // namespace kx520
