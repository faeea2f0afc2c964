#include "pages/CMacroControlUI.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>

#include "../profiles/ProfileTestFiles.h"
#include "../ui/UiTestSupport.h"
#include "pages/PageControls.h"
#include "support/TempDir.h"
#include "builder/CDialogBuilder.h"
#include "controls/CEditUI.h"
#include "builder/CListUI.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {
namespace {

using Result = profiles::MacroStore::SaveResult;

// A key's press and release, a move up by 12 and the left button's press.
constexpr const char* kFireEvents = R"({"MacroName": "fire", "Guid": "g1", "Version": 64, "Events": [
    {"Action": "down", "Type": 10, "Button": 4, "Delay": "30"},
    {"Action": "up", "Type": 10, "Button": 4, "Delay": "40"},
    {"Action": "down", "Type": 5, "Button": 12, "Delay": "5"},
    {"Action": "down", "Type": 1, "Button": 1, "Delay": 0}]})";

class MacroPage : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPageControls();
        ASSERT_TRUE(window.Create());
        folder = temp.Path() + "/keyboard/";
        std::filesystem::create_directories(folder);
        test::WriteText(folder + "macro.config", R"({"MacroInfo": [{"MacroName": "fire", "Guid": "g1"},
            {"MacroName": "macro_1", "Guid": "g2"}, {"MacroName": "macro_3", "Guid": "g3"}]})");
        test::WriteText(folder + "g1.mac", kFireEvents);
        ui::CDialogBuilder builder;
        QString error;
        page = dynamic_cast<CMacroControlUI*>(builder.Create(QStringLiteral("XML/CustomControlXML/MacroControl.xml"),
                                                             &window.GetPaintManager(), nullptr, &error));
        ASSERT_NE(page, nullptr) << error.toStdString();
        page->SetManager(&window.GetPaintManager());
        page->setParent(&window);
        page->resize(936, 300);
        window.show();
        page->show();
        page->SetFolder(folder);
        clock = 1000;
        page->SetClock([this] { return clock; });
    }

    template <typename T = ui::CControlUI>
    T* Find(const char* name) {
        return dynamic_cast<T*>(ui::CPaintManagerUI::FindSubControlByName(page, QLatin1String(name)));
    }
    ui::CListUI* Rows() { return Find<ui::CListUI>("macro_action_list"); }
    QList<ui::CControlUI*> Cells(int row) { return Rows()->GetItemAt(row)->ChildControls(); }
    Json::Value Saved(const std::string& id) { return test::ReadJsonFile(folder + id + ".mac")["Events"]; }

    test::TempDir temp;
    std::string folder;
    uint32_t clock = 0;
    test::RecordingWindow window{QStringLiteral("XML/CustomControlXML/MpDevicePower.xml")};
    CMacroControlUI* page = nullptr;
};

TEST_F(MacroPage, TheListShowsTheFirstMacrosRowsAndNamesTheSmallestFreeNumber) {
    EXPECT_EQ(page->MacroNames(), (std::vector<std::string>{"fire", "macro_1", "macro_3"}));
    ASSERT_EQ(page->SelectedMacro(), 0);
    ASSERT_EQ(Rows()->GetCount(), 4);
    EXPECT_EQ(Cells(0)[0]->GetText(), QStringLiteral("keyboard_key_A"));
    EXPECT_EQ(Cells(0)[1]->GetText(), QStringLiteral("macro_action_down"));
    EXPECT_EQ(Cells(1)[1]->GetText(), QStringLiteral("macro_action_up"));
    EXPECT_EQ(Cells(0)[2]->GetText(), QStringLiteral("30"));
    // A move shows its distance in place of the direction.
    EXPECT_EQ(Cells(2)[0]->GetText(), QStringLiteral("mouse_move_to_up_text"));
    EXPECT_EQ(Cells(2)[1]->GetText(), QStringLiteral("12"));
    EXPECT_TRUE(Cells(2)[1]->IsPlainText());
    EXPECT_EQ(Cells(3)[0]->GetText(), QStringLiteral("mouse_key_left"));
    EXPECT_TRUE(Find("macro_btn_export")->IsEnabled());

    const auto added = page->AddMacro();
    ASSERT_TRUE(added);
    EXPECT_EQ(page->MacroNames().back(), "macro_2");
    EXPECT_EQ(page->SelectedMacro(), 3);
    EXPECT_EQ(Rows()->GetCount(), 0);

    // A name in use (in another letter case) is refused and changes nothing.
    Find("macro_edit_macroname")->SetText(QStringLiteral("FIRE"));
    EXPECT_EQ(page->RenameSelected(), profiles::MacroStore::RenameResult::kInUse);
    EXPECT_EQ(page->MacroNames().back(), "macro_2");
}

