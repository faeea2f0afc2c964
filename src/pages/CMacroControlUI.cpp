#include "pages/CMacroControlUI.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimerEvent>
#include <json/writer.h>

#include <algorithm>

#include "macros/MacroActionView.h"
#include "controls/CEditUI.h"
#include "controls/CLabelUI.h"
#include "builder/CListElementUI.h"
#include "builder/CListUI.h"
#include "controls/COptionUI.h"
#include "ui/CPaintManagerUI.h"

namespace kx520 {

namespace {

constexpr const char* kNameList = "macro_name_list";
constexpr const char* kActionList = "macro_action_list";
constexpr const char* kNameEdit = "macro_edit_macroname";
constexpr const char* kFixedTimeCheck = "macro_check_time";
constexpr const char* kFixedTimeEdit = "macro_fixed_time_edit";
constexpr const char* kStart = "macro_btn_starredio";
constexpr const char* kStop = "macro_btn_stopredio";
constexpr const char* kDelayEdit = "macro_delay";
// Shown and enabled only while a macro is selected.
constexpr const char* kMacroControls[] = {"macro_action_layout", "mouse_move_layout", "macro_btn_export",
                                          "macro_btn_name_sub", "macro_btn_name_edit"};
// The distance edits of the four moves, by direction (left, right, up, down).
constexpr const char* kDistanceEdits[] = {"mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit",
                                          "mouse_y_down_edit"};

QString JsonText(const Json::Value& event) {
    Json::StreamWriterBuilder writer;
    writer["indentation"] = "   ";
    return QString::fromStdString(Json::writeString(writer, event));
}

uint32_t SteadyMs() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return static_cast<uint32_t>(clock.elapsed());
}

}  // namespace

CMacroControlUI::CMacroControlUI(QWidget* parent)
    : ui::CHorizontalLayoutUI(parent), m_store(std::make_unique<profiles::MacroStore>(std::string())) {}

CMacroControlUI::~CMacroControlUI() = default;

ui::CControlUI* CMacroControlUI::Part(const char* name) const {
    // A search walks every row's widgets too: thousands while recording.
    const QLatin1String key(name);
    if (const auto found = m_parts.constFind(key); found != m_parts.constEnd() && !found->isNull()) {
        return found->data();
    }
    ui::CControlUI* control = ui::CPaintManagerUI::FindSubControlByName(this, key);
    if (control != nullptr) {
        m_parts.insert(key, control);
    }
    return control;
}

ui::CListUI* CMacroControlUI::NameList() const {
    return dynamic_cast<ui::CListUI*>(Part(kNameList));
}

ui::CListUI* CMacroControlUI::ActionList() const {
    return dynamic_cast<ui::CListUI*>(Part(kActionList));
}

uint32_t CMacroControlUI::Now() const {
    return m_clock ? m_clock() : SteadyMs();
}

void CMacroControlUI::SetFolder(const std::string& folder) {
    m_store = std::make_unique<profiles::MacroStore>(folder);
    LoadMacroList();
}

void CMacroControlUI::LoadMacroList() {
    m_store->Load();
    ui::CListUI* list = NameList();
    if (list == nullptr) {
        return;
    }
    list->RemoveAll();
    for (const profiles::MacroEntry& entry : m_store->Entries()) {
        auto* item = new ui::CListElementUI();
        item->SetPlainText(true);  // a user's own name, never a text id
        item->SetText(QString::fromStdString(entry.name));
        item->SetUserData(QString::fromStdString(entry.id));
        item->SetFixedHeight(30);
        item->SetAttribute(QStringLiteral("inset"), QStringLiteral("10,0,10,0"));
        item->SetTextColor(QColor(0xE8, 0xEA, 0xF0));
        list->Add(item);
    }
    list->SelectItem(m_store->Entries().empty() ? -1 : 0, false);
    ShowSelectedMacro();
}

std::vector<std::string> CMacroControlUI::MacroNames() const {
    std::vector<std::string> names;
    for (const profiles::MacroEntry& entry : m_store->Entries()) {
        names.push_back(entry.name);
    }
    return names;
}

int CMacroControlUI::MacroCount() const {
    return static_cast<int>(m_store->Entries().size());
}

int CMacroControlUI::SelectedMacro() const {
    const ui::CListUI* list = NameList();
    return list != nullptr ? list->GetCurSel() : -1;
}

void CMacroControlUI::SelectMacro(int index) {
    if (ui::CListUI* list = NameList()) {
        list->SelectItem(index, false);
    }
    ShowSelectedMacro();
}

void CMacroControlUI::EnableMacroControls(bool enabled) {
    for (const char* name : kMacroControls) {
        if (ui::CControlUI* control = Part(name)) {
            control->SetEnabled(enabled);
        }
    }
}

