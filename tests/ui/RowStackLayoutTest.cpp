#include "ui/RowStackLayout.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace kx520::ui {
namespace {

QWidget* Row(QWidget& parent, int height, int minimumWidth = 0) {
    auto* row = new QWidget(&parent);
    row->setFixedHeight(height);
    row->setMinimumWidth(minimumWidth);
    return row;
}

TEST(RowStackLayout, RowsStackFromTheTopAndMoveOnlyWhenTheirPlaceChanges) {
    QWidget body;
    auto* rows = new RowStackLayout(&body);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    QWidget* first = Row(body, 30, 120);
    QWidget* second = Row(body, 20);
    rows->InsertWidget(-1, first);
    rows->InsertWidget(-1, second);
    EXPECT_EQ(rows->sizeHint(), QSize(120, 52));
    rows->setGeometry(QRect(0, 0, 200, 400));
    EXPECT_EQ(first->geometry(), QRect(0, 0, 200, 30));
    EXPECT_EQ(second->geometry(), QRect(0, 32, 200, 20));

    // A row put in front moves the later ones down.
    QWidget* front = Row(body, 10);
    rows->InsertWidget(0, front);
    rows->setGeometry(QRect(0, 0, 200, 400));
    EXPECT_EQ(front->geometry(), QRect(0, 0, 200, 10));
    EXPECT_EQ(first->geometry().top(), 12);
    EXPECT_EQ(second->geometry().top(), 44);

    // A hidden row takes neither room nor a gap.
    first->hide();
    rows->invalidate();
    rows->setGeometry(QRect(0, 0, 200, 400));
    EXPECT_EQ(second->geometry().top(), 12);
    EXPECT_EQ(rows->sizeHint().height(), 32);
    // A row moved by hand is put back where it belongs.
    second->move(5, 300);
    rows->invalidate();
    EXPECT_EQ(rows->takeAt(0)->widget(), front);
    rows->setGeometry(QRect(0, 0, 200, 400));
    EXPECT_EQ(second->geometry().topLeft(), QPoint(0, 0));
}

}  // namespace
}  // namespace kx520::ui
