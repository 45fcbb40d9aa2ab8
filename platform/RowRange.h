#pragma once

#include <cstddef>

// A constant table's rows, for range-for and size().
template <typename Row>
struct RowRange
{
    const Row* first;
    const Row* last;
    const Row* begin() const { return first; }
    const Row* end() const { return last; }
    std::size_t size() const { return std::size_t(last - first); }
};
