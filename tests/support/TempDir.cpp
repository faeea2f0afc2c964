#include "support/TempDir.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kx520::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                          "/kx520-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::Sub(const std::string& name) const {
    const std::string path = m_path + "/" + name;
    std::filesystem::create_directories(path);
    return path;
}

}  // namespace kx520::test
