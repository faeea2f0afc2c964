#include "ui/MessageRegistry.h"

#include <QHash>
#include <mutex>

namespace kx520::ui {

namespace {

struct Registry {
    std::mutex lock;
    QHash<QString, uint32_t> ids;
    QHash<uint32_t, QString> names;
    uint32_t next = kFirstRegisteredMessage;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

uint32_t RegisterWindowMessage(const QString& name) {
    if (name.isEmpty()) {
        return 0;
    }
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    if (const auto it = registry.ids.find(name); it != registry.ids.end()) {
        return it.value();
    }
    if (registry.next > kLastRegisteredMessage) {
        return 0;
    }
    const uint32_t id = registry.next++;
    registry.ids.insert(name, id);
    registry.names.insert(id, name);
    return id;
}

QString RegisteredMessageName(uint32_t id) {
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    return registry.names.value(id);
}

}  // namespace kx520::ui
