#include "app/Startup.h"

#include <QFile>
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

namespace kx520 {

const std::vector<QString>& Startup::FontFiles() {
    static const std::vector<QString> files{
        QStringLiteral("Font/Simplified_Chinese.ttf"), QStringLiteral("Font/Brivane-Regular.otf"),
        QStringLiteral("Font/NotoSansThai-Regular.ttf"),
        QStringLiteral("Font/NotoSansCJKtc-Regular.otf")};
    return files;
}

std::vector<int> Startup::LoadPrivateFonts() {
    std::vector<int> ids;
    // "Font/..." lives in the shipped data folder: beside the executable in
    // the build tree, under share/ once installed.
    const QString folder = QString::fromStdString(ShippedDataFolder("Font")) + "/../";
    for (const QString& file : FontFiles()) {
        // Registered by path: fontconfig maps the file instead of keeping a
        // copy of a 20 MB collection in memory.
        const int id = QFontDatabase::addApplicationFont(folder + file);
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
