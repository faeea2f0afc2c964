#pragma once

#include "controls/CButtonUI.h"

namespace kx520::ui {

// A button with a selected state. Options of one "group" (within a window)
// are exclusive: selecting one unselects the others. Every change of state
// sends "selectchanged" from the option that changed.
class COptionUI : public CButtonUI {
    Q_OBJECT

public:
    explicit COptionUI(QWidget* parent = nullptr);
    QString GetClass() const override { return QStringLiteral("Option"); }

    bool IsSelected() const { return m_selected; }
    // `notify` false changes the state silently.
    void Selected(bool selected, bool notify = true);
    const QString& GetGroup() const { return m_group; }
    void SetGroup(const QString& group) { m_group = group; }

    bool SetAttribute(const QString& name, const QString& value) override;
    void Activate() override;

protected:
    void PaintStatusImage(QPainter& painter) override;
    // "disabledtextcolor" while disabled, "selectedtextcolor" while selected.
    QColor StateTextColor() const override;

private:
    QString m_group;
    bool m_selected = false;
    QString m_selectedImage;
    QColor m_selectedBkColor;
    QColor m_selectedBorderColor;
    QColor m_selectedTextColor;
    QColor m_disabledTextColor;
};

}  // namespace kx520::ui
