// The shipped profile templates against the tables they must agree with.
#include <gtest/gtest.h>

#include "catalog/DeviceCatalog.h"
#include "catalog/PageKeyDefaults.h"
#include "profiles/CBasicProfiledata.h"
#include "profiles/CKeyboardProfiledata.h"

namespace kx520::profiles {
namespace {

TEST(Templates, EveryKindsTemplateLoadsWithALightPerLedAndTheFactoryKeys) {
    for (size_t row = 0; row < kDeviceCatalog.size(); ++row) {
        const std::string kind = kDeviceCatalog[row].folderName;
        CBasicProfiledata data;
        const Json::Value& section =
            data.LoadSection(std::string(KX520_DATA_DIR) + "/DefaultData/" + kind + ".Json");
        ASSERT_TRUE(section.isObject()) << kind;
        EXPECT_EQ(data.GetLightList().size(),
                  static_cast<size_t>(kDevicePageTable[row].lightSlotCount))
            << kind;
        EXPECT_EQ(data.GetLightInfo().brightness, 4) << kind;
        // A fresh profile lets every LED show the effect: no entry of its
        // own (a present mode-0 entry would breathe over it).
        for (const auto& entry : data.GetLightList()) {
            EXPECT_EQ(entry.present, 0) << kind;
        }
    }
    CBasicProfiledata keyboard;
    keyboard.LoadSection(std::string(KX520_DATA_DIR) + "/DefaultData/keyboard.Json");
    const auto keys = keyboard.GetKeyList();
    ASSERT_EQ(keys.size(), kPageKeyDefaults.size());
    for (size_t i = 0; i < keys.size(); ++i) {
        const KeyCode& code = kPageKeyDefaults[i];
        EXPECT_EQ(keys[i].defaultAssignment, (KeyAction{static_cast<uint16_t>(i), code.type,
                                                        code.param1, code.param2}));
        EXPECT_EQ(keys[i].assignment, keys[i].defaultAssignment);
    }
    // The keyboard's own sections ship too: repeat delay 500 ms, no layouts yet.
    CKeyboardProfiledata own;
    own.LoadSection(std::string(KX520_DATA_DIR) + "/DefaultData/keyboard.Json");
    EXPECT_EQ(own.GetSystemStages().repeatDelay, 1);
    EXPECT_TRUE(own.Section()["CustomLightMode"]["LightColorInfo"].isArray());
    EXPECT_EQ(own.GetCustomLightGroup(), 0);
}

}  // namespace
}  // namespace kx520::profiles
