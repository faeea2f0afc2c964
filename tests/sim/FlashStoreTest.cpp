#include "sim/FlashStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "keyboard/KeyboardCore.h"
#include "kx520ctl/ProductChannel.h"
#include "platform/SafeJson.h"
#include "profiles/ProfileTestFiles.h"
#include "sim/FirmwareDriver.h"
#include "sim/SimControl.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"

namespace kx520::sim {
namespace {

class Flash : public ::testing::Test {
protected:
    // A run of the program: a backend with the user's flash, the keyboard
    // plugged and its channel open.
    struct Run {
        explicit Run(const std::string& folder, const char* product = "keyboard") {
            backend.SetFlashStore(std::make_shared<FlashStore>(folder));
            backend.Plug(product);
            ok = ctl::ConnectProduct(core.Channel(), backend, product, nullptr) ==
                 ctl::ConnectResult::Connected;
            core.LoadDefaults();
        }
        VirtualFirmware& Firmware(const char* product = "keyboard") {
            return backend.Firmware(product)->Firmware();
        }
        VirtualHidBackend backend;
        KeyboardCore core{backend};
        bool ok = false;
    };

    void SetUp() override {
        folder = temp.Path() + "/state/kx520/virtual";
    }

    static void WriteRedWave(KeyboardCore& core) {
        profiles::LightSetting setting;
        setting.mode = 1;
        setting.red = 0xFF;
        core.SetLight(setting);
    }

    test::TempDir temp;
    std::string folder;
};

TEST_F(Flash, WhatWasWrittenIsThereInTheNextRunOnTheCableAndThroughTheReceiver) {
    std::vector<uint8_t> written;
    {
        Run first(folder);
        ASSERT_TRUE(first.ok);
        first.core.SetFolders(temp.Path() + "/", std::string(KX520_DATA_DIR) + "/DefaultData/");
        first.core.LoadDefaults();
        WriteRedWave(first.core);
        ASSERT_EQ(first.core.WriteLightConfig(1, 1), protocol::kResultSuccess);
        written = first.Firmware().Config();
        EXPECT_EQ(written[25 + 6], 0xFF);
    }
    EXPECT_TRUE(std::filesystem::exists(folder + "/keyboard.json"));
    Run second(folder, "keyboard-receiver");  // the same keyboard
    EXPECT_EQ(second.Firmware("keyboard-receiver").Config(), written);
}

TEST_F(Flash, AResetRestoresTheFactoryStateAndForgetsTheFlash) {
    Run first(folder);
    ASSERT_TRUE(first.ok);
    const auto factory = first.Firmware().Config();
    first.core.SetFolders(temp.Path() + "/", std::string(KX520_DATA_DIR) + "/DefaultData/");
    first.core.LoadDefaults();
    WriteRedWave(first.core);
    ASSERT_EQ(first.core.WriteLightConfig(1, 1), protocol::kResultSuccess);
    ASSERT_NE(first.Firmware().Config(), factory);
    EXPECT_EQ(RunSimCommand(first.backend, {"reset", "keyboard"}), "");
    EXPECT_EQ(first.Firmware().Config(), factory);
    EXPECT_FALSE(std::filesystem::exists(folder + "/keyboard.json"));
}

TEST_F(Flash, ADamagedOrForeignFlashFileIsIgnored) {
    std::filesystem::create_directories(folder);
    test::WriteText(folder + "/keyboard.json", R"({"keyCount": 126, "keys": "zz"})");
    Run broken(folder);
    VirtualFirmware factory(*FindVirtualProduct("keyboard"));
    EXPECT_EQ(broken.Firmware().KeyAssignments(), factory.KeyAssignments());
    test::WriteText(folder + "/keyboard.json", "{\"keyCount\": 60}");  // another model's
    Run other(folder);
    EXPECT_EQ(other.Firmware().Info()[5], 126);
}

TEST(KeyboardModel, AModelSetsTheKeysTheirOrderAndLedsAndABadOneIsRefused) {
    VirtualHidBackend backend;
    Json::Value model = *json::Parse(R"({"keys": [[32, 0, 4], [32, 0, 41]], "leds": [7, 3]})");
    std::string error;
    ASSERT_TRUE(backend.SetModel("keyboard", model, &error)) << error;
    backend.Plug("keyboard");
    VirtualFirmware& firmware = backend.Firmware("keyboard")->Firmware();
    EXPECT_EQ(firmware.Info()[5], 2);
    const auto table = firmware.KeyTable();
    EXPECT_EQ(std::vector<uint8_t>(table.begin(), table.begin() + 6),
              (std::vector<uint8_t>{32, 0, 4, 32, 0, 41}));
    EXPECT_EQ(firmware.KeyExtra()[0], 7);
    firmware.ResetToFactory();
    EXPECT_EQ(firmware.Info()[5], 2);  // a reset keeps the model

    for (const char* bad : {R"({"keys": [[1, 2]]})", R"({"keys": [[1, 2, 300]]})", R"([1])",
                            R"({"keys": [[1, 2, 3]], "leds": ["a"]})"}) {
        EXPECT_FALSE(backend.SetModel("keyboard", *json::Parse(bad), &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(backend.SetModel("mouse", model, &error));
}

TEST(VirtualBattery, TheLevelIsSetWithinItsRange) {
    VirtualHidBackend backend;
    EXPECT_NE(RunSimCommand(backend, {"battery", "keyboard-receiver", "40"}), "");  // not plugged
    backend.Plug("keyboard-receiver");
    EXPECT_EQ(RunSimCommand(backend, {"battery", "keyboard-receiver", "40"}), "");
    EXPECT_EQ(backend.Firmware("keyboard-receiver")->Firmware().Status()[4], 40);
    EXPECT_NE(RunSimCommand(backend, {"battery", "keyboard-receiver", "101"}), "");
    EXPECT_NE(RunSimCommand(backend, {"battery", "keyboard-receiver"}), "");
}

}  // namespace
}  // namespace kx520::sim
