#include "builder/UiAutomation.h"

#include <QComboBox>
#include <QPainter>

#include "ui/CResourceManager.h"

#include <QApplication>
#include <QFocusEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "controls/CComboUI.h"
#include "controls/CEditUI.h"
#include "builder/CListElementUI.h"
#include "builder/CListUI.h"
#include "controls/CMenuElementUI.h"
#include "controls/COptionUI.h"
#include "controls/CProgressUI.h"
#include "controls/CSliderUI.h"
#include "builder/WindowImplBase.h"

namespace kx520::ui {

namespace {

using Step = std::function<void(CControlUI&)>;

// Layouts settle in posted events; what is described or shot is what the
// user sees once they have.
void SettleLayouts() {
    // A layout that moves its children asks again for theirs: a few rounds.
    for (int round = 0; round < 8; ++round) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    }
}

QString Compact(const QJsonDocument& document) {
    return QString::fromUtf8(document.toJson(QJsonDocument::Compact));
}

// Depth first, in layout order.
void Walk(CControlUI* control, const std::function<void(CControlUI&)>& visit) {
    if (control == nullptr) {
        return;
    }
    visit(*control);
    for (CControlUI* child : control->ChildControls()) {
        Walk(child, visit);
    }
}

QString RowText(const CControlUI& row) {
    QString text = row.GetDisplayText();
    for (CControlUI* cell : row.ChildControls()) {
        const QString part = RowText(*cell);
        if (!part.isEmpty()) {
            text += (text.isEmpty() ? QString() : QStringLiteral("\t")) + part;
        }
    }
    return text;
}

// `shown` under `key`, and the text id it came from beside it as
// `key` + "Id" when the two differ, so a script reads what the user reads.
void PutText(QJsonObject& object, const QString& key, const QString& shown, const QString& id) {
    object[key] = shown;
    if (!id.isEmpty() && id != shown) {
        object[key + QStringLiteral("Id")] = id;
    }
}

QJsonObject Describe(const CControlUI& control) {
    QJsonObject object;
    const auto& texts = CResourceManager::Instance();
    object[QStringLiteral("name")] = control.GetName();
    object[QStringLiteral("class")] = control.GetClass();
    object[QStringLiteral("userdata")] = control.GetUserData();
    // Shown on screen: the control and every container up to its window.
    object[QStringLiteral("visible")] = control.isVisible();
    object[QStringLiteral("enabled")] = control.isEnabled();
    PutText(object, QStringLiteral("text"), control.GetDisplayText(), control.GetText());
    if (!control.GetToolTip().isEmpty()) {
        PutText(object, QStringLiteral("tooltip"), texts.GetText(control.GetToolTip()), control.GetToolTip());
    }
    // Where it is in its window, in pixels: x, y, width, height.
    const QRect place = control.GetPos();
    object[QStringLiteral("rect")] =
        QJsonArray{place.x(), place.y(), place.width(), place.height()};
    if (const auto* option = dynamic_cast<const COptionUI*>(&control)) {
        object[QStringLiteral("selected")] = option->IsSelected();
    }
    if (const auto* slider = dynamic_cast<const CSliderUI*>(&control)) {
        object[QStringLiteral("value")] = slider->GetValue();
    }
    if (const auto* progress = dynamic_cast<const CProgressUI*>(&control)) {
        object[QStringLiteral("value")] = progress->GetValue();
    }
    if (const auto* combo = dynamic_cast<const CComboUI*>(&control)) {
        QJsonArray items;
        for (int i = 0; i < combo->GetCount(); ++i) {
            QJsonObject item{{QStringLiteral("userdata"), combo->GetItemUserData(i)},
                             {QStringLiteral("visible"), true}};
            PutText(item, QStringLiteral("text"), combo->ComboBox()->itemText(i), combo->GetItemText(i));
            items.append(item);
        }
        object[QStringLiteral("items")] = items;
        object[QStringLiteral("current")] = combo->GetCurSel();
        object.remove(QStringLiteral("textId"));
        const int current = combo->GetCurSel();
        PutText(object, QStringLiteral("text"), current >= 0 ? combo->ComboBox()->itemText(current) : QString(),
                current >= 0 ? combo->GetItemText(current) : QString());
    }
    if (const auto* list = dynamic_cast<const CListUI*>(&control)) {
        QJsonArray items;
        for (const CControlUI* row : list->ChildControls()) {
            items.append(QJsonObject{{QStringLiteral("text"), RowText(*row)},
                                     {QStringLiteral("userdata"), row->GetUserData()},
                                     {QStringLiteral("visible"), row->IsVisible()}});
        }
        object[QStringLiteral("items")] = items;
        object[QStringLiteral("current")] = list->GetCurSel();
    }
    return object;
}

void SendMouse(QWidget& target, QEvent::Type type, QPoint local) {
    const QPointF position(local);
    QMouseEvent event(type, position, QPointF(target.mapToGlobal(local)),
                      Qt::LeftButton, type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&target, &event);
}

// A left click at the control's centre, delivered to the widget a pointer
// there would hit; unhandled, it goes up to the parents as Qt sends it.
void Click(CControlUI& control, bool twice) {
    const QPoint centre = control.rect().center();
    QWidget* target = control.childAt(centre);
    if (target == nullptr) {
        target = &control;
    }
    const QPoint local = target->mapFrom(&control, centre);
    QPointer<QWidget> alive(target);
    SendMouse(*target, QEvent::MouseButtonPress, local);
    if (alive) {
        SendMouse(*alive, QEvent::MouseButtonRelease, local);
    }
    if (twice && alive) {
        SendMouse(*alive, QEvent::MouseButtonDblClick, local);
    }
    if (twice && alive) {
        SendMouse(*alive, QEvent::MouseButtonRelease, local);
    }
}

void SendKey(QWidget& target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(&target, &release);
}

// Focus in, the old text selected and typed over key by key, then the focus
// leaves as when the user tabs away.
void Type(CEditUI& edit, const QString& text) {
    QLineEdit* line = edit.LineEdit();
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(line, &in);
    line->selectAll();
    if (text.isEmpty() && !line->text().isEmpty()) {
        SendKey(*line, Qt::Key_Backspace, QString());
    }
    for (const QChar character : text) {
        SendKey(*line, Qt::Key_unknown, QString(character));
    }
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(line, &out);
}

// A control in a container that takes no mouse input cannot be clicked.
bool TakesMouse(const QWidget& control) {
    for (const QWidget* widget = &control; widget != nullptr && !widget->isWindow();
         widget = widget->parentWidget()) {
        if (widget->testAttribute(Qt::WA_TransparentForMouseEvents)) {
            return false;
        }
    }
    return true;
}

bool ParseNumber(const QString& text, int& number) {
    bool ok = false;
    number = text.trimmed().toInt(&ok);
    return ok;
}

}  // namespace

