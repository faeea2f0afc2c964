#include "pages/PageControls.h"

#include "pages/CDeviceKeyButtonUI.h"
#include "pages/CKeySetControlUI.h"
#include "pages/CLightControlUI.h"
#include "pages/CMacroControlUI.h"
#include "pages/CMagicControlUI.h"
#include "pages/CMpDevicePowerUI.h"
#include "pages/CRecoilPlotUI.h"
#include "pages/CSelectPanelUI.h"
#include "pages/CShootControlUI.h"
#include "pages/CVoice6533ControlUI.h"
#include "profileui/CDeviceProfileUI.h"
#include "builder/CControlFactory.h"

namespace kx520 {

void RegisterPageControls() {
    auto& factory = ui::CControlFactory::Instance();
    factory.RegisterControl(QStringLiteral("DeviceKeyButton"),
                            [] { return new CDeviceKeyButtonUI(); });
    factory.RegisterControl(QStringLiteral("SelectPanel"), [] { return new CSelectPanelUI(); });
    factory.RegisterControl(QStringLiteral("MpDevicePower"),
                            [] { return new CMpDevicePowerUI(); });
    factory.RegisterControl(QStringLiteral("DeviceProfile"), [] { return new CDeviceProfileUI(); });
    factory.RegisterControl(QStringLiteral("KeySetControl"), [] { return new CKeySetControlUI(); });
    factory.RegisterControl(QStringLiteral("LightControl"), [] { return new CLightControlUI(); });
    factory.RegisterControl(QStringLiteral("MacroControl"), [] { return new CMacroControlUI(); });
    factory.RegisterControl(QStringLiteral("Voice6533Control"), [] { return new CVoice6533ControlUI(); });
    factory.RegisterControl(QStringLiteral("MagicControl"), [] { return new CMagicControlUI(); });
    factory.RegisterControl(QStringLiteral("ShootControl"), [] { return new CShootControlUI(); });
    factory.RegisterControl(QStringLiteral("RecoilPlot"), [] { return new CRecoilPlotUI(); });
}

}  // namespace kx520
