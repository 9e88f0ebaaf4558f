// The tree view's behaviour: properties, the row list and scrolling, selection, expanding
// and collapsing, mouse and keyboard input and in-place label editing. The drawing is in
// TreeViewPaint.cpp, the node model in TreeNodes.cpp.
#include "host/TreeView.h"

#include <algorithm>

#include "host/Application.h"
#include "host/Edit.h"
#include "host/SysUtils.h"

namespace kovo {

namespace {

// Posted to the view to end label editing outside the editor's own key or focus handling
// (WParam: the edit's serial number, LParam: 1 to cancel).
constexpr UINT CM_TREEENDEDIT = CM_BASE + 0x140;

constexpr int kWheelRows = 3;     // rows per notch of the mouse wheel
constexpr int kHorzLineStep = 8;  // pixels per arrow step of the horizontal scroll bar
constexpr int kLabelPadding = 2;  // pixels between the label's edge and its text

}  // namespace

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TCustomControl(AOwner), FTreeNodes(std::make_unique<TTreeNodes>(this)) {
    FControlStyle.Include(csOpaque);  // Paint covers every pixel
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 97);
    FVertScroll.OnScroll = [this](TScrollCode Code, int Pos) { VertScrolled(Code, Pos); };
    FHorzScroll.OnScroll = [this](TScrollCode Code, int Pos) { HorzScrolled(Code, Pos); };
    FVertScroll.OnInvalidate = [this] { InvalidateRect(FVertScroll.BoundsRect()); };
    FHorzScroll.OnInvalidate = [this] { InvalidateRect(FHorzScroll.BoundsRect()); };
}

TCustomTreeView::~TCustomTreeView() {
    FDestroying = true;
    delete FEditor;
    FEditor = nullptr;
    FEditNode = nullptr;
    FSelected = nullptr;
    FSelections.clear();
    FTreeNodes.reset();
}

// ---------------------------------------------------------------------------------------
// Properties

void TCustomTreeView::SetMultiSelect(bool Value) {
    if (FMultiSelect == Value) return;
    FMultiSelect = Value;
    if (!Value && FSelections.size() > 1) {
        // Only the focused node stays selected.
        for (TTreeNode* n : FSelections) {
            if (n != FSelected) {
                n->FInSelection = false;
                InvalidateNode(n);
            }
        }
        FSelections.clear();
        if (FSelected) FSelections.push_back(FSelected);
    }
}

void TCustomTreeView::SetShowButtons(bool Value) {
    if (FShowButtons == Value) return;
    FShowButtons = Value;
    Invalidate();
}

void TCustomTreeView::SetShowLines(bool Value) {
    if (FShowLines == Value) return;
    FShowLines = Value;
    Invalidate();
}

void TCustomTreeView::SetShowRoot(bool Value) {
    if (FShowRoot == Value) return;
    FShowRoot = Value;
    RowsChanged();  // the label positions move
}

void TCustomTreeView::SetHideSelection(bool Value) {
    if (FHideSelection == Value) return;
    FHideSelection = Value;
    if (!Focused()) Invalidate();
}

void TCustomTreeView::SetIndent(int Value) {
    Value = std::max(0, Value);
    if (FIndent == Value) return;
    FIndent = Value;
    RowsChanged();
}

int TCustomTreeView::ItemHeight() const {
    if (FItemHeight > 0) return FItemHeight;
    PrepareCanvasFont();
    return std::max(16, Canvas()->TextHeight("Wg") + 4);
}

void TCustomTreeView::SetItemHeight(int Value) {
    Value = std::max(0, Value);
    if (FItemHeight == Value) return;
    FItemHeight = Value;
    RowsChanged();
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
    if (Value != bsNone) Value = bsSingle;
    if (FBorderStyle == Value) return;
    FBorderStyle = Value;
    RowsChanged();
}

void TCustomTreeView::SetLook(TTreeViewLook Value) {
    if (FLook == Value) return;
    FLook = Value;
    FHotNode = nullptr;
    Invalidate();
}

void TCustomTreeView::SetWindowTheme(const std::string& SubAppName) {
    SetLook(SameText(SubAppName, "Explorer") ? tvlExplorer : tvlClassic);
}

