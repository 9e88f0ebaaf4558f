// The one rule by which list keys move the current entry of a list.
#include <gtest/gtest.h>

#include "host/ListKeys.h"

using namespace kovo;

TEST(ListKeyTarget, MovesInsideTheListAndIgnoresOtherKeys) {
    struct Case {
        WORD Key;
        int Index, Count, Page, Target;
    };
    const Case cases[] = {
        {VK_DOWN, -1, 5, 3, 0},  {VK_DOWN, 4, 5, 3, 4},  {VK_UP, -1, 5, 3, 0},
        {VK_UP, 0, 5, 3, 0},     {VK_UP, 3, 5, 3, 2},    {VK_NEXT, -1, 5, 3, 3},
        {VK_NEXT, 3, 5, 3, 4},   {VK_PRIOR, 4, 5, 3, 1}, {VK_PRIOR, 1, 5, 3, 0},
        {VK_HOME, 3, 5, 3, 0},   {VK_END, 0, 5, 3, 4},   {VK_DOWN, -1, 0, 3, -1},
        {VK_HOME, -1, 0, 3, -1}, {VK_END, -1, 0, 3, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.Key << " from " << c.Index);
        int target = 99;
        EXPECT_TRUE(ListKeyTarget(c.Key, c.Index, c.Count, c.Page, target));
        EXPECT_EQ(target, c.Target);
    }
    int untouched = 7;
    for (WORD k : {VK_LEFT, VK_RIGHT, VK_RETURN, VK_TAB})
        EXPECT_FALSE(ListKeyTarget(k, 1, 5, 3, untouched));
    EXPECT_EQ(untouched, 7);
}
