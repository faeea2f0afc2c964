#include "hid/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <random>

#include "hid/HidDescriptorBuilder.h"
#include "sim/VirtualProducts.h"
#include "support/HostileDescriptors.h"

namespace kx520::hid {
namespace {

using B = HidDescriptorBuilder;

const std::vector<uint8_t>& InterfaceDescriptor(std::string_view product, uint8_t number) {
    for (const auto& interface : sim::FindVirtualProduct(product)->interfaces) {
        if (interface.number == number) {
            return interface.descriptor;
        }
    }
    static const std::vector<uint8_t> none;
    return none;
}

TEST(HidReportDescriptor, KeyboardCommandInterfaceHasFiveCollectionsWithTheirUsages) {
    const auto parsed = HidReportDescriptor::Parse(InterfaceDescriptor("keyboard", 1));
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->Collections().size(), 5u);
    EXPECT_TRUE(parsed->UsesReportIds());
    const HidCaps& command = parsed->Collections()[3].Caps();
    EXPECT_EQ(command.usagePage, 0xFF1C);
    EXPECT_EQ(command.usage, 0x92);
    // 63 data bytes and the report id: 64 bytes on the wire each way.
    EXPECT_EQ(command.inputReportByteLength, 64);
    EXPECT_EQ(command.outputReportByteLength, 64);
    EXPECT_EQ(command.featureReportByteLength, 0);
    const HidCaps& notify = parsed->Collections()[2].Caps();
    EXPECT_EQ(notify.usagePage, 0x000C);
    EXPECT_EQ(notify.usage, 0x01);
    EXPECT_EQ(notify.inputReportByteLength, 3);
    EXPECT_EQ(parsed->Collections()[0].Caps().usage, 0x02);  // the ordinary mouse
    EXPECT_EQ(parsed->CollectionOfInputReport(4), 3);
    EXPECT_EQ(parsed->CollectionOfInputReport(3), 2);
    EXPECT_EQ(parsed->CollectionOfInputReport(9), -1);
}

TEST(HidReportDescriptor, CollectionNumbersMapToIndices) {
    const auto keyboard = HidReportDescriptor::Parse(InterfaceDescriptor("keyboard", 1));
    const auto headset = HidReportDescriptor::Parse(InterfaceDescriptor("headset", 3));
    ASSERT_TRUE(keyboard && headset);
    EXPECT_EQ(keyboard->CollectionIndex(4), 3u);
    EXPECT_FALSE(keyboard->CollectionIndex(0));  // several collections: "&col" is needed
    EXPECT_FALSE(keyboard->CollectionIndex(6));
    EXPECT_EQ(headset->CollectionIndex(0), 0u);
    EXPECT_FALSE(headset->CollectionIndex(2));
}

TEST(HidReportDescriptor, UnnumberedBootKeyboardCountsAnIdByteInItsLengths) {
    const auto parsed = HidReportDescriptor::Parse(InterfaceDescriptor("keyboard", 0));
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->UsesReportIds());
    const HidCaps& caps = parsed->Collections()[0].Caps();
    EXPECT_EQ(caps.inputReportByteLength, 9);
    EXPECT_EQ(caps.outputReportByteLength, 2);
}

TEST(HidReportDescriptor, ValueRangeOverFiveUsagesIsOneRangeCapability) {
    B b;
    b.UsagePage(0x01).Usage(0x00).Collection(B::kApplication)
        .ReportId(7).UsageMinimum(1).UsageMaximum(5).LogicalMinimum(0).LogicalMaximum(1000)
        .ReportSize(16).ReportCount(5).Input(B::kData | B::kVariable | B::kAbsolute)
        .EndCollection();
    const auto parsed = HidReportDescriptor::Parse(b.Bytes());
    ASSERT_TRUE(parsed);
    const auto& values = parsed->Collections()[0].ValueCaps(HidReportType::Input);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_TRUE(values[0].isRange);
    EXPECT_EQ(values[0].usageMin, 1);
    EXPECT_EQ(values[0].usageMax, 5);
    EXPECT_EQ(values[0].reportCount, 5);
    EXPECT_EQ(parsed->Collections()[0].Caps().inputReportByteLength, 11);
}

TEST(HidReportDescriptor, PushAndPopRestoreGlobals) {
    B b;
    b.UsagePage(0xFF00).Usage(0x01).Collection(B::kApplication)
        .ReportSize(8).ReportCount(4).LogicalMinimum(0).LogicalMaximum(255)
        .Push().ReportSize(1).ReportCount(3).Usage(1).Input(B::kData | B::kVariable).Pop()
        .ReportCount(1).Input(B::kConstant)  // padding to a byte needs the pushed values back
        .Usage(2).Input(B::kData | B::kVariable)
        .EndCollection();
    const auto parsed = HidReportDescriptor::Parse(b.Bytes());
    ASSERT_TRUE(parsed);
    const auto& fields = parsed->Collections()[0].Fields(HidReportType::Input);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0].bitSize, 1);
    EXPECT_EQ(fields[1].bitSize, 8);
    EXPECT_EQ(fields[2].bitOffset, 3u + 8u);
    EXPECT_EQ(fields[2].count, 1);
}

