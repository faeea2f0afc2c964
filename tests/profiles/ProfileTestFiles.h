#pragma once

#include <json/value.h>

#include <string>
#include <vector>

namespace kx520::test {

// Writes `text` to `path` as it stands (no JSON check).
void WriteText(const std::string& path, const std::string& text);
// The file parsed; null when it is not JSON.
Json::Value ReadJsonFile(const std::string& path);
// "name: content" of every file in `folder` but those named in `except`,
// sorted: what a test compares to see that nothing else changed.
std::vector<std::string> FolderListing(const std::string& folder,
                                       const std::vector<std::string>& except = {});
// A small template: one section with light, light list and key list.
std::string TemplateText();

}  // namespace kx520::test
