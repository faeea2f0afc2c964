#include "windows/CFramedListRowUI.h"

#include <QContextMenuEvent>
#include <QPainter>

#include "ui/AttributeValue.h"

namespace kx520 {

namespace {

const QColor kFrameColour(0xFF, 0xFF, 0xFF, 0x40);

}  // namespace

bool CFramedListRowUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("menu"), Qt::CaseInsensitive) == 0) {
        const auto enabled = ui::ParseBool(value);
        if (!enabled) {
            return false;
        }
        m_contextMenu = *enabled;
        return true;
    }
    return ui::CListElementUI::SetAttribute(name, value);
}

void CFramedListRowUI::PaintBorder(QPainter& painter) {
    ui::CListElementUI::PaintBorder(painter);
    if (!IsHot() || !isEnabled() || FrameSuppressed()) {
        return;
    }
    painter.setPen(QPen(kFrameColour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CFramedListRowUI::contextMenuEvent(QContextMenuEvent* event) {
    if (!m_contextMenu) {
        event->ignore();
        return;
    }
    ui::CListElementUI::contextMenuEvent(event);
}

}  // namespace kx520
