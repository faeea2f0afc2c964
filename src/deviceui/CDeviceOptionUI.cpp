#include "deviceui/CDeviceOptionUI.h"

#include <QMouseEvent>
#include <QPointer>
#include <optional>
#include <QTimer>

#include "deviceui/CZentrelUSBDevice.h"
#include "platform/DebugTrace.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"
#include "builder/WindowImplBase.h"

namespace kx520 {

namespace {

// The effect clock's step: no timer here fires faster.
constexpr int kShortestTimerMs = 16;
constexpr int kUnseenPollMs = 250;
constexpr int kPreviewPollMs = 40;  // the keys mirror the light 25 times a second
constexpr int kProbeFailureWrap = 20;

struct IconSet {
    const char* normal;
    const char* nameKey;
};

// Nothing: this kind and variant keep the icons they have.
std::optional<IconSet> IconsFor(int kind, int variant) {
    switch (kind) {
        case 1: return IconSet{"common/device_ico/kb_device_normal.png", "kb_device_name_text"};
        case 2: return IconSet{"common/device_ico/ms_device_normal.png", "ms_device_name_text"};
        case 3:
            if (variant == 0) {
                return IconSet{"common/device_ico/hard_mp_device_normal.png", "hard_mp_device_name_text"};
            }
            if (variant == 1) {
                return IconSet{"common/device_ico/soft_mp_device_normal.png", "soft_mp_device_name_text"};
            }
            return std::nullopt;
        case 4:
        case 7: return IconSet{"common/device_ico/hd_device_normal.png", "hd_device_name_text"};
        case 5: return IconSet{"common/device_ico/hub_device_normal.png", "hub_device_name_text"};
        default:
            return IconSet{"common/device_ico/unknow_device_normal.png", "unknow_device_name_text"};
    }
}

QString WithState(const QString& normal, const char* state) {
    QString image = normal;
    image.replace(QLatin1String("_normal"), QLatin1String(state));
    return image;
}

}  // namespace

CDeviceOptionUI::CDeviceOptionUI(QWidget* parent) : ui::CHorizontalLayoutUI(parent) {
    const QString unknown = QStringLiteral("common/device_ico/unknow_device_normal.png");
    m_images = {WithState(unknown, "_synchro_selected"), WithState(unknown, "_synchro_normal"),
                WithState(unknown, "_selected"), unknown};
}

CDeviceOptionUI::~CDeviceOptionUI() {
    qDeleteAll(m_timers);
}

ui::CControlUI* CDeviceOptionUI::Part(const char* name) const {
    return ui::CPaintManagerUI::FindSubControlByName(this, QString::fromLatin1(name));
}

void CDeviceOptionUI::SetKind(int kind, int variant) {
    m_kind = kind;
    m_variant = variant;
    if (const auto icons = IconsFor(kind, variant)) {
        const QString normal = QString::fromLatin1(icons->normal);
        m_images = {WithState(normal, "_synchro_selected"), WithState(normal, "_synchro_normal"),
                    WithState(normal, "_selected"), normal};
        m_nameKey = QString::fromLatin1(icons->nameKey);
    }
    if (ui::CControlUI* select = Part("device_select")) {
        select->SetToolTip(m_nameKey);
    }
    ApplyImages();
}

void CDeviceOptionUI::ApplyImages() {
    auto* select = dynamic_cast<ui::COptionUI*>(Part("device_select"));
    if (select == nullptr) {
        return;
    }
    const bool synchro = IsSynchroSelected();
    select->SetNormalImage(m_images[synchro ? 1 : 3]);
    select->SetAttribute(QStringLiteral("selectedimage"), m_images[synchro ? 0 : 2]);
}

void CDeviceOptionUI::ShowSynchro(bool show) {
    if (ui::CControlUI* synchro = Part("synchro_device_select")) {
        synchro->SetVisible(show);
    }
    ApplyImages();
}

void CDeviceOptionUI::SetSynchroSelected(bool selected) {
    if (auto* synchro = dynamic_cast<ui::COptionUI*>(Part("synchro_device_select"))) {
        synchro->Selected(selected, false);
    }
    ApplyImages();
}

bool CDeviceOptionUI::IsSynchroSelected() const {
    auto* synchro = dynamic_cast<ui::COptionUI*>(Part("synchro_device_select"));
    return synchro != nullptr && synchro->IsSelected();
}

void CDeviceOptionUI::Select(bool selected) {
    if (auto* select = dynamic_cast<ui::COptionUI*>(Part("device_select"))) {
        select->Selected(selected, false);
    }
}

bool CDeviceOptionUI::IsSelected() const {
    auto* select = dynamic_cast<ui::COptionUI*>(Part("device_select"));
    return select != nullptr && select->IsSelected();
}

void CDeviceOptionUI::SetDeviceName(const QString& text) {
    if (ui::CControlUI* name = Part("device_select_name")) {
        name->SetText(text);
    }
}

void CDeviceOptionUI::BindTab(const QString& tabLayout, int index) {
    m_tabName = tabLayout;
    m_tabIndex = index;
}

void CDeviceOptionUI::SetIdentity(const QString& path, int slot) {
    m_identity = path;
    m_slot = slot;
}

void CDeviceOptionUI::AttachDevice(CZentrelUSBDevice* device, ui::CControlUI* page) {
    m_device = device;
    m_page = page;
    if (device != nullptr) {
        device->SetDeviceOption(this);
    }
}

void CDeviceOptionUI::SetMainWindow(ui::WindowImplBase* window, int optionIndex) {
    m_mainWindow = window;
    m_optionIndex = optionIndex;
}

void CDeviceOptionUI::SetVisible(bool visible) {
    m_visible = visible;
    ui::CHorizontalLayoutUI::SetVisible(visible);
}

void CDeviceOptionUI::mousePressEvent(QMouseEvent* event) {
    // The whole card is the target, not only its icon: taking the press
    // makes the release come here.
    if (event->button() == Qt::LeftButton) {
        event->accept();
        return;
    }
    ui::CHorizontalLayoutUI::mousePressEvent(event);
}

void CDeviceOptionUI::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint())) {
        ui::CHorizontalLayoutUI::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    // As a click on the icon: its group deselects the others and the
    // selection is routed as the user's.
    if (auto* select = dynamic_cast<ui::COptionUI*>(Part("device_select"))) {
        select->Selected(true, true);
    }
}

