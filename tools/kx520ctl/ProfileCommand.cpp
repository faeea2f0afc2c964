#include "kx520ctl/ProfileCommand.h"

#include <iostream>

#include "catalog/DeviceCatalog.h"
#include "platform/DataFolders.h"
#include "platform/DeviceLock.h"
#include "platform/Utf8.h"
#include "profiles/JsonFile.h"
#include "profiles/ProfileList.h"

namespace kx520::ctl {

namespace {

using profiles::ProfileList;

constexpr int kOk = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

using KindRow = DeviceKindWord;
// A profile list's kind is the cabled class of its device.
static_assert(int{ProfileList::kKeyboard} == int{KeyboardWired} &&
              int{ProfileList::kMouse} == int{MouseWired} &&
              int{ProfileList::kMousePad} == int{MousePad} &&
              int{ProfileList::kHeadset} == int{Headset});

const KindRow* FindKind(const std::string& name) {
    for (const KindRow& row : kDeviceKindWords) {
        if (name == row.word) {
            return &row;
        }
    }
    return nullptr;
}

ProfileList ListOf(const KindRow& kind) {
    return ProfileList(DeviceDataFolder(kind.folder),
                       ShippedDataFolder("DefaultData") + "/" + kind.folder + ".Json", kind.deviceClass);
}

std::string JsonText(const Json::Value& value) {
    return profiles::JsonFile::StyledText(value);
}

// Selects --profile NAME in memory (nothing is written); false when absent.
// Names come from files anyone can hand the user: never let one write
// escape sequences to the terminal.
std::string Shown(const std::string& text) {
    return utf8::Printable(text);
}

bool Choose(ProfileList& list, const std::string& name, int& index) {
    index = name.empty() ? list.Selected() : list.FindName(name);
    if (index < 0) {
        std::cerr << "kx520ctl: no profile named '" << Shown(name) << "'\n";
        return false;
    }
    return true;
}

int List(ProfileList& list, bool json) {
    if (!list.Read()) {
        std::cout << (json ? "[]\n" : "No profiles yet.\n");
        return kOk;
    }
    Json::Value rows(Json::arrayValue);
    for (size_t i = 0; i < list.Entries().size(); ++i) {
        const auto& entry = list.Entries()[i];
        if (!json) {
            std::cout << (static_cast<int>(i) == list.Selected() ? "* " : "  ") << Shown(entry.name)
                      << "  (" << Shown(entry.id) << ")\n";
            continue;
        }
        Json::Value row(Json::objectValue);
        row["name"] = entry.name;
        row["id"] = entry.id;
        row["selected"] = static_cast<int>(i) == list.Selected();
        row["file"] = list.ProfilePath(entry.id);
        rows.append(row);
    }
    if (json) {
        std::cout << JsonText(rows);
    }
    return kOk;
}

int Show(ProfileList& list, const ProfileCommand::Options& options) {
    int index = -1;
    if (!list.Read() || !Choose(list, options.profile, index)) {
        if (options.profile.empty()) {
            std::cerr << "kx520ctl: no profiles yet\n";
        }
        return kFailure;
    }
    const auto& entry = list.Entries()[static_cast<size_t>(index)];
    const Json::Value content = profiles::JsonFile::ReadJson(list.ProfilePath(entry.id));
    if (!content.isObject()) {
        std::cerr << "kx520ctl: " << Shown(list.ProfilePath(entry.id)) << " cannot be read\n";
        return kFailure;
    }
    if (options.json) {
        std::cout << JsonText(content);
        return kOk;
    }
    std::cout << "name: " << Shown(entry.name) << "\nid:   " << Shown(entry.id)
              << "\nfile: " << Shown(list.ProfilePath(entry.id)) << "\n";
    const Json::Value& section = content["Device"].isArray() && !content["Device"].empty()
                                     ? content["Device"][0]
                                     : Json::Value::nullSingleton();
    if (section.isObject()) {
        for (const std::string& key : section.getMemberNames()) {
            std::cout << "  " << Shown(key);
            if (section[key].isArray()) {
                std::cout << " (" << section[key].size() << " entries)";
            }
            std::cout << "\n";
        }
    }
    return kOk;
}

int Export(ProfileList& list, const std::string& path, const ProfileCommand::Options& options) {
    int index = -1;
    if (!list.Read()) {
        std::cerr << "kx520ctl: no profiles yet\n";
        return kFailure;
    }
    if (!Choose(list, options.profile, index)) {
        return kFailure;
    }
    std::string error;
    if (!list.ExportProfile(path, &error, index)) {
        std::cerr << "kx520ctl: " << error << "\n";
        return kFailure;
    }
    return kOk;
}

int Import(ProfileList& list, const std::string& path) {
    std::string error;
    // The application owns the list while it runs; it imports from its page.
    const auto lock = DeviceLock::TryAcquire("profiles", &error);
    if (!lock) {
        std::cerr << "kx520ctl: the KX520 application is running and owns the profiles; "
                     "close it or import from its profile page\n";
        return kFailure;
    }
    if (!list.Init() || !list.ImportProfile(path, &error)) {
        std::cerr << "kx520ctl: " << (error.empty() ? "cannot write the profile list" : error)
                  << "\n";
        return kFailure;
    }
    std::cout << Shown(list.Entries().back().name) << "\n";
    return kOk;
}

}  // namespace

std::string ProfileCommand::KindFolder(const std::string& kind) {
    const KindRow* row = FindKind(kind);
    return row != nullptr ? row->folder : "";
}

int ProfileCommand::Run(const std::vector<std::string>& args, const Options& options) {
    if (args.size() < 2) {
        std::cerr << "kx520ctl: usage: profile list|show|export|import KIND ...\n";
        return kUsage;
    }
    const std::string& verb = args[0];
    const KindRow* kind = FindKind(args[1]);
    if (kind == nullptr) {
        std::cerr << "kx520ctl: unknown kind '" << args[1]
                  << "' (keyboard, mouse, mousepad, headset)\n";
        return kUsage;
    }
    ProfileList list = ListOf(*kind);
    if (verb == "list" && args.size() == 2) {
        return List(list, options.json);
    }
    if (verb == "show" && args.size() == 2) {
        return Show(list, options);
    }
    if (verb == "export" && args.size() == 3) {
        return Export(list, args[2], options);
    }
    if (verb == "import" && args.size() == 3) {
        return Import(list, args[2]);
    }
    std::cerr << "kx520ctl: usage: profile list KIND | show KIND | export KIND FILE | "
                 "import KIND FILE\n";
    return kUsage;
}

}  // namespace kx520::ctl
