#include "lighting/AudioCopyData.h"

#include <algorithm>

namespace kx520 {

namespace {

template <size_t N>
bool CopyInto(std::array<char, N>& target, const char* data, size_t size) {
    if (size > target.size()) {
        return false;
    }
    std::copy(data, data + size, target.begin());
    return true;
}

}  // namespace

bool AudioCopyData::Accept(uint32_t kind, const char* data, size_t size) {
    if (data == nullptr || size == 0) {
        return false;
    }
    // The music pages that read these buffers come with the audio services.
    if (kind == kSpectrum) {
        return CopyInto(m_spectrum, data, size);
    }
    if (kind == kState) {
        return CopyInto(m_state, data, size);
    }
    return false;
}

}  // namespace kx520
