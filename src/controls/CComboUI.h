#pragma once

#include "ui/CControlUI.h"

class QComboBox;

namespace kx520::ui {

// A drop-down list of items, each with a text (a text id, resolved) and user
// data. A change of selection sends "itemselect" with wParam = the new
// index and lParam = the old one.
class CComboUI : public CControlUI {
    Q_OBJECT

public:
    explicit CComboUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Combo"); }

    int AddItem(const QString& text, const QString& userData = {});
    // An item shown exactly as given (a user's own name), never as a text id.
    int AddPlainItem(const QString& text, const QString& userData = {});
    void RemoveAll();
    // An item before `index` (the end when outside); its index.
    int InsertItem(int index, const QString& text, const QString& userData = {},
                   bool plain = false);
    // False outside the items; the selection stays on the item it was on,
    // or none when that item goes.
    bool RemoveItem(int index);
    int GetCount() const;
    int GetCurSel() const { return m_current; }
    // False for an index outside the items; -1 selects none. `notify`
    // false selects silently.
    bool SelectItem(int index, bool notify = true);
    QString GetItemText(int index) const;
    QString GetItemUserData(int index) const;
    bool SetItemText(int index, const QString& text);
    bool SetItemUserData(int index, const QString& userData);
    // A hidden item stays in the list (indices do not move) but cannot be
    // chosen from the drop-down.
    bool SetItemVisible(int index, bool visible);
    bool IsItemVisible(int index) const;
    // The height of a drop-down row in layout pixels (0: the style's).
    void SetItemHeight(int height);
    QComboBox* ComboBox() const { return m_combo; }

    bool SetAttribute(const QString& name, const QString& value) override;
    void ApplyScale() override;
    void ReloadText() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void PaintText(QPainter&) override {}

private:
    int Append(const QString& shown, const QString& userData);
    void ApplyPendingSheet();
    void FitListToScreen();
    static QString ShownText(const QString& text, bool plain);

    QComboBox* m_combo;
    QStringList m_texts;
    QList<bool> m_plain;
    int m_itemHeight = 0;
    int m_current = -1;
    // A "cursel" given before the items exist, applied when they come.
    int m_pendingSelection = -1;
    bool m_silent = false;
    QString m_styleSheet;
    QString m_pendingSheet;
};

}  // namespace kx520::ui
