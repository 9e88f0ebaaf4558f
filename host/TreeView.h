// TCustomTreeView and TTreeView: a hierarchy of text nodes that the user expands, collapses
// and selects with the mouse and the keyboard. TTreeNodes holds the nodes in tree order;
// TTreeNode is one node with its children.
//
// The view draws in one of two looks: the classic one (plus/minus boxes and dotted lines)
// and the explorer one (triangles, no lines, a hover highlight over the whole row). It paints
// only the rows that are on screen, scrolls with its own scroll bars and keeps the selected
// node in view. Expanding asks CanExpand (OnExpanding) before the children show, so that a
// program can fill a node's children only when they are first needed; a node can show an
// expand button before it has children (HasChildren).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/ScrollBars.h"
#include "host/WinControl.h"

namespace kovo {

class TCustomTreeView;
class TTreeNodes;
class TCustomEdit;

class TTreeNode : public TPersistent {
  public:
    ~TTreeNode() override;
    TTreeNode(const TTreeNode&) = delete;
    TTreeNode& operator=(const TTreeNode&) = delete;

    TTreeNodes* Owner() const { return FOwner; }
    TCustomTreeView* TreeView() const;

    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);
    void* Data() const { return FData; }
    void SetData(void* Value) { FData = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int Value) { FSelectedIndex = Value; }

    // The parent node; nullptr for a node on the top level.
    TTreeNode* Parent() const;
    int Count() const { return static_cast<int>(FItems.size()); }
    // Child Index (0-based); nullptr outside 0..Count-1.
    TTreeNode* Item(int Index) const;
    TTreeNode* getFirstChild() const;
    TTreeNode* GetLastChild() const;
    // The next and previous node in tree order (parents before their children).
    TTreeNode* GetNext() const;
    TTreeNode* GetPrev() const;
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    TTreeNode* getNextSibling() const { return GetNextSibling(); }
    TTreeNode* getPrevSibling() const { return GetPrevSibling(); }
    // The child after (before) Value, nullptr when Value is not a child or is the last.
    TTreeNode* GetNextChild(const TTreeNode* Value) const;
    TTreeNode* GetPrevChild(const TTreeNode* Value) const;
    // The next and previous node whose row is shown (all its parents expanded).
    TTreeNode* getNextVisible() const;
    TTreeNode* getPrevVisible() const;

    // 0 for a top-level node.
    int Level() const;
    // Position among its siblings, and in the whole tree (tree order).
    int Index() const;
    int AbsoluteIndex() const;
    bool HasAsParent(const TTreeNode* Value) const;

    // Expanding runs the tree view's CanExpand (OnExpanding) first; the children show only
    // when it allows. A node with HasChildren but no children after OnExpanding loses its
    // button and stays collapsed. Recurse expands (collapses) every descendant as well.
    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool Value);
    void Expand(bool Recurse);
    void Collapse(bool Recurse);
    // Whether the node shows an expand button. Adding a child sets it, removing the last child
    // clears it; a program sets it to offer children it has not made yet.
    bool HasChildren() const { return FHasChildren; }
    void SetHasChildren(bool Value);

    // Selected: in the selection (the tree view's Selected, or one of its Selections with
    // MultiSelect). Setting it goes through the tree view's CanChange and Change.
    bool Selected() const;
    void SetSelected(bool Value);
    // The node with the focus mark (the keyboard works from it); the selected one without
    // MultiSelect.
    bool Focused() const;
    void SetFocused(bool Value);

    void DeleteChildren();
    // Removes the node (and its children) from the tree and frees it.
    void Delete();
    bool Deleting() const { return FDeleting; }

    // Expands every parent and scrolls the node's row into view.
    void MakeVisible();
    // True when every parent is expanded.
    bool IsVisible() const;
    // The node's row (TextOnly: its label) in the tree view's coordinates; empty when the
    // node's row is not shown.
    TRect DisplayRect(bool TextOnly) const;

    // Starts editing the label in place (false when the tree view is read-only or refuses);
    // EndEdit ends it, keeping the typed text unless Cancel.
    bool EditText();
    void EndEdit(bool Cancel);

    // Copies text, data, image indexes and HasChildren of another node (not its children).
    void Assign(TPersistent* Source) override;

  private:
    friend class TTreeNodes;
    friend class TCustomTreeView;
    explicit TTreeNode(TTreeNodes* AOwner);

    TTreeNodes* FOwner;              // the collection the node belongs to
    TTreeNode* FParent = nullptr;    // the collection's hidden root for a top-level node
    std::vector<TTreeNode*> FItems;  // children in order, owned
    std::string FText;               // the label
    void* FData = nullptr;           // free for the program's use
    int FImageIndex = -1;            // picture numbers (kept for the program)
    int FSelectedIndex = -1;         //
    bool FExpanded = false;          // the children are shown
    bool FHasChildren = false;       // an expand button is shown
    bool FInSelection = false;       // part of a multiple selection
    bool FDeleting = false;          // being removed
    mutable int FIndexHint = 0;      // where Index last found the node
    mutable int FTextWidth = -1;     // label width in pixels, -1 when not measured
    mutable int FRow = -1;           // row number when FRowStamp is the view's current one
    mutable uint64_t FRowStamp = 0;  //
};

