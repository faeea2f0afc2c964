#include "kx520ctl/ListCommand.h"

#include <gtest/gtest.h>
#include <json/json.h>

#include "discovery/UdevRule.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::ctl {
namespace {

TEST(ListCommand, JsonHasOneObjectPerAcceptedInterfaceWithNumbers) {
    sim::VirtualHidBackend backend;
    backend.Plug("mousepad");
    backend.Plug("headset");
    const InterfaceListing listing = ListInterfaces(backend);
    Json::Value root;
    Json::Reader reader;
    ASSERT_TRUE(reader.parse(FormatListingJson(listing), root));
    ASSERT_TRUE(root.isArray());
    ASSERT_EQ(root.size(), 3u);
    const Json::Value& pad = root[0];
    EXPECT_EQ(pad["slot"].asInt(), 8);
    EXPECT_EQ(pad["vendorId"].asInt(), 0x320F);
    EXPECT_EQ(pad["productId"].asInt(), 0x1004);
    EXPECT_EQ(pad["interface"].asInt(), 1);
    EXPECT_EQ(pad["collection"].asInt(), 4);
    EXPECT_EQ(pad["usagePage"].asInt(), 0xFF1C);
    EXPECT_EQ(pad["usage"].asInt(), 0x92);
    EXPECT_EQ(pad["deviceClass"].asInt(), 3);
    EXPECT_EQ(pad["linkRole"].asInt(), 0);
    EXPECT_TRUE(pad["path"].isString());
    EXPECT_EQ(root[1]["linkRole"].asInt(), 255);
    EXPECT_EQ(root[2]["slot"].asInt(), 10);
}

TEST(ListCommand, TextSaysWhenNothingIsThere) {
    sim::VirtualHidBackend backend;
    EXPECT_EQ(FormatListingText(ListInterfaces(backend)), "No supported device found.\n");
    EXPECT_EQ(FormatListingJson(ListInterfaces(backend)), "[]\n");
}

TEST(UdevRule, CoversEachAcceptedInterfaceOnceAndNothingElse) {
    const std::string rule = UdevRuleText();
    EXPECT_NE(rule.find("ATTRS{idVendor}==\"320f\", ATTRS{idProduct}==\"50c2\", "
                        "ENV{KX520_USB_INTERFACE}==\"01\", TAG+=\"uaccess\""),
              std::string::npos);
    EXPECT_NE(rule.find("ATTRS{idVendor}==\"0c76\", ATTRS{idProduct}==\"1630\", "
                        "ENV{KX520_USB_INTERFACE}==\"03\""),
              std::string::npos);
    size_t grants = 0;
    for (size_t at = rule.find("uaccess"); at != std::string::npos;
         at = rule.find("uaccess", at + 1)) {
        ++grants;
    }
    EXPECT_EQ(grants, 6u);  // six products, one accepted interface each
    EXPECT_EQ(rule.find("MODE="), std::string::npos);  // no world-writable nodes
    EXPECT_NE(UdevRuleHint().find("70-kx520.rules"), std::string::npos);
}

}  // namespace
}  // namespace kx520::ctl
