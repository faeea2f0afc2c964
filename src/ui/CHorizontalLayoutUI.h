#pragma once

#include "ui/CBoxLayoutUI.h"

namespace kx520::ui {

// Children side by side, left to right.
class CHorizontalLayoutUI : public CBoxLayoutUI {
    Q_OBJECT

public:
    explicit CHorizontalLayoutUI(QWidget* parent = nullptr)
        : CBoxLayoutUI(QBoxLayout::LeftToRight, parent) {}
    QString GetClass() const override { return QStringLiteral("HorizontalLayout"); }
};

}  // namespace kx520::ui
