#include "app/LanguageSwitcher.h"

#include <gtest/gtest.h>

#include <fstream>

#include "desktop/SettingsStore.h"
#include "support/TempDir.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {
namespace {

TEST(LanguageSwitcher, TheListIsReadOnceAndEachChoiceIsStored) {
    test::TempDir temp;
    const std::string path = temp.Path() + "/Language.config";
    std::ofstream(path) << R"({"Language": [
        {"Language_ID": 1033, "Language_name": "English", "Language_file": "lang/none.xml"},
        {"Language_ID": 2052, "Language_name": "Chinese", "Language_file": "lang/none.xml"}]})";
    SettingsStore settings(QString::fromStdString(temp.Sub("config")));
    ASSERT_TRUE(settings.SaveLanguageId(2052));
    LanguageSwitcher switcher(settings, path);
    EXPECT_EQ(switcher.Index(), -1);
    EXPECT_EQ(switcher.StartupIndex(), 1);
    // The file changes under the running program: the list read first holds.
    std::ofstream(path, std::ios::trunc) << "{}";
    ui::CPaintManagerUI manager;
    EXPECT_TRUE(switcher.Apply(0, manager));
    EXPECT_EQ(settings.LanguageId(), 1033);
    EXPECT_EQ(switcher.Index(), 0);
    EXPECT_FALSE(switcher.Apply(0, manager));
    ASSERT_TRUE(switcher.Config());
    EXPECT_EQ(switcher.Config()->Entries().size(), 2u);
}

TEST(LanguageSwitcher, WithoutAListTheFirstIndexIsUsedAndNothingIsStored) {
    test::TempDir temp;
    SettingsStore settings(QString::fromStdString(temp.Sub("config")));
    LanguageSwitcher switcher(settings, temp.Path() + "/missing.config");
    EXPECT_EQ(switcher.StartupIndex(), 0);
    ui::CPaintManagerUI manager;
    EXPECT_TRUE(switcher.Apply(1, manager));
    EXPECT_EQ(switcher.Index(), 1);
    EXPECT_FALSE(settings.LanguageId().has_value());
}

}  // namespace
}  // namespace kx520
