#include "profiles/ShootGun.h"

#include <algorithm>

#include "platform/SafeJson.h"
#include "platform/DebugTrace.h"
#include "profiles/JsonFile.h"
#include "profiles/ShootImage.h"

namespace kx520::profiles {

namespace {

constexpr int kLeftButton = 1;
constexpr int kButtonType = 1;
constexpr int kHorizontalType = 4;
constexpr int kVerticalType = 5;
// A still bullet: a shot with no correction, as far apart as the shipped guns'.
constexpr int kStillDelay = 100;

Json::Value Event(const char* action, int button, int delay, int type) {
    Json::Value event(Json::objectValue);
    event["Action"] = action;
    event["Button"] = button;
    event["Delay"] = delay;
    event["Type"] = type;
    return event;
}

const char* Action(bool down) {
    return down ? "down" : "up";
}

// The six events of one bullet, as the page writes them.
std::vector<Json::Value> BulletEvents(const Bullet& bullet) {
    return {Event("down", kLeftButton, 10, kButtonType), Event("up", kLeftButton, 0, kButtonType),
            Event(Action(bullet.left), bullet.x, 5, kHorizontalType),
            Event(Action(bullet.up), bullet.y, bullet.delay, kVerticalType),
            Event(Action(bullet.left), 0, 0, kHorizontalType), Event(Action(bullet.up), 0, 0, kVerticalType)};
}

bool IsGun(const Json::Value& root) {
    const Json::Value& events = json::Member(root, "Events");
    return root.isObject() && events.isArray() && events.size() <= ShootGun::kMaxEvents;
}

// "Button" and "Delay" as numbers, whether the file wrote them as numbers or text.
int Number(const Json::Value& value) {
    if (value.isString()) {
        return static_cast<int>(std::strtol(value.asCString(), nullptr, 10));
    }
    return json::Int(value);
}

Bullet BulletAt(const Json::Value& events, size_t bullet) {
    const Json::Value& horizontal = json::Element(events, bullet * ShootGun::kEventsPerBullet + 2);
    const Json::Value& vertical = json::Element(events, bullet * ShootGun::kEventsPerBullet + 3);
    Bullet read;
    read.x = Number(json::Member(horizontal, "Button"));
    read.left = json::String(json::Member(horizontal, "Action")) == "down";
    read.y = Number(json::Member(vertical, "Button"));
    read.up = json::String(json::Member(vertical, "Action")) == "down";
    read.delay = Number(json::Member(vertical, "Delay"));
    return ShootGun::Clamped(read);
}

}  // namespace

Bullet ShootGun::Clamped(Bullet bullet) {
    bullet.x = std::clamp(bullet.x, 0, kMaxCorrection);
    bullet.y = std::clamp(bullet.y, 0, kMaxCorrection);
    bullet.delay = std::clamp(bullet.delay, 0, kMaxDelay);
    return bullet;
}

std::optional<Bullet> ShootGun::Read(const std::string& path, size_t bullet) {
    const Json::Value root = JsonFile::ReadJson(path);
    if (!IsGun(root) || bullet >= kBullets) {
        return std::nullopt;
    }
    const Json::Value& events = root["Events"];
    if (events.size() < (bullet + 1) * kEventsPerBullet) {
        return std::nullopt;
    }
    return BulletAt(events, bullet);
}

std::vector<Bullet> ShootGun::ReadAll(const std::string& path) {
    const Json::Value root = JsonFile::ReadJson(path);
    std::vector<Bullet> bullets;
    if (!IsGun(root)) {
        return bullets;
    }
    const Json::Value& events = root["Events"];
    for (size_t b = 0; b < kBullets && (b + 1) * kEventsPerBullet <= events.size(); ++b) {
        bullets.push_back(BulletAt(events, b));
    }
    return bullets;
}

std::string ShootGun::Write(const std::string& path, size_t bullet, Bullet value, const std::string& shippedPath) {
    if (bullet >= kBullets) {
        return "a gun has bullets 1 to 30";
    }
    Json::Value root = JsonFile::ReadJson(path);
    if (!IsGun(root)) {
        return "the gun file is damaged (reset the gun to start again)";
    }
    Json::Value& events = root["Events"];
    const Json::Value shipped = JsonFile::ReadJson(shippedPath);
    const Json::Value& shippedEvents = IsGun(shipped) ? shipped["Events"] : Json::Value::nullSingleton();
    // The bullets before this one, where the file stops short of them.
    while (events.size() < bullet * kEventsPerBullet) {
        const Json::ArrayIndex next = events.size();
        const size_t b = next / kEventsPerBullet;
        const bool fromShipped = shippedEvents.isArray() && shippedEvents.size() >= (b + 1) * kEventsPerBullet;
        Bullet still;
        still.delay = kStillDelay;
        const std::vector<Json::Value> filler = BulletEvents(fromShipped ? BulletAt(shippedEvents, b) : still);
        events.append(filler[next % kEventsPerBullet]);
    }
    const std::vector<Json::Value> written = BulletEvents(Clamped(value));
    for (size_t i = 0; i < kEventsPerBullet; ++i) {
        const auto at = static_cast<Json::ArrayIndex>(bullet * kEventsPerBullet + i);
        if (at < events.size()) {
            events[at] = written[i];
        } else {
            events.append(written[i]);
        }
    }
    std::string error;
    if (!JsonFile::WriteJson(path, root, &error)) {
        return "the gun file could not be written (" + error + ")";
    }
    return {};
}

std::string ShootGun::Import(const std::string& from, const std::string& to) {
    if (!IsGun(JsonFile::ReadJson(from))) {
        return "not a recoil pattern: a .shoot file holds an object with at most 180 \"Events\"";
    }
    return Copy(from, to);
}

std::string ShootGun::Copy(const std::string& from, const std::string& to) {
    return JsonFile::CopyFile(from, to) ? std::string() : "the file could not be copied (the old one is kept)";
}

std::string ShootGun::Provide(const std::string& folder, const std::string& shippedFolder) {
    if (folder.empty() || shippedFolder.empty()) {
        return "the mouse has no data folder";
    }
    for (size_t g = 0; g < ShootImage::kGuns; ++g) {
        const std::string path = ShootImage::GunPath(folder, g);
        if (ShootImage::GunReadable(path)) {
            continue;
        }
        const std::string name = path.substr(folder.size());
        if (!JsonFile::SafeToReplace(path) && !JsonFile::MoveAside(path)) {
            return name + " is damaged and could not be kept as a backup, so it was left as it is";
        }
        if (!JsonFile::CopyFile(ShootImage::GunPath(shippedFolder, g), path)) {
            return name + " could not be restored from the shipped recoil patterns";
        }
        DebugTrace(path + " restored from the shipped recoil patterns");
    }
    return {};
}

}  // namespace kx520::profiles
