#pragma once

#include <string>
#include <string_view>

namespace kx520::sim {

class VirtualFirmware;

// Where the virtual devices keep what a real device keeps in its flash,
// per user and per device kind (the keyboard on its cable and through its
// receiver is one keyboard, and so for the mouse): "<folder>/<kind>.json". Writes are atomic; a
// damaged file is ignored (the device starts from the factory state).
class FlashStore {
public:
    // $XDG_STATE_HOME/kx520/virtual (default ~/.local/state/kx520/virtual).
    static std::string DefaultFolder();

    explicit FlashStore(std::string folder) : m_folder(std::move(folder)) {}

    // The kind whose flash `product` uses (a receiver's is its device's);
    // "" for a name that is no product.
    static std::string KindOf(std::string_view product);
    // Loads the kind's flash into `firmware`; false when there is none to take.
    bool Load(std::string_view product, VirtualFirmware& firmware) const;
    bool Save(std::string_view product, const VirtualFirmware& firmware) const;
    bool Remove(std::string_view product) const;
    std::string PathOf(std::string_view product) const;

private:
    std::string m_folder;
};

}  // namespace kx520::sim