class TTreeNodes : public TPersistent {
  public:
    explicit TTreeNodes(TCustomTreeView* AOwner);
    ~TTreeNodes() override;
    TTreeNodes(const TTreeNodes&) = delete;
    TTreeNodes& operator=(const TTreeNodes&) = delete;

    TCustomTreeView* Owner() const { return FOwner; }
    // All nodes of the tree.
    int Count() const { return FCount; }
    // The node at Index in tree order (0-based); nullptr outside 0..Count-1. Walking the
    // indexes in order costs a constant per step.
    TTreeNode* Item(int Index) const;
    TTreeNode* operator[](int Index) const { return Item(Index); }
    TTreeNode* GetFirstNode() const;

    // Add: after Sibling's last sibling (top level without Sibling). AddFirst: before its
    // first sibling. AddChild/AddChildFirst: last/first child of Parent (top level without
    // Parent). Insert: just before Sibling (last on the top level without Sibling).
    TTreeNode* Add(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddFirst(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddChild(TTreeNode* Parent, const std::string& S);
    TTreeNode* AddChildFirst(TTreeNode* Parent, const std::string& S);
    TTreeNode* Insert(TTreeNode* Sibling, const std::string& S);
    TTreeNode* AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr);
    TTreeNode* AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr);
    TTreeNode* InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr);

    void Delete(TTreeNode* Node);
    void Clear();

    // Painting and scroll-bar updates wait until the outermost EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // Copies the whole tree of another TTreeNodes (texts, data, states).
    void Assign(TPersistent* Source) override;

  private:
    friend class TTreeNode;
    friend class TCustomTreeView;

    TTreeNode* InternalAdd(TTreeNode* Parent, int Position, const std::string& S, void* Ptr);
    TTreeNode* ParentOfSibling(TTreeNode* Sibling);
    void Unlink(TTreeNode* Node);
    void Destroy(TTreeNode* Node);
    void Changed();

    TCustomTreeView* FOwner;                  // the view showing the nodes
    std::unique_ptr<TTreeNode> FRoot;         // hidden parent of the top-level nodes
    int FCount = 0;                           // nodes in the tree
    int FUpdateCount = 0;                     // BeginUpdate depth
    mutable TTreeNode* FCacheNode = nullptr;  // last node found by Item
    mutable int FCacheIndex = -1;             // its index
};

// What lies at a point of the tree view.
enum THitTest : uint8_t {
    htAbove,
    htBelow,
    htNowhere,
    htOnItem,
    htOnButton,
    htOnIcon,
    htOnIndent,
    htOnLabel,
    htOnRight,
    htOnStateIcon,
    htToLeft,
    htToRight
};
using THitTests = TSet<THitTest>;

// The two looks: the classic one with plus/minus boxes and dotted lines, and the explorer
// one with triangles, no lines and a whole-row highlight.
enum TTreeViewLook : uint8_t { tvlClassic, tvlExplorer };

using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent =
    std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, std::string& S)>;

class TCustomTreeView : public TCustomControl {
  public:
    explicit TCustomTreeView(TComponent* AOwner);
    ~TCustomTreeView() override;

    TTreeNodes* Items() const { return FTreeNodes.get(); }
    void SetItems(TTreeNodes* Value) { FTreeNodes->Assign(Value); }

