#pragma once

#include <QPoint>
#include <QString>

#include "builder/WindowImplBase.h"

namespace kx520::ui {

// The record a menu command carries to its owner with MSG_MENU_CLICK
// (wParam points to it; it lives for the duration of the call).
struct MenuCommand {
    QString name;
    QString userData;
    QString text;
    bool checked = false;
};

inline constexpr uint32_t kMsgMenuClick = 1145;  // WM_USER + 121

// A pop-up menu built from a layout whose root holds MenuElement items.
// Choosing an item closes the menu and sends MSG_MENU_CLICK to the owner;
// clicking elsewhere closes it without a command.
class CMenuWnd : public WindowImplBase {
    Q_OBJECT

public:
    // Where the point is relative to the menu.
    enum Alignment {
        kAlignLeft = 1 << 1,    // the menu's left edge at the point
        kAlignTop = 1 << 2,     // its top edge at the point
        kAlignRight = 1 << 3,   // its right edge at the point
        kAlignBottom = 1 << 4,  // its bottom edge at the point
    };

    CMenuWnd(WindowImplBase* owner, QString layout);

    // Builds the menu and shows it at `point` (screen coordinates); the menu
    // deletes itself when it closes. nullptr (and `error`) for a broken layout.
    static CMenuWnd* Show(WindowImplBase* owner, const QString& layout, QPoint point,
                          int alignment, QString* error = nullptr);
    // The top-left corner for a menu of `size` at `point` with `alignment`.
    // The top-left corner for a menu of `size` aligned at `point`, kept
    // inside `available` (the screen's area without panels) when given.
    static QPoint Place(QPoint point, QSize size, int alignment, const QRect& available = {});

    QString GetWindowClassName() const override { return QStringLiteral("MenuWnd"); }
    QString GetSkinFile() const override { return m_layout; }
    void Notify(const Notification& notification) override;

private:
    WindowImplBase* m_owner;
    QString m_layout;
};

}  // namespace kx520::ui
