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

}  // namespace kx520::sim
