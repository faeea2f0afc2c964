#pragma once

#include <QString>

namespace kx520::ui {

class CControlUI;

// The attributes every control takes from a layout file ("name", "text",
// "bkcolor", "width", "pos", "align", ...), each parsed and handed to the
// control's setter. `key` is lower-case; false for an attribute no control
// has or a value that does not parse.
class ControlAttributes {
public:
    static bool Apply(CControlUI& control, const QString& key, const QString& value);
};

}  // namespace kx520::ui
