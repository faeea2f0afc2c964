#include "windows/CSetWnd.h"

#include <gtest/gtest.h>
#include <json/reader.h>

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QTest>

#include "../ui/UiTestSupport.h"
#include "builder/CControlFactory.h"
#include "builder/CListUI.h"
#include "controls/CComboUI.h"
#include "controls/COptionUI.h"
#include "messages/RegisteredMessages.h"
#include "online/AppVersion.h"
#include "online/UpdateChecker.h"
#include "online/UpdateTimeFile.h"
#include "platform/DataFolders.h"
#include "support/LoopbackUpdateService.h"
#include "ui/CPaintManagerUI.h"
#include "ui/CResourceManager.h"
#include "ui/CTabLayoutUI.h"
#include "ui/MessageRegistry.h"
#include "windows/CUpdateInfoListItemUI.h"
#include "windows/SettingsCheckSink.h"
#include "windows/WindowControls.h"

namespace kx520 {
namespace {

using test::LoopbackUpdateService;

// Stands in for the main window: keeps the messages the settings window sends it.
class MainStandIn : public ui::WindowImplBase {
public:
    QString GetWindowClassName() const override { return QStringLiteral("Main"); }
    QString GetSkinFile() const override { return {}; }
    qintptr HandleCustomMessage(uint32_t message, quintptr wParam, qintptr, bool&) override {
        received.emplace_back(message, wParam);
        return 0;
    }
    int Count(uint32_t message) const {
        return static_cast<int>(std::count_if(received.begin(), received.end(),
                                              [message](const auto& m) { return m.first == message; }));
    }
    std::vector<std::pair<uint32_t, quintptr>> received;
};

ui::CControlUI* Part(CUpdateInfoListItemUI* row, const QString& name) {
    return ui::CPaintManagerUI::FindSubControlByName(row, name);
}

Json::Value Parsed(const char* text) {
    Json::Value value;
    Json::Reader().parse(text, value);
    return value;
}

class SettingsWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() { RegisterWindowControls(); }
    void SetUp() override {
        ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/en.xml"), nullptr));
        std::remove((UserDataFolder() + online::UpdateTimeFile::kFileName).c_str());
    }
    // The window as the main window opens it, shown without its modal run.
    std::unique_ptr<CSetWnd> Open(std::vector<FirmwareIdEntry> rows, const std::string& service) {
        auto window = std::make_unique<CSetWnd>();
        QString error;
        EXPECT_TRUE(window->Create(&error)) << error.toStdString();
        window->SetMainWindow(&main);
        window->SetLanguageIndex(0);
        window->SetIdentityRows(std::move(rows));
        window->SetServiceAddress(service);
        window->show();
        return window;
    }
    static bool Finished(const CSetWnd& window) {
        return QTest::qWaitFor([&] { return window.UpdateState() != 0; }, 10000);
    }
    static QString Text(const CSetWnd& window, const char* name) {
        return window.FindControl(QLatin1String(name))->GetDisplayText();
    }
    MainStandIn main;
};

// The shipped layout has every control the window and its check look up.
TEST_F(SettingsWindow, TheLayoutHasEveryNamedControl) {
    auto window = Open({}, "");
    for (const char* name : {"closebtn", "maxbtn", "restorebtn", "minbtn", "menubtn", "laterbtn",
                             "device_update_list_info", "Language_combox_info", "update_tishi_layout",
                             "get_update_tab_layout", "update_fw_and_ap", "update_OK_btn", "set_in_update_wnd_btn",
                             "update_status_ring", "update_status_image", "Update_Status_text"}) {
        EXPECT_NE(window->FindControl(QLatin1String(name)), nullptr) << name;
    }
    auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(window->FindControl(QStringLiteral("get_update_tab_layout")));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->GetCount(), 2);
    EXPECT_EQ(window->GetWindowClassName(), "SetWnd");
    EXPECT_EQ(window->LayoutSize(), QSize(CSetWnd::kWidth, CSetWnd::kHeight));
}