    // The selected node (the focused one with MultiSelect). Setting it asks CanChange
    // (OnChanging), makes the node visible and calls Change; nullptr clears the selection.
    TTreeNode* Selected() const { return FSelected; }
    void SetSelected(TTreeNode* Value);
    // With MultiSelect: every selected node, in the order they were selected.
    int SelectionCount() const;
    TTreeNode* Selections(int Index) const;
    void ClearSelection();
    // Adds Node to the selection (MultiSelect), or selects it alone.
    void Select(TTreeNode* Node, TShiftState Shift = {});

    void FullExpand();
    void FullCollapse();

    // The node whose row lies at client point (X, Y), nullptr below the last row.
    TTreeNode* GetNodeAt(int X, int Y);
    THitTests GetHitTestInfoAt(int X, int Y);
    // The first row shown.
    TTreeNode* TopItem();
    void SetTopItem(TTreeNode* Value);

    // Label editing: ReadOnly forbids it. F2 or EditText on a node starts it.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool IsEditing() const { return FEditor != nullptr; }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool Value);
    bool ShowButtons() const { return FShowButtons; }
    void SetShowButtons(bool Value);
    bool ShowLines() const { return FShowLines; }
    void SetShowLines(bool Value);
    // Buttons and lines for the top-level nodes as well.
    bool ShowRoot() const { return FShowRoot; }
    void SetShowRoot(bool Value);
    // Without the focus, a hidden selection (true) or a grey one (false).
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool Value);
    // Selecting a node by the user expands it and collapses the branch left.
    bool AutoExpand() const { return FAutoExpand; }
    void SetAutoExpand(bool Value) { FAutoExpand = Value; }
    // Pixels each level is indented by.
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    // Row height in pixels; 0 (the default) follows the font.
    int ItemHeight() const;
    void SetItemHeight(int Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    TTreeViewLook Look() const { return FLook; }
    void SetLook(TTreeViewLook Value);
    // The platform's way to pick a look: "Explorer" (any case) chooses the explorer look,
    // anything else (an empty name) the classic one.
    void SetWindowTheme(const std::string& SubAppName);

    // The client area: inside the border and the scroll bars.
    TRect GetClientRect() const override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The scroll bars (placed, ranged and painted by the view).
    TScrollBarPiece* VertScrollBar();
    TScrollBarPiece* HorzScrollBar();
    // Number of rows that fit the client area completely (at least 1).
    int VisibleRowCount() const;
    // Rows shown: nodes whose parents are all expanded.
    int RowCount() const;

    TTVChangingEvent OnChanging;
    TTVChangedEvent OnChange;
    TTVExpandingEvent OnExpanding;
    TTVExpandedEvent OnExpanded;
    TTVCollapsingEvent OnCollapsing;
    TTVExpandedEvent OnCollapsed;
    TTVEditingEvent OnEditing;
    TTVEditedEvent OnEdited;
    TTVExpandedEvent OnDeletion;
    TTVExpandedEvent OnAddition;

  protected:
    virtual bool CanChange(TTreeNode* Node);
    virtual void Change(TTreeNode* Node);
    virtual bool CanExpand(TTreeNode* Node);
    virtual void Expand(TTreeNode* Node);
    virtual bool CanCollapse(TTreeNode* Node);
    virtual void Collapse(TTreeNode* Node);
    virtual bool CanEdit(TTreeNode* Node);
    virtual void Edit(TTreeNode* Node, std::string& S);
    virtual void Delete(TTreeNode* Node);
    virtual void Added(TTreeNode* Node);

    void Paint() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    void KeyPress(char32_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    LRESULT GetDlgCode() const override { return DLGC_WANTARROWS | DLGC_WANTCHARS; }
    void WndProc(TMessage& Message) override;
    void DoEnter() override;
    void DoExit() override;

    // Drawing pieces (TreeViewPaint.cpp).
    void PaintBorder();
    void PaintRow(TTreeNode* Node, int Row, const TRect& RowRect);
    void PaintLines(TTreeNode* Node, const TRect& RowRect);
    void PaintButton(TTreeNode* Node, int CX, int CY);
    void PaintLabel(TTreeNode* Node, const TRect& RowRect);

  private:
    friend class TTreeNode;
    friend class TTreeNodes;

    // Geometry. EnsureLayout brings rows, scroll bars and the client area up to date.
    void EnsureLayout() const;
    void UpdateLayout();
    void PrepareCanvasFont() const;
    int BorderWidth() const;
    TRect ContentRect() const;                      // client area in the view's coordinates
    int ButtonColumn(const TTreeNode* Node) const;  // indent column of the button, -1 none
    int LabelLeft(const TTreeNode* Node) const;     // in content coordinates (unscrolled)
    int LabelWidth(const TTreeNode* Node) const;
    TRect RowRect(int Row) const;  // in the view's coordinates
    // The flat list of shown rows, rebuilt when the tree changed.
    void EnsureRows() const;
    int RowOf(const TTreeNode* Node) const;  // -1 when not shown
    void RowsChanged();

    // Scrolling.
    void UpdateScrollBars();
    void ScrollTo(int TopRow, int LeftPixel);
    void ScrollIntoView(const TTreeNode* Node);
    void VertScrolled(TScrollCode Code, int Pos);
    void HorzScrolled(TScrollCode Code, int Pos);

    // Changes made by the user or by the nodes.
    bool ChangeSelection(TTreeNode* Node);  // CanChange, select, Change
    // The selection moves to Node without asking CanChange (its node is going away).
    void ForceSelection(TTreeNode* Node);
    // Forgets the selection without notifying (the whole tree is cleared), and notifies
    // afterwards.
    void DropSelection();
    void SelectionCleared();
    void NodeExpand(TTreeNode* Node);
    void NodeCollapse(TTreeNode* Node);
    void NodeDeleting(TTreeNode* Node);
    void NodeAdded(TTreeNode* Node);
    void NodeTextChanged(TTreeNode* Node);
    void UserSelect(TTreeNode* Node, TShiftState Shift);
    void SelectRange(TTreeNode* From, TTreeNode* To);
    void ToggleNode(TTreeNode* Node);
    void ExpandAllBelow(TTreeNode* Node);
    void InvalidateNode(const TTreeNode* Node);
    void SetHotNode(TTreeNode* Node);

    // Label editing.
    bool StartEdit(TTreeNode* Node);
    void FinishEdit(bool Cancel);

    std::unique_ptr<TTreeNodes> FTreeNodes;  // the nodes
    TTreeNode* FSelected = nullptr;          // selected (and focused) node
    std::vector<TTreeNode*> FSelections;     // the multiple selection, in selection order
    TTreeNode* FAnchor = nullptr;            // start of a Shift range selection
    TTreeNode* FHotNode = nullptr;           // row under the mouse (explorer look)
    bool FReadOnly = false;                  // no label editing
    bool FMultiSelect = false;               // Ctrl and Shift clicks select several nodes
    bool FShowButtons = true;                // expand buttons
    bool FShowLines = true;                  // dotted lines (classic look)
    bool FShowRoot = true;                   // buttons and lines at the top level
    bool FHideSelection = true;              // no selection shown without focus
    bool FAutoExpand = false;                // selecting expands
    int FIndent = 19;                        // pixels per level
    int FItemHeight = 0;                     // 0: from the font
    TBorderStyle FBorderStyle = bsSingle;    // sunken border or none
    TTreeViewLook FLook = tvlClassic;        // classic or explorer drawing
    int FTopRow = 0;                         // first row shown
    int FLeftPixel = 0;                      // horizontal scroll in pixels
    TScrollBarPiece FVertScroll{sbVertical};
    TScrollBarPiece FHorzScroll{sbHorizontal};
    bool FVertShown = false, FHorzShown = false;
    mutable std::vector<TTreeNode*> FRows;  // the shown nodes, top to bottom
    mutable bool FRowsValid = false;        // FRows matches the tree
    mutable uint64_t FRowStamp = 1;         // identifies the current FRows
    mutable int FContentWidth = 0;          // widest shown row, pixels
    bool FLayoutValid = false;              // scroll bars and client area match the rows
    bool FInLayout = false;                 // UpdateLayout is running
    bool FSkipChar = false;                 // the numeric-pad key already acted for its char
    TCustomEdit* FEditor = nullptr;         // in-place label editor while editing
    TTreeNode* FEditNode = nullptr;         // node being edited
    uintptr_t FEditSerial = 0;              // numbers the edits, so a late end request is ignored
    bool FDestroying = false;               // the view is going: no notifications
};

class TTreeView : public TCustomTreeView {
  public:
    explicit TTreeView(TComponent* AOwner);
};

}  // namespace kovo
