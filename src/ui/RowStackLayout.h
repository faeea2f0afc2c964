#pragma once

#include <QLayout>
#include <QList>
#include <QRect>

namespace kx520::ui {

// Rows stacked from the top, each as tall as it asks and as wide as the
// layout; the space below the last row stays empty. A row is only moved
// when its place changed, so adding a row to thousands costs little more
// than the row itself (a box layout places every row again).
class RowStackLayout : public QLayout {
public:
    explicit RowStackLayout(QWidget* parent = nullptr) : QLayout(parent) {}
    ~RowStackLayout() override;

    void InsertWidget(int index, QWidget* widget);

    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override { return static_cast<int>(m_items.size()); }
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return {}; }
    void setGeometry(const QRect& rect) override;
    void invalidate() override;

private:
    static int HeightOf(QLayoutItem* item);
    int Gap() const;

    QList<QLayoutItem*> m_items;
    QList<QRect> m_placed;  // where each row was put last
    mutable int m_height = -1;  // the rows' total, -1 when not known
    mutable int m_width = 0;    // the widest row's least width
};

}  // namespace kx520::ui
