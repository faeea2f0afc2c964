#pragma once

#include <string>

namespace kx520::test {

// A fresh folder under $TMPDIR, removed with everything in it at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    std::string Sub(const std::string& name) const;  // created if missing

private:
    std::string m_path;
};

}  // namespace kx520::test
