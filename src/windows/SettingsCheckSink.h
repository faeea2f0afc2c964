#pragma once

#include "online/UpdateCheckSink.h"

namespace kx520 {

class CSetWnd;

// Hands each step of an update check from its thread to the settings
// window's thread; a step that lands after the window stopped its check
// is dropped.
class SettingsCheckSink : public online::UpdateCheckSink {
public:
    explicit SettingsCheckSink(CSetWnd& window) : m_window(window) {}

    void SetUpdateState(int state) override;
    void AddUpdateItem(const online::UpdateRecord& record) override;
    void RefreshUpdateItem(const online::UpdateRecord& record, int row) override;
    void CheckFinished(int failures) override;

private:
    template <typename Step>
    void Post(Step step);

    CSetWnd& m_window;
};

}  // namespace kx520