void CMacroControlUI::ShowSelectedMacro() {
    const int selected = SelectedMacro();
    const bool shown = selected >= 0 && selected < MacroCount() &&
                       !m_store->Entries()[static_cast<size_t>(selected)].id.empty();
    EnableMacroControls(shown);
    std::vector<profiles::MacroRow> rows;
    if (shown) {
        rows = profiles::MacroStore::LoadMacroEvents(m_store->MacroPath(static_cast<size_t>(selected)));
        // A file from elsewhere may hold any number: the page shows as many
        // as recording may make (more than 250 are never saved).
        if (rows.size() > MacroEditor::kMaxRecordedRows) {
            rows.resize(MacroEditor::kMaxRecordedRows);
        }
    }
    m_editor.Load(std::move(rows));
    RebuildRows();
}

// --- the macro list ------------------------------------------------------------------

std::optional<size_t> CMacroControlUI::AddMacro() {
    const std::optional<size_t> added = m_store->NewMacro();
    if (!added) {
        return std::nullopt;
    }
    LoadMacroList();
    SelectMacro(static_cast<int>(*added));
    return added;
}

profiles::MacroStore::RenameResult CMacroControlUI::RenameSelected() {
    using Result = profiles::MacroStore::RenameResult;
    ui::CControlUI* edit = Part(kNameEdit);
    const int selected = SelectedMacro();
    if (edit == nullptr || selected < 0) {
        return Result::kFailed;
    }
    const Result result = m_store->RenameMacro(static_cast<size_t>(selected), edit->GetText().toStdString());
    if (result != Result::kRenamed) {
        return result;
    }
    edit->SetText(QString());
    if (ui::CListUI* list = NameList()) {
        if (ui::CControlUI* item = list->GetItemAt(selected)) {
            item->SetText(QString::fromStdString(m_store->Entries()[static_cast<size_t>(selected)].name));
        }
    }
    return result;
}

bool CMacroControlUI::RemoveSelected() {
    const int selected = SelectedMacro();
    if (selected < 0 || !m_store->DeleteMacro(static_cast<size_t>(selected))) {
        return false;
    }
    LoadMacroList();  // item 0 selected, or none left
    return true;
}

std::optional<size_t> CMacroControlUI::ImportMacro(const std::string& path) {
    const std::optional<size_t> imported = m_store->ImportMacro(path);
    if (!imported) {
        return std::nullopt;
    }
    LoadMacroList();
    SelectMacro(static_cast<int>(*imported));
    return imported;
}

bool CMacroControlUI::ExportSelected(const std::string& path) const {
    const int selected = SelectedMacro();
    return selected >= 0 && m_store->ExportMacro(static_cast<size_t>(selected), path);
}

// --- the rows --------------------------------------------------------------------------

ui::CListElementUI* CMacroControlUI::MakeRow(const profiles::MacroRow& row) {
    auto* element = new ui::CListElementUI();
    element->SetName(QLatin1String(kRowName));
    element->SetFixedHeight(30);
    element->SetChildPadding(4);
    element->SetManager(GetManager());
    auto* name = new ui::CLabelUI();
    auto* direction = new ui::CLabelUI();
    auto* delay = new ui::CEditUI();
    for (ui::CControlUI* cell : {static_cast<ui::CControlUI*>(name), static_cast<ui::CControlUI*>(direction),
                                 static_cast<ui::CControlUI*>(delay)}) {
        cell->SetManager(GetManager());
    }
    // Named so that a double or right click on them opens the row's menu.
    name->SetName(QLatin1String(kRowNameLabel));
    direction->SetName(QLatin1String(kRowDirectionLabel));
    delay->SetName(QLatin1String(kDelayEdit));
    delay->SetBkColor(QColor(0x44, 0x44, 0x44));
    delay->SetFixedHeight(25);
    delay->SetMaxChar(6);
    delay->SetNumberOnly(true);
    delay->SetMinMax(0, static_cast<int>(MacroEditor::kMaxDelay));
    delay->SetAttribute(QStringLiteral("style"), QLatin1String(kMacroTextStyle));
    element->Add(name);
    element->Add(direction);
    element->Add(delay);
    RenderRow(element, row);
    return element;
}

void CMacroControlUI::RenderRow(ui::CListElementUI* element, const profiles::MacroRow& row) {
    if (element == nullptr) {
        return;
    }
    const MacroActionView view = RenderActionRow(row.event);
    const QList<ui::CControlUI*> cells = element->ChildControls();
    if (cells.size() < 3) {
        return;
    }
    if (!view.nameStyle.empty()) {
        cells[0]->SetAttribute(QStringLiteral("style"), QString::fromStdString(view.nameStyle));
    }
    cells[0]->SetText(QString::fromStdString(view.name));
    // A press or release names itself through its style; a move shows its distance.
    cells[1]->SetPlainText(!view.direction.empty());
    cells[1]->SetAttribute(QStringLiteral("style"), QString::fromStdString(view.directionStyle));
    if (!view.direction.empty()) {
        cells[1]->SetText(QString::fromStdString(view.direction));
    }
    cells[2]->SetText(QString::fromStdString(row.delay.empty() ? view.delay : row.delay));
    element->SetUserData(row.event.isObject() ? JsonText(row.event) : QString());
}

