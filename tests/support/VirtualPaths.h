#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kx520::sim {
class VirtualHidBackend;
}

namespace kx520::test {

// The path of a plugged virtual product's collection (interface 1 unless
// given; collection 0 for a single-collection interface); empty when there
// is none.
std::string CollectionPath(sim::VirtualHidBackend& backend, std::string_view product,
                           uint16_t collection, int interfaceNumber = -1);

}  // namespace kx520::test
