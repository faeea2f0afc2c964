#include "hid/ChangeNotifier.h"

#include <utility>

namespace kx520::hid {

void ChangeNotifier::Set(Listener listener) {
    std::lock_guard lock(m_lock);
    m_listener = std::move(listener);
}

void ChangeNotifier::Notify() {
    std::lock_guard lock(m_lock);
    if (m_listener) {
        m_listener();
    }
}

bool ChangeNotifier::HasListener() const {
    std::lock_guard lock(m_lock);
    return static_cast<bool>(m_listener);
}

}  // namespace kx520::hid