void TCustomTreeView::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    FLayoutValid = false;
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

// ---------------------------------------------------------------------------------------
// Geometry and the row list

void TCustomTreeView::PrepareCanvasFont() const {
    Canvas()->Font()->Assign(Font());
}

int TCustomTreeView::BorderWidth() const {
    return FBorderStyle == bsNone ? 0 : 2;
}

TRect TCustomTreeView::GetClientRect() const {
    EnsureLayout();
    int bw = BorderWidth();
    TRect r{bw, bw, Width() - bw, Height() - bw};
    if (FVertShown) r.Right -= ScrollBarSize;
    if (FHorzShown) r.Bottom -= ScrollBarSize;
    r.Right = std::max(r.Left, r.Right);
    r.Bottom = std::max(r.Top, r.Bottom);
    return r;
}

TRect TCustomTreeView::ContentRect() const {
    return GetClientRect();
}

int TCustomTreeView::ButtonColumn(const TTreeNode* Node) const {
    return Node->Level() - (FShowRoot ? 0 : 1);
}

int TCustomTreeView::LabelLeft(const TTreeNode* Node) const {
    return (ButtonColumn(Node) + 1) * FIndent + 1;
}

int TCustomTreeView::LabelWidth(const TTreeNode* Node) const {
    if (Node->FTextWidth < 0) {
        PrepareCanvasFont();
        Node->FTextWidth = Canvas()->TextWidth(Node->FText);
    }
    return Node->FTextWidth + 2 * kLabelPadding;
}

TRect TCustomTreeView::RowRect(int Row) const {
    TRect c = ContentRect();
    int h = ItemHeight();
    int top = c.Top + (Row - FTopRow) * h;
    return TRect{c.Left, top, c.Right, top + h};
}

void TCustomTreeView::EnsureRows() const {
    if (FRowsValid) return;
    FRows.clear();
    ++FRowStamp;
    int widest = 0;
    PrepareCanvasFont();
    // The walk keeps the level itself: asking each node for it would make a deep tree cost
    // its depth per row.
    int level = 0;
    int shift = FShowRoot ? 1 : 0;
    for (TTreeNode* n = FTreeNodes->GetFirstNode(); n;) {
        n->FRow = int(FRows.size());
        n->FRowStamp = FRowStamp;
        FRows.push_back(n);
        widest = std::max(widest, (level + shift) * FIndent + 1 + LabelWidth(n));
        if (n->FExpanded && !n->FItems.empty()) {
            n = n->FItems.front();
            ++level;
            continue;
        }
        while (n && !n->GetNextSibling()) {
            n = n->Parent();
            --level;
        }
        if (n) n = n->GetNextSibling();
    }
    FContentWidth = widest + 1;
    FRowsValid = true;
}

int TCustomTreeView::RowOf(const TTreeNode* Node) const {
    if (!Node) return -1;
    EnsureRows();
    return Node->FRowStamp == FRowStamp ? Node->FRow : -1;
}

int TCustomTreeView::RowCount() const {
    EnsureRows();
    return int(FRows.size());
}

int TCustomTreeView::VisibleRowCount() const {
    return std::max(1, ContentRect().Height() / ItemHeight());
}

void TCustomTreeView::RowsChanged() {
    FRowsValid = false;
    FLayoutValid = false;
    if (FDestroying || FTreeNodes->FUpdateCount > 0) return;
    Invalidate();
}

void TCustomTreeView::EnsureLayout() const {
    if (FLayoutValid || FInLayout || FDestroying) return;
    const_cast<TCustomTreeView*>(this)->UpdateLayout();
}

