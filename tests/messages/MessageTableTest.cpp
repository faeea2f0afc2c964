#include "messages/MessageTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace kx520 {
namespace {

TEST(MessageTable, RowsRunByNumberAndTheSuspendedColumnDecidesWhatRunsWhileAsleep) {
    MessageTable table;
    std::vector<uint32_t> ran;
    auto row = [&ran](uint32_t number, bool whileSuspended, bool consumes) {
        return MessageRule{number, whileSuspended, false, consumes,
                           [&ran, number](uintptr_t, intptr_t) { ran.push_back(number); }};
    };
    table.Add(row(3090, true, false));
    table.Add(row(1025, false, false));
    table.Add(row(1145, false, true));
    using Outcome = MessageTable::Outcome;
    EXPECT_EQ(table.Dispatch(3090, 0, 0, false), Outcome::Handled);
    EXPECT_EQ(table.Dispatch(1025, 0, 0, false), Outcome::Dropped);
    EXPECT_EQ(table.Dispatch(1145, 0, 0, false), Outcome::Dropped);
    EXPECT_EQ(ran, (std::vector<uint32_t>{3090}));
    EXPECT_EQ(table.Dispatch(1025, 0, 0, true), Outcome::Handled);
    EXPECT_EQ(table.Dispatch(1145, 0, 0, true), Outcome::Consumed);
    EXPECT_EQ(table.Dispatch(4, 0, 0, true), Outcome::Unknown);
    EXPECT_EQ(ran, (std::vector<uint32_t>{3090, 1025, 1145}));
}

TEST(MessageTable, TheFirstRowForANumberStaysAndItsArgumentsArrive) {
    MessageTable table;
    uintptr_t seenW = 0;
    intptr_t seenL = 0;
    table.Add({7, false, true, false, [&](uintptr_t w, intptr_t l) {
                   seenW = w;
                   seenL = l;
               }});
    table.Add({7, true, false, false, [](uintptr_t, intptr_t) { FAIL(); }});
    EXPECT_EQ(table.Size(), 1u);
    ASSERT_NE(table.Find(7), nullptr);
    EXPECT_TRUE(table.Find(7)->fromOtherPrograms);
    table.Dispatch(7, UINTPTR_MAX, -5, true);
    EXPECT_EQ(seenW, UINTPTR_MAX);
    EXPECT_EQ(seenL, -5);
}

}  // namespace
}  // namespace kx520
