#include "discovery/DeviceSelector.h"

#include "discovery/DeviceSelectorView.h"

namespace kx520 {

bool DeviceSelector::Valid(int index) const {
    return index >= 0 && index < m_view.OptionCount();
}

int DeviceSelector::CurrentIndex() const {
    for (int i = 0; i < m_view.OptionCount(); ++i) {
        if (m_view.IsShown(i) && m_view.IsCurrent(i)) {
            return i;
        }
    }
    return -1;
}

void DeviceSelector::CountShown(int& firstIndex, int& count) const {
    firstIndex = -1;
    count = 0;
    for (int i = 0; i < m_view.OptionCount(); ++i) {
        if (!m_view.IsShown(i)) {
            continue;
        }
        if (count == 0) {
            firstIndex = i;
        }
        ++count;
    }
}

int DeviceSelector::ShownCount() const {
    int first = -1;
    int count = 0;
    CountShown(first, count);
    return count;
}

void DeviceSelector::OnSelected() {
    for (int i = 0; i < m_view.OptionCount(); ++i) {
        if (!m_view.IsCurrent(i)) {
            continue;
        }
        m_stored = {i, m_view.DeviceClassOf(i), m_view.VariantOf(i)};
        m_view.ShowPowerDisplay(i);
        m_view.ShowPage(i);
        return;
    }
}

void DeviceSelector::Show(int index, bool show, bool makeCurrent) {
    if (Valid(index)) {
        m_view.SetShown(index, show);
        if (makeCurrent) {
            if (!m_view.ShowPage(index)) {
                return;
            }
            for (int i = 0; i < m_view.OptionCount(); ++i) {
                if (i != index) {
                    m_view.SetCurrent(i, false);
                }
            }
        }
        m_view.SetCurrent(index, makeCurrent);
        if (makeCurrent) {
            OnSelected();
        }
    }
    int shown = 0;
    int synchronised = 0;
    for (int i = 0; i < m_view.OptionCount(); ++i) {
        if (m_view.IsShown(i)) {
            ++shown;
            synchronised += m_view.IsSynchronised(i) ? 1 : 0;
        }
    }
    m_view.ShowNoDevice(shown == 0);
    m_view.SetMultiDevice(shown >= 2);
    // Synchronised lighting needs two members; one alone leaves it.
    if (synchronised < 2) {
        for (int i = 0; i < m_view.OptionCount(); ++i) {
            m_view.ClearSynchronised(i);
        }
    }
}

void DeviceSelector::Hide(int index) {
    if (!Valid(index)) {
        return;
    }
    int other = -1;
    // Current is enough: an option that hid itself (a receiver whose mouse
    // stopped answering) is still the one on screen until another is chosen.
    if (m_view.IsCurrent(index)) {
        m_view.CloseChildWindows();
        for (int i = 0; i < m_view.OptionCount(); ++i) {
            if (i != index && m_view.IsShown(i)) {
                other = i;
                break;
            }
        }
    }
    Show(index, false, false);
    if (other >= 0) {
        Show(other, true, true);
    }
}

void DeviceSelector::Reveal(int index) {
    if (!Valid(index) || m_view.IsShown(index)) {
        return;
    }
    Show(index, true, ShownCount() == 0);
}

void DeviceSelector::SelectPrevious() {
    int remembered = -1;
    for (int i = 0; i < m_view.OptionCount(); ++i) {
        if (m_view.IsShown(i) && m_view.IsCurrent(i)) {
            if (remembered >= 0) {
                Show(remembered, true, true);
            }
            return;
        }
        if (m_view.IsShown(i)) {
            remembered = i;
        }
    }
}

void DeviceSelector::SelectNext() {
    const int current = CurrentIndex();
    if (current < 0) {
        return;
    }
    for (int i = current + 1; i < m_view.OptionCount(); ++i) {
        if (m_view.IsShown(i)) {
            Show(i, true, true);
            return;
        }
    }
}

}  // namespace kx520