void TCustomTreeView::UpdateLayout() {
    FInLayout = true;
    EnsureRows();
    int bw = BorderWidth();
    TRect inner{bw, bw, std::max(bw, Width() - bw), std::max(bw, Height() - bw)};
    int h = ItemHeight();
    int64_t rows = int64_t(FRows.size());
    bool vert = rows * h > inner.Height();
    bool horz = FContentWidth > inner.Width() - (vert ? ScrollBarSize : 0);
    if (horz && !vert) vert = rows * h > inner.Height() - ScrollBarSize;
    FVertShown = vert;
    FHorzShown = horz;
    TRect client = inner;
    if (vert) client.Right = std::max(client.Left, client.Right - ScrollBarSize);
    if (horz) client.Bottom = std::max(client.Top, client.Bottom - ScrollBarSize);
    int page = std::max(1, client.Height() / h);
    FTopRow = std::clamp(FTopRow, 0, std::max(0, int(rows) - page));
    FLeftPixel = std::clamp(FLeftPixel, 0, std::max(0, FContentWidth - client.Width()));
    if (vert) {
        FVertScroll.SetBounds(TRect{client.Right, inner.Top, inner.Right, client.Bottom});
        FVertScroll.SetRange(0, std::max(0, int(rows) - 1), page);
        FVertScroll.SetPosition(FTopRow);
    } else {
        FVertScroll.SetBounds({});
    }
    if (horz) {
        FHorzScroll.SetBounds(TRect{inner.Left, client.Bottom, client.Right, inner.Bottom});
        FHorzScroll.SetRange(0, std::max(0, FContentWidth - 1), std::max(1, client.Width()));
        FHorzScroll.SetPosition(FLeftPixel);
    } else {
        FHorzScroll.SetBounds({});
    }
    FLayoutValid = true;
    FInLayout = false;
}

TScrollBarPiece* TCustomTreeView::VertScrollBar() {
    EnsureLayout();
    return &FVertScroll;
}

TScrollBarPiece* TCustomTreeView::HorzScrollBar() {
    EnsureLayout();
    return &FHorzScroll;
}

void TCustomTreeView::UpdateScrollBars() {
    FLayoutValid = false;
    EnsureLayout();
}

// ---------------------------------------------------------------------------------------
// Scrolling

void TCustomTreeView::ScrollTo(int TopRow, int LeftPixel) {
    EnsureLayout();
    if (FEditor) FinishEdit(false);
    int rows = int(FRows.size());
    int maxTop = std::max(0, rows - VisibleRowCount());
    TopRow = std::clamp(TopRow, 0, maxTop);
    LeftPixel = std::clamp(LeftPixel, 0, std::max(0, FContentWidth - ContentRect().Width()));
    if (TopRow == FTopRow && LeftPixel == FLeftPixel) return;
    FTopRow = TopRow;
    FLeftPixel = LeftPixel;
    FVertScroll.SetPosition(FTopRow);
    FHorzScroll.SetPosition(FLeftPixel);
    Invalidate();
}

void TCustomTreeView::ScrollIntoView(const TTreeNode* Node) {
    EnsureLayout();
    int row = RowOf(Node);
    if (row < 0) return;
    int page = VisibleRowCount();
    int top = FTopRow;
    if (row < top)
        top = row;
    else if (row >= top + page)
        top = row - page + 1;
    // Horizontally the label's start is what matters; its end follows when it fits.
    int left = FLeftPixel;
    int width = ContentRect().Width();
    int labelLeft = LabelLeft(Node), labelRight = labelLeft + LabelWidth(Node);
    if (labelRight > left + width) left = labelRight - width;
    if (labelLeft < left) left = labelLeft;
    ScrollTo(top, left);
}

TTreeNode* TCustomTreeView::TopItem() {
    EnsureLayout();
    if (FRows.empty()) return nullptr;
    return FRows[size_t(std::min(FTopRow, int(FRows.size()) - 1))];
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
    int row = RowOf(Value);
    if (row >= 0) ScrollTo(row, FLeftPixel);
}

void TCustomTreeView::VertScrolled(TScrollCode Code, int Pos) {
    int page = VisibleRowCount();
    switch (Code) {
        case scLineUp:
            ScrollTo(FTopRow - 1, FLeftPixel);
            break;
        case scLineDown:
            ScrollTo(FTopRow + 1, FLeftPixel);
            break;
        case scPageUp:
            ScrollTo(FTopRow - page, FLeftPixel);
            break;
        case scPageDown:
            ScrollTo(FTopRow + page, FLeftPixel);
            break;
        case scTrack:
        case scPosition:
            ScrollTo(Pos, FLeftPixel);
            break;
        case scTop:
            ScrollTo(0, FLeftPixel);
            break;
        case scBottom:
            ScrollTo(RowCount(), FLeftPixel);
            break;
        case scEndScroll:
            break;
    }
}