QString UiAutomation::WindowsJson() const {
    QJsonArray windows;
    for (const WindowImplBase* window : WindowImplBase::OpenWindows()) {
        windows.append(QJsonObject{{QStringLiteral("name"), window->GetWindowClassName()},
                                   {QStringLiteral("layout"), window->GetSkinFile()},
                                   {QStringLiteral("modal"), window->IsModal()}});
    }
    return Compact(QJsonDocument(windows));
}

WindowImplBase* UiAutomation::FindWindow(const QString& name) const {
    const QList<WindowImplBase*> open = WindowImplBase::OpenWindows();
    if (name.isEmpty()) {
        return open.isEmpty() ? &m_main : open.first();
    }
    auto matches = [&name](const QString& candidate) {
        return candidate.compare(name, Qt::CaseInsensitive) == 0;
    };
    for (WindowImplBase* window : open) {
        const QString layout = window->GetSkinFile();
        const QString base = layout.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
        if (matches(window->GetWindowClassName()) || matches(layout) || matches(base)) {
            return window;
        }
    }
    return nullptr;
}

bool UiAutomation::ControlsJson(const QString& window, QString& out) const {
    SettleLayouts();
    WindowImplBase* found = FindWindow(window);
    if (found == nullptr) {
        out = QStringLiteral("no open window '%1'").arg(window);
        return false;
    }
    QJsonArray controls;
    Walk(found->GetPaintManager().GetRoot(), [&controls](CControlUI& control) {
        if (!control.GetName().isEmpty()) {
            controls.append(Describe(control));
        }
    });
    out = Compact(QJsonDocument(controls));
    return true;
}

