#pragma once

#include <QString>
#include <functional>

namespace kx520::ui {

class CControlUI;
class WindowImplBase;

// Drives the skinned windows from outside as a user would: every action
// goes through the same Qt events or control entry points a mouse or
// keyboard uses, so the controls raise their usual notifications and the
// window's routing runs unchanged. Answers describe windows and controls as
// JSON. UI thread only.
class UiAutomation {
public:
    using Reply = std::function<void(const QString& error)>;

    // `mainWindow` is searched after the top-most window.
    explicit UiAutomation(WindowImplBase& mainWindow) : m_main(mainWindow) {}

    // The open windows, top-most first: {"name", "layout", "modal"}.
    QString WindowsJson() const;
    // The named controls of a window ("" is the top-most); false with the
    // reason in `out` for a window that is not open.
    bool ControlsJson(const QString& window, QString& out) const;
    // One control, named as Act names it.
    bool ControlJson(const QString& control, QString& out) const;
    // Acts on a control: "click", "dbclick", "select" N, "check" 0|1,
    // "text" TEXT, "value" N, "menu". `reply` gets "" once the action has
    // run or a modal window it opened is shown (whichever comes first), or
    // at once the reason it cannot be done. The action itself runs from
    // the event loop, never inside the caller.
    void Act(const QString& control, const QString& action, const QString& argument, Reply reply);
    // The top-most window as a PNG; false with the reason.
    bool Screenshot(const QString& path, QString& error) const;

    // A control by name (case-insensitive) or "#USERDATA" in the top-most
    // window, then in the main window; nullptr when neither has it.
    CControlUI* Find(const QString& control) const;

private:
    WindowImplBase* FindWindow(const QString& window) const;
    // What the action will do, checked now; empty with `error` set when it
    // cannot be done.
    std::function<void()> Prepare(CControlUI& control, const QString& action,
                                  const QString& argument, QString& error) const;

    WindowImplBase& m_main;
};

}  // namespace kx520::ui
