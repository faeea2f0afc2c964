#include "builder/WindowImplBase.h"

#include "platform/DebugTrace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "ui/CControlUI.h"
#include "ui/CResourceManager.h"
#include "ui/MessageRegistry.h"

namespace kx520::ui {

namespace {

// The meeting point of a message sent from another thread and its handling.
struct PendingSend {
    std::mutex lock;
    std::condition_variable_any done;
    bool handled = false;
    qintptr result = 0;
};

// The process's skinned windows in the order they were shown, last first,
// and who hears of modal runs: UI-thread state of the windowing layer.
QList<WindowImplBase*>& ShownWindows() {
    static QList<WindowImplBase*> windows;
    return windows;
}
std::function<void(WindowImplBase*)>& ModalObserver() {
    static std::function<void(WindowImplBase*)> observer;
    return observer;
}

}  // namespace

QList<WindowImplBase*> WindowImplBase::OpenWindows() {
    QList<WindowImplBase*> open;
    for (WindowImplBase* window : ShownWindows()) {
        if (window->isVisible()) {
            open.append(window);
        }
    }
    return open;
}

void WindowImplBase::SetModalObserver(std::function<void(WindowImplBase*)> observer) {
    ModalObserver() = std::move(observer);
}

void WindowImplBase::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_popup) {
        qApp->installEventFilter(this);
    }
    if (!m_screenWatched && windowHandle() != nullptr) {
        m_screenWatched = true;
        connect(windowHandle(), &QWindow::screenChanged, this, [this] { OnScreenChanged(); });
    }
    ShownWindows().removeAll(this);
    ShownWindows().prepend(this);
}

void WindowImplBase::SetPopup(bool popup) {
    m_popup = popup;
    // A tool window rather than a Qt pop-up: it must take the keyboard focus
    // (a picker may hold an edit), and it closes by the rules below.
    setWindowFlag(Qt::Tool, popup);
    setWindowFlag(Qt::FramelessWindowHint, true);
}

void WindowImplBase::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Another window became active (a click on it, a key that switches).
    if (m_popup && event->type() == QEvent::ActivationChange && isVisible() && !isActiveWindow()) {
        Close(kIdCancel);
    }
}

