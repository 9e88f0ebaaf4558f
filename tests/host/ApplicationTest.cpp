#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "host/Application.h"
#include "host/Bitmap.h"
#include "host/Clipboard.h"
#include "host/Form.h"
#include "host/StyleServices.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct TimerFixture : ::testing::Test {
    std::vector<std::pair<uint64_t, uintptr_t>> ticks;
    HWND wnd = 0;
    void SetUp() override {
        Headless::Instance();
        Headless::SetTimersRefused(false);
        wnd = AllocateHWnd([this](TMessage& m) {
            if (m.Msg == WM_TIMER) ticks.emplace_back(Headless::Now(), m.WParam);
        });
    }
    void TearDown() override { DeallocateHWnd(wnd); }
};

}  // namespace

TEST_F(TimerFixture, TimersFireAtTheirVirtualTimesInOrder) {
    uint64_t t0 = Headless::Now();
    ASSERT_EQ(SetTimer(wnd, 1, 100), 1u);
    ASSERT_EQ(SetTimer(wnd, 2, 250), 2u);
    Headless::Advance(99);
    EXPECT_TRUE(ticks.empty());
    Headless::Advance(451);
    std::vector<std::pair<uint64_t, uintptr_t>> expected = {
        {t0 + 100, 1}, {t0 + 200, 1}, {t0 + 250, 2}, {t0 + 300, 1},
        {t0 + 400, 1}, {t0 + 500, 1}, {t0 + 500, 2}};
    EXPECT_EQ(ticks, expected);
    ticks.clear();
    EXPECT_TRUE(KillTimer(wnd, 1));
    EXPECT_FALSE(KillTimer(wnd, 1));
    Headless::Advance(300);
    EXPECT_EQ(ticks.size(), 1u);  // only timer 2 is left
    EXPECT_EQ(ticks[0].second, 2u);
}

TEST_F(TimerFixture, RestartingATimerStartsItsIntervalAgain) {
    uint64_t t0 = Headless::Now();
    SetTimer(wnd, 1, 100);
    Headless::Advance(60);
    SetTimer(wnd, 1, 100);
    Headless::Advance(100);
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].first, t0 + 160);
}

TEST_F(TimerFixture, RefusedTimersAnswerZero) {
    Headless::SetTimersRefused(true);
    EXPECT_EQ(SetTimer(wnd, 1, 100), 0u);
    Headless::SetTimersRefused(false);
    EXPECT_EQ(SetTimer(wnd, 1, 100), 1u);
    EXPECT_EQ(SetTimer(0xBAD, 1, 100), 0u);  // no such window
}

TEST(Timers, AThrowingHandlerReachesHandleExceptionAndTheTimerGoesOn) {
    Headless::Instance();
    int ticks = 0;
    std::vector<std::string> reported;
    Application->OnException = [&](TObject*, Exception& E) { reported.push_back(E.Message()); };
    HWND wnd = AllocateHWnd([&](TMessage& m) {
        if (m.Msg != WM_TIMER) return;
        ++ticks;
        throw EConvertError("tick " + std::to_string(ticks));
    });
    SetTimer(wnd, 1, 50);
    Headless::Advance(150);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(reported, (std::vector<std::string>{"tick 1", "tick 2", "tick 3"}));
    DeallocateHWnd(wnd);
    Application->OnException = nullptr;
    Headless::Advance(100);
    EXPECT_EQ(ticks, 3);  // the window and its timer are gone
}

TEST(Modal, AHandlerClosesTheModalFormWithItsResult) {
    Headless::Instance();
    TForm dialog(nullptr);
    bool sawItVisible = false;
    Headless::SetModalHandler([&](TObject* subject) {
        auto* form = dynamic_cast<TForm*>(subject);
        ASSERT_EQ(form, &dialog);
        sawItVisible = form->Visible();
        form->SetModalResult(mrOk);
    });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    EXPECT_TRUE(sawItVisible);
    EXPECT_FALSE(dialog.Visible());
    // Without a handler (or when it does nothing) the loop ends as cancelled.
    Headless::SetModalHandler(nullptr);
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    Headless::SetModalHandler([](TObject*) {});
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    Headless::SetModalHandler(nullptr);
}

TEST(Modal, CloseQueryCanKeepAFormOpen) {
    TForm form(nullptr);
    form.Show();
    bool allow = false;
    form.OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = allow; };
    form.Close();
    EXPECT_TRUE(form.Visible());
    allow = true;
    form.Close();
    EXPECT_FALSE(form.Visible());
    Application->ResetTerminated();
}

TEST(Clipboard, TextRoundTripAndPictureOnly) {
    Headless::Instance();
    Clipboard()->SetAsText("1\t2\n3\t4");
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "1\t2\n3\t4");
    TBitmap picture;
    picture.SetSize(4, 4);
    Clipboard()->Assign(&picture);
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_EQ(Clipboard()->AsText(), "");
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_BITMAP));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
}

TEST(Services, BeepsAreCountedAndStylesAreOffUntilSwitchedOn) {
    Headless::ResetBeeps();
    MessageBeep(MB_ICONWARNING);
    MessageBeep();
    EXPECT_EQ(Headless::BeepCount(), 2);
    EXPECT_FALSE(StyleServices()->Enabled());
    StyleServices()->SetEnabled(true);
    EXPECT_NE(StyleServices()->GetSystemColor(clBtnFace), ColorToRGB(clBtnFace));
    EXPECT_EQ(StyleServices()->GetSystemColor(clRed), clRed);
    StyleServices()->SetEnabled(false);
}

TEST(Services, ExceptionsWithoutAHandlerGoToStandardError) {
    testing::internal::CaptureStderr();
    try {
        throw EInvalidOperation("something went wrong");
    } catch (...) {
        Application->HandleException(nullptr);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "something went wrong\n");
}
