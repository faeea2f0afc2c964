#pragma once

class QColor;
class QPainter;
class QRect;

namespace kx520::ui {

// Fills `rect` with `colour`, its corners rounded by `radius` pixels. The
// shape is rasterised once per size, colour and radius, then drawn as an
// image: a lit keyboard fills a hundred rounded caps on every frame.
void FillRounded(QPainter& painter, const QRect& rect, double radius, const QColor& colour);

}  // namespace kx520::ui
