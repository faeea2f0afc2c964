#pragma once

#include <array>
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "catalog/DeviceCatalog.h"
#include "online/UpdateRecord.h"

namespace kx520::online {

class UpdateCheckSink;
class UpdateService;

// One run of the update check over the identity rows handed to the
// settings window: placeholders first, then one question per row.
class UpdateChecker {
public:
    // The update identity rows with their current versions: the devices'
    // by catalogue index (0 for an absent one), the application's last;
    // only rows whose version is not 0, in table order.
    static std::vector<FirmwareIdEntry> IdentityRows(
        const std::array<int32_t, kFirmwareIdTable.size() - 1>& deviceVersions, int32_t appVersion);
    // What a row shows while there is no usable answer.
    static UpdateRecord Placeholder(const FirmwareIdEntry& row);
    // Where an update of this name would be kept once downloaded (the
    // temporary "UpdateData" folder, created when missing).
    static std::string LocalFile(const std::string& name);

    // The state the check ends in: 1 when a row offers an update, else 2
    // when every row failed to reach the service (none counts), else 4.
    static int FinalState(bool anyOffered, int failures, int rows) {
        return anyOffered ? 1 : (failures == rows ? 2 : 4);
    }

    // `dataFolder`: where "updatetime.config" is rewritten after each answer.
    UpdateChecker(UpdateService& service, std::string dataFolder)
        : m_service(service), m_dataFolder(std::move(dataFolder)) {}

    // Runs the whole check; a stop request ends it between rows or inside
    // a request, and nothing more reaches `sink` after that.
    void Run(const std::vector<FirmwareIdEntry>& rows, UpdateCheckSink& sink, std::stop_token stop);

private:
    UpdateService& m_service;
    std::string m_dataFolder;
};

}  // namespace kx520::online