void CMacroControlUI::RebuildRows() {
    m_recorded.clear();  // every row is shown again
    ui::CListUI* list = ActionList();
    if (list == nullptr) {
        return;
    }
    list->RemoveAll();
    for (const profiles::MacroRow& row : m_editor.Rows()) {
        list->Add(MakeRow(row));
    }
    list->SelectItem(m_editor.Selected(), false);
}

void CMacroControlUI::Apply(const MacroEditor::Change& change) {
    if (!change.scroll) {
        ShowRecorded();
        Show(change);
        return;
    }
    // Recorded rows are appended: those that come at once are shown at once.
    m_recorded.push_back(change);
    if (m_showTimer == 0) {
        m_showTimer = startTimer(0);
    }
}

void CMacroControlUI::ShowRecorded() {
    if (m_showTimer != 0) {
        killTimer(m_showTimer);
        m_showTimer = 0;
    }
    if (m_recorded.empty()) {
        return;
    }
    ui::CListUI* list = ActionList();
    if (list != nullptr) {
        list->HoldLayout(true);
    }
    // Appends only: a row shown from the rows as they are now is the row
    // that was appended then.
    for (const MacroEditor::Change& change : m_recorded) {
        Show(change);
    }
    m_recorded.clear();
    if (list != nullptr) {
        list->HoldLayout(false);
    }
}

void CMacroControlUI::Show(const MacroEditor::Change& change) {
    ui::CListUI* list = ActionList();
    if (list == nullptr) {
        return;
    }
    if (change.all) {
        RebuildRows();
        return;
    }
    if (change.removed >= 0) {
        list->RemoveAt(change.removed);
    }
    const auto& rows = m_editor.Rows();
    if (change.inserted >= 0 && static_cast<size_t>(change.inserted) < rows.size()) {
        list->AddAt(MakeRow(rows[static_cast<size_t>(change.inserted)]), change.inserted);
    }
    for (const int row : change.updated) {
        if (row >= 0 && static_cast<size_t>(row) < rows.size()) {
            RenderRow(dynamic_cast<ui::CListElementUI*>(list->GetItemAt(row)), rows[static_cast<size_t>(row)]);
        }
    }
    // Recorded rows come fast: the scroll timer shows the last one once they stop.
    list->SelectItem(change.selected, false, !change.scroll);
    if (change.scroll) {
        // Many rows may come at once: scroll once they have.
        if (m_scrollTimer != 0) {
            killTimer(m_scrollTimer);
        }
        m_scrollTimer = startTimer(kScrollDelayMs);
    } else if (change.selected >= 0) {
        list->ScrollToRow(std::min(change.selected + 5, list->GetCount() - 1));
    }
}

void CMacroControlUI::timerEvent(QTimerEvent* event) {
    if (event->timerId() == m_showTimer) {
        ShowRecorded();
        return;
    }
    if (event->timerId() != m_scrollTimer) {
        ui::CHorizontalLayoutUI::timerEvent(event);
        return;
    }
    killTimer(m_scrollTimer);
    m_scrollTimer = 0;
    if (ui::CListUI* list = ActionList()) {
        list->ScrollToEnd();
    }
}

void CMacroControlUI::hideEvent(QHideEvent* event) {
    ui::CHorizontalLayoutUI::hideEvent(event);
    if (Recording()) {
        SendNotify(QString::fromLatin1(kRecordingLeft), 0, 0);
    }
}

void CMacroControlUI::TakeDelays() {
    ShowRecorded();
    const ui::CListUI* list = ActionList();
    if (list == nullptr) {
        return;
    }
    for (int i = 0; i < list->GetCount() && static_cast<size_t>(i) < m_editor.Rows().size(); ++i) {
        const ui::CControlUI* row = list->GetItemAt(i);
        const QList<ui::CControlUI*> cells = row != nullptr ? row->ChildControls() : QList<ui::CControlUI*>();
        if (cells.size() >= 3) {
            m_editor.SetDelay(static_cast<size_t>(i), cells[2]->GetText().toStdString());
        }
    }
}

profiles::MacroStore::SaveResult CMacroControlUI::Save() {
    const int selected = SelectedMacro();
    if (selected < 0) {
        return profiles::MacroStore::SaveResult::kNoMacro;
    }
    TakeDelays();
    const auto result = m_store->SaveMacro(static_cast<size_t>(selected), m_editor.MutableRows());
    // Empty delays were written as "0": the rows say so too.
    ui::CListUI* list = ActionList();
    for (size_t i = 0; list != nullptr && i < m_editor.Rows().size(); ++i) {
        RenderRow(dynamic_cast<ui::CListElementUI*>(list->GetItemAt(static_cast<int>(i))), m_editor.Rows()[i]);
    }
    return result;
}

