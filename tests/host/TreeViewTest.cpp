#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Application.h"
#include "host/Edit.h"
#include "host/Form.h"
#include "host/TreeView.h"
#include "host/platform/Headless.h"

using namespace kovo;

namespace {

// A tree view that writes down its virtual notifications.
class TProbeTree : public TCustomTreeView {
  public:
    using TCustomTreeView::TCustomTreeView;
    std::vector<std::string> log;

  protected:
    void Change(TTreeNode* Node) override {
        log.push_back("change:" + (Node ? Node->Text() : std::string("-")));
        TCustomTreeView::Change(Node);
    }
};

std::string Texts(TTreeNodes* Items) {
    std::string s;
    for (int i = 0; i < Items->Count(); ++i) {
        if (i) s += ",";
        s += Items->Item(i)->Text();
    }
    return s;
}

// A tree in a form, 200 x 120, rows 18 pixels high: row r covers y = 2 + 18 r .. 19 + 18 r,
// the label of a top-level node starts at x = 22, of its children at x = 41.
struct TreeFixture : ::testing::Test {
    std::unique_ptr<TForm> form;
    TProbeTree* tree = nullptr;
    TTreeNode* a = nullptr;
    TTreeNode* a1 = nullptr;
    TTreeNode* a2 = nullptr;
    TTreeNode* b = nullptr;
    TTreeNode* b1 = nullptr;
    TTreeNode* c = nullptr;

    void SetUp() override {
        Headless::Instance();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 300, 200);
        tree = new TProbeTree(form.get());
        tree->SetParent(form.get());
        tree->SetBounds(0, 0, 200, 120);
        tree->SetItemHeight(18);
        TTreeNodes* items = tree->Items();
        a = items->Add(nullptr, "Alpha");
        a1 = items->AddChild(a, "Apple");
        a2 = items->AddChild(a, "Apricot");
        b = items->Add(nullptr, "Beta");
        b1 = items->AddChild(b, "Banana");
        c = items->Add(nullptr, "Gamma");
        form->Show();
        Application->ProcessMessages();
        tree->log.clear();
    }
    void TearDown() override {
        Headless::SetModalHandler(nullptr);
        form.reset();
    }
    TPoint LabelPoint(TTreeNode* n) {
        TRect r = n->DisplayRect(true);
        return TPoint{r.Left + 4, r.Top + r.Height() / 2};
    }
    void ClickNode(TTreeNode* n, TShiftState Shift = {}) {
        TPoint p = LabelPoint(n);
        Headless::Click(tree, p.X, p.Y, mbLeft, Shift);
        Headless::Advance(1000);  // the next click is no double click
    }
    void Press(WORD Key, TShiftState Shift = {}) { Headless::PressKey(tree, Key, Shift); }
};

// ---------------------------------------------------------------------------------------
// The node model

TEST(TreeNodesTest, AddingPlacesNodesInTreeOrder) {
    TTreeView tree(nullptr);
    TTreeNodes* items = tree.Items();
    TTreeNode* b = items->Add(nullptr, "b");
    TTreeNode* a = items->AddFirst(b, "a");
    TTreeNode* d = items->Add(a, "d");
    TTreeNode* c = items->Insert(d, "c");
    items->AddChild(b, "b2");
    items->AddChildFirst(b, "b1");
    items->AddChild(nullptr, "e");
    items->AddChildObject(d, "d1", &tree);
    EXPECT_EQ(Texts(items), "a,b,b1,b2,c,d,d1,e");
    EXPECT_EQ(items->Count(), 8);
    EXPECT_EQ(items->GetFirstNode(), a);
    EXPECT_EQ(b->Count(), 2);
    EXPECT_EQ(b->Item(1)->Text(), "b2");
    EXPECT_EQ(b->Item(2), nullptr);
    EXPECT_EQ(b->getFirstChild()->Parent(), b);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(b->Item(0)->Level(), 1);
    EXPECT_EQ(c->Index(), 2);
    EXPECT_EQ(d->getFirstChild()->Data(), &tree);
    EXPECT_EQ(d->getFirstChild()->AbsoluteIndex(), 6);
    EXPECT_EQ(c->GetNextSibling(), d);
    EXPECT_EQ(c->GetPrevSibling(), b);
    EXPECT_EQ(c->GetPrev()->Text(), "b2");
    EXPECT_EQ(b->Item(1)->GetNext(), c);
    EXPECT_TRUE(b->Item(0)->HasAsParent(b));
    EXPECT_FALSE(b->HasAsParent(b));
    EXPECT_TRUE(b->HasChildren());
    EXPECT_FALSE(c->HasChildren());
    // Items walks backwards as well as forwards.
    EXPECT_EQ(items->Item(7)->Text(), "e");
    EXPECT_EQ(items->Item(2)->Text(), "b1");
    EXPECT_EQ(items->Item(8), nullptr);
    EXPECT_EQ(items->Item(-1), nullptr);
}