// Each status shows its text, marks and tick, and colours the name.
TEST_F(SettingsWindow, EveryRowStatusHasItsLook) {
    auto window = Open({}, "");
    online::UpdateRecord record;
    record.name = "KB";
    record.status = 7;
    ASSERT_TRUE(window->AddUpdateItem(record));
    CUpdateInfoListItemUI* row = window->RowAt(0);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->GetClass(), QStringLiteral("UpdateInfoListItemUI"));
    EXPECT_EQ(row->GetFixedHeight(), CUpdateInfoListItemUI::kRowHeight);
    struct Look {
        int status;
        const char* text;
        bool progress, done, tick;
        QRgb normal;
    };
    const std::vector<Look> looks = {
        {0, "LessUpdateText", false, false, false, 0xFFFFFFFF}, {1, "NeedUpdateText", false, false, true, 0xFF0099FF},
        {2, "NeedUpdateText", false, false, true, 0xFF0099FF},  {3, "DownloadWaitText", false, false, false, 0xFF0099FF},
        {4, "DownloadIngText", true, false, false, 0xFF0099FF}, {5, "DownloadOkText", false, true, false, 0xFF0099FF},
        {6, "UpdateIngText", true, false, false, 0xFF0099FF},   {7, "UpdateOkText", false, false, false, 0xFFFFFFFF},
        {8, "UpdateFailText", false, false, true, 0xFF0099FF},
    };
    auto* tick = dynamic_cast<ui::COptionUI*>(Part(row, QStringLiteral("check_name_select")));
    ASSERT_NE(tick, nullptr);
    for (const Look& look : looks) {
        row->SetStatus(look.status);
        EXPECT_EQ(Part(row, QStringLiteral("update_status_text"))->GetText(),
                  QLatin1String(look.text)) << look.status;
        EXPECT_EQ(Part(row, QStringLiteral("update_status_ing"))->IsVisible(), look.progress)
            << look.status;
        EXPECT_EQ(Part(row, QStringLiteral("update_status_ok"))->IsVisible(), look.done)
            << look.status;
        EXPECT_EQ(row->TickEnabled(), look.tick) << look.status;
        EXPECT_EQ(tick->GetTextColor().rgba(), look.normal) << look.status;
    }
    // The progress pair shown again reads 0%; the same status or one past
    // the table changes nothing on screen.
    row->SetStatus(4);
    row->SetProgress(42);
    EXPECT_EQ(Part(row, QStringLiteral("update_progress_value"))->GetText(), "42%");
    row->SetStatus(4);
    EXPECT_EQ(row->Progress(), 42);
    row->SetStatus(6);
    EXPECT_EQ(row->Progress(), 0);
    row->SetStatus(9);
    EXPECT_EQ(row->GetStatus(), 9);
    EXPECT_EQ(Part(row, QStringLiteral("update_status_text"))->GetText(), "UpdateIngText");
    row->SetNewVersionText(QString());
    EXPECT_FALSE(Part(row, QStringLiteral("updateRev"))->IsVisible());
    row->SetNewVersionText(QStringLiteral("V0106"));
    EXPECT_TRUE(Part(row, QStringLiteral("updateRev"))->IsVisible());
}

// Both row classes come from the factory under their skin tags; a row
// raises "menu" only when its context menu is enabled.
TEST_F(SettingsWindow, RowClassesAndTheirContextMenu) {
    std::unique_ptr<ui::CControlUI> shared(ui::CControlFactory::Instance().CreateControl(QStringLiteral("CloudShareListItem")));
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->GetClass(), QStringLiteral("CloudShareListItemUI"));
    test::RecordingWindow window(QLatin1String(CUpdateInfoListItemUI::kLayout));
    QString error;
    ASSERT_TRUE(window.Create(&error)) << error.toStdString();
    auto* row = dynamic_cast<CUpdateInfoListItemUI*>(window.FindControl(QStringLiteral("update_list_item")));
    ASSERT_NE(row, nullptr);
    const auto menuEvents = [&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
        QCoreApplication::sendEvent(row, &event);
        return static_cast<int>(window.Seen().filter(QStringLiteral("menu:")).size());
    };
    EXPECT_EQ(menuEvents(), 0);
    ASSERT_TRUE(row->SetAttribute(QStringLiteral("menu"), QStringLiteral("true")));
    EXPECT_EQ(menuEvents(), 1);
    EXPECT_FALSE(row->SetAttribute(QStringLiteral("menu"), QStringLiteral("maybe")));
}

