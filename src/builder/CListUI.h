#pragma once

#include "ui/CVerticalLayoutUI.h"

class QScrollArea;

namespace kx520::ui {

class CListElementUI;
class RowStackLayout;

// A scrolling column of list elements, one of them current. Selecting
// sends "itemselect" from the list with wParam = the new index and
// lParam = the old one. With "multiselect", Ctrl+click adds or removes a
// row from the selection without moving the current row. "columns" gives
// the widths of the rows' cells ("120,60,0": 0 takes the rest); "hotcolor"
// the colour of the row under the pointer.
class CListUI : public CVerticalLayoutUI {
    Q_OBJECT

public:
    explicit CListUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("List"); }

    bool Add(CControlUI* control) override;
    // A row before `index` (the end when outside); the current row stays
    // the same row.
    bool AddAt(CControlUI* control, int index);
    // A row made from its own layout file (a list container element).
    CListElementUI* AddRowFromLayout(const QString& layout, int index = -1,
                                     QString* error = nullptr);
    // Removes row `index`: after it the current row is the same row, or,
    // when it was the one removed, the row that took its place (the new
    // last row at the end; none when the list is empty). Silent.
    bool RemoveAt(int index);
    int GetCurSel() const { return m_current; }
    // `reveal` scrolls the row into view, which lays out every row now.
    bool SelectItem(int index, bool notify = true, bool reveal = true);
    QColor SelectedColor() const { return m_selectedColor; }
    QColor HotColor() const { return m_hotColor; }

    bool IsMultiSelect() const { return m_multiSelect; }
    // The selected rows, in order (the current one among them).
    QList<int> SelectedRows() const;
    // Ctrl+click on a row of a multi-select list.
    void ToggleSelected(int index);
    // While held, added rows are not laid out one by one (each would lay
    // out every row): all at once when released.
    void HoldLayout(bool hold);
    void ScrollToRow(int index);
    void ScrollToEnd();
    void SetColumns(const QList<int>& widths);

    bool SetAttribute(const QString& name, const QString& value) override;

protected:
    QLayout* ItemLayout() const override;

private:
    QScrollArea* m_scroll;
    QWidget* m_body;
    RowStackLayout* m_rows;
    void ApplyColumns(CControlUI* row) const;
    void Reselect(int current);

    int m_current = -1;
    bool m_multiSelect = false;
    QList<int> m_columns;
    QColor m_selectedColor{0x3D, 0xA9, 0xFC, 0x60};
    QColor m_hotColor;
};

}  // namespace kx520::ui
