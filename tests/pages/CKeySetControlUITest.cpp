#include "pages/CKeySetControlUI.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "../ui/UiTestSupport.h"
#include "pages/PageControls.h"
#include "controls/CComboUI.h"
#include "builder/CDialogBuilder.h"
#include "controls/CEditUI.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {
namespace {

using profiles::KeyAction;
using profiles::KeyAssignmentEntry;

class KeyPage : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterPageControls();
        ASSERT_TRUE(window.Create());
        QString error;
        page = dynamic_cast<CKeySetControlUI*>(
            test::BuildLayout(window, QStringLiteral("XML/CustomControlXML/KeySetControl.xml"), error));
        ASSERT_NE(page, nullptr) << error.toStdString();
        page->SetManager(&window.GetPaintManager());
        page->Build(CKeySetControlUI::kKeyboardKind);
        page->FillMacroCombo({"aim", "reload", "build"});
    }

    template <typename T>
    T* Find(const char* name) {
        return dynamic_cast<T*>(ui::CPaintManagerUI::FindSubControlByName(page, QLatin1String(name)));
    }
    int Tab() { return Find<ui::CTabLayoutUI>("function_switch_tablayout")->GetCurSel(); }

    static KeyAssignmentEntry OfA(KeyAction current) {
        current.keyIndex = 64;
        return {current, {64, 0x20, 0, 0x04}};
    }

    test::RecordingWindow window{QStringLiteral("XML/CustomControlXML/MpDevicePower.xml")};
    CKeySetControlUI* page = nullptr;
};

TEST_F(KeyPage, AKeyboardOffersNeitherDpiNorRecoil) {
    auto* kinds = Find<ui::CComboUI>("keyset_function_combo");
    ASSERT_NE(kinds, nullptr);
    EXPECT_FALSE(kinds->IsItemVisible(4));
    EXPECT_FALSE(kinds->IsItemVisible(10));
    EXPECT_TRUE(kinds->IsItemVisible(7));
    EXPECT_FALSE(page->IsShowingKey());
}

TEST_F(KeyPage, ACodeShowsOnItsKindsControlsAndBuildsBackTheSame) {
    page->ShowKey(OfA({0, 0x12, 0x01, 0xFD}));  // wheel down 3, speed 1
    EXPECT_TRUE(page->IsShowingKey());
    EXPECT_EQ(Tab(), kKindWheel);
    EXPECT_EQ(Find<ui::CEditUI>("keyset_mousewheel_num_edit")->GetText(), QStringLiteral("3"));
    EXPECT_EQ(Find<ui::CComboUI>("keyset_mousewheel_combo")->GetCurSel(), 1);
    EXPECT_EQ(page->BuildCode().assignment, (KeyAction{64, 0x12, 0x01, 0xFD}));

    page->ShowKey(OfA({0, 0x70, 2, 3}));
    EXPECT_EQ(Tab(), kKindMacro);
    EXPECT_EQ(Find<ui::CComboUI>("keyset_macro_combo")->GetCurSel(), 2);
    EXPECT_EQ(Find<ui::CComboUI>("keyset_macro_over_combo")->GetCurSel(), 3);
    Find<ui::CComboUI>("keyset_macro_over_combo")->SelectItem(4, false);
    page->OnMacroModeChosen();
    EXPECT_TRUE(Find<ui::CControlUI>("keyset_macro_cycle_layout")->IsVisible());
    Find<ui::CEditUI>("keyset_macro_cycle_edit")->SetText(QStringLiteral("6"));
    EXPECT_EQ(page->BuildCode().assignment, (KeyAction{64, 0x71, 2, 6}));
}

TEST_F(KeyPage, TheMacroListFollowsTheEditorItemByItem) {
    auto* macros = Find<ui::CComboUI>("keyset_macro_combo");
    page->AddMacroItem("spray");
    EXPECT_EQ(macros->GetCount(), 4);
    page->ShowKey(OfA({0, 0x70, 3, 0}));  // the new macro is a macro of the list
    EXPECT_EQ(macros->GetCurSel(), 3);
    page->SetMacroItemText(0, "aim better");
    EXPECT_EQ(macros->GetItemText(0), QStringLiteral("aim better"));
    page->RemoveMacroItem(3);
    page->ShowKey(OfA({0, 0x70, 3, 0}));
    EXPECT_EQ(macros->GetCurSel(), -1);  // gone: it names no macro any more
}

