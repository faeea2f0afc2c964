#include "sim/FlashStore.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "profiles/JsonFile.h"
#include "sim/VirtualFirmware.h"

namespace kx520::sim {

std::string FlashStore::DefaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    std::string base;
    if (state != nullptr && state[0] == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        return {};
    }
    return base + "/kx520/virtual";
}

std::string FlashStore::KindOf(std::string_view product) {
    constexpr std::string_view kReceiver = "-receiver";
    if (product.ends_with(kReceiver)) {
        product.remove_suffix(kReceiver.size());
    }
    for (const std::string_view kind : {"keyboard", "mouse", "mousepad", "headset"}) {
        if (product == kind) {
            return std::string(kind);
        }
    }
    return {};
}

std::string FlashStore::PathOf(std::string_view product) const {
    const std::string kind = KindOf(product);
    return kind.empty() || m_folder.empty() ? std::string() : m_folder + "/" + kind + ".json";
}

bool FlashStore::Load(std::string_view product, VirtualFirmware& firmware) const {
    const std::string path = PathOf(product);
    if (path.empty() || !profiles::JsonFile::Exists(path)) {
        return false;
    }
    return firmware.RestoreFlash(profiles::JsonFile::ReadJson(path));
}

bool FlashStore::Save(std::string_view product, const VirtualFirmware& firmware) const {
    const std::string path = PathOf(product);
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    return profiles::JsonFile::WriteJson(path, firmware.FlashImage());
}

bool FlashStore::Remove(std::string_view product) const {
    const std::string path = PathOf(product);
    return !path.empty() && (std::remove(path.c_str()) == 0 || !profiles::JsonFile::Exists(path));
}

}  // namespace kx520::sim
