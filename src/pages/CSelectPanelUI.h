#pragma once

#include <QPoint>
#include <QRect>

class QChildEvent;

#include "ui/CVerticalLayoutUI.h"

namespace kx520 {

// Selects key buttons with a rubber band: press on the panel, drag, release.
// On release every direct child whose class text is "DeviceKeyButton" is
// selected when it overlaps the band and unselected otherwise, and the
// panel sends "click_select_end". A press and release without a move
// changes nothing. A drag may start on a key as well as between keys; the
// band is drawn over the keys while it is dragged.
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
    // Keys take their own presses: the panel watches them for a drag.
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPoint WindowPoint(const QMouseEvent* event) const;
    void ApplySelection();
    void Press(const QPoint& at);
    // False while the pointer has not gone far enough to be a drag.
    bool Drag(const QPoint& at);
    bool Release();
    void ShowBand();

    bool m_pressed = false;
    bool m_dragging = false;
    QPoint m_anchor;
    QPoint m_current;
    QRect m_selection;
    QWidget* m_band = nullptr;  // drawn over the keys while dragging
};

}  // namespace kx520
