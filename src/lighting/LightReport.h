#pragma once

#include <json/value.h>

#include <string>
#include <vector>

#include "profiles/LightSetting.h"

namespace kx520 {

// A light setting as the application reports it to scripts: mode and the
// effect's language id (from `effectNames`), brightness, speed, direction,
// multi-colour and the colour as #rrggbb.
Json::Value LightReport(const profiles::LightSetting& light, const std::vector<std::string>& effectNames);

}  // namespace kx520
