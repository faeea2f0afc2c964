#include "mouseui/MouseButtonList.h"

#include <QColor>

#include "builder/CListElementUI.h"
#include "builder/CListUI.h"
#include "controls/CLabelUI.h"

namespace kx520 {

bool MouseButtonList::EnsureRow(int row) {
    if (m_list == nullptr || row < 0) {
        return false;
    }
    while (m_list->GetCount() <= row) {
        auto* element = new ui::CListElementUI;
        element->SetFixedHeight(25);
        auto* name = new ui::CLabelUI;
        name->SetFixedWidth(200);
        name->SetTextColor(QColor::fromRgba(0xFFFFFFFF));
        auto* does = new ui::CLabelUI;
        does->SetFixedWidth(180);
        does->SetTextColor(QColor::fromRgba(0xFF0099FF));
        does->SetAttribute(QStringLiteral("endellipsis"), QStringLiteral("true"));
        element->Add(name);
        element->Add(does);
        element->SetVisible(false);
        element->SetMouseEnabled(false);  // a row tells, it takes no clicks
        m_list->Add(element);
    }
    return true;
}

void MouseButtonList::ShowRow(int row, const QString& own, const QString& does, bool visible) {
    if (!EnsureRow(row)) {
        return;
    }
    auto* element = dynamic_cast<ui::CContainerUI*>(m_list->GetItemAt(row));
    if (element == nullptr) {
        return;
    }
    if (element->GetCount() >= 2) {
        element->GetItemAt(0)->SetText(own);
        element->GetItemAt(1)->SetText(does);
        element->GetItemAt(1)->SetToolTip(does);
    }
    element->SetVisible(visible);
}

}  // namespace kx520
