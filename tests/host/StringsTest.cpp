#include "host/Strings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "host/Exceptions.h"
#include "host/Streams.h"

using namespace kovo;

namespace {

std::vector<std::string> Items(const TStrings& s) {
    return s.ToVector();
}

// Counts live instances so that ownership can be checked.
struct TCounted : TObject {
    explicit TCounted(int& alive) : Alive(alive) { ++Alive; }
    ~TCounted() override { --Alive; }
    int& Alive;
};

std::string TempFile(const char* tag) {
    char name[] = "/tmp/kovo_strings_XXXXXX";
    int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name) + tag;
}

}  // namespace

TEST(StringList, AddInsertDeleteAndIndexErrors) {
    TStringList l;
    EXPECT_EQ(l.Add("b"), 0);
    l.Insert(0, "a");
    l.Insert(2, "c");
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "b", "c"}));
    l.Delete(1);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "c"}));
    l.SetStrings(1, "z");
    EXPECT_EQ(l.Strings(1), "z");
    try {
        l.Strings(2);
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (2)");
    }
    EXPECT_THROW(l.Delete(-1), EStringListError);
    EXPECT_THROW(l.Insert(3, "x"), EStringListError);
    EXPECT_THROW(l.SetObjects(5, nullptr), EStringListError);
    EXPECT_EQ(l.Count(), 2);
}

TEST(StringList, SortedListInsertsInOrderAndRefusesPositions) {
    TStringList l;
    l.SetSorted(true);
    for (const char* s : {"pear", "Apple", "fig", "banana"}) l.Add(s);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"Apple", "banana", "fig", "pear"}));
    EXPECT_THROW(l.Insert(0, "x"), EStringListError);
    EXPECT_THROW(l.SetStrings(0, "x"), EStringListError);
    EXPECT_THROW(l.Move(0, 1), EStringListError);
    EXPECT_EQ(l.Count(), 4);  // nothing lost by the refused move
    int index = -1;
    EXPECT_TRUE(l.Find("FIG", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(l.Find("grape", index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(l.IndexOf("BANANA"), 1);
}

TEST(StringList, DuplicatesRules) {
    TStringList l;
    l.SetSorted(true);
    l.Add("a");
    l.Add("b");
    EXPECT_EQ(l.Add("A"), 0);  // dupIgnore: the existing index, nothing added
    EXPECT_EQ(l.Count(), 2);

    l.SetDuplicates(dupError);
    try {
        l.Add("b");
        FAIL();
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }

    l.SetDuplicates(dupAccept);
    l.Add("b");
    l.Add("b");
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "b", "b", "b"}));
    int index = -1;
    EXPECT_TRUE(l.Find("b", index));
    EXPECT_EQ(index, 1);  // the first of equal entries
}

TEST(StringList, CaseSensitiveChangesComparisonAndResorts) {
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(dupAccept);
    for (const char* s : {"b", "B", "a", "A"}) l.Add(s);
    EXPECT_EQ(l.IndexOf("B"), 2);  // the first of "b" and "B"
    l.SetCaseSensitive(true);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"A", "B", "a", "b"}));
    EXPECT_EQ(l.IndexOf("b"), 3);
    EXPECT_EQ(l.IndexOf("c"), -1);
}

TEST(StringList, ObjectsFollowTheirEntries) {
    TStringList l;
    TObject o1, o2, o3;
    l.AddObject("c", &o1);
    l.AddObject("a", &o2);
    l.AddObject("b", &o3);
    l.Exchange(0, 2);
    EXPECT_EQ(l.Strings(0), "b");
    EXPECT_EQ(l.Objects(0), &o3);
    EXPECT_EQ(l.Objects(2), &o1);
    l.Sort();
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(l.Objects(0), &o2);
    EXPECT_EQ(l.Objects(1), &o3);
    EXPECT_EQ(l.Objects(2), &o1);
    l.Move(0, 2);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"b", "c", "a"}));
    EXPECT_EQ(l.Objects(2), &o2);
    l.Move(2, 0);
    EXPECT_EQ(l.Objects(0), &o2);
    EXPECT_EQ(l.IndexOfObject(&o1), 2);
    l.CustomSort([](TStringList* list, int i, int j) {
        return -list->Strings(i).compare(list->Strings(j));
    });
    EXPECT_EQ(Items(l), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(l.Objects(0), &o1);
    EXPECT_EQ(l.Objects(2), &o2);
}

