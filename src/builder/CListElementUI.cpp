#include "builder/CListElementUI.h"

#include <QMouseEvent>
#include <QPainter>

#include "builder/CDialogBuilder.h"
#include "builder/CListUI.h"

namespace kx520::ui {

CListElementUI::CListElementUI(QWidget* parent) : CHorizontalLayoutUI(parent) {
    SetTextAlign(Qt::AlignLeft | Qt::AlignVCenter);
}

void CListElementUI::SetSelected(bool selected) {
    if (m_selected == selected) {
        return;  // a list of thousands selects one row: only two repaint
    }
    m_selected = selected;
    update();
}

bool CListElementUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("layout"), Qt::CaseInsensitive) != 0) {
        return CHorizontalLayoutUI::SetAttribute(name, value);
    }
    CDialogBuilder builder;
    CControlUI* content = builder.Create(value, GetManager());
    if (content == nullptr) {
        return false;
    }
    Add(content);
    return true;
}

void CListElementUI::enterEvent(QEnterEvent* event) {
    m_hot = true;
    update();
    CHorizontalLayoutUI::enterEvent(event);
}

void CListElementUI::leaveEvent(QEvent* event) {
    m_hot = false;
    update();
    CHorizontalLayoutUI::leaveEvent(event);
}

void CListElementUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        SendNotify(QString::fromLatin1(notify::kItemClick));
        if (m_owner != nullptr && m_owner->IsMultiSelect() &&
            (event->modifiers() & Qt::ControlModifier) != 0) {
            m_owner->ToggleSelected(m_owner->GetItemIndex(this));
        } else if (m_owner != nullptr) {
            m_owner->SelectItem(m_owner->GetItemIndex(this));
        }
        event->accept();
        return;
    }
    CHorizontalLayoutUI::mousePressEvent(event);
}

void CListElementUI::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        SendNotify(QString::fromLatin1(notify::kItemActivate));
        event->accept();
        return;
    }
    CHorizontalLayoutUI::mouseDoubleClickEvent(event);
}

void CListElementUI::PaintBkColor(QPainter& painter) {
    CHorizontalLayoutUI::PaintBkColor(painter);
    if (m_hot && !m_selected && m_owner != nullptr && m_owner->HotColor().isValid()) {
        painter.fillRect(rect(), m_owner->HotColor());
    }
    if (m_selected) {
        painter.fillRect(rect(), m_owner != nullptr ? m_owner->SelectedColor()
                                                    : QColor(0x3D, 0xA9, 0xFC, 0x60));
    }
}

void CListElementUI::PaintText(QPainter& painter) {
    CControlUI::PaintText(painter);
}

}  // namespace kx520::ui
