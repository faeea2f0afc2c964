#pragma once

#include <functional>
#include <string>

#include "platform/CapturedInput.h"

namespace kx520 {

// Somewhere recording hears keys and mouse buttons from. Start hands every
// press and release to the sink (on the UI thread) until Stop.
class InputSource {
public:
    using Sink = std::function<void(const CapturedInput&)>;

    virtual ~InputSource() = default;
    // False with the reason when nothing can be heard.
    virtual bool Start(Sink sink, std::string& why) = 0;
    virtual void Stop() = 0;
    // Whether it hears the whole machine, or the application's window only.
    virtual bool SystemWide() const = 0;
};

}  // namespace kx520
