#include "platform/EvdevEventReader.h"

#include <gtest/gtest.h>
#include <linux/input.h>
#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "macros/HookRecord.h"
#include "platform/EvdevTranslator.h"

namespace kx520 {
namespace {

input_event Event(uint16_t type, uint16_t code, int32_t value) {
    input_event event{};
    event.type = type;
    event.code = code;
    event.value = value;
    return event;
}

// A recorded stream: A pressed (with its scan report), held (repeats),
// released, a relative move, the left button clicked, a joystick button.
std::vector<input_event> Recorded() {
    return {Event(EV_MSC, MSC_SCAN, 0x70004), Event(EV_KEY, KEY_A, 1),   Event(EV_SYN, SYN_REPORT, 0),
            Event(EV_KEY, KEY_A, 2),          Event(EV_SYN, SYN_REPORT, 0), Event(EV_KEY, KEY_A, 0),
            Event(EV_SYN, SYN_REPORT, 0),     Event(EV_REL, REL_X, 5),   Event(EV_SYN, SYN_REPORT, 0),
            Event(EV_KEY, BTN_LEFT, 1),       Event(EV_SYN, SYN_REPORT, 0), Event(EV_KEY, BTN_LEFT, 0),
            Event(EV_KEY, BTN_SOUTH, 1),      Event(EV_SYN, SYN_REPORT, 0)};
}

CapturedInput Key(uint16_t code, bool press) {
    return {CapturedInput::Kind::kKey, press, code};
}

CapturedInput Button(uint16_t code, bool press) {
    return {CapturedInput::Kind::kButton, press, code};
}

const std::vector<CapturedInput> kHeard = {Key(KEY_A, true), Key(KEY_A, true), Key(KEY_A, false),
                                           Button(BTN_LEFT, true), Button(BTN_LEFT, false)};

TEST(EvdevEventReader, ARecordedStreamThroughAPipeGivesKeysAndButtonsOnlyRepeatsAsPresses) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK | O_CLOEXEC), 0);
    const auto events = Recorded();
    ASSERT_EQ(::write(fds[1], events.data(), events.size() * sizeof(input_event)),
              static_cast<ssize_t>(events.size() * sizeof(input_event)));
    EvdevEventReader reader;
    std::vector<CapturedInput> heard;
    EXPECT_TRUE(reader.ReadAvailable(fds[0], heard));  // nothing more now: still there
    EXPECT_EQ(heard, kHeard);
    ::close(fds[1]);
    EXPECT_FALSE(reader.ReadAvailable(fds[0], heard));  // the writer is gone
    ::close(fds[0]);
}

TEST(EvdevEventReader, RecordsSplitAnywhereAreJoinedAndADropSkipsToTheNextReport) {
    const auto events = Recorded();
    const auto* bytes = reinterpret_cast<const uint8_t*>(events.data());
    const size_t size = events.size() * sizeof(input_event);
    EvdevEventReader reader;
    std::vector<CapturedInput> heard;
    for (size_t at = 0; at < size; at += 7) {
        reader.Feed(bytes + at, std::min<size_t>(7, size - at), heard);
    }
    EXPECT_EQ(heard, kHeard);

    // After the kernel dropped events, a half-seen press is not taken.
    const std::vector<input_event> dropped = {Event(EV_SYN, SYN_DROPPED, 0), Event(EV_KEY, KEY_B, 1),
                                              Event(EV_SYN, SYN_REPORT, 0), Event(EV_KEY, KEY_C, 1)};
    heard.clear();
    reader.Feed(reinterpret_cast<const uint8_t*>(dropped.data()), dropped.size() * sizeof(input_event), heard);
    EXPECT_EQ(heard, (std::vector<CapturedInput>{Key(KEY_C, true)}));
}

TEST(HookRecord, CapturedInputBecomesTheKeyAndMouseMessagesThePagesRead) {
    // A: set-1 0x1E; Right Ctrl: 0x1D extended; a key of no set-1 code: nothing.
    const auto a = KeyHookFrom(Key(KEY_A, true));
    ASSERT_TRUE(a);
    EXPECT_EQ(a->message, kKeyDownMessage);
    EXPECT_EQ(a->record.scanCode, 0x1Eu);
    EXPECT_EQ(a->record.flags, 0u);
    const auto ctrl = KeyHookFrom(Key(KEY_RIGHTCTRL, false));
    ASSERT_TRUE(ctrl);
    EXPECT_EQ(ctrl->message, kKeyUpMessage);
    EXPECT_EQ(ctrl->record.scanCode, 0x1Du);
    EXPECT_EQ(ctrl->record.flags, 1u);
    EXPECT_FALSE(KeyHookFrom(Key(0xF0, true)));
    EXPECT_FALSE(KeyHookFrom(Button(BTN_LEFT, true)));

    CapturedInput back = Button(BTN_SIDE, true);
    back.x = 300;
    back.y = -20;
    const auto side = MouseHookFrom(back);
    ASSERT_TRUE(side);
    EXPECT_EQ(side->message, 0x20Bu);
    EXPECT_EQ(side->record.mouseData >> 16, 1u);  // back
    EXPECT_EQ(side->record.x, 300);
    EXPECT_EQ(side->record.y, -20);
    EXPECT_EQ(MouseHookFrom(Button(BTN_EXTRA, false))->record.mouseData >> 16, 2u);  // forward
    EXPECT_EQ(MouseHookFrom(Button(BTN_EXTRA, false))->message, 0x20Cu);
    EXPECT_EQ(MouseHookFrom(Button(BTN_RIGHT, false))->message, 0x205u);
    EXPECT_EQ(MouseHookFrom(Button(BTN_MIDDLE, true))->message, 0x207u);
    EXPECT_FALSE(MouseHookFrom(Button(0x115, true)));

    EXPECT_STREQ(HookMessagesOf(8).keyboard, "WM_HOOK_KEY_KBMACROPREVIOUS_MSG");
    EXPECT_STREQ(HookMessagesOf(32).mouse, "WM_HOOK_KEY_MSMACROSINGLE_MSG");
    EXPECT_EQ(HookMessagesOf(1).keyboard, nullptr);  // key capture is not recording
}

}  // namespace
}  // namespace kx520
