#include "lighting/LightReport.h"

#include <cstdio>

namespace kx520 {

Json::Value LightReport(const profiles::LightSetting& light, const std::vector<std::string>& effectNames) {
    Json::Value object(Json::objectValue);
    object["mode"] = light.mode;
    object["effect"] = light.mode < effectNames.size() ? effectNames[light.mode] : std::string();
    object["brightness"] = light.brightness;
    object["speed"] = light.speed;
    object["direction"] = light.direction;
    object["multicolor"] = light.multiColor != 0;
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%02x%02x%02x", light.red, light.green, light.blue);
    object["color"] = colour;
    return object;
}

}  // namespace kx520
