#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "profiles/MacroStore.h"

namespace kx520::profiles {

// The mouse's recoil patterns ("guns"): four files "ShootData_<g>.Shoot" in
// its data folder, each an object whose "Events" are macro events, and the
// one image the mouse takes of all four.
class ShootImage {
public:
    static constexpr size_t kGuns = 4;
    // 30 bullets of 6 events: more is not a gun a page could have made.
    static constexpr size_t kMaxEvents = 180;
    static constexpr size_t kHeaderSize = 16 + 2 * kGuns;

    // `folder` ends with '/'.
    static std::string GunPath(const std::string& folder, size_t gun);
    // A regular file within the size bound whose root is an object with an
    // "Events" array: a gun a page or the shipped data could have written.
    static bool GunReadable(const std::string& path);
    // A gun's events as the device takes them: none for a missing or
    // unreadable file, at most kMaxEvents.
    static std::vector<MacroEventBytes> ReadGun(const std::string& path);
    // The image: 0x55AA, length, gun count, the blocks' offsets, then each
    // gun's event count and events.
    static std::vector<uint8_t> Build(const std::array<std::vector<MacroEventBytes>, kGuns>& guns);
    static std::vector<uint8_t> BuildFromFolder(const std::string& folder);
};

}  // namespace kx520::profiles
