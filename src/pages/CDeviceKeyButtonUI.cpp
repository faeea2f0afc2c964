#include "pages/CDeviceKeyButtonUI.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/ImageString.h"

namespace kx520 {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : ui::CButtonUI(parent) {}

void CDeviceKeyButtonUI::SetKeyLight(uint32_t colour, int level, bool lit) {
    m_lightColour = colour;
    m_lightLevel = level;
    m_lit = lit;
}

void CDeviceKeyButtonUI::SetKeySetImageHidden(bool hidden) {
    if (m_keySetHidden == hidden) {
        return;
    }
    m_keySetHidden = hidden;
    Invalidate();
}

bool CDeviceKeyButtonUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("lightimage"), Qt::CaseInsensitive) == 0) {
        m_lightImage = value;
        Invalidate();
        return true;
    }
    if (name.compare(QLatin1String("keysetimage"), Qt::CaseInsensitive) == 0) {
        m_keySetImage = value;
        Invalidate();
        return true;
    }
    return ui::CButtonUI::SetAttribute(name, value);
}

void CDeviceKeyButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        ui::CButtonUI::mouseDoubleClickEvent(event);
        return;
    }
    SetPushed(true);  // pushed and, by Qt's implicit grab, captured
    event->accept();
    SendNotify(QString::fromLatin1(ui::notify::kDbClick), 0, 0);
    Invalidate();
}

void CDeviceKeyButtonUI::PaintStatusImage(QPainter& painter) {
    ui::CButtonUI::PaintStatusImage(painter);
    // A light that is off (black, or at level 0) shows the dark cap.
    const bool shining = m_lit && m_lightLevel > 0 && (m_lightColour & 0xFFFFFF) != 0;
    if (shining) {
        ui::ImageTint tint;
        tint.enabled = true;
        tint.colour = QColor(m_lightColour & 0xFF, (m_lightColour >> 16) & 0xFF,
                             (m_lightColour >> 8) & 0xFF);
        tint.level = m_lightLevel;
        ui::DrawImageString(painter, rect(), m_lightImage, Scale(), tint);
    }
    if (!m_keySetHidden) {
        ui::DrawImageString(painter, rect(), m_keySetImage, Scale());
    }
}

}  // namespace kx520
