#include "windows/WindowControls.h"

#include "builder/CControlFactory.h"
#include "windows/CCloudShareListItemUI.h"
#include "windows/CUpdateInfoListItemUI.h"

namespace kx520 {

void RegisterWindowControls() {
    auto& factory = ui::CControlFactory::Instance();
    factory.RegisterControl(QStringLiteral("CloudShareListItem"), [] { return new CCloudShareListItemUI(); });
    factory.RegisterControl(QStringLiteral("UpdateInfoListItem"), [] { return new CUpdateInfoListItemUI(); });
}

}  // namespace kx520
