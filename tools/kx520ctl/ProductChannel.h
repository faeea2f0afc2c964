#pragma once

#include <string>
#include <string_view>

#include "hid/HidBackend.h"
#include "protocol/CommandChannel.h"

namespace kx520::ctl {

// Unusable: present, but its report descriptor was refused.
enum class ConnectResult { Connected, NotAttached, AccessDenied, OpenFailed, Unusable };

// Opens the command interface of `product` (a product name) on `channel`
// the way the application does: the link and mode of its class, then marks
// the channel open. `path` gets the interface's path when there is one.
ConnectResult ConnectProduct(protocol::CommandChannel& channel, hid::HidBackend& backend,
                             std::string_view product, std::string* path);

}  // namespace kx520::ctl
