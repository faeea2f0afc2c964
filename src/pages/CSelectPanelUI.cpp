#include "pages/CSelectPanelUI.h"

#include <QMouseEvent>

#include "pages/CDeviceKeyButtonUI.h"

namespace kx520 {

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : ui::CVerticalLayoutUI(parent) {}

QPoint CSelectPanelUI::WindowPoint(const QMouseEvent* event) const {
    return mapTo(window(), event->position().toPoint());
}

void CSelectPanelUI::mousePressEvent(QMouseEvent* event) {
    ui::CVerticalLayoutUI::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && isEnabled()) {
        m_pressed = true;
        m_anchor = WindowPoint(event);
        event->accept();
    }
}

void CSelectPanelUI::mouseMoveEvent(QMouseEvent* event) {
    ui::CVerticalLayoutUI::mouseMoveEvent(event);
    if (m_pressed) {
        m_dragging = true;
    }
    if (!m_dragging) {
        return;
    }
    m_current = WindowPoint(event);
    const int left = std::min(m_anchor.x(), m_current.x());
    const int top = std::min(m_anchor.y(), m_current.y());
    const int right = std::max(m_anchor.x(), m_current.x());
    const int bottom = std::max(m_anchor.y(), m_current.y());
    m_selection = QRect(left, top, right - left, bottom - top);
    Invalidate();
}

void CSelectPanelUI::mouseReleaseEvent(QMouseEvent* event) {
    ui::CVerticalLayoutUI::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_pressed = false;
    if (!m_dragging) {
        return;
    }
    m_dragging = false;
    m_anchor = m_current;
    ApplySelection();
    Invalidate();
    SendNotify(QString::fromLatin1(kSelectEnd), 0, 0);
}

void CSelectPanelUI::ApplySelection() {
    for (ui::CControlUI* child : ChildControls()) {
        auto* key = dynamic_cast<CDeviceKeyButtonUI*>(child);
        if (key == nullptr || child->GetClass() != QLatin1String("DeviceKeyButton")) {
            continue;
        }
        // An empty band (no width or no height) overlaps nothing.
        key->SetKeySelected(!m_selection.isEmpty() && m_selection.intersects(key->GetPos()));
    }
}

}  // namespace kx520
