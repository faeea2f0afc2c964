#include "ui/CHorizontalLayoutUI.h"

#include <QBoxLayout>

namespace kx520::ui {

CHorizontalLayoutUI::CHorizontalLayoutUI(QWidget* parent)
    : CContainerUI(parent), m_layout(new QHBoxLayout(this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

QLayout* CHorizontalLayoutUI::ItemLayout() const {
    return m_layout;
}

}  // namespace kx520::ui
