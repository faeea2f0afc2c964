#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "layout/LayerGraph.h"

namespace kx520::layout {
namespace {

namespace fs = std::filesystem;

LayerGraph Parse(const std::string& text) {
    std::istringstream in(text);
    return ParseLayers(in);
}

LayerGraph BuildLayers() {
    std::ifstream in(KX520_LAYERS_FILE);
    return ParseLayers(in);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* kSmallTree =
    "platform core\n"
    "hid core platform\n"
    "devices core hid\n"
    "ui qt platform\n"
    "pages qt ui devices\n";

TEST(LayerGraph, ReachIsTheClosureOfWhatAFolderUses) {
    const LayerGraph graph = Parse(kSmallTree);
    EXPECT_EQ(Reach(graph, "pages"), (std::set<std::string>{"ui", "devices", "hid", "platform"}));
    EXPECT_TRUE(Reach(graph, "platform").empty());
    EXPECT_TRUE(FoldersInCycles(graph).empty());
    EXPECT_EQ(FoldersInCycles(Parse("a core b\nb core c\nc core a\nd core\n")),
              (std::vector<std::string>{"a", "b", "c"}));
}

struct IncludeCase {
    const char* folder;
    const char* text;
    size_t faults;
};

TEST(LayerGraph, IncludesMayPointOnlyDown) {
    const LayerGraph graph = Parse(kSmallTree);
    const IncludeCase cases[] = {
        {"pages", "#include \"pages/A.h\"\n#include \"platform/B.h\"\n#include <QWidget>\n", 0},
        {"hid", "#include \"devices/Core.h\"\n", 1},       // up a layer
        {"devices", "#include \"ui/Widget.h\"\n", 1},      // Qt-free into Qt
        {"devices", "#include <QString>\n", 1},            // Qt in a Qt-free folder
        {"ui", "#include \"nowhere/X.h\"\n", 1},           // undeclared folder
        {"stray", "#include \"platform/X.h\"\n", 1},       // a folder with no library
        {"hid", "#include <vector>\n#include \"hid/Own.h\"\n", 0},
    };
    for (const IncludeCase& c : cases) {
        EXPECT_EQ(IncludeFaults(graph, c.folder, "f.cpp", c.text).size(), c.faults) << c.folder << ": " << c.text;
    }
}

TEST(Layering, EveryFolderOfSrcIsOneLibraryOfTheBuild) {
    const LayerGraph graph = BuildLayers();
    ASSERT_FALSE(graph.empty()) << KX520_LAYERS_FILE;
    std::set<std::string> folders;
    for (const auto& entry : fs::directory_iterator(KX520_SRC_DIR)) {
        if (entry.is_directory()) {
            folders.insert(entry.path().filename().string());
        }
    }
    for (const std::string& folder : folders) {
        EXPECT_EQ(graph.count(folder), 1u) << "src/" << folder << " has no library";
    }
    for (const auto& [name, folder] : graph) {
        EXPECT_EQ(folders.count(name), 1u) << name << " is declared but not a folder";
        for (const std::string& used : folder.uses) {
            EXPECT_EQ(graph.count(used), 1u) << name << " uses the unknown " << used;
        }
    }
    EXPECT_TRUE(FoldersInCycles(graph).empty());
}

TEST(Layering, QtFreeFoldersNeverReachQtAndTheFirmwareEmulationNeverReachesDeviceLogic) {
    const LayerGraph graph = BuildLayers();
    ASSERT_EQ(graph.count("devicebase"), 1u);
    for (const auto& [name, folder] : graph) {
        if (folder.qt) {
            continue;
        }
        for (const std::string& used : Reach(graph, name)) {
            EXPECT_FALSE(graph.at(used).qt) << name << " reaches the Qt folder " << used;
        }
    }
    // Device logic is whatever builds on the device base.
    for (const std::string& used : Reach(graph, "sim")) {
        EXPECT_NE(used, "devicebase");
        EXPECT_EQ(Reach(graph, used).count("devicebase"), 0u) << "sim reaches " << used;
    }
}

TEST(Layering, NoSourceIncludesAFolderAboveItsOwn) {
    const LayerGraph graph = BuildLayers();
    std::vector<std::string> faults;
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(KX520_SRC_DIR)) {
        const fs::path& path = entry.path();
        if (!entry.is_regular_file() || (path.extension() != ".h" && path.extension() != ".cpp")) {
            continue;
        }
        const std::string folder = fs::relative(path, KX520_SRC_DIR).begin()->string();
        const auto found = IncludeFaults(graph, folder, fs::relative(path, KX520_SRC_DIR).string(), ReadAll(path));
        faults.insert(faults.end(), found.begin(), found.end());
        ++files;
    }
    EXPECT_GT(files, 100u);
    for (const std::string& fault : faults) {
        ADD_FAILURE() << fault;
    }
}

}  // namespace
}  // namespace kx520::layout
