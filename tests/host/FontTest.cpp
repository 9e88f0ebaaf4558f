#include "host/Font.h"

#include <gtest/gtest.h>

#include "host/Exceptions.h"

using namespace kovo;

namespace {

// Counts OnChange calls of a font.
struct ChangeCounter {
    int count = 0;
    TObject* sender = nullptr;
    explicit ChangeCounter(TFont& f) {
        f.OnChange = [this](TObject* s) {
            ++count;
            sender = s;
        };
    }
};

class TNotAFont : public TPersistent {};

}  // namespace

TEST(Font, Defaults) {
    TFont f;
    EXPECT_EQ(f.Name(), "Tahoma");
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Height(), -11);
    EXPECT_TRUE(f.Style().empty());
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_EQ(f.Orientation(), 0);
    EXPECT_EQ(f.Quality(), fqDefault);
    EXPECT_EQ(f.Pitch(), fpDefault);
    EXPECT_EQ(f.PixelsPerInch(), 96);
}

TEST(Font, SizeAndHeightConvertAt96Dpi) {
    struct Case {
        int size;
        int height;
    } cases[] = {{8, -11}, {9, -12}, {10, -13}, {11, -15}, {12, -16}, {72, -96}, {1, -1}};
    for (const auto& c : cases) {
        TFont f;
        f.SetSize(c.size);
        EXPECT_EQ(f.Height(), c.height) << c.size;
        EXPECT_EQ(f.Size(), c.size) << c.size;
    }
    TFont f;
    f.SetHeight(-13);  // 9.75 points
    EXPECT_EQ(f.Size(), 10);
    f.SetHeight(-14);  // 10.5 points: halves round away from zero
    EXPECT_EQ(f.Size(), 11);
    f.SetHeight(20);  // a cell height reads as a negative size
    EXPECT_EQ(f.Size(), -15);
    f.SetSize(-15);
    EXPECT_EQ(f.Height(), 20);
}

TEST(Font, OnChangeFiresOnlyOnRealChanges) {
    TFont f;
    ChangeCounter c(f);
    f.SetName("Tahoma");
    f.SetSize(8);
    f.SetHeight(-11);
    f.SetStyle({});
    f.SetColor(clWindowText);
    f.SetOrientation(0);
    f.SetQuality(fqDefault);
    f.SetPitch(fpDefault);
    EXPECT_EQ(c.count, 0);

    f.SetName("Arial");
    f.SetSize(12);
    f.SetHeight(-20);
    f.SetStyle({fsBold, fsUnderline});
    f.SetColor(clRed);
    f.SetOrientation(900);
    f.SetQuality(fqNonAntialiased);
    f.SetPitch(fpFixed);
    EXPECT_EQ(c.count, 8);
    EXPECT_EQ(c.sender, &f);
    f.SetStyle({fsUnderline, fsBold});  // the same set
    EXPECT_EQ(c.count, 8);
}

TEST(Font, AssignCopiesEverythingButTheHandler) {
    TFont src;
    src.SetName("Courier New");
    src.SetHeight(-17);
    src.SetStyle({fsItalic, fsStrikeOut});
    src.SetColor(clBlue);
    src.SetOrientation(450);
    src.SetQuality(fqAntialiased);
    src.SetPitch(fpVariable);
    int srcChanges = 0;
    src.OnChange = [&](TObject*) { ++srcChanges; };

    TFont dst;
    ChangeCounter c(dst);
    dst.Assign(&src);
    EXPECT_TRUE(dst == src);
    EXPECT_EQ(c.count, 1);
    dst.Assign(&src);  // nothing differs any more
    EXPECT_EQ(c.count, 1);
    dst.SetColor(clLime);
    EXPECT_EQ(c.count, 2);  // still dst's own handler
    EXPECT_EQ(srcChanges, 0);
}

TEST(Font, AssignFromAnotherClassRaisesTheConversionError) {
    TFont f;
    TNotAFont other;
    try {
        f.Assign(&other);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TNotAFont to a TFont");
    }
    EXPECT_THROW(f.Assign(nullptr), EConvertError);
    EXPECT_EQ(f.Name(), "Tahoma");
}

TEST(Font, HandleRoundTripWithTurnedEscapement) {
    TFont f;
    f.SetName("Arial");
    f.SetSize(11);
    f.SetStyle({fsBold, fsItalic, fsUnderline, fsStrikeOut});
    f.SetColor(clMaroon);
    f.SetQuality(fqNonAntialiased);

    TLogFont lf;
    EXPECT_EQ(GetObject(f, lf), int(sizeof(TLogFont)));
    EXPECT_EQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfHeight, -15);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic && lf.lfUnderline && lf.lfStrikeOut);
    EXPECT_EQ(lf.lfEscapement, 0);
    EXPECT_EQ(lf.lfQuality, fqNonAntialiased);

    // What a turned label does: change the angle and the quality, make a font of it.
    lf.lfEscapement = lf.lfOrientation = 900;
    lf.lfQuality = fqAntialiased;
    ChangeCounter c(f);
    f.SetHandle(CreateFontIndirect(lf));
    EXPECT_EQ(c.count, 1);
    EXPECT_EQ(f.Orientation(), 900);
    EXPECT_EQ(f.Quality(), fqAntialiased);
    EXPECT_EQ(f.Name(), "Arial");
    EXPECT_EQ(f.Height(), -15);
    EXPECT_EQ(f.Style(), TFontStyles({fsBold, fsItalic, fsUnderline, fsStrikeOut}));
    EXPECT_EQ(f.Color(), clMaroon);  // not part of the record
    EXPECT_EQ(f.Handle(), lf);

    f.SetHandle(lf);  // the same description again
    EXPECT_EQ(c.count, 1);
}

TEST(Font, RecordWeightsAndLimits) {
    struct Case {
        int weight;
        bool bold;
    } cases[] = {{0, false}, {400, false}, {599, false}, {600, true}, {700, true}, {5000, true}};
    for (const auto& c : cases) {
        TLogFont lf;
        lf.lfFaceName = "Tahoma";
        lf.lfHeight = -11;
        lf.lfWeight = c.weight;
        TFont f;
        f.SetHandle(lf);
        EXPECT_EQ(f.Style().contains(fsBold), c.bold) << c.weight;
    }
    TLogFont lf;
    lf.lfWeight = 5000;
    lf.lfFaceName = std::string(40, 'x');
    lf.lfQuality = static_cast<TFontQuality>(99);
    TLogFont n = CreateFontIndirect(lf);
    EXPECT_EQ(n.lfWeight, 1000);
    EXPECT_EQ(n.lfFaceName.size(), kMaxFaceNameLength);
    EXPECT_EQ(n.lfQuality, fqDefault);
}
