#include "ui/RowStackLayout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>

namespace kx520::ui {

RowStackLayout::~RowStackLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void RowStackLayout::InsertWidget(int index, QWidget* widget) {
    addChildWidget(widget);
    index = index < 0 || index > count() ? count() : index;
    m_items.insert(index, new QWidgetItemV2(widget));
    m_placed.insert(index, QRect());
    invalidate();
}

void RowStackLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
    m_placed.append(QRect());
    invalidate();
}

QLayoutItem* RowStackLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? m_items[index] : nullptr;
}

QLayoutItem* RowStackLayout::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    m_placed.removeAt(index);
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

int RowStackLayout::Gap() const {
    return std::max(0, spacing());
}

int RowStackLayout::HeightOf(QLayoutItem* item) {
    if (item->isEmpty()) {
        return 0;
    }
    return std::clamp(item->sizeHint().height(), item->minimumSize().height(), item->maximumSize().height());
}

QSize RowStackLayout::sizeHint() const {
    if (m_height < 0) {
        m_height = 0;
        m_width = 0;
        int shown = 0;
        for (QLayoutItem* item : m_items) {
            if (item->isEmpty()) {
                continue;  // hidden rows take no room and no gap
            }
            m_height += HeightOf(item);
            m_width = std::max(m_width, item->minimumSize().width());
            ++shown;
        }
        m_height += Gap() * std::max(0, shown - 1);
    }
    const QMargins margins = contentsMargins();
    return {m_width + margins.left() + margins.right(), m_height + margins.top() + margins.bottom()};
}

QSize RowStackLayout::minimumSize() const {
    return sizeHint();
}

void RowStackLayout::invalidate() {
    m_height = -1;
    QLayout::invalidate();
}

void RowStackLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inside = rect.marginsRemoved(contentsMargins());
    int y = inside.top();
    for (int i = 0; i < count(); ++i) {
        if (m_items[i]->isEmpty()) {
            m_placed[i] = QRect();
            continue;
        }
        const int height = HeightOf(m_items[i]);
        const QRect place(inside.left(), y, inside.width(), height);
        if (place != m_placed[i]) {
            m_items[i]->setGeometry(place);
            m_placed[i] = place;
        }
        y += height + Gap();
    }
}

}  // namespace kx520::ui
