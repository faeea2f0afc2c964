#pragma once

#include <QBoxLayout>

#include "ui/CContainerUI.h"

namespace kx520::ui {

// Children in a row or a column; those without a fixed size along it share
// the room that is left.
class CBoxLayoutUI : public CContainerUI {
    Q_OBJECT

public:
    CBoxLayoutUI(QBoxLayout::Direction direction, QWidget* parent);

protected:
    QLayout* ItemLayout() const override { return m_layout; }

private:
    QBoxLayout* m_layout;
};

}  // namespace kx520::ui
