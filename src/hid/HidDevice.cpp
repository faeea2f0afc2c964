#include "hid/HidDevice.h"

#include <algorithm>

#include "hid/DevicePath.h"
#include "hid/HidCollection.h"
#include "hid/HidReportDescriptor.h"

namespace kx520::hid {

HidDevice::HidDevice(HidBackend& backend) : m_backend(backend) {}

HidDevice::~HidDevice() {
    Close();
    FreePathList();
}

bool HidDevice::Enumerate() {
    m_paths.clear();
    m_nextPath = 0;
    return m_backend.Enumerate(m_paths);
}

const std::string* HidDevice::NextPath() {
    if (m_nextPath >= m_paths.size()) {
        return nullptr;
    }
    return &m_paths[m_nextPath++];
}

void HidDevice::FreePathList() {
    m_paths.clear();
    m_paths.shrink_to_fit();
    m_nextPath = 0;
}

bool HidDevice::Open(const std::string& path, bool read, bool write, bool overlapped,
                     bool exclusive) {
    m_readAccess = read;
    m_writeAccess = write;
    m_overlapped = overlapped;
    m_exclusive = exclusive;
    m_path = path;
    return Reopen();
}

bool HidDevice::Reopen() {
    Close();
    HidOpenResult opened =
        m_backend.Open(m_path, HidOpenMode{m_readAccess, m_writeAccess, m_exclusive});
    m_lastError = opened.error;
    if (!opened.connection) {
        if (m_lastError == HidError::None) {
            m_lastError = HidError::Failed;
        }
        return false;
    }
    std::lock_guard lock(m_stateLock);
    if (!LoadCapabilities(opened.connection)) {
        opened.connection->Cancel();
        ClearCapabilities();
        m_lastError = HidError::Unusable;
        return false;
    }
    m_connection = std::move(opened.connection);
    return true;
}

void HidDevice::Close() {
    std::shared_ptr<HidConnection> connection;
    {
        std::lock_guard lock(m_stateLock);
        connection = std::move(m_connection);
        m_connection.reset();
        ClearCapabilities();
    }
    if (connection) {
        // Wakes a Read or Write still waiting on another thread; the
        // connection goes away when the last of them returns.
        connection->Cancel();
    }
}

bool HidDevice::IsOpen() const {
    std::lock_guard lock(m_stateLock);
    return m_connection != nullptr;
}

std::shared_ptr<HidConnection> HidDevice::Connection() const {
    std::lock_guard lock(m_stateLock);
    return m_connection;
}

bool HidDevice::Read(uint8_t* buffer, size_t length, size_t* count, int timeoutMs) {
    if (count != nullptr) {
        *count = 0;
    }
    const auto connection = Connection();
    if (!connection || buffer == nullptr || length == 0) {
        return false;
    }
    const HidIoResult result = connection->Read(std::span<uint8_t>(buffer, length), timeoutMs);
    if (result.status != HidIoStatus::Ok) {
        return false;
    }
    if (count != nullptr) {
        *count = result.count;
    }
    return true;
}

bool HidDevice::Write(const uint8_t* buffer, size_t length, size_t* count, int timeoutMs) {
    if (count != nullptr) {
        *count = 0;
    }
    const auto connection = Connection();
    if (!connection || buffer == nullptr || length == 0) {
        return false;
    }
    const HidIoResult result =
        connection->Write(std::span<const uint8_t>(buffer, length), timeoutMs);
    if (result.status != HidIoStatus::Ok) {
        return false;
    }
    if (count != nullptr) {
        *count = result.count;
    }
    return true;
}

bool HidDevice::SetOutputReport(const uint8_t* buffer, size_t length, int timeoutMs) {
    const auto connection = Connection();
    if (!connection || buffer == nullptr || length == 0) {
        return false;
    }
    return connection->SetOutputReport(std::span<const uint8_t>(buffer, length), timeoutMs).status ==
           HidIoStatus::Ok;
}

void HidDevice::DiscardInput() {
    if (const auto connection = Connection()) {
        connection->DiscardInput();
    }
}

bool HidDevice::ParseInputReport(const uint8_t* report, size_t length) {
    std::lock_guard lock(m_stateLock);
    return ParseLocked(report, length);
}

std::optional<uint16_t> HidDevice::ParseNotificationCode(const uint8_t* report, size_t length) {
    std::lock_guard lock(m_stateLock);
    if (!ParseLocked(report, length) || m_reports[0].data.empty()) {
        return std::nullopt;
    }
    // The first entry of the report that came: a collection may carry other
    // reports before its notifications (the headset's keys).
    const auto first = std::find_if(m_reports[0].data.begin(), m_reports[0].data.end(),
                                    [](const HidDataEntry& entry) { return entry.isSet; });
    if (first == m_reports[0].data.end() || !first->isButton || first->status != kHidpStatusSuccess ||
        first->usageList.empty() || first->usageList[0] == 0) {
        return std::nullopt;
    }
    return first->usageList[0];
}

bool HidDevice::ParseLocked(const uint8_t* report, size_t length) {
    if (!m_connection || report == nullptr || length == 0) {
        return false;
    }
    const HidCollection& collection = m_connection->Collection();
    const std::span<const uint8_t> bytes(report, length);
    const uint8_t reportId = report[0];
    for (HidDataEntry& entry : m_reports[0].data) {
        if (entry.reportId != reportId) {
            entry.isSet = false;  // "set" speaks of the last report only
            continue;
        }
        if (entry.isButton) {
            uint32_t n = entry.maxUsageListLength;
            entry.status = collection.GetUsages(HidReportType::Input, entry.usagePage,
                                                entry.usageList, n, bytes);
            // Keep only this entry's range, compacted to the front.
            uint32_t kept = 0;
            for (uint32_t i = 0; i < n; ++i) {
                const uint16_t usage = entry.usageList[i];
                if (usage >= entry.usageMin && usage <= entry.usageMax) {
                    entry.usageList[kept++] = usage;
                }
            }
            if (kept < entry.usageList.size()) {
                entry.usageList[kept] = 0;
            }
        } else {
            entry.status = collection.GetUsageValue(HidReportType::Input, entry.usagePage,
                                                    entry.usage, entry.rawValue, bytes);
            if (entry.status != kHidpStatusSuccess) {
                return false;
            }
            entry.status = collection.GetScaledUsageValue(HidReportType::Input, entry.usagePage,
                                                          entry.usage, entry.scaledValue, bytes);
        }
        entry.isSet = true;
    }
    return true;
}

bool HidDevice::LoadCapabilities(const std::shared_ptr<HidConnection>& connection) {
    ClearCapabilities();
    const HidCollection& collection = connection->Collection();
    m_attributes = connection->Attributes();
    m_caps = collection.Caps();
    m_interfaceNumber = PathInterfaceNumber(m_path);
    m_collectionNumber = PathCollectionNumber(m_path);
    const std::array<uint16_t, kHidReportTypeCount> lengths{
        m_caps.inputReportByteLength, m_caps.outputReportByteLength,
        m_caps.featureReportByteLength};
    for (int t = 0; t < kHidReportTypeCount; ++t) {
        m_reports[static_cast<size_t>(t)].buffer.assign(lengths[static_cast<size_t>(t)], 0);
        if (!LoadReportTables(static_cast<HidReportType>(t), collection)) {
            return false;
        }
    }
    return true;
}

bool HidDevice::LoadReportTables(HidReportType type, const HidCollection& collection) {
    ReportTables& tables = m_reports[static_cast<size_t>(type)];
    tables.buttonCaps = collection.ButtonCaps(type);
    tables.valueCaps = collection.ValueCaps(type);
    // The parser refuses descriptors over budget; checked again here, before
    // anything is allocated, for a collection that came from elsewhere.
    const HidCollection::DecodeCost cost = collection.Cost(type);
    if (cost.entries > HidReportDescriptor::kMaxDataEntries ||
        cost.usageListEntries > HidReportDescriptor::kMaxUsageListEntries) {
        return false;
    }
    tables.data.clear();
    tables.data.reserve(static_cast<size_t>(cost.entries));
    for (const HidButtonCaps& caps : tables.buttonCaps) {
        HidDataEntry entry;
        entry.isButton = true;
        entry.usagePage = caps.usagePage;
        entry.reportId = caps.reportId;
        entry.usageMin = caps.usageMin;
        entry.usageMax = caps.isRange ? caps.usageMax : caps.usageMin;
        entry.maxUsageListLength = collection.MaxUsageListLength(type, caps.usagePage);
        entry.usageList.assign(entry.maxUsageListLength, 0);
        tables.data.push_back(std::move(entry));
    }
    for (const HidValueCaps& caps : tables.valueCaps) {
        const uint32_t last = caps.isRange ? caps.usageMax : caps.usageMin;
        for (uint32_t usage = caps.usageMin; usage <= last; ++usage) {
            HidDataEntry entry;
            entry.usagePage = caps.usagePage;
            entry.reportId = caps.reportId;
            entry.usage = static_cast<uint16_t>(usage);
            tables.data.push_back(std::move(entry));
        }
    }
    return true;
}

void HidDevice::ClearCapabilities() {
    for (ReportTables& tables : m_reports) {
        tables = ReportTables{};
    }
    m_caps = HidCaps{};
    m_attributes = HidAttributes{};
}

}  // namespace kx520::hid
