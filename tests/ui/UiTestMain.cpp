// The main of the UI test binary: a QApplication first (offscreen, set by
// CTest), the shipped skin folder, and private user folders.
#include <gtest/gtest.h>

#include <QApplication>
#include <sys/stat.h>

#include <cstdlib>

#include "pages/PageControls.h"
#include "support/TempDir.h"
#include "ui/ApplicationLook.h"
#include "ui/CResourceManager.h"

int main(int argc, char** argv) {
    kx520::test::TempDir home;
    ::setenv("HOME", home.Sub("home").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.Sub("config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", home.Sub("data").c_str(), 1);
    const std::string runtime = home.Sub("runtime");
    ::chmod(runtime.c_str(), 0700);  // Qt insists on a private runtime folder
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("KX520_SYSFS_ROOT", home.Sub("empty-sys").c_str(), 1);
    ::setenv("KX520_DEV_ROOT", home.Sub("empty-dev").c_str(), 1);
    // Headless always: tests never depend on a desktop being there.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    kx520::ui::ApplyApplicationLook();
    kx520::ui::CResourceManager::Instance().SetResourcePath(QStringLiteral(KX520_SKIN_DIR));
    kx520::RegisterPageControls();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
