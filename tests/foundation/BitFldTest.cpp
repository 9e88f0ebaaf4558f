#include <gtest/gtest.h>

#include "foundation/kovocore.h"

using namespace kovo;

TEST(BitFld, SetGetCountAndFirst) {
    TBitFld b;
    EXPECT_EQ(b.FirstTrueBit(), -1);
    b.SetSize(200);
    EXPECT_EQ(b.Size(), 200);
    EXPECT_EQ(b.CountTrueBits(), 0);
    for (int i : {199, 64, 63, 130}) b.SetBit(i, true);
    EXPECT_EQ(b.CountTrueBits(), 4);
    EXPECT_EQ(b.FirstTrueBit(), 63);
    EXPECT_TRUE(b.GetBit(64));
    EXPECT_FALSE(b.GetBit(65));
    b.SetBit(63, false);
    EXPECT_EQ(b.FirstTrueBit(), 64);
    b.Clear();
    EXPECT_EQ(b.CountTrueBits(), 0);
    EXPECT_EQ(b.Size(), 200);
}

TEST(BitFld, IndexesOutsideAreIgnored) {
    TBitFld b;
    b.SetSize(10);
    for (int i : {-1, 10, 1000}) {
        b.SetBit(i, true);
        EXPECT_FALSE(b.GetBit(i));
    }
    EXPECT_EQ(b.CountTrueBits(), 0);
    b.SetSize(-5);
    EXPECT_EQ(b.Size(), 0);
}

TEST(BitFld, ResizeKeepsLowBitsAndDropsHighOnes) {
    TBitFld b;
    b.SetSize(100);
    b.SetBit(5, true);
    b.SetBit(70, true);
    b.SetSize(66);
    EXPECT_TRUE(b.GetBit(5));
    EXPECT_EQ(b.CountTrueBits(), 1);
    b.SetSize(100);  // bit 70 was dropped and comes back false
    EXPECT_FALSE(b.GetBit(70));
    EXPECT_EQ(b.CountTrueBits(), 1);
}
