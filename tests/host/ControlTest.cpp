#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Form.h"
#include "host/WinControl.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

// A control that writes down what reaches it.
class TProbe : public TCustomControl {
  public:
    explicit TProbe(TComponent* AOwner, std::vector<std::string>* Log = nullptr)
        : TCustomControl(AOwner), log(Log) {
        SetTabStop(true);
    }
    int paints = 0;
    std::vector<std::string>* log;
    TColor fill = clRed;
    LRESULT dlgCode = 0;

    void Say(const std::string& s) {
        if (log) log->push_back(Name() + ":" + s);
    }

  protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(fill);
        Canvas()->FillRect(ClientRect());
    }
    void MouseDown(TMouseButton, TShiftState Shift, int X, int Y) override {
        Say("down" + std::string(Shift.contains(ssDouble) ? "2" : "") + "@" + std::to_string(X) +
            "," + std::to_string(Y));
    }
    void MouseUp(TMouseButton, TShiftState, int X, int Y) override {
        Say("up@" + std::to_string(X) + "," + std::to_string(Y));
    }
    void MouseMove(TShiftState, int X, int Y) override {
        Say("move@" + std::to_string(X) + "," + std::to_string(Y));
    }
    void Click() override { Say("click"); }
    void DblClick() override { Say("dblclick"); }
    void KeyDown(WORD& Key, TShiftState) override { Say("key" + std::to_string(Key)); }
    void KeyPress(char32_t& Key) override { Say("char" + std::to_string(unsigned(Key))); }
    void DoEnter() override { Say("enter"); }
    void DoExit() override { Say("exit"); }
    void CMMouseEnter(TMessage&) override { Say("mouseenter"); }
    void CMMouseLeave(TMessage&) override { Say("mouseleave"); }
    bool DoMouseWheelDown(TShiftState, TPoint) override {
        Say("wheeldown");
        return true;
    }
    LRESULT GetDlgCode() const override { return dlgCode; }
};

class TPlainGraphic : public TGraphicControl {
  public:
    using TGraphicControl::TGraphicControl;
    int paints = 0;

  protected:
    void Paint() override {
        ++paints;
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FillRect(ClientRect());
    }
};

struct FormFixture : ::testing::Test {
    std::vector<std::string> log;
    std::unique_ptr<TForm> form;
    TProbe* a = nullptr;
    TProbe* b = nullptr;

    void SetUp() override {
        Headless::Instance();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 200, 100);
        a = new TProbe(form.get(), &log);
        a->SetName("a");
        a->SetParent(form.get());
        a->SetBounds(10, 10, 50, 30);
        b = new TProbe(form.get(), &log);
        b->SetName("b");
        b->SetParent(form.get());
        b->SetBounds(100, 10, 50, 30);
        form->Show();
        Application->ProcessMessages();
        Headless::Advance(1000);  // no double click with anything that came before
        log.clear();
    }
};

}  // namespace

TEST_F(FormFixture, MouseGoesToTheTopmostChildInItsCoordinates) {
    Headless::Click(form.get(), 15, 12);
    // The click comes before the release, as the classic host has it.
    EXPECT_EQ(log, (std::vector<std::string>{"a:mouseenter", "a:move@5,2", "a:down@5,2", "a:click",
                                             "a:up@5,2"}));
    // A child on top of a takes the point.
    auto* top = new TProbe(form.get(), &log);
    top->SetName("top");
    top->SetParent(form.get());
    top->SetBounds(10, 10, 20, 20);
    log.clear();
    Headless::MouseDown(form.get(), 15, 12);
    EXPECT_EQ(log.back(), "top:down@5,2");
    Headless::MouseUp(form.get(), 15, 12);
}

TEST_F(FormFixture, DisabledChildLetsTheParentHaveTheMouse) {
    a->SetEnabled(false);
    EXPECT_FALSE(a->Focused());  // a disabled control loses the focus
    log.clear();
    int formDowns = 0;
    form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++formDowns; };
    Headless::Click(form.get(), 15, 12);
    EXPECT_EQ(formDowns, 1);
    for (auto& l : log) EXPECT_NE(l.rfind("a:", 0), 0u) << l;
}

TEST_F(FormFixture, CaptureKeepsTheMouseWhileTheButtonIsHeld) {
    Headless::MouseDown(form.get(), 15, 12);
    Headless::MouseMove(form.get(), 120, 15, TShiftState{ssLeft});
    Headless::MouseUp(form.get(), 120, 15);
    // Moves and the release go to a, in its coordinates, and there is no click outside it.
    EXPECT_NE(std::find(log.begin(), log.end(), "a:move@110,5"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "a:up@110,5"), log.end());
    EXPECT_EQ(std::find(log.begin(), log.end(), "a:click"), log.end());
    EXPECT_EQ(Application->CaptureControl(), nullptr);
}

