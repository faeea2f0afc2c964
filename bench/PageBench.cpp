// The keyboard page: building it (at DPI 96 and 192) and one poll tick that
// repaints 126 lit keys, against the 16 ms a UI frame may take.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "app/MainWindowControls.h"
#include "app/Startup.h"
#include "keyboardui/CZentrelKeyboardDevice.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "catalog/PageKeyDefaults.h"
#include "sim/VirtualHidBackend.h"
#include "builder/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"

namespace {

using namespace kx520;

constexpr int kKeys = 126;

class PageControls : public ui::IDialogBuilderCallback {
public:
    PageControls(hid::HidBackend& backend, ui::CPaintManagerUI& manager)
        : m_backend(backend), m_manager(manager) {}
    ui::CControlUI* CreateControl(const QString& tag) override {
        return CreateMainWindowControl(tag, m_backend, m_manager);
    }

private:
    hid::HidBackend& m_backend;
    ui::CPaintManagerUI& m_manager;
};

// The shipped skin and the application's control classes, once.
void PrepareSkin() {
    static sim::VirtualHidBackend classesBackend;
    static const bool prepared = [] {
        Startup::ConfigureSkinResources();
        Startup::RegisterControlClasses(classesBackend);
        return true;
    }();
    (void)prepared;
}

std::unique_ptr<CZentrelUSBDevice> BuildPage(hid::HidBackend& backend, ui::CPaintManagerUI& manager) {
    PrepareSkin();
    PageControls controls(backend, manager);
    ui::CDialogBuilder builder;
    std::unique_ptr<CZentrelUSBDevice> device(dynamic_cast<CZentrelUSBDevice*>(
        builder.Create(QStringLiteral("XML/DeviceXml/keyboarddevice.xml"), &manager, &controls)));
    if (!device) {
        return nullptr;
    }
    device->SetPageLayoutName(QStringLiteral("XML/DeviceXml/keyboarddevice.xml"));
    device->SetLedCount(kKeys);
    device->SetKeyCount(kKeys);
    device->SetManager(&manager);
    device->BuildPage();
    return device;
}

void BM_BuildKeyboardPage(benchmark::State& state) {
    sim::VirtualHidBackend backend;
    const int dpi = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ui::CPaintManagerUI manager;
        manager.SetDPI(dpi);
        auto device = BuildPage(backend, manager);
        if (!device) {
            state.SkipWithError("the page did not build");
            return;
        }
        device->resize(980 * dpi / 96, 420 * dpi / 96);
        device->ApplyScale();
        benchmark::DoNotOptimize(device.get());
    }
}
BENCHMARK(BM_BuildKeyboardPage)->Arg(96)->Arg(192)->Unit(benchmark::kMillisecond);

// Every key changes colour each tick (the worst case of a moving effect):
// the frame is handed to the buttons and the page is painted.
void BM_PollTickWith126LitKeys(benchmark::State& state) {
    sim::VirtualHidBackend backend;
    ui::CPaintManagerUI manager;
    auto device = BuildPage(backend, manager);
    if (!device) {
        state.SkipWithError("the page did not build");
        return;
    }
    device->resize(980, 420);
    device->show();
    QApplication::processEvents();
    uint8_t shade = 0;
    for (auto _ : state) {
        ++shade;
        for (int i = 0; i < kKeys; ++i) {
            device->Core().SetLed(i, LedEntry{shade, static_cast<uint8_t>(255 - shade),
                                       static_cast<uint8_t>(i), 255});
        }
        device->StreamFrame();
        device->repaint();  // the paint the tick causes, done now to be measured
    }
    state.counters["keys"] = kKeys;
}
BENCHMARK(BM_PollTickWith126LitKeys)->Unit(benchmark::kMillisecond);

// One poll tick as the event loop runs it: the frame painted onto the keys
// and the repaint they ask for; `wholePage`: the page is repainted too.
void PollTickPainted(benchmark::State& state, bool wholePage) {
    sim::VirtualHidBackend backend;
    ui::CPaintManagerUI manager;
    auto device = BuildPage(backend, manager);
    if (!device) {
        state.SkipWithError("the page did not build");
        return;
    }
    device->resize(980, 420);
    device->show();
    QApplication::processEvents();
    uint8_t shade = 0;
    double painted = 0;
    for (auto _ : state) {
        ++shade;
        for (int i = 0; i < kKeys; ++i) {
            device->Core().SetLed(i, LedEntry{shade, static_cast<uint8_t>(255 - shade),
                                       static_cast<uint8_t>(i), 255});
        }
        device->StreamFrame();
        painted += device->TakeFramePainted() ? 1 : 0;
        if (wholePage) {
            device->update();
        }
        QApplication::processEvents();
    }
    state.counters["frame_budget_ms"] = 16;
    state.counters["painted_ticks"] = painted;

}
void BM_PollTick_KeysRepaint(benchmark::State& state) { PollTickPainted(state, false); }
void BM_PollTick_WholePageRepaint(benchmark::State& state) { PollTickPainted(state, true); }
BENCHMARK(BM_PollTick_KeysRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PollTick_WholePageRepaint)->Unit(benchmark::kMillisecond);

// One refresh of the key names of the whole picture (after an apply, a
// profile or a language change), with a key list that is all reassigned.
void BM_RefreshKeyLabels(benchmark::State& state) {
    sim::VirtualHidBackend backend;
    ui::CPaintManagerUI manager;
    auto device = BuildPage(backend, manager);
    auto* keyboard = dynamic_cast<CZentrelKeyboardDevice*>(device.get());
    if (keyboard == nullptr) {
        state.SkipWithError("the page did not build");
        return;
    }
    ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr);
    std::vector<profiles::KeyAssignmentEntry> keys;
    for (size_t i = 0; i < kPageKeyDefaults.size(); ++i) {
        const KeyCode& code = kPageKeyDefaults[i];
        const profiles::KeyAction own{static_cast<uint16_t>(i), code.type, code.param1, code.param2};
        const profiles::KeyAction other{static_cast<uint16_t>(i), 0x20, 0x02, 0x05};  // Shift+B
        keys.push_back({other, own});
    }
    keyboard->Keyboard().Profile().SetKeyList(keys);
    for (auto _ : state) {
        keyboard->RefreshKeyLabels();
    }
    state.counters["keys"] = kKeys;
}
BENCHMARK(BM_RefreshKeyLabels)->Unit(benchmark::kMillisecond);

}  // namespace
