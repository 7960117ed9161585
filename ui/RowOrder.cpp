#include "RowOrder.h"

#include <algorithm>
#include <numeric>

void RowOrder::SortBy(const std::vector<std::uint64_t>& keys, bool ascending)
{
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return ascending ? keys[a] < keys[b] : keys[b] < keys[a];
    });
    std::vector<std::size_t> places(keys.size());
    for (std::size_t place = 0; place < order.size(); ++place)
        places[order[place]] = place;
    rowAt = std::move(order);
    placeOf = std::move(places);
}

void RowOrder::SortForClick(int clicked, const std::vector<std::uint64_t>& keys)
{
    ascending = clicked == column ? !ascending : true;
    column = clicked;
    SortBy(keys, ascending);
}

void RowOrder::Clear() noexcept
{
    rowAt.clear();
    rowAt.shrink_to_fit();
    placeOf.clear();
    placeOf.shrink_to_fit();
    column = -1;
    ascending = true;
}
