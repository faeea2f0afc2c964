#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "hid/HidCaps.h"

namespace kx520::hid {

class HidCollection;

// Unusable: the interface is there but its report descriptor was refused.
enum class HidError { None, NotFound, AccessDenied, Failed, Unusable };

enum class HidIoStatus { Ok, TimedOut, Cancelled, Failed };

struct HidIoResult {
    HidIoStatus status = HidIoStatus::Failed;
    size_t count = 0;
};

inline constexpr int kInfiniteTimeout = -1;

struct HidOpenMode {
    bool read = true;
    bool write = false;
    bool exclusive = false;
};

// One opened top-level collection. Reads deliver only this collection's input
// reports, report id first (0 for unnumbered reports), as the command channel
// and the notification threads expect them.
class HidConnection {
public:
    virtual ~HidConnection() = default;

    virtual const HidAttributes& Attributes() const = 0;
    virtual const HidCollection& Collection() const = 0;

    // Waits up to `timeoutMs` (kInfiniteTimeout: for ever) for one input
    // report. A time-out leaves nothing pending.
    virtual HidIoResult Read(std::span<uint8_t> buffer, int timeoutMs) = 0;
    virtual HidIoResult Write(std::span<const uint8_t> report, int timeoutMs) = 0;
    // An output report through the control pipe (SET_REPORT), for devices
    // that take their output reports so; the interrupt pipe's Write where
    // the connection has no other way.
    virtual HidIoResult SetOutputReport(std::span<const uint8_t> report, int timeoutMs) {
        return Write(report, timeoutMs);
    }
    // Drops the input reports already waiting, so a late reply can never
    // answer the next request.
    virtual void DiscardInput() = 0;
    // Wakes every waiting Read or Write at once, from any thread; every
    // later call fails. Used when the owner closes the link.
    virtual void Cancel() = 0;
};

struct HidOpenResult {
    std::shared_ptr<HidConnection> connection;
    HidError error = HidError::None;
};

// Where HID interfaces come from: the hidraw nodes of the machine or the
// virtual devices. A backend is used from several threads at once.
class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Appends the path of every present top-level collection; false when the
    // backend could not be listed (the paths it did find are kept).
    virtual bool Enumerate(std::vector<std::string>& paths) = 0;
    virtual bool Owns(const std::string& path) const = 0;
    virtual HidOpenResult Open(const std::string& path, const HidOpenMode& mode) = 0;
    // True while the interface behind `path` is present and still the same
    // physical device; opens nothing.
    virtual bool Probe(const std::string& path) = 0;
    // `listener` is called, from any thread, when the interfaces may have
    // changed: a hint to look now rather than at the next poll, never the
    // only way a change is seen. nullptr stops the calls; when that returns
    // none is running. A backend that cannot tell ignores it.
    virtual void SetChangeListener(std::function<void()> listener) { (void)listener; }
};

const char* HidErrorText(HidError error);

}  // namespace kx520::hid
