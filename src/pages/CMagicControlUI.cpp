#include "pages/CMagicControlUI.h"

#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {

namespace {

constexpr const char* kSwitch = "magic_enable_option";
constexpr const char* kVoiceLayout = "magic_option_layout";
constexpr const char* kVoiceOption = "magic_option_";

}  // namespace

CMagicControlUI::CMagicControlUI(QWidget* parent) : ui::CVerticalLayoutUI(parent) {}

ui::CControlUI* CMagicControlUI::Part(const QString& name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, name);
}

void CMagicControlUI::SetSwitch(bool on) {
    if (auto* option = dynamic_cast<ui::COptionUI*>(Part(QString::fromLatin1(kSwitch)))) {
        option->Selected(on, false);
    }
    if (ui::CControlUI* layout = Part(QString::fromLatin1(kVoiceLayout))) {
        layout->SetEnabled(on);
    }
}

bool CMagicControlUI::Switch() const {
    const auto* option = dynamic_cast<const ui::COptionUI*>(Part(QString::fromLatin1(kSwitch)));
    return option != nullptr && option->IsSelected();
}

void CMagicControlUI::SelectVoice(int voice) {
    for (int n = 1; n <= kVoices; ++n) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(Part(QString::asprintf("%s%d", kVoiceOption, n)))) {
            option->Selected(false, false);
        }
    }
    m_voice = voice >= 1 && voice <= kVoices ? voice : 0;
    if (m_voice != 0) {
        if (auto* option = dynamic_cast<ui::COptionUI*>(Part(QString::asprintf("%s%d", kVoiceOption, m_voice)))) {
            option->Selected(true, false);
        }
    }
}

}  // namespace kx520