void TCustomTreeView::HorzScrolled(TScrollCode Code, int Pos) {
    int page = std::max(1, ContentRect().Width());
    switch (Code) {
        case scLineUp:
            ScrollTo(FTopRow, FLeftPixel - kHorzLineStep);
            break;
        case scLineDown:
            ScrollTo(FTopRow, FLeftPixel + kHorzLineStep);
            break;
        case scPageUp:
            ScrollTo(FTopRow, FLeftPixel - page);
            break;
        case scPageDown:
            ScrollTo(FTopRow, FLeftPixel + page);
            break;
        case scTrack:
        case scPosition:
            ScrollTo(FTopRow, Pos);
            break;
        case scTop:
            ScrollTo(FTopRow, 0);
            break;
        case scBottom:
            ScrollTo(FTopRow, FContentWidth);
            break;
        case scEndScroll:
            break;
    }
}

// ---------------------------------------------------------------------------------------
// Hit-testing

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
    THitTests ht = GetHitTestInfoAt(X, Y);
    if (!(ht & THitTests{htOnItem, htOnButton, htOnIndent, htOnRight}).empty()) {
        TRect c = ContentRect();
        return FRows[size_t(FTopRow + (Y - c.Top) / ItemHeight())];
    }
    return nullptr;
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) {
    EnsureLayout();
    TRect c = ContentRect();
    THitTests ht;
    if (Y < c.Top) ht.Include(htAbove);
    if (Y >= c.Bottom) ht.Include(htBelow);
    if (X < c.Left) ht.Include(htToLeft);
    if (X >= c.Right) ht.Include(htToRight);
    if (!ht.empty()) return ht;
    int row = FTopRow + (Y - c.Top) / ItemHeight();
    if (row >= int(FRows.size())) return THitTests{htNowhere};
    TTreeNode* node = FRows[size_t(row)];
    int x = X - c.Left + FLeftPixel;
    int col = ButtonColumn(node);
    int labelLeft = LabelLeft(node);
    if (col >= 0 && FShowButtons && node->FHasChildren && x >= col * FIndent &&
        x < (col + 1) * FIndent)
        return THitTests{htOnButton};
    if (x < labelLeft) return THitTests{htOnIndent};
    if (x < labelLeft + LabelWidth(node)) return THitTests{htOnItem, htOnLabel};
    return THitTests{htOnRight};
}

// ---------------------------------------------------------------------------------------
// Selection

void TCustomTreeView::SetSelected(TTreeNode* Value) {
    if (Value && Value->FOwner != FTreeNodes.get()) return;
    if (Value == FSelected && FSelections.size() == (Value ? 1u : 0u)) return;
    ChangeSelection(Value);
}

int TCustomTreeView::SelectionCount() const {
    return int(FSelections.size());
}

TTreeNode* TCustomTreeView::Selections(int Index) const {
    if (Index < 0 || Index >= SelectionCount()) return nullptr;
    return FSelections[size_t(Index)];
}

void TCustomTreeView::ClearSelection() {
    if (FSelections.empty() && !FSelected) return;
    ChangeSelection(nullptr);
}

bool TCustomTreeView::ChangeSelection(TTreeNode* Node) {
    if (!CanChange(Node)) return false;
    for (TTreeNode* n : FSelections) {
        n->FInSelection = false;
        InvalidateNode(n);
    }
    FSelections.clear();
    InvalidateNode(FSelected);
    FSelected = Node;
    FAnchor = Node;
    if (Node) {
        Node->FInSelection = true;
        FSelections.push_back(Node);
        Node->MakeVisible();
        InvalidateNode(Node);
    }
    Change(Node);
    return true;
}

void TCustomTreeView::ForceSelection(TTreeNode* Node) {
    DropSelection();
    FSelected = Node;
    FAnchor = Node;
    if (Node) {
        Node->FInSelection = true;
        FSelections.push_back(Node);
        InvalidateNode(Node);
    }
    if (!FDestroying) Change(Node);
}

