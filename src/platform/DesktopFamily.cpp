#include "platform/DesktopFamily.h"

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <vector>

namespace kx520 {

namespace {

std::vector<std::string> Split(const std::string& list) {
    std::vector<std::string> names;
    std::stringstream in(list);
    std::string name;
    while (std::getline(in, name, ':')) {
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        names.push_back(name);
    }
    return names;
}

bool Has(const std::vector<std::string>& names, std::initializer_list<const char*> wanted) {
    return std::any_of(names.begin(), names.end(), [&wanted](const std::string& name) {
        return std::any_of(wanted.begin(), wanted.end(), [&name](const char* one) { return name == one; });
    });
}

}  // namespace

DesktopFamily FamilyOf(const std::string& currentDesktop) {
    const std::vector<std::string> names = Split(currentDesktop);
    if (Has(names, {"gnome", "unity", "budgie", "pantheon", "ubuntu"})) {
        return DesktopFamily::kGnome;
    }
    if (Has(names, {"x-cinnamon", "cinnamon"})) {
        return DesktopFamily::kCinnamon;
    }
    if (Has(names, {"mate"})) {
        return DesktopFamily::kMate;
    }
    if (Has(names, {"kde"})) {
        return DesktopFamily::kKde;
    }
    if (Has(names, {"xfce"})) {
        return DesktopFamily::kXfce;
    }
    return DesktopFamily::kOther;
}

}  // namespace kx520
