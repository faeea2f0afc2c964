#include "mouseui/MouseRecoil.h"

#include <memory>

#include "deviceui/CZentrelUSBDevice.h"
#include "pages/CShootControlUI.h"
#include "ui/CResourceManager.h"

namespace kx520 {

std::string MouseRecoil::Bind(CShootControlUI* page, const std::string& dataFolder, const std::string& defaultFolder) {
    m_page = page;
    if (m_page == nullptr) {
        return m_core.ProvideGuns();
    }
    m_page->SetFolders(dataFolder, defaultFolder);
    return m_page->Build();
}

bool MouseRecoil::Write(std::function<void(const MouseCore::ShootWrite&)> done) {
    auto written = std::make_shared<MouseCore::ShootWrite>();
    const bool started = m_device.RunExchange([core = &m_core, written] { *written = core->WriteShoot(); },
                                              [this, written, done = std::move(done)] {
                                                  if (m_page != nullptr) {
                                                      m_page->ShowStatus(StatusText(*written));
                                                  }
                                                  if (done) {
                                                      done(*written);
                                                  }
                                              });
    // Shown only for a write that started: `done` comes later, on this thread.
    if (started && m_page != nullptr) {
        m_page->ShowStatus(ui::CResourceManager::Instance().GetText(QStringLiteral("shoot_writing")));
    }
    return started;
}

QString MouseRecoil::StatusText(const MouseCore::ShootWrite& written) {
    auto text = [](const char* id) { return ui::CResourceManager::Instance().GetText(QLatin1String(id)); };
    switch (written.result) {
        case protocol::kResultSuccess: return text("shoot_written");
        case protocol::kResultReceiverAnswered: return text("shoot_asleep");
        case protocol::kResultNoReply: return text("shoot_no_answer");
        case protocol::kResultStatusFF:
        case protocol::kResultStatusFE: return text("shoot_refused");
        default: return text("shoot_not_written").arg(QString::fromStdString(written.Reason()));
    }
}

}  // namespace kx520
