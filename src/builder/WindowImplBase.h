#pragma once

#include <QHash>
#include <QList>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>

#include "builder/CDialogBuilder.h"
#include "ui/CPaintManagerUI.h"

class QEventLoop;
class QTimer;

namespace kx520::ui {

// A skinned top-level window: a frameless widget whose content is built from
// its skin file, dragged by its caption area, with the message layer the
// application's windows rely on: numbered and registered messages
// (SendMessage blocks until the UI thread has handled the message, from any
// thread; PostMessage queues it), window timers by id, modal runs that
// return the code given to Close, and a DPI that scales the whole layout.
//
// Subclasses give the class name and skin file and override InitWindow
// (after the skin is built), Notify (control notifications),
// HandleCustomMessage (messages) and CreateControl (their own skin tags).
class WindowImplBase : public QWidget, public INotifyUI, public IDialogBuilderCallback {
    Q_OBJECT

public:
    static constexpr int kIdOk = 1;
    static constexpr int kIdCancel = 0;

    explicit WindowImplBase(QWidget* parent = nullptr);
    ~WindowImplBase() override;

    virtual QString GetWindowClassName() const = 0;
    virtual QString GetSkinFile() const = 0;
    virtual void InitWindow() {}
    void Notify(const Notification&) override {}
    // `handled` starts false; a handler that takes the message sets it.
    virtual qintptr HandleCustomMessage(uint32_t message, quintptr wParam, qintptr lParam,
                                        bool& handled);
    CControlUI* CreateControl(const QString&) override { return nullptr; }

    // Builds the skin; false with `error` set when the layout is broken.
    bool Create(QString* error = nullptr);
    // Shows the window modally and returns the code given to Close; the
    // system close (title bar, Alt+F4) ends it with kIdCancel.
    int ShowModal();
    void Close(int code = kIdOk);
    void CenterWindow();
    // The skin's title through the current language.
    void ReloadTitle();
    // A pop-up (a picker next to its button): it closes, with kIdCancel,
    // as soon as it loses the focus or a click lands outside it.
    void SetPopup(bool popup);
    bool IsPopup() const { return m_popup; }
    // Where a window of `size` at `corner` goes to be wholly inside `area`
    // (the screen's free area); the left and top edges win when it is larger.
    static QPoint KeptInside(QPoint corner, QSize size, const QRect& area);
    // Inside ShowModal.
    bool IsModal() const { return m_modalLoop != nullptr; }

    // The skinned windows on screen, the one shown last first. UI thread only.
    static QList<WindowImplBase*> OpenWindows();
    // Told of every window that starts a modal run, once it is shown (what
    // automation answers a call with before the run ends); empty: nobody.
    static void SetModalObserver(std::function<void(WindowImplBase*)> observer);

    CPaintManagerUI& GetPaintManager() { return m_manager; }
    CControlUI* FindControl(const QString& name) const { return m_manager.FindControl(name); }

    // On the UI thread: handled at once. From another thread: queued to the
    // UI thread, and this thread waits until it has been handled.
    qintptr SendMessage(uint32_t message, quintptr wParam = 0, qintptr lParam = 0);
    // As SendMessage, but a wait from another thread also ends when `stop`
    // is requested (then false, the message may still be handled later).
    bool SendMessage(uint32_t message, quintptr wParam, qintptr lParam, std::stop_token stop,
                     qintptr* result);
    void PostMessage(uint32_t message, quintptr wParam = 0, qintptr lParam = 0);
    // Every `elapseMs` the window gets message kMsgTimer with wParam = id.
    bool SetTimer(int id, int elapseMs);
    bool KillTimer(int id);

    void SetDPI(int dpi);
    // A dialog's own DPI: 48, 72, ... 192; anything else writes
    // `errorTrace` and is taken as 96. Nothing when it is the one set.
    void SetWindowDpi(int dpi, const char* errorTrace);
    int WindowDpi() const { return m_windowDpi; }
    QSize LayoutSize() const { return m_layoutSize; }
    // The window's size in layout pixels (at DPI 96), scaled by the DPI.
    void SetLayoutSize(QSize size);
    QRect CaptionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The window moved to another screen (after the scale followed it).
    virtual void ScreenChanged() {}

private:
    qintptr Dispatch(uint32_t message, quintptr wParam, qintptr lParam);
    void OnScreenChanged();
    void ApplyWindowSize();

    CPaintManagerUI m_manager;
    CControlUI* m_root = nullptr;
    QSize m_layoutSize;
    QRect m_caption;
    QString m_titleId;
    bool m_screenWatched = false;
    bool m_popup = false;
    int m_windowDpi = CPaintManagerUI::kDefaultDpi;
    bool m_initSent = false;
    QEventLoop* m_modalLoop = nullptr;
    int m_modalResult = kIdCancel;
    QHash<int, QTimer*> m_timers;
    QPoint m_dragOffset;
    bool m_dragging = false;
};

}  // namespace kx520::ui
