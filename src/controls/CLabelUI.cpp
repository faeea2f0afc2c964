#include "controls/CLabelUI.h"

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
    if (key != QLatin1String("endellipsis")) {
        return CControlUI::SetAttribute(name, value);
    }
    const auto flag = ParseBool(value);
    if (!flag) {
        return false;
    }
    m_endEllipsis = *flag;
    update();
    return true;
}

bool CLabelUI::TextFits() const {
    return m_endEllipsis || CControlUI::TextFits();
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