void CMacroControlUI::SelectRow(int row) {
    ShowRecorded();
    m_editor.Select(row);
    if (ui::CListUI* list = ActionList()) {
        list->SelectItem(m_editor.Selected(), false);
    }
}

void CMacroControlUI::TakeListSelection() {
    if (const ui::CListUI* list = ActionList()) {
        m_editor.Select(list->GetCurSel());
    }
}

int CMacroControlUI::SelectedRow() const {
    return m_editor.Selected();
}

int CMacroControlUI::RowCount() const {
    return static_cast<int>(m_editor.Rows().size());
}

void CMacroControlUI::MoveRow(MacroEditor::Move move) {
    TakeDelays();
    if (const auto change = m_editor.MoveSelected(move)) {
        Apply(*change);
    }
}

void CMacroControlUI::DeleteRow() {
    TakeDelays();
    if (const auto change = m_editor.DeleteSelected()) {
        Apply(*change);
    }
}

void CMacroControlUI::DeleteAllRows() {
    Apply(m_editor.DeleteAll());
}

void CMacroControlUI::InsertButton(MacroEditor::Button button, bool press) {
    TakeDelays();
    Apply(m_editor.InsertButton(button, press));
}

void CMacroControlUI::InsertMove(MacroEditor::Direction direction) {
    TakeDelays();
    const size_t edit = static_cast<size_t>(direction) - static_cast<size_t>(MacroEditor::Direction::kLeft);
    const ui::CControlUI* distance = edit < std::size(kDistanceEdits) ? Part(kDistanceEdits[edit]) : nullptr;
    const int64_t value = distance != nullptr ? distance->GetText().toLongLong() : 0;
    Apply(m_editor.InsertMove(direction, value));
}

// --- recording -----------------------------------------------------------------------

bool CMacroControlUI::FixedTimeChecked() const {
    const auto* check = dynamic_cast<const ui::COptionUI*>(Part(kFixedTimeCheck));
    return check != nullptr && check->IsSelected();
}

void CMacroControlUI::StartRecording(MacroEditor::TimeMode time, MacroEditor::InsertMode insert) {
    if (time == MacroEditor::TimeMode::kConstant) {
        if (ui::CControlUI* edit = Part(kFixedTimeEdit)) {
            bool ok = false;
            const qulonglong typed = edit->GetText().trimmed().toULongLong(&ok);
            const uint64_t value = ok ? typed : 0;
            if (value != m_editor.FixedDelay()) {
                m_editor.SetFixedDelay(value);
                edit->SetText(QString::number(m_editor.FixedDelay()));
            }
        }
    }
    TakeDelays();
    m_editor.StartRecording(time, insert, Now());
    SetLocked(true);
}

void CMacroControlUI::StopRecording() {
    ShowRecorded();
    m_editor.StopRecording();
    SetLocked(false);
}

void CMacroControlUI::SetLocked(bool locked) {
    for (const char* name : {"macro_name_tab", kActionList}) {
        if (ui::CControlUI* control = Part(name)) {
            control->SetMouseEnabled(!locked);
        }
    }
    for (const char* name : {"macro_tab_macroaction_edit", "macro_tab_macrodelay_edit"}) {
        if (ui::CControlUI* control = Part(name)) {
            control->SetEnabled(!locked);
        }
    }
    if (ui::CControlUI* start = Part(kStart)) {
        start->SetVisible(!locked);
    }
    if (ui::CControlUI* stop = Part(kStop)) {
        stop->SetVisible(locked);
    }
}

void CMacroControlUI::RecordKey(bool press, uint8_t scan, bool extended) {
    if (const auto change = m_editor.RecordKey(press, scan, extended, Now())) {
        Apply(*change);
    }
}

void CMacroControlUI::RecordMouse(uint32_t message, int xButton, QPoint global) {
    const ui::CControlUI* stop = Part(kStop);
    const bool onStop = stop != nullptr && stop->isVisible() &&
                        QRect(stop->mapToGlobal(QPoint(0, 0)), stop->size()).contains(global);
    if (const auto change = m_editor.RecordMouse(message, xButton, onStop, Now())) {
        Apply(*change);
    }
}

void CMacroControlUI::SetCaptureNote(const QString& textId) {
    if (ui::CControlUI* note = Part("macro_capture_note")) {
        note->SetText(textId);
        note->SetToolTip(textId.isEmpty() ? QString() : textId + QStringLiteral("_tip"));
        note->SetVisible(!textId.isEmpty());
    }
}

}  // namespace kx520
