#pragma once

#include <cstdint>
#include <vector>

namespace kx520::test {

// Report descriptors a hostile or broken device can carry.

// `leading` small vendor collections, then one whose array fields of
// `count` one-bit elements on the button page (40 to a report id, three
// bytes each) once made every button entry's usage list as long as all of
// them together. With leading = 3 the big one is collection 4, where the
// keyboard's command interface sits.
std::vector<uint8_t> QuadraticUsageListDescriptor(int fields, uint32_t count, int leading = 0);

}  // namespace kx520::test
