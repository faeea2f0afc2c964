#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "hid/HidBackend.h"
#include "hid/HidCaps.h"

namespace kx520::hid {

// One decoded item of the last input report: a button capability (with the
// usages that were on) or one usage of a value capability.
struct HidDataEntry {
    bool isButton = false;
    uint16_t usagePage = 0;
    uint32_t status = kHidpStatusSuccess;
    uint32_t reportId = 0;
    bool isSet = false;
    // Button entries.
    uint16_t usageMin = 0;
    uint16_t usageMax = 0;
    uint32_t maxUsageListLength = 0;
    std::vector<uint16_t> usageList;
    // Value entries.
    uint16_t usage = 0;
    uint32_t rawValue = 0;
    int32_t scaledValue = 0;
};

// One HID interface (one top-level collection, one device path): lists the
// interfaces present, opens one, reads its attributes and capabilities and
// moves reports with a time-out that Close on another thread cuts short.
class HidCollection;

class HidDevice {
public:
    explicit HidDevice(HidBackend& backend);
    ~HidDevice();
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Replaces the path list with every present interface; false when a
    // backend could not be listed (the paths that were found are kept).
    bool Enumerate();
    // The next path of the list, or nullptr at its end or before Enumerate.
    const std::string* NextPath();
    void FreePathList();
    size_t PathCount() const { return m_paths.size(); }

    bool Open(const std::string& path, bool read, bool write, bool overlapped, bool exclusive);
    bool Reopen();
    void Close();

    // `count`, when given, is 0 unless the transfer completed.
    bool Read(uint8_t* buffer, size_t length, size_t* count, int timeoutMs);
    bool Write(const uint8_t* buffer, size_t length, size_t* count, int timeoutMs);
    // An output report as SET_REPORT sends it (the headset's LED reports).
    bool SetOutputReport(const uint8_t* buffer, size_t length, int timeoutMs);
    // Drops input reports already waiting on the open interface.
    void DiscardInput();

    bool ParseInputReport(const uint8_t* report, size_t length);
    // Decodes a report of a notification interface and returns its code: the
    // first usage of the first input data entry, when that entry is a button
    // entry that carries one. Nothing for any other report.
    std::optional<uint16_t> ParseNotificationCode(const uint8_t* report, size_t length);

    // True while `path` names a present interface of the same device.
    bool Exists(const std::string& path) const { return m_backend.Probe(path); }

    bool IsOpen() const;
    HidError LastError() const { return m_lastError; }
    const std::string& Path() const { return m_path; }
    const HidAttributes& Attributes() const { return m_attributes; }
    uint16_t VendorId() const { return m_attributes.vendorId; }
    uint16_t ProductId() const { return m_attributes.productId; }
    uint16_t VersionNumber() const { return m_attributes.versionNumber; }
    const HidCaps& Caps() const { return m_caps; }
    uint32_t InterfaceNumber() const { return m_interfaceNumber; }
    uint32_t CollectionNumber() const { return m_collectionNumber; }
    bool ReadAccess() const { return m_readAccess; }
    bool WriteAccess() const { return m_writeAccess; }
    bool Overlapped() const { return m_overlapped; }
    bool Exclusive() const { return m_exclusive; }

    std::span<uint8_t> InputReport() { return m_reports[0].buffer; }
    const std::vector<HidDataEntry>& InputData() const { return m_reports[0].data; }
    const std::vector<HidButtonCaps>& ButtonCaps(HidReportType type) const {
        return m_reports[static_cast<size_t>(type)].buttonCaps;
    }
    const std::vector<HidValueCaps>& ValueCaps(HidReportType type) const {
        return m_reports[static_cast<size_t>(type)].valueCaps;
    }


private:
    struct ReportTables {
        std::vector<uint8_t> buffer;
        std::vector<HidDataEntry> data;
        std::vector<HidButtonCaps> buttonCaps;
        std::vector<HidValueCaps> valueCaps;
    };

    bool LoadCapabilities(const std::shared_ptr<HidConnection>& connection);
    bool LoadReportTables(HidReportType type, const HidCollection& collection);
    void ClearCapabilities();
    std::shared_ptr<HidConnection> Connection() const;
    bool ParseLocked(const uint8_t* report, size_t length);

    HidBackend& m_backend;
    std::vector<std::string> m_paths;
    size_t m_nextPath = 0;
    bool m_readAccess = false;
    bool m_writeAccess = false;
    bool m_overlapped = false;
    bool m_exclusive = false;
    // Guards the open interface and the report tables: Close on another
    // thread never frees them under a waiting Read or a running parse.
    mutable std::mutex m_stateLock;
    std::shared_ptr<HidConnection> m_connection;
    std::string m_path;
    HidCaps m_caps;
    HidAttributes m_attributes;
    std::array<ReportTables, kHidReportTypeCount> m_reports;
    uint32_t m_interfaceNumber = 0;
    uint32_t m_collectionNumber = 0;
    HidError m_lastError = HidError::None;
};

}  // namespace kx520::hid
