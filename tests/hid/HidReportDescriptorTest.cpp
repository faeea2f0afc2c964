#include "hid/HidReportDescriptor.h"

#include <gtest/gtest.h>

#include <random>

#include "hid/HidDescriptorBuilder.h"
#include "sim/VirtualProducts.h"

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
