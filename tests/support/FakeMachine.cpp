#include "support/FakeMachine.h"

#include <fstream>

#include "sim/VirtualProducts.h"

namespace kx520::test {

FakeMachine::FakeMachine() : m_sysfs(m_temp.Sub("sys")), m_devRoot(m_temp.Sub("dev")) {}

void FakeMachine::AddNode(const FakeHidNode& node) {
    m_sysfs.AddNode(node);
    std::ofstream(m_devRoot + "/" + node.name).put('\0');
}

void FakeMachine::AddProduct(const char* product, uint8_t interfaceNumber) {
    AddNode(FakeSysfs::NodeOf(*sim::FindVirtualProduct(product), interfaceNumber, "hidraw0", 1,
                              "1-2"));
}

std::string FakeMachine::Environment() const {
    return "KX520_SYSFS_ROOT='" + m_sysfs.Root() + "' KX520_DEV_ROOT='" + m_devRoot + "'";
}

}  // namespace kx520::test