void TCustomTreeView::DropSelection() {
    for (TTreeNode* n : FSelections) {
        n->FInSelection = false;
        InvalidateNode(n);
    }
    FSelections.clear();
    InvalidateNode(FSelected);
    FSelected = nullptr;
    FAnchor = nullptr;
}

void TCustomTreeView::SelectionCleared() {
    if (!FDestroying) Change(nullptr);
}

void TCustomTreeView::Select(TTreeNode* Node, TShiftState Shift) {
    if (!Node || Node->FOwner != FTreeNodes.get()) return;
    if (!FMultiSelect || !(Shift.contains(ssCtrl) || Shift.contains(ssShift))) {
        SetSelected(Node);
        return;
    }
    if (!CanChange(Node)) return;
    if (Shift.contains(ssShift)) {
        SelectRange(FAnchor ? FAnchor : (FSelected ? FSelected : Node), Node);
    } else if (Node->FInSelection) {
        Node->FInSelection = false;
        std::erase(FSelections, Node);
        if (FSelected == Node) FSelected = FSelections.empty() ? nullptr : FSelections.back();
        FAnchor = Node;
    } else {
        Node->FInSelection = true;
        FSelections.push_back(Node);
        InvalidateNode(FSelected);
        FSelected = Node;
        FAnchor = Node;
    }
    InvalidateNode(Node);
    Node->MakeVisible();
    Change(Node);
}

void TCustomTreeView::SelectRange(TTreeNode* From, TTreeNode* To) {
    for (TTreeNode* n : FSelections) {
        n->FInSelection = false;
        InvalidateNode(n);
    }
    FSelections.clear();
    int a = RowOf(From), b = RowOf(To);
    if (a < 0) a = b;
    if (a > b) std::swap(a, b);
    for (int r = a; r <= b && r >= 0; ++r) {
        TTreeNode* n = FRows[size_t(r)];
        n->FInSelection = true;
        FSelections.push_back(n);
        InvalidateNode(n);
    }
    InvalidateNode(FSelected);
    FSelected = To;
}

void TCustomTreeView::UserSelect(TTreeNode* Node, TShiftState Shift) {
    if (!Node) return;
    TTreeNode* old = FSelected;
    Select(Node, Shift);
    if (FAutoExpand && FSelected == Node && Node != old) {
        // The branch left behind closes, the new one opens.
        if (old && !Node->HasAsParent(old) && old != Node) {
            for (TTreeNode* n = old; n && !Node->HasAsParent(n); n = n->Parent())
                n->Collapse(false);
        }
        Node->Expand(false);
    }
}

// ---------------------------------------------------------------------------------------
// Expanding and collapsing

void TCustomTreeView::FullExpand() {
    for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNextSibling()) n->Expand(true);
}

void TCustomTreeView::FullCollapse() {
    for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNextSibling()) n->Collapse(true);
}

void TCustomTreeView::NodeExpand(TTreeNode* Node) {
    if (Node->FExpanded || Node->FDeleting) return;
    if (!Node->FHasChildren && Node->FItems.empty()) return;
    if (!CanExpand(Node)) return;
    if (Node->FItems.empty()) {
        // The program had nothing to show after all: the button goes.
        Node->FHasChildren = false;
        InvalidateNode(Node);
        return;
    }
    Node->FExpanded = true;
    RowsChanged();
    Expand(Node);
}

void TCustomTreeView::NodeCollapse(TTreeNode* Node) {
    if (!Node->FExpanded || Node->FDeleting) return;
    if (!CanCollapse(Node)) return;
    Node->FExpanded = false;
    RowsChanged();
    if (FEditNode && FEditNode->HasAsParent(Node)) FinishEdit(true);
    // A selection that would vanish moves up to the collapsed node.
    if (FSelected && FSelected->HasAsParent(Node)) ChangeSelection(Node);
    Collapse(Node);
}

void TCustomTreeView::ToggleNode(TTreeNode* Node) {
    if (Node->FExpanded)
        Node->Collapse(false);
    else
        Node->Expand(false);
}

void TCustomTreeView::ExpandAllBelow(TTreeNode* Node) {
    Node->Expand(true);
}

// ---------------------------------------------------------------------------------------
// Notifications from the nodes

