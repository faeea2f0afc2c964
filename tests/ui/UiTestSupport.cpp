#include "UiTestSupport.h"

#include <QApplication>
#include <QFile>

#include "ui/CControlUI.h"
#include "builder/CDialogBuilder.h"

namespace kx520::test {

QStringList RecordingWindow::Seen() const {
    QStringList seen;
    for (const ui::Notification& notification : notifications) {
        seen << notification.type + ":" +
                    (notification.sender != nullptr ? notification.sender->GetName() : QString());
    }
    return seen;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    const QPointF local(position);
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, QPoint position) {
    if (position == QPoint(-1, -1)) {
        position = widget->rect().center();
    }
    SendMouse(widget, QEvent::MouseButtonPress, position, Qt::LeftButton, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, position, Qt::LeftButton, Qt::NoButton);
}

ui::CControlUI* BuildLayout(ui::WindowImplBase& window, const QString& layout, QString& error) {
    ui::CDialogBuilder builder;
    return builder.Create(layout, &window.GetPaintManager(), nullptr, &error);
}

QString WriteLayout(const QString& folder, const QString& name, const QString& xml) {
    const QString path = folder + "/" + name;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(xml.toUtf8());
    }
    return path;
}

}  // namespace kx520::test
