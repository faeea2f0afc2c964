#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>

#include "../ui/UiTestSupport.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "pages/CSelectPanelUI.h"
#include "support/TempDir.h"

namespace kx520 {
namespace {

using test::RecordingWindow;
using test::SendMouse;

constexpr const char* kLayout = R"(<Window size="300,200">
  <SelectPanel name="panel">
    <DeviceKeyButton name="k0" float="true" pos="10,10,50,50"/>
    <DeviceKeyButton name="k1" float="true" pos="60,10,100,50"/>
    <DeviceKeyButton name="k2" float="true" pos="10,60,50,100"/>
    <HorizontalLayout name="group" float="true" pos="200,10,280,90">
      <DeviceKeyButton name="nested" float="true" pos="0,0,40,40"/>
    </HorizontalLayout>
  </SelectPanel>
</Window>)";

class RubberBand : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<RecordingWindow>(
            test::WriteLayout(QString::fromStdString(temp.Path()), "keys.xml", kLayout));
        QString error;
        ASSERT_TRUE(window->Create(&error)) << error.toStdString();
        window->show();
        ASSERT_TRUE(QTest::qWaitFor(
            [this] { return window->Seen().contains("windowinit:panel"); }, 5000));
        panel = dynamic_cast<CSelectPanelUI*>(window->FindControl(QStringLiteral("panel")));
        ASSERT_NE(panel, nullptr);
        window->Clear();
    }
    CDeviceKeyButtonUI* Key(const char* name) {
        return dynamic_cast<CDeviceKeyButtonUI*>(window->FindControl(QString::fromLatin1(name)));
    }
    void Drag(QPoint from, QPoint to) {
        SendMouse(panel, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        SendMouse(panel, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
        SendMouse(panel, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        SendMouse(panel, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    }

    test::TempDir temp;
    std::unique_ptr<RecordingWindow> window;
    CSelectPanelUI* panel = nullptr;
};

TEST_F(RubberBand, KeysUnderTheBandAreSelectedAndTheEndIsTold) {
    Drag({55, 120}, {5, 5});  // drawn backwards: normalised
    EXPECT_TRUE(Key("k0")->IsKeySelected());
    EXPECT_FALSE(Key("k1")->IsKeySelected());
    EXPECT_TRUE(Key("k2")->IsKeySelected());
    EXPECT_EQ(panel->SelectionRect(), QRect(5, 5, 50, 115));
    EXPECT_EQ(window->Seen(), QStringList{"click_select_end:panel"});
    EXPECT_FALSE(panel->IsPressed());
    EXPECT_FALSE(panel->IsDragging());
}

// A drag that starts on a key selects as one between the keys does, and
// the key it started on is not clicked; the band shows while it is dragged.
TEST_F(RubberBand, ADragFromAKeySelectsAndDrawsItsBand) {
    CDeviceKeyButtonUI* start = Key("k0");
    const QPoint from(20, 20);  // inside k0, in its own pixels
    SendMouse(start, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(start, QEvent::MouseMove, from + QPoint(30, 5), Qt::NoButton, Qt::LeftButton);
    SendMouse(start, QEvent::MouseMove, from + QPoint(60, 10), Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(panel->IsDragging());
    const auto bands = panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    const bool bandShown = std::any_of(bands.begin(), bands.end(), [](QWidget* w) {
        return dynamic_cast<ui::CControlUI*>(w) == nullptr && w->isVisible() && w->width() > 0;
    });
    EXPECT_TRUE(bandShown);
    SendMouse(start, QEvent::MouseButtonRelease, from + QPoint(60, 10), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(Key("k0")->IsKeySelected());
    EXPECT_TRUE(Key("k1")->IsKeySelected());
    EXPECT_FALSE(Key("k2")->IsKeySelected());
    EXPECT_TRUE(window->Seen().contains("click_select_end:panel"));
    EXPECT_FALSE(window->Seen().contains("click:k0"));
}

TEST_F(RubberBand, AFlatBandSelectsNothingButStillEnds) {
    Drag({5, 5}, {120, 120});
    ASSERT_TRUE(Key("k1")->IsKeySelected());
    window->Clear();
    Drag({30, 5}, {30, 120});  // zero width, across k0 and k2
    EXPECT_FALSE(Key("k0")->IsKeySelected());
    EXPECT_FALSE(Key("k1")->IsKeySelected());
    EXPECT_FALSE(Key("k2")->IsKeySelected());
    EXPECT_EQ(window->Seen(), QStringList{"click_select_end:panel"});
}

TEST_F(RubberBand, PressAndReleaseWithoutAMoveChangeNothing) {
    Key("k0")->SetKeySelected(true);
    SendMouse(panel, QEvent::MouseButtonPress, {150, 150}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(panel, QEvent::MouseButtonRelease, {150, 150}, Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(Key("k0")->IsKeySelected());
    EXPECT_TRUE(window->Seen().isEmpty());
}

TEST_F(RubberBand, OnlyDirectKeyButtonChildrenTakePart) {
    Key("nested")->SetKeySelected(true);
    Drag({0, 0}, {299, 199});  // over everything
    EXPECT_TRUE(Key("k0")->IsKeySelected());
    EXPECT_TRUE(Key("nested")->IsKeySelected());  // untouched, though inside the band
    Drag({150, 150}, {160, 160});                  // over nothing
    EXPECT_FALSE(Key("k0")->IsKeySelected());
    EXPECT_TRUE(Key("nested")->IsKeySelected());
}

TEST_F(RubberBand, DoubleClickOnAKeySendsDbClick) {
    SendMouse(Key("k1"), QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(window->Seen(), QStringList{"dbclick:k1"});
    EXPECT_TRUE(Key("k1")->IsPushed());
}

// Counts repaint requests.
class CountingKey : public CDeviceKeyButtonUI {
public:
    void Invalidate() override {
        ++invalidations;
        CDeviceKeyButtonUI::Invalidate();
    }
    int invalidations = 0;
};

// The legend reads on every cap: dark on bright light, white on dim.
TEST(DeviceKeyButton, TheLegendColourFollowsTheLightsLuminance) {
    const QColor dark(24, 26, 32, 235);
    const QColor white(255, 255, 255, 235);
    const QColor unlit(184, 189, 200, 220);
    // Colours as the device packs them: red, blue << 8, green << 16.
    auto packed = [](uint32_t r, uint32_t g, uint32_t b) { return r | (b << 8) | (g << 16); };
    const struct {
        uint32_t colour;
        int level;
        bool lit;
        QColor pen;
    } cases[] = {
        {packed(255, 255, 0), 255, true, dark},    // yellow: the F9 that could not be read
        {packed(255, 255, 255), 255, true, dark},  // white
        {packed(0, 255, 0), 255, true, dark},      // green is bright to the eye
        {packed(0, 0, 255), 255, true, white},     // blue
        {packed(255, 0, 0), 255, true, white},     // red
        {packed(255, 255, 0), 64, true, white},    // yellow, dimmed
        {packed(255, 255, 0), 0, true, unlit},     // level 0 is a dark cap
        {packed(0, 0, 0), 255, true, unlit},       // black is a dark cap
        {packed(255, 255, 0), 255, false, unlit},  // not lit at all
    };
    for (const auto& c : cases) {
        CDeviceKeyButtonUI key;
        key.SetKeyLight(c.colour, c.level, c.lit);
        EXPECT_EQ(key.LegendColour(), c.pen) << std::hex << c.colour << " level " << std::dec << c.level;
    }
}

TEST(DeviceKeyButton, KeySetVisibilityRepaintsOnlyOnChange) {
    CountingKey key;
    EXPECT_TRUE(key.IsKeySetImageHidden());
    key.SetKeySetImageHidden(false);
    key.SetKeySetImageHidden(false);
    EXPECT_EQ(key.invalidations, 1);
    key.SetKeyLight(0x00FF0000, 128, true);
    key.SetKeySelected(true);
    EXPECT_EQ(key.invalidations, 1);  // neither repaints by itself
    EXPECT_EQ(key.GetLightColour(), 0x00FF0000u);
    EXPECT_EQ(key.GetLightLevel(), 128);
}

QImage Render(CDeviceKeyButtonUI& key) {
    key.resize(40, 40);
    QImage image(40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    key.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);  // no window background
    return image;
}

TEST(DeviceKeyButton, OnlyALitKeyShowsItsLightInItsColourAndLevel) {
    CDeviceKeyButtonUI key;
    ASSERT_TRUE(key.SetAttribute(QStringLiteral("LightImage"), QStringLiteral("image/key_light.png")));
    const uint32_t green = 0x00FF0000;  // red | blue << 8 | green << 16
    key.SetKeyLight(green, 256, false);
    const QColor dark = Render(key).pixelColor(20, 20);
    EXPECT_EQ(dark, QColor(Qt::black));  // not lit: no light whatever the colour
    key.SetKeyLight(green, 256, true);
    const QColor bright = Render(key).pixelColor(20, 20);
    EXPECT_GT(bright.green(), 150);
    EXPECT_LT(bright.red(), 30);
    key.SetKeyLight(green, 64, true);
    const QColor dim = Render(key).pixelColor(20, 20);
    EXPECT_LT(dim.green(), bright.green());
    EXPECT_GT(dim.green(), 0);
    // A light image that cannot be loaded draws nothing and is no error.
    ASSERT_TRUE(key.SetAttribute(QStringLiteral("lightimage"), QStringLiteral("image/none.png")));
    EXPECT_EQ(Render(key).pixelColor(20, 20), QColor(Qt::black));
}

}  // namespace
}  // namespace kx520