void TCustomTreeView::NodeAdded(TTreeNode* Node) {
    RowsChanged();
    if (!FDestroying) Added(Node);
}

void TCustomTreeView::NodeDeleting(TTreeNode* Node) {
    if (Node == FEditNode) {
        FEditNode = nullptr;
        if (FEditor) {
            TCustomEdit* editor = FEditor;
            FEditor = nullptr;
            delete editor;
        }
    }
    if (Node->FInSelection) std::erase(FSelections, Node);
    Node->FInSelection = false;
    if (Node == FSelected) FSelected = nullptr;
    if (Node == FAnchor) FAnchor = nullptr;
    if (Node == FHotNode) FHotNode = nullptr;
    FRowsValid = false;
    FLayoutValid = false;
    if (!FDestroying) Delete(Node);
}

void TCustomTreeView::NodeTextChanged(TTreeNode* Node) {
    FRowsValid = false;  // the widest row may have changed
    FLayoutValid = false;
    InvalidateNode(Node);
}

void TCustomTreeView::InvalidateNode(const TTreeNode* Node) {
    if (!Node || FDestroying || FTreeNodes->FUpdateCount > 0) return;
    if (!FRowsValid || !FLayoutValid) {
        Invalidate();
        return;
    }
    int row = RowOf(Node);
    if (row < FTopRow || row >= FTopRow + VisibleRowCount() + 1) return;
    InvalidateRect(RowRect(row));
}

void TCustomTreeView::SetHotNode(TTreeNode* Node) {
    if (FHotNode == Node) return;
    InvalidateNode(FHotNode);
    FHotNode = Node;
    InvalidateNode(FHotNode);
}

// ---------------------------------------------------------------------------------------
// Virtual notifications

bool TCustomTreeView::CanChange(TTreeNode* Node) {
    bool allow = true;
    if (OnChanging) OnChanging(this, Node, allow);
    return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
    if (OnChange) OnChange(this, Node);
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
    bool allow = true;
    if (OnExpanding) OnExpanding(this, Node, allow);
    return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) {
    if (OnExpanded) OnExpanded(this, Node);
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
    bool allow = true;
    if (OnCollapsing) OnCollapsing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
    if (OnCollapsed) OnCollapsed(this, Node);
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
    bool allow = true;
    if (OnEditing) OnEditing(this, Node, allow);
    return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, std::string& S) {
    if (OnEdited) OnEdited(this, Node, S);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
    if (OnDeletion) OnDeletion(this, Node);
}

void TCustomTreeView::Added(TTreeNode* Node) {
    if (OnAddition) OnAddition(this, Node);
}

// ---------------------------------------------------------------------------------------
// Mouse

void TCustomTreeView::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (FEditor) FinishEdit(false);
    if (Button == mbLeft && (FVertScroll.MouseDown(Button, Shift, X, Y) ||
                             FHorzScroll.MouseDown(Button, Shift, X, Y))) {
        TCustomControl::MouseDown(Button, Shift, X, Y);
        return;
    }
    if (CanFocus() && !Focused()) SetFocus();
    if (Button == mbLeft) {
        THitTests ht = GetHitTestInfoAt(X, Y);
        TTreeNode* node = GetNodeAt(X, Y);
        if (node) {
            if (ht.contains(htOnButton)) {
                ToggleNode(node);
            } else if (Shift.contains(ssDouble)) {
                ToggleNode(node);
            } else {
                UserSelect(node, Shift);
            }
        }
    }
    TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTreeView::MouseMove(TShiftState Shift, int X, int Y) {
    if (FVertScroll.MouseMove(Shift, X, Y) || FHorzScroll.MouseMove(Shift, X, Y)) {
        TCustomControl::MouseMove(Shift, X, Y);
        return;
    }
    if (FLook == tvlExplorer) SetHotNode(GetNodeAt(X, Y));
    TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomTreeView::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    FVertScroll.MouseUp(Button, Shift, X, Y) || FHorzScroll.MouseUp(Button, Shift, X, Y);
    TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomTreeView::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelDown(Shift, MousePos)) return true;
    ScrollTo(FTopRow + kWheelRows, FLeftPixel);
    return true;
}

