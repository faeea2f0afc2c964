// Every test binary starts here: the hidraw backend looks at an empty machine
// and the user folders are private, so hardware or files on a developer's
// machine never change a result.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "support/TempDir.h"

int main(int argc, char** argv) {
    kx520::test::TempDir home;
    ::setenv("KX520_SYSFS_ROOT", home.Sub("empty-sys").c_str(), 1);
    ::setenv("KX520_DEV_ROOT", home.Sub("empty-dev").c_str(), 1);
    ::setenv("HOME", home.Sub("home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.Sub("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", home.Sub("data").c_str(), 1);
    ::setenv("XDG_CACHE_HOME", home.Sub("cache").c_str(), 1);
    ::setenv("XDG_STATE_HOME", home.Sub("state").c_str(), 1);
    const std::string runtime = home.Sub("runtime");
    ::chmod(runtime.c_str(), 0700);  // Qt insists on a private runtime folder
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::unsetenv("KX520_SIMULATE");
    ::unsetenv("KX520_SIM_FAULTS");
    ::unsetenv("KX520_SIM_TRACE");
    ::unsetenv("KX520_SIM_MODEL");
    ::unsetenv("KX520_UPDATE_URL");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
