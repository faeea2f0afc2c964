#pragma once

class QWidget;

namespace kx520 {

class CZentrelMouseDevice;

// The palette a mouse stage's swatch opens: modal, one at a time, starting
// at the swatch's colour; the colour chosen goes to the stage.
class StagePalette {
public:
    // Nothing for another device, a stage beyond the mouse's five, or while
    // a palette is already open.
    void Open(QWidget* parent, CZentrelMouseDevice* mouse, int stage, int dpi);

private:
    bool m_open = false;
};

}  // namespace kx520
