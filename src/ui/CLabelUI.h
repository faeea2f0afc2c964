#pragma once

#include "ui/CControlUI.h"

namespace kx520::ui {

// Text, aligned inside the inset ("align": left|center|right + top|vcenter|bottom).
class CLabelUI : public CControlUI {
    Q_OBJECT

public:
    explicit CLabelUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Label"); }
};

}  // namespace kx520::ui
