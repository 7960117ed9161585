#pragma once
// The order a virtual list shows its rows in: as they came, or sorted by a
// key taken once for each row when the user asked. Rows that came after the
// sort are shown after the sorted ones, as they came, until the next sort:
// a list that grows on a worker is never sorted again behind the user's back.
#include <cstddef>
#include <cstdint>
#include <vector>

class RowOrder {
public:
    // Sorts the rows [0, keys.size()) by their keys, rows of equal keys as
    // they came; ascending or descending.
    void SortBy(const std::vector<std::uint64_t>& keys, bool ascending);
    // A click on a column's heading: the rows sorted by their keys in that
    // column, ascending, or the other way round when the column was the last
    // one sorted so.
    void SortForClick(int column, const std::vector<std::uint64_t>& keys);
    int Column() const noexcept { return column; }  // -1: none sorted yet
    bool Ascending() const noexcept { return ascending; }
    // As the rows came.
    void Clear() noexcept;
    bool Sorted() const noexcept { return !rowAt.empty(); }

    // The row shown at a place, and the place a row is shown at.
    std::size_t RowAt(std::size_t place) const noexcept { return place < rowAt.size() ? rowAt[place] : place; }
    std::size_t PlaceOf(std::size_t row) const noexcept { return row < placeOf.size() ? placeOf[row] : row; }

private:
    std::vector<std::size_t> rowAt;    // place -> row, for the rows sorted
    std::vector<std::size_t> placeOf;  // row -> place
    int column = -1;
    bool ascending = true;
};
