#pragma once

#include <QMouseEvent>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "ui/CPaintManagerUI.h"
#include "builder/WindowImplBase.h"

namespace kx520::test {

// A window over any layout that records every notification it gets.
class RecordingWindow : public ui::WindowImplBase {
public:
    explicit RecordingWindow(QString layout) : m_layout(std::move(layout)) {}
    QString GetWindowClassName() const override { return QStringLiteral("TestWindow"); }
    QString GetSkinFile() const override { return m_layout; }
    void Notify(const ui::Notification& notification) override {
        notifications.push_back(notification);
    }
    // "type:sender" of each notification, for compact assertions.
    QStringList Seen() const;
    void Clear() { notifications.clear(); }

    std::vector<ui::Notification> notifications;

private:
    QString m_layout;
};

// Real mouse events at a widget's local position.
void SendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button,
               Qt::MouseButtons buttons);
void Click(QWidget* widget, QPoint position = {-1, -1});

// The control tree of a shipped layout, built into `window` as the
// application builds it; null with the builder's reason in `error`.
ui::CControlUI* BuildLayout(ui::WindowImplBase& window, const QString& layout, QString& error);

// A layout file written for one test, in a folder of its own.
QString WriteLayout(const QString& folder, const QString& name, const QString& xml);

}  // namespace kx520::test
