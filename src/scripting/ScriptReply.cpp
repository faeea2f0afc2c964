#include "scripting/ScriptReply.h"

namespace kx520 {

ScriptReply::ScriptReply(CZentrelUSBDevice& device, Send send)
    : m_device(&device), m_send(std::move(send)), m_before(device.GetTeller()) {
    device.SetTeller([this](const QString& text) { m_told = text; });
}

ScriptReply::~ScriptReply() {
    Answer(QStringLiteral("the device went away before it answered"));
}

void ScriptReply::Answer(const QString& answer) {
    if (m_answered) {
        return;
    }
    m_answered = true;
    Release();
    if (m_send) {
        m_send(answer);
    }
}

void ScriptReply::Release() {
    if (m_device) {
        m_device->SetTeller(std::move(m_before));
    }
}

}  // namespace kx520