TEST(StringList, SortKeepsEqualEntriesInOrder) {
    TStringList l;
    TObject first, second;
    l.AddObject("x", &first);
    l.Add("a");
    l.AddObject("X", &second);
    l.Sort();
    EXPECT_EQ(l.Objects(1), &first);
    EXPECT_EQ(l.Objects(2), &second);
}

TEST(StringList, CustomSortSurvivesAnInconsistentComparison) {
    TStringList l;
    for (int i = 0; i < 200; ++i) l.Add(std::to_string(i));
    std::mt19937 rng(7);
    l.CustomSort([&](TStringList*, int, int) { return int(rng() % 3) - 1; });
    EXPECT_EQ(l.Count(), 200);
    TStringList sorted;
    sorted.Assign(&l);
    sorted.SetSorted(true);
    EXPECT_EQ(sorted.Count(), 200);  // a permutation: nothing lost or doubled
}

TEST(StringList, CustomSortOrdersLargeInput) {
    TStringList l;
    std::mt19937 rng(3);
    for (int i = 0; i < 5000; ++i) l.Add(std::to_string(rng() % 1000));
    l.CustomSort([](TStringList* list, int i, int j) {
        return std::stoi(list->Strings(i)) - std::stoi(list->Strings(j));
    });
    for (int i = 1; i < l.Count(); ++i)
        ASSERT_LE(std::stoi(l.Strings(i - 1)), std::stoi(l.Strings(i))) << i;
}

TEST(StringList, OwnsObjectsFreesDroppedObjects) {
    int alive = 0;
    {
        TStringList l(true);
        l.AddObject("a", new TCounted(alive));
        l.AddObject("b", new TCounted(alive));
        l.AddObject("c", new TCounted(alive));
        l.AddObject("d", new TCounted(alive));
        EXPECT_EQ(alive, 4);
        l.Delete(0);
        EXPECT_EQ(alive, 3);
        l.Move(0, 2);  // moving keeps the object
        EXPECT_EQ(alive, 3);
        l.Clear();
        EXPECT_EQ(alive, 0);
        l.AddObject("e", new TCounted(alive));
    }
    EXPECT_EQ(alive, 0);
}

TEST(StringList, TextSplitsEveryLineEndAndJoinsWithLineBreak) {
    TStringList l;
    l.SetText("one\r\ntwo\rthree\n\nfive\r\n");
    EXPECT_EQ(Items(l), (std::vector<std::string>{"one", "two", "three", "", "five"}));
    EXPECT_EQ(l.Text(), "one\ntwo\nthree\n\nfive\n");
    l.SetLineBreak("\r\n");
    EXPECT_EQ(l.Text(), "one\r\ntwo\r\nthree\r\n\r\nfive\r\n");
    l.SetTrailingLineBreak(false);
    EXPECT_EQ(l.Text(), "one\r\ntwo\r\nthree\r\n\r\nfive");

    TStringList round;
    round.SetText(l.Text());
    EXPECT_TRUE(round.Equals(&l));

    l.SetText("");
    EXPECT_EQ(l.Count(), 0);
    l.SetText("\n");
    EXPECT_EQ(Items(l), std::vector<std::string>{""});
    l.SetText("no end");
    EXPECT_EQ(Items(l), std::vector<std::string>{"no end"});
}

TEST(StringList, UpdatesCoalesceChangeEvents) {
    TStringList l;
    int changes = 0, changing = 0;
    l.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &l);
        ++changes;
    };
    l.OnChanging = [&](TObject*) { ++changing; };
    l.Add("a");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changing, 1);

    l.BeginUpdate();
    l.Add("b");
    l.BeginUpdate();
    l.Add("c");
    l.Delete(0);
    l.EndUpdate();
    EXPECT_EQ(changes, 1);
    l.SetText("x\ny");
    l.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(changing, 2);

    l.EndUpdate();  // an unmatched EndUpdate is harmless
    EXPECT_EQ(changes, 2);
    l.SetText("p\nq\nr");  // one change for the whole text
    EXPECT_EQ(changes, 3);
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    struct {
        std::vector<std::string> items;
        const char* text;
    } cases[] = {
        {{"a", "b", "c"}, "a,b,c"},
        {{"two words", "x"}, "\"two words\",x"},
        {{"say \"hi\"", "1,5"}, "\"say \"\"hi\"\"\",\"1,5\""},
        {{"a", "", "b"}, "a,,b"},
        {{""}, "\"\""},
        {{}, ""},
    };
    for (const auto& c : cases) {
        TStringList l;
        l.AddStrings(c.items);
        EXPECT_EQ(l.CommaText(), c.text);
        TStringList back;
        back.SetCommaText(c.text);
        EXPECT_EQ(Items(back), c.items) << c.text;
    }
}