namespace {

// How near a control is to being on screen: above any hidden one when it
// is shown, else the depth of its nearest shown ancestor.
int ShownDepth(const QWidget& control) {
    constexpr int kShown = 1 << 16;
    if (control.isVisible()) {
        return kShown;
    }
    const QWidget* up = control.parentWidget();
    while (up != nullptr && !up->isVisible()) {
        up = up->parentWidget();
    }
    int depth = 0;
    for (; up != nullptr; up = up->parentWidget()) {
        ++depth;
    }
    return depth;
}

}  // namespace

CControlUI* UiAutomation::Find(const QString& name) const {
    if (name.isEmpty()) {
        return nullptr;
    }
    const bool byData = name.startsWith(QLatin1Char('#'));
    const QString wanted = byData ? name.mid(1) : name;
    QList<WindowImplBase*> windows;
    if (WindowImplBase* top = FindWindow(QString())) {
        windows.append(top);
    }
    if (!windows.contains(&m_main)) {
        windows.append(&m_main);
    }
    for (WindowImplBase* window : windows) {
        // Several pages may hold a control of the same name: the one on
        // screen is the one a user would reach, else the one nearest to the
        // screen (on the page shown, in a panel not open yet).
        CControlUI* best = nullptr;
        int bestDepth = -1;
        Walk(window->GetPaintManager().GetRoot(), [&](CControlUI& control) {
            const bool match = byData ? control.GetUserData() == wanted
                                      : control.GetName().compare(wanted, Qt::CaseInsensitive) == 0;
            if (!match) {
                return;
            }
            const int depth = ShownDepth(control);
            if (depth > bestDepth) {
                best = &control;
                bestDepth = depth;
            }
        });
        if (best != nullptr) {
            return best;
        }
    }
    return nullptr;
}

bool UiAutomation::ControlJson(const QString& name, QString& out) const {
    SettleLayouts();
    const CControlUI* control = Find(name);
    if (control == nullptr) {
        out = QStringLiteral("no control '%1'").arg(name);
        return false;
    }
    out = Compact(QJsonDocument(Describe(*control)));
    return true;
}

