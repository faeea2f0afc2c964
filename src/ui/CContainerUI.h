#pragma once

#include "ui/CControlUI.h"

class QLayout;

namespace kx520::ui {

// A control that holds others. Children added with Add go into the
// container's layout in order; floating children sit at their own position
// and take no room in the layout. "childpadding" is the room between two
// children, "inset" the room between the edge and the children.
class CContainerUI : public CControlUI {
    Q_OBJECT

public:
    explicit CContainerUI(QWidget* parent = nullptr);

    QString GetClass() const override { return QStringLiteral("Container"); }

    virtual bool Add(CControlUI* control);
    int GetCount() const { return m_items.size(); }
    // Moves a child to the end of the container and of its layout (a
    // spacer that must stay behind children added at run time).
    void MoveToEnd(CControlUI* control);
    CControlUI* GetItemAt(int index) const;
    int GetItemIndex(const CControlUI* control) const;
    bool Remove(CControlUI* control);
    void RemoveAll();
    void SetChildPadding(int padding);
    int GetChildPadding() const { return m_childPadding; }

    // The controls added, floating ones included, wherever their widgets sit.
    QList<CControlUI*> ChildControls() const override { return m_items; }
    void SetInset(const QMargins& inset) override;
    bool SetAttribute(const QString& name, const QString& value) override;
    void ApplyScale() override;

protected:
    // The layout the children go into; made by the subclass.
    virtual QLayout* ItemLayout() const = 0;
    virtual void AddToLayout(CControlUI* control);
    void PaintText(QPainter&) override {}

    QList<CControlUI*> m_items;

private:
    int m_childPadding = 0;
};

}  // namespace kx520::ui
