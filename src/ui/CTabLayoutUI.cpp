#include "ui/CTabLayoutUI.h"

#include <QStackedLayout>

#include "ui/AttributeValue.h"

namespace kx520::ui {

CTabLayoutUI::CTabLayoutUI(QWidget* parent)
    : CContainerUI(parent), m_layout(new QStackedLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
}

QLayout* CTabLayoutUI::ItemLayout() const {
    return m_layout;
}

void CTabLayoutUI::AddToLayout(CControlUI* control) {
    m_layout->addWidget(control);
    m_layout->setCurrentIndex(std::clamp(m_current, 0, m_layout->count() - 1));
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount()) {
        return false;
    }
    const int old = m_current;
    m_current = index;
    m_layout->setCurrentWidget(GetItemAt(index));
    if (old != index) {
        SendNotify(QString::fromLatin1(notify::kTabSelect), static_cast<quintptr>(index), old);
    }
    return true;
}

bool CTabLayoutUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("selectedid"), Qt::CaseInsensitive) == 0) {
        const auto index = ParseInt(value);
        if (!index || *index < 0) {
            return false;
        }
        m_current = *index;
        if (*index < m_layout->count()) {
            m_layout->setCurrentIndex(*index);
        }
        return true;
    }
    return CContainerUI::SetAttribute(name, value);
}

}  // namespace kx520::ui
