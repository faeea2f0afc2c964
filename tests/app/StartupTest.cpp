#include "app/Startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/TempDir.h"

namespace kx520 {
namespace {

namespace fs = std::filesystem;

// Links into a "system" font folder, a private file, a second link to one
// real file and a dangling one: what start-up hands to fontconfig.
TEST(Startup, FontsAreRegisteredOnceAndOnlyWhenFontconfigCannotKnowThem) {
    test::TempDir temp;
    const fs::path system = temp.Sub("system");
    const fs::path shipped = temp.Sub("shipped/Font");
    std::ofstream(system / "Cjk.ttc") << "cjk";
    std::ofstream(shipped / "Own.otf") << "own";
    std::ofstream(temp.Sub("elsewhere") + "/Thai.ttf") << "thai";
    fs::create_symlink(system / "Cjk.ttc", shipped / "Simplified.ttf");
    fs::create_symlink(system / "Cjk.ttc", shipped / "Traditional.otf");
    fs::create_symlink(fs::path(temp.Sub("elsewhere")) / "Thai.ttf", shipped / "Thai.ttf");
    fs::create_symlink(shipped / "Thai.ttf", shipped / "ThaiAgain.ttf");
    fs::create_symlink(system / "Gone.ttf", shipped / "Gone.ttf");

    const QString folder = QString::fromStdString(shipped.parent_path().string()) + '/';
    const std::vector<QString> files{"Font/Simplified.ttf", "Font/Own.otf", "Font/Thai.ttf",
                                     "Font/Traditional.otf", "Font/ThaiAgain.ttf", "Font/Gone.ttf",
                                     "Font/Missing.ttf"};
    const auto chosen =
        Startup::FontsToRegister(folder, files, {QString::fromStdString(system.string())});
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_TRUE(chosen[0].endsWith("shipped/Font/Own.otf")) << chosen[0].toStdString();
    EXPECT_TRUE(chosen[1].endsWith("elsewhere/Thai.ttf")) << chosen[1].toStdString();

    // Without system folders every real file is registered, each once.
    EXPECT_EQ(Startup::FontsToRegister(folder, files, {}).size(), 3u);
}

}  // namespace
}  // namespace kx520
