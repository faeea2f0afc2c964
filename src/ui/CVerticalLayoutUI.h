#pragma once

#include "ui/CContainerUI.h"

class QBoxLayout;

namespace kx520::ui {

// Children top to bottom; those without a fixed height share the room that
// is left.
class CVerticalLayoutUI : public CContainerUI {
    Q_OBJECT

public:
    explicit CVerticalLayoutUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("VerticalLayout"); }

protected:
    QLayout* ItemLayout() const override;

private:
    QBoxLayout* m_layout;
};

}  // namespace kx520::ui
