#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kx520::profiles {

// One bullet of a gun as the shoot page edits it: events 6b + 2 and 6b + 3
// of the gun file ("down" = left or up, "up" = right or down).
struct Bullet {
    int x = 0;          // horizontal correction, 0-255
    bool left = false;  // horizontal move "down"
    int y = 0;          // vertical correction, 0-255
    bool up = false;    // vertical move "down"
    int delay = 0;      // ms after the vertical move, 0-65535

    friend bool operator==(const Bullet&, const Bullet&) = default;
};

// The bullets of one gun file ("ShootData_<g>.Shoot"): read, one written in
// place, and whole files copied in and out. Every write replaces the file
// atomically; a failed one leaves the old file. Errors are "" or why not.
class ShootGun {
public:
    static constexpr size_t kBullets = 30;
    static constexpr size_t kEventsPerBullet = 6;
    static constexpr size_t kMaxEvents = kBullets * kEventsPerBullet;
    static constexpr int kMaxCorrection = 255;
    static constexpr int kMaxDelay = 65535;

    // Corrections kept to 0-255 and the delay to 0-65535.
    static Bullet Clamped(Bullet bullet);
    // Bullet `bullet` of the file, or nothing when the file is not a gun or
    // holds fewer events.
    static std::optional<Bullet> Read(const std::string& path, size_t bullet);
    // Every bullet the file holds (at most 30).
    static std::vector<Bullet> ReadAll(const std::string& path);
    // The six events of bullet `bullet` written with `value` (clamped). A
    // file shorter than that bullet is first completed with the bullets of
    // `shippedPath` (the shipped gun of the same name), or still ones where
    // it has none; a file that is not a gun is refused.
    static std::string Write(const std::string& path, size_t bullet, Bullet value, const std::string& shippedPath);
    // `from` over `to`, byte for byte, once it reads as a gun (an object
    // with an "Events" array of at most 180 events).
    static std::string Import(const std::string& from, const std::string& to);
    // `from`, byte for byte, to `to`.
    static std::string Copy(const std::string& from, const std::string& to);
    // The shipped guns of `shippedFolder` copied into `folder` where it has
    // none, and over one that is not a gun (kept as .bak first). Both end
    // with '/'. "" or what could not be done.
    static std::string Provide(const std::string& folder, const std::string& shippedFolder);
};

}  // namespace kx520::profiles
