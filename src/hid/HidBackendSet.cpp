#include "hid/HidBackendSet.h"

namespace kx520::hid {

bool HidBackendSet::Enumerate(std::vector<std::string>& paths) {
    bool ok = true;
    for (HidBackend* backend : m_backends) {
        ok = backend->Enumerate(paths) && ok;
    }
    return ok;
}

HidBackend* HidBackendSet::Find(const std::string& path) const {
    for (HidBackend* backend : m_backends) {
        if (backend->Owns(path)) {
            return backend;
        }
    }
    return nullptr;
}

bool HidBackendSet::Owns(const std::string& path) const {
    return Find(path) != nullptr;
}

HidOpenResult HidBackendSet::Open(const std::string& path, const HidOpenMode& mode) {
    HidBackend* backend = Find(path);
    if (backend == nullptr) {
        return {nullptr, HidError::NotFound};
    }
    return backend->Open(path, mode);
}

bool HidBackendSet::Probe(const std::string& path) {
    HidBackend* backend = Find(path);
    return backend != nullptr && backend->Probe(path);
}

void HidBackendSet::SetChangeListener(std::function<void()> listener) {
    for (HidBackend* backend : m_backends) {
        backend->SetChangeListener(listener);
    }
}

}  // namespace kx520::hid
