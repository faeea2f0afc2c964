#include "ui/CLabelUI.h"

namespace kx520::ui {

CLabelUI::CLabelUI(QWidget* parent) : CControlUI(parent) {
    SetTextAlign(Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace kx520::ui
