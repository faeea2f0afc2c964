#pragma once

namespace kx520 {

// The colour side of a page's lighting control, as the device mirrors it:
// the device hands a colour down and reads back what the user picked.
class LightColourControl {
public:
    virtual ~LightColourControl() = default;
    virtual void SetColour(int red, int green, int blue) = 0;
    virtual void Colour(int& red, int& green, int& blue) const = 0;
};

}  // namespace kx520
