// Every picture the device selector and the power display name ships and loads.
#include <gtest/gtest.h>

#include "ui/CResourceManager.h"

namespace kx520 {
namespace {

TEST(SkinImages, DeviceIconsOfEveryKindAndState) {
    auto& resources = ui::CResourceManager::Instance();
    for (const char* device : {"kb", "ms", "hard_mp", "soft_mp", "hd", "hub", "unknow"}) {
        for (const char* state : {"normal", "selected", "synchro_normal", "synchro_selected"}) {
            const QString file = QStringLiteral("common/device_ico/%1_device_%2.png")
                                     .arg(QLatin1String(device), QLatin1String(state));
            const QImage* image = resources.Image(file);
            ASSERT_NE(image, nullptr) << file.toStdString();
            EXPECT_EQ(image->size(), QSize(48, 48)) << file.toStdString();
        }
    }
}

TEST(SkinImages, PowerStatesAndPhoneTypes) {
    auto& resources = ui::CResourceManager::Instance();
    for (const char* file : {"power/power.png", "power/powered.png", "power/powering.png",
                             "power/wuxian_powering.png", "power/wuxian_logo.png",
                             "power/Phone_type_iphone.png", "power/Phone_type_samsung.png",
                             "power/Phone_type_other.png", "power/Phone_type_no_device.png"}) {
        EXPECT_NE(resources.Image(QString::fromLatin1(file)), nullptr) << file;
    }
}

}  // namespace
}  // namespace kx520
