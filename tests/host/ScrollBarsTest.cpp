#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Canvas.h"
#include "host/ScrollBars.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

// A vertical bar 17 x 200 at (0, 0) over positions 0..99 with a page of 10, whose owner
// moves by one per line and ten per page, as a list would.
struct ScrollFixture : ::testing::Test {
    TScrollBarPiece bar{sbVertical};
    std::vector<std::pair<TScrollCode, int>> events;
    bool follow = true;  // the owner takes every step

    void SetUp() override {
        Headless::Instance();
        Headless::SetTimersRefused(false);
        bar.SetBounds(Bounds(0, 0, 17, 200));
        bar.SetRange(0, 99, 10);
        bar.OnScroll = [this](TScrollCode Code, int Pos) {
            events.emplace_back(Code, Pos);
            if (!follow) return;
            int p = bar.Position();
            switch (Code) {
                case scLineUp:
                    bar.SetPosition(p - 1);
                    break;
                case scLineDown:
                    bar.SetPosition(p + 1);
                    break;
                case scPageUp:
                    bar.SetPosition(p - 10);
                    break;
                case scPageDown:
                    bar.SetPosition(p + 10);
                    break;
                case scTrack:
                case scPosition:
                    bar.SetPosition(Pos);
                    break;
                default:
                    break;
            }
        };
    }
    void TearDown() override { Headless::SetTimersRefused(false); }
    int Count(TScrollCode Code) const {
        int n = 0;
        for (auto& e : events) n += e.first == Code;
        return n;
    }
};

TEST_F(ScrollFixture, PartsLieBetweenTheArrowsInProportionToThePage) {
    // Arrows of the bar's thickness; the track of 166 pixels holds a thumb of 166 * 10 / 100.
    EXPECT_EQ(bar.PartRect(sbpArrowStart), Rect(0, 0, 17, 17));
    EXPECT_EQ(bar.PartRect(sbpArrowEnd), Rect(0, 183, 17, 200));
    EXPECT_EQ(bar.PartRect(sbpThumb), Rect(0, 17, 17, 33));
    EXPECT_TRUE(bar.PartRect(sbpPageStart).IsEmpty());
    EXPECT_EQ(bar.PartRect(sbpPageEnd), Rect(0, 33, 17, 183));
    EXPECT_EQ(bar.MaxPosition(), 90);
    bar.SetPosition(90);
    EXPECT_EQ(bar.PartRect(sbpThumb), Rect(0, 167, 17, 183));
    bar.SetPosition(45);
    EXPECT_EQ(bar.PartRect(sbpThumb), Rect(0, 92, 17, 108));
    EXPECT_EQ(bar.HitTest({5, 5}), sbpArrowStart);
    EXPECT_EQ(bar.HitTest({5, 50}), sbpPageStart);
    EXPECT_EQ(bar.HitTest({5, 100}), sbpThumb);
    EXPECT_EQ(bar.HitTest({5, 150}), sbpPageEnd);
    EXPECT_EQ(bar.HitTest({5, 199}), sbpArrowEnd);
    EXPECT_EQ(bar.HitTest({17, 100}), sbpNone);
    // Positions outside the range are held inside it.
    bar.SetPosition(500);
    EXPECT_EQ(bar.Position(), 90);
    bar.SetRange(0, 49, 10);
    EXPECT_EQ(bar.Position(), 40);
}

TEST_F(ScrollFixture, GeometryAtTheLimits) {
    // A tiny page still gets the smallest thumb; a bar shorter than two arrows has no track.
    bar.SetRange(0, 100000, 1);
    EXPECT_EQ(bar.PartRect(sbpThumb).Height(), ScrollMinThumbLength);
    bar.SetRange(0, 99, 0);
    EXPECT_EQ(bar.PartRect(sbpThumb).Height(), 17);  // no page: a square thumb
    bar.SetBounds(Bounds(0, 0, 17, 20));
    EXPECT_EQ(bar.PartRect(sbpArrowStart), Rect(0, 0, 17, 10));
    EXPECT_EQ(bar.PartRect(sbpArrowEnd), Rect(0, 10, 17, 20));
    EXPECT_TRUE(bar.PartRect(sbpThumb).IsEmpty());
    TScrollBarPiece h(sbHorizontal);
    h.SetBounds(Bounds(10, 100, 300, 17));
    h.SetRange(0, 9, 5);
    EXPECT_EQ(h.PartRect(sbpArrowStart), Rect(10, 100, 27, 117));
    EXPECT_EQ(h.PartRect(sbpThumb), Rect(27, 100, 160, 117));
    // Everything fits in one page: the bar is inactive, it shows no thumb and ignores presses
    // (but still takes them, so that they do not reach what lies below).
    bar.SetBounds(Bounds(0, 0, 17, 200));
    bar.SetRange(0, 9, 10);
    EXPECT_FALSE(bar.Active());
    EXPECT_TRUE(bar.PartRect(sbpThumb).IsEmpty());
    EXPECT_TRUE(bar.MouseDown(mbLeft, {}, 5, 5));
    EXPECT_FALSE(bar.Tracking());
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(bar.MouseDown(mbLeft, {}, 30, 5));
}

