// The fast sort must leave exactly the order of the exchange procedure, equal keys included.
#include "support/testrandom.h"
#include "timetable/tilesort.h"
#include "timetable/timetable.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using timetable::exchangeSortInPlace;
using timetable::exchangeSortOrder;

namespace {

struct Item {
    std::string key;
    int id;
};

std::strong_ordering byKey(const Item &a, const Item &b) { return a.key.compare(b.key) <=> 0; }

std::vector<int> fastIds(const std::vector<Item> &items)
{
    const auto order = exchangeSortOrder(
        items.size(), [&](std::size_t a, std::size_t b) { return byKey(items[a], items[b]); });
    std::vector<int> ids;
    for (const auto i : order)
        ids.push_back(items[i].id);
    return ids;
}

std::vector<int> referenceIds(std::vector<Item> items)
{
    exchangeSortInPlace(items, byKey);
    std::vector<int> ids;
    for (const auto &item : items)
        ids.push_back(item.id);
    return ids;
}

std::vector<Item> items(std::initializer_list<const char *> keys)
{
    std::vector<Item> out;
    int id = 0;
    for (const char *k : keys)
        out.push_back({k, id++});
    return out;
}

} // namespace

TEST(ExchangeSortOrder, EqualKeysFollowTheProcedureNotTheInputOrder)
{
    // B1 B2 A -> A B2 B1
    EXPECT_EQ(fastIds(items({"B", "B", "A"})), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(fastIds(items({})), std::vector<int>{});
    EXPECT_EQ(fastIds(items({"x"})), std::vector<int>{0});
    // A sorted list with equal keys stays as it is.
    EXPECT_EQ(fastIds(items({"A", "A", "B", "B", "B"})), (std::vector<int>{0, 1, 2, 3, 4}));
    // Reversed input: every pass carries the hand across the whole list.
    EXPECT_EQ(fastIds(items({"C", "C", "B", "B", "A", "A"})),
              referenceIds(items({"C", "C", "B", "B", "A", "A"})));
}

TEST(ExchangeSortOrder, MatchesTheProcedureOnThousandsOfRandomLists)
{
    testsupport::Random rng(20261208);
    // Few distinct keys, differing in letter case and by leading parts, so that equal keys are
    // frequent and the byte order (capitals first) matters.
    const std::vector<std::string> alphabet = {"",  "a", "A",    "ab",   "aB", "Ab",
                                               "b", "B", "\xC6", "\xE6", "ba"};
    for (int round = 0; round < 4000; ++round) {
        const std::size_t n =
            std::uniform_int_distribution<std::size_t>(0, round < 3000 ? 24 : 200)(rng);
        const std::size_t distinct =
            std::uniform_int_distribution<std::size_t>(1, alphabet.size())(rng);
        std::vector<Item> list;
        for (std::size_t i = 0; i < n; ++i)
            list.push_back(
                {alphabet[std::uniform_int_distribution<std::size_t>(0, distinct - 1)(rng)],
                 static_cast<int>(i)});
        ASSERT_EQ(fastIds(list), referenceIds(list)) << "round " << round << ", " << n << " items";
    }
}

TEST(ExchangeSortOrder, SortingTwiceAndAcrossModesMatchesTheProcedure)
{
    // Tiles sorted first by class mode and then by teacher mode: each sort starts from the
    // order the previous one left.
    testsupport::Random rng(7);
    const std::vector<std::string> names = {"AB", "ab", "CD", "", "\xC5H", "jo"};
    for (int round = 0; round < 500; ++round) {
        std::vector<timetable::TBrik> tiles;
        const int n = std::uniform_int_distribution<int>(0, 40)(rng);
        for (int i = 0; i < n; ++i) {
            auto pick = [&] {
                return names[std::uniform_int_distribution<std::size_t>(0, names.size() - 1)(rng)];
            };
            tiles.push_back({pick(), pick(), std::to_string(i), pick(), ""});
        }
        auto teacherKey = [](const timetable::TBrik &a, const timetable::TBrik &b) {
            if (auto c = a.Laerer.compare(b.Laerer) <=> 0; c != 0)
                return c;
            if (auto c = a.Klasse.compare(b.Klasse) <=> 0; c != 0)
                return c;
            return a.Lokale.compare(b.Lokale) <=> 0;
        };
        auto classKey = [](const timetable::TBrik &a, const timetable::TBrik &b) {
            if (auto c = a.Klasse.compare(b.Klasse) <=> 0; c != 0)
                return c;
            if (auto c = a.Laerer.compare(b.Laerer) <=> 0; c != 0)
                return c;
            return a.Lokale.compare(b.Lokale) <=> 0;
        };
        auto reference = tiles;
        exchangeSortInPlace(reference, classKey);
        exchangeSortInPlace(reference, teacherKey);

        auto fast = tiles;
        for (auto key : {+classKey, +teacherKey}) {
            const auto order = exchangeSortOrder(
                fast.size(), [&](std::size_t a, std::size_t b) { return key(fast[a], fast[b]); });
            std::vector<timetable::TBrik> next;
            for (auto i : order)
                next.push_back(fast[i]);
            fast = next;
        }
        ASSERT_EQ(fast.size(), reference.size());
        for (std::size_t i = 0; i < fast.size(); ++i)
            ASSERT_EQ(fast[i].Fag, reference[i].Fag) << "round " << round << " position " << i;
    }
}
