#include "platform/EvdevEventReader.h"

#include <linux/input.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/EvdevTranslator.h"

namespace kx520 {

bool EvdevEventReader::ReadAvailable(int fd, std::vector<CapturedInput>& out) {
    uint8_t buffer[64 * sizeof(input_event)];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            Feed(buffer, static_cast<size_t>(got), out);
            continue;
        }
        if (got == 0) {
            return false;  // end of a stream
        }
        if (errno == EINTR) {
            continue;
        }
        return errno == EAGAIN || errno == EWOULDBLOCK;  // ENODEV: unplugged
    }
}

void EvdevEventReader::Feed(const uint8_t* data, size_t size, std::vector<CapturedInput>& out) {
    m_pending.insert(m_pending.end(), data, data + size);
    size_t used = 0;
    while (m_pending.size() - used >= sizeof(input_event)) {
        input_event event{};
        std::memcpy(&event, m_pending.data() + used, sizeof event);
        used += sizeof event;
        Take(event.type, event.code, event.value, out);
    }
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(used));
}

void EvdevEventReader::Take(uint16_t type, uint16_t code, int32_t value, std::vector<CapturedInput>& out) {
    if (type == EV_SYN) {
        if (code == SYN_DROPPED) {
            m_dropping = true;
        } else if (code == SYN_REPORT) {
            m_dropping = false;
        }
        return;
    }
    if (m_dropping) {
        return;
    }
    if (const auto input = EvdevTranslator::Translate(type, code, value)) {
        out.push_back(*input);
    }
}

}  // namespace kx520
