#include <gtest/gtest.h>

#include "report_list/replist.h"

using namespace kovo;

TEST(DefaultValue, ComputedFromTheColumnFormat) {
    struct Case {
        const char* format;
        int row;
        const char* value;
    };
    const Case cases[] = {
        {"[i][60]rix3", 7, "007"},
        {"[i]rix3", 12345, "345"},
        {"[i]rix2", -7, "-07"},
        {"[i]rix0", 42, "2"},
        {"[i]rix 258", 5, "05"},  // 258 mod 256 = 2, leading blanks skipped
        {"[i]rix", 3, "3"},
        {"[i]42", 3, "42"},
        {"[h]rix4", 255, "00FF"},
        {"[h]rix12", 255, "000000FF"},
        {"[h]rix1", 255, "F"},
        {"[e]rix2", 3, "3.00"},
        {"[f]RIX0", 9, "9"},
        {"[f]rix-2", 9, "9"},
        {"[f]3.5", 9, "3.5"},
        {"[c]red|green", 1, "red"},
        {"[c:5]red|green", 1, "red"},
        {"[l]blue", 1, "blue"},
        {"[d]dd.mm.yyyy", 1, "dd.mm.yyyy"},
        {"[dyyyy-mm-dd]2020-01-01", 1, "2020-01-01"},
        {"[s]abc", 1, "abc"},
        {"[#s]abc", 1, ""},
        {"[s]", 1, ""},
        {"[]abc", 1, ""},
        {"abc", 1, ""},
        {"", 1, ""},
        {"[x]abc", 1, ""},
        {"[s][100]", 1, ""},
    };
    TRLData d(nullptr);
    for (const Case& c : cases) {
        d.SetColumnFormat(1, c.format);
        EXPECT_EQ(d.GetCellDefaultValue(1, c.row), c.value) << c.format << " row " << c.row;
    }
    EXPECT_EQ(d.DefaultValue(2, 1), "");  // outside: no format
}

TEST(DefaultValue, PasswordsHaveTheAskedLength) {
    TRLData d(nullptr);
    d.SetColumnFormat(1, "[s]$pwd$8");
    std::string a = d.DefaultValue(1, 1), b = d.DefaultValue(1, 1);
    EXPECT_EQ(a.size(), 8u);
    EXPECT_EQ(b.size(), 8u);
    EXPECT_NE(a, b);
    d.SetColumnFormat(1, "[s]$PWD$999999999999");
    EXPECT_EQ(d.DefaultValue(1, 1).size(), size_t(MaxPasswordLength));
    d.SetColumnFormat(1, "[s]$pwd$");
    EXPECT_EQ(d.DefaultValue(1, 1), "");
}
