#include "pages/CSelectPanelUI.h"

#include <QApplication>
#include <QChildEvent>
#include <QMouseEvent>
#include <QPalette>
#include <algorithm>

#include "pages/CDeviceKeyButtonUI.h"

namespace kx520 {

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : ui::CVerticalLayoutUI(parent) {}

QPoint CSelectPanelUI::WindowPoint(const QMouseEvent* event) const {
    return mapTo(window(), event->position().toPoint());
}

void CSelectPanelUI::mousePressEvent(QMouseEvent* event) {
    ui::CVerticalLayoutUI::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && isEnabled()) {
        Press(WindowPoint(event));
        event->accept();
    }
}

void CSelectPanelUI::mouseMoveEvent(QMouseEvent* event) {
    ui::CVerticalLayoutUI::mouseMoveEvent(event);
    if (m_pressed) {
        m_dragging = true;  // on the panel itself any move is a drag
    }
    Drag(WindowPoint(event));
}

void CSelectPanelUI::mouseReleaseEvent(QMouseEvent* event) {
    ui::CVerticalLayoutUI::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        Release();
    }
}

void CSelectPanelUI::childEvent(QChildEvent* event) {
    ui::CVerticalLayoutUI::childEvent(event);
    if (event->added() && event->child()->isWidgetType()) {
        event->child()->installEventFilter(this);
    }
}

bool CSelectPanelUI::eventFilter(QObject* watched, QEvent* event) {
    // Every event of every key passes here, a lit frame's paints among them.
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease) {
        return false;
    }
    auto* key = dynamic_cast<CDeviceKeyButtonUI*>(watched);
    if (key == nullptr || !isEnabled()) {
        return false;
    }
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (mouse == nullptr) {
        return false;
    }
    const QPoint at = key->mapTo(window(), mouse->position().toPoint());
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (mouse->button() == Qt::LeftButton) {
                Press(at);
            }
            return false;  // the key is pushed as usual
        case QEvent::MouseMove:
            if (m_pressed && !m_dragging &&
                (at - m_anchor).manhattanLength() >= QApplication::startDragDistance()) {
                m_dragging = true;
                key->CancelPress();  // a drag, not a click: its release clicks nothing
            }
            return Drag(at);
        case QEvent::MouseButtonRelease:
            return mouse->button() == Qt::LeftButton && Release();
        default:
            return false;
    }
}

void CSelectPanelUI::Press(const QPoint& at) {
    m_pressed = true;
    m_dragging = false;
    m_anchor = at;
}

bool CSelectPanelUI::Drag(const QPoint& at) {
    if (!m_dragging) {
        return false;
    }
    m_current = at;
    const int left = std::min(m_anchor.x(), m_current.x());
    const int top = std::min(m_anchor.y(), m_current.y());
    const int right = std::max(m_anchor.x(), m_current.x());
    const int bottom = std::max(m_anchor.y(), m_current.y());
    m_selection = QRect(left, top, right - left, bottom - top);
    ShowBand();
    return true;
}

bool CSelectPanelUI::Release() {
    m_pressed = false;
    if (!m_dragging) {
        return false;
    }
    m_dragging = false;
    m_anchor = m_current;
    if (m_band != nullptr) {
        m_band->hide();
    }
    ApplySelection();
    Invalidate();
    SendNotify(QString::fromLatin1(kSelectEnd), 0, 0);
    return true;
}

void CSelectPanelUI::ShowBand() {
    if (m_band == nullptr) {
        m_band = new QWidget(this);
        m_band->setAttribute(Qt::WA_TransparentForMouseEvents);
        m_band->setAutoFillBackground(true);
        QPalette colours = m_band->palette();
        colours.setColor(QPalette::Window, QColor(0x2F, 0x80, 0xED, 0x48));
        m_band->setPalette(colours);
    }
    const QRect inPanel(mapFrom(window(), m_selection.topLeft()), m_selection.size());
    m_band->setGeometry(inPanel);
    m_band->show();
    m_band->raise();
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
