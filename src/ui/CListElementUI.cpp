#include "ui/CListElementUI.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/CListUI.h"

namespace kx520::ui {

CListElementUI::CListElementUI(QWidget* parent) : CHorizontalLayoutUI(parent) {
    SetTextAlign(Qt::AlignLeft | Qt::AlignVCenter);
}

void CListElementUI::SetSelected(bool selected) {
    m_selected = selected;
    update();
}

void CListElementUI::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        SendNotify(QString::fromLatin1(notify::kItemClick));
        if (m_owner != nullptr) {
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
    if (m_selected) {
        painter.fillRect(rect(), m_owner != nullptr ? m_owner->SelectedColor()
                                                    : QColor(0x3D, 0xA9, 0xFC, 0x60));
    }
}

void CListElementUI::PaintText(QPainter& painter) {
    CControlUI::PaintText(painter);
}

}  // namespace kx520::ui
