#pragma once

#include <vector>

#include "hid/HidBackend.h"

namespace kx520::hid {

// Several backends seen as one: the machine's hidraw nodes and the virtual
// devices are listed together, and each path goes to the backend it came from.
// Does not own the backends.
class HidBackendSet : public HidBackend {
public:
    void Add(HidBackend& backend) { m_backends.push_back(&backend); }

    // Lists every backend even when one fails, so a broken sysfs never hides
    // the virtual devices; false when any of them failed.
    bool Enumerate(std::vector<std::string>& paths) override;
    bool Owns(const std::string& path) const override;
    HidOpenResult Open(const std::string& path, const HidOpenMode& mode) override;
    bool Probe(const std::string& path) override;
    // Every backend of the set calls the same listener.
    void SetChangeListener(std::function<void()> listener) override;

private:
    HidBackend* Find(const std::string& path) const;

    std::vector<HidBackend*> m_backends;
};

}  // namespace kx520::hid
