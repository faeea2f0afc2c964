#include "controls/COptionUI.h"

#include <QPainter>

#include "ui/AttributeValue.h"
#include "ui/ImageString.h"

namespace kx520::ui {

COptionUI::COptionUI(QWidget* parent) : CButtonUI(parent) {}

void COptionUI::Selected(bool selected, bool notify) {
    if (m_selected == selected) {
        return;
    }
    m_selected = selected;
    update();
    if (selected && !m_group.isEmpty()) {
        for (COptionUI* other : window()->findChildren<COptionUI*>()) {
            if (other != this && other->m_group == m_group && other->m_selected) {
                other->Selected(false, notify);
            }
        }
    }
    if (notify) {
        SendNotify(QString::fromLatin1(notify::kSelectChanged));
    }
}

void COptionUI::Activate() {
    CButtonUI::Activate();
    // In a group a click only selects; alone it toggles.
    Selected(m_group.isEmpty() ? !m_selected : true);
}

bool COptionUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key == QLatin1String("group")) {
        SetGroup(value);
    } else if (key == QLatin1String("selected")) {
        const auto selected = ParseBool(value);
        if (!selected) {
            return false;
        }
        Selected(*selected, false);
    } else if (key == QLatin1String("selectedimage")) {
        m_selectedImage = value;
    } else if (key == QLatin1String("selectedbkcolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        m_selectedBkColor = *colour;
    } else if (key == QLatin1String("selectedbordercolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        m_selectedBorderColor = *colour;
    } else if (key == QLatin1String("selectedtextcolor") || key == QLatin1String("disabledtextcolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        (key.startsWith(QLatin1Char('s')) ? m_selectedTextColor : m_disabledTextColor) = *colour;
        update();
    } else {
        return CButtonUI::SetAttribute(name, value);
    }
    return true;
}

QColor COptionUI::StateTextColor() const {
    if (!isEnabled() && m_disabledTextColor.isValid()) {
        return m_disabledTextColor;
    }
    if (m_selected && isEnabled() && m_selectedTextColor.isValid()) {
        return m_selectedTextColor;
    }
    return CButtonUI::StateTextColor();
}

void COptionUI::PaintStatusImage(QPainter& painter) {
    // A choice that cannot be made shows no choice: a disabled option that
    // looked selected read as the one in force.
    if (!m_selected || !isEnabled()) {
        CButtonUI::PaintStatusImage(painter);
        return;
    }
    FillBackground(painter, m_selectedBkColor);
    if (!m_selectedImage.isEmpty()) {
        DrawImageString(painter, rect(), m_selectedImage, Scale());
    } else {
        CButtonUI::PaintStatusImage(painter);
    }
    if (m_selectedBorderColor.isValid()) {
        // A ring that shows which one is chosen whatever its own colour.
        StrokeOutline(painter, m_selectedBorderColor, 2 * Scale(), 6 * Scale());
    }
}

}  // namespace kx520::ui
