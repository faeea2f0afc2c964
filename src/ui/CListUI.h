#pragma once

#include "ui/CVerticalLayoutUI.h"

class QScrollArea;
class QVBoxLayout;

namespace kx520::ui {

class CListElementUI;

// A scrolling column of list elements, one of them selected. Selecting
// sends "itemselect" from the list with wParam = the new index and
// lParam = the old one.
class CListUI : public CVerticalLayoutUI {
    Q_OBJECT

public:
    explicit CListUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("List"); }

    bool Add(CControlUI* control) override;
    int GetCurSel() const { return m_current; }
    bool SelectItem(int index, bool notify = true);
    QColor SelectedColor() const { return m_selectedColor; }

    bool SetAttribute(const QString& name, const QString& value) override;

protected:
    QLayout* ItemLayout() const override;

private:
    QScrollArea* m_scroll;
    QWidget* m_body;
    QVBoxLayout* m_rows;
    int m_current = -1;
    QColor m_selectedColor{0x3D, 0xA9, 0xFC, 0x60};
};

}  // namespace kx520::ui