TEST(TreeNodesTest, DeletingUpdatesCountsAndButtons) {
    TTreeView tree(nullptr);
    TTreeNodes* items = tree.Items();
    TTreeNode* a = items->Add(nullptr, "a");
    TTreeNode* a1 = items->AddChild(a, "a1");
    items->AddChild(a1, "a11");
    items->AddChild(a, "a2");
    TTreeNode* b = items->Add(nullptr, "b");
    std::vector<std::string> deleted;
    tree.OnDeletion = [&](TObject*, TTreeNode* n) { deleted.push_back(n->Text()); };
    a1->Delete();
    EXPECT_EQ(Texts(items), "a,a2,b");
    EXPECT_EQ(deleted, (std::vector<std::string>{"a11", "a1"}));  // children first
    a->DeleteChildren();
    EXPECT_EQ(a->Count(), 0);
    EXPECT_FALSE(a->HasChildren());
    items->Delete(b);
    EXPECT_EQ(items->Count(), 1);
    items->Clear();
    EXPECT_EQ(items->Count(), 0);
    EXPECT_EQ(items->GetFirstNode(), nullptr);
}

TEST(TreeNodesTest, AssignCopiesTheWholeTree) {
    TTreeView source(nullptr), target(nullptr);
    TTreeNode* a = source.Items()->Add(nullptr, "a");
    source.Items()->AddChild(a, "a1");
    source.Items()->AddChild(source.Items()->AddChild(a, "a2"), "a21");
    source.Items()->Add(nullptr, "b");
    a->Expand(false);
    target.Items()->Add(nullptr, "old");
    target.SetItems(source.Items());
    EXPECT_EQ(Texts(target.Items()), "a,a1,a2,a21,b");
    EXPECT_TRUE(target.Items()->GetFirstNode()->Expanded());
    EXPECT_EQ(target.RowCount(), 4);
}

TEST(TreeNodesTest, VeryDeepTreesNeedNoDeepStack) {
    TTreeView tree(nullptr);
    TTreeNode* n = nullptr;
    for (int i = 0; i < 20000; ++i) n = tree.Items()->AddChild(n, "n");
    tree.FullExpand();
    EXPECT_EQ(tree.RowCount(), 20000);
    EXPECT_EQ(n->Level(), 19999);
    tree.SetSelected(n);
    tree.Repaint();
    tree.Items()->Clear();
    EXPECT_EQ(tree.Items()->Count(), 0);
}

TEST(TreeNodesTest, WalkingManySiblingsStaysCheap) {
    TTreeView tree(nullptr);
    tree.Items()->BeginUpdate();
    for (int i = 0; i < 50000; ++i) tree.Items()->Add(nullptr, "n");
    tree.Items()->AddFirst(nullptr, "first");
    tree.Items()->EndUpdate();
    int count = 0;
    for (TTreeNode* n = tree.Items()->GetFirstNode(); n; n = n->GetNext()) ++count;
    EXPECT_EQ(count, 50001);
    EXPECT_EQ(tree.Items()->Item(50000)->Index(), 50000);
}

