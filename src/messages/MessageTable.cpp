#include "messages/MessageTable.h"

namespace kx520 {

void MessageTable::Add(MessageRule rule) {
    if (Find(rule.message) != nullptr) {
        return;
    }
    m_rules.push_back(std::move(rule));
}

const MessageRule* MessageTable::Find(uint32_t message) const {
    for (const MessageRule& rule : m_rules) {
        if (rule.message == message) {
            return &rule;
        }
    }
    return nullptr;
}

MessageTable::Outcome MessageTable::Dispatch(uint32_t message, uintptr_t wParam, intptr_t lParam,
                                             bool awake) const {
    const MessageRule* rule = Find(message);
    if (rule == nullptr) {
        return Outcome::Unknown;
    }
    if (!awake && !rule->whileSuspended) {
        return Outcome::Dropped;
    }
    if (rule->handler) {
        rule->handler(wParam, lParam);
    }
    return rule->consumes ? Outcome::Consumed : Outcome::Handled;
}

}  // namespace kx520
