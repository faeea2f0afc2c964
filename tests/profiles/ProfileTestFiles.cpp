#include "ProfileTestFiles.h"

#include <json/reader.h>

#include <fstream>
#include <sstream>

namespace kx520::test {

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Json::Value ReadJsonFile(const std::string& path) {
    Json::Value root;
    std::istringstream in(ReadText(path));
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

}  // namespace kx520::test
