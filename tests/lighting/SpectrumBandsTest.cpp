#include "lighting/SpectrumBands.h"

#include <gtest/gtest.h>

#include <vector>

namespace kx520 {
namespace {

std::vector<uint8_t> Frame(uint32_t every, size_t bytes = SpectrumBands::kFrameBytes) {
    std::vector<uint8_t> frame(bytes);
    for (size_t i = 0; i + 3 < bytes; i += 4) {
        frame[i] = static_cast<uint8_t>(every);
        frame[i + 1] = static_cast<uint8_t>(every >> 8);
        frame[i + 2] = static_cast<uint8_t>(every >> 16);
        frame[i + 3] = static_cast<uint8_t>(every >> 24);
    }
    return frame;
}

TEST(SpectrumBands, EveryThirdFrameGivesHowMuchEachBandMoved) {
    SpectrumBands bands;
    EXPECT_FALSE(bands.Take(Frame(100)));
    EXPECT_FALSE(bands.Take(Frame(40)));
    auto frame = Frame(1000);
    frame[4 * 20 + 1] = 0x00;  // band 1's first value is 232: a smaller move
    const auto levels = bands.Take(frame);
    ASSERT_TRUE(levels);
    EXPECT_EQ((*levels)[0], 960);                       // |1000 - 40| in every value
    EXPECT_EQ((*levels)[1], (19 * 960 + (232 - 40)) / 20);  // one value moved less
    // The count starts again: two frames without levels.
    EXPECT_FALSE(bands.Take(Frame(1000)));
    EXPECT_FALSE(bands.Take(Frame(1000)));
    EXPECT_EQ((*bands.Take(Frame(1000)))[24], 0);  // nothing moved
}

TEST(SpectrumBands, ShortFramesReadAsZeroAndHugeMovesStayInRange) {
    SpectrumBands bands;
    bands.Take(Frame(7));
    bands.Take(Frame(0));
    const auto levels = bands.Take(Frame(1000, 40));  // only ten values came
    ASSERT_TRUE(levels);
    EXPECT_EQ((*levels)[0], 10 * 1000 / 20);
    EXPECT_EQ((*levels)[1], 0);  // its values read as 0, as before
    bands.Take(Frame(0));
    bands.Take(Frame(0xFFFFFFFFu));
    EXPECT_EQ((*bands.Take(Frame(0)))[5], 0x7FFFFFFF);  // the mean is held at the levels' top
}

}  // namespace
}  // namespace kx520
