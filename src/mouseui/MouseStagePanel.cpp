#include "mouseui/MouseStagePanel.h"

#include <QLineEdit>
#include <algorithm>

#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "controls/CSliderUI.h"
#include "mouse/MouseCore.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

namespace {

template <typename Control>
Control* Find(const ui::CControlUI& page, const char* prefix, int stage) {
    return dynamic_cast<Control*>(
        ui::CPaintManagerUI::FindSubControlByName(&page, QLatin1String(prefix) + QString::number(stage)));
}

}  // namespace

void MouseStagePanel::Show(const MouseSensitivity& scale, const std::vector<profiles::DpiStage>& stages,
                           int active) const {
    for (int n = 0; n < MouseCore::kStages; ++n) {
        profiles::DpiStage stage =
            static_cast<size_t>(n) < stages.size() ? stages[static_cast<size_t>(n)] : profiles::DpiStage{};
        if (scale.highest > 0) {
            stage.dpiX = std::min<uint16_t>(stage.dpiX, scale.highest);  // a file's step beyond the sliders
        }
        auto* slider = Find<ui::CSliderUI>(m_page, "DPI_slider_", n);
        if (slider != nullptr) {
            // The stage in use shows it on its slider too.
            slider->SetAttribute(QStringLiteral("thumbcolor"),
                                 n == active ? QStringLiteral("#FF2F80ED") : QStringLiteral("#FFFFFFFF"));
            slider->update();
        }
        auto* edit = Find<ui::CEditUI>(m_page, "DPI_edit_", n);
        if (scale.step == 0) {
            slider = nullptr;  // values wait for the mouse's scale
            edit = nullptr;
        }
        if (slider != nullptr) {
            slider->SetMinValue(0);
            slider->SetMaxValue(scale.highest);
            slider->SetValue(stage.dpiX);
        }
        if (edit != nullptr && !edit->LineEdit()->hasFocus()) {  // a value being typed is the user's
            edit->SetMinMax(0, std::max(scale.HighestValue(), scale.ValueOfStep(scale.highest)));
            edit->SetText(QString::number(scale.ValueOfStep(stage.dpiX)));
            // A Y of its own (set from a script) is kept and told.
            edit->SetToolTip(stage.xy != 0 ? ui::CResourceManager::Instance()
                                                  .GetText(QStringLiteral("ms_dpi_y_tip"))
                                                  .arg(scale.ValueOfStep(stage.dpiY))
                                            : QString());
        }
        if (auto* enabled = Find<ui::COptionUI>(m_page, "DPI_enable_check_", n)) {
            enabled->Selected(stage.enabled != 0, false);
            enabled->SetEnabled(n != active);  // the stage in use cannot be switched off
        }
        if (auto* select = Find<ui::COptionUI>(m_page, "DPI_select_check_", n)) {
            select->Selected(n == active, false);
        }
        if (ui::CControlUI* swatch = Find<ui::CControlUI>(m_page, "DPI_color_option_", n)) {
            swatch->SetBkColor(QColor(stage.red, stage.green, stage.blue));
        }
    }
}

std::optional<uint16_t> MouseStagePanel::SliderStep(int stage, const MouseSensitivity& scale) const {
    auto* slider = Find<ui::CSliderUI>(m_page, "DPI_slider_", stage);
    // Before the mouse told its scale the slider has no range to take from.
    if (slider == nullptr || scale.step == 0 || scale.highest == 0) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(std::max(0, slider->GetValue()));
}

void MouseStagePanel::PreviewSlider(int stage, const MouseSensitivity& scale) const {
    auto* slider = Find<ui::CSliderUI>(m_page, "DPI_slider_", stage);
    auto* edit = Find<ui::CEditUI>(m_page, "DPI_edit_", stage);
    if (slider == nullptr || edit == nullptr || scale.step == 0) {
        return;
    }
    edit->SetText(QString::number(scale.ValueOfStep(std::max(0, slider->GetValue()))));
}

std::optional<int> MouseStagePanel::TypedStep(int stage, const MouseSensitivity& scale) const {
    auto* edit = Find<ui::CEditUI>(m_page, "DPI_edit_", stage);
    if (edit == nullptr) {
        return std::nullopt;
    }
    bool typed = false;
    const int value = edit->GetText().trimmed().toInt(&typed);
    return typed ? scale.StepOfValue(value) : std::nullopt;
}

}  // namespace kx520