TEST_F(MacroPage, SavingTakesTheTypedDelaysAnEmptyOneAsZeroAndKeepsRowsBeyondTheLimit) {
    Cells(0)[2]->SetText(QString());
    Cells(1)[2]->SetText(QStringLiteral("777"));
    ASSERT_EQ(page->Save(), Result::kSaved);
    Json::Value events = Saved("g1");
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0]["Delay"].asString(), "0");
    EXPECT_EQ(events[1]["Delay"].asString(), "777");
    EXPECT_EQ(Cells(0)[2]->GetText(), QStringLiteral("0"));

    const std::string before = test::ReadJsonFile(folder + "g1.mac").toStyledString();
    page->SelectRow(3);
    for (int i = 0; i < 247; ++i) {
        page->InsertButton(MacroEditor::Button::kRight, i % 2 == 0);
    }
    ASSERT_EQ(page->RowCount(), 251);
    EXPECT_EQ(page->Save(), Result::kTooManyEvents);
    EXPECT_EQ(page->RowCount(), 251);  // the user's rows stay to be trimmed
    EXPECT_EQ(Rows()->GetCount(), 251);
    EXPECT_EQ(test::ReadJsonFile(folder + "g1.mac").toStyledString(), before);
    page->DeleteRow();
    EXPECT_EQ(page->Save(), Result::kSaved);
    EXPECT_EQ(Saved("g1").size(), 250u);
}

TEST_F(MacroPage, MovingARowKeepsItSelectedAndInsertedMovesTakeTheirEditsDistance) {
    page->SelectRow(2);
    page->MoveRow(MacroEditor::Move::kTop);
    EXPECT_EQ(page->SelectedRow(), 0);
    EXPECT_EQ(Rows()->GetCurSel(), 0);
    EXPECT_EQ(Cells(0)[0]->GetText(), QStringLiteral("mouse_move_to_up_text"));
    Find("mouse_x_right_edit")->SetText(QStringLiteral("300"));  // a byte: 300 is 44
    page->InsertMove(MacroEditor::Direction::kRight);
    EXPECT_EQ(page->SelectedRow(), 1);
    EXPECT_EQ(Cells(1)[0]->GetText(), QStringLiteral("mouse_move_to_right_text"));
    EXPECT_EQ(Cells(1)[1]->GetText(), QStringLiteral("44"));
    EXPECT_EQ(Cells(1)[2]->GetText(), QStringLiteral("50"));
}

TEST_F(MacroPage, RecordingLocksThePageDropsClicksOnStopAndLeavingThePageSaysSo) {
    page->SelectMacro(1);
    page->StartRecording(MacroEditor::TimeMode::kRecorded, MacroEditor::InsertMode::kAppend);
    EXPECT_FALSE(Find("macro_btn_starredio")->isVisibleTo(page));
    EXPECT_TRUE(Find("macro_btn_stopredio")->isVisibleTo(page));
    EXPECT_FALSE(Find("macro_name_tab")->IsMouseEnabled());
    EXPECT_FALSE(Rows()->IsMouseEnabled());
    EXPECT_FALSE(Find("macro_tab_macroaction_edit")->IsEnabled());

    ui::CControlUI* stop = Find("macro_btn_stopredio");
    const QPoint onStop = stop->mapToGlobal(stop->rect().center());
    page->RecordMouse(0x201, 0, onStop);
    page->RecordMouse(0x202, 0, onStop);
    EXPECT_EQ(page->RowCount(), 0);
    page->RecordKey(true, 0x1E, false);
    clock += 70000;  // a 70 s pause
    page->RecordKey(false, 0x1E, false);
    ASSERT_EQ(page->RowCount(), 2);
    QApplication::processEvents();  // recorded rows show together, on the next turn
    EXPECT_EQ(Cells(0)[2]->GetText(), QStringLiteral("65535"));
    EXPECT_EQ(Cells(1)[2]->GetText(), QStringLiteral("0"));

    window.Clear();
    page->hide();
    EXPECT_TRUE(window.Seen().contains(QStringLiteral("recordingleft:MacroControlItem")));
    page->show();
    page->StopRecording();
    EXPECT_TRUE(Find("macro_btn_starredio")->isVisibleTo(page));
    EXPECT_TRUE(Rows()->IsMouseEnabled());
    window.Clear();
    page->hide();  // not recording: nothing to end
    EXPECT_FALSE(window.Seen().contains(QStringLiteral("recordingleft:MacroControlItem")));
}

}  // namespace
}  // namespace kx520
