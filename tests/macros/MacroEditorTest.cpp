#include "macros/MacroEditor.h"

#include <gtest/gtest.h>

#include "macros/MacroActionView.h"

namespace kx520 {
namespace {

using Time = MacroEditor::TimeMode;
using Insert = MacroEditor::InsertMode;

constexpr uint8_t kScanA = 0x1E;
constexpr uint8_t kScanB = 0x30;
constexpr uint8_t kScanLShift = 0x2A;

std::string Text(const profiles::MacroRow& row, const char* key) {
    return row.event[key].isString() ? row.event[key].asString() : std::to_string(row.event[key].asUInt());
}

profiles::MacroRow Row(const char* action, uint32_t button, uint32_t type, const char* delay) {
    Json::Value event(Json::objectValue);
    event["Action"] = action;
    event["Button"] = button;
    event["Type"] = type;
    event["Delay"] = delay;
    return {event, delay};
}

TEST(MacroRecording, AHeldKeyIsOnePressAndItsRelease) {
    MacroEditor editor;
    editor.StartRecording(Time::kIgnore, Insert::kAppend, 0);
    EXPECT_TRUE(editor.RecordKey(true, kScanA, false, 10));
    EXPECT_FALSE(editor.RecordKey(true, kScanA, false, 40));  // auto-repeat
    EXPECT_FALSE(editor.RecordKey(true, kScanA, false, 70));
    EXPECT_TRUE(editor.RecordKey(false, kScanA, false, 90));
    EXPECT_TRUE(editor.RecordKey(true, kScanA, false, 120));  // pressed again
    ASSERT_EQ(editor.Rows().size(), 3u);
    EXPECT_EQ(Text(editor.Rows()[0], "Action"), "down");
    EXPECT_EQ(editor.Rows()[0].event["Button"].asUInt(), 4u);  // the usage of A
    EXPECT_EQ(editor.Rows()[0].event["Type"].asUInt(), 10u);
    EXPECT_EQ(Text(editor.Rows()[1], "Action"), "up");
    // A modifier is its bit, of type 9; a scan code of no key is dropped.
    EXPECT_TRUE(editor.RecordKey(true, kScanLShift, false, 130));
    EXPECT_EQ(editor.Rows()[3].event["Button"].asUInt(), 0x02u);
    EXPECT_EQ(editor.Rows()[3].event["Type"].asUInt(), 9u);
    EXPECT_FALSE(editor.RecordKey(true, 0x7F, true, 140));
}

TEST(MacroRecording, TheClickOnTheStopButtonIsNotRecordedAndRepeatsAreDropped) {
    MacroEditor editor;
    editor.StartRecording(Time::kIgnore, Insert::kAppend, 0);
    EXPECT_FALSE(editor.RecordMouse(0x201, 0, true, 5));
    EXPECT_FALSE(editor.RecordMouse(0x202, 0, true, 6));
    EXPECT_TRUE(editor.Rows().empty());
    EXPECT_TRUE(editor.RecordMouse(0x20B, 2, false, 7));  // forward
    EXPECT_FALSE(editor.RecordMouse(0x20B, 2, false, 8));  // the same message again
    EXPECT_TRUE(editor.RecordMouse(0x20C, 2, false, 9));
    EXPECT_FALSE(editor.RecordMouse(0x20B, 3, false, 9));  // no such X button
    EXPECT_FALSE(editor.RecordMouse(0x200, 0, false, 9));  // a move is not a button
    ASSERT_EQ(editor.Rows().size(), 2u);
    EXPECT_EQ(editor.Rows()[0].event["Button"].asUInt(), 0x10u);
    EXPECT_EQ(editor.Rows()[0].event["Type"].asUInt(), 1u);
    EXPECT_EQ(Text(editor.Rows()[1], "Action"), "up");
}

TEST(MacroRecording, RecordedTimeGoesToTheRowBeforeAndALongPauseIs65535) {
    MacroEditor editor;
    editor.StartRecording(Time::kRecorded, Insert::kAppend, 1000);
    editor.RecordKey(true, kScanA, false, 1200);
    EXPECT_TRUE(editor.Rows()[0].event["Delay"].isIntegral());  // the first row: the number 0
    EXPECT_EQ(editor.Rows()[0].delay, "0");
    editor.RecordKey(false, kScanA, false, 1200 + 70000);
    editor.RecordKey(true, kScanB, false, 1200 + 70000 + 35);
    EXPECT_EQ(editor.Rows()[0].delay, "65535");
    EXPECT_EQ(Text(editor.Rows()[0], "Delay"), "65535");
    EXPECT_EQ(editor.Rows()[1].delay, "35");
    EXPECT_EQ(editor.Rows()[2].delay, "0");  // waits for the next event
}

TEST(MacroRecording, ConstantTimeGivesEveryRowTheFixedDelay) {
    MacroEditor editor;
    editor.SetFixedDelay(50);
    editor.StartRecording(Time::kConstant, Insert::kAppend, 0);
    editor.RecordKey(true, kScanA, false, 3);
    editor.RecordKey(false, kScanA, false, 900);
    editor.RecordMouse(0x204, 0, false, 901);
    ASSERT_EQ(editor.Rows().size(), 3u);
    for (const auto& row : editor.Rows()) {
        EXPECT_EQ(row.delay, "50");
    }
    editor.SetFixedDelay(70000);
    EXPECT_EQ(editor.FixedDelay(), 65535u);
}

TEST(MacroRecording, InsertingBeforeAndAfterKeepsTheSelectionAsDescribed) {
    MacroEditor editor;
    editor.Load({Row("down", 4, 10, "5"), Row("up", 4, 10, "6")});
    editor.Select(1);
    editor.StartRecording(Time::kIgnore, Insert::kBefore, 0);
    EXPECT_TRUE(editor.RecordKey(true, kScanB, false, 1));
    EXPECT_EQ(editor.Selected(), 2);  // the row it went before
    EXPECT_TRUE(editor.RecordKey(false, kScanB, false, 2));
    EXPECT_EQ(editor.Selected(), 3);
    ASSERT_EQ(editor.Rows().size(), 4u);
    EXPECT_EQ(editor.Rows()[1].event["Button"].asUInt(), 5u);
    EXPECT_EQ(Text(editor.Rows()[2], "Action"), "up");
    EXPECT_EQ(Text(editor.Rows()[3], "Delay"), "6");
    editor.Select(0);
    editor.StartRecording(Time::kIgnore, Insert::kAfter, 0);
    EXPECT_TRUE(editor.RecordMouse(0x207, 0, false, 3));
    EXPECT_EQ(editor.Selected(), 1);
    EXPECT_TRUE(editor.RecordMouse(0x208, 0, false, 4));
    EXPECT_EQ(editor.Selected(), 2);
    EXPECT_EQ(editor.Rows()[1].event["Button"].asUInt(), 0x04u);
    EXPECT_EQ(Text(editor.Rows()[2], "Action"), "up");
    // Without a selected row there is nothing to insert at.
    editor.Select(-1);
    EXPECT_FALSE(editor.RecordKey(true, kScanA, false, 5));
}

TEST(MacroRecording, ReplaceKeepsTheActionAndTheDelayOfTheSelectedRow) {
    MacroEditor editor;
    editor.Load({Row("up", 4, 10, "123")});
    editor.Select(0);
    editor.StartRecording(Time::kRecorded, Insert::kReplace, 0);
    const auto change = editor.RecordKey(true, kScanB, false, 500);
    ASSERT_TRUE(change);
    ASSERT_EQ(editor.Rows().size(), 1u);
    EXPECT_EQ(Text(editor.Rows()[0], "Action"), "up");
    EXPECT_EQ(Text(editor.Rows()[0], "Delay"), "123");
    EXPECT_EQ(editor.Rows()[0].event["Button"].asUInt(), 5u);
    EXPECT_EQ(change->updated, std::vector<int>{0});
}

TEST(MacroRecording, NoMoreThan4000RowsAreRecorded) {
    MacroEditor editor;
    editor.Load(std::vector<profiles::MacroRow>(MacroEditor::kMaxRecordedRows, Row("down", 4, 10, "0")));
    editor.StartRecording(Time::kIgnore, Insert::kAppend, 0);
    EXPECT_FALSE(editor.RecordKey(true, kScanA, false, 1));
    editor.StopRecording();
    EXPECT_FALSE(editor.Recording());
}

TEST(MacroEditing, RowsMoveWithinTheListAndInsertedMouseRowsFollowTheSelection) {
    MacroEditor editor;
    editor.Load({Row("down", 4, 10, "1"), Row("up", 4, 10, "2"), Row("down", 5, 10, "3")});
    EXPECT_FALSE(editor.MoveSelected(MacroEditor::Move::kUp));  // nothing selected
    editor.Select(0);
    EXPECT_FALSE(editor.MoveSelected(MacroEditor::Move::kTop));
    ASSERT_TRUE(editor.MoveSelected(MacroEditor::Move::kBottom));
    EXPECT_EQ(editor.Selected(), 2);
    EXPECT_EQ(editor.Rows()[2].delay, "1");
    EXPECT_FALSE(editor.MoveSelected(MacroEditor::Move::kDown));
    ASSERT_TRUE(editor.MoveSelected(MacroEditor::Move::kUp));
    EXPECT_EQ(editor.Rows()[1].delay, "1");
    editor.SetFixedDelay(25);
    const auto inserted = editor.InsertButton(MacroEditor::Button::kBack, true);
    EXPECT_EQ(inserted.inserted, 2);
    EXPECT_EQ(editor.Rows()[2].event["Button"].asUInt(), 0x08u);
    EXPECT_EQ(editor.Rows()[2].delay, "25");
    editor.InsertMove(MacroEditor::Direction::kUp, 300);  // a byte: 44
    EXPECT_EQ(editor.Rows()[3].event["Type"].asUInt(), 5u);
    EXPECT_EQ(editor.Rows()[3].event["Button"].asUInt(), 44u);
    EXPECT_EQ(Text(editor.Rows()[3], "Action"), "down");  // up is "down" for moves
    ASSERT_TRUE(editor.DeleteSelected());
    EXPECT_EQ(editor.Selected(), 3);  // the row that took its place
    editor.DeleteAll();
    EXPECT_TRUE(editor.Rows().empty());
    EXPECT_EQ(editor.Selected(), -1);
    editor.InsertButton(MacroEditor::Button::kLeft, false);  // at the top
    EXPECT_EQ(Text(editor.Rows()[0], "Action"), "up");
}

TEST(MacroActionView, EachTypeReadsAsTheTablesName) {
    EXPECT_EQ(RenderActionRow(Row("down", 4, 10, "70000").event).name, "keyboard_key_A");
    EXPECT_EQ(RenderActionRow(Row("down", 4, 10, "70000").event).delay, "65535");
    EXPECT_EQ(RenderActionRow(Row("down", 4, 10, "7").event).nameStyle, kMacroKeyboardStyle);
    EXPECT_EQ(RenderActionRow(Row("up", 2, 9, "7").event).name, "keyboard_key_LShift");
    EXPECT_EQ(RenderActionRow(Row("up", 2, 9, "7").event).directionStyle, kMacroUpStyle);
    EXPECT_EQ(RenderActionRow(Row("down", 0x10, 1, "7").event).name, "mouse_key_forward");
    const MacroActionView move = RenderActionRow(Row("down", 7, 4, "7").event);
    EXPECT_EQ(move.name, "mouse_move_to_left_text");
    EXPECT_EQ(move.direction, "7");
    EXPECT_EQ(move.directionStyle, kMacroTextStyle);
    EXPECT_EQ(RenderActionRow(Row("up", 7, 5, "7").event).name, "mouse_move_to_down_text");
    EXPECT_EQ(RenderActionRow(Json::Value()).name, "");  // no event: nothing to name
}

}  // namespace
}  // namespace kx520