void CDeviceOptionUI::StartConnect() {
    StartTimer(kConnectTimer, 500);
}

void CDeviceOptionUI::StartTimer(int id, int elapseMs) {
    QTimer* timer = m_timers.value(id);
    if (timer == nullptr) {
        timer = new QTimer();
        timer->setSingleShot(true);
        QObject::connect(timer, &QTimer::timeout, this, [this, id] { OnTimer(id); });
        m_timers.insert(id, timer);
    }
    timer->start(std::max(elapseMs, kShortestTimerMs));
}

void CDeviceOptionUI::KillTimer(int id) {
    if (QTimer* timer = m_timers.value(id)) {
        timer->stop();
    }
}

bool CDeviceOptionUI::IsTimerActive(int id) const {
    const QTimer* timer = m_timers.value(id);
    return timer != nullptr && timer->isActive();
}

void CDeviceOptionUI::Post(uint32_t message, quintptr wParam, qintptr lParam) {
    if (m_mainWindow != nullptr) {
        m_mainWindow->PostMessage(message, wParam, lParam);
    }
}

void CDeviceOptionUI::OnTimer(int id) {
    KillTimer(id);
    if (m_device == nullptr) {
        return;
    }
    // While a page's exchange runs, nothing here may wait for the bus: the
    // timer comes back shortly.
    if (id != kPollTimer && m_device->ExchangeBusy()) {
        StartTimer(id, kBusyRetryMs);
        return;
    }
    switch (id) {
        case kPollTimer:
            Poll();
            break;
        case kConnectTimer:
            Connect();
            break;
        case kNotifyTimer:
            m_device->OnNotify();
            break;
        case 1003:
            m_device->OnTimer1003();
            break;
        case 1004:
            m_device->OnTimer1004();
            break;
        case kPowerTimer:
            m_device->RefreshPower();
            if (m_device->PowerFlag()) {
                StartTimer(kPowerTimer, 5000);
            }
            break;
        case kLinkCheckTimer:
            CheckLink();
            break;
        default:
            break;
    }
}

