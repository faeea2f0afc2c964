#include "controls/CMenuElementUI.h"

#include <QPainter>

#include "ui/AttributeValue.h"

namespace kx520::ui {

CMenuElementUI::CMenuElementUI(QWidget* parent) : CButtonUI(parent) {
    SetTextAlign(Qt::AlignLeft | Qt::AlignVCenter);
    SetInset(QMargins(26, 0, 12, 0));
}

void CMenuElementUI::SetChecked(bool checked) {
    m_checked = checked;
    update();
}

bool CMenuElementUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key == QLatin1String("checkable") || key == QLatin1String("checked")) {
        const auto flag = ParseBool(value);
        if (!flag) {
            return false;
        }
        if (key == QLatin1String("checked")) {
            m_checkable = m_checkable || *flag;
            SetChecked(*flag);
        } else {
            m_checkable = *flag;
        }
        return true;
    }
    if (key == QLatin1String("hotbkcolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        m_hotColor = *colour;
        return true;
    }
    return CButtonUI::SetAttribute(name, value);
}

void CMenuElementUI::Activate() {
    if (m_checkable) {
        SetChecked(!m_checked);
    }
    CButtonUI::Activate();
}

void CMenuElementUI::PaintBkColor(QPainter& painter) {
    CButtonUI::PaintBkColor(painter);
    if (IsHot() && isEnabled()) {
        FillBackground(painter, m_hotColor);
    }
}

void CMenuElementUI::PaintText(QPainter& painter) {
    if (m_checked) {
        const double scale = Scale();
        const QPointF mark(9 * scale, height() / 2.0);
        QPen pen(HasOwnTextColor() ? GetTextColor() : palette().color(QPalette::WindowText),
                 2 * scale);
        painter.setPen(pen);
        painter.drawLine(mark, mark + QPointF(3 * scale, 3 * scale));
        painter.drawLine(mark + QPointF(3 * scale, 3 * scale), mark + QPointF(9 * scale, -4 * scale));
    }
    CButtonUI::PaintText(painter);
}

}  // namespace kx520::ui
