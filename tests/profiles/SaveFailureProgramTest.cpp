// A data folder that cannot take a save, as the running application meets
// it: a full disk and a read-only one. Every command that saves says so and
// exits 1, and no file is left changed or half written.
#include <gtest/gtest.h>
#include <json/json.h>

#include <filesystem>
#include <map>
#include <string>

#include "app/AppProgram.h"
#include "platform/SafeJson.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"
#include "support/TightFolder.h"

namespace kx520 {
namespace {

using test::App;
using test::WaitFor;

// Every file of `folder` with its bytes, the filler left out.
std::map<std::string, std::string> Files(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (item.is_regular_file() && name != test::TightFolder::kFiller) {
            files[item.path().string()] = test::ReadAll(item.path().string());
        }
    }
    return files;
}

// The first profile file's section of the kind in `folder`.
Json::Value Section(const std::string& folder) {
    const Json::Value list = json::ReadFile(folder + "/ProfileList.ini").value_or(Json::Value());
    const std::string id = list["profilelist"][0]["profileUUID"].asString();
    return json::ReadFile(folder + "/" + id + ".Json").value_or(Json::Value())["Device"][0];
}

TEST(SaveFailures, AFullOrReadOnlyFolderFailsEachSaveWithItsReasonAndLeavesEveryFileWhole) {
    test::TempDir temp;
    const std::string data = temp.Sub("data");
    App app("--simulate=keyboard,mouse --automation", "QT_QPA_PLATFORM=offscreen XDG_DATA_HOME='" + data + "'");
    ASSERT_TRUE(app.Ready()) << app.Errors();
    ASSERT_TRUE(WaitFor([] {
        return test::OptionIs("keyboard", "connected", true) && test::OptionIs("mouse", "connected", true);
    }));
    const std::string keyboard = data + "/KX520 PRO Keyboard/keyboard";
    const std::string mouse = data + "/KX520 PRO Keyboard/mouse";
    ASSERT_TRUE(WaitFor([&] { return Section(keyboard).isObject() && Section(mouse).isObject(); }));
    ASSERT_TRUE(WaitFor([] {  // the mouse has told its scale
        return json::Parse(test::Ctl("mouse show --json").out).value_or(Json::Value())["scale"]["step"].asInt() > 0;
    }));
    const Json::Value keyBefore = Section(keyboard)["KeyList"][10]["Assignment"];
    test::TightFolder keyboardDisk(keyboard, 64 * 1024);
    test::TightFolder mouseDisk(mouse, 256 * 1024);
    if (!keyboardDisk.Mounted() || !mouseDisk.Mounted()) {
        GTEST_SKIP() << "a tmpfs of its own needs root";
    }
    const auto before = Files(data);
    const char* commands[] = {"keyboard save", "lighting keyboard set --mode 3", "mouse dpi set 1 1200",
                              "mouse dpi active 2", "mouse rate 2", "lighting mouse set --mode 3"};
    const struct {
        const char* disk;
        const char* reason;
    } disks[] = {{"full", "No space left on device"}, {"read-only", "Read-only file system"}};
    for (const auto& disk : disks) {
        SCOPED_TRACE(disk.disk);
        if (std::string(disk.disk) == "full") {
            keyboardDisk.Fill();
            mouseDisk.Fill();
        } else {
            keyboardDisk.Unfill();
            mouseDisk.Unfill();
            ASSERT_TRUE(keyboardDisk.SetReadOnly(true) && mouseDisk.SetReadOnly(true));
        }
        ASSERT_EQ(test::Ctl("keyboard assign 10 key B").exitCode, 0);  // nothing saved yet
        for (const char* command : commands) {
            const auto run = test::Ctl(command);
            EXPECT_EQ(run.exitCode, 1) << command;
            EXPECT_NE(run.err.find(disk.reason), std::string::npos) << command << ": " << run.err;
        }
        EXPECT_EQ(Files(data), before);
    }
    for (const auto& [path, text] : Files(data)) {
        if (path.ends_with(".Json") || path.ends_with(".ini") || path.ends_with(".config")) {
            EXPECT_TRUE(json::Parse(text).has_value()) << path;
        }
    }
    // Writable again: the same commands go through and the files hold them.
    ASSERT_TRUE(keyboardDisk.SetReadOnly(false) && mouseDisk.SetReadOnly(false));
    for (const char* command : commands) {
        const auto run = test::Ctl(command);
        EXPECT_EQ(run.exitCode, 0) << command << ": " << run.err;
    }
    EXPECT_NE(Section(keyboard)["KeyList"][10]["Assignment"], keyBefore);
    EXPECT_EQ(Section(keyboard)["LightInfo"]["SelectItem"].asInt(), 3);
    EXPECT_EQ(Section(mouse)["DPIStages"]["StageDPIs"][1]["StageDPIX"].asInt(), 22);
    EXPECT_EQ(Section(mouse)["LightInfo"]["SelectItem"].asInt(), 3);
}

}  // namespace
}  // namespace kx520
