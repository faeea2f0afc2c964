#pragma once

#include <QString>
#include <cstdint>

namespace kx520::ui {

// Window message numbers. Numbered messages keep their numbers; a
// registered name gets an id in 0xC000..0xFFFF that is the same for the same
// name everywhere in the process (the process's one registry).
inline constexpr uint32_t kMsgTimer = 0x0113;
inline constexpr uint32_t kMsgUser = 0x0400;
inline constexpr uint32_t kFirstRegisteredMessage = 0xC000;
inline constexpr uint32_t kLastRegisteredMessage = 0xFFFF;

// 0 when the registry is full or the name is empty.
uint32_t RegisterWindowMessage(const QString& name);
// The name of a registered id; empty for any other number.
QString RegisteredMessageName(uint32_t id);

}  // namespace kx520::ui
