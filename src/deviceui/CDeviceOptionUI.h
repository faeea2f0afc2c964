#pragma once

#include <QHash>
#include <QString>
#include <array>

#include "ui/CHorizontalLayoutUI.h"

class QTimer;

namespace kx520 {

class CZentrelUSBDevice;

namespace ui {
class WindowImplBase;
}

// A device in the main window's selector. Besides its icon, name and
// synchronisation option, its timers drive the device's life once its link
// is open: 1001 connects (probing a receiver first), 1000 is the poll tick
// that streams frames, 1005 refreshes the power display, 1007 checks a
// receiver's link, 1002 to 1004 call the device's hooks.
class CDeviceOptionUI : public ui::CHorizontalLayoutUI {
    Q_OBJECT

public:
    // Posts to the main window, when the option has one.
    void Post(uint32_t message, quintptr wParam, qintptr lParam);
    static constexpr int kPollTimer = 1000;
    static constexpr int kConnectTimer = 1001;
    static constexpr int kNotifyTimer = 1002;
    static constexpr int kPowerTimer = 1005;
    static constexpr int kLinkCheckTimer = 1007;
    static constexpr int kBusyRetryMs = 100;
    static constexpr uint32_t kMsgDevicePresence = 3331;

    explicit CDeviceOptionUI(QWidget* parent = nullptr);
    ~CDeviceOptionUI() override;
    QString GetClass() const override { return QStringLiteral("DeviceOption"); }

    // Kind and variant choose the icon set and the name shown as tooltip.
    void SetKind(int kind, int variant);
    int GetKind() const { return m_kind; }
    int GetVariant() const { return m_variant; }
    // Synchro-selected, synchro-normal, selected, normal.
    const std::array<QString, 4>& Images() const { return m_images; }
    QString NameKey() const { return m_nameKey; }

    void ShowSynchro(bool show);
    void SetSynchroSelected(bool selected);
    bool IsSynchroSelected() const;
    void Select(bool selected);
    bool IsSelected() const;
    void SetDeviceName(const QString& text);
    void BindTab(const QString& tabLayout, int index);
    const QString& BoundTab() const { return m_tabName; }
    int BoundTabIndex() const { return m_tabIndex; }
    void SetIdentity(const QString& path, int slot);
    const QString& Identity() const { return m_identity; }
    int Slot() const { return m_slot; }

    // The device this option drives, the page to repaint, the window that
    // hears of presence changes (MSG_DEVICE_PRESENCE, wParam = option index).
    void AttachDevice(CZentrelUSBDevice* device, ui::CControlUI* page);
    CZentrelUSBDevice* Device() const { return m_device; }
    // The container of the power displays and this device's index there
    // (-1: the device shows no battery).
    void BindPower(const QString& container, int index) {
        m_powerContainer = container;
        m_powerIndex = index;
    }
    const QString& PowerContainer() const { return m_powerContainer; }
    int PowerIndex() const { return m_powerIndex; }
    void SetMainWindow(ui::WindowImplBase* window, int optionIndex);
    // Kept by the option itself: hidden while a receiver's device sleeps.
    void SetVisible(bool visible) override;
    bool IsOptionVisible() const { return m_visible; }

    // Timer 1001 after 500 ms: the main window calls it once the link is open.
    void StartConnect();
    void StartTimer(int id, int elapseMs);
    void KillTimer(int id);
    bool IsTimerActive(int id) const;
    int ProbeFailures() const { return m_probeFailures; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnTimer(int id);
    void Connect();
    // The connection taken as made: the device reads its state, the timers start.
    void Connected(bool receiver);
    void Poll();
    void CheckLink();
    void ApplyImages();
    ui::CControlUI* Part(const char* name) const;

    int m_kind = 0;
    int m_variant = 0;
    std::array<QString, 4> m_images;
    QString m_nameKey;
    QString m_identity;
    int m_slot = -1;
    bool m_visible = true;
    int m_probeFailures = 0;
    QString m_tabName;
    int m_tabIndex = -1;
    QString m_powerContainer;
    int m_powerIndex = -1;
    CZentrelUSBDevice* m_device = nullptr;
    ui::CControlUI* m_page = nullptr;
    ui::WindowImplBase* m_mainWindow = nullptr;
    int m_optionIndex = 0;
    QHash<int, QTimer*> m_timers;
};

}  // namespace kx520
