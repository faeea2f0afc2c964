#pragma once

#include "ui/CContainerUI.h"

class QBoxLayout;

namespace kx520::ui {

// Children side by side, left to right; those without a fixed width share
// the room that is left.
class CHorizontalLayoutUI : public CContainerUI {
    Q_OBJECT

public:
    explicit CHorizontalLayoutUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("HorizontalLayout"); }

protected:
    QLayout* ItemLayout() const override;

private:
    QBoxLayout* m_layout;
};

}  // namespace kx520::ui