TEST_F(ScrollFixture, ArrowPressRepeatsUntilReleased) {
    ASSERT_TRUE(bar.MouseDown(mbLeft, {}, 5, 195));
    EXPECT_EQ(Count(scLineDown), 1);
    Headless::Advance(ScrollRepeatDelay - 1);
    EXPECT_EQ(Count(scLineDown), 1);
    Headless::Advance(1);
    EXPECT_EQ(Count(scLineDown), 2);
    Headless::Advance(ScrollRepeatInterval * 3);
    EXPECT_EQ(Count(scLineDown), 5);
    EXPECT_EQ(bar.Position(), 5);
    // Off the arrow the repeat pauses, back on it goes on.
    bar.MouseMove({}, 5, 100);
    Headless::Advance(ScrollRepeatInterval * 2);
    EXPECT_EQ(Count(scLineDown), 5);
    bar.MouseMove({}, 5, 195);
    Headless::Advance(ScrollRepeatInterval);
    EXPECT_EQ(Count(scLineDown), 6);
    EXPECT_TRUE(bar.MouseUp(mbLeft, {}, 5, 195));
    EXPECT_FALSE(bar.Tracking());
    EXPECT_EQ(events.back().first, scEndScroll);
    Headless::Advance(1000);
    EXPECT_EQ(Count(scLineDown), 6);
}

TEST_F(ScrollFixture, TrackPressPagesUntilTheThumbReachesTheMouse) {
    // The thumb starts at the top; pressing at y = 120 pages down while the thumb is above.
    ASSERT_TRUE(bar.MouseDown(mbLeft, {}, 5, 120));
    EXPECT_EQ(Count(scPageDown), 1);
    Headless::Advance(ScrollRepeatDelay + 10 * ScrollRepeatInterval);
    bar.MouseUp(mbLeft, {}, 5, 120);
    TRect thumb = bar.PartRect(sbpThumb);
    EXPECT_LE(thumb.Top, 120);
    EXPECT_GT(thumb.Bottom + 16, 120);  // stopped within one page of the mouse
    EXPECT_EQ(Count(scPageUp), 0);
    EXPECT_LE(Count(scPageDown), 7);
}

TEST_F(ScrollFixture, DraggingTheThumbReportsTrackThenPosition) {
    ASSERT_TRUE(bar.MouseDown(mbLeft, {}, 8, 20));  // 3 pixels into the thumb
    EXPECT_EQ(bar.PressedPart(), sbpThumb);
    EXPECT_TRUE(events.empty());
    // 75 pixels down of a span of 150 is half the range.
    bar.MouseMove({}, 8, 95);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), std::make_pair(scTrack, 45));
    EXPECT_EQ(bar.PartRect(sbpThumb).Top, 92);
    // Beyond the end the thumb stops at the end.
    bar.MouseMove({}, 8, 400);
    EXPECT_EQ(events.back(), std::make_pair(scTrack, 90));
    bar.MouseMove({}, 8, 95);
    bar.MouseUp(mbLeft, {}, 8, 95);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], std::make_pair(scPosition, 45));
    EXPECT_EQ(events.back().first, scEndScroll);
    EXPECT_EQ(bar.Position(), 45);
    // An owner that ignores the steps keeps the bar where it was.
    follow = false;
    bar.MouseDown(mbLeft, {}, 5, 195);
    bar.MouseUp(mbLeft, {}, 5, 195);
    EXPECT_EQ(bar.Position(), 45);
}

TEST_F(ScrollFixture, WithoutATimerAPressStillStepsOnce) {
    Headless::SetTimersRefused(true);
    EXPECT_NO_THROW(bar.MouseDown(mbLeft, {}, 5, 195));
    Headless::Advance(2000);
    EXPECT_EQ(Count(scLineDown), 1);
    bar.MouseUp(mbLeft, {}, 5, 195);
}

TEST_F(ScrollFixture, PaintsTheClassicLook) {
    TBitmap bmp(40, 220);
    TCanvas* c = bmp.Canvas();
    c->Brush()->SetColor(clWhite);
    c->FillRect(Rect(0, 0, 40, 220));
    bar.SetPosition(45);
    bar.Paint(c);
    auto px = [&](int x, int y) { return ColorToRGB(c->Pixels(x, y)); };
    // Raised arrow buttons: light top-left, dark shadow bottom-right, a black glyph inside.
    EXPECT_EQ(px(0, 0), ColorToRGB(cl3DLight));
    EXPECT_EQ(px(16, 16), ColorToRGB(cl3DDkShadow));
    EXPECT_EQ(px(8, 8), ColorToRGB(clBtnText));
    EXPECT_EQ(px(3, 3), ColorToRGB(clBtnFace));
    // Track and thumb.
    EXPECT_EQ(px(8, 50), ColorToRGB(clScrollBar));
    EXPECT_EQ(px(8, 100), ColorToRGB(clBtnFace));
    EXPECT_EQ(px(0, 92), ColorToRGB(cl3DLight));
    EXPECT_EQ(px(20, 100), ColorToRGB(clWhite));  // nothing outside the bar
    // A held arrow is drawn flat with its glyph moved by one pixel; a held track part dark.
    bar.MouseDown(mbLeft, {}, 5, 5);
    bar.Paint(c);
    EXPECT_EQ(px(0, 0), ColorToRGB(clBtnShadow));
    EXPECT_EQ(px(16, 16), ColorToRGB(clBtnShadow));
    bar.MouseUp(mbLeft, {}, 5, 5);
    bar.MouseDown(mbLeft, {}, 5, 150);
    bar.Paint(c);
    int y = bar.PartRect(sbpPageEnd).Top + 2;
    EXPECT_EQ(px(8, y), ColorToRGB(cl3DDkShadow));
    bar.MouseUp(mbLeft, {}, 5, 150);
    // An inactive bar draws grey arrows with a light shadow and no thumb.
    bar.SetRange(0, 5, 10);
    bar.Paint(c);
    EXPECT_EQ(px(8, 8), ColorToRGB(clBtnShadow));
    EXPECT_EQ(px(8, 100), ColorToRGB(clScrollBar));
}

}  // namespace
