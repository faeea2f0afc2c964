#pragma once

namespace kx520 {

// Registers the page controls with the toolkit's control factory under
// their class texts ("DeviceKeyButton", "SelectPanel", "MpDevicePower").
// Safe to call again.
void RegisterPageControls();

}  // namespace kx520
