#pragma once

#include "ui/CContainerUI.h"

class QStackedLayout;

namespace kx520::ui {

// Shows one child at a time: the selected one ("selectedid").
class CTabLayoutUI : public CContainerUI {
    Q_OBJECT

public:
    explicit CTabLayoutUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("TabLayout"); }

    int GetCurSel() const { return m_current; }
    // False for an index outside the children; sends "tabselect" (wParam
    // new index, lParam old index) when the selection changes.
    bool SelectItem(int index);
    bool SelectItem(const CControlUI* control) { return SelectItem(GetItemIndex(control)); }

    bool SetAttribute(const QString& name, const QString& value) override;

protected:
    QLayout* ItemLayout() const override;
    void AddToLayout(CControlUI* control) override;

private:
    QStackedLayout* m_layout;
    int m_current = 0;
};

}  // namespace kx520::ui