// ---------------------------------------------------------------------------------------
// Expanding and collapsing

TEST_F(TreeFixture, ExpandingAsksBeforeTheChildrenShow) {
    std::vector<std::string> events;
    tree->OnExpanding = [&](TObject*, TTreeNode* n, bool& allow) {
        events.push_back("expanding:" + n->Text() + " shown rows " +
                         std::to_string(tree->RowCount()) + (n->Expanded() ? " open" : ""));
        allow = true;
    };
    tree->OnExpanded = [&](TObject*, TTreeNode* n) {
        events.push_back("expanded:" + n->Text() + " shown rows " +
                         std::to_string(tree->RowCount()));
    };
    EXPECT_EQ(tree->RowCount(), 3);
    a->Expand(false);
    EXPECT_EQ(events, (std::vector<std::string>{"expanding:Alpha shown rows 3",
                                                "expanded:Alpha shown rows 5"}));
    EXPECT_TRUE(a->Expanded());
    a->Expand(false);  // already open: nothing more
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(TreeFixture, ExpandingCanBeRefused) {
    tree->OnExpanding = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    bool expanded = false;
    tree->OnExpanded = [&](TObject*, TTreeNode*) { expanded = true; };
    a->SetExpanded(true);
    EXPECT_FALSE(a->Expanded());
    EXPECT_FALSE(expanded);
    EXPECT_EQ(tree->RowCount(), 3);
}

TEST_F(TreeFixture, ChildrenCanBeMadeWhenANodeFirstOpens) {
    // The folder-tree pattern: a button without children, the children read on expanding.
    TTreeNode* lazy = tree->Items()->Add(nullptr, "Lazy");
    lazy->SetHasChildren(true);
    int reads = 0;
    tree->OnExpanding = [&](TObject*, TTreeNode* n, bool&) {
        if (n != lazy || n->Count() > 0) return;
        ++reads;
        tree->Items()->AddChild(n, "one");
        tree->Items()->AddChild(n, "two");
    };
    lazy->Expand(false);
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(lazy->Expanded());
    EXPECT_EQ(tree->RowCount(), 6);
    lazy->Collapse(false);
    lazy->Expand(false);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(lazy->Count(), 2);
}

TEST_F(TreeFixture, ANodeWithNothingToShowLosesItsButton) {
    TTreeNode* empty = tree->Items()->Add(nullptr, "Empty");
    empty->SetHasChildren(true);
    int expanding = 0;
    tree->OnExpanding = [&](TObject*, TTreeNode*, bool&) { ++expanding; };
    empty->Expand(false);
    EXPECT_EQ(expanding, 1);
    EXPECT_FALSE(empty->Expanded());
    EXPECT_FALSE(empty->HasChildren());
}

TEST_F(TreeFixture, CollapsingMovesAHiddenSelectionToTheCollapsedNode) {
    std::vector<std::string> events;
    tree->OnCollapsing = [&](TObject*, TTreeNode* n, bool&) {
        events.push_back("collapsing:" + n->Text());
    };
    tree->OnCollapsed = [&](TObject*, TTreeNode* n) { events.push_back("collapsed:" + n->Text()); };
    tree->SetSelected(a2);  // makes it visible: Alpha opens
    EXPECT_TRUE(a->Expanded());
    tree->log.clear();
    a->Collapse(false);
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(tree->log, (std::vector<std::string>{"change:Alpha"}));
    EXPECT_EQ(events, (std::vector<std::string>{"collapsing:Alpha", "collapsed:Alpha"}));
}

TEST_F(TreeFixture, FullExpandAndFullCollapseReachEveryLevel) {
    tree->Items()->AddChild(a1, "Seed");
    tree->FullExpand();
    EXPECT_EQ(tree->RowCount(), 7);
    EXPECT_TRUE(a1->Expanded());
    tree->FullCollapse();
    EXPECT_EQ(tree->RowCount(), 3);
    EXPECT_FALSE(a1->Expanded());
}

// ---------------------------------------------------------------------------------------
// Selection

TEST_F(TreeFixture, SelectingAsksOnChangingThenCallsChange) {
    std::vector<std::string> events;
    tree->OnChanging = [&](TObject*, TTreeNode* n, bool&) {
        events.push_back("changing:" + n->Text());
    };
    tree->OnChange = [&](TObject*, TTreeNode* n) { events.push_back("onchange:" + n->Text()); };
    tree->SetSelected(b);
    EXPECT_EQ(events, (std::vector<std::string>{"changing:Beta", "onchange:Beta"}));
    EXPECT_EQ(tree->log, (std::vector<std::string>{"change:Beta"}));
    EXPECT_TRUE(b->Selected());
    EXPECT_TRUE(b->Focused());
    tree->SetSelected(b);  // the same node again changes nothing
    EXPECT_EQ(events.size(), 2u);

    tree->OnChanging = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    c->SetSelected(true);
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_FALSE(c->Selected());
}

TEST_F(TreeFixture, SelectingAHiddenNodeExpandsItsParents) {
    tree->SetSelected(b1);
    EXPECT_TRUE(b->Expanded());
    EXPECT_TRUE(b1->IsVisible());
    EXPECT_FALSE(b1->DisplayRect(false).IsEmpty());
}

TEST_F(TreeFixture, DeletingTheSelectedNodeSelectsANeighbour) {
    a->Expand(false);
    tree->SetSelected(a1);
    tree->log.clear();
    a1->Delete();  // the next sibling takes over
    EXPECT_EQ(tree->Selected(), a2);
    a2->Delete();  // no sibling left: the parent
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_FALSE(a->HasChildren());
    tree->SetSelected(c);
    tree->log.clear();
    c->Delete();  // the last one: the previous sibling
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_EQ(tree->log, (std::vector<std::string>{"change:Beta"}));
    tree->log.clear();
    tree->Items()->Clear();
    EXPECT_EQ(tree->Selected(), nullptr);
    EXPECT_EQ(tree->log, (std::vector<std::string>{"change:-"}));
}

TEST_F(TreeFixture, MultiSelectWithCtrlAndShift) {
    tree->SetMultiSelect(true);
    tree->FullExpand();  // Alpha Apple Apricot Beta Banana Gamma
    ClickNode(a1);
    ClickNode(b, TShiftState{ssCtrl});
    EXPECT_EQ(tree->SelectionCount(), 2);
    EXPECT_EQ(tree->Selected(), b);
    ClickNode(a1, TShiftState{ssCtrl});  // Ctrl on a selected node drops it
    EXPECT_FALSE(a1->Selected());
    EXPECT_EQ(tree->SelectionCount(), 1);
    ClickNode(c, TShiftState{ssShift});  // range from the last Ctrl click
    std::vector<std::string> texts;
    for (int i = 0; i < tree->SelectionCount(); ++i) texts.push_back(tree->Selections(i)->Text());
    EXPECT_EQ(texts, (std::vector<std::string>{"Apple", "Apricot", "Beta", "Banana", "Gamma"}));
    ClickNode(b);  // a plain click selects one node
    EXPECT_EQ(tree->SelectionCount(), 1);
    tree->SetMultiSelect(false);
    EXPECT_EQ(tree->Selected(), b);
}

// ---------------------------------------------------------------------------------------
// Mouse

TEST_F(TreeFixture, ClickSelectsAndGivesTheFocus) {
    ClickNode(b);
    EXPECT_EQ(tree->Selected(), b);
    EXPECT_TRUE(tree->Focused());
    EXPECT_EQ(tree->log, (std::vector<std::string>{"change:Beta"}));
    EXPECT_FALSE(b->Expanded());
}

TEST_F(TreeFixture, ClickOnTheButtonTogglesWithoutSelecting) {
    // Beta's button is centred at x = 11 in row 1 (y = 20 .. 37).
    EXPECT_TRUE(tree->GetHitTestInfoAt(11, 28).contains(htOnButton));
    Headless::Click(tree, 11, 28);
    EXPECT_TRUE(b->Expanded());
    EXPECT_EQ(tree->Selected(), nullptr);
    Headless::Advance(1000);
    Headless::Click(tree, 11, 28);
    EXPECT_FALSE(b->Expanded());
    EXPECT_TRUE(tree->log.empty());
}

TEST_F(TreeFixture, DoubleClickOnALabelToggles) {
    TPoint p = LabelPoint(a);
    Headless::DoubleClick(tree, p.X, p.Y);
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_TRUE(a->Expanded());
    Headless::Advance(1000);
    Headless::DoubleClick(tree, p.X, p.Y);
    EXPECT_FALSE(a->Expanded());
}

TEST_F(TreeFixture, HitTestsNameTheRowParts) {
    struct Case {
        int x, y;
        THitTest expected;
    } cases[] = {
        {11, 10, htOnButton}, {30, 10, htOnLabel}, {190, 10, htOnRight},
        {11, 80, htNowhere},  {11, 1, htAbove},    {199, 10, htToRight},
    };
    for (const Case& k : cases)
        EXPECT_TRUE(tree->GetHitTestInfoAt(k.x, k.y).contains(k.expected)) << k.x << "," << k.y;
    EXPECT_EQ(tree->GetNodeAt(30, 10), a);
    EXPECT_EQ(tree->GetNodeAt(30, 30), b);
    EXPECT_EQ(tree->GetNodeAt(30, 80), nullptr);
}

// ---------------------------------------------------------------------------------------
// Keyboard

TEST_F(TreeFixture, ArrowsHomeAndEndMoveTheSelection) {
    tree->SetFocus();
    Press(VK_DOWN);  // nothing selected: the first row
    EXPECT_EQ(tree->Selected(), a);
    Press(VK_DOWN);
    EXPECT_EQ(tree->Selected(), b);
    Press(VK_END);
    EXPECT_EQ(tree->Selected(), c);
    Press(VK_UP);
    EXPECT_EQ(tree->Selected(), b);
    Press(VK_HOME);
    EXPECT_EQ(tree->Selected(), a);
    Press(VK_UP);  // at the top it stays
    EXPECT_EQ(tree->Selected(), a);
    EXPECT_EQ(tree->log, (std::vector<std::string>{"change:Alpha", "change:Beta", "change:Gamma",
                                                   "change:Beta", "change:Alpha"}));
}

TEST_F(TreeFixture, RightExpandsThenEntersLeftCollapsesThenLeaves) {
    tree->SetFocus();
    tree->SetSelected(a);
    Press(VK_RIGHT);
    EXPECT_TRUE(a->Expanded());
    EXPECT_EQ(tree->Selected(), a);
    Press(VK_RIGHT);
    EXPECT_EQ(tree->Selected(), a1);
    Press(VK_LEFT);  // a leaf: to the parent
    EXPECT_EQ(tree->Selected(), a);
    Press(VK_LEFT);
    EXPECT_FALSE(a->Expanded());
    Press(VK_DOWN);
    EXPECT_EQ(tree->Selected(), b);
}

TEST_F(TreeFixture, PlusMinusAndStarKeys) {
    tree->Items()->AddChild(a1, "Seed");
    tree->SetFocus();
    tree->SetSelected(a);
    // The numeric pad sends the key and then its character; the node acts once.
    Headless::KeyDown(tree, VK_ADD);
    Headless::TypeText(tree, "+");
    Headless::KeyUp(tree, VK_ADD);
    EXPECT_TRUE(a->Expanded());
    Headless::TypeText(tree, "-");
    EXPECT_FALSE(a->Expanded());
    Headless::TypeText(tree, "+");
    EXPECT_TRUE(a->Expanded());
    Press(VK_SUBTRACT);
    EXPECT_FALSE(a->Expanded());
    Press(VK_MULTIPLY);
    EXPECT_TRUE(a->Expanded());
    EXPECT_TRUE(a1->Expanded());
    tree->SetSelected(a1->getFirstChild());
    Press(VK_BACK);
    EXPECT_EQ(tree->Selected(), a1);
}

TEST_F(TreeFixture, TypingALetterFindsTheNextLabel) {
    tree->SetFocus();
    tree->FullExpand();
    Headless::TypeText(tree, "a");
    EXPECT_EQ(tree->Selected(), a);
    Headless::TypeText(tree, "a");
    EXPECT_EQ(tree->Selected(), a1);
    Headless::TypeText(tree, "g");
    EXPECT_EQ(tree->Selected(), c);
}

TEST_F(TreeFixture, KeysKeepTheSelectionInView) {
    tree->Items()->BeginUpdate();
    for (int i = 0; i < 40; ++i) tree->Items()->AddChild(c, "Leaf" + std::to_string(i));
    tree->Items()->EndUpdate();
    c->Expand(false);
    tree->SetFocus();
    tree->SetSelected(a);
    Press(VK_END);
    TTreeNode* last = c->GetLastChild();
    EXPECT_EQ(tree->Selected(), last);
    TRect r = last->DisplayRect(false);
    TRect client = tree->ClientRect();
    EXPECT_GE(r.Top, client.Top);
    EXPECT_LE(r.Bottom, client.Bottom);
    EXPECT_EQ(tree->VertScrollBar()->Position(), tree->RowCount() - tree->VisibleRowCount());
    Press(VK_HOME);
    EXPECT_EQ(tree->TopItem(), a);
}

// ---------------------------------------------------------------------------------------
// Scrolling and painting

TEST_F(TreeFixture, ScrollBarsAppearWhenTheRowsDoNotFit) {
    EXPECT_FALSE(tree->VertScrollBar()->Active());
    EXPECT_EQ(tree->ClientRect(), Rect(2, 2, 198, 118));
    for (int i = 0; i < 20; ++i) tree->Items()->AddChild(b, "B" + std::to_string(i));
    b->Expand(false);
    EXPECT_EQ(tree->ClientRect(), Rect(2, 2, 198 - ScrollBarSize, 118));
    EXPECT_EQ(tree->VisibleRowCount(), 6);  // 116 / 18
    // The wheel scrolls three rows, the lower arrow one.
    Headless::Wheel(tree, 50, 50, -WHEEL_DELTA);
    EXPECT_EQ(tree->TopItem(), b->Item(1));  // rows: Alpha Beta Banana B0 ...
    TRect arrow = tree->VertScrollBar()->PartRect(sbpArrowEnd);
    Headless::Click(tree, arrow.Left + 5, arrow.Top + 5);
    EXPECT_EQ(tree->VertScrollBar()->Position(), 4);
    EXPECT_EQ(tree->GetNodeAt(30, 10), tree->TopItem());
    // A long label brings the horizontal bar.
    tree->Items()->Add(nullptr, std::string(80, 'W'));
    EXPECT_TRUE(tree->HorzScrollBar()->Active());
    EXPECT_EQ(tree->ClientRect().Bottom, 118 - ScrollBarSize);
}

TEST(TreeViewPaintTest, PaintingVisitsOnlyTheRowsOnScreen) {
    Headless::Instance();
    TTreeView tree(nullptr);
    tree.SetBounds(0, 0, 200, 100);
    tree.SetItemHeight(16);
    tree.Items()->BeginUpdate();
    for (int i = 0; i < 20000; ++i) tree.Items()->Add(nullptr, "Node" + std::to_string(i));
    tree.Items()->EndUpdate();
    auto labels = [&] {
        tree.Canvas()->ClearCalls();
        tree.Canvas()->StartRecording();
        tree.Repaint();
        tree.Canvas()->StopRecording();
        std::vector<std::string> texts;
        for (const TCanvasCall& call : tree.Canvas()->Calls())
            if (call.Op == "TextRect") texts.push_back(call.Text);
        return texts;
    };
    // 96 pixels of client height: six rows.
    EXPECT_EQ(labels(),
              (std::vector<std::string>{"Node0", "Node1", "Node2", "Node3", "Node4", "Node5"}));
    tree.SetSelected(tree.Items()->Item(19999));
    std::vector<std::string> end = labels();
    ASSERT_EQ(end.size(), 6u);
    EXPECT_EQ(end.front(), "Node19994");
    EXPECT_EQ(end.back(), "Node19999");
}

TEST(TreeViewPaintTest, TheClassicLookHasBoxesAndDottedLines) {
    Headless::Instance();
    TTreeView tree(nullptr);
    tree.SetBounds(0, 0, 200, 120);
    tree.SetItemHeight(18);
    TTreeNode* a = tree.Items()->Add(nullptr, "a");
    tree.Items()->AddChild(a, "a1");
    tree.Items()->Add(nullptr, "b");
    tree.Repaint();
    TCanvas* C = tree.Canvas();
    TColor shadow = ColorToRGB(clBtnShadow), window = ColorToRGB(clWindow);
    TColor text = ColorToRGB(clWindowText);
    // Row 0: a's box round (11, 10): its frame at x 7 and 15, y 6 and 14; a plus inside.
    EXPECT_EQ(C->Pixels(7, 10), shadow);
    EXPECT_EQ(C->Pixels(15, 10), shadow);
    EXPECT_EQ(C->Pixels(11, 6), shadow);
    EXPECT_EQ(C->Pixels(9, 10), text);
    EXPECT_EQ(C->Pixels(11, 8), text);
    EXPECT_EQ(C->Pixels(8, 8), window);
    // The line from a down to its sibling b runs below the box in dots on odd y (x 11 is 9
    // into the content), and goes on into b's row (y 20 ..) up to b's box.
    EXPECT_EQ(C->Pixels(11, 17), shadow);
    EXPECT_EQ(C->Pixels(11, 16), window);
    EXPECT_EQ(C->Pixels(11, 19), shadow);
    EXPECT_EQ(C->Pixels(11, 20), window);
    EXPECT_EQ(C->Pixels(11, 21), shadow);
    // b is the last node: nothing below its box.
    EXPECT_EQ(C->Pixels(11, 35), window);

    a->Expand(false);
    tree.Repaint();
    // Expanded: a minus only.
    EXPECT_EQ(C->Pixels(11, 8), window);
    EXPECT_EQ(C->Pixels(9, 10), text);
    // Row 1 is a1 (level 1): its horizontal line from x 30 to the label at 41, in dots on
    // even x (row y 28 is 8 below the row's top).
    EXPECT_EQ(C->Pixels(32, 28), shadow);
    EXPECT_EQ(C->Pixels(33, 28), window);
    // Without lines nothing is dotted.
    tree.SetShowLines(false);
    tree.Repaint();
    EXPECT_EQ(C->Pixels(32, 28), window);
}

TEST(TreeViewPaintTest, TheExplorerLookHasTrianglesAndARowHighlight) {
    Headless::Instance();
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* tree = new TTreeView(&form);
    tree->SetParent(&form);
    tree->SetBounds(0, 0, 200, 120);
    tree->SetItemHeight(18);
    TTreeNode* a = tree->Items()->Add(nullptr, "a");
    TTreeNode* a1 = tree->Items()->AddChild(a, "a1");
    tree->Items()->Add(nullptr, "b");
    tree->SetWindowTheme("explorer");
    EXPECT_EQ(tree->Look(), tvlExplorer);
    form.Show();
    a->Expand(false);
    tree->SetFocus();
    tree->SetSelected(a1);
    TColor window = ColorToRGB(clWindow);
    // No dotted line where the classic look has one.
    EXPECT_EQ(Headless::PixelAt(tree, 32, 28), RGB(204, 232, 255));
    // The selected row is filled across, framed; other rows are plain.
    EXPECT_EQ(Headless::PixelAt(tree, 190, 28), RGB(204, 232, 255));
    EXPECT_EQ(Headless::PixelAt(tree, 2, 20), RGB(153, 209, 255));
    EXPECT_EQ(Headless::PixelAt(tree, 190, 46), window);
    // The open triangle of a is filled at its centre (11, 10).
    EXPECT_NE(Headless::PixelAt(tree, 12, 11), window);
    // Hovering lights up a row.
    Headless::MouseMove(tree, 150, 46);
    EXPECT_EQ(Headless::PixelAt(tree, 190, 46), RGB(229, 243, 255));
    Headless::MouseLeave(tree);
    EXPECT_EQ(Headless::PixelAt(tree, 190, 46), window);
    tree->SetWindowTheme("");
    EXPECT_EQ(tree->Look(), tvlClassic);
}

TEST_F(TreeFixture, TheSelectionShowsFocusedGreyOrNotAtAll) {
    auto* other = new TTreeView(form.get());
    other->SetParent(form.get());
    other->SetBounds(210, 0, 50, 50);
    other->SetFocus();
    tree->SetSelected(b);
    TRect r = b->DisplayRect(true);
    int x = r.Left + 1, y = r.Top + 1;
    // Not focused, HideSelection: plain.
    EXPECT_EQ(Headless::PixelAt(tree, x, y), ColorToRGB(clWindow));
    tree->SetHideSelection(false);
    EXPECT_EQ(Headless::PixelAt(tree, x, y), ColorToRGB(clBtnFace));
    tree->SetFocus();
    EXPECT_EQ(Headless::PixelAt(tree, x, y), ColorToRGB(clHighlight));
}

TEST_F(TreeFixture, UpdatesWaitForEndUpdate) {
    Application->ProcessMessages();
    ASSERT_FALSE(Application->PaintIsPending());
    tree->Items()->BeginUpdate();
    tree->Items()->BeginUpdate();
    for (int i = 0; i < 10; ++i) tree->Items()->Add(nullptr, "x");
    tree->Items()->EndUpdate();
    EXPECT_FALSE(Application->PaintIsPending());
    tree->Items()->EndUpdate();
    EXPECT_TRUE(Application->PaintIsPending());
    EXPECT_EQ(tree->RowCount(), 13);
}

// ---------------------------------------------------------------------------------------
// Label editing

TEST_F(TreeFixture, F2EditsTheLabelEnterKeepsEscCancels) {
    tree->SetFocus();
    tree->SetSelected(b);
    std::string edited;
    tree->OnEdited = [&](TObject*, TTreeNode*, std::string& S) {
        edited = S;
        S += "!";
    };
    Press(VK_F2);
    ASSERT_TRUE(tree->IsEditing());
    Headless::TypeText(tree, "Bravo");  // replaces the selected text
    Press(VK_RETURN);
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(edited, "Bravo");
    EXPECT_EQ(b->Text(), "Bravo!");
    EXPECT_TRUE(tree->Focused());

    ASSERT_TRUE(c->EditText());
    Headless::TypeText(tree, "Zeta");
    Press(VK_ESCAPE);
    EXPECT_FALSE(tree->IsEditing());
    EXPECT_EQ(c->Text(), "Gamma");

    tree->OnEditing = [](TObject*, TTreeNode*, bool& allow) { allow = false; };
    EXPECT_FALSE(c->EditText());
    tree->OnEditing = nullptr;
    tree->SetReadOnly(true);
    Press(VK_F2);
    EXPECT_FALSE(tree->IsEditing());
}

TEST_F(TreeFixture, DeletingTheNodeBeingEditedEndsTheEdit) {
    ASSERT_TRUE(c->EditText());
    c->Delete();
    EXPECT_FALSE(tree->IsEditing());
    Application->ProcessMessages();
}

}  // namespace
