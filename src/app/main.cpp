// kx520: the application. One instance per session; a second start shows
// the first and exits 0.
#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <json/json.h>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "app/CMainWnd.h"
#include "app/SettingsWindowLauncher.h"
#include "app/WindowStatus.h"
#include "appwindow/TrayController.h"
#include "messages/RegisteredMessages.h"
#include "app/Startup.h"
#include "desktop/AppBus.h"
#include "desktop/AutomationAdaptor.h"
#include "platform/ProgramText.h"
#include "platform/CommandLine.h"
#include "platform/DeviceLock.h"
#include "desktop/SettingsStore.h"
#include "sim/MachineBackends.h"
#include "sim/SimControl.h"
#include "sim/SimulateOption.h"
#include "scripting/MacroCommand.h"
#include "scripting/HeadsetCommand.h"
#include "scripting/DeviceCommand.h"
#include "scripting/MouseCommand.h"
#include "scripting/MousePadCommand.h"
#include "scripting/LanguageCommand.h"
#include "scripting/UpdateCommand.h"
#include "pageactions/RecordingCapture.h"
#include "platform/EvdevTranslator.h"
#include "ui/CControlUI.h"
#include "sim/VirtualProducts.h"
#include "ui/ApplicationLook.h"
#include "ui/MessageRegistry.h"
#include "builder/UiAutomation.h"

