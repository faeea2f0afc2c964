#pragma once

#include "builder/CListElementUI.h"

namespace kx520 {

// A list row that frames itself with one pixel while the pointer is on it
// (unless the row says not to) and raises "menu" only when its context
// menu is enabled ("menu" attribute).
class CFramedListRowUI : public ui::CListElementUI {
    Q_OBJECT

public:
    using ui::CListElementUI::CListElementUI;
    bool SetAttribute(const QString& name, const QString& value) override;
    bool ContextMenuEnabled() const { return m_contextMenu; }

protected:
    // True where the frame would hide the row's own state (ticked, selected).
    virtual bool FrameSuppressed() const = 0;
    void PaintBorder(QPainter& painter) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool m_contextMenu = false;
};

}  // namespace kx520
