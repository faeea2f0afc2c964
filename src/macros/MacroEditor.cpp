#include "macros/MacroEditor.h"

#include <algorithm>

#include "keycodes/KeyCodeTables.h"
#include "macros/MouseEventTable.h"

namespace kx520 {

namespace {

Json::Value Action(const std::string& action, uint32_t button, uint32_t type) {
    Json::Value event(Json::objectValue);
    event["Action"] = action;
    event["Button"] = button;
    event["Type"] = type;
    return event;
}

profiles::MacroRow RowOf(Json::Value event, const std::string& delay) {
    event["Delay"] = delay;
    return {std::move(event), delay};
}

}  // namespace

void MacroEditor::Load(std::vector<profiles::MacroRow> rows) {
    m_rows = std::move(rows);
    m_selected = -1;
}

void MacroEditor::SetDelay(size_t row, const std::string& text) {
    if (row >= m_rows.size()) {
        return;
    }
    // Typed text is kept as the delay it gives (at most 65535 ms); blank
    // stays blank until saved as "0".
    const bool blank = text.find_first_not_of(" \t") == std::string::npos;
    const std::string delay = blank ? text : std::to_string(profiles::MacroStore::DelayOf(Json::Value(text)));
    m_rows[row].delay = delay;
    if (m_rows[row].event.isObject()) {
        m_rows[row].event["Delay"] = delay;
    }
}

void MacroEditor::SetFixedDelay(uint64_t delay) {
    m_fixedDelay = static_cast<uint32_t>(std::min<uint64_t>(delay, kMaxDelay));
}

void MacroEditor::SetRowDelay(size_t row, uint32_t delay) {
    SetDelay(row, std::to_string(delay));
}

std::optional<MacroEditor::Change> MacroEditor::MoveSelected(Move move) {
    if (m_selected < 0) {
        return std::nullopt;
    }
    const int last = static_cast<int>(m_rows.size()) - 1;
    const bool upward = move == Move::kUp || move == Move::kTop;
    if ((upward && m_selected <= 0) || (!upward && m_selected >= last)) {
        return std::nullopt;
    }
    const int to = move == Move::kUp ? m_selected - 1 : move == Move::kDown ? m_selected + 1 : upward ? 0 : last;
    profiles::MacroRow row = std::move(m_rows[static_cast<size_t>(m_selected)]);
    m_rows.erase(m_rows.begin() + m_selected);
    m_rows.insert(m_rows.begin() + to, std::move(row));
    Change change;
    change.removed = m_selected;
    change.inserted = to;
    change.selected = m_selected = to;
    return change;
}

std::optional<MacroEditor::Change> MacroEditor::DeleteSelected() {
    if (m_selected < 0) {
        return std::nullopt;
    }
    Change change;
    change.removed = m_selected;
    m_rows.erase(m_rows.begin() + m_selected);
    // The row that took its place, or the new last one.
    m_selected = m_rows.empty() ? -1 : std::min(m_selected, static_cast<int>(m_rows.size()) - 1);
    change.selected = m_selected;
    return change;
}

MacroEditor::Change MacroEditor::DeleteAll() {
    m_rows.clear();
    m_selected = -1;
    Change change;
    change.all = true;
    return change;
}

MacroEditor::Change MacroEditor::Insert(size_t at, profiles::MacroRow row) {
    at = std::min(at, m_rows.size());
    m_rows.insert(m_rows.begin() + static_cast<long>(at), std::move(row));
    Change change;
    change.inserted = static_cast<int>(at);
    change.selected = m_selected = static_cast<int>(at);
    return change;
}

MacroEditor::Change MacroEditor::InsertButton(Button button, bool press) {
    // Rows 0-9 of the mouse event table: each button's press, then release.
    const size_t row = 2 * static_cast<size_t>(button) + (press ? 0 : 1);
    const MouseEventRow& event = MouseEventTable()[row];
    const std::string action = (event.flags & 0x80) != 0 ? "down" : "up";
    return Insert(static_cast<size_t>(m_selected + 1),
                  RowOf(Action(action, event.button, event.flags & 0x7Fu), std::to_string(m_fixedDelay)));
}

MacroEditor::Change MacroEditor::InsertMove(Direction direction, int64_t distance) {
    const MouseEventRow& event = MouseEventTable()[static_cast<size_t>(direction)];
    const std::string action = (event.flags & 0x80) != 0 ? "down" : "up";
    const auto byte = static_cast<uint8_t>(distance);  // as the byte the device takes
    return Insert(static_cast<size_t>(m_selected + 1),
                  RowOf(Action(action, byte, event.flags & 0x7Fu), std::to_string(m_fixedDelay)));
}

void MacroEditor::StartRecording(TimeMode time, InsertMode insert, uint32_t nowMs) {
    m_time = time;
    m_insert = insert;
    m_lastEventMs = nowMs;
    m_lastPress.reset();
    m_lastMouse = 0;
    m_recording = true;
}

std::optional<MacroEditor::Change> MacroEditor::RecordKey(bool press, uint8_t scan, bool extended,
                                                          uint32_t nowMs) {
    if (!m_recording) {
        return std::nullopt;
    }
    const std::pair<uint8_t, bool> key{scan, extended};
    if (press && m_lastPress == key) {
        return std::nullopt;  // the key's auto-repeat: one press is recorded
    }
    if (!press && m_lastPress == key) {
        m_lastPress.reset();
    }
    const auto scans = KeyScanTable();
    const auto codes = KeyCodeTable();
    size_t row = 0;
    while (row < scans.size() && !(scans[row].scan == scan && (scans[row].extended != 0) == extended)) {
        ++row;
    }
    if (row >= scans.size() || row >= codes.size()) {
        return std::nullopt;
    }
    if (press) {
        m_lastPress = key;
    }
    const KeyCodeRow& code = codes[row];
    const bool modifier = code.param2 == 0;
    return Record(press ? "down" : "up", modifier ? code.param1 : code.param2,
                  modifier ? kMacroTypeModifier : kMacroTypeKey, nowMs);
}

std::optional<MacroEditor::Change> MacroEditor::RecordMouse(uint32_t message, int xButton, bool onStopButton,
                                                            uint32_t nowMs) {
    if (!m_recording) {
        return std::nullopt;
    }
    const auto table = MouseEventTable();
    std::optional<size_t> row;
    for (size_t i = 0; i < 6; ++i) {
        if (table[i].message == message) {
            row = i;
        }
    }
    if (message == kMouseXDown || message == kMouseXUp) {
        const size_t up = message == kMouseXUp ? 1 : 0;
        row = xButton == 2 ? std::optional<size_t>(6 + up) : xButton == 1 ? std::optional<size_t>(8 + up)
                                                                         : std::nullopt;
    }
    if (!row || message == m_lastMouse) {
        return std::nullopt;
    }
    m_lastMouse = message;
    if ((message == kMouseLeftDown || message == kMouseLeftUp) && onStopButton) {
        return std::nullopt;  // the click that stops the recording
    }
    const MouseEventRow& event = table[*row];
    return Record((event.flags & 0x80) != 0 ? "down" : "up", event.button, event.flags & 0x7Fu, nowMs);
}

std::optional<MacroEditor::Change> MacroEditor::Record(const std::string& action, uint32_t button, uint32_t type,
                                                       uint32_t nowMs) {
    if (m_insert == InsertMode::kReplace) {
        if (m_selected < 0) {
            return std::nullopt;
        }
        Json::Value& event = m_rows[static_cast<size_t>(m_selected)].event;
        if (!event.isObject()) {
            event = Json::Value(Json::objectValue);
        }
        event["Button"] = button;
        event["Type"] = type;
        Change change;
        change.updated.push_back(m_selected);
        change.selected = m_selected;
        return change;
    }
    if (m_rows.size() >= kMaxRecordedRows) {
        return std::nullopt;
    }
    size_t at = m_rows.size();
    if (m_insert != InsertMode::kAppend) {
        if (m_selected < 0) {
            return std::nullopt;
        }
        at = static_cast<size_t>(m_selected) + (m_insert == InsertMode::kAfter ? 1 : 0);
    }
    uint32_t interval = 0;
    if (m_time == TimeMode::kRecorded) {
        const uint32_t elapsed = nowMs - m_lastEventMs;
        interval = elapsed > kMaxDelay - 1 ? kMaxDelay : elapsed;
        m_lastEventMs = nowMs;
    } else if (m_time == TimeMode::kConstant) {
        interval = m_fixedDelay;
    }
    profiles::MacroRow row;
    row.event = Action(action, button, type);
    if (at == 0) {
        row.event["Delay"] = 0;  // the first row carries the number 0
        row.delay = "0";
    } else {
        row.delay = m_time == TimeMode::kConstant ? std::to_string(m_fixedDelay) : "0";
        row.event["Delay"] = row.delay;
    }
    m_rows.insert(m_rows.begin() + static_cast<long>(at), std::move(row));
    Change change;
    change.inserted = static_cast<int>(at);
    // The row before the new one waited for it.
    if (m_recordedRow && at > 0) {
        SetRowDelay(at - 1, interval);
        change.updated.push_back(static_cast<int>(at - 1));
    }
    m_recordedRow = true;
    // Inserting before keeps the selected row (now one further on) selected.
    m_selected = m_insert == InsertMode::kBefore ? static_cast<int>(at + 1) : static_cast<int>(at);
    change.selected = m_selected;
    change.scroll = m_insert == InsertMode::kAppend;
    return change;
}

}  // namespace kx520
