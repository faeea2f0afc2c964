#include "ui/CBoxLayoutUI.h"

namespace kx520::ui {

CBoxLayoutUI::CBoxLayoutUI(QBoxLayout::Direction direction, QWidget* parent)
    : CContainerUI(parent), m_layout(new QBoxLayout(direction, this)) {
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
}

}  // namespace kx520::ui
