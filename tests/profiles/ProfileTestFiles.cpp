#include "ProfileTestFiles.h"

#include <json/reader.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ProgramRun.h"

namespace kx520::test {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

Json::Value ReadJsonFile(const std::string& path) {
    Json::Value root;
    std::istringstream in(ReadAll(path));
    Json::CharReaderBuilder builder;
    std::string errors;
    if (!Json::parseFromStream(builder, in, &root, &errors)) {
        return Json::Value();
    }
    return root;
}

std::string TemplateText() {
    return R"({"profilename": "template", "profileUUID": "", "Device": [{
        "LightInfo": {"SelectItem": 3, "Light": 4, "Speed": 2, "MultiColor": 0, "Red": 255,
                      "Green": 0, "Blue": 0, "Fx": 1},
        "LightList": [{"LEDREGMode": 1, "LEDBrightness": 4, "LEDSpeed": 2, "LEDMultiColor": 1,
                       "LEDDirection": 0, "red": 1, "green": 2, "blue": 3}],
        "KeyList": [{"Assignment": 2097193, "DefaultAssignment": 2097193},
                    {"Assignment": 2097210, "DefaultAssignment": 2097210},
                    {"Assignment": 2097211, "DefaultAssignment": 2097211}],
        "CustomEQNameInfo": ["template"], "CustomEQHzValueInfo": [[0]]}]})";
}

std::vector<std::string> FolderListing(const std::string& folder,
                                       const std::vector<std::string>& except) {
    std::vector<std::string> listing;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        const std::string name = item.path().filename().string();
        if (std::find(except.begin(), except.end(), name) == except.end()) {
            listing.push_back(name + ": " + ReadAll(item.path().string()));
        }
    }
    std::sort(listing.begin(), listing.end());
    return listing;
}

}  // namespace kx520::test