bool TCustomTreeView::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
    if (TCustomControl::DoMouseWheelUp(Shift, MousePos)) return true;
    ScrollTo(FTopRow - kWheelRows, FLeftPixel);
    return true;
}

void TCustomTreeView::CMMouseLeave(TMessage& Message) {
    SetHotNode(nullptr);
    TCustomControl::CMMouseLeave(Message);
}

void TCustomTreeView::CMFontChanged(TMessage& Message) {
    TCustomControl::CMFontChanged(Message);
    for (TTreeNode* n = FTreeNodes->GetFirstNode(); n; n = n->GetNext()) n->FTextWidth = -1;
    RowsChanged();
}

void TCustomTreeView::CMEnabledChanged(TMessage& Message) {
    TCustomControl::CMEnabledChanged(Message);
    if (!Enabled()) {
        FVertScroll.CancelTracking();
        FHorzScroll.CancelTracking();
    }
    FVertScroll.SetEnabled(Enabled());
    FHorzScroll.SetEnabled(Enabled());
    Invalidate();
}

void TCustomTreeView::DoEnter() {
    InvalidateNode(FSelected);
    TCustomControl::DoEnter();
}

void TCustomTreeView::DoExit() {
    InvalidateNode(FSelected);
    TCustomControl::DoExit();
}

// ---------------------------------------------------------------------------------------
// Keyboard

void TCustomTreeView::KeyDown(WORD& Key, TShiftState Shift) {
    TCustomControl::KeyDown(Key, Shift);
    if (Key == 0 || FEditor) return;
    EnsureLayout();
    int rows = int(FRows.size());
    TTreeNode* node = FSelected;
    int row = RowOf(node);
    TTreeNode* target = nullptr;
    bool ctrl = Shift.contains(ssCtrl);
    int page = VisibleRowCount();
    auto rowNode = [&](int r) {
        return rows ? FRows[size_t(std::clamp(r, 0, rows - 1))] : nullptr;
    };
    switch (Key) {
        case VK_UP:
            if (ctrl) {
                ScrollTo(FTopRow - 1, FLeftPixel);
                break;
            }
            target = row < 0 ? rowNode(0) : rowNode(row - 1);
            break;
        case VK_DOWN:
            if (ctrl) {
                ScrollTo(FTopRow + 1, FLeftPixel);
                break;
            }
            target = row < 0 ? rowNode(0) : rowNode(row + 1);
            break;
        case VK_HOME:
            target = rowNode(0);
            break;
        case VK_END:
            target = rowNode(rows - 1);
            break;
        case VK_PRIOR:
            target = rowNode(row < 0 ? 0 : row - std::max(1, page - 1));
            break;
        case VK_NEXT:
            target = rowNode(row < 0 ? 0 : row + std::max(1, page - 1));
            break;
        case VK_LEFT:
            if (ctrl) {
                ScrollTo(FTopRow, FLeftPixel - kHorzLineStep);
            } else if (node && node->FExpanded) {
                node->Collapse(false);
            } else if (node) {
                target = node->Parent();
            }
            break;
        case VK_RIGHT:
            if (ctrl) {
                ScrollTo(FTopRow, FLeftPixel + kHorzLineStep);
            } else if (node && !node->FExpanded && node->FHasChildren) {
                node->Expand(false);
            } else if (node && node->FExpanded) {
                target = node->getFirstChild();
            }
            break;
        case VK_BACK:
            if (node) target = node->Parent();
            break;
        case VK_ADD:
            if (node) node->Expand(false);
            FSkipChar = true;
            break;
        case VK_SUBTRACT:
            if (node) node->Collapse(false);
            FSkipChar = true;
            break;
        case VK_MULTIPLY:
            if (node) ExpandAllBelow(node);
            FSkipChar = true;
            break;
        case VK_F2:
            if (node) StartEdit(node);
            break;
        default:
            return;
    }
    if (target && target != node) {
        UserSelect(target,
                   FMultiSelect && Shift.contains(ssShift) ? TShiftState{ssShift} : TShiftState{});
    }
    if (target) ScrollIntoView(target);
    Key = 0;
}

void TCustomTreeView::KeyUp(WORD& Key, TShiftState Shift) {
    FSkipChar = false;
    TCustomControl::KeyUp(Key, Shift);
}

