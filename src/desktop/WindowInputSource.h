#pragma once

#include <QObject>

#include "desktop/InputSource.h"

namespace kx520 {

// The application's own windows: keys and mouse buttons while one of them
// has the focus. Keys are kept from the widgets (a recorded keystroke types
// nothing), except the three lock keys; mouse buttons go on, so the stop
// button can be clicked.
class WindowInputSource : public QObject, public InputSource {
    Q_OBJECT

public:
    ~WindowInputSource() override;
    bool Start(Sink sink, std::string& why) override;
    void Stop() override;
    bool SystemWide() const override { return false; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Sink m_sink;
    bool m_started = false;
};

}  // namespace kx520
