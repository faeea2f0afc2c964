#include "support/VirtualPaths.h"

#include "hid/DevicePath.h"
#include "sim/VirtualHidBackend.h"

namespace kx520::test {

std::string CollectionPath(sim::VirtualHidBackend& backend, std::string_view product,
                           uint16_t collection, int interfaceNumber) {
    const auto device = backend.Find(product);
    if (!device) {
        return {};
    }
    for (const std::string& path : sim::VirtualHidBackend::PathsOf(*device)) {
        const bool interfaceMatches =
            interfaceNumber < 0 || hid::PathInterfaceNumber(path) == interfaceNumber;
        if (interfaceMatches && hid::PathCollectionNumber(path) == collection) {
            return path;
        }
    }
    return {};
}

}  // namespace kx520::test
