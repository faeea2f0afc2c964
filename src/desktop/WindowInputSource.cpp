#include "desktop/WindowInputSource.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

#include "keycodes/NativeScanCode.h"

namespace kx520 {

namespace {

uint16_t ButtonCode(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return kButtonLeft;
        case Qt::RightButton:
            return kButtonRight;
        case Qt::MiddleButton:
            return kButtonMiddle;
        case Qt::BackButton:
            return kButtonSide;
        case Qt::ForwardButton:
            return kButtonExtra;
        default:
            return 0;
    }
}

}  // namespace

WindowInputSource::~WindowInputSource() {
    Stop();
}

bool WindowInputSource::Start(Sink sink, std::string& why) {
    QCoreApplication* application = QCoreApplication::instance();
    if (application == nullptr) {
        why = "no application to hear input in";
        return false;
    }
    Stop();
    m_sink = std::move(sink);
    application->installEventFilter(this);
    m_started = true;
    return true;
}

void WindowInputSource::Stop() {
    if (!m_started) {
        return;
    }
    if (QCoreApplication* application = QCoreApplication::instance()) {
        application->removeEventFilter(this);
    }
    m_started = false;
    m_sink = nullptr;
}

bool WindowInputSource::eventFilter(QObject* watched, QEvent* event) {
    // A window gets each input event first and hands it to its widgets,
    // which hand it to their parents: take it once, at the window.
    if (!m_sink || !watched->isWindowType()) {
        return false;
    }
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const uint32_t evdev = EvdevFromNative(key->nativeScanCode());
        if (!key->isAutoRepeat() && evdev > 0 && evdev <= 0xFFFF) {
            CapturedInput input;
            input.kind = CapturedInput::Kind::kKey;
            input.press = type == QEvent::KeyPress;
            input.code = static_cast<uint16_t>(evdev);
            m_sink(input);
        }
        return !IsLockKey(evdev);  // the lock keys still lock
    }
    // A second press in quick succession comes as a double click.
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (press || type == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (const uint16_t code = ButtonCode(mouse->button()); code != 0) {
            CapturedInput input;
            input.kind = CapturedInput::Kind::kButton;
            input.press = press;
            input.code = code;
            input.hasPoint = true;
            input.x = static_cast<int>(mouse->globalPosition().x());
            input.y = static_cast<int>(mouse->globalPosition().y());
            m_sink(input);
        }
    }
    return false;
}

}  // namespace kx520
