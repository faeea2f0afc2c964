#include "app/MainWindowMessages.h"

#include <QString>
#include <string>
#include <string_view>

#include "app/CMainWnd.h"
#include "app/FirmwareUpdater.h"
#include "app/SettingsWindowLauncher.h"
#include "devicelink/DeviceLinkManager.h"
#include "discovery/DeviceSelector.h"
#include "messages/MessageTable.h"
#include "messages/RegisteredMessages.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "macros/HookRecord.h"
#include "pages/CMacroControlUI.h"
#include "pages/CKeySetControlUI.h"
#include "platform/DebugTrace.h"
#include "ui/CControlUI.h"
#include "ui/MessageRegistry.h"

namespace kx520 {

namespace {

// A registered message's row: its number is the registration's, and other
// programs may send it when the message says so (kx520ctl reads the same).
MessageRule Registered(const RegisteredMessage& message, bool whileSuspended,
                       MessageRule::Handler handler) {
    return {ui::RegisterWindowMessage(QLatin1String(message.registration)), whileSuspended,
            message.fromOutside, false, std::move(handler)};
}

MessageRule Numbered(uint32_t message, MessageRule::Handler handler) {
    return {message, false, false, false, std::move(handler)};
}

bool IsRecordingKey(std::string_view name) {
    return name.starts_with("WM_HOOK_KEY_KBMACRO");
}

bool IsRecordingMouse(std::string_view name) {
    return name.starts_with("WM_HOOK_KEY_MSMACRO");
}

bool IsHookOrGameEvent(std::string_view name) {
    return name.starts_with("WM_HOOK_") || name.starts_with("UWM_") ||
           name.starts_with("Game_");
}

}  // namespace

void MainWindowMessages::AddTo(MessageTable& messages, MessageTable& timers) {
    AddRegistered(messages);
    AddNumbered(messages);
    timers.Add(Numbered(CMainWnd::kFitTimer, [this](uintptr_t, intptr_t) {
        m_window.FitToMonitor();
        m_window.update();
    }));
}

void MainWindowMessages::AddRegistered(MessageTable& messages) {
    const uint32_t instance =
        ui::RegisterWindowMessage(QLatin1String(kInstanceMessage.registration));
    messages.Add(Registered(kInstanceMessage, true, [this, instance](uintptr_t w, intptr_t l) {
        m_window.OnInstanceMessage(instance, w, l);
    }));
    // Passed on, unchanged, to the settings window while it is open.
    const uint32_t relay = ui::RegisterWindowMessage(QLatin1String(kSettingsRelayMessage.registration));
    messages.Add(Registered(kSettingsRelayMessage, true, [this, relay](uintptr_t w, intptr_t l) {
        m_window.SettingsWindow().Relay(relay, w, l);
    }));
    // The work tool's answer takes this when it lands; until then it is
    // taken and changes nothing.
    messages.Add(Registered(kLightCommandMessage, true,
                            [this](uintptr_t w, intptr_t l) { OnLightCommand(w, l); }));
    messages.Add(Registered(kWorkToolQueryMessage, true, nullptr));
    // The input capture's recording messages go to the current device's
    // macro page; the game events to the background services, as those land.
    for (const RegisteredMessage& message : RegisteredMessages()) {
        const std::string_view name = message.codeName;
        if (IsRecordingKey(name)) {
            messages.Add(Registered(message, false, [this](uintptr_t w, intptr_t l) { OnRecordedKey(w, l); }));
        } else if (IsRecordingMouse(name)) {
            messages.Add(Registered(message, false, [this, name](uintptr_t w, intptr_t l) {
                if (name == "WM_HOOK_KEY_MSMACRO_MSG") {
                    DebugTrace("WM_HOOK_KEY_MSMACRO");
                }
                OnRecordedMouse(w, l);
            }));
        } else if (IsHookOrGameEvent(name)) {
            messages.Add(Registered(message, false, nullptr));
        }
    }
}

void MainWindowMessages::AddNumbered(MessageTable& messages) {
    CMainWnd& window = m_window;
    messages.Add({msg::kPowerBroadcast, true, false, false,
                  [&window](uintptr_t event, intptr_t) { window.OnPowerBroadcast(event); }});
    messages.Add({msg::kDeviceArrived, true, false, false, [&window](uintptr_t slot, intptr_t) {
                      window.Devices().OnDeviceArrived(static_cast<int>(slot));
                  }});
    messages.Add({msg::kDeviceRemoved, true, false, false, [&window](uintptr_t slot, intptr_t) {
                      window.Devices().OnDeviceRemoved(static_cast<int>(slot));
                  }});
    messages.Add(Numbered(msg::kDisplayChange, [&window](uintptr_t, intptr_t) {
        DebugTrace("显示器分辨率发生变化");
        window.OnDisplayChange();
    }));
    messages.Add(Numbered(ui::kMsgTimer, [&window](uintptr_t id, intptr_t) {
        window.OnTimer(static_cast<int>(id));
    }));
    // A pad's or headset's own profile number after it changed a setting:
    // the window does nothing with it but say so in the trace.
    messages.Add(Numbered(msg::kDeviceNotice, [](uintptr_t profile, intptr_t) {
        DebugTrace("device notice " + std::to_string(profile));
    }));
    messages.Add(Numbered(msg::kDpiNotice, [](uintptr_t, intptr_t) {
        DebugTrace("界面 DPI 1发生变化");
    }));
    messages.Add(Numbered(msg::kShowSettingProgress, [&window](uintptr_t, intptr_t) {
        if (ui::CControlUI* progress = window.FindControl(QStringLiteral("setting_progress"))) {
            progress->SetVisible(true);
        }
    }));
    messages.Add(Numbered(msg::kLanguageChanged, [&window](uintptr_t index, intptr_t) {
        window.ApplyLanguage(static_cast<int>(index));
    }));
    messages.Add(Numbered(msg::kOpenSettings,
                          [&window](uintptr_t, intptr_t) { window.OpenSettingsWindow(true); }));
    // Never from another program: they call the bus's StartFirmwareUpdate.
    messages.Add(Numbered(msg::kStartFirmwareUpdate, [&window](uintptr_t, intptr_t value) {
        window.Updater().Start(value);
    }));
    messages.Add(Numbered(msg::kClearSettingsBadge, [&window](uintptr_t, intptr_t) {
        if (ui::CControlUI* settings = window.FindControl(QStringLiteral("setbtn"))) {
            settings->SetAttribute(QStringLiteral("foreimage"), QString());
        }
    }));
    messages.Add(Numbered(msg::kDeviceUnusable, [&window](uintptr_t error, intptr_t) {
        if (error == static_cast<uintptr_t>(hid::HidError::AccessDenied)) {
            window.ShowPermissionHint();
        }
    }));
    messages.Add(Numbered(msg::kHookControl, [&window](uintptr_t on, intptr_t) {
        // Key capture for the key field of the current device's key page.
        if (CZentrelUSBDevice* device = window.CurrentDevice()) {
            if (CKeySetControlUI* page = device->KeyPage()) {
                page->SetCapturing(on == 1);
            }
        }
    }));
    messages.Add(Numbered(msg::kDevicePresence, [this](uintptr_t index, intptr_t present) {
        OnDevicePresence(index, present);
    }));
}

CMacroControlUI* MainWindowMessages::RecordingPage() const {
    CZentrelUSBDevice* device = m_window.CurrentDevice();
    CMacroControlUI* page = device != nullptr ? device->MacroPage() : nullptr;
    return page != nullptr && page->Recording() ? page : nullptr;
}

void MainWindowMessages::OnRecordedKey(uintptr_t message, intptr_t record) {
    CMacroControlUI* page = RecordingPage();
    if (page == nullptr || record == 0) {
        return;
    }
    const auto& key = *reinterpret_cast<const KeyHookRecord*>(record);
    const bool press = message == kKeyDownMessage || message == kSysKeyDownMessage;
    if (key.scanCode <= 0xFF) {
        page->RecordKey(press, static_cast<uint8_t>(key.scanCode), (key.flags & 1U) != 0);
    }
}

void MainWindowMessages::OnRecordedMouse(uintptr_t message, intptr_t record) {
    CMacroControlUI* page = RecordingPage();
    if (page == nullptr || record == 0) {
        return;
    }
    const auto& mouse = *reinterpret_cast<const MouseHookRecord*>(record);
    page->RecordMouse(static_cast<uint32_t>(message), static_cast<int>(mouse.mouseData >> 16),
                      QPoint(mouse.x, mouse.y));
}

void MainWindowMessages::OnLightCommand(uintptr_t wParam, intptr_t lParam) {
    if (wParam != 1) {
        return;
    }
    // Another value keeps the flag but hands it to the devices again.
    if (lParam == 0 || lParam == 1) {
        m_window.SetLightControlEnabled(lParam == 1);
    }
    m_window.SetLightControl(m_window.LightControlEnabled());
}

void MainWindowMessages::OnDevicePresence(uintptr_t index, intptr_t present) {
    // Indices come from the options themselves; anything larger names none.
    const int option = index <= 0xFFFF ? static_cast<int>(index) : -1;
    if (present == 0) {
        m_window.Selector().Hide(option);
        DebugTrace("2.4gcesvdfherhue 1");
        return;
    }
    m_window.Selector().Reveal(option);
}

}  // namespace kx520
