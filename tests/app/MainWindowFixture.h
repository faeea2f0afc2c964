#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <functional>
#include <memory>

#include "app/CMainWnd.h"
#include "app/Startup.h"
#include "deviceui/CDeviceOptionUI.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "desktop/SettingsStore.h"
#include "sim/VirtualHidBackend.h"
#include "support/TempDir.h"
#include "ui/CControlUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520::test {

// The main window over virtual devices, with private settings.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        settings = std::make_unique<SettingsStore>(QString::fromStdString(temp.Sub("config")));
        Startup::RegisterControlClasses(backend);
    }
    void TearDown() override {
        if (window != nullptr) {
            window->Shutdown();
            delete window;
        }
    }
    // Creates the window and waits for the first scan pass to show it.
    void Start() {
        window = new CMainWnd(backend, *settings);
        QString error;
        ASSERT_TRUE(window->Create(&error)) << error.toStdString();
        ASSERT_TRUE(WaitFor([this] { return window->FirstPassShown(); }));
    }
    CDeviceOptionUI* Option(const char* kind) const {
        for (CDeviceOptionUI* option : window->DeviceOptions()) {
            if (option->Device() != nullptr && option->Device()->KindName() == QLatin1String(kind)) {
                return option;
            }
        }
        return nullptr;
    }
    // The option's place in the selector (arrival order); -1 for none.
    int OptionIndex(const char* kind) const {
        const auto options = window->DeviceOptions();
        for (size_t i = 0; i < options.size(); ++i) {
            if (options[i] == Option(kind)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    bool Shown(const char* kind) const {
        CDeviceOptionUI* option = Option(kind);
        return option != nullptr && option->IsOptionVisible();
    }
    bool Current(const char* kind) const {
        return window->CurrentDevice() != nullptr &&
               window->CurrentDevice()->KindName() == QLatin1String(kind);
    }
    bool HintShown() const {
        const ui::CControlUI* hint = window->FindControl(QStringLiteral("No_device_Link"));
        return hint != nullptr && hint->IsVisible();
    }
    int DevicePage() const {
        return dynamic_cast<ui::CTabLayoutUI*>(window->FindControl(QStringLiteral("device_switch")))
            ->GetCurSel();
    }
    CZentrelUSBDevice* Device(const char* kind) const {
        CDeviceOptionUI* option = Option(kind);
        return option != nullptr ? option->Device() : nullptr;
    }

    test::TempDir temp;
    sim::VirtualHidBackend backend;
    std::unique_ptr<SettingsStore> settings;
    CMainWnd* window = nullptr;
};

}  // namespace kx520::test