TEST_F(SettingsWindow, AnOfferIsTickedAndTheUpdateButtonShown) {
    Json::Value replies;
    replies["PELMO_1_QD70M01A_KB_1"] = Parsed(R"({"body":{"name":"KB","version":"0106"}})");
    replies["*"] = Parsed(R"({"body":{"name":"x","version":"0103"}})");
    LoopbackUpdateService service(replies);
    auto window = Open(online::UpdateChecker::IdentityRows({0x103, 0x105, 0}, 0), service.BaseUrl());
    ASSERT_TRUE(Finished(*window));
    EXPECT_EQ(window->UpdateState(), 1);
    ASSERT_EQ(window->RowCount(), 2);
    CUpdateInfoListItemUI* mouse = window->RowAt(0);
    CUpdateInfoListItemUI* keyboard = window->RowAt(1);
    EXPECT_EQ(mouse->GetName(), "MS");
    EXPECT_EQ(mouse->GetStatus(), 7);
    EXPECT_FALSE(Part(mouse, QStringLiteral("updateRev"))->IsVisible());
    EXPECT_EQ(keyboard->GetName(), "KB");
    EXPECT_EQ(keyboard->GetStatus(), 1);
    EXPECT_TRUE(keyboard->IsTicked());
    EXPECT_EQ(Part(keyboard, QStringLiteral("OldRev"))->GetText(), "V0105");
    EXPECT_EQ(Part(keyboard, QStringLiteral("updateRev"))->GetText(), "V0106");
    ui::CControlUI* update = window->FindControl(QStringLiteral("update_fw_and_ap"));
    EXPECT_TRUE(update->IsVisible());
    EXPECT_TRUE(update->IsEnabled());
    EXPECT_EQ(Text(*window, "Update_Status_text"), "Updates are available.");

    // Unticking the only offer hides the button again; ticking brings it back.
    keyboard->SetTicked(false);
    EXPECT_FALSE(update->IsVisible());
    keyboard->SetTicked(true);
    EXPECT_TRUE(update->IsVisible());
    auto* tabs = dynamic_cast<ui::CTabLayoutUI*>(window->FindControl(QStringLiteral("get_update_tab_layout")));
    window->GetPaintManager().SendNotify(update, QStringLiteral("click"));
    EXPECT_EQ(tabs->GetCurSel(), 1);
    window->GetPaintManager().SendNotify(window->FindControl(QStringLiteral("update_back_btn")), QStringLiteral("click"));
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_EQ(keyboard->GetStatus(), 1);
    window->GetPaintManager().SendNotify(update, QStringLiteral("click"));
    window->GetPaintManager().SendNotify(window->FindControl(QStringLiteral("update_OK_btn")), QStringLiteral("click"));
    EXPECT_EQ(keyboard->GetStatus(), 3);
    EXPECT_EQ(tabs->GetCurSel(), 0);
    EXPECT_FALSE(update->IsEnabled());
    // Nothing downloads here, so the window still closes.
    EXPECT_TRUE(window->MayClose());
    EXPECT_TRUE(window->close());
}

TEST_F(SettingsWindow, StatesForUnreachableUpToDateAndTheApplicationAlone) {
    // No address: every row unreachable.
    auto unreachable = Open(online::UpdateChecker::IdentityRows({0x103, 0, 0}, 100), "");
    ASSERT_TRUE(Finished(*unreachable));
    EXPECT_EQ(unreachable->UpdateState(), 2);
    EXPECT_EQ(Text(*unreachable, "Update_Status_text"), "The update service could not be reached.");
    // Its row keeps its placeholder but does not claim to be up to date.
    EXPECT_EQ(unreachable->RowAt(0)->GetStatus(), 7);
    EXPECT_EQ(Part(unreachable->RowAt(0), QStringLiteral("update_status_text"))->GetText(), "UpdateUncheckedText");
    EXPECT_EQ(main.Count(msg::kClearSettingsBadge), 0);
    unreachable->close();

    // The first check ever writes today and shows it; the badge goes.
    std::remove((UserDataFolder() + online::UpdateTimeFile::kFileName).c_str());
    LoopbackUpdateService service(Parsed(R"({"*":{"body":{"name":"x","version":"1"}}})"));
    auto alone = Open(online::UpdateChecker::IdentityRows({0, 0, 0}, 100), service.BaseUrl());
    ASSERT_TRUE(Finished(*alone));
    ASSERT_EQ(alone->RowCount(), 1);
    EXPECT_EQ(alone->RowAt(0)->GetName(), "KX520");
    EXPECT_EQ(alone->UpdateState(), 4);
    const QString today = QString::fromStdString(online::UpdateTimeFile::Today());
    EXPECT_EQ(Text(*alone, "Update_Status_text"), "Everything is up to date. Last checked: " + today);
    EXPECT_EQ(main.Count(msg::kClearSettingsBadge), 1);
    alone->close();

    // A later check shows the previous date, in the language chosen meanwhile.
    online::UpdateTimeFile::Write(UserDataFolder(), "2024-3-5");
    auto later = Open(online::UpdateChecker::IdentityRows({0, 0, 0}, 100), service.BaseUrl());
    ASSERT_TRUE(Finished(*later));
    EXPECT_EQ(Text(*later, "Update_Status_text"), "Everything is up to date. Last checked: 2024-3-5");
    ASSERT_TRUE(ui::CResourceManager::Instance().LoadLanguage(QStringLiteral("lang/zh_CN.xml"), nullptr));
    later->SendMessage(msg::kLanguageChanged, 0, 0);
    EXPECT_EQ(Text(*later, "Update_Status_text"), QStringLiteral("已是最新版本。上次检查：2024-3-5"));
    EXPECT_EQ(online::UpdateTimeFile::Read(UserDataFolder()), online::UpdateTimeFile::Today());
}

