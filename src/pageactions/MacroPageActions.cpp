#include "pageactions/MacroPageActions.h"

#include <QCursor>

#include "appwindow/AppWindow.h"
#include "appwindow/NotificationRouter.h"
#include "pageactions/RecordingCapture.h"
#include "appwindow/TrayController.h"
#include "deviceui/CZentrelUSBDevice.h"
#include "pages/CMacroControlUI.h"
#include "platform/DebugTrace.h"
#include "profileui/CDeviceProfileUI.h"
#include "profiles/MacroReferences.h"
#include "profiles/ProfileList.h"
#include "builder/CMenuWnd.h"
#include "ui/Notification.h"

namespace kx520 {

namespace {

using Time = MacroEditor::TimeMode;
using Insert = MacroEditor::InsertMode;
using Button = MacroEditor::Button;

constexpr const char* kActionMenu = "XML/Menus/macro_action_menu.xml";

struct MoveButton {
    const char* name;
    MacroEditor::Move move;
};
constexpr MoveButton kMoveButtons[] = {{"macro_btn_up", MacroEditor::Move::kUp},
                                       {"macro_btn_down", MacroEditor::Move::kDown},
                                       {"macro_btn_uptop", MacroEditor::Move::kTop},
                                       {"macro_btn_downbottom", MacroEditor::Move::kBottom}};

struct InsertMoveButton {
    const char* name;
    MacroEditor::Direction direction;
};
constexpr InsertMoveButton kInsertMoveButtons[] = {
    {"macro_inset_moveleftkey_btn", MacroEditor::Direction::kLeft},
    {"macro_inset_moverightkey_btn", MacroEditor::Direction::kRight},
    {"macro_inset_moveupkey_btn", MacroEditor::Direction::kUp},
    {"macro_inset_movedownkey_btn", MacroEditor::Direction::kDown}};

// The row menu's items of a button: its press, its release, both.
struct MenuButton {
    const char* down;
    const char* up;
    const char* click;
    Button button;
};
constexpr MenuButton kMenuButtons[] = {{"left_down", "left_up", "left_click", Button::kLeft},
                                       {"right_down", "right_up", "right_click", Button::kRight},
                                       {"middle_down", "middle_up", "middle_click", Button::kMiddle},
                                       {"forward_down", "forward_up", "forward_click", Button::kForward},
                                       {"back_down", "back_up", "back_click", Button::kBack}};

// The recording items of the row menu: a fixed time mode, or the page's.
struct RecordItem {
    const char* name;
    bool pageTime;
    Time time;
    Insert insert;
};
constexpr RecordItem kRecordItems[] = {
    {"redio_previous_record_time", true, Time::kRecorded, Insert::kBefore},
    {"redio_previous_constant_time", false, Time::kConstant, Insert::kBefore},
    {"redio_previous_ignore_time", false, Time::kIgnore, Insert::kBefore},
    {"redio_later_record_time", true, Time::kRecorded, Insert::kAfter},
    {"redio_later_constant_time", false, Time::kConstant, Insert::kAfter},
    {"redio_later_ignore_time", false, Time::kIgnore, Insert::kAfter},
    {"macro_action_edit", false, Time::kIgnore, Insert::kReplace}};

}  // namespace

CZentrelUSBDevice* MacroPageActions::Device() const {
    CZentrelUSBDevice* device = m_window.CurrentDevice();
    return device != nullptr && device->MacroPage() != nullptr ? device : nullptr;
}

MacroEditor::TimeMode MacroPageActions::PageTime(CMacroControlUI& page) const {
    return page.FixedTimeChecked() ? Time::kConstant : Time::kRecorded;
}

void MacroPageActions::Save(CMacroControlUI& page) {
    switch (page.Save()) {
        case profiles::MacroStore::SaveResult::kTooManyEvents:
            m_window.Ask(QStringLiteral("message_text_17"), 0);
            break;
        case profiles::MacroStore::SaveResult::kFailed:
            TellStoreFailed(page);
            break;
        default:
            break;
    }
}

void MacroPageActions::TellStoreFailed(const CMacroControlUI& page) {
    m_window.Ask(QStringLiteral("message_macro_store_failed"), 0, QString::fromStdString(page.Store().LastError()));
}

void MacroPageActions::AddRoutes(NotificationRouter& routes) {
    using Handler = std::function<void(CZentrelUSBDevice&, CMacroControlUI&)>;
    auto add = [this, &routes](const char* type, const char* name, Handler handler,
                               NameMatch match = NameMatch::CaseInsensitive) {
        routes.Add({type, name, match, [this, handler](const ui::Notification&, int) {
                        if (CZentrelUSBDevice* device = Device()) {
                            handler(*device, *device->MacroPage());
                        }
                    }});
    };
    using D = CZentrelUSBDevice&;
    using P = CMacroControlUI&;
    add(ui::notify::kItemSelect, "macro_name_list", [](D, P page) { page.ShowSelectedMacro(); });
    add(ui::notify::kItemSelect, "macro_action_list", [](D, P page) { page.TakeListSelection(); });
    add(ui::notify::kClick, "macro_btn_name_add", [this](D device, P page) {
        if (page.AddMacro()) {
            device.OnMacrosChanged();
        } else {
            TellStoreFailed(page);
        }
    });
    add(ui::notify::kClick, "macro_btn_name_sub", [this](D device, P) { DeleteSelectedMacro(device); });
    add(ui::notify::kClick, "macro_btn_name_edit", [this](D device, P page) {
        switch (page.RenameSelected()) {
            case profiles::MacroStore::RenameResult::kRenamed:
                device.OnMacrosChanged();
                break;
            case profiles::MacroStore::RenameResult::kInUse:
                m_window.Ask(QStringLiteral("message_text_5"), 0);
                break;
            case profiles::MacroStore::RenameResult::kFailed:
                if (!page.Store().LastError().empty()) {
                    TellStoreFailed(page);  // not when no macro was selected
                }
                break;
            default:
                break;  // a blank name does nothing
        }
    });
    add(ui::notify::kClick, "macro_btn_save", [this](D, P page) { Save(page); });
    add(ui::notify::kClick, "macro_btn_cancel", [](D, P page) { page.ShowSelectedMacro(); });
    add(ui::notify::kClick, "macro_btn_import", [this](D device, P page) {
        const QString path = m_window.AskFile(false, {}, AppWindow::FileKind::kMacro);
        if (path.isEmpty()) {
            return;
        }
        if (page.ImportMacro(path.toStdString())) {
            device.OnMacrosChanged();
        } else {
            m_window.Ask(QStringLiteral("message_macro_import"), 0, QString::fromStdString(page.Store().LastError()));
        }
    });
    add(ui::notify::kClick, "macro_btn_export", [this](D, P page) {
        const auto names = page.MacroNames();
        const int selected = page.SelectedMacro();
        if (selected < 0 || static_cast<size_t>(selected) >= names.size()) {
            return;
        }
        const QString path = m_window.AskFile(true, QString::fromStdString(names[selected]) + QStringLiteral(".mac"),
                                              AppWindow::FileKind::kMacro);
        if (!path.isEmpty() && !page.ExportSelected(path.toStdString())) {
            m_window.Ask(QStringLiteral("message_macro_export"), 0, QString::fromStdString(page.Store().LastError()));
        }
    });
    for (const MoveButton& button : kMoveButtons) {
        const MacroEditor::Move move = button.move;
        add(ui::notify::kClick, button.name, [this, move](D, P page) {
            page.MoveRow(move);
            Save(page);
        });
    }
    add(ui::notify::kClick, "macro_btn_delete", [this](D, P page) {
        page.DeleteRow();
        Save(page);
    });
    add(ui::notify::kClick, "macro_btn_deleteall", [this](D, P page) {
        page.DeleteAllRows();
        Save(page);
    });
    for (const InsertMoveButton& button : kInsertMoveButtons) {
        const MacroEditor::Direction direction = button.direction;
        // These four names are matched with their letter case.
        add(ui::notify::kClick, button.name, [this, direction](D, P page) {
            page.InsertMove(direction);
            Save(page);
        }, NameMatch::Exact);
    }
    add(ui::notify::kClick, "macro_btn_starredio",
        [this](D, P page) { StartRecording(PageTime(page), Insert::kAppend); });
    add(ui::notify::kClick, "macro_btn_stopredio", [this](D, P) { StopRecording(); });
    // Another tab or the window hidden: the device is still there to take the keys.
    add(CMacroControlUI::kRecordingLeft, "MacroControlItem", [this](D, P) { StopRecording(); });
    add(ui::notify::kKillFocus, "macro_delay", [this](D, P page) {
        if (!page.Recording()) {
            Save(page);
        }
    });
    // The row menu: a double click on a row, or a right click (at its point).
    auto openMenu = [this](const ui::Notification& notification, bool atPoint) {
        CZentrelUSBDevice* device = Device();
        if (device == nullptr || device->MacroPage()->Recording()) {
            return;
        }
        const auto packed = static_cast<quint32>(notification.lParam);
        const QPoint point = atPoint ? QPoint(static_cast<int16_t>(packed & 0xFFFF), static_cast<int16_t>(packed >> 16))
                                     : QCursor::pos();
        QString error;
        if (!ui::CMenuWnd::Show(&m_window, QLatin1String(kActionMenu), point,
                                ui::CMenuWnd::kAlignLeft | ui::CMenuWnd::kAlignTop, &error)) {
            DebugTrace(("macro action menu not built: " + error).toStdString());
        }
    };
    routes.Add({ui::notify::kItemActivate, CMacroControlUI::kRowName, NameMatch::CaseInsensitive,
                [openMenu](const ui::Notification& n, int) { openMenu(n, false); }});
    for (const char* part : {CMacroControlUI::kRowName, CMacroControlUI::kRowNameLabel,
                             CMacroControlUI::kRowDirectionLabel}) {
        routes.Add({ui::notify::kMenu, part, NameMatch::CaseInsensitive,
                    [openMenu](const ui::Notification& n, int) { openMenu(n, true); }});
    }
    for (const char* label : {CMacroControlUI::kRowNameLabel, CMacroControlUI::kRowDirectionLabel}) {
        routes.Add({ui::notify::kDbClick, label, NameMatch::CaseInsensitive,
                    [openMenu](const ui::Notification& n, int) { openMenu(n, false); }});
    }
    AddMenuItems();
}

void MacroPageActions::AddMenuItems() {
    TrayController& tray = m_window.Tray();
    for (const MenuButton& item : kMenuButtons) {
        const Button button = item.button;
        auto insert = [this, button](bool press, bool release) {
            if (CZentrelUSBDevice* device = Device(); device != nullptr && !device->MacroPage()->Recording()) {
                CMacroControlUI& page = *device->MacroPage();
                if (press) {
                    page.InsertButton(button, true);
                }
                if (release) {
                    page.InsertButton(button, false);
                }
                Save(page);
            }
        };
        tray.AddMenuItem(item.down, [insert] { insert(true, false); });
        tray.AddMenuItem(item.up, [insert] { insert(false, true); });
        tray.AddMenuItem(item.click, [insert] { insert(true, true); });
    }
    for (const RecordItem& item : kRecordItems) {
        tray.AddMenuItem(item.name, [this, item] {
            if (CZentrelUSBDevice* device = Device()) {
                StartRecording(item.pageTime ? PageTime(*device->MacroPage()) : item.time, item.insert);
            }
        });
    }
}

bool MacroPageActions::StartRecording(Time time, Insert insert) {
    CZentrelUSBDevice* device = Device();
    if (device == nullptr || device->MacroPage()->Recording()) {
        return false;
    }
    CMacroControlUI& page = *device->MacroPage();
    // A recording needs a macro to keep its rows: with none chosen, a new one.
    if (page.SelectedMacro() < 0) {
        if (!page.AddMacro()) {
            TellStoreFailed(page);
            return false;
        }
        device->OnMacrosChanged();
    }
    page.StartRecording(time, insert);
    std::string why;
    const InputCapture::Scope scope = m_capture.Start(static_cast<int>(insert), why);
    if (scope == InputCapture::Scope::kOff) {
        page.StopRecording();
        DebugTrace("recording could not start: " + why);
        m_window.Ask(QStringLiteral("message_record_failed"), 0, QString::fromStdString(why));
        return false;
    }
    page.SetCaptureNote(scope == InputCapture::Scope::kWindow ? QStringLiteral("macro_capture_window_only")
                                                              : QString());
    m_window.SetEditButtonsEnabled(true, false);
    return true;
}

void MacroPageActions::StopRecording(bool write) {
    m_capture.Stop();
    CZentrelUSBDevice* device = Device();
    if (device == nullptr || !device->MacroPage()->Recording()) {
        return;
    }
    CMacroControlUI& page = *device->MacroPage();
    page.StopRecording();
    m_window.SetEditButtonsEnabled(true, true);
    Save(page);
    if (write) {
        device->WriteKeysToDevice();
    }
}

bool MacroPageActions::DeleteSelectedMacro(CZentrelUSBDevice& device, bool ask) {
    CMacroControlUI& page = *device.MacroPage();
    const int selected = page.SelectedMacro();
    if (selected < 0 || selected >= page.MacroCount() || page.Recording()) {
        return false;
    }
    const auto removed = static_cast<size_t>(selected);
    const std::string id = page.Store().Entries()[removed].id;
    // Every question before any file changes.
    if (ask && m_window.Ask(QStringLiteral("message_text_4"), 1) != 1) {
        return false;
    }
    profiles::CBasicProfiledata& current = device.ProfileData();
    std::vector<profiles::KeyAssignmentEntry> keys = current.GetKeyList();
    if (ask && profiles::MacroReferences::Uses(keys, removed) &&
        m_window.Ask(QStringLiteral("message_text_2"), 1) != 1) {
        return false;
    }
    // A script may have changed the list while the questions were open.
    if (page.SelectedMacro() != selected || removed >= page.Store().Entries().size() ||
        page.Store().Entries()[removed].id != id || page.Recording()) {
        return false;
    }
    // The list first: when it cannot be written, no key moves to another macro.
    if (!page.RemoveSelected()) {
        DebugTrace("macro " + id + " not deleted: " + page.Store().LastError());
        if (ask) {
            TellStoreFailed(page);
        }
        return false;
    }
    const CDeviceProfileUI* profileControl = device.ProfileControl();
    const profiles::ProfileList* list = profileControl != nullptr ? profileControl->List() : nullptr;
    if (list != nullptr) {
        const std::string currentPath = current.GetProfilePath();
        for (const profiles::ProfileEntry& entry : list->Entries()) {
            const std::string path = list->ProfilePath(entry.id);
            if (path != currentPath &&
                !profiles::MacroReferences::RenumberFile(path, current.GetDeviceIndex(), removed)) {
                DebugTrace("macro references not renumbered in " + path);
            }
        }
    }
    const bool changed = profiles::MacroReferences::Renumber(keys, removed);
    if (changed) {
        current.SetKeyList(keys);
        device.SaveProfileData();  // the user is told when the file keeps the old numbers
    }
    device.OnMacrosChanged();
    if (changed) {
        device.WriteKeysToDevice();
    }
    return true;
}

}  // namespace kx520