void TCustomTreeView::KeyPress(char32_t& Key) {
    TCustomControl::KeyPress(Key);
    if (Key == 0 || FEditor) return;
    TTreeNode* node = FSelected;
    bool skip = FSkipChar;
    FSkipChar = false;
    switch (Key) {
        case U'+':
            if (node && !skip) node->Expand(false);
            Key = 0;
            return;
        case U'-':
            if (node && !skip) node->Collapse(false);
            Key = 0;
            return;
        case U'*':
            if (node && !skip) ExpandAllBelow(node);
            Key = 0;
            return;
        default:
            break;
    }
    if (Key < 32 || Key == 127) return;
    // Typing a character selects the next shown node whose label starts with it.
    EnsureLayout();
    int rows = int(FRows.size());
    if (rows == 0) return;
    std::string typed = LowerCase(Utf8Encode(Key));
    int start = RowOf(node);  // -1 without a selection: the search starts at the top
    for (int i = 1; i <= rows; ++i) {
        TTreeNode* n = FRows[size_t((start + i + rows) % rows)];
        if (LowerCase(n->FText).starts_with(typed)) {
            UserSelect(n, {});
            ScrollIntoView(n);
            break;
        }
    }
    Key = 0;
}

// ---------------------------------------------------------------------------------------
// Label editing

bool TCustomTreeView::StartEdit(TTreeNode* Node) {
    if (FReadOnly || !Node || Node->FOwner != FTreeNodes.get() || !Enabled()) return false;
    if (FEditor) FinishEdit(false);
    if (!CanEdit(Node) || Node->FDeleting) return false;
    Node->MakeVisible();
    EnsureLayout();
    TRect label = Node->DisplayRect(true);
    if (label.IsEmpty()) return false;
    TRect content = ContentRect();
    FEditNode = Node;
    ++FEditSerial;
    auto* editor = new TEdit(nullptr);
    FEditor = editor;
    editor->SetCtl3D(false);
    editor->SetAutoSize(false);
    editor->SetParentFont(true);
    int width = std::max(label.Width() + 24, 60);
    width = std::min(width, std::max(20, content.Right - label.Left));
    editor->SetBounds(label.Left, label.Top, width, label.Height());
    editor->SetParent(this);
    editor->SetText(Node->FText);
    editor->SelectAll();
    uintptr_t serial = FEditSerial;
    // The editor is freed by FinishEdit; requests from its own handlers are posted so that
    // it is not freed while one of its methods runs.
    editor->OnKeyDown = [this, serial](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_RETURN || Key == VK_ESCAPE) {
            PostMessage(Handle(), CM_TREEENDEDIT, serial, Key == VK_ESCAPE ? 1 : 0);
            Key = 0;
        }
    };
    editor->OnKeyPress = [](TObject*, char32_t& Key) {
        if (Key == 13 || Key == 27) Key = 0;
    };
    editor->OnExit = [this, serial](TObject*) { PostMessage(Handle(), CM_TREEENDEDIT, serial, 0); };
    if (editor->CanFocus()) editor->SetFocus();
    return true;
}

void TCustomTreeView::FinishEdit(bool Cancel) {
    if (!FEditor) return;
    TCustomEdit* editor = FEditor;
    TTreeNode* node = FEditNode;
    FEditor = nullptr;
    FEditNode = nullptr;
    std::string text = editor->Text();
    bool hadFocus = editor->Focused();
    editor->OnExit = nullptr;
    editor->OnKeyDown = nullptr;
    delete editor;
    if (hadFocus && CanFocus()) SetFocus();
    if (!Cancel && node) {
        Edit(node, text);
        node->SetText(text);
    }
    Invalidate();
}

void TCustomTreeView::WndProc(TMessage& Message) {
    if (Message.Msg == CM_TREEENDEDIT) {
        if (FEditor && Message.WParam == FEditSerial) FinishEdit(Message.LParam != 0);
        return;
    }
    TCustomControl::WndProc(Message);
}

TTreeView::TTreeView(TComponent* AOwner) : TCustomTreeView(AOwner) {}

}  // namespace kovo
