#include "online/UpdateService.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <filesystem>
#include <fstream>

#include "online/AppVersion.h"
#include "platform/ProgramText.h"
#include "online/HttpClient.h"
#include "online/ProxySource.h"
#include "online/UpdateCheckSink.h"
#include "online/UpdateChecker.h"
#include "online/UpdateTimeFile.h"
#include "support/LoopbackUpdateService.h"
#include "support/TempDir.h"

namespace kx520::online {
namespace {

using test::LoopbackUpdateService;

class NoProxy : public ProxySource {
public:
    std::vector<std::string> ProxiesFor(const std::string&) override { return {"direct://"}; }
};

std::unique_ptr<HttpClient> Client() {
    HttpSettings settings;
    settings.receiveMs = 1000;
    return std::make_unique<HttpClient>(settings, std::make_unique<NoProxy>());
}

Json::Value Parsed(const char* text) {
    Json::Value value;
    Json::Reader().parse(text, value);
    return value;
}

FirmwareIdEntry Row(size_t index, int32_t version) {
    FirmwareIdEntry row = kFirmwareIdTable[index];
    row.currentVersion = version;
    return row;
}

TEST(UpdateServiceWire, KeysBodiesAndAddresses) {
    EXPECT_EQ(UpdateService::AppKey(Row(1, 0x105)), "PELMO_1_QD70M01A_KB_1");
    EXPECT_EQ(UpdateService::AppKey(Row(3, 100)), "PELMO_0_ALL_KX520_1");
    EXPECT_EQ(UpdateService::AppKey(Row(0, 0)), "NULL");
    EXPECT_EQ(UpdateService::RequestBody("K", 0x105, true), std::string("app_key=K&version=105\0", 22));
    EXPECT_EQ(UpdateService::RequestBody("K", 1000, false), std::string("app_key=K&version=1000\0", 23));
    EXPECT_EQ(UpdateService::RequestBody("a b&c", 0xABC, true), std::string("app_key=a b&c&version=abc\0", 26));
    EXPECT_EQ(UpdateService::UpdatesUrl("http://h:1"), "http://h:1/api/updates");
    EXPECT_EQ(UpdateService::UpdatesUrl("http://h:1/api/"), "http://h:1/api/updates");
    EXPECT_EQ(UpdateService::UpdatesUrl("http://h:1/"), "http://h:1/api/updates");
    EXPECT_EQ(UpdateService::UpdatesUrl(""), "");
    EXPECT_EQ(UpdateService::VersionText(0x105, true), "V0105");
    EXPECT_EQ(UpdateService::VersionText(0x12345, true), "V12345");
    EXPECT_EQ(UpdateService::VersionText(1000, false), "V1000");
}

TEST(UpdateServiceWire, OfferedVersionsAreWholeNumbersOfTheirBase) {
    struct Case {
        const char* text;
        bool hex;
        int32_t offered;
    };
    for (const Case& c : std::vector<Case>{{"0102", true, 0x102}, {"ABcd", true, 0xabcd},
                                           {"1001", false, 1001}, {"7fffffff", true, INT32_MAX},
                                           {"80000000", true, 0}, {"2147483647", false, INT32_MAX},
                                           {"2147483648", false, 0}, {"99999999999999999999", false, 0},
                                           {"01g2", true, 0}, {"12a", false, 0}, {"", true, 0},
                                           {"-1", false, 0}, {" 12", false, 0}, {"1.0", false, 0}}) {
        EXPECT_EQ(UpdateService::OfferedVersion(c.text, c.hex), c.offered) << c.text;
    }
    EXPECT_EQ(VersionNumber("1.0.0.0"), 1000);
    EXPECT_EQ(VersionNumber("0.1.0.0"), 100);
    EXPECT_EQ(VersionNumber("9.9.9.9999999999"), 0);
    EXPECT_GT(InstalledAppVersion(), 0);
    EXPECT_EQ(std::string(AppVersionText()), std::string("V") + ProgramVersion());
}

// One reply against one installed version: what the row becomes.
TEST(UpdateServiceCheck, EveryReplyShapeGivesItsRecord) {
    struct Case {
        const char* reply;
        int32_t current;
        bool hex;
        int32_t status;
        std::string name, oldText, newText;
    };
    const std::vector<Case> cases = {
        {R"({"body":{"name":"KB","version":"0102","path":"p"}})", 0x101, true, 1, "KB", "V0101", "V0102"},
        {R"({"body":{"name":"KB","version":"0102"}})", 0x102, true, 7, "KB", "V0102", "V0102"},
        {R"({"body":{"name":"KX","version":"1001","version_name":"V1.0.0.1"}})", 1000, false, 1, "KX",
         "V1000", "V1.0.0.1"},
        {R"({"body":{"name":"KB","version":"01g2"}})", 0x101, true, 7, "KB", "V0101", "V01g2"},
        {R"({"body":{"name":"KB","version":"ffffffffff"}})", 0x101, true, 7, "KB", "V0101", "Vffffffffff"},
        {R"({"body":{"name":7,"version":5}})", 0x101, true, 7, "", "V0101", "V"},
        {R"({"status":404,"body":{"name":"KB","version":"0200"}})", 0x101, true, 1, "KB", "V0101", "V0200"},
        {R"({"body":{"version":"0200"}})", 0x101, true, 1, "", "V0101", "V0200"},
        {R"({"shape":"empty"})", 0x101, true, 0, "", "", ""},
        {R"({"shape":"text","body":"<html>"})", 0x101, true, 0, "", "", ""},
        {R"({"body":[1,2]})", 0x101, true, 0, "", "", ""},
        {R"({"shape":"large","bytes":204800})", 0x101, true, 0, "", "", ""},
        {R"({"shape":"chunks","body":"{\"name\":\"KB\",\"version\":\"0102\"}","bytes":4})", 0x101, true, 1,
         "KB", "V0101", "V0102"},
    };
    for (const Case& c : cases) {
        Json::Value replies;
        replies["*"] = Parsed(c.reply);
        LoopbackUpdateService service(replies);
        auto client = Client();
        UpdateService update(*client, service.BaseUrl());
        const UpdateRecord record = update.CheckForUpdate("K", c.current, c.hex);
        EXPECT_EQ(record.status, c.status) << c.reply;
        EXPECT_EQ(record.name, c.name) << c.reply;
        EXPECT_EQ(record.currentVersionText, c.oldText) << c.reply;
        EXPECT_EQ(record.newVersionText, c.newText) << c.reply;
    }
}

TEST(UpdateServiceCheck, TheRequestIsOnePostOfTheBodyAndItsZeroByte) {
    LoopbackUpdateService service(Json::Value(Json::objectValue));
    auto client = Client();
    UpdateService update(*client, service.BaseUrl());
    update.CheckForUpdate("PELMO_1_QD70M01A_KB_1", 0x105, true);
    const auto requests = service.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/api/updates");
    EXPECT_EQ(requests[0].body, std::string("app_key=PELMO_1_QD70M01A_KB_1&version=105\0", 42));
    EXPECT_EQ(requests[0].Header("Content-Length"), "42");
}

TEST(UpdateServiceCheck, WithoutAnAddressNothingLeavesAndTheRowIsUnreachable) {
    auto client = Client();
    UpdateService update(*client, "");
    EXPECT_EQ(update.CheckForUpdate("K", 1, true).name, "NO_LINK_SERVER");
    UpdateService closed(*client, "http://127.0.0.1:1");
    EXPECT_EQ(closed.CheckForUpdate("K", 1, true).name, "NO_LINK_SERVER");
}

// What the window is told, in order.
class RecordingSink : public UpdateCheckSink {
public:
    void SetUpdateState(int state) override { events.push_back("state " + std::to_string(state)); }
    void AddUpdateItem(const UpdateRecord& r) override {
        events.push_back("add " + r.name + " " + r.currentVersionText + " " + std::to_string(r.status));
    }
    void RefreshUpdateItem(const UpdateRecord& r, int row) override {
        events.push_back("refresh " + std::to_string(row) + " " + r.name + " " + r.currentVersionText + " " +
                         r.newVersionText + " " + std::to_string(r.status) + (r.unreachable ? " unreachable" : ""));
        localFiles.push_back(r.localFile);
    }
    void CheckFinished(int failures) override { events.push_back("done " + std::to_string(failures)); }
    std::vector<std::string> events;
    std::vector<std::string> localFiles;
};

TEST(UpdateCheckerRun, PlaceholdersThenOneAnswerPerRow) {
    Json::Value replies;
    replies["PELMO_1_QD70M01A_KB_1"] = Parsed(R"({"body":{"name":"x","version":"0106"}})");
    replies["PELMO_0_ALL_KX520_1"] = Parsed(R"({"shape":"text","body":"?"})");
    LoopbackUpdateService service(replies);
    auto client = Client();
    UpdateService update(*client, service.BaseUrl());
    test::TempDir data;
    UpdateChecker checker(update, data.Path() + "/");
    RecordingSink sink;
    const auto rows = UpdateChecker::IdentityRows({0, 0x105, 0}, 100);
    checker.Run(rows, sink, {});
    const std::string app = AppVersionText();
    EXPECT_EQ(sink.events, (std::vector<std::string>{
                               "state 0", "add KB V0105 7", "add AP " + app + " 7",
                               "refresh 0 KB V0105 V0106 1", "refresh 1 KX520 " + app + "  7", "done 0"}));
    EXPECT_EQ(UpdateTimeFile::Read(data.Path() + "/"), UpdateTimeFile::Today());
    ASSERT_EQ(sink.localFiles.size(), 2u);
    EXPECT_EQ(std::filesystem::path(sink.localFiles[0]).filename(), "KB.exe");
    EXPECT_EQ(std::filesystem::path(sink.localFiles[0]).parent_path().filename(), "UpdateData");
}

TEST(UpdateCheckerRun, UnreachableRowsCountAsFailures) {
    auto client = Client();
    UpdateService update(*client, "");
    test::TempDir data;
    UpdateChecker checker(update, data.Path() + "/");
    RecordingSink sink;
    checker.Run(UpdateChecker::IdentityRows({0x201, 0, 0}, 100), sink, {});
    EXPECT_EQ(sink.events.back(), "done 2");
    EXPECT_EQ(sink.events[3], "refresh 0 MS V0201  7 unreachable");
}

TEST(UpdateCheckerRun, AStopBeforeTheFirstAnswerTellsNothingMore) {
    auto client = Client();
    UpdateService update(*client, "");
    test::TempDir data;
    UpdateChecker checker(update, data.Path() + "/");
    RecordingSink sink;
    std::stop_source stop;
    stop.request_stop();
    checker.Run(UpdateChecker::IdentityRows({0x201, 0, 0}, 100), sink, stop.get_token());
    EXPECT_EQ(sink.events.size(), 3u);  // the state and the two placeholders
}

TEST(UpdateCheckerRows, OnlyRowsWithAVersionInTableOrder) {
    const auto none = UpdateChecker::IdentityRows({0, 0, 0}, 100);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(UpdateChecker::Placeholder(none[0]).name, "AP");
    const auto all = UpdateChecker::IdentityRows({1, 2, 3}, 4);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(std::string(all[2].typeCode2), "KX520");
    EXPECT_EQ(all[2].currentVersion, 3);
    EXPECT_TRUE(UpdateChecker::IdentityRows({0, 0, 0}, 0).empty());
    EXPECT_EQ(UpdateChecker::FinalState(true, 3, 3), 1);
    EXPECT_EQ(UpdateChecker::FinalState(false, 3, 3), 2);
    EXPECT_EQ(UpdateChecker::FinalState(false, 0, 0), 2);
    EXPECT_EQ(UpdateChecker::FinalState(false, 2, 3), 4);
}

TEST(UpdateTimeFileTest, TheFirstCheckWritesTodayLaterOnesKeepTheDate) {
    test::TempDir data;
    const std::string folder = data.Path() + "/";
    EXPECT_EQ(UpdateTimeFile::Read(folder), "");
    EXPECT_EQ(UpdateTimeFile::ReadOrStart(folder), UpdateTimeFile::Today());
    ASSERT_TRUE(UpdateTimeFile::Write(folder, "2024-3-5"));
    EXPECT_EQ(UpdateTimeFile::ReadOrStart(folder), "2024-3-5");
    std::ifstream file(folder + "updatetime.config");
    Json::Value root;
    file >> root;
    EXPECT_EQ(root["updatelasttime"]["value"].asString(), "2024-3-5");
    EXPECT_EQ(root.getMemberNames().size(), 1u);
    for (const char* hostile : {"[1]", R"({"updatelasttime":5})", R"({"updatelasttime":{"value":[1]}})", "{"}) {
        std::ofstream(folder + "updatetime.config") << hostile;
        EXPECT_EQ(UpdateTimeFile::Read(folder), "") << hostile;
    }
    const std::string today = UpdateTimeFile::Today();
    EXPECT_EQ(today.find("-0"), std::string::npos);
}

}  // namespace
}  // namespace kx520::online