TEST(HidReportDescriptor, MalformedDescriptorsAreRefusedWithAReason) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {"truncated item", {0x05, 0x01, 0x09}},
        {"end without collection", {0xC0}},
        {"unclosed collection", B().UsagePage(1).Usage(2).Collection(1).Bytes()},
        {"pop without push", B().Pop().Bytes()},
        {"report size zero", B().ReportSize(0).Bytes()},
        {"report id zero", B().ReportId(0).Bytes()},
        {"truncated long item", {0xFE, 0x05, 0x00, 0x01}},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(HidReportDescriptor::Parse(c.bytes, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    B deep;
    for (int i = 0; i < 40; ++i) {
        deep.Collection(B::kLogical);
    }
    EXPECT_FALSE(HidReportDescriptor::Parse(deep.Bytes()));
}

TEST(HidReportDescriptor, RandomBytesNeverCrashTheParserOrTheDecoder) {
    std::mt19937 random(520);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes(random() % 96);
        for (auto& byte : bytes) {
            byte = static_cast<uint8_t>(random());
        }
        const auto parsed = HidReportDescriptor::Parse(bytes);
        if (!parsed) {
            continue;
        }
        std::vector<uint8_t> report(random() % 70);
        for (auto& byte : report) {
            byte = static_cast<uint8_t>(random());
        }
        for (const HidCollection& collection : parsed->Collections()) {
            uint16_t usages[16];
            uint32_t count = 16;
            uint32_t value = 0;
            int32_t scaled = 0;
            collection.GetUsages(HidReportType::Input, 0x0C, usages, count, report);
            EXPECT_LE(count, 16u);
            collection.GetUsageValue(HidReportType::Input, 0x01, 0x30, value, report);
            collection.GetScaledUsageValue(HidReportType::Input, 0x01, 0x30, scaled, report);
        }
    }
}

class ReportDecoding : public ::testing::Test {
protected:
    void SetUp() override {
        B b;
        b.UsagePage(0x0C).Usage(0x01).Collection(B::kApplication)
            .ReportId(3).LogicalMinimum(0).LogicalMaximum(0x7FF).UsageMinimum(0)
            .UsageMaximum(0x7FF).ReportSize(16).ReportCount(2)
            .Input(B::kData | B::kArray | B::kAbsolute)
            .EndCollection()
            .UsagePage(0x01).Usage(0x02).Collection(B::kApplication)
            .ReportId(1).UsagePage(0x09).UsageMinimum(1).UsageMaximum(3).LogicalMinimum(0)
            .LogicalMaximum(1).ReportSize(1).ReportCount(3).Input(B::kVariable)
            .ReportCount(5).Input(B::kConstant)
            .UsagePage(0x01).Usage(0x30).LogicalMinimum(-127).LogicalMaximum(127)
            .PhysicalMinimum(-1270).PhysicalMaximum(1270).ReportSize(8).ReportCount(1)
            .Input(B::kVariable | B::kRelative)
            .Usage(0x31).LogicalMinimum(0).LogicalMaximum(100).PhysicalMinimum(0)
            .PhysicalMaximum(0).Input(B::kVariable | B::kNullState)
            .EndCollection();
        parsed = HidReportDescriptor::Parse(b.Bytes());
        ASSERT_TRUE(parsed);
    }
    const HidCollection& Consumer() const { return parsed->Collections()[0]; }
    const HidCollection& Mouse() const { return parsed->Collections()[1]; }

    std::optional<HidReportDescriptor> parsed;
};

TEST_F(ReportDecoding, ArrayGivesTheUsagesPressedAndSkipsZero) {
    const std::vector<uint8_t> report{0x03, 0x01, 0x04, 0x00, 0x00};
    uint16_t usages[4] = {};
    uint32_t count = 4;
    EXPECT_EQ(Consumer().GetUsages(HidReportType::Input, 0x0C, usages, count, report),
              kHidpStatusSuccess);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(usages[0], 0x401);
    EXPECT_EQ(Consumer().MaxUsageListLength(HidReportType::Input, 0x0C), 2u);
}

