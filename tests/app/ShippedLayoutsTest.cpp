// Every shipped layout, built as the application builds it, in both
// languages and at the DPIs of the monitors users have: no text is cut off.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDirIterator>
#include <QStringList>

#include "app/MainWindowControls.h"
#include "app/Startup.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "sim/VirtualHidBackend.h"
#include "controls/CButtonUI.h"
#include "controls/CLabelUI.h"
#include "ui/CResourceManager.h"
#include "builder/WindowImplBase.h"

namespace kx520 {
namespace {

// A window over one shipped layout with the application's own controls.
class LayoutWindow : public ui::WindowImplBase {
public:
    LayoutWindow(QString layout, hid::HidBackend& backend)
        : m_layout(std::move(layout)), m_backend(backend) {}
    QString GetWindowClassName() const override { return QStringLiteral("LayoutWindow"); }
    QString GetSkinFile() const override { return m_layout; }
    ui::CControlUI* CreateControl(const QString& tag) override {
        return CreateMainWindowControl(tag, m_backend, GetPaintManager());
    }

private:
    QString m_layout;
    hid::HidBackend& m_backend;
};

QStringList ShippedLayouts() {
    const QString skin = ui::CResourceManager::Instance().ResolvePath(QStringLiteral("XML"));
    QStringList layouts;
    QDirIterator files(skin, {QStringLiteral("*.xml")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        layouts << QStringLiteral("XML/") + QDir(skin).relativeFilePath(files.next());
    }
    layouts.sort();
    return layouts;
}

// The texts on screen that do not fit their room: "layout control: text".
// `checked` counts the texts looked at.
QStringList CutTexts(ui::CControlUI* control, const QString& layout, int& checked) {
    QStringList cut;
    if (control == nullptr) {
        return cut;
    }
    const bool labelled = dynamic_cast<ui::CLabelUI*>(control) != nullptr ||
                          dynamic_cast<ui::CButtonUI*>(control) != nullptr;
    const bool shown = labelled && control->isVisible() && !control->GetDisplayText().isEmpty();
    checked += shown ? 1 : 0;
    if (shown && !control->TextFits()) {
        cut << QStringLiteral("%1 %2: \"%3\" (%4 px)")
                   .arg(layout, control->GetName(), control->GetDisplayText())
                   .arg(control->width());
    }
    for (ui::CControlUI* child : control->ChildControls()) {
        cut << CutTexts(child, layout, checked);
    }
    return cut;
}

TEST(ShippedLayouts, NoTextIsCutOffInEitherLanguageAtAnyCommonDpi) {
    sim::VirtualHidBackend backend;
    Startup::RegisterControlClasses(backend);
    const QStringList layouts = ShippedLayouts();
    ASSERT_GE(layouts.size(), 10);
    QStringList cut;
    int checked = 0;
    for (const char* language : {"lang/en.xml", "lang/zh_CN.xml"}) {
        ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QLatin1String(language), nullptr));
        for (const QString& layout : layouts) {
            LayoutWindow window(layout, backend);
            QString error;
            ASSERT_TRUE(window.Create(&error)) << layout.toStdString() << ": " << error.toStdString();
            window.GetPaintManager().ReloadText();
            window.show();
            for (int dpi : {96, 144, 192}) {
                window.SetDPI(dpi);
                QApplication::processEvents();
                for (const QString& text :
                     CutTexts(window.GetPaintManager().GetRoot(), layout, checked)) {
                    cut << QStringLiteral("%1 DPI %2 %3").arg(QLatin1String(language)).arg(dpi).arg(text);
                }
            }
        }
    }
    // Enough texts on screen that the check means something.
    EXPECT_GT(checked, 200);
    cut.removeDuplicates();
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();
}

// The keyboard picture's caps, named as the keyboard names them: every
// legend whole, in both languages and at every common DPI.
TEST(ShippedLayouts, EveryKeyCapShowsItsWholeLegend) {
    sim::VirtualHidBackend backend;
    Startup::RegisterControlClasses(backend);
    QStringList cut;
    int legends = 0;
    for (const char* language : {"lang/en.xml", "lang/zh_CN.xml"}) {
        ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QLatin1String(language), nullptr));
        LayoutWindow window(QStringLiteral("XML/DeviceXml/keyboarddevice.xml"), backend);
        ASSERT_TRUE(window.Create(nullptr));
        auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(window.GetPaintManager().GetRoot());
        ASSERT_NE(keyboard, nullptr);
        keyboard->SetLedCount(170);
        keyboard->SetPageLayoutName(QStringLiteral("keyboarddevice.xml"));
        keyboard->BuildPage();
        window.show();
        for (int dpi : {96, 144, 192}) {
            window.SetDPI(dpi);
            QApplication::processEvents();
            for (size_t position = 0; position < KeyboardCore::kPageKeys; ++position) {
                CDeviceKeyButtonUI* key = keyboard->PositionButton(position);
                if (key == nullptr || key->GetLegend().isEmpty()) {
                    continue;
                }
                ++legends;
                if (!key->LegendFits()) {
                    cut << QStringLiteral("%1 DPI %2 key %3 (%6x%7): \"%4\" shown as \"%5\"")
                               .arg(QLatin1String(language)).arg(dpi).arg(position)
                               .arg(key->LegendText(), key->ShownLegend()).arg(key->width()).arg(key->height());
                }
            }
        }
    }
    EXPECT_GT(legends, 6 * 100);  // about 110 named keys, 2 languages, 3 DPIs
    EXPECT_TRUE(cut.isEmpty()) << cut.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace kx520
