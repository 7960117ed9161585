// The order of a virtual list's rows: sorted stably both ways, rows added
// after the sort shown after the sorted ones, and back to the rows' order.
#include "ui/RowOrder.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::size_t> Shown(const RowOrder& order, std::size_t rows)
{
    std::vector<std::size_t> shown;
    for (std::size_t place = 0; place < rows; ++place) {
        shown.push_back(order.RowAt(place));
        EXPECT_EQ(order.PlaceOf(order.RowAt(place)), place);
    }
    return shown;
}

}  // namespace

TEST(RowOrderTest, SortsStablyBothWaysAndShowsLaterRowsAsTheyCame)
{
    RowOrder order;
    EXPECT_EQ(Shown(order, 3), (std::vector<std::size_t>{0, 1, 2}));
    order.SortBy({3, 1, 2, 1}, true);
    EXPECT_EQ(Shown(order, 6), (std::vector<std::size_t>{1, 3, 2, 0, 4, 5}));
    order.SortBy({3, 1, 2, 1}, false);
    EXPECT_EQ(Shown(order, 5), (std::vector<std::size_t>{0, 2, 1, 3, 4}));
    order.SortForClick(2, {3, 1, 2, 1});
    order.SortForClick(2, {3, 1, 2, 1});  // the same heading again: the other way round
    EXPECT_FALSE(order.Ascending());
    EXPECT_EQ(Shown(order, 4), (std::vector<std::size_t>{0, 2, 1, 3}));
    order.SortForClick(1, {3, 1, 2, 1});
    EXPECT_TRUE(order.Ascending());
    order.Clear();
    EXPECT_FALSE(order.Sorted());
    EXPECT_EQ(Shown(order, 4), (std::vector<std::size_t>{0, 1, 2, 3}));
}
