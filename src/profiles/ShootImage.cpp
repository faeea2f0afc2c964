#include "profiles/ShootImage.h"

#include <algorithm>

#include "platform/RegularFile.h"
#include "platform/SafeJson.h"
#include "profiles/JsonFile.h"

namespace kx520::profiles {

namespace {

void Put16(std::vector<uint8_t>& image, size_t at, size_t value) {
    image[at] = static_cast<uint8_t>(value & 0xFF);
    image[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

std::string ShootImage::GunPath(const std::string& folder, size_t gun) {
    return folder + "ShootData_" + std::to_string(gun) + ".Shoot";
}

bool ShootImage::GunReadable(const std::string& path) {
    return IsRegularFile(path) && json::Member(JsonFile::ReadJson(path), "Events").isArray();
}

std::vector<MacroEventBytes> ShootImage::ReadGun(const std::string& path) {
    const Json::Value root = JsonFile::ReadJson(path);
    const Json::Value& events = json::Member(root, "Events");
    std::vector<MacroEventBytes> bytes;
    if (!events.isArray()) {
        return bytes;
    }
    const size_t count = std::min<size_t>(events.size(), kMaxEvents);
    bytes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        bytes.push_back(MacroStore::ReadMacroEvent(json::Element(events, i)));
    }
    return bytes;
}

std::vector<uint8_t> ShootImage::Build(const std::array<std::vector<MacroEventBytes>, kGuns>& guns) {
    size_t length = kHeaderSize;
    for (const auto& gun : guns) {
        length += 4 + 4 * std::min(gun.size(), kMaxEvents);
    }
    std::vector<uint8_t> image(length, 0);
    Put16(image, 0, 0x55AA);
    Put16(image, 2, length);  // below 64 KiB: four guns of at most 180 events
    Put16(image, 4, kGuns);
    size_t cursor = kHeaderSize;
    for (size_t g = 0; g < kGuns; ++g) {
        const size_t count = std::min(guns[g].size(), kMaxEvents);
        Put16(image, 16 + 2 * g, cursor);
        Put16(image, cursor, count);
        for (size_t e = 0; e < count; ++e) {
            std::copy(guns[g][e].begin(), guns[g][e].end(), image.begin() + static_cast<std::ptrdiff_t>(cursor + 4 + 4 * e));
        }
        cursor += 4 + 4 * count;
    }
    return image;
}

std::vector<uint8_t> ShootImage::BuildFromFolder(const std::string& folder) {
    std::array<std::vector<MacroEventBytes>, kGuns> guns;
    for (size_t g = 0; g < kGuns; ++g) {
        guns[g] = ReadGun(GunPath(folder, g));
    }
    return Build(guns);
}

}  // namespace kx520::profiles