bool WindowImplBase::eventFilter(QObject* watched, QEvent* event) {
    // A press on any other window of the application closes the pop-up,
    // even on platforms that do not move the activation.
    if (m_popup && isVisible() && event->type() == QEvent::MouseButtonPress) {
        const auto* target = qobject_cast<QWidget*>(watched);
        if (target != nullptr && target->window() != this) {
            Close(kIdCancel);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WindowImplBase::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (m_popup) {
        qApp->removeEventFilter(this);
    }
    ShownWindows().removeAll(this);
}

WindowImplBase::WindowImplBase(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowFlag(Qt::FramelessWindowHint);
    // The skin paints the whole window, rounded corners included.
    setAttribute(Qt::WA_TranslucentBackground);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

WindowImplBase::~WindowImplBase() {
    ShownWindows().removeAll(this);
    // The controls go while the manager they report to is still alive, and
    // without reporting anything on the way out.
    m_manager.RemoveNotifier(this);
    m_manager.DetachRoot();
    delete m_root;
    m_root = nullptr;
    qDeleteAll(m_timers);
}

bool WindowImplBase::Create(QString* error) {
    CDialogBuilder builder;
    CControlUI* root = builder.Create(GetSkinFile(), &m_manager, this, error);
    if (root == nullptr) {
        return false;
    }
    m_root = root;
    layout()->addWidget(root);
    m_layoutSize = builder.WindowSize();
    m_caption = builder.Caption();
    m_titleId = builder.Title();
    ReloadTitle();
    m_manager.AttachRoot(root);
    m_manager.AddNotifier(this);
    ApplyWindowSize();
    InitWindow();
    return true;
}

void WindowImplBase::ReloadTitle() {
    // Taskbars and window switchers show it: the text, never its id.
    if (!m_titleId.isEmpty()) {
        setWindowTitle(CResourceManager::Instance().GetText(m_titleId));
    }
}

void WindowImplBase::ApplyWindowSize() {
    if (m_layoutSize.isEmpty()) {
        return;
    }
    const double scale = m_manager.GetScale();
    const QSize size(qRound(m_layoutSize.width() * scale), qRound(m_layoutSize.height() * scale));
    setMinimumSize(0, 0);
    resize(size);
    setFixedSize(size);
}

void WindowImplBase::SetLayoutSize(QSize size) {
    m_layoutSize = size;
    ApplyWindowSize();
}

void WindowImplBase::SetWindowDpi(int dpi, const char* errorTrace) {
    if (dpi == m_windowDpi) {
        return;
    }
    if (!CPaintManagerUI::IsValidDpi(dpi)) {
        DebugTrace(errorTrace);
        dpi = CPaintManagerUI::kDefaultDpi;
    }
    m_windowDpi = dpi;
    SetDPI(dpi);
}

void WindowImplBase::SetDPI(int dpi) {
    m_manager.SetDevicePixelRatio(devicePixelRatioF());
    m_manager.SetDPI(dpi);
    ApplyWindowSize();
}

void WindowImplBase::OnScreenChanged() {
    // Another screen may have another pixel ratio: the same DPI again, at it.
    SetDPI(m_manager.GetDPI());
    ScreenChanged();
}

QRect WindowImplBase::CaptionRect() const {
    const double scale = m_manager.GetScale();
    const int left = qRound(m_caption.left() * scale);
    const int top = qRound(m_caption.top() * scale);
    const int right = m_caption.right() + 1 <= 0 ? width() : qRound((m_caption.right() + 1) * scale);
    const int bottom = qRound((m_caption.bottom() + 1) * scale);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

int WindowImplBase::ShowModal() {
    QEventLoop loop;
    m_modalLoop = &loop;
    m_modalResult = kIdCancel;
    setWindowModality(Qt::ApplicationModal);
    show();
    if (const auto& observer = ModalObserver()) {
        observer(this);
    }
    loop.exec();
    m_modalLoop = nullptr;
    return m_modalResult;
}

void WindowImplBase::Close(int code) {
    m_modalResult = code;
    hide();
    if (m_modalLoop != nullptr) {
        m_modalLoop->quit();
    }
}

void WindowImplBase::CenterWindow() {
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    // On its owner when it has one (a dialog over the main window), else on
    // the screen; always inside the screen's free area.
    const QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(owner != nullptr && owner->isVisible() ? owner->frameGeometry().center()
                                                            : area.center());
    move(KeptInside(frame.topLeft(), frame.size(), area));
}

QPoint WindowImplBase::KeptInside(QPoint corner, QSize size, const QRect& area) {
    return {std::max(area.left(), std::min(corner.x(), area.right() + 1 - size.width())),
            std::max(area.top(), std::min(corner.y(), area.bottom() + 1 - size.height()))};
}

qintptr WindowImplBase::HandleCustomMessage(uint32_t, quintptr, qintptr, bool& handled) {
    handled = false;
    return 0;
}

qintptr WindowImplBase::Dispatch(uint32_t message, quintptr wParam, qintptr lParam) {
    bool handled = false;
    return HandleCustomMessage(message, wParam, lParam, handled);
}

qintptr WindowImplBase::SendMessage(uint32_t message, quintptr wParam, qintptr lParam) {
    qintptr result = 0;
    SendMessage(message, wParam, lParam, std::stop_token(), &result);
    return result;
}

bool WindowImplBase::SendMessage(uint32_t message, quintptr wParam, qintptr lParam,
                                 std::stop_token stop, qintptr* result) {
    if (QThread::currentThread() == thread()) {
        const qintptr value = Dispatch(message, wParam, lParam);
        if (result != nullptr) {
            *result = value;
        }
        return true;
    }
    auto pending = std::make_shared<PendingSend>();
    QMetaObject::invokeMethod(
        this,
        [this, pending, message, wParam, lParam] {
            const qintptr value = Dispatch(message, wParam, lParam);
            std::lock_guard guard(pending->lock);
            pending->result = value;
            pending->handled = true;
            pending->done.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock guard(pending->lock);
    pending->done.wait(guard, stop, [&pending] { return pending->handled; });
    if (!pending->handled) {
        return false;  // the sender was told to stop
    }
    if (result != nullptr) {
        *result = pending->result;
    }
    return true;
}

void WindowImplBase::PostMessage(uint32_t message, quintptr wParam, qintptr lParam) {
    QMetaObject::invokeMethod(
        this, [this, message, wParam, lParam] { Dispatch(message, wParam, lParam); },
        Qt::QueuedConnection);
}

bool WindowImplBase::SetTimer(int id, int elapseMs) {
    if (elapseMs < 0) {
        return false;
    }
    QTimer* timer = m_timers.value(id);
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this,
                [this, id] { Dispatch(kMsgTimer, static_cast<quintptr>(id), 0); });
        m_timers.insert(id, timer);
    }
    timer->start(elapseMs);
    return true;
}

bool WindowImplBase::KillTimer(int id) {
    QTimer* timer = m_timers.take(id);
    delete timer;
    return timer != nullptr;
}

void WindowImplBase::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!m_initSent && m_root != nullptr) {
        m_initSent = true;
        // After this paint has finished.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (m_root != nullptr) {
                    m_manager.SendNotify(m_root, QString::fromLatin1(notify::kWindowInit));
                }
            },
            Qt::QueuedConnection);
    }
}

void WindowImplBase::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_root != nullptr) {
        m_manager.SendNotify(m_root, QString::fromLatin1(notify::kWindowSize),
                             static_cast<quintptr>(width()), height());
    }
}

void WindowImplBase::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !CaptionRect().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) {
        return;
    }
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void WindowImplBase::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void WindowImplBase::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void WindowImplBase::closeEvent(QCloseEvent* event) {
    if (m_modalLoop != nullptr) {
        // The system close of a dialog ends the dialog, never the program.
        event->ignore();
        Close(kIdCancel);
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace kx520::ui