TEST_F(ReportDecoding, UsageStatusesFollowTheReport) {
    uint16_t usages[1] = {};
    uint32_t count = 1;
    const std::vector<uint8_t> two{0x03, 0x01, 0x04, 0x02, 0x04};
    EXPECT_EQ(Consumer().GetUsages(HidReportType::Input, 0x0C, usages, count, two),
              kHidpStatusBufferTooSmall);
    EXPECT_EQ(count, 1u);
    count = 1;
    const std::vector<uint8_t> otherId{0x05, 0, 0, 0, 0};
    EXPECT_EQ(Consumer().GetUsages(HidReportType::Input, 0x0C, usages, count, otherId),
              kHidpStatusIncompatibleReportId);
    count = 1;
    EXPECT_EQ(Consumer().GetUsages(HidReportType::Input, 0x07, usages, count, two),
              kHidpStatusUsageNotFound);
    count = 1;
    const std::vector<uint8_t> tooShort{0x03, 0x01};
    EXPECT_EQ(Consumer().GetUsages(HidReportType::Input, 0x0C, usages, count, tooShort),
              kHidpStatusInvalidReportLength);
}

TEST_F(ReportDecoding, ButtonsValuesAndScaling) {
    // Buttons 1 and 3, X = -10 (0xF6), Y = 50.
    const std::vector<uint8_t> report{0x01, 0x05, 0xF6, 50};
    uint16_t usages[3] = {};
    uint32_t count = 3;
    EXPECT_EQ(Mouse().GetUsages(HidReportType::Input, 0x09, usages, count, report),
              kHidpStatusSuccess);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(usages[0], 1);
    EXPECT_EQ(usages[1], 3);

    uint32_t raw = 0;
    int32_t scaled = 0;
    EXPECT_EQ(Mouse().GetUsageValue(HidReportType::Input, 0x01, 0x30, raw, report),
              kHidpStatusSuccess);
    EXPECT_EQ(raw, 0xF6u);
    EXPECT_EQ(Mouse().GetScaledUsageValue(HidReportType::Input, 0x01, 0x30, scaled, report),
              kHidpStatusSuccess);
    EXPECT_EQ(scaled, -100);
    // No physical range: the logical value itself.
    EXPECT_EQ(Mouse().GetScaledUsageValue(HidReportType::Input, 0x01, 0x31, scaled, report),
              kHidpStatusSuccess);
    EXPECT_EQ(scaled, 50);
    const std::vector<uint8_t> outOfRange{0x01, 0x00, 0x00, 200};
    EXPECT_EQ(Mouse().GetScaledUsageValue(HidReportType::Input, 0x01, 0x31, scaled, outOfRange),
              kHidpStatusNull);
}

}  // namespace
}  // namespace kx520::hid

