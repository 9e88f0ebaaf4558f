#include <gtest/gtest.h>

#include <vector>

#include "foundation/kovobase.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

struct TimerFixture : ::testing::Test {
    TComponent owner{nullptr};
    std::vector<uint64_t> ticks;
    std::unique_ptr<TKovoTimer> timer;
    TExceptionEvent savedHandler;

    void SetUp() override {
        Headless::Instance();
        Headless::SetTimersRefused(false);
        owner.SetName("Bar1");
        savedHandler = Application->OnException;
    }
    void TearDown() override {
        timer.reset();
        Headless::SetTimersRefused(false);
        Application->OnException = savedHandler;
    }
    void Make(int Repeat, int Start = 0, std::function<void()> Tick = {}) {
        if (!Tick) Tick = [this] { ticks.push_back(Headless::Now()); };
        timer = std::make_unique<TKovoTimer>(&owner, &RaiseKovoError<EKovoProgBar>, Tick, Repeat,
                                             Start);
    }
};

}  // namespace

TEST_F(TimerFixture, FirstTickAfterTheStartIntervalThenEveryRepeatInterval) {
    Make(200, 500);
    timer->SetEnabled(true);
    const uint64_t t0 = Headless::Now();
    timer->InitTimer();
    EXPECT_TRUE(timer->IsStart());
    Headless::Advance(1100);
    EXPECT_EQ(ticks, (std::vector<uint64_t>{t0 + 500, t0 + 700, t0 + 900, t0 + 1100}));
    EXPECT_FALSE(timer->IsStart());
}

TEST_F(TimerFixture, NoTimerWhenDisabledOrTheIntervalIsNotPositive) {
    Make(0);
    timer->SetEnabled(true);
    EXPECT_NO_THROW(timer->UpdateTimer());
    EXPECT_FALSE(timer->Running());
    Make(100);
    timer->UpdateTimer();  // not enabled
    EXPECT_FALSE(timer->Running());
    Headless::Advance(300);
    EXPECT_TRUE(ticks.empty());
}

TEST_F(TimerFixture, KillTimerStopsTheTicks) {
    Make(100);
    timer->SetEnabled(true);
    timer->UpdateTimer();
    Headless::Advance(250);
    EXPECT_EQ(ticks.size(), 2u);
    timer->KillTimer();
    Headless::Advance(500);
    EXPECT_EQ(ticks.size(), 2u);
}

TEST_F(TimerFixture, ARefusedTimerRaisesTheUnitsClass) {
    Make(100, 300);
    timer->SetEnabled(true);
    Headless::SetTimersRefused(true);
    for (auto start : {&TKovoTimer::UpdateTimer, &TKovoTimer::InitTimer}) {
        try {
            ((*timer).*start)();
            FAIL() << "nothing raised";
        } catch (const EKovoProgBar& e) {
            EXPECT_EQ(e.Message(), "Component \"Bar1\": no timer available");
        }
        EXPECT_FALSE(timer->Running());
    }
}

TEST_F(TimerFixture, IntervalSettersClampAndRestart) {
    Make(200, 500);
    timer->SetEnabled(true);
    EXPECT_TRUE(timer->SetInterval(5));
    EXPECT_EQ(timer->Interval(), 10);
    EXPECT_FALSE(timer->SetInterval(-3));  // clamps to the stored 10: unchanged
    EXPECT_TRUE(timer->SetStartInterval(0));
    EXPECT_EQ(timer->StartInterval(), 10);

    // Setting the repeat interval restarts in the repeat phase.
    const uint64_t t0 = Headless::Now();
    timer->SetInterval(150);
    Headless::Advance(300);
    EXPECT_EQ(ticks, (std::vector<uint64_t>{t0 + 150, t0 + 300}));
    // Setting the start interval restarts in the start phase.
    ticks.clear();
    const uint64_t t1 = Headless::Now();
    timer->SetStartInterval(400);
    EXPECT_TRUE(timer->IsStart());
    Headless::Advance(550);
    EXPECT_EQ(ticks, (std::vector<uint64_t>{t1 + 400, t1 + 550}));
}

TEST_F(TimerFixture, AtDesignTimeSettersStartNoTimer) {
    SetDesigning(&owner, true);
    Make(200, 500);
    timer->SetEnabled(true);
    Headless::SetTimersRefused(true);  // would raise if a timer were asked for
    EXPECT_NO_THROW(timer->SetInterval(300));
    EXPECT_NO_THROW(timer->SetStartInterval(700));
    EXPECT_EQ(timer->Interval(), 300);
    EXPECT_EQ(timer->StartInterval(), 700);
    EXPECT_FALSE(timer->Running());
}

TEST_F(TimerFixture, AnExceptionInATickGoesToTheApplicationAndTheTimerRuns) {
    std::vector<std::string> reported;
    TObject* sender = nullptr;
    Application->OnException = [&](TObject* Sender, Exception& E) {
        sender = Sender;
        reported.push_back(E.Message());
    };
    int n = 0;
    Make(100, 0, [&] {
        ++n;
        throw Exception("tick failed");
    });
    timer->SetEnabled(true);
    timer->UpdateTimer();
    Headless::Advance(300);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(reported, (std::vector<std::string>(3, "tick failed")));
    EXPECT_EQ(sender, &owner);
}

TEST_F(TimerFixture, OtherMessagesGoToTheDefaultHandler) {
    Make(100);
    TMessage m;
    m.Msg = WM_USER + 1;
    m.Result = 77;
    timer->WndProc(m);
    EXPECT_EQ(m.Result, DefWindowProc(timer->Handle(), WM_USER + 1, 0, 0));
    EXPECT_TRUE(ticks.empty());
}

TEST_F(TimerFixture, DestructionReleasesTheWindow) {
    Make(100);
    timer->SetEnabled(true);
    timer->UpdateTimer();
    HWND wnd = timer->Handle();
    EXPECT_TRUE(IsWindow(wnd));
    timer.reset();
    EXPECT_FALSE(IsWindow(wnd));
    Headless::Advance(300);
    EXPECT_TRUE(ticks.empty());
}
