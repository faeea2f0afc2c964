#pragma once

namespace kx520::ui {

// What every program of the toolkit sets once, after its QApplication
// exists: tool-tips in the skin's colours rather than the desktop's pale
// yellow, and no warnings for what a headless platform cannot do (window
// stacking and size hints have no meaning without a display).
void ApplyApplicationLook();

}  // namespace kx520::ui
