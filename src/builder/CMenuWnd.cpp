#include "builder/CMenuWnd.h"

#include <QGuiApplication>
#include <QScreen>

#include "controls/CMenuElementUI.h"
#include "ui/CResourceManager.h"

namespace kx520::ui {

CMenuWnd::CMenuWnd(WindowImplBase* owner, QString layout)
    : m_owner(owner), m_layout(std::move(layout)) {
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
}

QPoint CMenuWnd::Place(QPoint point, QSize size, int alignment, const QRect& available) {
    QPoint corner = point;
    if ((alignment & kAlignRight) != 0) {
        corner.setX(point.x() - size.width());
    }
    if ((alignment & kAlignBottom) != 0) {
        corner.setY(point.y() - size.height());
    }
    if (available.isEmpty()) {
        return corner;
    }
    // Never partly off the screen or under a panel.
    return KeptInside(corner, size, available);
}

CMenuWnd* CMenuWnd::Show(WindowImplBase* owner, const QString& layout, QPoint point,
                         int alignment, QString* error) {
    auto* menu = new CMenuWnd(owner, layout);
    if (!menu->Create(error)) {
        delete menu;
        return nullptr;
    }
    if (owner != nullptr) {
        menu->SetDPI(owner->GetPaintManager().GetDPI());
    }
    const QSize size = menu->LayoutSize().isEmpty() ? menu->sizeHint() : menu->size();
    const QScreen* screen = QGuiApplication::screenAt(point);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    menu->move(Place(point, size, alignment, screen != nullptr ? screen->availableGeometry() : QRect()));
    menu->show();
    return menu;
}

void CMenuWnd::Notify(const Notification& notification) {
    if (notification.type != QLatin1String(notify::kClick)) {
        return;
    }
    auto* item = dynamic_cast<CMenuElementUI*>(notification.sender);
    if (item == nullptr) {
        return;
    }
    MenuCommand command{item->GetName(), item->GetUserData(),
                        CResourceManager::Instance().GetText(item->GetText()), item->IsChecked()};
    close();
    if (m_owner != nullptr) {
        m_owner->SendMessage(kMsgMenuClick, reinterpret_cast<quintptr>(&command), 0);
    }
}

}  // namespace kx520::ui
