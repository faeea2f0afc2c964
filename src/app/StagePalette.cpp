#include "app/StagePalette.h"

#include "mouseui/CZentrelMouseDevice.h"
#include "platform/DataFolders.h"
#include "platform/DebugTrace.h"
#include "profiles/ColourOptionsFile.h"
#include "ui/CPaintManagerUI.h"
#include "windows/CColorSelectWnd.h"

namespace kx520 {

void StagePalette::Open(QWidget* parent, CZentrelMouseDevice* mouse, int stage, int dpi) {
    // A stage number from a control's name: only the mouse's five stages.
    if (m_open || mouse == nullptr || stage < 0 || stage >= MouseCore::kStages) {
        return;
    }
    const ui::CControlUI* swatch =
        ui::CPaintManagerUI::FindSubControlByName(mouse, QStringLiteral("DPI_color_option_%1").arg(stage));
    const uint32_t colour = swatch != nullptr ? static_cast<uint32_t>(swatch->GetBkColor().rgba()) : 0xFFFFFFFF;
    const QString file = QString::fromLatin1(profiles::ColourOptionsFile::kFileName);
    CColorSelectWnd dialog(parent, QString::fromStdString(UserDataFolder()) + file,
                           QString::fromStdString(ShippedDataFolder("DefaultData")) + QLatin1Char('/') + file);
    QString error;
    if (!dialog.Create(&error)) {
        DebugTrace("palette layout: " + error.toStdString());
        return;
    }
    m_open = true;
    dialog.SetWindowDpi(dpi);
    dialog.SetCurrentColour(colour);
    dialog.ShowSevenColourChoice(false);
    dialog.CenterWindow();
    const int result = dialog.ShowModal();
    m_open = false;
    if (result == CColorSelectWnd::kResultColour) {
        mouse->SetStageColour(stage, dialog.CurrentColour() & 0xFFFFFF);
    }
}

}  // namespace kx520
