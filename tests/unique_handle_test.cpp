#include <gtest/gtest.h>

#include <vector>

#include "store/unique_handle.h"

namespace {
std::vector<int> closed;
struct TestTraits {
    using Handle = int;
    static Handle invalid() { return -1; }
    static void close(Handle h) { closed.push_back(h); }
};
using Handle = UniqueHandle<TestTraits>;
}  // namespace

TEST(UniqueHandle, ClosesEachHandleOnceAndNeverTheInvalidOne) {
    closed.clear();
    {
        Handle a(3);
        Handle b(std::move(a));
        EXPECT_FALSE(a);
        Handle c(5);
        c = std::move(b);  // 5 closed, 3 moves on
        EXPECT_EQ(closed, std::vector<int>{5});
        Handle none;
        none.reset();
        EXPECT_EQ(c.release(), 3);
    }
    EXPECT_EQ(closed, std::vector<int>{5});
    {
        std::vector<Handle> table;
        table.emplace_back(7);
        table.emplace_back(8);
        table.clear();
    }
    EXPECT_EQ(closed, (std::vector<int>{5, 7, 8}));
}
