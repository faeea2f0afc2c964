#pragma once

#include <QString>

namespace kx520 {

class CMainWnd;

// A JSON summary of the main window and its device options, for scripts
// and tests: what is shown, which device is current and how it is linked.
QString WindowStatusJson(const CMainWnd& window);

}  // namespace kx520
