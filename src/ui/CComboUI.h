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
    int GetCount() const;
    int GetCurSel() const { return m_current; }
    // False for an index outside the items; `notify` false selects silently.
    bool SelectItem(int index, bool notify = true);
    QString GetItemText(int index) const;
    QString GetItemUserData(int index) const;
    QComboBox* ComboBox() const { return m_combo; }

    bool SetAttribute(const QString& name, const QString& value) override;
    void ApplyScale() override;
    void ReloadText() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void PaintText(QPainter&) override {}

private:
    int Append(const QString& shown, const QString& userData);

    QComboBox* m_combo;
    QStringList m_texts;
    QList<bool> m_plain;
    int m_current = -1;
    // A "cursel" given before the items exist, applied when they come.
    int m_pendingSelection = -1;
    bool m_silent = false;
};

}  // namespace kx520::ui