namespace kx520::hid {
namespace {

std::vector<uint8_t> ManyArrayFields(int fields, uint32_t count) {
    return test::QuadraticUsageListDescriptor(fields, count);
}

// One value (or array) field of 32 bits with the given ranges.
std::vector<uint8_t> WideField(int32_t logicalMin, int32_t logicalMax, int32_t physicalMin,
                               int32_t physicalMax, uint32_t flags) {
    B b;
    b.UsagePage(0x01).Usage(0x30).Collection(B::kApplication).ReportId(1);
    b.LogicalMinimum(logicalMin).LogicalMaximum(logicalMax);
    b.PhysicalMinimum(physicalMin).PhysicalMaximum(physicalMax);
    b.UsageMinimum(0x30).UsageMaximum(0x32).ReportSize(32).ReportCount(1).Input(flags);
    b.EndCollection();
    return b.Bytes();
}

std::vector<uint8_t> Report32(uint32_t value) {
    return {1, static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

TEST(HidDescriptorBudget, QuadraticUsageListsAreRefusedBeforeAnythingIsAllocated) {
    std::string error;
    // 150 fields of 12288: about 553 MB of usage lists before the budget.
    EXPECT_FALSE(HidReportDescriptor::Parse(ManyArrayFields(150, 12288), &error));
    EXPECT_NE(error.find("over budget"), std::string::npos) << error;
    // 900 fields (a 4 KB descriptor) once aborted the process.
    const std::vector<uint8_t> huge = ManyArrayFields(900, 12288);
    EXPECT_LE(huge.size(), 4096u);
    EXPECT_FALSE(HidReportDescriptor::Parse(huge, &error));
    EXPECT_NE(error.find("over budget"), std::string::npos) << error;
    // The same shape at a sane size is an ordinary interface.
    const auto small = HidReportDescriptor::Parse(ManyArrayFields(4, 6));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->Collections()[0].MaxUsageListLength(HidReportType::Input, 0x09), 24u);
    EXPECT_EQ(small->Collections()[0].MaxUsageListLength(HidReportType::Input, 0), 24u);
    EXPECT_EQ(small->Collections()[0].MaxUsageListLength(HidReportType::Input, 0x0C), 0u);
}

TEST(HidDescriptorBudget, CollectionCountsAndUsageRangesAreBounded) {
    B many;
    for (int i = 0; i < 300; ++i) {
        many.UsagePage(0xFF00).Usage(1).Collection(B::kApplication).EndCollection();
    }
    std::string error;
    EXPECT_FALSE(HidReportDescriptor::Parse(many.Bytes(), &error));
    EXPECT_NE(error.find("top-level"), std::string::npos) << error;
    // The walk that numbers a refused node's paths stops at the same bound.
    EXPECT_FALSE(HidReportDescriptor::CountTopLevelCollections(many.Bytes()));
    EXPECT_EQ(HidReportDescriptor::CountTopLevelCollections(ManyArrayFields(900, 12288)), 1u);
    EXPECT_EQ(HidReportDescriptor::CountTopLevelCollections(
                  std::vector<uint8_t>(InterfaceDescriptor("keyboard", 1))),
              5u);
    EXPECT_FALSE(HidReportDescriptor::CountTopLevelCollections(std::vector<uint8_t>{0x05, 0x01, 0xA1}));

    // Every main item repeating 1000 usages: 64 fields pass, 100 are too many ranges.
    auto ranges = [](int fields) {
        B b;
        b.UsagePage(0x09).Usage(1).Collection(B::kApplication).ReportSize(1).ReportCount(1);
        for (int f = 0; f < fields; ++f) {
            for (int u = 0; u < 1000; ++u) {
                b.Usage(1 + u % 7);
            }
            b.Input(B::kConstant);
        }
        return b.EndCollection().Bytes();
    };
    EXPECT_TRUE(HidReportDescriptor::Parse(ranges(64)));
    EXPECT_FALSE(HidReportDescriptor::Parse(ranges(100), &error));
    EXPECT_NE(error.find("usage ranges"), std::string::npos) << error;
}

TEST(HidDecoding, FullThirtyTwoBitRangesScaleWithoutOverflow) {
    constexpr int32_t kMin = INT32_MIN;
    constexpr int32_t kMax = INT32_MAX;
    const auto same = HidReportDescriptor::Parse(WideField(kMin, kMax, kMin, kMax, B::kVariable));
    ASSERT_TRUE(same);
    const HidCollection& c = same->Collections()[0];
    int32_t scaled = 0;
    for (const uint32_t raw : {0x7FFFFFFFu, 0x80000000u, 0u, 0xFFFFFFFFu, 12345u}) {
        EXPECT_EQ(c.GetScaledUsageValue(HidReportType::Input, 0x01, 0x30, scaled, Report32(raw)),
                  kHidpStatusSuccess);
        EXPECT_EQ(scaled, static_cast<int32_t>(raw)) << raw;  // equal ranges: the value itself
    }
    // A full logical range onto a small physical one: the ends map to the ends.
    const auto narrow = HidReportDescriptor::Parse(WideField(kMin, kMax, -100, 100, B::kVariable));
    ASSERT_TRUE(narrow);
    const HidCollection& n = narrow->Collections()[0];
    n.GetScaledUsageValue(HidReportType::Input, 0x01, 0x30, scaled, Report32(0x7FFFFFFFu));
    EXPECT_EQ(scaled, 100);
    n.GetScaledUsageValue(HidReportType::Input, 0x01, 0x30, scaled, Report32(0x80000000u));
    EXPECT_EQ(scaled, -100);
    n.GetScaledUsageValue(HidReportType::Input, 0x01, 0x30, scaled, Report32(0));
    EXPECT_EQ(scaled, 0);
}

TEST(HidDecoding, ArrayWithTheLowestLogicalMinimumIndexesItsUsages) {
    const auto parsed =
        HidReportDescriptor::Parse(WideField(INT32_MIN, INT32_MAX, 0, 0, B::kData | B::kArray));
    ASSERT_TRUE(parsed);
    const HidCollection& c = parsed->Collections()[0];
    uint16_t usages[2] = {};
    uint32_t count = 2;
    // INT32_MIN + 1 is the second usage of the list.
    EXPECT_EQ(c.GetUsages(HidReportType::Input, 0x01, usages, count, Report32(0x80000001u)),
              kHidpStatusSuccess);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(usages[0], 0x31);
    // A positive value lies 2^31 and more past the minimum: no usage there.
    count = 2;
    EXPECT_EQ(c.GetUsages(HidReportType::Input, 0x01, usages, count, Report32(5)),
              kHidpStatusSuccess);
    EXPECT_EQ(count, 0u);
}

}  // namespace
}  // namespace kx520::hid
