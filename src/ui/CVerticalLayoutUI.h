#pragma once

#include "ui/CBoxLayoutUI.h"

namespace kx520::ui {

// Children top to bottom.
class CVerticalLayoutUI : public CBoxLayoutUI {
    Q_OBJECT

public:
    explicit CVerticalLayoutUI(QWidget* parent = nullptr)
        : CBoxLayoutUI(QBoxLayout::TopToBottom, parent) {}
    QString GetClass() const override { return QStringLiteral("VerticalLayout"); }
};

}  // namespace kx520::ui
