#include "pages/CRecoilPlotUI.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace kx520 {

namespace {

// Where each bullet leaves the aim, from the first shot at (0, 0).
std::vector<QPointF> AimPath(const std::vector<profiles::Bullet>& bullets) {
    std::vector<QPointF> points;
    QPointF aim(0, 0);
    for (const profiles::Bullet& bullet : bullets) {
        points.push_back(aim);
        aim += QPointF(bullet.left ? -bullet.x : bullet.x, bullet.up ? -bullet.y : bullet.y);
    }
    return points;
}

}  // namespace

void CRecoilPlotUI::SetBullets(std::vector<profiles::Bullet> bullets) {
    m_bullets = std::move(bullets);
    Invalidate();
}

void CRecoilPlotUI::SetSelected(int bullet) {
    m_selected = bullet;
    Invalidate();
}

void CRecoilPlotUI::PaintStatusImage(QPainter& painter) {
    const std::vector<QPointF> points = AimPath(m_bullets);
    if (points.empty()) {
        return;
    }
    double left = 0, right = 0, top = 0, bottom = 0;
    for (const QPointF& point : points) {
        left = std::min(left, point.x());
        right = std::max(right, point.x());
        top = std::min(top, point.y());
        bottom = std::max(bottom, point.y());
    }
    const double margin = 10 * Scale();
    const QRectF area = QRectF(rect()).adjusted(margin, margin, -margin, -margin);
    // One scale for both axes, so a pattern keeps its shape; a still gun stays a dot.
    const double span = std::max({right - left, bottom - top, 1.0});
    const double factor = std::min(area.width(), area.height()) / span;
    const QPointF centre((left + right) / 2, (top + bottom) / 2);
    auto place = [&](const QPointF& point) { return area.center() + (point - centre) * factor; };
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath line;
    line.moveTo(place(points.front()));
    for (size_t i = 1; i < points.size(); ++i) {
        line.lineTo(place(points[i]));
    }
    painter.setPen(QPen(QColor(0x2F, 0x80, 0xED, 0x90), 1.5 * Scale()));
    painter.drawPath(line);
    const double dot = 2.5 * Scale();
    painter.setPen(Qt::NoPen);
    for (size_t i = 0; i < points.size(); ++i) {
        painter.setBrush(i == 0 ? QColor(0xE5, 0x39, 0x35) : QColor(0xE8, 0xEA, 0xF0));
        painter.drawEllipse(place(points[i]), dot, dot);
    }
    if (m_selected >= 0 && static_cast<size_t>(m_selected) < points.size()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(0xFF, 0xD6, 0x00), 1.5 * Scale()));
        painter.drawEllipse(place(points[static_cast<size_t>(m_selected)]), 3 * dot, 3 * dot);
    }
}

}  // namespace kx520
