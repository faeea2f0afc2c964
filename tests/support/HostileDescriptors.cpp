#include "support/HostileDescriptors.h"

#include "hid/HidDescriptorBuilder.h"

namespace kx520::test {

std::vector<uint8_t> QuadraticUsageListDescriptor(int fields, uint32_t count, int leading) {
    using B = hid::HidDescriptorBuilder;
    B b;
    for (int i = 0; i < leading; ++i) {
        b.UsagePage(0xFF00).Usage(1).Collection(B::kApplication).EndCollection();
    }
    b.UsagePage(0x09).Usage(0x01).Collection(B::kApplication);
    b.LogicalMinimum(0).LogicalMaximum(1).ReportSize(1).ReportCount(count);
    for (int i = 0; i < fields; ++i) {
        if (i % 40 == 0) {
            b.ReportId(1 + i / 40);
        }
        b.Usage(1 + i % 7).Raw({0x80});  // Input (Data, Array) in one byte
    }
    b.EndCollection();
    return b.Bytes();
}

}  // namespace kx520::test
