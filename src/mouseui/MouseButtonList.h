#pragma once

#include <QString>

namespace kx520 {

namespace ui {
class CListUI;
}

// The system panel's list of the mouse's buttons: a row per button with
// its own name and what it does, made as the buttons come and shown only
// for buttons the page shows.
class MouseButtonList {
public:
    void Attach(ui::CListUI* list) { m_list = list; }
    // Row `row` says `own` does `does`; a long `does` is cut short on the
    // row and told whole in its tool-tip. Nothing without a list.
    void ShowRow(int row, const QString& own, const QString& does, bool visible);

private:
    bool EnsureRow(int row);

    ui::CListUI* m_list = nullptr;
};

}  // namespace kx520
