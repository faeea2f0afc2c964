#pragma once

#include "ui/CHorizontalLayoutUI.h"

namespace kx520::ui {

class CListUI;

// One row of a list: a text, or other controls laid out side by side. A
// click selects it ("itemclick" from the row, then "itemselect" from the
// list); a double click sends "itemactivate".
class CListElementUI : public CHorizontalLayoutUI {
    Q_OBJECT

public:
    explicit CListElementUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("ListElement"); }

    bool IsSelected() const { return m_selected; }
    void SetSelected(bool selected);
    bool IsHot() const { return m_hot; }
    void SetOwner(CListUI* owner) { m_owner = owner; }
    // "layout": the row's cells built from their own layout file.
    bool SetAttribute(const QString& name, const QString& value) override;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void PaintBkColor(QPainter& painter) override;
    void PaintText(QPainter& painter) override;

private:
    CListUI* m_owner = nullptr;
    bool m_selected = false;
    bool m_hot = false;
};

}  // namespace kx520::ui
