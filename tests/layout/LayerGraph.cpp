#include "layout/LayerGraph.h"

#include <regex>
#include <sstream>

namespace kx520::layout {

LayerGraph ParseLayers(std::istream& in) {
    LayerGraph graph;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string name;
        std::string kind;
        if (!(words >> name >> kind)) {
            continue;
        }
        Folder& folder = graph[name];
        folder.qt = kind == "qt";
        for (std::string used; words >> used;) {
            folder.uses.push_back(used);
        }
    }
    return graph;
}

std::set<std::string> Reach(const LayerGraph& graph, const std::string& folder) {
    std::set<std::string> reached;
    std::vector<std::string> pending{folder};
    while (!pending.empty()) {
        const std::string next = pending.back();
        pending.pop_back();
        const auto it = graph.find(next);
        if (it == graph.end()) {
            continue;
        }
        for (const std::string& used : it->second.uses) {
            if (reached.insert(used).second) {
                pending.push_back(used);
            }
        }
    }
    return reached;
}

std::vector<std::string> FoldersInCycles(const LayerGraph& graph) {
    std::vector<std::string> cyclic;
    for (const auto& [name, folder] : graph) {
        if (Reach(graph, name).count(name) != 0) {
            cyclic.push_back(name);
        }
    }
    return cyclic;
}

std::vector<std::string> IncludeFaults(const LayerGraph& graph, const std::string& folder,
                                       const std::string& file, const std::string& text) {
    static const std::regex kInclude(R"(#include\s*"([a-z]+)/[^"]+")");
    static const std::regex kQtInclude(R"(#include\s*<Q)");
    std::vector<std::string> faults;
    const auto self = graph.find(folder);
    if (self == graph.end()) {
        faults.push_back(file + ": its folder " + folder + " is not a library of the build");
        return faults;
    }
    const std::set<std::string> reach = Reach(graph, folder);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kInclude); it != std::sregex_iterator(); ++it) {
        const std::string target = (*it)[1];
        if (target == folder || reach.count(target) != 0) {
            continue;
        }
        const std::string why = graph.count(target) == 0 ? " (no such folder)" : " (not below " + folder + ")";
        faults.push_back(file + ": includes " + (*it)[0].str().substr(9) + why);
    }
    if (!self->second.qt && std::regex_search(text, kQtInclude)) {
        faults.push_back(file + ": includes Qt in a folder without Qt");
    }
    return faults;
}

}  // namespace kx520::layout
