#pragma once

#include <string>

#include "protocol/DeviceState.h"

namespace kx520::ctl {

using protocol::DeviceState;
using protocol::ReadDeviceState;
using protocol::ReadLightRecord;

std::string FormatStateJson(const DeviceState& state);
std::string FormatStateText(const DeviceState& state);

}  // namespace kx520::ctl