TEST_F(KeyPage, DefaultCancelUnknownTypesAndCapturedKeys) {
    page->ShowKey(OfA({0, 0x20, 0, 0x05}));
    EXPECT_EQ(Tab(), kKindKey);
    EXPECT_EQ(Find<ui::CEditUI>("keyset_keyboard_text_edit")->GetText().isEmpty(), false);
    page->ShowDefault();
    EXPECT_EQ(Tab(), kKindDefault);
    EXPECT_EQ(page->BuildCode().assignment, (KeyAction{64, 0x20, 0, 0x04}));
    page->ShowKey(OfA({0, 0x20, 0, 0x05}));
    // Right Ctrl, then Z: stored with the left Ctrl bit.
    ASSERT_TRUE(page->CaptureKey(0x1D, true));
    EXPECT_EQ(page->SelectedModifier(), 1);
    ASSERT_TRUE(page->CaptureKey(0x2C, false));
    EXPECT_EQ(page->BuildCode().assignment, (KeyAction{64, 0x20, 0x01, 0x1D}));
    page->ShowKey(OfA({0, 0x99, 0, 0}));
    EXPECT_FALSE(page->IsShowingKey());  // no kind: hidden rather than shown wrong
}

TEST_F(KeyPage, ChoosingTheKeyKindStartsWithAnEmptyKeyAndNoModifier) {
    page->ShowKey(OfA({0, 0x20, 0x02, 0x05}));
    ASSERT_EQ(page->SelectedModifier(), 2);
    Find<ui::CComboUI>("keyset_function_combo")->SelectItem(kKindKey, false);
    page->OnKindChosen();
    EXPECT_EQ(page->SelectedModifier(), -1);
    EXPECT_TRUE(Find<ui::CEditUI>("keyset_keyboard_text_edit")->GetText().isEmpty());
    EXPECT_EQ(page->BuildCode().assignment, (KeyAction{64, 0x20, 0, 0}));
    page->EnableEdits(true);
    EXPECT_TRUE(page->EditsEnabled());
    page->EnableEdits(false);
    EXPECT_FALSE(page->EditsEnabled());
}

// Key events as X11 and Wayland give them: native scan code = evdev + 8.
bool Press(QObject* target, uint32_t evdev) {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, evdev + 8, 0, 0);
    return QApplication::sendEvent(target, &event) && event.isAccepted();
}

TEST_F(KeyPage, TheKeyFieldCapturesRealKeysAndLetsTheLockKeysThrough) {
    page->ShowKey(OfA({0, 0x20, 0, 0x05}));
    QLineEdit* field = Find<ui::CEditUI>("keyset_keyboard_text_edit")->LineEdit();
    // Without the hook control's start, keys are the field's own.
    Press(field, 30);
    EXPECT_EQ(page->BuildCode().assignment, (KeyAction{64, 0x20, 0, 0x05}));
    page->SetCapturing(true);
    window.Clear();
    Press(field, 97);  // right Ctrl
    Press(field, 30);  // A
    EXPECT_EQ(page->BuildCode().assignment, (KeyAction{64, 0x20, 0x01, 0x04}));
    EXPECT_TRUE(field->text().isEmpty() || field->text() != QStringLiteral("a"));  // not typed
    QApplication::processEvents();
    EXPECT_TRUE(window.Seen().contains(QStringLiteral("keycaptured:KeySetControlItem")))
        << window.Seen().join(QLatin1Char(' ')).toStdString();
    Press(field, 96);  // keypad Enter
    EXPECT_EQ(page->BuildCode().assignment.param2, 0x58);
    Press(field, 102);  // Home
    EXPECT_EQ(page->BuildCode().assignment.param2, 0x4A);
    // Caps Lock is not taken: the field does not stop it.
    const auto before = page->BuildCode().assignment;
    QKeyEvent caps(QEvent::KeyPress, Qt::Key_CapsLock, Qt::NoModifier, 58 + 8, 0, 0);
    QApplication::sendEvent(field, &caps);
    EXPECT_EQ(page->BuildCode().assignment, before);
}

}  // namespace
}  // namespace kx520
