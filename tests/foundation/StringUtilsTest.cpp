#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "foundation/kovocore.h"
#include "host/Streams.h"
#include "host/SysUtils.h"

using namespace kovo;

TEST(StringHelpers, PaddingTrailingAndStripping) {
    EXPECT_EQ(LeftString("ab", 5), "ab   ");
    EXPECT_EQ(LeftString("abcdef", 3), "abcdef");
    EXPECT_EQ(LeftString("\u00e4\u00f6", 3), "\u00e4\u00f6 ");  // counted in characters
    EXPECT_EQ(LeftString("", 0), "");
    EXPECT_EQ(EnsureTrailingChar('/', "a"), "a/");
    EXPECT_EQ(EnsureTrailingChar('/', "a/"), "a/");
    EXPECT_EQ(EnsureTrailingChar('/', ""), "/");
    EXPECT_EQ(EnsureTrailingBkSlash("c:\\x"), "c:\\x\\");
    EXPECT_EQ(EnsureTrailingBkSlash("c:\\"), "c:\\");
    EXPECT_EQ(StripLeadingChars('0', "00120"), "120");
    EXPECT_EQ(StripTrailingChars('0', "01200"), "012");
    EXPECT_EQ(StripLeadingChars('x', "xxx"), "");
    EXPECT_EQ(RemoveControlChars("a\tb\r\nc\x7f"
                                 "d"),
              "abcd");
    EXPECT_EQ(ReplaceCharInString("a.b.c", '.', ','), "a,b,c");
}

TEST(StringHelpers, NumberedPosFindsTheNthOccurrence) {
    struct Case {
        const char *sub, *s;
        int start, n;
        bool ignoreCase;
        int pos;
    };
    const Case cases[] = {
        {"ab", "xabyabzab", 1, 1, false, 2}, {"ab", "xabyabzab", 1, 3, false, 8},
        {"ab", "xabyabzab", 3, 1, false, 5}, {"ab", "xabyabzab", 1, 4, false, 0},
        {"AB", "xabyab", 1, 2, true, 5},     {"AB", "xabyab", 1, 1, false, 0},
        {"aa", "aaaa", 1, 2, false, 3},      {"", "abc", 1, 1, false, 0},
        {"a", "abc", 1, 0, false, 0},        {"c", "abc", 9, 1, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NumberedPos(c.sub, c.s, c.start, c.n, c.ignoreCase), c.pos)
            << c.sub << " " << c.s;
}

TEST(StringHelpers, TokenizeSplitsAtEveryDelimiter) {
    TOpenStringArray items;
    EXPECT_EQ(Tokenize("c:\\windows\\system\\", "\\", items), 4);
    EXPECT_EQ(items, (TOpenStringArray{"c:", "windows", "system", ""}));
    EXPECT_EQ(Tokenize("a,b;c", ",;", items), 3);
    EXPECT_EQ(items, (TOpenStringArray{"a", "b", "c"}));
    EXPECT_EQ(Tokenize("a,,b", ",", items), 3);
    EXPECT_EQ(items[1], "");
    EXPECT_EQ(Tokenize("", ",", items), 0);
    EXPECT_TRUE(items.empty());
    EXPECT_EQ(Tokenize("abc", "", items), 1);
}

TEST(StringHelpers, StrffIsFixedPointWithAMinimumWidth) {
    EXPECT_EQ(strff(7, 1, 0), "7");
    EXPECT_EQ(strff(7, 1, 2), "7.00");
    EXPECT_EQ(strff(-2.5, 8, 3), "  -2.500");
    EXPECT_EQ(strff(1.25, 1, -1), "1");
}

TEST(FileHelpers, ParentDirWalksUpToTheRoot) {
    EXPECT_EQ(ParentDir("/a/b/c"), "/a/b");
    EXPECT_EQ(ParentDir("/a/b/"), "/a");
    EXPECT_EQ(ParentDir("/a"), "/");
    EXPECT_EQ(ParentDir("/"), "");
    EXPECT_EQ(ParentDir("name"), "");
    EXPECT_EQ(ParentDir(""), "");
}

TEST(FileHelpers, DirExists) {
    auto dir = std::filesystem::temp_directory_path();
    EXPECT_TRUE(DirExists(dir.string()));
    EXPECT_FALSE(DirExists((dir / "no-such-dir-kovo-xyz").string()));
    EXPECT_FALSE(DirExists(""));
}

TEST(Passwords, RandomCharactersOfTheAlphabetWithoutLookAlikes) {
    const std::string alphabet = PasswordAlphabet;
    for (char c : std::string("0O1lI")) EXPECT_EQ(alphabet.find(c), std::string::npos) << c;
    std::set<std::string> seen;
    for (int i = 0; i < 20; ++i) {
        std::string p = InventPassword(12);
        ASSERT_EQ(p.size(), 12u);
        for (char c : p) EXPECT_NE(alphabet.find(c), std::string::npos);
        seen.insert(p);
    }
    EXPECT_GT(seen.size(), 15u);
    EXPECT_EQ(InventPassword(0), "");
    EXPECT_EQ(InventPassword(-4), "");
    EXPECT_EQ(InventPassword(1 << 30).size(), size_t(MaxPasswordLength));
}

TEST(ReadLnStream, LinesWithEveryLineEndAndTheEndFlag) {
    TStringStream s("one\r\ntwo\rthree\n\nlast");
    bool eof = false;
    std::vector<std::string> lines;
    while (!eof) lines.push_back(ReadLnStream(&s, eof));
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three", "", "last"}));

    TStringStream t("a\n");
    EXPECT_EQ(ReadLnStream(&t, eof), "a");
    EXPECT_TRUE(eof);  // nothing follows the line

    TStringStream empty("");
    EXPECT_EQ(ReadLnStream(&empty, eof), "");
    EXPECT_TRUE(eof);
}

TEST(ReadLnStream, LongLinesAcrossBuffersAndCutLines) {
    std::string big(10000, 'x');
    TStringStream s(big + "\r\n" + "y\r");
    bool eof = false;
    EXPECT_EQ(ReadLnStream(&s, eof), big);
    EXPECT_FALSE(eof);
    EXPECT_EQ(ReadLnStream(&s, eof), "y");
    EXPECT_TRUE(eof);

    TStringStream c("\u00e4\u00e4\u00e4\u00e4\nnext");
    EXPECT_EQ(ReadLnStream(&c, eof, 3), "\u00e4\u00e4\u00e4");  // characters, not bytes
    EXPECT_EQ(ReadLnStream(&c, eof, 3), "nex");
    EXPECT_TRUE(eof);

    // A CR at the very end of a buffer followed by LF in the next one is one line end.
    std::string edge(4095, 'a');
    TStringStream e(edge + "\r\nb");
    EXPECT_EQ(ReadLnStream(&e, eof), edge);
    EXPECT_EQ(ReadLnStream(&e, eof), "b");
    EXPECT_TRUE(eof);
}
