#include "keyboard/KeyboardMusic.h"

#include <gtest/gtest.h>

#include <vector>

#include "keyboard/KeyboardLightEngine.h"
#include "lighting/KeyboardLightTables.h"
#include "lighting/LightTables.h"

namespace kx520 {
namespace {

constexpr int kMusic = KeyboardLightEngine::kMusicMode;

class Music : public ::testing::Test {
protected:
    Music() : frame(KeyboardLightEngine::kLeds) {
        setting.mode = kMusic;
        setting.brightness = 4;
        setting.direction = 1;
        audio.fgRed = 200;
        audio.bkBlue = 90;
        engine.ResetEffect();
    }

    void Style(int style, bool sevenColour = false) {
        audio.audioMode = static_cast<uint8_t>(style);
        audio.sevenColor = sevenColour ? 1 : 0;
        engine.SetAudioLight(audio);
    }
    void Bands(std::vector<int32_t> levels) { engine.SetAudioBands(levels, kMusic); }
    void Step() { engine.Step(kMusic, setting, frame); }

    static LedEntry Foreground() { return {200, 0, 0, 254}; }  // at 255 x 255 / 256
    static LedEntry Background() { return {0, 0, 90, 255}; }

    profiles::LightSetting setting;
    profiles::AudioLightSetting audio;
    KeyboardLightEngine engine;
    std::vector<LedEntry> frame;
};

TEST(MusicHeights, ABandAtRestIs600AndTheTopOfTheScaleIs0) {
    EXPECT_EQ(KeyboardMusic::Height(0), 600);
    EXPECT_EQ(KeyboardMusic::Height(1000), 300);
    EXPECT_EQ(KeyboardMusic::Height(2000), 0);
    EXPECT_EQ(KeyboardMusic::Height(2001), 0);  // truncated towards zero
    EXPECT_EQ(KeyboardMusic::Height(2100), -30);
    EXPECT_EQ(KeyboardMusic::HeightPlus(2100), 500);
}

TEST_F(Music, BandsOutsideTheScaleAreHeldAtItsEnds) {
    Style(0);
    Bands({5000, -7, 1500, INT32_MAX, INT32_MIN});
    const auto& bands = engine.Music().Bands();
    EXPECT_EQ(bands[0], 2000);  // a band louder than the scale is loud, not quiet
    EXPECT_EQ(bands[1], 0);
    EXPECT_EQ(bands[2], 1500);
    EXPECT_EQ(bands[3], 2000);
    EXPECT_EQ(bands[4], 0);
    EXPECT_EQ(bands[24], 0);  // fewer levels: the rest at rest
}

TEST_F(Music, ColumnBarsLightAColumnFromItsBandsHeightDownAndFadeFromTheTip) {
    Style(0);
    std::vector<int32_t> levels(25, 0);
    levels[2] = 2000;  // column 2: keys 0, 22, 43, 64, 102, 106
    Bands(levels);
    Step();
    EXPECT_EQ(frame[0], Background());  // row 0 stays above the bar
    for (const uint8_t led : {22, 43, 64, 102, 106}) {
        EXPECT_EQ(frame[led], Foreground()) << int(led);
        EXPECT_EQ(engine.Levels()[led], 255) << int(led);
    }
    EXPECT_EQ(frame[1], Background());  // column 3 had no sound
    // The bands were taken: silence now fades the bar from its tip, while
    // the keys below a lit key hold.
    Step();
    EXPECT_EQ(engine.Levels()[22], 210);
    EXPECT_EQ(engine.Levels()[43], 255);
    EXPECT_EQ(frame[22], (LedEntry{200, 0, 0, 209}));
}

TEST_F(Music, SevenColoursPaintTheBarsInTheRainbow) {
    Style(0, true);
    std::vector<int32_t> levels(25, 2000);
    Bands(levels);
    Step();
    // Column 2's rainbow index: effectPos 1, plus 10 for each of columns 0-2.
    const Rgb colour = kRainbowTable[31];
    EXPECT_EQ(frame[22], (LedEntry{colour.red, colour.green, colour.blue, 254}));
}

TEST_F(Music, TheBeatStyleSeedsARippleFromKey51WhenTheBeatsReach71) {
    Style(2);
    std::vector<int32_t> loud(25, 2000);  // 25 beats a feed
    Bands(loud);
    Bands(loud);
    EXPECT_EQ(engine.Music().BeatTotal(), 50);
    Step();
    EXPECT_EQ(engine.Levels()[51], 0);
    // A mode change does not reset the running total.
    engine.ResetEffect();
    Bands(loud);
    EXPECT_EQ(engine.Music().BeatTotal(), 0);
    Step();
    EXPECT_GT(engine.Levels()[51], 0);
    EXPECT_EQ(frame[51].red, 200);
    // Outside the music mode the levels are only kept.
    engine.SetAudioBands(loud, 6);
    EXPECT_EQ(engine.Music().BeatTotal(), 0);
}

TEST_F(Music, RingsLightEveryRingForLoudMusicAndFadeInSilence) {
    Style(3);
    Bands(std::vector<int32_t>(25, 2000));
    Step();
    EXPECT_EQ(engine.Levels()[51], 255);  // the centre
    EXPECT_EQ(engine.Levels()[41], 255);  // the outer ring
    EXPECT_EQ(frame[41].level, 254);
    Step();  // silence: every ring fades, colours kept
    EXPECT_EQ(engine.Levels()[41], 215);
    EXPECT_EQ(frame[41].level, 214);
}

TEST_F(Music, AFallingColumnFiresOnceUntilItsBottomKeyHasFaded) {
    Style(4);
    std::vector<int32_t> levels(25, 0);
    levels[3] = 2000;  // column 2 reads band 3
    Bands(levels);
    Step();
    for (const uint8_t led : {22, 43, 64, 102, 106}) {
        EXPECT_EQ(engine.Levels()[led], 255) << int(led);
    }
    EXPECT_EQ(engine.Levels()[0], 0);
    Bands(levels);
    Step();
    // Loud again, but the bottom key is still lit: the top fades instead.
    EXPECT_EQ(engine.Levels()[22], 210);
    EXPECT_EQ(engine.Levels()[106], 255);
}

TEST_F(Music, RowBarsShowTheLowestBandsOnTheBottomRow) {
    Style(5);
    Bands(std::vector<int32_t>(25, 2000));
    Step();
    // Bottom row, group of bands 0-1: 4000 / 3 reads 201 high, lit to column 12.
    const auto& matrix = KeyboardLightTables::KeyMatrix();
    EXPECT_EQ(engine.Levels()[matrix[12][5]], 255);
    EXPECT_EQ(engine.Levels()[matrix[13][5]], 0);
    EXPECT_EQ(frame[matrix[13][5]], Background());
}

TEST_F(Music, AlternatingRowsAdvanceTheRainbowOnlyForRainbowKeys) {
    Style(6, true);
    Bands(std::vector<int32_t>(25, 2000));
    Step();
    // Row 1 (odd) is lit from column 0: its first key (120) is the first
    // rainbow key, at index effectPos 1 + 2; the next key two further on.
    const Rgb first = kRainbowTable[3];
    EXPECT_EQ(frame[120], (LedEntry{first.red, first.green, first.blue, 254}));
    const Rgb second = kRainbowTable[5];
    EXPECT_EQ(frame[21], (LedEntry{second.red, second.green, second.blue, 254}));
    // Without seven colours the index stays: all keys in the foreground.
    Style(6);
    Bands(std::vector<int32_t>(25, 2000));
    Step();
    EXPECT_EQ(frame[21], Foreground());
}

TEST_F(Music, AStyleThatDoesNotExistDrawsNothing) {
    Style(9);
    frame[5] = {1, 2, 3, 4};
    Bands(std::vector<int32_t>(25, 2000));
    Step();
    EXPECT_EQ(frame[5], (LedEntry{1, 2, 3, 4}));
}

}  // namespace
}  // namespace kx520
