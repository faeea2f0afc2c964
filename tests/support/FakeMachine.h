#pragma once

#include <string>

#include "support/FakeSysfs.h"
#include "support/TempDir.h"

namespace kx520::test {

// A machine for a program run through the shell: a fake sysfs tree and a
// folder of device nodes (plain files), with the environment that points
// the program at them.
class FakeMachine {
public:
    FakeMachine();

    // `node` in sysfs and a plain file for its device node.
    void AddNode(const FakeHidNode& node);
    // The node of `interfaceNumber` of a virtual product, as hidraw0.
    void AddProduct(const char* product, uint8_t interfaceNumber);
    // "KX520_SYSFS_ROOT='...' KX520_DEV_ROOT='...'" for a command line.
    std::string Environment() const;

private:
    TempDir m_temp;
    FakeSysfs m_sysfs;
    std::string m_devRoot;
};

}  // namespace kx520::test
