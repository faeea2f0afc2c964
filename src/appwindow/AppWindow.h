#pragma once

#include <vector>

#include <QString>

#include "builder/WindowImplBase.h"

namespace kx520 {

class SyncLightThread;

class CDeviceOptionUI;
class CZentrelUSBDevice;
class DeviceSelector;
class InterfaceSlotTable;
class TrayController;

// The main window as its parts see it. The device link, the page actions,
// the scripting commands and the tray are built below the window itself and
// reach it only through this, so the window's own life stays in one place.
class AppWindow : public ui::WindowImplBase {
public:
    // What a file dialog asks for: a profile ("*.json") or a macro ("*.mac").
    enum class FileKind { kProfile, kMacro, kShoot };

    // The device of the current option; nullptr when none is shown.
    virtual CZentrelUSBDevice* CurrentDevice() const = 0;
    virtual std::vector<CDeviceOptionUI*> DeviceOptions() const = 0;
    virtual DeviceSelector& Selector() = 0;
    virtual InterfaceSlotTable& Slots() = 0;
    virtual TrayController& Tray() = 0;

    // A message box by text id (1 when confirmed), its text given `argument`
    // for a "%1" in it.
    virtual int Ask(const QString& textId, int buttons, const QString& argument = {}) = 0;
    // A file dialog (empty when cancelled), or what a test or automation
    // answers; a saved name without an extension gets the kind's.
    virtual QString AskFile(bool save, const QString& suggested = {}, FileKind kind = FileKind::kProfile) = 0;
    // The colour palette for sensitivity stage `stage` of the current mouse.
    virtual void OpenPaletteWindow(int stage) = 0;

    // The device selector and the current device's profile list take input
    // (`touchSelector`) when `free`; the key page's save buttons the other
    // way round.
    virtual void SetEditButtonsEnabled(bool touchSelector, bool free) = 0;
    virtual void SetMultiDevice(bool multi) = 0;
    virtual void ShowNoDeviceHint(bool show) = 0;
    // Synchronised lighting, which the devices join and leave.
    virtual SyncLightThread& SyncLight() = 0;
    // A firmware updater said it is at work: the no-device panel may go.
    virtual bool UpdaterFlag() const = 0;
    virtual void CloseChildWindows() = 0;
    virtual void RestoreAndRaise() = 0;
    virtual void FitToMonitor() = 0;
    // A recording in progress ends without keeping what it caught (its
    // device went away).
    virtual void EndRecording() = 0;
};

}  // namespace kx520
