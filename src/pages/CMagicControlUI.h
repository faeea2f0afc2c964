#pragma once

#include <QString>

#include "ui/CVerticalLayoutUI.h"

namespace kx520 {

// The headset's voice changer page: its switch, which enables the four
// voices with it, and the voices. A thin view over its named controls.
class CMagicControlUI : public ui::CVerticalLayoutUI {
    Q_OBJECT

public:
    static constexpr int kVoices = 4;

    explicit CMagicControlUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("MagicControl"); }

    // Checks "magic_enable_option" and enables the voices accordingly.
    void SetSwitch(bool on);
    bool Switch() const;
    // Unchecks the voices, then checks `voice` (1-4; others store 0).
    void SelectVoice(int voice);
    int SelectedVoice() const { return m_voice; }

private:
    ui::CControlUI* Part(const QString& name) const;

    int m_voice = 0;
};

}  // namespace kx520
