#include "mouse/MouseConfigRecord.h"

#include <gtest/gtest.h>

#include "mouse/MouseSensitivity.h"
#include "sim/VirtualFirmware.h"
#include "sim/VirtualProducts.h"

namespace kx520 {
namespace {

using profiles::DpiStage;

TEST(MouseConfigRecord, ABuiltRecordHoldsTheLightTheStageAndEachStagesNineBytes) {
    MouseConfigRecord::Fields fields;
    fields.value = 3;
    fields.modeCode = 2;
    fields.light.brightness = 3;
    fields.light.speed = 1;
    fields.light.direction = 1;
    fields.light.multiColor = 0;
    fields.light.red = 10;
    fields.light.green = 20;
    fields.light.blue = 30;
    fields.activeStage = 2;
    // Stage 2 at 1600 with the default sensor (step 50 from 100) is step 30, green.
    const auto scale = MouseSensitivity::FromInfo(sim::VirtualFirmware(*sim::FindVirtualProduct("mouse")).Info());
    const auto step = static_cast<uint16_t>(scale.StepOfValue(1600).value_or(0));
    fields.stages = {DpiStage{1, 0, 14, 14, 255, 0, 0}, DpiStage{1, 0, 22, 22, 0, 0, 255},
                     DpiStage{1, 1, step, 300, 0, 255, 0}};
    fields.fourth = 1920;
    fields.listWord = 0x1234;
    const auto record = MouseConfigRecord::Build(fields);
    EXPECT_EQ(record[0], 3);
    EXPECT_EQ(record[3], 4 - 1);
    EXPECT_EQ(record[12], 2);
    const size_t at = MouseConfigRecord::kStagesByte + 9 * 2;
    EXPECT_EQ(std::vector<uint8_t>(record.begin() + at, record.begin() + at + 9),
              (std::vector<uint8_t>{1, 1, 30, 0, 0x2C, 0x01, 0, 255, 0}));
    EXPECT_EQ(record[14 + 9 * 3], 0);  // stages not given are zeros
    EXPECT_EQ(record[60], 0x80);
    EXPECT_EQ(record[61], 0x07);
    EXPECT_EQ(record[64], 0x12);
    EXPECT_EQ(record[65], 0x34);

    // Read back (with the firmware's own five bytes after it).
    std::vector<uint8_t> read(record.begin(), record.end());
    read.resize(MouseConfigRecord::kReadSize, 0x5A);
    const auto parsed = MouseConfigRecord::Parse(read);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->speed, 1);
    EXPECT_EQ(parsed->activeStage, 2);
    EXPECT_EQ(parsed->stages[2], fields.stages[2]);
    EXPECT_EQ(parsed->stages[4], DpiStage{});
}

TEST(MouseConfigRecord, OutOfRangeBytesFromADeviceAreKeptInRangeAndAShortRecordIsNothing) {
    std::vector<uint8_t> record(MouseConfigRecord::kReadSize, 0);
    record[2] = 9;   // brightness beyond 4
    record[3] = 200;  // speed byte beyond 4
    record[12] = 7;  // no stage 7
    const auto parsed = MouseConfigRecord::Parse(record);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->brightness, 4);
    EXPECT_EQ(parsed->speed, 0);
    EXPECT_EQ(parsed->activeStage, 4);
    EXPECT_FALSE(MouseConfigRecord::Parse(std::vector<uint8_t>(65, 0)));
    MouseConfigRecord::Fields fields;
    fields.activeStage = -3;
    EXPECT_EQ(MouseConfigRecord::Build(fields)[12], 0);
}

}  // namespace
}  // namespace kx520
