#pragma once

#include <QString>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "keycodes/KeyAssignmentWords.h"
#include "keycodes/KeyTable.h"
#include "catalog/PageKeyDefaults.h"
#include "profiles/KeyAction.h"

namespace kx520 {

class CKeySetControlUI;
class CZentrelUSBDevice;

// The key assignment page of a device with keys (the keyboard's keys, the
// mouse's buttons): which key is being assigned, its marks on the picture,
// the page's code into the profile's key list, and the write of the list
// with what the user is told when the device did not take it.
class KeyAssignmentEditor {
public:
    // kNotSaved: the profile file could not be written, so nothing was sent;
    // kBusy: the device was still busy with an earlier write.
    enum class KeyWrite { kWritten, kMacrosTooLarge, kFailed, kNotSaved, kBusy };
    using WriteKeys = std::function<KeyWriteResult(const std::vector<profiles::KeyAssignmentEntry>&)>;
    using Finished = std::function<void(KeyWrite)>;

    // `defaults`: the factory code of each page position; `deviceKind` is
    // the key page's (1 keyboard, 2 mouse).
    KeyAssignmentEditor(CZentrelUSBDevice& device, std::span<const KeyCode> defaults, int deviceKind);

    // The device's key page, found in its page; null without one.
    void Bind(CKeySetControlUI* page);
    CKeySetControlUI* Page() const { return m_page; }
    int Selected() const { return m_selected; }
    size_t KeyCount() const { return m_defaults.size(); }

    // The profile's key list with an entry for every page key, missing
    // ones at their factory codes.
    std::vector<profiles::KeyAssignmentEntry> FullList() const;
    // A profile applied: the macros offered anew, no key being assigned.
    void Reset(const std::vector<std::string>& macroNames);
    // No key being assigned: the page hidden, no mark lit.
    void PutAway();
    // The macro list changed: the combo follows, the key being assigned is
    // shown again (its macro may have another place or name).
    void MacrosChanged(const std::vector<std::string>& macroNames);

    // Key `position` is the one to assign: marked, shown on the page.
    void Select(int position);
    // Only `position` (or none, -1) keeps its mark.
    void MarkOnly(int position);
    // The page's code becomes the selected key's entry of the profile's key
    // list (nothing written yet); false without a selected key.
    bool Apply();
    void ShowDefault();
    void Cancel();
    // A function for key `position` from a script, through the page's
    // encoder; "" or why not. `device` names the device in the reasons.
    std::string Assign(int position, const WordAssignment& assignment, size_t macroCount,
                       const std::string& device);
    // Saves the profile, then writes the list through `write` on the
    // device's exchange thread; `finished` gets the outcome on the UI thread
    // (at once when nothing could start). On an overrun the selected key
    // goes back to its default (saved again). The user is told why the file
    // or the device did not take it.
    void Save(WriteKeys write, Finished finished);
    // What a write result means to the user (told when not written).
    KeyWrite Report(const KeyWriteResult& result);
    // A finished write on the page: reported, an overrun's key put back.
    KeyWrite Finish(const KeyWriteResult& result);

    void Tell(const QString& textId, const QString& argument = QString()) const;

private:
    CZentrelUSBDevice& m_device;
    std::span<const KeyCode> m_defaults;
    int m_deviceKind;
    CKeySetControlUI* m_page = nullptr;
    int m_selected = -1;
};

}  // namespace kx520
