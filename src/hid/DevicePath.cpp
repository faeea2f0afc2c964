#include "hid/DevicePath.h"

#include <cctype>
#include <cstdio>

namespace kx520::hid {

namespace {

// ASCII only, as the paths are: the locale's tolower is a call per byte and
// was most of a scan pass.
constexpr char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

size_t FindCaseInsensitive(std::string_view text, std::string_view marker) {
    if (marker.empty() || marker.size() > text.size()) {
        return std::string_view::npos;
    }
    for (size_t i = 0; i + marker.size() <= text.size(); ++i) {
        size_t k = 0;
        while (k < marker.size() && AsciiLower(text[i + k]) == AsciiLower(marker[k])) {
            ++k;
        }
        if (k == marker.size()) {
            return i;
        }
    }
    return std::string_view::npos;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

uint16_t ParsePathNumber(std::string_view path, std::string_view marker) {
    const size_t at = FindCaseInsensitive(path, marker);
    if (at == std::string_view::npos) {
        return 0;
    }
    std::string_view rest = path.substr(at + marker.size());
    // "%x" skips white space and accepts an optional sign and "0x" prefix.
    while (!rest.empty() && std::isspace(static_cast<unsigned char>(rest.front()))) {
        rest.remove_prefix(1);
    }
    bool negative = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X') &&
        HexDigit(rest[2]) >= 0) {
        rest.remove_prefix(2);
    }
    uint32_t value = 0;
    while (!rest.empty() && HexDigit(rest.front()) >= 0) {
        value = value * 16 + static_cast<uint32_t>(HexDigit(rest.front()));
        rest.remove_prefix(1);
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<uint16_t>(value);
}

uint16_t PathVendorId(std::string_view path) { return ParsePathNumber(path, "vid_"); }
uint16_t PathProductId(std::string_view path) { return ParsePathNumber(path, "pid_"); }
uint16_t PathInterfaceNumber(std::string_view path) { return ParsePathNumber(path, "&mi_"); }
uint16_t PathCollectionNumber(std::string_view path) { return ParsePathNumber(path, "&col"); }

std::string FormatDevicePath(const DevicePathParts& parts) {
    char ids[64];
    if (parts.collectionNumber == 0) {
        std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x&mi_%02x", parts.vendorId,
                      parts.productId, parts.interfaceNumber);
    } else {
        std::snprintf(ids, sizeof ids, "vid_%04x&pid_%04x&mi_%02x&col%02x", parts.vendorId,
                      parts.productId, parts.interfaceNumber, parts.collectionNumber);
    }
    std::string path = parts.node;
    path.append("#").append(ids).append("#").append(parts.instance);
    return path;
}

void AppendCollectionPaths(DevicePathParts parts, size_t collections,
                           std::vector<std::string>& paths) {
    for (size_t i = 0; i < collections; ++i) {
        parts.collectionNumber = collections > 1 ? static_cast<uint16_t>(i + 1) : 0;
        paths.push_back(FormatDevicePath(parts));
    }
}

std::string_view PathNode(std::string_view path) {
    const size_t first = path.find('#');
    if (first == std::string_view::npos) {
        return {};
    }
    return path.substr(0, first);
}

std::string_view PathInstance(std::string_view path) {
    const size_t first = path.find('#');
    const size_t last = path.rfind('#');
    if (first == std::string_view::npos || last == first) {
        return {};
    }
    return path.substr(last + 1);
}

}  // namespace kx520::hid