TEST_F(SettingsWindow, ClosingWhileTheServiceNeverAnswersIsAtOnce) {
    LoopbackUpdateService service(Parsed(R"({"*":{"shape":"silent"}})"));
    auto window = Open(online::UpdateChecker::IdentityRows({0x103, 0x105, 0}, 100), service.BaseUrl());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.Requests().empty() && window->RowCount() == 3; }, 10000));
    // The placeholders while the service holds its answer.
    EXPECT_EQ(window->UpdateState(), 0);
    EXPECT_TRUE(window->FindControl(QStringLiteral("update_status_ring"))->IsVisible());
    EXPECT_EQ(Text(*window, "Update_Status_text"), "Checking for updates…");
    EXPECT_EQ(window->RowAt(0)->GetName(), "MS");
    EXPECT_EQ(window->RowAt(2)->GetName(), "AP");
    EXPECT_EQ(Part(window->RowAt(2), QStringLiteral("OldRev"))->GetText(), online::AppVersionText());
    EXPECT_TRUE(window->close());  // the service still holds its answer
    EXPECT_TRUE(window->ChecksStopped());
    EXPECT_TRUE(window->StoppedInTime());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(service.Requests().size(), 1u);
    // A step that lands after the stop changes nothing.
    SettingsCheckSink late(*window);
    online::UpdateRecord offer;
    offer.status = 1;
    offer.name = "late";
    late.RefreshUpdateItem(offer, 0);
    late.SetUpdateState(1);
    QTest::qWait(20);
    EXPECT_EQ(window->UpdateState(), 0);
    EXPECT_EQ(window->RowAt(0)->GetStatus(), 7);
    EXPECT_EQ(window->RowAt(0)->GetName(), "MS");
}

TEST_F(SettingsWindow, TheLanguageChoiceGoesToTheMainWindow) {
    auto window = Open({}, "");
    auto* combo = dynamic_cast<ui::CComboUI*>(window->FindControl(QStringLiteral("Language_combox_info")));
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->GetCount() == 2; }, 5000));
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(main.Count(msg::kLanguageChanged), 0);  // the first selection is silent
    combo->SelectItem(1);
    ASSERT_EQ(main.Count(msg::kLanguageChanged), 1);
    EXPECT_EQ(main.received.back().second, 1u);
    EXPECT_EQ(window->LanguageIndex(), 1);
    // Without a main window a choice goes nowhere.
    window->SetMainWindow(nullptr);
    combo->SelectItem(0);
    EXPECT_EQ(main.Count(msg::kLanguageChanged), 1);
}

TEST_F(SettingsWindow, DpiRelayAndCaptionButtons) {
    auto window = Open({}, "");
    window->SetWindowDpi(144);
    EXPECT_EQ(window->WindowDpi(), 144);
    EXPECT_EQ(window->size(), QSize(945, 750));
    window->SetWindowDpi(100);
    EXPECT_EQ(window->WindowDpi(), 96);
    EXPECT_EQ(window->size(), QSize(CSetWnd::kWidth, CSetWnd::kHeight));
    // No download step names a current row: the relayed codes change nothing.
    online::UpdateRecord record;
    record.status = 1;
    window->AddUpdateItem(record);
    const uint32_t relay = ui::RegisterWindowMessage(QLatin1String(kSettingsRelayMessage.registration));
    for (quintptr code : {1u, 2u, 3u, 4u}) {
        window->SendMessage(relay, code, 50);
    }
    EXPECT_EQ(window->RowAt(0)->GetStatus(), 1);
    EXPECT_EQ(window->RowAt(0)->Progress(), 0);
    window->GetPaintManager().SendNotify(window->FindControl(QStringLiteral("set_in_update_wnd_btn")),
                                         QStringLiteral("click"));
    EXPECT_FALSE(window->FindControl(QStringLiteral("update_tishi_layout"))->IsVisible());
    // The system close ends this window only.
    window->SendMessage(CSetWnd::kSysCommandMessage, CSetWnd::kClose, 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(window->ChecksStopped());
}

}  // namespace
}  // namespace kx520
