#include "windows/SettingsCheckSink.h"

#include <QMetaObject>

#include "windows/CSetWnd.h"

namespace kx520 {

template <typename Step>
void SettingsCheckSink::Post(Step step) {
    CSetWnd* window = &m_window;
    // Queued on the window: Qt drops it if the window is gone first.
    QMetaObject::invokeMethod(
        window,
        [window, step = std::move(step)] {
            if (!window->ChecksStopped()) {
                step(*window);
            }
        },
        Qt::QueuedConnection);
}

void SettingsCheckSink::SetUpdateState(int state) {
    Post([state](CSetWnd& window) { window.SetUpdateState(state); });
}

void SettingsCheckSink::AddUpdateItem(const online::UpdateRecord& record) {
    Post([record](CSetWnd& window) { window.AddUpdateItem(record); });
}

void SettingsCheckSink::RefreshUpdateItem(const online::UpdateRecord& record, int row) {
    Post([record, row](CSetWnd& window) { window.RefreshUpdateItem(record, row); });
}

void SettingsCheckSink::CheckFinished(int failures) {
    Post([failures](CSetWnd& window) { window.FinishCheck(failures); });
}

}  // namespace kx520
