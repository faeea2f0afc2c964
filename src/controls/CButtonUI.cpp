#include "controls/CButtonUI.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/AttributeValue.h"
#include "ui/ImageString.h"

namespace kx520::ui {

CButtonUI::CButtonUI(QWidget* parent) : CControlUI(parent) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
}

void CButtonUI::SetNormalImage(const QString& image) {
    m_normalImage = image;
    update();
}

void CButtonUI::SetHotImage(const QString& image) {
    m_hotImage = image;
    update();
}

void CButtonUI::SetPushedImage(const QString& image) {
    m_pushedImage = image;
    update();
}

bool CButtonUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key == QLatin1String("normalimage")) {
        SetNormalImage(value);
    } else if (key == QLatin1String("hotimage")) {
        SetHotImage(value);
    } else if (key == QLatin1String("pushedimage")) {
        SetPushedImage(value);
    } else if (key == QLatin1String("focusedimage")) {
        m_focusedImage = value;
    } else if (key == QLatin1String("disabledimage")) {
        m_disabledImage = value;
    } else if (key == QLatin1String("hottextcolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        m_hotTextColor = *colour;
    } else {
        return CControlUI::SetAttribute(name, value);
    }
    return true;
}

void CButtonUI::Activate() {
    SendNotify(QString::fromLatin1(notify::kClick));
}

void CButtonUI::SetPushed(bool pushed) {
    if (m_pushed != pushed) {
        m_pushed = pushed;
        update();
    }
}

void CButtonUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        CControlUI::mousePressEvent(event);
        return;
    }
    SetPushed(true);
    event->accept();
}

void CButtonUI::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pushed) {
        CControlUI::mouseReleaseEvent(event);
        return;
    }
    SetPushed(false);
    event->accept();
    if (rect().contains(event->position().toPoint()) && isEnabled()) {
        Activate();
    }
}

void CButtonUI::mouseDoubleClickEvent(QMouseEvent* event) {
    // A second press: pushed again, so its release clicks again.
    mousePressEvent(event);
}

void CButtonUI::enterEvent(QEnterEvent* event) {
    m_hot = true;
    update();
    CControlUI::enterEvent(event);
}

void CButtonUI::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    CControlUI::leaveEvent(event);
}

void CButtonUI::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && isEnabled()) {
        event->accept();
        Activate();
        return;
    }
    CControlUI::keyPressEvent(event);
}

const QString& CButtonUI::StatusImage() const {
    if (!isEnabled() && !m_disabledImage.isEmpty()) {
        return m_disabledImage;
    }
    if (m_pushed && !m_pushedImage.isEmpty()) {
        return m_pushedImage;
    }
    if (m_hot && !m_hotImage.isEmpty()) {
        return m_hotImage;
    }
    if (hasFocus() && !m_focusedImage.isEmpty()) {
        return m_focusedImage;
    }
    return m_normalImage;
}

void CButtonUI::PaintStatusImage(QPainter& painter) {
    DrawImageString(painter, rect(), StatusImage(), Scale());
}

QColor CButtonUI::StateTextColor() const {
    return m_hot && isEnabled() ? m_hotTextColor : QColor();
}

void CButtonUI::PaintText(QPainter& painter) {
    const QColor colour = StateTextColor();
    if (colour.isValid()) {
        const QString text = GetDisplayText();
        painter.setFont(ControlFont());
        painter.setPen(colour);
        painter.drawText(ContentRect(), static_cast<int>(TextAlign()), text);
        return;
    }
    CControlUI::PaintText(painter);
}

}  // namespace kx520::ui
