#include "keycodes/KeyTable.h"

#include <algorithm>

#include "profiles/MacroImage.h"
#include "profiles/MacroReferences.h"

namespace kx520 {

KeyTable::KeyTable(std::span<const KeyCode> pageDefaults, std::span<const uint8_t> rawKeys, size_t deviceKeys)
    : m_pageDefaults(pageDefaults), m_rawKeys(rawKeys), m_deviceKeys(deviceKeys) {}

bool KeyTable::IsMacro(uint8_t type) {
    return type == profiles::MacroReferences::kTypeMacroMode || type == profiles::MacroReferences::kTypeMacroRepeat;
}

std::vector<uint8_t> KeyTable::Map() const {
    std::vector<uint8_t> keys(m_pageDefaults.size(), kUnmapped);
    const size_t count = std::min({m_deviceKeys, kMaxDeviceKeys, m_rawKeys.size() / 3});
    for (size_t j = 0; j < m_pageDefaults.size(); ++j) {
        const KeyCode& wanted = m_pageDefaults[j];
        for (size_t k = 0; k < count; ++k) {
            if (m_rawKeys[3 * k] == wanted.type && m_rawKeys[3 * k + 1] == wanted.param1 &&
                m_rawKeys[3 * k + 2] == wanted.param2) {
                keys[j] = static_cast<uint8_t>(k);
                break;
            }
        }
    }
    return keys;
}

uint8_t KeyTable::DeviceKeyOf(size_t position, const std::vector<uint8_t>& map) const {
    return position < map.size() ? map[position] : kUnmapped;
}

std::vector<uint8_t> KeyTable::Build(const std::vector<profiles::KeyAssignmentEntry>& list, size_t macroCount,
                                     std::vector<int>& macroOrder) const {
    return BuildWith(Map(), list, macroCount, macroOrder);
}

std::vector<uint8_t> KeyTable::BuildWith(const std::vector<uint8_t>& map,
                                         const std::vector<profiles::KeyAssignmentEntry>& list, size_t macroCount,
                                         std::vector<int>& macroOrder) const {
    macroOrder.clear();
    if (m_deviceKeys > kMaxDeviceKeys || 3 * m_deviceKeys > m_rawKeys.size()) {
        return {};
    }
    std::vector<uint8_t> table(m_rawKeys.begin(), m_rawKeys.begin() + static_cast<std::ptrdiff_t>(3 * m_deviceKeys));
    for (size_t i = 0; i < m_pageDefaults.size() && i < list.size(); ++i) {
        const uint8_t k = DeviceKeyOf(i, map);
        if (k == kUnmapped || k >= m_deviceKeys) {
            continue;
        }
        profiles::KeyAction action = list[i].assignment;
        if (IsMacro(action.type)) {
            if (action.param1 < macroCount) {
                const int number = action.param1;
                auto at = std::find(macroOrder.begin(), macroOrder.end(), number);
                if (at == macroOrder.end()) {
                    macroOrder.push_back(number);
                    at = macroOrder.end() - 1;
                }
                action.param1 = static_cast<uint8_t>(at - macroOrder.begin());
            } else {
                action = list[i].defaultAssignment;
            }
        }
        table[3 * k] = action.type;
        table[3 * k + 1] = action.param1;
        table[3 * k + 2] = action.param2;
    }
    return table;
}

std::vector<profiles::KeyAssignmentEntry> KeyTable::Read(const std::vector<profiles::KeyAssignmentEntry>& profileList,
                                                         size_t macroCount) const {
    const std::vector<uint8_t> map = Map();
    std::vector<int> order;
    BuildWith(map, profileList, macroCount, order);
    const size_t count = std::min({m_deviceKeys, kMaxDeviceKeys, m_rawKeys.size() / 3});
    std::vector<profiles::KeyAssignmentEntry> list;
    list.reserve(m_pageDefaults.size());
    for (size_t j = 0; j < m_pageDefaults.size(); ++j) {
        const KeyCode& code = m_pageDefaults[j];
        const auto position = static_cast<uint16_t>(j);
        const profiles::KeyAction fallback{position, code.type, code.param1, code.param2};
        profiles::KeyAction current = fallback;
        const uint8_t k = DeviceKeyOf(j, map);
        if (k != kUnmapped && k < count) {
            current = {position, m_rawKeys[3 * k], m_rawKeys[3 * k + 1], m_rawKeys[3 * k + 2]};
        }
        if (IsMacro(current.type)) {
            if (current.param1 < order.size()) {
                current.param1 = static_cast<uint8_t>(order[current.param1]);
            } else {
                current = fallback;
            }
        }
        list.push_back({current, fallback});
    }
    return list;
}

int KeyTable::MacroImageOf(const profiles::MacroStore& macros, const std::vector<int>& order, size_t capacity,
                           std::vector<uint8_t>& image) {
    image.clear();
    if (macros.Entries().empty() || order.empty()) {
        return 0;
    }
    std::vector<std::vector<profiles::MacroEventBytes>> records;
    std::vector<size_t> counts;
    for (const int number : order) {
        records.push_back(number >= 0 ? macros.DeviceEvents(static_cast<size_t>(number))
                                      : std::vector<profiles::MacroEventBytes>{});
        counts.push_back(records.back().size());
    }
    const size_t length = profiles::MacroImage::Length(counts);
    if (const int overrun = profiles::MacroImage::Overrun(length, capacity); overrun > 0) {
        return overrun;
    }
    image = profiles::MacroImage::Build(records);
    return image.empty() ? kMacroNoMemory : 0;
}

}  // namespace kx520
