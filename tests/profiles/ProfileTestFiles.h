#pragma once

#include <json/value.h>

#include <string>

namespace kx520::test {

// Writes `text` to `path` as it stands (no JSON check).
void WriteText(const std::string& path, const std::string& text);
// The file parsed; null when it is not JSON.
Json::Value ReadJsonFile(const std::string& path);
// A small template: one section with light, light list and key list.
std::string TemplateText();

}  // namespace kx520::test
