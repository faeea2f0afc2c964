#pragma once

#include "profiles/CMouseProfiledata.h"

namespace kx520 {

namespace ui {
class CControlUI;
}

// The mouse page's system panel: report rate options, pointer speed,
// double-click time and scroll lines, and the tabs of its settings area.
// Finds its controls in the page by name; a control the layout lacks is
// left alone.
class MousePointerPanel {
public:
    explicit MousePointerPanel(const ui::CControlUI& page) : m_page(page) {}

    void Show(const profiles::MouseSystemSettings& settings) const;
    // `settings` with what the sliders and checks now say; pointer speed kept
    // to the 1-20 a desktop offers.
    profiles::MouseSystemSettings Read(profiles::MouseSystemSettings settings) const;
    // Settings tab `n` (the first for one out of range) and its option.
    void ShowTab(int n) const;

private:
    const ui::CControlUI& m_page;
};

}  // namespace kx520
