// The mouse's recoil patterns as files and as the one image it takes.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>

#include "platform/DataFolders.h"
#include "profiles/ShootImage.h"
#include "support/TempDir.h"

namespace kx520::profiles {
namespace {

uint16_t Word(const std::vector<uint8_t>& image, size_t at) {
    return static_cast<uint16_t>(image[at] | image[at + 1] << 8);
}

std::vector<MacroEventBytes> Events(size_t count) {
    return std::vector<MacroEventBytes>(count, MacroEventBytes{1, 2, 3, 4});
}

TEST(ShootImage, FourFullGunsMakeTheImageWithItsHeaderAndBlocks) {
    const auto image = ShootImage::Build({Events(180), Events(180), Events(180), Events(180)});
    ASSERT_EQ(image.size(), 2920u);
    EXPECT_EQ(image[0], 0xAA);
    EXPECT_EQ(image[1], 0x55);
    EXPECT_EQ(Word(image, 2), 2920);
    EXPECT_EQ(Word(image, 4), 4);
    EXPECT_EQ(std::vector<uint8_t>(image.begin() + 6, image.begin() + 16), std::vector<uint8_t>(10, 0));
    EXPECT_EQ(Word(image, 16), 24);
    EXPECT_EQ(Word(image, 18), 748);
    EXPECT_EQ(Word(image, 20), 1472);
    EXPECT_EQ(Word(image, 22), 2196);
    EXPECT_EQ(Word(image, 748), 180);
    EXPECT_EQ(Word(image, 750), 0);
    EXPECT_EQ(image[752], 1);
    EXPECT_EQ(image[755], 4);
}

TEST(ShootImage, AMissingGunIsAnEmptyBlockAndALongOneIsCut) {
    const auto image = ShootImage::Build({Events(6), Events(500), {}, Events(1)});
    EXPECT_EQ(image.size(), 24u + (4 + 24) + (4 + 720) + 4 + (4 + 4));
    EXPECT_EQ(Word(image, 16 + 2 * 1), 24 + 28);
    EXPECT_EQ(Word(image, 24 + 28), 180);  // at most 30 bullets
    const size_t third = Word(image, 16 + 2 * 2);
    EXPECT_EQ(Word(image, third), 0);
    EXPECT_EQ(Word(image, 16 + 2 * 3), third + 4);  // no gap after the empty block
}

TEST(ShootImage, GunFilesGiveTheirEventsAsTheMouseTakesThem) {
    test::TempDir temp;
    const std::string folder = temp.Path() + "/";
    std::ofstream(ShootImage::GunPath(folder, 0)) << R"({"Events": [
        {"Action": "up", "Button": 7, "Delay": 35, "Type": 5},
        {"Action": "down", "Button": 7, "Delay": "35", "Type": 5}], "Other": 1})";
    std::ofstream(ShootImage::GunPath(folder, 1)) << "not json";
    std::ofstream(ShootImage::GunPath(folder, 3)) << R"({"Events": {"Action": "up"}})";
    EXPECT_EQ(ShootImage::GunPath(folder, 2), folder + "ShootData_2.Shoot");
    const auto gun = ShootImage::ReadGun(ShootImage::GunPath(folder, 0));
    ASSERT_EQ(gun.size(), 2u);
    EXPECT_EQ(gun[0], (MacroEventBytes{35, 0, 5, 7}));    // moves down
    EXPECT_EQ(gun[1], (MacroEventBytes{35, 0, 133, 7}));  // moves up; a delay as text reads the same
    const auto image = ShootImage::BuildFromFolder(folder);
    EXPECT_EQ(image.size(), 24u + (4 + 8) + 4 + 4 + 4);  // unreadable, missing and malformed guns are empty
}

TEST(ShootImage, TheShippedGunsAreFullPatterns) {
    const std::string shipped = ShippedDataFolder("DefaultData") + "/";
    for (size_t g = 0; g < ShootImage::kGuns; ++g) {
        const auto gun = ShootImage::ReadGun(ShootImage::GunPath(shipped, g));
        ASSERT_EQ(gun.size(), 180u) << g;
        EXPECT_EQ(gun[0], (MacroEventBytes{10, 0, 0x81, 1})) << g;  // each bullet is a left click
        EXPECT_EQ(gun[1], (MacroEventBytes{0, 0, 0x01, 1})) << g;
    }
}

}  // namespace
}  // namespace kx520::profiles
