#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "platform/KeyRepeatPlan.h"

class QProcess;

namespace kx520 {

// Gives the keyboard's repeat delay and rate to the desktop's own keyboard
// settings (KeyRepeatPlan), running its commands one after another without
// blocking the window. A newer request replaces one still running.
class KeyRepeatDesktop : public QObject {
    Q_OBJECT

public:
    struct Outcome {
        // "kb_repeat_applied", "kb_repeat_next_login", "kb_repeat_stored" or
        // "kb_repeat_failed"; its %1 the desktop, %2 why it failed.
        QString textId;
        QString desktop;
        QString why;
    };
    using Done = std::function<void(const Outcome&)>;

    static constexpr int kCommandTimeoutMs = 5000;

    explicit KeyRepeatDesktop(QObject* parent = nullptr);
    ~KeyRepeatDesktop() override;

    // `done` on the UI thread once the desktop took it (or did not).
    void Apply(int delayMs, int rateStep, Done done);
    bool Running() const { return m_process != nullptr; }

private:
    void RunNext();
    void Finish(Outcome outcome);

    KeyRepeatPlan m_plan;
    size_t m_next = 0;
    QProcess* m_process = nullptr;
    Done m_done;
};

}  // namespace kx520
