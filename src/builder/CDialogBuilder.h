#pragma once

#include <QHash>
#include <QRect>
#include <optional>
#include <QSize>
#include <QString>

#include "ui/CPaintManagerUI.h"

class QXmlStreamReader;
class QWidget;

namespace kx520::ui {

class CControlUI;
class CContainerUI;

// Makes the controls of tags the toolkit does not know (the application's
// own classes). nullptr: not mine.
class IDialogBuilderCallback {
public:
    virtual ~IDialogBuilderCallback() = default;
    virtual CControlUI* CreateControl(const QString& className) = 0;
};

// Builds a control tree from a layout file (format: docs/skin-format.md).
// A tag is made by the toolkit, else by the callback, else by the control
// factory; anything else, an unknown attribute, a bad value, broken XML or
// a missing include is an error that names the file and the line.
class CDialogBuilder {
public:
    // The root control, or nullptr with `error` set. `manager` (optional)
    // takes the window's fonts; the tree is not attached to it.
    CControlUI* Create(const QString& file, CPaintManagerUI* manager = nullptr,
                       IDialogBuilderCallback* callback = nullptr, QString* error = nullptr);

    // What the <Window> element said; empty when it said nothing.
    QSize WindowSize() const { return m_size; }
    QRect Caption() const { return m_caption; }
    QString Title() const { return m_title; }

    static constexpr int kMaxIncludeDepth = 16;

private:
    CControlUI* ParseFile(const QString& file, int depth);
    CControlUI* ParseControl(QXmlStreamReader& xml, const QString& file, int depth);
    bool ParseChildren(QXmlStreamReader& xml, const QString& file, CControlUI* control, int depth);
    bool ParseWindow(QXmlStreamReader& xml, const QString& file);
    bool ParseFont(QXmlStreamReader& xml, const QString& file);
    bool ParseStyle(QXmlStreamReader& xml, const QString& file);
    // A style of this file (or an included one), else of the manager.
    std::optional<CPaintManagerUI::Style> FindStyle(const QString& name) const;
    CControlUI* MakeControl(const QString& tag) const;
    bool Fail(const QString& file, qint64 line, const QString& message);

    CPaintManagerUI* m_manager = nullptr;
    IDialogBuilderCallback* m_callback = nullptr;
    QString m_error;
    QSize m_size;
    QRect m_caption;
    QString m_title;
    QHash<QString, CPaintManagerUI::Style> m_styles;
};

}  // namespace kx520::ui
