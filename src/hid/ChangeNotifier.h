#pragma once

#include <functional>
#include <mutex>

namespace kx520::hid {

// The one listener a backend tells when its interfaces may have changed.
// Notify calls the listener under the lock, so once Set(nullptr) returns no
// call is running or to come: the listener's owner may then go.
class ChangeNotifier {
public:
    using Listener = std::function<void()>;

    void Set(Listener listener);
    void Notify();
    bool HasListener() const;

private:
    mutable std::mutex m_lock;
    Listener m_listener;
};

}  // namespace kx520::hid
