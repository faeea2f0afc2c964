#include "fuzz/DescriptorGrammar.h"

#include <algorithm>

#include "fuzz/FuzzInput.h"
#include "hid/HidDescriptorBuilder.h"

namespace kx520::fuzz {

namespace {

using B = hid::HidDescriptorBuilder;

uint32_t Count(FuzzInput& input) {
    static constexpr uint32_t kCounts[] = {0, 1, 2, 6, 63, 255, 256, 4096, 12288, 65535, 65536};
    const uint8_t pick = input.Byte();
    return pick < 200 ? kCounts[pick % std::size(kCounts)] : input.Word();
}

uint32_t Size(FuzzInput& input) {
    static constexpr uint32_t kSizes[] = {1, 1, 8, 8, 16, 32, 0, 31, 33, 7};
    return kSizes[input.Below(std::size(kSizes))];
}

uint32_t UsageValue(FuzzInput& input) {
    switch (input.Below(4)) {
        case 0: return input.Byte();
        case 1: return input.Word();
        case 2: return input.Uint32();  // four bytes: a page of its own
        default: return static_cast<uint32_t>(input.Extreme());
    }
}

uint32_t MainFlags(FuzzInput& input) {
    static constexpr uint32_t kFlags[] = {B::kData | B::kArray, B::kData | B::kVariable,
                                          B::kConstant, B::kVariable | B::kRelative,
                                          B::kVariable | B::kNullState, 0x1FF};
    return input.Flag() ? kFlags[input.Below(std::size(kFlags))] : input.Word();
}

// One item; `depth` follows the collections opened so far.
void AddItem(FuzzInput& input, B& b, int& depth) {
    switch (input.Below(22)) {
        case 0: b.UsagePage(input.Flag() ? input.Below(16) : input.Word()); break;
        case 1: b.Usage(UsageValue(input)); break;
        case 2: b.UsageMinimum(UsageValue(input)); break;
        case 3: b.UsageMaximum(UsageValue(input)); break;
        case 4: b.LogicalMinimum(input.Extreme()); break;
        case 5: b.LogicalMaximum(input.Extreme()); break;
        case 6: b.PhysicalMinimum(input.Extreme()); break;
        case 7: b.PhysicalMaximum(input.Extreme()); break;
        case 8: b.UnitExponent(input.Extreme()); break;
        case 9: b.Unit(input.Uint32()); break;
        case 10: b.ReportSize(Size(input)); break;
        case 11: b.ReportCount(Count(input)); break;
        case 12: b.ReportId(input.Flag() ? 1 + input.Below(4) : input.Word() % 258); break;
        case 13: b.Push(); break;
        case 14: b.Pop(); break;
        case 15:
            b.Collection(input.Below(8));
            ++depth;
            break;
        case 16:
            b.EndCollection();
            --depth;
            break;
        case 17: b.Input(MainFlags(input)); break;
        case 18: b.Output(MainFlags(input)); break;
        case 19: b.Feature(MainFlags(input)); break;
        case 20: b.Raw({input.Byte()}); break;
        default: {
            // A usage and a main item repeated: many fields from few bytes.
            const uint32_t usage = UsageValue(input);
            const uint32_t flags = MainFlags(input);
            const uint32_t times = 1 + input.Below(200) * (input.Flag() ? 8 : 1);
            for (uint32_t i = 0; i < times; ++i) {
                b.Usage(usage + i % 8).Input(flags);
            }
            break;
        }
    }
}

}  // namespace

std::vector<uint8_t> GenerateDescriptor(FuzzInput& input, size_t maxBytes) {
    B b;
    int depth = 0;
    // Most cases start as a device does: a page, a usage, a collection.
    if (input.Byte() < 200) {
        b.UsagePage(input.Flag() ? 0xFF1C : 0x09).Usage(1).Collection(B::kApplication);
        depth = 1;
    }
    while (!input.Empty() && b.Bytes().size() < maxBytes) {
        AddItem(input, b, depth);
    }
    // Usually closed, so that the cases reach the decoder.
    if (depth > 0 && depth < 40 && (b.Bytes().size() % 8) != 0) {
        while (depth-- > 0) {
            b.EndCollection();
        }
    }
    std::vector<uint8_t> bytes = b.Bytes();
    if (bytes.size() > maxBytes) {
        bytes.resize(maxBytes);
    }
    return bytes;
}

}  // namespace kx520::fuzz
