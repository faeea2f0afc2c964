#include "platform/Utf8.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>

namespace kx520::utf8 {

size_t SequenceLength(std::string_view text, size_t at) {
    if (at >= text.size()) {
        return 0;
    }
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[at + i]); };
    const uint8_t lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const uint32_t point = CodePoint(text, at, length);
    // Overlong forms, surrogates and points past U+10FFFF are not UTF-8.
    static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < kSmallest[length] || (point >= 0xD800 && point <= 0xDFFF) || point > 0x10FFFF) {
        return 0;
    }
    return length;
}

uint32_t CodePoint(std::string_view text, size_t at, size_t length) {
    const auto lead = static_cast<uint8_t>(text[at]);
    uint32_t point = length == 1 ? lead : lead & (0xFFu >> (length + 1));
    for (size_t i = 1; i < length; ++i) {
        point = (point << 6) | (static_cast<uint8_t>(text[at + i]) & 0x3F);
    }
    return point;
}

bool IsValid(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = SequenceLength(text, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

size_t PrefixBytes(std::string_view text, size_t characters) {
    size_t at = 0;
    for (size_t n = 0; n < characters && at < text.size(); ++n) {
        const size_t length = SequenceLength(text, at);
        at += length == 0 ? 1 : length;
    }
    return at;
}

std::string Printable(std::string_view text) {
    std::string printable;
    for (size_t at = 0; at < text.size();) {
        const size_t length = SequenceLength(text, at);
        const auto byte = static_cast<uint8_t>(text[at]);
        if (length > 1 || (length == 1 && byte >= 0x20 && byte != 0x7F && byte != '\\')) {
            printable.append(text.substr(at, length));
            at += length;
            continue;
        }
        if (byte == '\\') {
            printable += "\\\\";
        } else if (byte == '\n') {
            printable += "\\n";
        } else if (byte == '\t') {
            printable += "\\t";
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            printable += escaped;
        }
        ++at;
    }
    return printable;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

}  // namespace kx520::utf8