namespace {

using namespace kx520;

constexpr const char* kUsage =
    "usage: kx520 [--simulate[=LIST]] [--automation] [--screenshot PNG] [--exit-after MS]\n"
    "  --simulate[=LIST]  add virtual devices (comma-separated, or all): %s\n"
    "  --automation       let other programs drive the windows over the session bus\n"
    "                     (org.kx520.Automation; also KX520_AUTOMATION=1)\n"
    "  --screenshot PNG   write the main window to PNG once it has shown itself\n"
    "                     (and again at exit with --exit-after); runs headless\n"
    "                     when there is no display\n"
    "  --exit-after MS    leave after MS milliseconds\n"
    "  -h, --help         this text\n"
    "  --version          the version\n";

struct Options {
    std::vector<std::string> simulated;
    bool automation = false;
    QString screenshot;
    int exitAfterMs = -1;
};

int Usage(const std::string& error) {
    std::fputs(UsageErrorText("kx520", error).c_str(), stderr);
    return 2;
}

// Exit code 2 on a usage error, else -1 and `options` filled.
int ParseOptions(int argc, char** argv, Options& options) {
    CommandLine commandLine;
    commandLine.AddOption("simulate", CommandLine::Kind::OptionalValue);
    commandLine.AddOption("automation", CommandLine::Kind::Flag);
    commandLine.AddOption("screenshot", CommandLine::Kind::Value);
    commandLine.AddOption("exit-after", CommandLine::Kind::Value);
    commandLine.AddOption("help", CommandLine::Kind::Flag);
    commandLine.AddOption("version", CommandLine::Kind::Flag);
    if (!commandLine.Parse(argc, argv)) {
        return Usage(commandLine.Error());
    }
    if (commandLine.Has("help")) {
        std::printf(kUsage, sim::VirtualProductList().c_str());
        return 0;
    }
    if (commandLine.Has("version")) {
        std::fputs(VersionText("kx520").c_str(), stdout);
        return 0;
    }
    if (!commandLine.Positionals().empty()) {
        return Usage("unexpected argument " + commandLine.Positionals().front());
    }
    std::string error;
    const auto simulated = sim::SimulatedProducts(commandLine, &error);
    if (!simulated) {
        return Usage(error);
    }
    options.simulated = *simulated;
    const char* automation = std::getenv("KX520_AUTOMATION");
    options.automation = commandLine.Has("automation") ||
                         (automation != nullptr && std::string_view(automation) == "1");
    options.screenshot = QString::fromStdString(commandLine.Value("screenshot").value_or(""));
    if (const auto exitAfter = commandLine.Value("exit-after")) {
        char* end = nullptr;
        const long ms = std::strtol(exitAfter->c_str(), &end, 10);
        if (exitAfter->empty() || *end != '\0' || ms < 0 || ms > 24L * 3600 * 1000) {
            return Usage("bad --exit-after " + *exitAfter);
        }
        options.exitAfterMs = static_cast<int>(ms);
    }
    return -1;
}

bool HasDisplay() {
    return std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
}

bool SaveScreenshot(CMainWnd& window, const QString& path) {
    if (!window.grab().save(path, "PNG")) {
        std::fprintf(stderr, "kx520: cannot write the screenshot %s\n", qPrintable(path));
        return false;
    }
    std::fprintf(stderr, "kx520: screenshot written to %s\n", qPrintable(path));
    return true;
}

// The automation interface's calls, on the window once it exists.
// What automation calls the tray icon: no skin names a control so.
constexpr const char* kTrayControl = "@tray";

// A click on the tray icon ("click", as the left button) or its menu
// ("menu"), from the event loop: what it opens may run modally.
void PressTray(CMainWnd& window, const QString& action, AutomationAdaptor::ReplyTo reply) {
    const bool menu = action == QLatin1String("menu");
    if (!menu && action != QLatin1String("click")) {
        reply(QStringLiteral("the tray icon takes click or menu"));
        return;
    }
    QTimer::singleShot(0, &window, [&window, menu] {
        window.SendMessage(msg::kTrayIcon, 107, menu ? TrayController::kRightUp : TrayController::kLeftUp);
    });
    reply(QString());
}

AutomationAdaptor::Handlers AutomationHandlers(std::unique_ptr<ui::UiAutomation>& automation,
                                               QPointer<CMainWnd>& window) {
    AutomationAdaptor::Handlers handlers;
    const QString notReady = QStringLiteral("the main window is not built yet");
    handlers.windows = [&automation] {
        return automation ? automation->WindowsJson() : QStringLiteral("[]");
    };
    handlers.controls = [&automation, notReady](const QString& name, QString& out) {
        out = notReady;
        return automation && automation->ControlsJson(name, out);
    };
    handlers.get = [&automation, notReady](const QString& name, QString& out) {
        out = notReady;
        return automation && automation->ControlJson(name, out);
    };
    handlers.act = [&automation, &window, notReady](const QString& control, const QString& action,
                                                    const QString& argument,
                                                    AutomationAdaptor::ReplyTo reply) {
        if (!automation || !window) {
            reply(notReady);
            return;
        }
        if (control == QLatin1String(kTrayControl)) {
            PressTray(*window, action, std::move(reply));
            return;
        }
        automation->Act(control, action, argument, std::move(reply));
    };
    handlers.routes = [&window] { return window ? window->Router().RoutesJson() : QStringLiteral("[]"); };
    handlers.answerFileDialog = [&window](const QString& path) {
        if (window) {
            window->AnswerNextFileDialog(path);
        }
    };
    handlers.screenshot = [&automation, notReady](const QString& png, QString& error) {
        error = notReady;
        return automation && automation->Screenshot(png, error);
    };
    handlers.input = [&automation, &window](const QString& kind, uint code, bool press, const QString& at) {
        if (!window || !automation) {
            return QStringLiteral("the main window is not built yet");
        }
        CapturedInput input;
        input.press = press;
        if (kind == QLatin1String("key") && EvdevTranslator::IsKeyboardKey(static_cast<uint16_t>(code)) &&
            code <= 0xFF) {
            input.kind = CapturedInput::Kind::kKey;
        } else if (kind == QLatin1String("button") && code <= 0xFFFF &&
                   EvdevTranslator::IsMouseButton(static_cast<uint16_t>(code))) {
            input.kind = CapturedInput::Kind::kButton;
        } else {
            return QStringLiteral("no %1 %2").arg(kind).arg(code);
        }
        input.code = static_cast<uint16_t>(code);
        if (!at.isEmpty()) {
            ui::CControlUI* control = automation->Find(at);
            if (control == nullptr || !control->isVisible()) {
                return QStringLiteral("'%1' is not shown").arg(at);
            }
            const QPoint centre = control->mapToGlobal(control->rect().center());
            input.hasPoint = true;
            input.x = centre.x();
            input.y = centre.y();
        }
        return window->Capture().Inject(input) ? QString() : QStringLiteral("nothing is being recorded");
    };
    return handlers;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (const int code = ParseOptions(argc, argv, options); code >= 0) {
        return code;
    }
    if (!options.screenshot.isEmpty() && !HasDisplay() && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Virtual devices come with a recorder that hears this window only:
    // trying the program never grabs the machine's keyboards.
    if (!options.simulated.empty() && std::getenv("KX520_INPUT_CAPTURE") == nullptr) {
        ::setenv("KX520_INPUT_CAPTURE", "window", 1);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kx520"));
    QApplication::setQuitOnLastWindowClosed(false);
    ui::ApplyApplicationLook();
    const std::vector<int> fonts = Startup::LoadPrivateFonts();

    std::string error;
    auto machine = sim::MachineBackends::Create(options.simulated, &error);
    if (!machine) {
        std::fprintf(stderr, "kx520: %s\n", error.c_str());
        return 2;
    }

    QPointer<CMainWnd> window;
    // Update checks asked for by other programs; stopped before the application goes.
    UpdateCommand updates;
    AppBus::Handlers handlers;
    handlers.activate = [&window] {
        if (window) {
            window->PostMessage(ui::RegisterWindowMessage(QLatin1String(kInstanceMessage.registration)),
                                0, 1);
        }
    };
    handlers.post = [&window](const QString& name, quint32 wParam, qint64 lParam) {
        return window && window->PostFromOutside(name, wParam, lParam);
    };
    handlers.copyData = [&window](quint32 kind, const QByteArray& data) {
        return window && window->AcceptCopyData(kind, data);
    };
    handlers.status = [&window] { return window ? window->StatusJson() : QString(); };
    handlers.device = [&window](const QString& kind) {
        return window ? window->DeviceJson(kind) : QString();
    };
    handlers.assignKey = [&window](const QString& kind, uint position, const QStringList& words) {
        return window ? window->AssignKey(kind, position, words) : QStringLiteral("no window yet");
    };
    handlers.macro = [&window](const QStringList& args) {
        return window ? MacroCommand::Run(*window, window->MacroActions(), args)
                      : QStringLiteral("{\"error\":\"the main window is not built yet\"}");
    };
    handlers.mouse = [&window](const QStringList& args, AppBus::Reply reply) {
        if (!window) {
            reply(QStringLiteral("{\"error\":\"the main window is not built yet\"}"));
            return;
        }
        MouseCommand::Run(*window, args, std::move(reply));
    };
    handlers.headset = [&window](const QStringList& args, AppBus::Reply reply) {
        if (!window) {
            reply(QStringLiteral("{\"error\":\"the main window is not built yet\"}"));
            return;
        }
        HeadsetCommand::Run(*window, args, std::move(reply));
    };
    handlers.keyboardOptions = [&window](const QStringList& words, AppBus::Reply reply) {
        if (!window) {
            reply(QStringLiteral("no window yet"));
            return;
        }
        DeviceCommand::SetKeyboardOptions(*window, words, std::move(reply));
    };
    handlers.mousePad = [&window](const QStringList& args) {
        return window ? MousePadCommand::Run(*window, args)
                      : QStringLiteral("{\"error\":\"the main window is not built yet\"}");
    };
    handlers.saveKeys = [&window](const QString& kind, AppBus::Reply reply) {
        if (!window) {
            reply(QStringLiteral("no window yet"));
            return;
        }
        window->SaveKeys(kind, std::move(reply));
    };
    handlers.setLighting = [&window](const QString& kind, const QStringList& words, AppBus::Reply reply) {
        if (!window) {
            reply(QStringLiteral("no window yet"));
            return;
        }
        window->SetLighting(kind, words, std::move(reply));
    };
    handlers.update = [&window, &updates](const QStringList& args, AppBus::Reply reply) {
        if (!window) {
            reply(QStringLiteral("{\"error\":\"the main window is not built yet\"}"));
            return;
        }
        const SettingsWindowLauncher& settings = window->SettingsWindow();
        updates.Run(args, settings.IdentityRows(), settings.ServiceAddress(), std::move(reply));
    };
    handlers.language = [&window](const QStringList& args) {
        if (!window) {
            return QStringLiteral("{\"error\":\"the main window is not built yet\"}");
        }
        return LanguageCommand::Run(window->Languages(), window->LanguageIndex(), args,
                                    [&window](int index) { window->ApplyLanguage(index); });
    };
    handlers.syncLight = [&window] {
        return window ? SyncLightJson(*window) : QStringLiteral("{\"error\":\"the main window is not built yet\"}");
    };
    handlers.startFirmwareUpdate = [&window](qint64 value) {
        if (!window) {
            return false;
        }
        window->PostMessage(msg::kStartFirmwareUpdate, 0, static_cast<qintptr>(value));
        return true;
    };
    handlers.prepareForSleep = [&window](bool sleeping) {
        if (window) {
            window->PostMessage(msg::kPowerBroadcast,
                                sleeping ? msg::kPowerSuspend : msg::kPowerResume, 0);
        }
    };
    if (!options.simulated.empty()) {
        handlers.simulate = [&machine](const QStringList& args) {
            std::vector<std::string> words;
            for (const QString& arg : args) {
                words.push_back(arg.toStdString());
            }
            return QString::fromStdString(sim::RunSimCommand(machine->Virtual(), words));
        };
        handlers.virtualState = [&machine](const QString& product) {
            std::string error;
            const std::string state = sim::VirtualStateJson(machine->Virtual(), product.toStdString(), error);
            if (!error.empty()) {
                Json::Value failure(Json::objectValue);
                failure["error"] = error;
                return QString::fromStdString(Json::FastWriter().write(failure));
            }
            return QString::fromStdString(state);
        };
    }
    handlers.quit = [&window] {
        if (window) {
            QTimer::singleShot(0, window, [&window] { window->Exit(); });
        }
    };
    AppBus bus(handlers);
    // Filled once the main window exists; until then the interface answers
    // that it is not ready.
    std::unique_ptr<ui::UiAutomation> automation;
    if (options.automation) {
        new AutomationAdaptor(bus, AutomationHandlers(automation, window));
    }
    if (bus.Register() == AppBus::Claim::AlreadyRunning) {
        // Another instance runs: it shows itself, this one leaves quietly.
        AppBus::ActivateRunning();
        Startup::RemovePrivateFonts(fonts);
        return 0;
    }

    // The profile lists are the application's while it runs: tools that
    // would change them refuse meanwhile.
    std::string lockError;
    auto profilesLock = DeviceLock::TryAcquire("profiles", &lockError);
    QTimer profilesLockRetry;
    if (!profilesLock) {
        std::fprintf(stderr, "kx520: %s\n", lockError.c_str());
        // Held by an instance that is ending (it lost the bus and found this
        // one owning the name): taken as soon as it lets go.
        QObject::connect(&profilesLockRetry, &QTimer::timeout, [&] {
            std::string error;
            profilesLock = DeviceLock::TryAcquire("profiles", &error);
            if (profilesLock) {
                profilesLockRetry.stop();
            }
        });
        profilesLockRetry.start(1000);
    }

    Startup::ConfigureSkinResources();
    Startup::RegisterControlClasses(machine->Backend());
    SettingsStore settings;
    auto* mainWindow = new CMainWnd(machine->Backend(), settings);
    window = mainWindow;
    QString buildError;
    if (!mainWindow->Create(&buildError)) {
        std::fprintf(stderr, "kx520: the main window could not be built: %s\n",
                     qPrintable(buildError));
        delete mainWindow;
        return 1;
    }
    if (options.automation) {
        automation = std::make_unique<ui::UiAutomation>(*mainWindow);
    }
    // Nothing attached: the panel offers the virtual devices of this process.
    mainWindow->SetVirtualDevicesHandler([&machine] {
        for (std::string_view product : sim::kVirtualProductNames) {
            if (product.find("receiver") == std::string_view::npos) {
                machine->Virtual().Plug(product);
            }
        }
    });
    mainWindow->SetLightStateSink([&bus](quint32 wParam, qint64 lParam) {
        bus.EmitLightState(wParam, lParam);
    });

    bool screenshotFailed = false;
    if (!options.screenshot.isEmpty()) {
        QObject::connect(mainWindow, &CMainWnd::shownAfterFirstPass, mainWindow, [&] {
            // After the layout pass that follows showing the window.
            QTimer::singleShot(200, mainWindow, [&] {
                screenshotFailed |= !SaveScreenshot(*mainWindow, options.screenshot);
            });
        });
    }
    if (options.exitAfterMs >= 0) {
        QTimer::singleShot(options.exitAfterMs, mainWindow, [&] {
            if (!options.screenshot.isEmpty()) {
                screenshotFailed |= !SaveScreenshot(*mainWindow, options.screenshot);
            }
            mainWindow->Exit();
        });
    }
    QApplication::exec();
    mainWindow->Shutdown();
    automation.reset();
    delete mainWindow;
    Startup::RemovePrivateFonts(fonts);
    return screenshotFailed ? 1 : 0;
}