std::function<void()> UiAutomation::Prepare(CControlUI& control, const QString& action,
                                            const QString& argument, QString& error) const {
    QPointer<CControlUI> target(&control);
    auto later = [target](Step step) -> std::function<void()> {
        return [target, step] {
            if (target) {
                step(*target);
            }
        };
    };
    const QString name = control.GetName();
    if (!control.isVisible()) {
        error = QStringLiteral("'%1' is not shown").arg(name);
        return {};
    }
    if (!control.isEnabled()) {
        error = QStringLiteral("'%1' is disabled").arg(name);
        return {};
    }
    const bool pointing = action == QLatin1String("click") || action == QLatin1String("dbclick") ||
                          action == QLatin1String("menu") || action == QLatin1String("check");
    if (pointing && !TakesMouse(control)) {
        error = QStringLiteral("'%1' takes no mouse input now (its page is locked)").arg(name);
        return {};
    }
    if (action == QLatin1String("click") || action == QLatin1String("dbclick")) {
        const bool twice = action == QLatin1String("dbclick");
        return later([twice](CControlUI& c) { Click(c, twice); });
    }
    if (action == QLatin1String("menu")) {
        if (dynamic_cast<CMenuElementUI*>(&control) == nullptr) {
            error = QStringLiteral("'%1' is not a menu item").arg(name);
            return {};
        }
        return later([](CControlUI& c) { Click(c, false); });
    }
    int number = 0;
    const bool numeric = ParseNumber(argument, number);
    if (action == QLatin1String("select")) {
        auto* combo = dynamic_cast<CComboUI*>(&control);
        auto* list = dynamic_cast<CListUI*>(&control);
        const int count = combo != nullptr  ? combo->GetCount()
                          : list != nullptr ? static_cast<int>(list->ChildControls().size())
                                            : -1;
        if (count < 0) {
            error = QStringLiteral("'%1' is neither a combo nor a list").arg(name);
            return {};
        }
        if (!numeric || number < 0 || number >= count) {
            error = QStringLiteral("'%1' has no item '%2' (it has %3)").arg(name, argument).arg(count);
            return {};
        }
        return later([number](CControlUI& c) {
            if (auto* box = dynamic_cast<CComboUI*>(&c)) {
                box->SelectItem(number, true);
            } else if (auto* rows = dynamic_cast<CListUI*>(&c)) {
                rows->SelectItem(number, true);
            }
        });
    }
    if (action == QLatin1String("check")) {
        auto* option = dynamic_cast<COptionUI*>(&control);
        if (option == nullptr) {
            error = QStringLiteral("'%1' is not an option").arg(name);
            return {};
        }
        if (!numeric || (number != 0 && number != 1)) {
            error = QStringLiteral("check takes 0 or 1");
            return {};
        }
        const bool wanted = number == 1;
        if (option->IsSelected() == wanted) {
            return later([](CControlUI&) {});
        }
        if (!wanted && !option->GetGroup().isEmpty()) {
            error = QStringLiteral("'%1' is cleared by choosing another option of its group")
                        .arg(name);
            return {};
        }
        return later([](CControlUI& c) { Click(c, false); });
    }
    if (action == QLatin1String("text")) {
        auto* edit = dynamic_cast<CEditUI*>(&control);
        if (edit == nullptr || edit->LineEdit()->isReadOnly()) {
            error = QStringLiteral("'%1' is not an edit that takes text").arg(name);
            return {};
        }
        return later([argument](CControlUI& c) {
            if (auto* field = dynamic_cast<CEditUI*>(&c)) {
                Type(*field, argument);
            }
        });
    }
    if (action == QLatin1String("value")) {
        auto* slider = dynamic_cast<CSliderUI*>(&control);
        auto* progress = dynamic_cast<CProgressUI*>(&control);
        if (slider == nullptr && progress == nullptr) {
            error = QStringLiteral("'%1' is neither a slider nor a progress bar").arg(name);
            return {};
        }
        const int minimum = slider != nullptr ? slider->GetMinValue() : progress->GetMinValue();
        const int maximum = slider != nullptr ? slider->GetMaxValue() : progress->GetMaxValue();
        if (!numeric || number < minimum || number > maximum) {
            error = QStringLiteral("'%1' takes %2 to %3").arg(name).arg(minimum).arg(maximum);
            return {};
        }
        return later([number](CControlUI& c) {
            if (auto* s = dynamic_cast<CSliderUI*>(&c)) {
                s->SetValue(number);
            } else if (auto* p = dynamic_cast<CProgressUI*>(&c)) {
                p->SetValue(number);
            }
            // What the end of a drag sends.
            c.SendNotify(QString::fromLatin1(notify::kValueChanged));
        });
    }
    error = QStringLiteral("unknown action '%1' (click, dbclick, select, check, text, value, menu)")
                .arg(action);
    return {};
}

void UiAutomation::Act(const QString& control, const QString& action, const QString& argument,
                       Reply reply) {
    CControlUI* target = Find(control);
    if (target == nullptr) {
        reply(QStringLiteral("no control '%1'").arg(control));
        return;
    }
    QString error;
    std::function<void()> step = Prepare(*target, action, argument, error);
    if (!step) {
        reply(error);
        return;
    }
    QTimer::singleShot(0, &m_main, [step = std::move(step), reply = std::move(reply)] {
        auto replied = std::make_shared<bool>(false);
        auto once = [replied, reply] {
            if (!*replied) {
                *replied = true;
                reply(QString());
            }
        };
        // A modal window the action opens runs until someone answers it:
        // the caller hears back once it is shown.
        WindowImplBase::SetModalObserver([once](WindowImplBase*) { once(); });
        step();
        WindowImplBase::SetModalObserver({});
        once();
    });
}

bool UiAutomation::Screenshot(const QString& path, QString& error) const {
    SettleLayouts();
    WindowImplBase* top = FindWindow(QString());
    if (top == nullptr) {
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    QPixmap shot = top->grab();
    // An open drop-down list is a window of its own: drawn where it shows,
    // as far as it lies over the window.
    if (QWidget* popup = QApplication::activePopupWidget(); popup != nullptr && popup->isVisible()) {
        QPainter painter(&shot);
        painter.drawPixmap(top->mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    }
    if (!shot.save(path, "PNG")) {
        error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace kx520::ui
