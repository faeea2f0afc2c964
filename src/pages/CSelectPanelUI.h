#pragma once

#include <QPoint>
#include <QRect>

#include "ui/CVerticalLayoutUI.h"

namespace kx520 {

// Selects key buttons with a rubber band: press on the panel, drag, release.
// On release every direct child whose class text is "DeviceKeyButton" is
// selected when it overlaps the band and unselected otherwise, and the
// panel sends "click_select_end". A press and release without a move
// changes nothing. The band itself is not drawn.
class CSelectPanelUI : public ui::CVerticalLayoutUI {
    Q_OBJECT

public:
    static constexpr const char* kSelectEnd = "click_select_end";

    explicit CSelectPanelUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("SelectPanel"); }

    bool IsPressed() const { return m_pressed; }
    bool IsDragging() const { return m_dragging; }
    // In window coordinates.
    const QRect& SelectionRect() const { return m_selection; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint WindowPoint(const QMouseEvent* event) const;
    void ApplySelection();

    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_anchor;
    QPoint m_current;
    QRect m_selection;
};

}  // namespace kx520
