#pragma once

#include <cstdint>
#include <functional>
#include <deque>

namespace kx520 {

// One message a window takes: its number (a registered message's number as
// the window resolved it), who may send it and what runs.
struct MessageRule {
    using Handler = std::function<void(uintptr_t wParam, intptr_t lParam)>;

    uint32_t message = 0;
    // Runs while the system is suspended too.
    bool whileSuspended = false;
    // Other programs may post it (only registered messages ever are).
    bool fromOtherPrograms = false;
    // The toolkit's own handling of the message is skipped.
    bool consumes = false;
    Handler handler;
};

// A window's messages as rows instead of branches: the window and the
// components that own a message add its row, and dispatch finds it by
// number. The first row added for a number is the one that runs.
class MessageTable {
public:
    enum class Outcome {
        Unknown,   // no row for the number
        Dropped,   // a row, but not one that runs while suspended
        Handled,
        Consumed,  // handled, and the toolkit must not handle it too
    };

    void Add(MessageRule rule);
    const MessageRule* Find(uint32_t message) const;
    // Runs the row of `message`; `awake` is false while the system sleeps.
    Outcome Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam, bool awake) const;
    size_t Size() const { return m_rules.size(); }

private:
    // A deque: a handler that adds a row leaves the running row in place.
    std::deque<MessageRule> m_rules;
};

}  // namespace kx520
