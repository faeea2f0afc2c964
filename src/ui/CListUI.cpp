#include "ui/CListUI.h"

#include <QBoxLayout>
#include <QScrollArea>

#include "ui/AttributeValue.h"
#include "ui/CListElementUI.h"

namespace kx520::ui {

CListUI::CListUI(QWidget* parent)
    : CVerticalLayoutUI(parent), m_scroll(new QScrollArea), m_body(new QWidget),
      m_rows(new QVBoxLayout(m_body)) {
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    m_rows->addStretch(1);
    m_scroll->setWidget(m_body);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setStyleSheet(QStringLiteral("background: transparent;"));
    CVerticalLayoutUI::ItemLayout()->addWidget(m_scroll);  // the column holds the scroller
}

QLayout* CListUI::ItemLayout() const {
    return m_rows;
}

bool CListUI::Add(CControlUI* control) {
    if (control == nullptr || m_items.contains(control)) {
        return false;
    }
    control->setParent(m_body);
    m_items.append(control);
    control->SetManager(GetManager());
    m_rows->insertWidget(m_rows->count() - 1, control);  // before the stretch
    if (auto* element = dynamic_cast<CListElementUI*>(control)) {
        element->SetOwner(this);
    }
    control->ApplyScale();
    control->show();
    return true;
}

bool CListUI::SelectItem(int index, bool notify) {
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
    m_scroll->ensureWidgetVisible(GetItemAt(index));
    if (notify && old != index) {
        SendNotify(QString::fromLatin1(notify::kItemSelect), static_cast<quintptr>(index), old);
    }
    return true;
}

bool CListUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("itemselectedcolor"), Qt::CaseInsensitive) == 0) {
        const auto colour = ParseColour(value);
        if (!colour) {
            return false;
        }
        m_selectedColor = *colour;
        return true;
    }
    return CVerticalLayoutUI::SetAttribute(name, value);
}

}  // namespace kx520::ui
