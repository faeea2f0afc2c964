#include "app/Startup.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <QFontDatabase>

#include "messages/RegisteredMessages.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "deviceui/CDeviceOptionUI.h"
#include "pages/PageControls.h"
#include "platform/DataFolders.h"
#include "platform/DebugTrace.h"
#include "builder/CControlFactory.h"
#include "ui/CResourceManager.h"
#include "ui/MessageRegistry.h"
#include "windows/WindowControls.h"

namespace kx520 {

const std::vector<QString>& Startup::FontFiles() {
    static const std::vector<QString> files{
        QStringLiteral("Font/Simplified_Chinese.ttf"), QStringLiteral("Font/Brivane-Regular.otf"),
        QStringLiteral("Font/NotoSansThai-Regular.ttf"),
        QStringLiteral("Font/NotoSansCJKtc-Regular.otf")};
    return files;
}

std::vector<QString> Startup::FontsToRegister(const QString& folder, const std::vector<QString>& files,
                                              const QStringList& systemFolders) {
    std::vector<QString> chosen;
    for (const QString& file : files) {
        const QString real = QFileInfo(folder + file).canonicalFilePath();
        if (real.isEmpty() || std::find(chosen.begin(), chosen.end(), real) != chosen.end()) {
            continue;
        }
        // A link into the system's font folders names a font fontconfig
        // already knows: registering it again repeats the query of a whole
        // collection (20 ms of every start for the CJK one).
        const bool known = std::any_of(systemFolders.begin(), systemFolders.end(), [&real](const QString& dir) {
            const QString root = QFileInfo(dir).canonicalFilePath();
            return !root.isEmpty() && real.startsWith(root + '/');
        });
        if (!known) {
            chosen.push_back(real);
        }
    }
    return chosen;
}

std::vector<int> Startup::LoadPrivateFonts() {
    std::vector<int> ids;
    // "Font/..." lives in the shipped data folder: beside the executable in
    // the build tree, under share/ once installed.
    const QString folder = QString::fromStdString(ShippedDataFolder("Font")) + "/../";
    const QStringList system = QStandardPaths::standardLocations(QStandardPaths::FontsLocation);
    for (const QString& file : FontsToRegister(folder, FontFiles(), system)) {
        // Registered by path: fontconfig maps the file instead of keeping a
        // copy of a 20 MB collection in memory.
        const int id = QFontDatabase::addApplicationFont(file);
        if (id >= 0) {
            ids.push_back(id);
        }
    }
    return ids;
}

void Startup::RemovePrivateFonts(const std::vector<int>& ids) {
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        QFontDatabase::removeApplicationFont(*it);
    }
}

void Startup::ConfigureSkinResources() {
    ui::CResourceManager::Instance().SetResourcePath(
        QString::fromStdString(ShippedDataFolder("skin")) + '/');
}

void Startup::RegisterControlClasses(hid::HidBackend& backend) {
    RegisterPageControls();
    RegisterWindowControls();
    auto& factory = ui::CControlFactory::Instance();
    factory.RegisterControl(QStringLiteral("DeviceOption"), [] { return new CDeviceOptionUI(); });
    factory.RegisterControl(QStringLiteral("ZentrelUSBDevice"),
                            [&backend] { return new CZentrelUSBDevice(backend); });
    // The registered messages, in the order other programs expect.
    const uint32_t instance =
        ui::RegisterWindowMessage(QLatin1String(kInstanceMessage.registration));
    DebugTrace(QStringLiteral("软件标示：%1").arg(instance).toStdString());
    for (const RegisteredMessage& message : RegisteredMessages()) {
        ui::RegisterWindowMessage(QLatin1String(message.registration));
    }
}

}  // namespace kx520
