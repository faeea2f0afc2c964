#pragma once

#include <istream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace kx520::layout {

// One folder of src/ as the build declares it.
struct Folder {
    bool qt = false;
    std::vector<std::string> uses;
};

using LayerGraph = std::map<std::string, Folder>;

// The build's layers file: a line per folder, "<folder> core|qt <used>...".
LayerGraph ParseLayers(std::istream& in);

// Every folder `folder` may include: the ones it uses, and theirs.
std::set<std::string> Reach(const LayerGraph& graph, const std::string& folder);

// Folders that reach themselves (a cycle makes one of its uses point up).
std::vector<std::string> FoldersInCycles(const LayerGraph& graph);

// What is wrong with the includes of `text`, a file of `folder`: an include
// of a folder it does not reach, of a folder nobody declared, or of Qt in a
// folder without Qt. One line per fault, naming `file`.
std::vector<std::string> IncludeFaults(const LayerGraph& graph, const std::string& folder,
                                       const std::string& file, const std::string& text);

}  // namespace kx520::layout
