#include "catalog/DeviceCatalog.h"

#include <gtest/gtest.h>

namespace kx520 {
namespace {

TEST(DeviceCatalog, FindCatalogIndexNeedsAllFourKeys) {
    EXPECT_EQ(FindCatalogIndex(0x320F, 0x221C, MouseWired, 0), 0);
    EXPECT_EQ(FindCatalogIndex(0x320F, 0x50C2, KeyboardWired, 0), 1);
    EXPECT_EQ(FindCatalogIndex(0x320F, 0x1004, MousePad, 0), 2);
    EXPECT_EQ(FindCatalogIndex(0x0C76, 0x1630, Headset, 0), 3);
    EXPECT_EQ(FindCatalogIndex(0x320F, 0x50C3, KeyboardReceiver, 0), -1);
    EXPECT_EQ(FindCatalogIndex(0x320F, 0x50C2, KeyboardWired, 1), -1);
    EXPECT_EQ(FindCatalogIndex(0x320F, 0x50C2, MouseWired, 0), -1);
}

TEST(DeviceCatalog, SameIdentityIgnoresFlagsPartnerAndPath) {
    DeviceInterfaceEntry a = DeviceInterfaceEntry::FromRow(kInterfaceTable[0]);
    DeviceInterfaceEntry b = a;
    b.connected = 1;
    b.partner = 7;
    b.paired = 0;
    b.path = "sim:keyboard#...";
    EXPECT_TRUE(SameIdentity(a, b));
    b.usage = 0x93;
    EXPECT_FALSE(SameIdentity(a, b));
    EXPECT_FALSE(SameIdentity(a, DeviceInterfaceEntry::FromRow(kInterfaceTable[2])));
}

TEST(DeviceCatalog, PairedRowsPointAtTheirTwinUnderTheOtherProductId) {
    for (size_t i = 0; i < kInterfaceTable.size(); ++i) {
        const InterfaceTableRow& row = kInterfaceTable[i];
        if (row.paired == 0) {
            continue;
        }
        const InterfaceTableRow& twin = kInterfaceTable[row.partner];
        EXPECT_EQ(twin.partner, i) << "row " << i;
        EXPECT_NE(twin.productId, row.productId) << "row " << i;
        EXPECT_EQ(twin.collectionNumber, row.collectionNumber) << "row " << i;
        EXPECT_EQ(twin.linkRole, row.linkRole) << "row " << i;
    }
}

}  // namespace
}  // namespace kx520
