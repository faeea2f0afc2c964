#include "deviceui/KeyAssignmentEditor.h"

#include <memory>

#include "deviceui/CZentrelUSBDevice.h"
#include "pages/CDeviceKeyButtonUI.h"
#include "pages/CKeySetControlUI.h"

namespace kx520 {

KeyAssignmentEditor::KeyAssignmentEditor(CZentrelUSBDevice& device, std::span<const KeyCode> defaults,
                                         int deviceKind)
    : m_device(device), m_defaults(defaults), m_deviceKind(deviceKind) {}

void KeyAssignmentEditor::Bind(CKeySetControlUI* page) {
    m_page = page;
    m_selected = -1;
    if (m_page != nullptr) {
        m_page->Build(m_deviceKind);
        m_page->HidePage();
    }
}

std::vector<profiles::KeyAssignmentEntry> KeyAssignmentEditor::FullList() const {
    std::vector<profiles::KeyAssignmentEntry> keys = m_device.ProfileData().GetKeyList();
    for (size_t i = keys.size(); i < m_defaults.size(); ++i) {
        const KeyCode& code = m_defaults[i];
        const profiles::KeyAction action{static_cast<uint16_t>(i), code.type, code.param1, code.param2};
        keys.push_back({action, action});
    }
    return keys;
}

void KeyAssignmentEditor::Reset(const std::vector<std::string>& macroNames) {
    if (m_page == nullptr) {
        return;
    }
    m_page->FillMacroCombo(macroNames);
    PutAway();
}

void KeyAssignmentEditor::PutAway() {
    if (m_page != nullptr) {
        m_page->HidePage();
    }
    m_selected = -1;
    MarkOnly(-1);  // no mark is left on a key the page no longer edits
}

void KeyAssignmentEditor::MacrosChanged(const std::vector<std::string>& macroNames) {
    if (m_page == nullptr) {
        return;
    }
    m_page->FillMacroCombo(macroNames);
    if (m_selected >= 0) {
        Select(m_selected);
    }
}

void KeyAssignmentEditor::MarkOnly(int position) {
    for (size_t i = 0; i < m_defaults.size(); ++i) {
        CDeviceKeyButtonUI* button = m_device.PositionButton(i);
        const bool marked = static_cast<int>(i) == position;
        if (button != nullptr && button->IsKeySelected() != marked) {
            button->SetKeySelected(marked);
            button->Invalidate();
        }
    }
}

void KeyAssignmentEditor::Select(int position) {
    if (m_page == nullptr || position < 0 || static_cast<size_t>(position) >= m_defaults.size()) {
        return;
    }
    MarkOnly(position);
    m_selected = position;
    m_page->ShowKey(FullList()[static_cast<size_t>(position)]);
}

bool KeyAssignmentEditor::Apply() {
    if (m_page == nullptr || m_selected < 0) {
        return false;
    }
    if (m_page->MacroMissing()) {
        Tell(QStringLiteral("message_no_macro"));
        return false;
    }
    auto keys = FullList();
    keys[static_cast<size_t>(m_selected)] = m_page->BuildCode();
    m_device.ProfileData().SetKeyList(keys);
    m_device.RefreshKeyLabels();
    m_page->EnableEdits(true);
    return true;
}

void KeyAssignmentEditor::ShowDefault() {
    if (m_page != nullptr && m_selected >= 0) {
        m_page->ShowDefault();
        m_page->EnableEdits(true);
    }
}

void KeyAssignmentEditor::Cancel() {
    if (m_page != nullptr && m_selected >= 0) {
        m_page->ShowCurrent();
        m_page->EnableEdits(false);
    }
}

std::string KeyAssignmentEditor::Assign(int position, const WordAssignment& assignment, size_t macroCount,
                                        const std::string& device) {
    if (position < 0 || static_cast<size_t>(position) >= m_defaults.size()) {
        return "a " + device + " position is 0 to " + std::to_string(m_defaults.size() - 1);
    }
    if (!CKeySetControlUI::Offers(m_deviceKind, assignment.form.kind)) {
        return "the " + device + " has no " + (assignment.form.kind == kKindDpi ? "DPI" : "recoil") +
               " functions: its key page offers none";
    }
    if (assignment.form.kind == kKindMacro && static_cast<size_t>(assignment.form.macro) >= macroCount) {
        return macroCount == 0 ? "the " + device + " has no macros yet"
                               : "the " + device + " has " + std::to_string(macroCount) + " macros: 0 to " +
                                     std::to_string(macroCount - 1);
    }
    auto keys = FullList();
    profiles::KeyAssignmentEntry& entry = keys[static_cast<size_t>(position)];
    profiles::KeyAction kept = entry.assignment;
    if (assignment.form.kind == kKindKey) {
        kept = {entry.assignment.keyIndex, 0x20, 0, assignment.usage};
    }
    entry.assignment = KeyAssignmentCodec::Encode(assignment.form, kept, entry, macroCount);
    m_device.ProfileData().SetKeyList(keys);
    m_device.RefreshKeyLabels();
    if (m_page != nullptr) {
        if (m_selected == position) {
            m_page->ShowKey(entry);
        }
        m_page->EnableEdits(true);
    }
    return {};
}

KeyAssignmentEditor::KeyWrite KeyAssignmentEditor::Report(const KeyWriteResult& result) {
    if (result.macros > 0) {
        Tell(QStringLiteral("message_text_16"), QString::number(result.macros));
        return KeyWrite::kMacrosTooLarge;
    }
    if (result.macros == KeyTable::kMacroNoMemory) {
        Tell(QStringLiteral("message_text_7"));
        return KeyWrite::kFailed;
    }
    if (result.macros != 0) {
        Tell(QStringLiteral("message_macro_write_failed"));
        return KeyWrite::kFailed;
    }
    if (result.keys != protocol::kResultSuccess) {
        Tell(QStringLiteral("message_key_write_failed"));
        return KeyWrite::kFailed;
    }
    return KeyWrite::kWritten;
}

void KeyAssignmentEditor::Save(WriteKeys write, Finished finished) {
    auto finish = [finished = std::move(finished)](KeyWrite written) {
        if (finished) {
            finished(written);
        }
    };
    // The user's choices are kept first: a device that took keys the file
    // never got would lose them at the next start.
    if (!m_device.SaveProfileData()) {
        finish(KeyWrite::kNotSaved);
        return;
    }
    auto result = std::make_shared<KeyWriteResult>();
    const bool started = m_device.RunExchange(
        [write = std::move(write), list = FullList(), result] { *result = write(list); },
        [this, result, finish] { finish(Finish(*result)); });
    if (!started) {
        finish(KeyWrite::kBusy);
    }
}

KeyAssignmentEditor::KeyWrite KeyAssignmentEditor::Finish(const KeyWriteResult& result) {
    const KeyWrite written = Report(result);
    if (written == KeyWrite::kMacrosTooLarge && m_page != nullptr && m_selected >= 0) {
        // The key that made the macros too large goes back to its own function.
        m_page->ShowDefault();
        Apply();
        if (!m_device.SaveProfileData()) {
            return KeyWrite::kNotSaved;
        }
    }
    if (written == KeyWrite::kWritten && m_page != nullptr) {
        m_page->EnableEdits(false);
    }
    return written;
}

void KeyAssignmentEditor::Tell(const QString& textId, const QString& argument) const {
    m_device.Tell(textId, argument);
}

}  // namespace kx520
