#include "windows/CColorSelectWnd.h"

#include <algorithm>

#include "controls/CColorPaletteUI.h"
#include "ui/CControlUI.h"
#include "ui/CResourceManager.h"
#include "controls/CEditUI.h"
#include "controls/COptionUI.h"
#include "ui/Notification.h"
#include "windows/CMsgWnd.h"

namespace kx520 {

namespace {

using Options = profiles::ColourOptionsFile;

QColor Colour(uint32_t argb) {
    return QColor::fromRgba(argb);
}

uint32_t Argb(const QColor& colour) {
    return colour.isValid() ? static_cast<uint32_t>(colour.rgba()) : 0;
}

QString AttributeColour(uint32_t argb) {
    return QLatin1Char('#') + QString::fromStdString(Options::HexColour(argb));
}

// The number at the end of `name` when it starts with `prefix`; -1 else.
int Numbered(const QString& name, const QString& prefix) {
    if (!name.startsWith(prefix, Qt::CaseInsensitive)) {
        return -1;
    }
    bool ok = false;
    const int number = name.mid(prefix.size()).toInt(&ok);
    return ok && number >= 0 && number < static_cast<int>(Options::kOptions) ? number : -1;
}

const QString kPresetPrefix = QStringLiteral("color_option_");
const QString kSlotPrefix = QStringLiteral("collect_color_option_");

}  // namespace

CColorSelectWnd::CColorSelectWnd(QWidget* owner, QString userPath, QString templatePath)
    : ui::WindowImplBase(owner), m_file(userPath.toStdString(), templatePath.toStdString()) {
    setWindowFlag(Qt::Tool);
    setObjectName(QStringLiteral("colorselectwnd"));
}

CColorSelectWnd::~CColorSelectWnd() = default;

ui::COptionUI* CColorSelectWnd::Preset(int index) const {
    return dynamic_cast<ui::COptionUI*>(FindControl(kPresetPrefix + QString::number(index)));
}

ui::COptionUI* CColorSelectWnd::Slot(int index) const {
    return dynamic_cast<ui::COptionUI*>(FindControl(kSlotPrefix + QString::number(index)));
}

void CColorSelectWnd::InitWindow() {
    m_palette = dynamic_cast<ui::CColorPaletteUI*>(FindControl(QStringLiteral("Pallet")));
    m_file.Open();
    SetCurrentColour(m_colour);
    SetSevenColour(m_sevenColour);
    LoadOptions();
}

void CColorSelectWnd::ShowComponents(uint32_t colour) {
    const char* names[] = {"color_edit_r", "color_edit_g", "color_edit_b"};
    const int parts[] = {(static_cast<int>(colour) >> 16) & 0xFF, (static_cast<int>(colour) >> 8) & 0xFF,
                         static_cast<int>(colour) & 0xFF};
    for (int i = 0; i < 3; ++i) {
        if (ui::CControlUI* edit = FindControl(QLatin1String(names[i]))) {
            edit->SetText(QString::number(parts[i]));
        }
    }
}

void CColorSelectWnd::SetCurrentColour(uint32_t colour) {
    if (ui::CControlUI* preview = FindControl(QStringLiteral("color_show_btn"))) {
        preview->SetAttribute(QStringLiteral("bkimage"), QString());
        preview->SetBkColor(Colour(colour));
    }
    if (m_palette != nullptr) {
        m_palette->SetSelectColor(Colour(colour));
    }
    m_colour = colour;
    ShowComponents(colour);
}

void CColorSelectWnd::SetSevenColour(bool on) {
    m_sevenColour = on;
    if (auto* check = dynamic_cast<ui::COptionUI*>(FindControl(QStringLiteral("7color")))) {
        check->Selected(on, false);
    }
    if (ui::CControlUI* preview = FindControl(QStringLiteral("color_show_btn"))) {
        preview->SetAttribute(QStringLiteral("bkimage"), on ? QStringLiteral("common/base1.png") : QString());
    }
}

void CColorSelectWnd::ShowSevenColourChoice(bool show) {
    auto* check = dynamic_cast<ui::COptionUI*>(FindControl(QStringLiteral("7color")));
    if (check != nullptr) {
        check->SetEnabled(show);
        if (!show) {
            check->Selected(false, false);
        }
    }
    if (ui::CControlUI* layout = FindControl(QStringLiteral("7color_layout"))) {
        layout->SetVisible(show);
    }
}

void CColorSelectWnd::PaintSlot(ui::COptionUI& slot, uint32_t colour, bool collected) {
    const QString shown = AttributeColour(collected ? colour : 0xFFFFFFFF);
    slot.SetAttribute(QStringLiteral("bkcolor"), shown);
    slot.SetAttribute(QStringLiteral("selectedbkcolor"), shown);
    if (collected) {
        slot.SetAttribute(QStringLiteral("bordersize"), QStringLiteral("0"));
    }
    slot.update();
}

void CColorSelectWnd::StoreInCollectedSlot() {
    ui::COptionUI* slot = Slot(m_slot);
    if (slot != nullptr && slot->IsSelected()) {
        PaintSlot(*slot, m_colour, true);
        slot->SetUserData(QStringLiteral("1"));
        SaveSlots();
    }
    if (ui::CControlUI* preview = FindControl(QStringLiteral("color_show_btn"))) {
        preview->SetBkColor(Colour(m_colour));
    }
    SetSevenColour(false);
}

void CColorSelectWnd::SavePresets() {
    std::array<uint32_t, Options::kOptions> colours{};
    std::array<bool, Options::kOptions> present{};
    for (int i = 0; i < static_cast<int>(Options::kOptions); ++i) {
        if (const ui::COptionUI* preset = Preset(i)) {
            colours[static_cast<size_t>(i)] = Argb(preset->GetBkColor());
            present[static_cast<size_t>(i)] = true;
        }
    }
    std::string why;
    if (!m_file.SavePresets(colours, present, m_preset, &why)) {
        TellNotSaved(why);
    }
}

void CColorSelectWnd::TellNotSaved(const std::string& why) {
    const QString text = ui::CResourceManager::Instance().GetText(QStringLiteral("message_palette_not_saved"));
    ShowMessageBox(this, {}, text.arg(QString::fromStdString(why)), logicalDpiX(), 0, 0);
}

void CColorSelectWnd::SaveSlots() {
    std::array<Options::Slot, Options::kOptions> slotList{};
    std::array<bool, Options::kOptions> present{};
    for (int i = 0; i < static_cast<int>(Options::kOptions); ++i) {
        if (const ui::COptionUI* slot = Slot(i)) {
            slotList[static_cast<size_t>(i)] = {Argb(slot->GetBkColor()), slot->GetUserData().toStdString()};
            present[static_cast<size_t>(i)] = true;
        }
    }
    std::string why;
    if (!m_file.SaveSlots(slotList, present, m_slot, &why)) {
        TellNotSaved(why);
    }
}

void CColorSelectWnd::LoadOptions() {
    const Options::Contents contents = m_file.Load();
    if (contents.preset) {
        m_preset = *contents.preset;
    }
    for (int i = 0; i < static_cast<int>(Options::kOptions); ++i) {
        const auto& stored = contents.slotList[static_cast<size_t>(i)];
        ui::COptionUI* slot = Slot(i);
        if (!stored || slot == nullptr) {
            continue;
        }
        slot->SetUserData(QString::fromStdString(stored->userData));
        PaintSlot(*slot, stored->colour, stored->Collected());
    }
    if (contents.slotSelectionStored) {
        m_slot = -1;  // no slot is selected when the dialog opens
    }
}

void CColorSelectWnd::ReadEdits() {
    const char* names[] = {"color_edit_r", "color_edit_g", "color_edit_b"};
    uint32_t parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        ui::CControlUI* edit = FindControl(QLatin1String(names[i]));
        if (edit == nullptr) {
            continue;
        }
        const QString text = edit->GetText().trimmed();
        bool ok = false;
        const int value = text.toInt(&ok);
        if (text.isEmpty() || !ok || value < 0) {
            edit->SetText(QStringLiteral("0"));  // nothing readable counts as 0
        } else if (value > 255) {
            parts[i] = 255;
            edit->SetText(QStringLiteral("255"));
        } else {
            parts[i] = static_cast<uint32_t>(value);
        }
    }
    m_colour = 0xFF000000u | parts[0] << 16 | parts[1] << 8 | parts[2];
    if (m_palette != nullptr) {
        m_palette->SetSelectColor(Colour(m_colour));
    }
    StoreInCollectedSlot();
}

