#pragma once

#include <QFont>
#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <functional>
#include <optional>

#include "ui/Notification.h"

class QTimer;
class QWidget;

namespace kx520::ui {

class CControlUI;

// Receives the notifications of a window's controls.
class INotifyUI {
public:
    virtual ~INotifyUI() = default;
    virtual void Notify(const Notification& notification) = 0;
};

// What a window keeps for its controls: the control tree, lookup by name,
// notification delivery to its listeners, the fonts by id, the DPI and the
// controls' timers. One per window; UI thread only.
class CPaintManagerUI {
public:
    static constexpr int kDefaultDpi = 96;

    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    void AttachRoot(CControlUI* root);
    // Lets go of the tree: its controls report to no manager any more.
    void DetachRoot();
    CControlUI* GetRoot() const { return m_root; }

    // Names compare without regard to case; the exact variants for the rules
    // that need case to count.
    CControlUI* FindControl(const QString& name) const;
    CControlUI* FindControlExact(const QString& name) const;
    static CControlUI* FindSubControlByName(const CControlUI* parent, const QString& name);
    static CControlUI* FindSubControlByNameExact(const CControlUI* parent, const QString& name);

    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    // Delivers at once, on this thread, to every listener in the order added.
    void SendNotify(CControlUI* sender, const QString& type, quintptr wParam = 0,
                    qintptr lParam = 0);

    // Fonts by id; sizes in layout pixels, scaled with the DPI. Id -1 or an
    // unknown id gives the default font.
    void AddFont(int id, const QString& face, int size, bool bold = false, bool italic = false,
                 bool underline = false);
    void SetDefaultFont(const QString& face, int size, bool bold = false);
    void RemoveAllFonts();
    QFont GetFont(int id) const;

    // One of 48, 72, 96, 120, 144, 168, 192; anything else counts as 96.
    // The whole layout scales by dpi / 96.
    void SetDPI(int dpi);
    int GetDPI() const { return m_dpi; }
    // The screen's device pixel ratio, which Qt applies by itself: the skin
    // scales by (dpi / 96) / ratio so that nothing is scaled twice.
    void SetDevicePixelRatio(double ratio);
    double GetDevicePixelRatio() const { return m_devicePixelRatio; }
    double GetScale() const {
        return m_dpi / static_cast<double>(kDefaultDpi) / m_devicePixelRatio;
    }
    static bool IsValidDpi(int dpi);

    // A control timer: every `elapseMs` the control gets "timer" with
    // wParam = id. Setting it again restarts it.
    bool SetTimer(CControlUI* control, int id, int elapseMs);
    bool KillTimer(CControlUI* control, int id);
    void KillTimers(CControlUI* control);

    void ReloadText();

    // Named attribute sets ("Style" elements), applied by "style".
    using Style = QList<QPair<QString, QString>>;
    void AddStyle(const QString& name, Style attributes);
    std::optional<Style> GetStyle(const QString& name) const;
    void ControlDestroyed(CControlUI* control);

private:
    struct FontSpec {
        QString face;
        int size = 14;
        bool bold = false;
        bool italic = false;
        bool underline = false;
    };

    CControlUI* m_root = nullptr;
    QList<INotifyUI*> m_notifiers;
    QHash<int, FontSpec> m_fonts;
    QHash<QString, Style> m_styles;
    FontSpec m_defaultFont;
    int m_dpi = kDefaultDpi;
    double m_devicePixelRatio = 1.0;
    QHash<QPair<CControlUI*, int>, QTimer*> m_timers;
};

}  // namespace kx520::ui
