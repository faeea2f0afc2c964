#include "ui/CLabelUI.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>

#include "ui/AttributeValue.h"

namespace kx520::ui {

CLabelUI::CLabelUI(QWidget* parent) : CControlUI(parent) {
    SetTextAlign(Qt::AlignLeft | Qt::AlignVCenter);
}

bool CLabelUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key != QLatin1String("endellipsis") && key != QLatin1String("autowidth")) {
        return CControlUI::SetAttribute(name, value);
    }
    const auto flag = ParseBool(value);
    if (!flag) {
        return false;
    }
    (key == QLatin1String("endellipsis") ? m_endEllipsis : m_autoWidth) = *flag;
    FitWidthToText();
    update();
    return true;
}

void CLabelUI::ApplyScale() {
    CControlUI::ApplyScale();
    FitWidthToText();
}

bool CLabelUI::TextFits() const {
    return m_endEllipsis || CControlUI::TextFits();
}

void CLabelUI::TextChanged() {
    FitWidthToText();
    CControlUI::TextChanged();
}

void CLabelUI::FitWidthToText() {
    if (!m_autoWidth) {
        return;
    }
    // In layout pixels: the text at this scale, back at DPI 96, plus the inset.
    const double scale = Scale() > 0 ? Scale() : 1.0;
    const int textWidth = QFontMetrics(ControlFont()).horizontalAdvance(GetDisplayText());
    const int width = static_cast<int>(std::ceil(textWidth / scale)) + GetInset().left() +
                      GetInset().right() + 1;
    if (width != GetFixedWidth()) {
        SetFixedWidth(width);
    }
}

void CLabelUI::PaintText(QPainter& painter) {
    if (!m_endEllipsis) {
        CControlUI::PaintText(painter);
        return;
    }
    const QString text = GetDisplayText();
    if (text.isEmpty()) {
        return;
    }
    const QRect room = ContentRect();
    painter.setFont(ControlFont());
    painter.setPen(TextPaintColour());
    const QString shown = QFontMetrics(ControlFont()).elidedText(text, Qt::ElideRight, room.width());
    painter.drawText(room, static_cast<int>(TextAlign()), shown);
}

}  // namespace kx520::ui
