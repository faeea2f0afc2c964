#include "ui/CContainerUI.h"

#include <QLayout>

#include "ui/AttributeValue.h"

namespace kx520::ui {

CContainerUI::CContainerUI(QWidget* parent) : CControlUI(parent) {}

bool CContainerUI::Add(CControlUI* control) {
    if (control == nullptr || m_items.contains(control)) {
        return false;
    }
    // A control the layout hid on purpose (visible="false") stays hidden.
    const bool hidden =
        control->testAttribute(Qt::WA_WState_ExplicitShowHide) && control->isHidden();
    control->setParent(this);
    m_items.append(control);
    control->SetManager(GetManager());
    if (!hidden) {
        control->show();  // before the layout, which may hide it again (other tab pages)
    }
    if (control->IsFloat()) {
        control->raise();
    } else {
        AddToLayout(control);
    }
    // A tree still being built has no manager yet: it is scaled once, as a
    // whole, when it joins a window's tree (scaling it at every level made a
    // page's build quadratic in its depth).
    if (GetManager() != nullptr) {
        control->ApplyScale();
    }
    return true;
}

void CContainerUI::AddToLayout(CControlUI* control) {
    ItemLayout()->addWidget(control);
}

void CContainerUI::MoveToEnd(CControlUI* control) {
    if (!m_items.removeOne(control)) {
        return;
    }
    m_items.append(control);
    if (!control->IsFloat()) {
        ItemLayout()->removeWidget(control);
        AddToLayout(control);
    }
}

CControlUI* CContainerUI::GetItemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items[index] : nullptr;
}

int CContainerUI::GetItemIndex(const CControlUI* control) const {
    return m_items.indexOf(const_cast<CControlUI*>(control));
}

bool CContainerUI::Remove(CControlUI* control) {
    if (!m_items.removeOne(control)) {
        return false;
    }
    ItemLayout()->removeWidget(control);
    control->deleteLater();
    control->hide();
    return true;
}

void CContainerUI::RemoveAll() {
    while (!m_items.isEmpty()) {
        Remove(m_items.last());
    }
}

void CContainerUI::SetChildPadding(int padding) {
    m_childPadding = padding;
    ApplyScale();
}

void CContainerUI::SetInset(const QMargins& inset) {
    CControlUI::SetInset(inset);
    ApplyScale();
}

bool CContainerUI::SetAttribute(const QString& name, const QString& value) {
    if (name.compare(QLatin1String("childpadding"), Qt::CaseInsensitive) == 0) {
        const auto padding = ParseInt(value);
        if (!padding || *padding < 0) {
            return false;
        }
        SetChildPadding(*padding);
        return true;
    }
    return CControlUI::SetAttribute(name, value);
}

void CContainerUI::ApplyScale() {
    const double scale = Scale();
    const QMargins& inset = GetInset();
    if (QLayout* layout = ItemLayout()) {
        layout->setContentsMargins(qRound(inset.left() * scale), qRound(inset.top() * scale),
                                   qRound(inset.right() * scale), qRound(inset.bottom() * scale));
        layout->setSpacing(qRound(m_childPadding * scale));
    }
    CControlUI::ApplyScale();
}

}  // namespace kx520::ui