TEST_F(FormFixture, TwoQuickClicksMakeADoubleClickAndSlowOnesDoNot) {
    Headless::Click(form.get(), 15, 12);
    Headless::Click(form.get(), 16, 13);
    EXPECT_NE(std::find(log.begin(), log.end(), "a:dblclick"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "a:down2@6,3"), log.end());
    log.clear();
    Headless::Advance(DoubleClickTime + 1);
    Headless::Click(form.get(), 15, 12);
    EXPECT_EQ(std::find(log.begin(), log.end(), "a:dblclick"), log.end());
    Headless::Advance(100);
    Headless::Click(form.get(), 40, 25);  // too far from the last press
    EXPECT_EQ(std::find(log.begin(), log.end(), "a:dblclick"), log.end());
}

TEST_F(FormFixture, WheelGoesToTheControlUnderTheMouse) {
    Headless::Wheel(form.get(), 120, 20, -WHEEL_DELTA);
    EXPECT_EQ(log.back(), "b:wheeldown");
}

TEST_F(FormFixture, MouseEnterAndLeaveFollowTheMouse) {
    Headless::MouseMove(form.get(), 15, 15);
    Headless::MouseMove(form.get(), 120, 15);
    Headless::MouseLeave(form.get());
    std::vector<std::string> seen;
    for (auto& l : log)
        if (l.find("mouse") != std::string::npos) seen.push_back(l);
    EXPECT_EQ(seen, (std::vector<std::string>{"a:mouseenter", "a:mouseleave", "b:mouseenter",
                                              "b:mouseleave"}));
}

TEST_F(FormFixture, TabMovesTheFocusInTabOrderAndKeysReachTheFocusedControl) {
    EXPECT_TRUE(a->Focused());  // the form focused its first control when shown
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(b->Focused());
    EXPECT_EQ(log, (std::vector<std::string>{"a:exit", "b:enter"}));
    log.clear();
    Headless::PressKey(form.get(), 'X');
    Headless::TypeText(form.get(), "ä");
    EXPECT_EQ(log, (std::vector<std::string>{"b:key88", "b:char228"}));
    Headless::PressKey(form.get(), VK_TAB, TShiftState{ssShift});
    EXPECT_TRUE(a->Focused());
    b->SetTabOrder(0);
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(b->Focused());  // wraps around to the first in the new order
}

TEST_F(FormFixture, ADeletedControlLeavesTheTabOrder) {
    delete a;
    a = nullptr;
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(b->Focused());
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(b->Focused());
}

TEST_F(FormFixture, ControlThatWantsTabsKeepsThem) {
    a->dlgCode = DLGC_WANTTAB;
    Headless::PressKey(form.get(), VK_TAB);
    EXPECT_TRUE(a->Focused());
    EXPECT_EQ(log, (std::vector<std::string>{"a:key9", "a:char9"}));
}

TEST_F(FormFixture, KeyPreviewLetsTheFormSeeKeysFirst) {
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
        log.push_back("form:key" + std::to_string(Key));
        if (Key == VK_F2) Key = 0;
    };
    Headless::PressKey(form.get(), VK_F2);
    Headless::PressKey(form.get(), VK_F3);
    EXPECT_EQ(log, (std::vector<std::string>{"form:key113", "form:key114", "a:key114"}));
}

TEST_F(FormFixture, CtrlLetterAndEditingKeysMakeCharacters) {
    Headless::PressKey(form.get(), 'C', TShiftState{ssCtrl});
    Headless::PressKey(form.get(), VK_BACK);
    EXPECT_EQ(log, (std::vector<std::string>{"a:key67", "a:char3", "a:key8", "a:char8"}));
}

TEST_F(FormFixture, TwoInvalidatesGiveOnePaint) {
    int before = a->paints;
    a->Invalidate();
    a->Invalidate();
    EXPECT_EQ(a->paints, before);
    Application->ProcessMessages();
    EXPECT_EQ(a->paints, before + 1);
    Application->ProcessMessages();
    EXPECT_EQ(a->paints, before + 1);
    a->Repaint();
    EXPECT_EQ(a->paints, before + 2);
}

TEST_F(FormFixture, PaintLandsAtTheControlsPlaceClippedToIt) {
    EXPECT_EQ(Headless::PixelAt(form.get(), 10, 10), clRed);
    EXPECT_EQ(Headless::PixelAt(form.get(), 59, 39), clRed);
    EXPECT_EQ(Headless::PixelAt(form.get(), 60, 39), ColorToRGB(clBtnFace));
    EXPECT_EQ(Headless::PixelAt(form.get(), 9, 10), ColorToRGB(clBtnFace));
    // A hidden control leaves the form's background behind.
    a->Hide();
    EXPECT_EQ(Headless::PixelAt(form.get(), 20, 20), ColorToRGB(clBtnFace));
    // A graphic control paints on its parent.
    auto* g = new TPlainGraphic(form.get());
    g->SetParent(form.get());
    g->SetBounds(0, 50, 10, 10);
    EXPECT_EQ(Headless::PixelAt(form.get(), 5, 55), clBlue);
    EXPECT_EQ(g->Canvas()->Pixels(0, 0), clBlue);
}

