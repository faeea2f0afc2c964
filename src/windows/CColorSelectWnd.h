#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "profiles/ColourOptionsFile.h"
#include "ui/CPaintManagerUI.h"
#include "builder/WindowImplBase.h"

namespace kx520 {

namespace ui {
class CColorPaletteUI;
class COptionUI;
}

// The colour palette dialog: a colour field, red/green/blue edits, 20
// presets and 20 slots the user fills with colours they collect (kept in
// the palette's own file). Its result: 1 with a colour (CurrentColour), 0
// closed or cancelled, 2 confirmed without a colour field.
class CColorSelectWnd : public ui::WindowImplBase {
    Q_OBJECT

public:
    static constexpr int kResultColour = 1;
    static constexpr int kResultNoPalette = 2;

    // `userPath` and `templatePath`: the palette's file and its template.
    CColorSelectWnd(QWidget* owner, QString userPath, QString templatePath);
    ~CColorSelectWnd() override;

    QString GetWindowClassName() const override { return QStringLiteral("ColorSelectWnd"); }
    QString GetSkinFile() const override { return QStringLiteral("XML/PalletDialog.xml"); }
    void InitWindow() override;
    void Notify(const ui::Notification& notification) override;

    // 48, 72, ... 192; anything else is traced and taken as 96.
    void SetWindowDpi(int dpi) { WindowImplBase::SetWindowDpi(dpi, "SET_WND DPI SET ERROR"); }
    // ARGB; the colour being edited and the dialog's result.
    void SetCurrentColour(uint32_t colour);
    uint32_t CurrentColour() const { return m_colour; }
    void ShowSevenColourChoice(bool show);
    bool SevenColour() const { return m_sevenColour; }

private:
    void SetSevenColour(bool on);
    // The current colour goes into the selected slot, when one is selected.
    void StoreInCollectedSlot();
    void ShowComponents(uint32_t colour);
    void ReadEdits();
    void SavePresets();
    void SaveSlots();
    // The palette's file was not written: the user is told why.
    void TellNotSaved(const std::string& why);
    void LoadOptions();
    ui::COptionUI* Preset(int index) const;
    ui::COptionUI* Slot(int index) const;
    void PaintSlot(ui::COptionUI& slot, uint32_t colour, bool collected);

    profiles::ColourOptionsFile m_file;
    ui::CColorPaletteUI* m_palette = nullptr;
    uint32_t m_colour = 0xFFFF0000;
    int m_preset = 4;
    int m_slot = 0;
    bool m_sevenColour = false;
};

}  // namespace kx520
