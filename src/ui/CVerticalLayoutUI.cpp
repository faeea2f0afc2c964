#include "ui/CVerticalLayoutUI.h"

#include <QBoxLayout>

namespace kx520::ui {

CVerticalLayoutUI::CVerticalLayoutUI(QWidget* parent)
    : CContainerUI(parent), m_layout(new QVBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

QLayout* CVerticalLayoutUI::ItemLayout() const {
    return m_layout;
}

}  // namespace kx520::ui
