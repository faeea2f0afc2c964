#include "profiles/ShootGun.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/SafeJson.h"
#include "profiles/MacroStore.h"
#include "profiles/ProfileTestFiles.h"
#include "profiles/ShootImage.h"
#include "support/ProgramRun.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

class Gun : public ::testing::Test {
protected:
    void SetUp() override {
        path = temp.Path() + "/ShootData_0.Shoot";
        std::filesystem::copy_file(shipped, path);
    }
    Json::Value Events() const { return json::ReadFile(path).value_or(Json::Value())["Events"]; }

    test::TempDir temp;
    std::string shipped = std::string(KX520_DATA_DIR) + "/DefaultData/ShootData_0.Shoot";
    std::string path;
};

// Delay 35 and correction 7: the vertical event goes to the mouse as 35,
// 0, then 5 with the top bit for "down" (up), then 7.
TEST_F(Gun, ABulletWrittenIsItsSixEventsAndTheVerticalMoveReachesTheImageAsItsBytes) {
    struct Case {
        bool up;
        uint8_t typeByte;
    };
    for (const Case& c : {Case{false, 5}, Case{true, 133}}) {
        ASSERT_EQ(ShootGun::Write(path, 4, {3, true, 7, c.up, 35}, shipped), "");
        const Json::Value events = Events();
        ASSERT_EQ(events.size(), 180u);
        EXPECT_EQ(events[24]["Action"], "down");
        EXPECT_EQ(events[24]["Delay"], 10);
        EXPECT_EQ(events[26]["Action"], "down");  // left
        EXPECT_EQ(events[26]["Button"], 3);
        EXPECT_EQ(events[27]["Action"], c.up ? "down" : "up");
        EXPECT_EQ(events[27]["Delay"], 35);
        EXPECT_EQ(events[29]["Button"], 0);
        const MacroEventBytes bytes = MacroStore::ReadMacroEvent(events[27]);
        EXPECT_EQ(bytes, (MacroEventBytes{35, 0, c.typeByte, 7}));
        EXPECT_EQ(ShootGun::Read(path, 4), (Bullet{3, true, 7, c.up, 35}));
    }
}

TEST_F(Gun, ValuesAreClampedAndABulletPastTheFilesEndIsCompletedFromTheShippedGun) {
    EXPECT_EQ(ShootGun::Clamped({300, false, -4, true, 70000}), (Bullet{255, false, 0, true, 65535}));
    test::WriteText(path, R"({"Events": [], "Name": "kept"})");
    EXPECT_FALSE(ShootGun::Read(path, 0));
    ASSERT_EQ(ShootGun::Write(path, 2, {1, false, 2, false, 40}, shipped), "");
    const Json::Value root = json::ReadFile(path).value_or(Json::Value());
    EXPECT_EQ(root["Name"], "kept");  // other keys stay
    ASSERT_EQ(root["Events"].size(), 18u);
    for (const Json::Value& event : root["Events"]) {
        EXPECT_TRUE(event.isObject());  // no null event reaches the image
    }
    EXPECT_EQ(ShootGun::Read(path, 0), ShootGun::Read(shipped, 0));
    EXPECT_EQ(ShootGun::ReadAll(path).size(), 3u);
    // Without a shipped gun the bullets before are still ones.
    test::WriteText(path, R"({"Events": []})");
    ASSERT_EQ(ShootGun::Write(path, 1, {1, false, 2, false, 40}, temp.Path() + "/none"), "");
    EXPECT_EQ(ShootGun::Read(path, 0), (Bullet{0, false, 0, false, 100}));
    EXPECT_NE(ShootGun::Write(path, 30, {}, shipped), "");
}

TEST_F(Gun, ImportTakesOnlyAGunAndAFailedCopyKeepsTheOldFile) {
    const std::string other = temp.Path() + "/in.shoot";
    struct Case {
        const char* text;
        bool taken;
    };
    std::string big = R"({"Events": [)";
    for (int i = 0; i < 181; ++i) {
        big += std::string(i == 0 ? "" : ",") + R"({"Action":"up","Button":0,"Delay":0,"Type":4})";
    }
    big += "]}";
    const Case cases[] = {{R"({"Events": []})", true}, {R"([1, 2])", false}, {R"({"Events": 3})", false},
                          {"not json", false}, {big.c_str(), false}};
    for (const Case& c : cases) {
        std::filesystem::copy_file(shipped, path, std::filesystem::copy_options::overwrite_existing);
        test::WriteText(other, c.text);
        EXPECT_EQ(ShootGun::Import(other, path).empty(), c.taken) << c.text;
        EXPECT_EQ(Events().size(), c.taken ? 0u : 180u) << c.text;
    }
    EXPECT_NE(ShootGun::Copy(temp.Path() + "/missing", path), "");
    EXPECT_EQ(Events().size(), 180u);
    ASSERT_EQ(ShootGun::Copy(path, temp.Path() + "/out.shoot"), "");
    EXPECT_EQ(test::ReadAll(temp.Path() + "/out.shoot"), test::ReadAll(path));
}

}  // namespace
}  // namespace kx520::profiles
