#include "online/UpdateChecker.h"

#include <strings.h>

#include <filesystem>

#include "online/AppVersion.h"
#include "online/HttpClient.h"
#include "online/UpdateCheckSink.h"
#include "online/UpdateService.h"
#include "online/UpdateTimeFile.h"

namespace kx520::online {

namespace {

bool IsApplicationProject(const FirmwareIdEntry& row) {
    return strcasecmp(row.projectCode, "ALL") == 0;
}

std::string SafeFileName(std::string name) {
    for (char& c : name) {
        if (c == '/' || c == '\0') {
            c = '_';
        }
    }
    return name == "." || name == ".." || name.empty() ? "_" + name : name;
}

}  // namespace

std::vector<FirmwareIdEntry> UpdateChecker::IdentityRows(
    const std::array<int32_t, kFirmwareIdTable.size() - 1>& deviceVersions, int32_t appVersion) {
    std::vector<FirmwareIdEntry> rows;
    for (size_t index = 0; index < kFirmwareIdTable.size(); ++index) {
        FirmwareIdEntry row = kFirmwareIdTable[index];
        row.currentVersion = index < deviceVersions.size() ? deviceVersions[index] : appVersion;
        if (row.updateKind == 0) {
            row.versionText = AppVersionText();
        }
        if (row.currentVersion != 0) {
            rows.push_back(row);
        }
    }
    return rows;
}

UpdateRecord UpdateChecker::Placeholder(const FirmwareIdEntry& row) {
    UpdateRecord record;
    record.name = IsApplicationProject(row) ? "AP" : row.typeCode2;
    record.currentVersionText = row.updateKind == 0
                                    ? std::string(row.versionText)
                                    : UpdateService::VersionText(row.currentVersion, true);
    record.status = UpdateRecord::kPlaceholderStatus;
    return record;
}

std::string UpdateChecker::LocalFile(const std::string& name) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error) / "UpdateData";
    std::filesystem::create_directories(folder, error);
    return (folder / (SafeFileName(name) + ".exe")).string();
}

void UpdateChecker::Run(const std::vector<FirmwareIdEntry>& rows, UpdateCheckSink& sink,
                        std::stop_token stop) {
    sink.SetUpdateState(0);
    for (const FirmwareIdEntry& row : rows) {
        sink.AddUpdateItem(Placeholder(row));
    }
    int failures = 0;
    bool dateWritten = false;
    for (size_t k = 0; k < rows.size(); ++k) {
        const FirmwareIdEntry& row = rows[k];
        UpdateRecord record = m_service.CheckForUpdate(UpdateService::AppKey(row), row.currentVersion,
                                                       row.updateKind != 0, stop);
        if (stop.stop_requested()) {
            return;
        }
        const bool unreachable =
            strcasecmp(record.name.c_str(), std::string(HttpClient::kNoLinkServer).c_str()) == 0;
        if (unreachable) {
            ++failures;
            record.name.clear();
        }
        if (record.name.empty()) {
            record = Placeholder(row);
        }
        record.unreachable = unreachable;
        record.name = row.typeCode2;
        record.localFile = LocalFile(record.name);
        sink.RefreshUpdateItem(record, static_cast<int>(k));
        // Every row would write the same date again: once is the same file.
        if (!dateWritten) {
            dateWritten = UpdateTimeFile::Write(m_dataFolder, UpdateTimeFile::Today());
        }
    }
    sink.CheckFinished(failures);
}

}  // namespace kx520::online