TEST(ControlWithoutParent, PaintsIntoItsOwnPicture) {
    TProbe probe(nullptr);
    probe.SetBounds(0, 0, 8, 6);
    probe.Repaint();
    EXPECT_EQ(probe.paints, 1);
    EXPECT_EQ(probe.Canvas()->Pixels(7, 5), clRed);
    TSurface shot = Headless::Capture(&probe);
    EXPECT_EQ(shot.Width(), 8);
    EXPECT_EQ(PixelToColor(shot.Get(3, 3)), clRed);
}

TEST(ControlTree, OwnerFreesWhatItOwnsAndParentsLetGo) {
    auto form = std::make_unique<TForm>(nullptr);
    auto* owned = new TProbe(form.get());
    owned->SetParent(form.get());
    TProbe stranger(nullptr);  // on the stack: the form must not free it
    stranger.SetParent(form.get());
    EXPECT_EQ(form->ControlCount(), 2);
    form.reset();
    EXPECT_EQ(stranger.Parent(), nullptr);
}

TEST(ControlTree, AlignedChildrenFillTheirSides) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 100);
    TProbe top(nullptr), client(nullptr), left(nullptr);
    top.SetParent(&form);
    top.SetHeight(20);
    top.SetAlign(alTop);
    left.SetParent(&form);
    left.SetWidth(30);
    left.SetAlign(alLeft);
    client.SetParent(&form);
    client.SetAlign(alClient);
    EXPECT_EQ(top.BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(left.BoundsRect(), Rect(0, 20, 30, 100));
    EXPECT_EQ(client.BoundsRect(), Rect(30, 20, 200, 100));
    form.SetBounds(0, 0, 300, 150);
    EXPECT_EQ(client.BoundsRect(), Rect(30, 20, 300, 150));
    TProbe anchored(nullptr);
    anchored.SetParent(&form);
    anchored.SetBounds(250, 100, 40, 40);
    anchored.SetAnchors(TAnchors{akRight, akBottom});
    form.SetBounds(0, 0, 310, 170);
    EXPECT_EQ(anchored.BoundsRect(), Rect(260, 120, 300, 160));
}

TEST(ControlTree, ParentFontAndColourFollowTheParent) {
    TForm form(nullptr);
    TProbe child(nullptr);
    child.SetParent(&form);
    child.SetParentColor(true);
    form.Font()->SetSize(14);
    form.SetColor(clYellow);
    EXPECT_EQ(child.Font()->Size(), 14);
    EXPECT_TRUE(child.ParentFont());
    EXPECT_EQ(child.Color(), clYellow);
    child.Font()->SetSize(9);  // a font of its own ends the link
    EXPECT_FALSE(child.ParentFont());
    form.Font()->SetSize(20);
    EXPECT_EQ(child.Font()->Size(), 9);
}

TEST(Messages, DispatchPerformAndBroadcast) {
    struct TListener : TWinControl {
        using TWinControl::TWinControl;
        std::vector<UINT> got;
        void WndProc(TMessage& m) override {
            if (m.Msg >= WM_USER) {
                got.push_back(m.Msg);
                m.Result = m.Msg == WM_USER + 2 ? 7 : 0;
                return;
            }
            TWinControl::WndProc(m);
        }
    };
    TForm form(nullptr);
    TListener x(nullptr), y(nullptr);
    x.SetParent(&form);
    y.SetParent(&form);
    EXPECT_EQ(x.Perform(WM_USER + 2), 7);
    TMessage m{WM_USER + 1, 0, 0, 0};
    form.Broadcast(m);
    EXPECT_EQ(x.got.back(), WM_USER + 1u);
    EXPECT_EQ(y.got.back(), WM_USER + 1u);
    // Broadcast stops at the first child that answers.
    TMessage stop{WM_USER + 2, 0, 0, 0};
    form.Broadcast(stop);
    EXPECT_EQ(stop.Result, 7);
    EXPECT_EQ(y.got.back(), WM_USER + 1u);
    // Posted messages arrive through the loop, sent ones at once.
    HWND h = x.Handle();
    EXPECT_TRUE(PostMessage(h, WM_USER + 5));
    EXPECT_NE(x.got.back(), WM_USER + 5u);
    Application->ProcessMessages();
    EXPECT_EQ(x.got.back(), WM_USER + 5u);
    EXPECT_EQ(SendMessage(h, WM_USER + 2), 7);
    EXPECT_FALSE(PostMessage(0xDEAD, WM_USER));
}

TEST(Messages, EnabledColourAndFontChangesAreAnnounced) {
    struct TWatcher : TGraphicControl {
        using TGraphicControl::TGraphicControl;
        std::vector<UINT> got;
        void WndProc(TMessage& m) override {
            got.push_back(m.Msg);
            TGraphicControl::WndProc(m);
        }
    };
    TWatcher w(nullptr);
    w.SetEnabled(false);
    w.SetEnabled(false);  // unchanged: no message
    w.SetColor(clRed);
    w.Font()->SetStyle(TFontStyles{fsBold});
    EXPECT_EQ(w.got, (std::vector<UINT>{CM_ENABLEDCHANGED, CM_COLORCHANGED, CM_FONTCHANGED}));
}
