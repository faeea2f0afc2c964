#include "scripting/UpdateCommand.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <json/writer.h>

#include "online/HttpClient.h"
#include "online/UpdateCheckSink.h"
#include "online/UpdateChecker.h"
#include "online/UpdateService.h"
#include "platform/DataFolders.h"
#include "scripting/JsonAnswer.h"

namespace kx520 {

namespace {

// The rows as the settings window would show them at the end.
class CollectingSink : public online::UpdateCheckSink {
public:
    void SetUpdateState(int) override {}
    void AddUpdateItem(const online::UpdateRecord& record) override { records.push_back(record); }
    void RefreshUpdateItem(const online::UpdateRecord& record, int row) override {
        if (row >= 0 && static_cast<size_t>(row) < records.size()) {
            records[static_cast<size_t>(row)] = record;
        }
    }
    void CheckFinished(int count) override { failures = count; }

    std::vector<online::UpdateRecord> records;
    int failures = 0;
};

std::string Answer(const CollectingSink& sink, const std::string& service) {
    Json::Value answer(Json::objectValue);
    Json::Value rows(Json::arrayValue);
    bool any = false;
    for (const online::UpdateRecord& record : sink.records) {
        Json::Value row(Json::objectValue);
        row["name"] = record.name;
        row["current"] = record.currentVersionText;
        row["offered"] = record.status == online::UpdateRecord::kPlaceholderStatus ? "" : record.newVersionText;
        row["status"] = record.status;
        row["reached"] = !record.unreachable;
        rows.append(row);
        any = any || (record.status != 0 && record.status != online::UpdateRecord::kPlaceholderStatus);
    }
    answer["rows"] = rows;
    answer["failures"] = sink.failures;
    answer["service"] = service;
    answer["state"] = online::UpdateChecker::FinalState(any, sink.failures, static_cast<int>(sink.records.size()));
    return Json::FastWriter().write(answer);
}

}  // namespace

UpdateCommand::~UpdateCommand() {
    for (Check& check : m_checks) {
        check.thread.request_stop();
    }
    m_checks.clear();  // joins
}

void UpdateCommand::Run(const QStringList& args, std::vector<FirmwareIdEntry> rows,
                        std::string serviceAddress, Reply reply) {
    if (args.size() != 1 || args.front() != QLatin1String("check")) {
        reply(JsonError(QStringLiteral("usage: update check")));
        return;
    }
    // Finished checks leave their threads here until the next one starts.
    m_checks.remove_if([](const Check& check) { return check.done->load(); });
    QCoreApplication* app = QCoreApplication::instance();
    auto done = std::make_shared<std::atomic<bool>>(false);
    Check& check = m_checks.emplace_back();
    check.done = done;
    check.thread = std::jthread([rows = std::move(rows), service = std::move(serviceAddress),
                                 reply = std::move(reply), app, done](std::stop_token stop) {
        online::HttpClient client;
        online::UpdateService update(client, service);
        online::UpdateChecker checker(update, UserDataFolder());
        CollectingSink sink;
        checker.Run(rows, sink, stop);
        if (!stop.stop_requested() && app != nullptr) {
            const QString answer = QString::fromStdString(Answer(sink, service));
            QMetaObject::invokeMethod(app, [reply, answer] { reply(answer); }, Qt::QueuedConnection);
        }
        *done = true;
    });
}

}  // namespace kx520
