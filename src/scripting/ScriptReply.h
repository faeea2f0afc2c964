#pragma once

#include <QPointer>
#include <QString>
#include <functional>

#include "deviceui/CZentrelUSBDevice.h"

namespace kx520 {

// The answer to a script's call, at once or once a device answered (kept alive by the
// callbacks that finish it): what the device tells the user meanwhile is
// kept as the answer's reason, in place of a message box the script could
// not answer, and a call whose device goes away first is answered all the
// same.
class ScriptReply {
public:
    using Send = std::function<void(const QString& answer)>;

    ScriptReply(CZentrelUSBDevice& device, Send send);
    ~ScriptReply();
    ScriptReply(const ScriptReply&) = delete;
    ScriptReply& operator=(const ScriptReply&) = delete;

    // What the device told, "" when nothing.
    const QString& Told() const { return m_told; }
    // Sends the answer (once); the page tells the user again from then on.
    void Answer(const QString& answer);

private:
    void Release();

    QPointer<CZentrelUSBDevice> m_device;
    Send m_send;
    QString m_told;
    CZentrelUSBDevice::Teller m_before;
    bool m_answered = false;
};

}  // namespace kx520
