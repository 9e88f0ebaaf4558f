#include "host/Colors.h"

#include <gtest/gtest.h>

#include "host/Exceptions.h"
#include "host/Object.h"

using namespace kovo;

TEST(Colors, SystemColoursResolveFromThePalette) {
    EXPECT_EQ(ColorToRGB(clWindow), clWhite);
    EXPECT_EQ(ColorToRGB(clWindowText), clBlack);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), clWhite);
    EXPECT_EQ(ColorToRGB(clRed), clRed);
    EXPECT_EQ(ColorToRGB(0x12345678), 0x00345678u);
    // Every system slot resolves to an explicit colour.
    for (TColor i = 0; i <= 30; ++i) EXPECT_EQ(ColorToRGB(clSystemColor | i) >> 24, 0u);
}

TEST(Colors, StringRoundTrip) {
    struct Case {
        TColor color;
        const char* text;
    } cases[] = {
        {clRed, "clRed"},         {clBtnFace, "clBtnFace"},  {clMoneyGreen, "clMoneyGreen"},
        {clNone, "clNone"},       {0x00123456, "$00123456"}, {cl3DDkShadow, "cl3DDkShadow"},
        {0xFF000019, "$FF000019"}};
    for (const auto& c : cases) {
        EXPECT_EQ(ColorToString(c.color), c.text);
        EXPECT_EQ(StringToColor(c.text), c.color) << c.text;
    }
    EXPECT_EQ(StringToColor("clred"), clRed);
    EXPECT_EQ(StringToColor("255"), clRed);
    EXPECT_EQ(StringToColor("0xFF"), clRed);
    for (const char* bad : {"", "$", "clNoSuchColour", "12z", "$123456789", "99999999999"})
        EXPECT_THROW(StringToColor(bad), EConvertError) << bad;
}

namespace {
class TApple : public TPersistent {};
class TPear : public TPersistent {};
}  // namespace

TEST(Persistent, AssigningAnotherClassRaisesTheConversionError) {
    TApple apple;
    TPear pear;
    try {
        apple.Assign(&pear);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TPear to a TApple");
    }
}
