#pragma once
// The order of the tile list's exchange sort:
//
//     for i in 0..n-1: for j in i..n-1: if tile[i] > tile[j]: swap(tile[i], tile[j])
//
// The result is ascending by key, and among equal keys the procedure itself decides the order
// (keys B1 B2 A give A B2 B1). That order is part of what the user sees — it is the order of
// the tiles on the printed sheets — so a faster sort must reproduce it exactly.
//
// exchangeSortOrder does so in O(n log n). One pass of the procedure carries a "hand" from
// position i to the end, swapping it with every strictly smaller element it meets, and leaves
// the minimum at i. Seen from one key value v, elements greater than v never change the
// relative order of the elements equal to v, and the pattern of "smaller than v" against
// "not smaller" only loses its first "smaller" per pass. Working it through, the v elements
// behave as a queue: scanning the original order, each v element joins the back of the queue,
// and each smaller element met after the first v turns the queue by one (front to back). The
// queue's final order is the v elements' output order. The turns between two v elements are a
// count of smaller elements in a position range (a Fenwick tree over positions, filled key by
// key in ascending order), and the queue's final order follows from the insertion points
// (another Fenwick tree, filled backwards).

#include <algorithm>
#include <bit>
#include <compare>
#include <cstddef>
#include <numeric>
#include <vector>

namespace timetable {

namespace detail {

class Fenwick {
public:
    explicit Fenwick(std::size_t n) : tree_(n + 1, 0) {}
    void add(std::size_t pos, int delta)
    {
        for (++pos; pos < tree_.size(); pos += pos & (~pos + 1))
            tree_[pos] += delta;
    }
    // Sum over positions [0, pos).
    int prefix(std::size_t pos) const
    {
        int sum = 0;
        for (; pos > 0; pos -= pos & (~pos + 1))
            sum += tree_[pos];
        return sum;
    }
    // The position holding the k-th (0-based) unit, every entry being 0 or 1.
    std::size_t kth(int k) const
    {
        std::size_t pos = 0;
        std::size_t step = std::bit_floor(tree_.size());
        for (; step > 0; step >>= 1) {
            if (pos + step < tree_.size() && tree_[pos + step] <= k) {
                pos += step;
                k -= tree_[pos];
            }
        }
        return pos; // 1-based index pos+1 holds it, i.e. position pos
    }

private:
    std::vector<int> tree_;
};

} // namespace detail

// The order (indices into the original sequence) that the exchange procedure leaves, for n
// elements compared by `compare(a, b)` (a three-way comparison of the elements at indices a
// and b, consistent as a total preorder).
template <typename Compare>
std::vector<std::size_t> exchangeSortOrder(std::size_t n, Compare compare)
{
    std::vector<std::size_t> byKey(n);
    std::iota(byKey.begin(), byKey.end(), std::size_t{0});
    std::sort(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) {
        const auto c = compare(a, b);
        return c != 0 ? c < 0 : a < b;
    });

    std::vector<std::size_t> order;
    order.reserve(n);
    detail::Fenwick smaller(n); // positions of the elements of keys already placed
    std::vector<int> before;    // per group element: smaller elements before it
    std::vector<int> insertAt;  // per group element: its insertion index into the queue
    std::vector<std::size_t> queue;

    for (std::size_t first = 0; first < n;) {
        std::size_t last = first + 1;
        while (last < n && compare(byKey[first], byKey[last]) == 0)
            ++last;
        const std::size_t count = last - first;
        const int placed = static_cast<int>(first);

        before.resize(count);
        for (std::size_t k = 0; k < count; ++k)
            before[k] = smaller.prefix(byKey[first + k]);

        if (count == 1 || (before.front() == before.back() && before.back() == placed)) {
            // No smaller element after the first of them: the group keeps its order.
            order.insert(order.end(), byKey.begin() + first, byKey.begin() + last);
        } else {
            insertAt.resize(count);
            std::size_t head = 0;
            insertAt[0] = 0;
            for (std::size_t k = 1; k < count; ++k) {
                const auto turns = static_cast<std::size_t>(before[k] - before[k - 1]);
                head = (head + turns) % k; // the queue holds k elements
                insertAt[k] = static_cast<int>(head);
                ++head;
            }
            head = (head + static_cast<std::size_t>(placed - before.back())) % count;

            detail::Fenwick freeSlots(count);
            for (std::size_t s = 0; s < count; ++s)
                freeSlots.add(s, 1);
            queue.assign(count, 0);
            for (std::size_t k = count; k-- > 0;) {
                const std::size_t slot = freeSlots.kth(insertAt[k]);
                queue[slot] = byKey[first + k];
                freeSlots.add(slot, -1);
            }
            order.insert(order.end(), queue.begin() + static_cast<std::ptrdiff_t>(head),
                         queue.end());
            order.insert(order.end(), queue.begin(),
                         queue.begin() + static_cast<std::ptrdiff_t>(head));
        }
        for (std::size_t k = first; k < last; ++k)
            smaller.add(byKey[k], 1);
        first = last;
    }
    return order;
}

// The procedure itself, quadratic: kept as the definition the fast order is checked against.
template <typename T, typename Compare>
void exchangeSortInPlace(std::vector<T> &items, Compare compare)
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (std::size_t j = i; j < items.size(); ++j) {
            if (compare(items[i], items[j]) > 0)
                std::swap(items[i], items[j]);
        }
    }
}

} // namespace timetable
