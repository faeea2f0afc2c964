// kx520-skinshot: renders a skin layout to a PNG, without a display when
// there is none. For tests, docs and skin authors.
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/MainWindowControls.h"
#include "app/Startup.h"
#include "sim/VirtualHidBackend.h"
#include "ui/ApplicationLook.h"
#include "platform/CommandLine.h"
#include "platform/DataFolders.h"
#include "platform/ProgramText.h"
#include "ui/CResourceManager.h"
#include "builder/WindowImplBase.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage: kx520-skinshot LAYOUT PNG [--dpi N] [--lang FILE] [--skin DIR]\n"
    "  LAYOUT  layout file: a path from the current folder, or relative to the\n"
    "          skin folder (XML/XML_MAIN.xml); device pages and the\n"
    "          application's own controls included\n"
    "  --dpi   48, 72, 96, 120, 144, 168 or 192 (default 96)\n"
    "  --lang  language file whose texts the text ids show\n"
    "  --skin  skin folder (default: the shipped one)\n"
    "  -h, --help  this text; --version  the version\n";

// Any layout as a window, with the controls the application makes itself
// (device pages over devices that are not attached).
class LayoutWindow : public kx520::ui::WindowImplBase {
public:
    LayoutWindow(QString layout, kx520::hid::HidBackend& backend)
        : m_layout(std::move(layout)), m_backend(backend) {}
    QString GetWindowClassName() const override { return QStringLiteral("SkinShot"); }
    QString GetSkinFile() const override { return m_layout; }
    kx520::ui::CControlUI* CreateControl(const QString& tag) override {
        return kx520::CreateMainWindowControl(tag, m_backend, GetPaintManager());
    }

private:
    QString m_layout;
    kx520::hid::HidBackend& m_backend;
};

// A file named from the current folder wins over one in the skin folder.
QString LayoutPath(const std::string& given) {
    const QFileInfo here(QString::fromStdString(given));
    return here.isRelative() && here.exists() ? here.absoluteFilePath() : here.filePath();
}

int Usage(const std::string& error) {
    std::fputs(kx520::UsageErrorText("kx520-skinshot", error).c_str(), stderr);
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    kx520::CommandLine commandLine;
    commandLine.AddOption("dpi", kx520::CommandLine::Kind::Value);
    commandLine.AddOption("lang", kx520::CommandLine::Kind::Value);
    commandLine.AddOption("skin", kx520::CommandLine::Kind::Value);
    commandLine.AddOption("help", kx520::CommandLine::Kind::Flag);
    commandLine.AddOption("version", kx520::CommandLine::Kind::Flag);
    if (!commandLine.Parse(argc, argv)) {
        return Usage(commandLine.Error());
    }
    if (commandLine.Has("version")) {
        std::fputs(kx520::VersionText("kx520-skinshot").c_str(), stdout);
        return 0;
    }
    if (commandLine.Has("help")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (commandLine.Positionals().size() != 2) {
        return Usage("a layout and a PNG file are needed");
    }
    int dpi = 96;
    if (const auto value = commandLine.Value("dpi")) {
        dpi = std::atoi(value->c_str());
        if (!kx520::ui::CPaintManagerUI::IsValidDpi(dpi)) {
            return Usage("bad DPI '" + *value + "'");
        }
    }
    // Headless when there is no display to draw on.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    kx520::ui::ApplyApplicationLook();
    auto& resources = kx520::ui::CResourceManager::Instance();
    const auto skin = commandLine.Value("skin");
    resources.SetResourcePath(QString::fromStdString(
        skin ? *skin : kx520::ShippedDataFolder("skin")));
    kx520::sim::VirtualHidBackend backend;
    kx520::Startup::RegisterControlClasses(backend);
    if (const auto language = commandLine.Value("lang")) {
        QString error;
        if (!resources.LoadLanguage(QString::fromStdString(*language), &error)) {
            std::fprintf(stderr, "kx520-skinshot: %s\n", qPrintable(error));
            return kExitFailure;
        }
    }
    LayoutWindow window(LayoutPath(commandLine.Positionals()[0]), backend);
    QString error;
    if (!window.Create(&error)) {
        std::fprintf(stderr, "kx520-skinshot: %s\n", qPrintable(error));
        return kExitFailure;
    }
    window.SetDPI(dpi);
    if (window.LayoutSize().isEmpty()) {
        window.resize(window.sizeHint().expandedTo(QSize(320, 240)));
    }
    window.show();
    QApplication::processEvents();
    const QString png = QString::fromStdString(commandLine.Positionals()[1]);
    if (!window.grab().toImage().save(png, "PNG")) {
        std::fprintf(stderr, "kx520-skinshot: cannot write %s\n", qPrintable(png));
        return kExitFailure;
    }
    return kExitOk;
}
