#include "app/SettingsWindowLauncher.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <fstream>

#include "app/FirmwareUpdater.h"
#include "app/MainWindowFixture.h"
#include "messages/RegisteredMessages.h"
#include "windows/CSetWnd.h"

namespace kx520::test {
namespace {

TEST(SettingsPlacement, RightEdgeAndTopFollowTheMainWindowAtItsDpi) {
    const QRect main(100, 50, 800, 572);
    EXPECT_EQ(SettingsWindowLauncher::Placement(main, QSize(630, 500), 96), QPoint(100 + 800 - 630 - 30, 110));
    EXPECT_EQ(SettingsWindowLauncher::Placement(main, QSize(945, 750), 144), QPoint(100 + 800 - 945 - 45, 140));
}

class SettingsFromTheMainWindow : public MainWindow {
protected:
    // Opens the window the way `open` does and looks at it once it is up.
    CSetWnd* OpenAndLook(const std::function<void()>& open, const std::function<void(CSetWnd&)>& look) {
        CSetWnd* seen = nullptr;
        // As it comes up, before the main window can move again (it fits
        // itself to the screen on a timer), then closed from the event loop.
        ui::WindowImplBase::SetModalObserver([&](ui::WindowImplBase* shown) {
            seen = dynamic_cast<CSetWnd*>(shown);
            if (seen != nullptr) {
                look(*seen);
            }
            QTimer::singleShot(0, shown, [shown] { shown->close(); });
        });
        open();
        ui::WindowImplBase::SetModalObserver(nullptr);
        return seen;
    }
};

TEST_F(SettingsFromTheMainWindow, OneAtATimePlacedOrCentredWithTheDevicesVersions) {
    backend.Plug("keyboard");
    Start();
    ASSERT_TRUE(WaitFor([this] { return Device("keyboard") != nullptr && Device("keyboard")->Channel().IsOpen(); }));
    EXPECT_EQ(window->SettingsWindow().DeviceVersions()[1], 0x0105);
    QPoint placed;
    QPoint expected;
    int nestedOpens = 0;
    OpenAndLook([this] { window->OpenSettingsWindow(false); },
                [&](CSetWnd& settings) {
                    placed = settings.pos();
                    expected = ui::WindowImplBase::KeptInside(
                        SettingsWindowLauncher::Placement(window->frameGeometry(), settings.size(), window->Dpi()),
                        settings.size(), settings.screen()->availableGeometry());
                    EXPECT_TRUE(window->SettingsWindow().IsOpen());
                    window->OpenSettingsWindow(false);  // a second request does nothing
                    ++nestedOpens;
                    EXPECT_EQ(settings.LanguageIndex(), window->LanguageIndex());
                });
    EXPECT_EQ(nestedOpens, 1);
    EXPECT_EQ(placed, expected);
    QPoint offCentre;
    OpenAndLook([this] { window->SendMessage(msg::kOpenSettings, 0, 0); },
                [&](CSetWnd& settings) {
                    // On the main window, as far as the screen lets it.
                    QRect centred(QPoint(), settings.frameGeometry().size());
                    centred.moveCenter(window->frameGeometry().center());
                    const QPoint corner = ui::WindowImplBase::KeptInside(
                        centred.topLeft(), centred.size(), settings.screen()->availableGeometry());
                    offCentre = settings.frameGeometry().topLeft() - corner;
                });
    EXPECT_LE(offCentre.manhattanLength(), 2);
    EXPECT_FALSE(window->SettingsWindow().IsOpen());
}

TEST_F(SettingsFromTheMainWindow, AFirmwareUpdateRequestFlagsAsksAndStarts) {
    Start();
    std::vector<QString> asked;
    int answer = 1;
    window->SetDialogs([&](const QString& textId, int) { asked.push_back(textId); return answer; }, nullptr);
    window->SendMessage(msg::kStartFirmwareUpdate, 0, 261);
    EXPECT_TRUE(window->UpdaterFlag());
    EXPECT_TRUE(asked.empty());

    // No updater in the folder: said so, nothing asked or started.
    window->Updater().SetFolder(QString::fromStdString(temp.Sub("none")) + '/');
    window->SendMessage(msg::kStartFirmwareUpdate, 0, 260);
    EXPECT_FALSE(window->UpdaterFlag());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "message_updater_missing");
    EXPECT_TRUE(HintShown());

    const std::string folder = temp.Sub("Update") + "/";
    {
        std::ofstream script(folder + FirmwareUpdater::kProgram);
        script << "#!/bin/sh\necho \"$# $1\" > \"$PWD/started\"\n";
    }
    QFile::setPermissions(QString::fromStdString(folder + FirmwareUpdater::kProgram),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    window->Updater().SetFolder(QString::fromStdString(folder));
    window->SendMessage(msg::kStartFirmwareUpdate, 0, 5);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], "message_text_26");
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(QString::fromStdString(folder + "started")).size() > 0; }));
    std::ifstream started(folder + "started");
    std::string line;
    std::getline(started, line);
    EXPECT_EQ(line, "1 On the upgrade");
    EXPECT_FALSE(window->Exiting());

    // A no ends the program the normal way, as the tray's "exit" does.
    answer = 0;
    window->SendMessage(msg::kStartFirmwareUpdate, 0, 0);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_TRUE(window->Exiting());
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace kx520::test
