#pragma once

#include <cstddef>
#include <string>

namespace kx520::test {

// A folder put on a small tmpfs of its own, with what it held copied in, so
// that a test can fill it to the last byte or make it read-only as a full
// or read-only disk would be. Mounting needs root: elsewhere Mounted() is
// false and the test skips. The mount goes away with the object.
class TightFolder {
public:
    TightFolder(std::string path, size_t bytes);
    ~TightFolder();
    TightFolder(const TightFolder&) = delete;
    TightFolder& operator=(const TightFolder&) = delete;

    bool Mounted() const { return m_mounted; }
    // Takes the free space with a filler file, until the disk says it is full.
    void Fill();
    // Gives the filler's space back.
    void Unfill();
    bool SetReadOnly(bool readOnly);
    static constexpr const char* kFiller = ".tight-filler";

private:
    std::string m_path;
    bool m_mounted = false;
};

}  // namespace kx520::test