TEST(StringList, DelimitedTextReading) {
    struct {
        const char* text;
        bool strict;
        std::vector<std::string> items;
    } cases[] = {
        {"a b;c", false, {"a", "b", "c"}},  // blanks split too unless strict
        {"a b;c", true, {"a b", "c"}},     {"  a ;  b  ", false, {"a", "b"}},
        {"a;", false, {"a", ""}},          {"a;;b", true, {"a", "", "b"}},
        {"'x;y';z", false, {"x;y", "z"}},  {"'unclosed", false, {"unclosed"}},
    };
    for (const auto& c : cases) {
        TStringList l;
        l.SetDelimiter(';');
        l.SetQuoteChar('\'');
        l.SetStrictDelimiter(c.strict);
        l.SetDelimitedText(c.text);
        EXPECT_EQ(Items(l), c.items) << c.text;
    }
    TStringList l;
    l.SetDelimiter(';');
    l.SetStrictDelimiter(true);
    l.AddStrings({"a b", "c;d"});
    EXPECT_EQ(l.DelimitedText(), "a b;\"c;d\"");
}

TEST(StringList, NamesAndValues) {
    TStringList l;
    l.SetText("Width=10\nheight=20\nplain\nempty=");
    EXPECT_EQ(l.Names(0), "Width");
    EXPECT_EQ(l.Names(2), "");
    EXPECT_EQ(l.Values("WIDTH"), "10");
    EXPECT_EQ(l.Values("plain"), "");
    EXPECT_EQ(l.IndexOfName("Height"), 1);
    EXPECT_EQ(l.ValueFromIndex(3), "");
    l.SetValues("Height", "25");
    EXPECT_EQ(l.Strings(1), "Height=25");
    l.SetValues("Depth", "3");
    EXPECT_EQ(l.Strings(4), "Depth=3");
    l.SetValues("Width", "");
    EXPECT_EQ(l.IndexOfName("Width"), -1);
    l.SetNameValueSeparator(':');
    l.Add("key:value");
    EXPECT_EQ(l.Values("key"), "value");
}

TEST(StringList, AssignCopiesTextsAndObjects) {
    TObject o;
    TStringList source;
    source.AddObject("x", &o);
    source.Add("y");
    source.SetDelimiter(';');
    TStringList copy;
    copy.Add("old");
    copy.Assign(&source);
    EXPECT_EQ(Items(copy), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(copy.Objects(0), &o);
    EXPECT_EQ(copy.Delimiter(), ';');
    copy.Assign(&copy);  // self-assignment keeps everything
    EXPECT_EQ(copy.Count(), 2);
    copy.AddStrings(&copy);  // adding itself doubles once
    EXPECT_EQ(copy.Count(), 4);

    TPersistent other;
    try {
        copy.Assign(&other);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TPersistent to a TStringList");
    }
}

TEST(StringList, FilesAndStreamsRoundTrip) {
    std::string name = TempFile(".txt");
    TStringList l;
    l.AddStrings({"first", "zweite Zeile \xC3\xA4", "", "last"});
    l.SaveToFile(name);
    TStringList back;
    back.LoadFromFile(name);
    EXPECT_TRUE(back.Equals(&l));

    // CR LF text with a byte-order mark, read from a stream's current position.
    TStringStream stream("skip\xEF\xBB\xBFone\r\ntwo\r\n");
    stream.SetPosition(4);
    back.LoadFromStream(&stream);
    EXPECT_EQ(Items(back), (std::vector<std::string>{"one", "two"}));

    TStringStream out;
    back.SaveToStream(&out);
    EXPECT_EQ(out.DataString(), "one\ntwo\n");

    EXPECT_THROW(back.LoadFromFile(name + ".missing"), EFOpenError);
    EXPECT_EQ(back.Count(), 2);  // a failed load changes nothing
    std::remove(name.c_str());
    std::remove(name.substr(0, name.size() - 4).c_str());
}
