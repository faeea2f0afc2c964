#include "builder/CListUI.h"

#include <QBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "ui/AttributeValue.h"
#include "builder/CDialogBuilder.h"
#include "builder/CListElementUI.h"
#include "ui/RowStackLayout.h"

namespace kx520::ui {

CListUI::CListUI(QWidget* parent)
    : CVerticalLayoutUI(parent), m_scroll(new QScrollArea), m_body(new QWidget),
      m_rows(new RowStackLayout(m_body)) {
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    m_scroll->setWidget(m_body);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // Rows take the list's width; a cell too wide for it is cut, never scrolled to.
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A thin rounded bar on the list's own colour, not the platform's box.
    m_scroll->setStyleSheet(QStringLiteral(
        "QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; }"
        "QScrollBar:vertical { background: transparent; width: 8px; margin: 2px 1px 2px 0; }"
        "QScrollBar::handle:vertical { background: #4A4F5C; border-radius: 3px; min-height: 24px; }"
        "QScrollBar::handle:vertical:hover { background: #5E6474; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: transparent; }"));
    CVerticalLayoutUI::ItemLayout()->addWidget(m_scroll);  // the column holds the scroller
}

QLayout* CListUI::ItemLayout() const {
    return m_rows;
}

bool CListUI::Add(CControlUI* control) {
    return AddAt(control, -1);
}

bool CListUI::AddAt(CControlUI* control, int index) {
    if (control == nullptr || m_items.contains(control)) {
        return false;
    }
    if (index < 0 || index > GetCount()) {
        index = GetCount();
    }
    control->setParent(m_body);
    m_items.insert(index, control);
    control->SetManager(GetManager());
    m_rows->InsertWidget(index, control);
    if (auto* element = dynamic_cast<CListElementUI*>(control)) {
        element->SetOwner(this);
    }
    ApplyColumns(control);
    control->ApplyScale();
    control->show();
    if (m_current >= index) {
        ++m_current;
    }
    return true;
}

CListElementUI* CListUI::AddRowFromLayout(const QString& layout, int index, QString* error) {
    auto* row = new CListElementUI();
    CDialogBuilder builder;
    CControlUI* content = builder.Create(layout, GetManager(), nullptr, error);
    if (content == nullptr) {
        delete row;
        return nullptr;
    }
    row->Add(content);
    if (content->GetFixedHeight() > 0) {
        row->SetFixedHeight(content->GetFixedHeight());
    }
    AddAt(row, index);
    return row;
}

bool CListUI::RemoveAt(int index) {
    CControlUI* row = GetItemAt(index);
    if (row == nullptr || !Remove(row)) {
        return false;
    }
    int current = m_current;
    if (current > index) {
        --current;
    } else if (current == index) {
        current = std::min(index, GetCount() - 1);
    }
    Reselect(current);
    return true;
}

void CListUI::Reselect(int current) {
    m_current = current;
    for (int i = 0; i < GetCount(); ++i) {
        if (auto* element = dynamic_cast<CListElementUI*>(GetItemAt(i))) {
            element->SetSelected(i == current || (m_multiSelect && element->IsSelected()));
        }
    }
}

QList<int> CListUI::SelectedRows() const {
    QList<int> rows;
    for (int i = 0; i < GetCount(); ++i) {
        const auto* element = dynamic_cast<const CListElementUI*>(GetItemAt(i));
        if ((element != nullptr && element->IsSelected()) || (element == nullptr && i == m_current)) {
            rows.append(i);
        }
    }
    return rows;
}

void CListUI::ToggleSelected(int index) {
    auto* element = dynamic_cast<CListElementUI*>(GetItemAt(index));
    if (!m_multiSelect || element == nullptr) {
        SelectItem(index);
        return;
    }
    element->SetSelected(!element->IsSelected());
}

void CListUI::HoldLayout(bool hold) {
    if (hold != m_rows->isEnabled()) {
        return;
    }
    m_rows->setEnabled(!hold);
    if (!hold) {
        m_rows->invalidate();
        m_rows->activate();
    }
}

void CListUI::ScrollToRow(int index) {
    if (CControlUI* row = GetItemAt(index)) {
        m_scroll->ensureWidgetVisible(row, 0, 0);
    }
}

void CListUI::ScrollToEnd() {
    m_body->adjustSize();
    if (QScrollBar* bar = m_scroll->verticalScrollBar()) {
        bar->setValue(bar->maximum());
    }
}

void CListUI::SetColumns(const QList<int>& widths) {
    m_columns = widths;
    for (CControlUI* row : ChildControls()) {
        ApplyColumns(row);
        row->ApplyScale();
    }
}

void CListUI::ApplyColumns(CControlUI* row) const {
    if (m_columns.isEmpty() || row == nullptr) {
        return;
    }
    const QList<CControlUI*> cells = row->ChildControls();
    for (int i = 0; i < cells.size() && i < m_columns.size(); ++i) {
        if (m_columns[i] > 0) {
            cells[i]->SetFixedWidth(m_columns[i]);
        }
    }
}

bool CListUI::SelectItem(int index, bool notify, bool reveal) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    const int old = m_current;
    m_current = index;
    for (int i = 0; i < GetCount(); ++i) {
        if (auto* element = dynamic_cast<CListElementUI*>(GetItemAt(i))) {
            element->SetSelected(i == index);
        }
    }
    if (reveal) {
        m_scroll->ensureWidgetVisible(GetItemAt(index));
    }
    if (notify && old != index) {
        SendNotify(QString::fromLatin1(notify::kItemSelect), static_cast<quintptr>(index), old);
    }
    return true;
}

bool CListUI::SetAttribute(const QString& name, const QString& value) {
    const QString key = name.toLower();
    if (key == QLatin1String("itemselectedcolor") || key == QLatin1String("hotcolor")) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        (key == QLatin1String("hotcolor") ? m_hotColor : m_selectedColor) = *colour;
        return true;
    }
    if (key == QLatin1String("multiselect")) {
        const auto flag = ParseBool(value);
        if (!flag) {
            return false;
        }
        m_multiSelect = *flag;
        return true;
    }
    if (key == QLatin1String("columns")) {
        QList<int> widths;
        for (const QString& part : value.split(QLatin1Char(','))) {
            const auto width = ParseInt(part.trimmed());
            if (!width || *width < 0 || *width > 4096) {
                return false;
            }
            widths.append(*width);
        }
        SetColumns(widths);
        return true;
    }
    return CVerticalLayoutUI::SetAttribute(name, value);
}

}  // namespace kx520::ui
