// The paint short-cuts a lit keyboard takes on every frame: the composed
// cap, the cached rounded fill and the opaque panel must look exactly as
// the plain painter would draw them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include "ui/CControlUI.h"
#include "ui/CVerticalLayoutUI.h"
#include "ui/ImageString.h"
#include "ui/RoundedFill.h"

namespace kx520 {
namespace {

QImage Random(const QSize& size, quint32 seed) {
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int alpha = random.bounded(256);
            image.setPixel(x, y, qPremultiply(qRgba(random.bounded(256), random.bounded(256), random.bounded(256), alpha)));
        }
    }
    return image;
}

// The composition written the slow way, with the raster engine's rounding.
int Mul(int value, int alpha) {
    const int t = value * alpha;
    return (t + (t >> 8) + 0x80) >> 8;
}
QRgb Over(QRgb top, QRgb bottom) {
    const int rest = 255 - qAlpha(top);
    return qRgba(qRed(top) + Mul(qRed(bottom), rest), qGreen(top) + Mul(qGreen(bottom), rest),
                 qBlue(top) + Mul(qBlue(bottom), rest), qAlpha(top) + Mul(qAlpha(bottom), rest));
}
QRgb Scaled(QRgb colour, int alpha) {
    return qRgba(Mul(qRed(colour), alpha), Mul(qGreen(colour), alpha), Mul(qBlue(colour), alpha),
                 Mul(qAlpha(colour), alpha));
}

// Every width from a single pixel to past two blocks of four, so both the
// wide loop and its tail are compared with the slow way.
TEST(ComposeTinted, EveryPixelIsTheLightOverTheCapUnderTheLegend) {
    const QColor colour(200, 120, 40);
    const QColor legend(24, 26, 32, 235);
    for (int width = 1; width <= 11; ++width) {
        const QSize size(width, 3);
        const QImage light = Random(size, 1 + width);
        const QImage cap = Random(size, 100 + width);
        QImage mask(size, QImage::Format_Alpha8);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < width; ++x) {
                mask.scanLine(y)[x] = static_cast<uchar>((x * 97 + y * 31) % 256);
            }
        }
        for (int level : {256, 128, 0}) {
            ui::ImageTint tint;
            tint.enabled = true;
            tint.colour = colour;
            tint.level = level;
            QImage out;
            ui::ComposeTinted(out, light, tint, &cap, &mask, legend);
            const QRgb lit = qRgba(colour.red() * level / 256, colour.green() * level / 256,
                                   colour.blue() * level / 256, 255);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < width; ++x) {
                    QRgb expected = Over(Scaled(lit, qAlpha(light.pixel(x, y))), cap.pixel(x, y));
                    expected = Over(Scaled(qPremultiply(legend.rgba()), mask.scanLine(y)[x]), expected);
                    ASSERT_EQ(out.pixel(x, y), expected)
                        << "width " << width << " level " << level << " at " << x << "," << y;
                }
            }
        }
    }
}

TEST(ComposeTinted, WithoutCapOrLegendItIsTheLightsShapeInTheColour) {
    QImage light(5, 1, QImage::Format_ARGB32_Premultiplied);
    const int alphas[5] = {0, 1, 128, 254, 255};
    for (int x = 0; x < 5; ++x) {
        light.setPixel(x, 0, qRgba(alphas[x], alphas[x], alphas[x], alphas[x]));
    }
    ui::ImageTint tint;
    tint.enabled = true;
    tint.colour = QColor(255, 0, 255);
    QImage out = QImage(5, 1, QImage::Format_ARGB32_Premultiplied);  // reused when it has the size
    const auto buffer = out.constBits();
    ui::ComposeTinted(out, light, tint, nullptr);
    EXPECT_EQ(out.constBits(), buffer);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(out.pixel(x, 0), qRgba(alphas[x], 0, alphas[x], alphas[x])) << x;
    }
}

QImage Filled(const QSize& size, const std::function<void(QPainter&)>& paint) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return image;
}

int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

// The cached shape, in pieces for an opaque colour, is the path the
// painter would fill, for square, wide and small shapes and a radius too
// large for them.
TEST(FillRounded, LooksAsTheFilledPathDoes) {
    struct Case {
        QRect rect;
        double radius;
        QColor colour;
    };
    const Case cases[] = {
        {{2, 3, 40, 40}, 12, QColor(23, 26, 33)},        {{0, 0, 300, 60}, 8, QColor(47, 128, 237)},
        {{1, 1, 9, 30}, 12, QColor(255, 255, 255)},       {{4, 4, 50, 20}, 6.5, QColor(10, 200, 10, 128)},
        {{0, 0, 20, 20}, 0.5, QColor(200, 0, 0)},
    };
    for (const Case& c : cases) {
        const QSize size(c.rect.right() + 3, c.rect.bottom() + 3);
        const QImage fast = Filled(size, [&c](QPainter& p) { ui::FillRounded(p, c.rect, c.radius, c.colour); });
        const QImage slow = Filled(size, [&c](QPainter& p) {
            QPainterPath path;
            path.addRoundedRect(QRectF(c.rect), c.radius, c.radius);
            p.fillPath(path, c.colour);
        });
        EXPECT_LE(LargestDifference(fast, slow), 2) << c.rect.width() << "x" << c.rect.height();
        // The body is the colour itself and outside stays untouched.
        const QPoint centre = c.rect.center();
        EXPECT_EQ(fast.pixel(centre), qPremultiply(c.colour.rgba()));
        EXPECT_EQ(qAlpha(fast.pixel(c.rect.right() + 2, c.rect.bottom() + 2)), 0);
        EXPECT_LT(qAlpha(fast.pixel(c.rect.topLeft())), qAlpha(fast.pixel(centre)) + (c.radius < 1 ? 1 : 0));
    }
}

// An opaque panel lets nothing behind it be painted again: its corners take
// the nearest solid background, not the window's.
TEST(OpaqueControl, CornersTakeTheNearestSolidBackgroundAndNothingBehindIsPainted) {
    ui::CVerticalLayoutUI outer;
    outer.SetBkColor(QColor(18, 20, 26));
    auto* middle = new ui::CVerticalLayoutUI(&outer);  // no colour of its own
    auto* panel = new ui::CControlUI(middle);
    panel->SetBkColor(QColor(23, 26, 33));
    panel->SetBorder(QColor(), 0, 12);
    EXPECT_FALSE(panel->testAttribute(Qt::WA_OpaquePaintEvent));
    ASSERT_TRUE(panel->SetAttribute(QStringLiteral("opaque"), QStringLiteral("true")));
    EXPECT_TRUE(panel->IsOpaque());
    EXPECT_TRUE(panel->testAttribute(Qt::WA_OpaquePaintEvent));
    panel->resize(60, 40);
    QImage image(60, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);  // what an unpainted pixel would keep
    panel->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(image.pixelColor(0, 0), QColor(18, 20, 26));    // a corner: the outer colour
    EXPECT_EQ(image.pixelColor(30, 20), QColor(23, 26, 33));  // the body: its own
    panel->SetEnabled(false);  // faded, and still every pixel painted
    image.fill(Qt::magenta);
    panel->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_NE(image.pixelColor(30, 20).red(), 255);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(18, 20, 26));
}

}  // namespace
}  // namespace kx520