void CColorSelectWnd::Notify(const ui::Notification& notification) {
    if (notification.sender == nullptr) {
        return;
    }
    const QString name = notification.sender->GetName().toLower();
    const QString& type = notification.type;
    if (type == QLatin1String(ui::notify::kClick)) {
        if (name == QLatin1String("closebtn") || name == QLatin1String("laterbtn")) {
            Close(0);
        } else if (name == QLatin1String("okbtn")) {
            if (m_palette == nullptr) {
                Close(kResultNoPalette);
                return;
            }
            const ui::CControlUI* preview = FindControl(QStringLiteral("color_show_btn"));
            m_colour = preview != nullptr ? Argb(preview->GetBkColor()) : 0;
            Close(kResultColour);
        }
        return;
    }
    if (type == QLatin1String(ui::notify::kKillFocus)) {
        if (name == QLatin1String("color_edit_r") || name == QLatin1String("color_edit_g") ||
            name == QLatin1String("color_edit_b")) {
            ReadEdits();
        }
        return;
    }
    if (type == QLatin1String(ui::notify::kColorChanged) && notification.sender == m_palette) {
        m_colour = Argb(m_palette->GetSelectColor());
        StoreInCollectedSlot();
        ShowComponents(m_colour);
        return;
    }
    auto* option = dynamic_cast<ui::COptionUI*>(notification.sender);
    if (type != QLatin1String(ui::notify::kSelectChanged) || option == nullptr) {
        return;
    }
    if (name == QLatin1String("7color")) {
        m_sevenColour = option->IsSelected();
        if (ui::CControlUI* preview = FindControl(QStringLiteral("color_show_btn"))) {
            preview->SetAttribute(QStringLiteral("bkimage"),
                                  m_sevenColour ? QStringLiteral("common/base1.png") : QString());
        }
        return;
    }
    if (!option->IsSelected()) {
        return;  // the option of a group that was left
    }
    if (const int preset = Numbered(name, kPresetPrefix); preset >= 0) {
        m_preset = preset;
        SavePresets();
        m_colour = Argb(option->GetBkColor());
        if (m_palette != nullptr) {
            m_palette->SetSelectColor(Colour(m_colour));
        }
        StoreInCollectedSlot();
        ShowComponents(m_colour);
    } else if (const int slot = Numbered(name, kSlotPrefix); slot >= 0) {
        m_slot = slot;
        if (option->GetUserData() != QLatin1String("1")) {
            return;
        }
        SaveSlots();
        const uint32_t colour = Argb(option->GetBkColor());
        if (ui::CControlUI* preview = FindControl(QStringLiteral("color_show_btn"))) {
            preview->SetBkColor(Colour(colour));
        }
        SetSevenColour(false);
        if (m_palette != nullptr) {
            m_palette->SetSelectColor(Colour(colour));
        }
        ShowComponents(colour);
    }
}

}  // namespace kx520
