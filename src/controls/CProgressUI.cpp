#include "controls/CProgressUI.h"

#include <QPainter>

#include "ui/AttributeValue.h"
#include "ui/ImageString.h"

namespace kx520::ui {

CProgressUI::CProgressUI(QWidget* parent) : CControlUI(parent) {}

void CProgressUI::SetValue(int value) {
    m_value = value;
    update();
}

void CProgressUI::SetMinValue(int minimum) {
    m_minimum = minimum;
    update();
}

void CProgressUI::SetMaxValue(int maximum) {
    m_maximum = maximum;
    update();
}

double CProgressUI::Fraction() const {
    if (m_maximum <= m_minimum) {
        return 0.0;
    }
    const int value = std::clamp(m_value, m_minimum, m_maximum);
    return static_cast<double>(value - m_minimum) / (m_maximum - m_minimum);
}

bool CProgressUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (const auto handled = SetRangeAttribute(*this, key, value)) {
        return *handled;
    }
    if (key == QLatin1String("hor")) {
        const auto horizontal = ParseBool(value);
        if (!horizontal) {
            return false;
        }
        m_horizontal = *horizontal;
    } else if (key == QLatin1String("forecolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        m_foreColor = *colour;
    } else if (key == QLatin1String("foreimage")) {
        m_foreImage = value;
    } else {
        return CControlUI::SetAttribute(name, value);
    }
    return true;
}

void CProgressUI::PaintStatusImage(QPainter& painter) {
    QRect filled = ContentRect();
    if (m_horizontal) {
        filled.setWidth(qRound(filled.width() * Fraction()));
    } else {
        const int height = qRound(filled.height() * Fraction());
        filled.setTop(filled.bottom() + 1 - height);
    }
    if (filled.isEmpty()) {
        return;
    }
    if (!m_foreImage.isEmpty()) {
        painter.save();
        painter.setClipRect(filled);
        DrawImageString(painter, ContentRect(), m_foreImage, Scale());
        painter.restore();
        return;
    }
    painter.fillRect(filled, m_foreColor);
}

}  // namespace kx520::ui
