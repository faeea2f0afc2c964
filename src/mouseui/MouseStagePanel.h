#pragma once

#include <optional>
#include <vector>

#include "mouse/MouseSensitivity.h"
#include "profiles/CMouseProfiledata.h"

namespace kx520 {

namespace ui {
class CControlUI;
}

// The mouse page's five sensitivity stages: for stage n the slider
// "DPI_slider_n", the field "DPI_edit_n", the checks "DPI_enable_check_n"
// and "DPI_select_check_n" and the swatch "DPI_color_option_n". Shows
// stages and reads what the user set; the profile and the writes stay with
// the device page.
class MouseStagePanel {
public:
    explicit MouseStagePanel(const ui::CControlUI& page) : m_page(page) {}

    // Before the mouse told its scale (step 0) only the checks, swatches and
    // the active stage's thumb are shown; a field being typed in is left as
    // the user has it.
    void Show(const MouseSensitivity& scale, const std::vector<profiles::DpiStage>& stages, int active) const;
    // The step the stage's slider stands at; nothing without a scale.
    std::optional<uint16_t> SliderStep(int stage, const MouseSensitivity& scale) const;
    // The field follows its slider while it is dragged.
    void PreviewSlider(int stage, const MouseSensitivity& scale) const;
    // The step the stage's field names; nothing for text that names none.
    std::optional<int> TypedStep(int stage, const MouseSensitivity& scale) const;

private:
    const ui::CControlUI& m_page;
};

}  // namespace kx520
