#pragma once

#include <QString>

namespace kx520 {

class CMainWnd;

// A JSON summary of the main window and its device options, for scripts
// and tests: what is shown, which device is current and how it is linked.
QString WindowStatusJson(const CMainWnd& window);
// What the window's device of kind `kind` holds ("keyboard"; the other
// kinds answer once they keep state of their own); empty when none.
QString DeviceStatusJson(const CMainWnd& window, const QString& kind);
// Synchronised lighting: the shared effect ("type" -1 before any was
// shared, "brightness", "speed", "direction", "multicolor", "color"), the
// thread's "steps" so far and the kinds of the "devices" in it.
QString SyncLightJson(CMainWnd& window);

}  // namespace kx520
