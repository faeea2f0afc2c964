#include "support/TightFolder.h"

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

namespace kx520::test {

namespace fs = std::filesystem;

TightFolder::TightFolder(std::string path, size_t bytes) : m_path(std::move(path)) {
    while (m_path.size() > 1 && m_path.back() == '/') {
        m_path.pop_back();
    }
    if (::geteuid() != 0) {
        return;
    }
    std::error_code error;
    const fs::path aside = m_path + ".before-tight";
    fs::remove_all(aside, error);
    fs::create_directories(m_path, error);
    fs::copy(m_path, aside, fs::copy_options::recursive, error);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (error || ::mount("tmpfs", m_path.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        fs::remove_all(aside, error);
        return;
    }
    m_mounted = true;
    fs::copy(aside, m_path, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
    fs::remove_all(aside, error);
}

TightFolder::~TightFolder() {
    if (m_mounted) {
        ::umount2(m_path.c_str(), MNT_DETACH);
    }
}

void TightFolder::Fill() {
    const std::string filler = m_path + "/" + kFiller;
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) {
        return;
    }
    const std::vector<char> block(4096, 'x');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    // A last partial page, so that not one byte is left.
    while (::write(fd, block.data(), 1) > 0) {
    }
    ::close(fd);
}

void TightFolder::Unfill() {
    ::unlink((m_path + "/" + kFiller).c_str());
}

bool TightFolder::SetReadOnly(bool readOnly) {
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return m_mounted && ::mount("tmpfs", m_path.c_str(), "tmpfs", flags, nullptr) == 0;
}

}  // namespace kx520::test
