#include "devicelink/DeviceOptionList.h"

#include "appwindow/AppWindow.h"
#include "discovery/DeviceSelector.h"
#include "appwindow/NotificationRouter.h"
#include "deviceui/CDeviceOptionUI.h"
#include "ui/CContainerUI.h"
#include "ui/CTabLayoutUI.h"

namespace kx520 {

namespace {

ui::CTabLayoutUI* Tabs(const AppWindow& window, const QString& name) {
    return dynamic_cast<ui::CTabLayoutUI*>(window.FindControl(name));
}

}  // namespace

std::vector<CDeviceOptionUI*> DeviceOptionList::Options() const {
    std::vector<CDeviceOptionUI*> options;
    auto* selector = dynamic_cast<ui::CContainerUI*>(
        m_window.FindControl(QStringLiteral("device_select_layout")));
    for (int i = 0; selector != nullptr && i < selector->GetCount(); ++i) {
        if (auto* option = dynamic_cast<CDeviceOptionUI*>(selector->GetItemAt(i))) {
            options.push_back(option);
        }
    }
    return options;
}

CDeviceOptionUI* DeviceOptionList::OptionAt(int index) const {
    const auto options = Options();
    if (index < 0 || static_cast<size_t>(index) >= options.size()) {
        return nullptr;
    }
    return options[static_cast<size_t>(index)];
}

void DeviceOptionList::AddRoutes(NotificationRouter& routes, DeviceSelector& selector) {
    using ui::notify::kClick;
    using ui::notify::kSelectChanged;
    auto onSelected = [&selector](const ui::Notification&, int) { selector.OnSelected(); };
    routes.Add({kClick, "device_select_prev", NameMatch::CaseInsensitive,
                [&selector](const ui::Notification&, int) { selector.SelectPrevious(); }});
    routes.Add({kClick, "device_select_next", NameMatch::CaseInsensitive,
                [&selector](const ui::Notification&, int) { selector.SelectNext(); }});
    routes.Add({kSelectChanged, "device_select", NameMatch::CaseInsensitive, onSelected});
    routes.Add({kSelectChanged, "device_option", NameMatch::CaseInsensitive, onSelected});
}

int DeviceOptionList::OptionCount() const {
    return static_cast<int>(Options().size());
}

bool DeviceOptionList::IsShown(int index) const {
    const CDeviceOptionUI* option = OptionAt(index);
    return option != nullptr && option->IsOptionVisible();
}

bool DeviceOptionList::IsCurrent(int index) const {
    const CDeviceOptionUI* option = OptionAt(index);
    return option != nullptr && option->IsSelected();
}

bool DeviceOptionList::IsSynchronised(int index) const {
    const CDeviceOptionUI* option = OptionAt(index);
    return option != nullptr && option->IsSynchroSelected();
}

int DeviceOptionList::DeviceClassOf(int index) const {
    const CDeviceOptionUI* option = OptionAt(index);
    return option != nullptr ? option->GetKind() : 0;
}

int DeviceOptionList::VariantOf(int index) const {
    const CDeviceOptionUI* option = OptionAt(index);
    return option != nullptr ? option->GetVariant() : 0;
}

void DeviceOptionList::SetShown(int index, bool shown) {
    if (CDeviceOptionUI* option = OptionAt(index)) {
        option->SetVisible(shown);
    }
}

void DeviceOptionList::SetCurrent(int index, bool current) {
    if (CDeviceOptionUI* option = OptionAt(index)) {
        option->Select(current);
    }
}

void DeviceOptionList::ClearSynchronised(int index) {
    if (CDeviceOptionUI* option = OptionAt(index)) {
        option->SetSynchroSelected(false);
    }
}

bool DeviceOptionList::ShowPage(int index) {
    const CDeviceOptionUI* option = OptionAt(index);
    if (option == nullptr || option->BoundTabIndex() < 0) {
        return false;
    }
    ui::CTabLayoutUI* pages = Tabs(m_window, option->BoundTab());
    if (pages == nullptr) {
        return false;
    }
    pages->SelectItem(option->BoundTabIndex());
    return true;
}

void DeviceOptionList::ShowPowerDisplay(int index) {
    const CDeviceOptionUI* option = OptionAt(index);
    ui::CTabLayoutUI* powers = option != nullptr ? Tabs(m_window, option->PowerContainer()) : nullptr;
    if (powers == nullptr) {
        return;
    }
    powers->SetVisible(option->PowerIndex() >= 0);
    if (option->PowerIndex() >= 0) {
        powers->SelectItem(option->PowerIndex());
    }
}

void DeviceOptionList::ShowNoDevice(bool noDevice) {
    m_window.ShowNoDeviceHint(noDevice);
    if (!noDevice) {
        return;
    }
    for (const char* tabs : {"device_power_switch", "device_switch"}) {
        if (ui::CTabLayoutUI* found = Tabs(m_window, QLatin1String(tabs))) {
            found->SelectItem(0);
        }
    }
}

void DeviceOptionList::SetMultiDevice(bool multi) {
    m_window.SetMultiDevice(multi);
}

void DeviceOptionList::CloseChildWindows() {
    m_window.CloseChildWindows();
}

}  // namespace kx520
