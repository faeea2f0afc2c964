#include "ProfileFuzzTarget.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "profiles/CBasicProfiledata.h"
#include "profiles/ProfileList.h"

namespace {

using namespace kx520::profiles;

// One scratch folder per process, removed at exit.
// (A plain buffer: it outlives the static strings the exit handler would
// otherwise read after their destruction.)
char g_folder[] = "/tmp/kx520-fuzz-XXXXXX";

std::string Folder() {
    static const bool made = [] {
        if (::mkdtemp(g_folder) == nullptr) {
            std::abort();
        }
        std::atexit([] { std::filesystem::remove_all(g_folder); });
        return true;
    }();
    (void)made;
    return g_folder;
}

void Write(const std::string& path, const uint8_t* data, size_t size) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace

int FuzzProfileInput(const uint8_t* data, size_t size) {
    const std::string folder = Folder() + "/";
    // Each input on a folder of its own: what earlier inputs imported or
    // backed up would make every later one slower.
    std::error_code error;
    for (const auto& item : std::filesystem::directory_iterator(folder, error)) {
        std::filesystem::remove_all(item.path(), error);
    }
    const std::string profile = folder + "fuzz.Json";
    Write(profile, data, size);
    Write(folder + "template.Json", data, size);

    CBasicProfiledata section;
    section.SetFallbackPath(folder + "template.Json");
    section.SetProfilePath(profile);
    section.LoadSection(profile);
    section.GetLightInfo();
    section.GetAudioLightInfo();
    section.GetLightList();
    const auto keys = section.GetKeyList();
    section.SetKeyList(keys);
    section.LoadLightConfig(profile);
    section.LoadCustomEffect();
    section.Save();

    Write(folder + ProfileList::kListFile, data, size);
    ProfileList list(folder + "list", folder + "template.Json", ProfileList::kHeadset);
    list.Init();
    list.ImportProfile(profile);
    list.ResetProfile();
    ProfileList raw(folder, folder + "template.Json", ProfileList::kMouse);
    raw.Init();
    return 0;
}