void CDeviceOptionUI::Connect() {
    auto& channel = m_device->Channel();
    const bool receiver = channel.ReceiverMode();
    if (!receiver || !channel.IsOpen()) {
        Connected(receiver);
        return;
    }
    // Asked on the device's exchange thread: an unanswering receiver never holds the window.
    m_device->ProbeLinkLater([this, alive = QPointer<CDeviceOptionUI>(this)](bool awake) {
        if (alive == nullptr) {
            return;  // the option went before its device answered
        }
        if (!awake) {
            m_probeFailures = (m_probeFailures + 1) % kProbeFailureWrap;
            if (m_visible) {
                SetVisible(false);
                Post(kMsgDevicePresence, static_cast<quintptr>(m_optionIndex), 0);
            }
            StartTimer(kConnectTimer, 3000);
            return;
        }
        Post(kMsgDevicePresence, static_cast<quintptr>(m_optionIndex), 1);
        Connected(true);
    });
}

void CDeviceOptionUI::Connected(bool receiver) {
    auto& channel = m_device->Channel();
    m_device->OnConnected();
    m_probeFailures = 0;
    StartTimer(kPollTimer, 5);
    if (m_device->PowerFlag() && channel.IsOpen()) {
        StartTimer(kPowerTimer, 50);
    }
    if (receiver) {
        StartTimer(kLinkCheckTimer, 2000);
    }
}

void CDeviceOptionUI::Poll() {
    const bool seen = m_device->StreamFrame();
    // Only the keys whose light changed repaint (each asks for itself): a
    // whole page repainted on every tick cost the UI thread twice as much.
    m_device->TakeFramePainted();
    auto& channel = m_device->Channel();
    if (!channel.IsOpen()) {
        return;
    }
    // The light thread feeds the device; the tick only mirrors its frame on
    // a page that is seen, and looks for the page to be seen again.
    if (!seen) {
        StartTimer(kPollTimer, kUnseenPollMs);
    } else if (!m_device->Core().LightThreadRunning()) {
        StartTimer(kPollTimer, channel.ReceiverMode() ? 50 : 5);  // the tick feeds the device too
    } else {
        StartTimer(kPollTimer, kPreviewPollMs);
    }
}

void CDeviceOptionUI::CheckLink() {
    auto& channel = m_device->Channel();
    // A closed link has nothing to answer; the next connection starts the
    // check again.
    if (!channel.IsOpen()) {
        return;
    }
    if (!channel.ReceiverMode()) {
        if (channel.IsOpen()) {
            DebugTrace("2.4gcesvdfherhue  12312423");
        }
        return;
    }
    // Asked on the device's exchange thread: an unanswering receiver never holds the window.
    m_device->ProbeLinkLater([this, alive = QPointer<CDeviceOptionUI>(this)](bool awake) {
        if (alive == nullptr) {
            return;  // the option went before its device answered
        }
        if (awake) {
            if (!m_visible) {
                Post(kMsgDevicePresence, static_cast<quintptr>(m_optionIndex), 1);
                if (m_device->PowerFlag()) {
                    m_device->RefreshPower();
                }
                DebugTrace("2.4gcesvdfherhue  12312423 123342341");
            }
        } else if (m_visible) {
            Post(kMsgDevicePresence, static_cast<quintptr>(m_optionIndex), 0);
            DebugTrace("2.4gcesvdfherhue");
        }
        StartTimer(kLinkCheckTimer, 3000);
    });
}

}  // namespace kx520
