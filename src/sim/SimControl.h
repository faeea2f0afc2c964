#pragma once

#include <string>
#include <vector>

namespace kx520::sim {

class VirtualHidBackend;

// The virtual devices of a running program, driven by words:
//   plug PRODUCT | unplug PRODUCT | fault PRODUCT FAULT [COUNT] |
//   notify PRODUCT [CODE] | battery PRODUCT PERCENT | reset PRODUCT
// (CODE decimal or 0x-hex, 0x401 by default: the settings changed on the
// device; reset: the factory state, and the kept flash removed). Returns an
// error text, empty on success.
std::string RunSimCommand(VirtualHidBackend& backend, const std::vector<std::string>& args);

// What a plugged virtual product holds, as one JSON object: its lighting
// ("lightProfile", "lightRecord", "light" as the firmware reads the record,
// "keyColours" and the last streamed "frame", or null). Empty, with the
// reason in `error`, for a product that is not plugged.
std::string VirtualStateJson(VirtualHidBackend& backend, const std::string& product, std::string& error);

}  // namespace kx520::sim
