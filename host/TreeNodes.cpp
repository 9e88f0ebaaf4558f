// The node model of the tree view: TTreeNode (one node and its children) and TTreeNodes (the
// collection in tree order). Every change of the structure is reported to the view, which
// keeps its selection, its row list and its scroll bars in step.
#include <algorithm>
#include <cstdlib>

#include "host/Exceptions.h"
#include "host/TreeView.h"

namespace kovo {

namespace {

// The node after N in tree order among the descendants of Limit (Limit itself excluded);
// nullptr after the last of them.
TTreeNode* NextWithin(const TTreeNode* N, const TTreeNode* Limit) {
    if (TTreeNode* c = N->getFirstChild()) return c;
    for (const TTreeNode* n = N; n && n != Limit; n = n->Parent()) {
        if (TTreeNode* s = n->GetNextSibling()) return s;
        if (n->Parent() == Limit) break;
    }
    return nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TTreeNode

TTreeNode::TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}

TTreeNode::~TTreeNode() = default;

TCustomTreeView* TTreeNode::TreeView() const {
    return FOwner->FOwner;
}

void TTreeNode::SetText(const std::string& Value) {
    if (FText == Value) return;
    FText = Value;
    FTextWidth = -1;
    TreeView()->NodeTextChanged(this);
}

TTreeNode* TTreeNode::Parent() const {
    return FParent == FOwner->FRoot.get() ? nullptr : FParent;
}

TTreeNode* TTreeNode::Item(int Index) const {
    if (Index < 0 || Index >= Count()) return nullptr;
    return FItems[size_t(Index)];
}

TTreeNode* TTreeNode::getFirstChild() const {
    return FItems.empty() ? nullptr : FItems.front();
}

TTreeNode* TTreeNode::GetLastChild() const {
    return FItems.empty() ? nullptr : FItems.back();
}

TTreeNode* TTreeNode::GetNextSibling() const {
    if (!FParent) return nullptr;
    size_t i = size_t(Index()) + 1;
    if (i >= FParent->FItems.size()) return nullptr;
    TTreeNode* next = FParent->FItems[i];
    next->FIndexHint = int(i);
    return next;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    if (!FParent) return nullptr;
    int i = Index();
    return i > 0 ? FParent->FItems[size_t(i - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (TTreeNode* c = getFirstChild()) return c;
    for (const TTreeNode* n = this; n; n = n->Parent())
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
    TTreeNode* n = GetPrevSibling();
    if (!n) return Parent();
    while (TTreeNode* last = n->GetLastChild()) n = last;
    return n;
}

TTreeNode* TTreeNode::GetNextChild(const TTreeNode* Value) const {
    if (!Value || Value->FParent != this) return nullptr;
    return Value->GetNextSibling();
}

TTreeNode* TTreeNode::GetPrevChild(const TTreeNode* Value) const {
    if (!Value || Value->FParent != this) return nullptr;
    return Value->GetPrevSibling();
}

TTreeNode* TTreeNode::getNextVisible() const {
    if (!IsVisible()) return nullptr;
    if (FExpanded && !FItems.empty()) return FItems.front();
    for (const TTreeNode* n = this; n; n = n->Parent())
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

TTreeNode* TTreeNode::getPrevVisible() const {
    if (!IsVisible()) return nullptr;
    TTreeNode* n = GetPrevSibling();
    if (!n) return Parent();
    while (n->FExpanded && !n->FItems.empty()) n = n->FItems.back();
    return n;
}

int TTreeNode::Level() const {
    int level = 0;
    for (const TTreeNode* p = Parent(); p; p = p->Parent()) ++level;
    return level;
}

int TTreeNode::Index() const {
    if (!FParent) return 0;
    // The position where the node was last found is tried first, and its neighbours (one
    // node added or removed before it), so that walking siblings costs a constant per step.
    const auto& items = FParent->FItems;
    int n = int(items.size());
    for (int i : {FIndexHint, FIndexHint + 1, FIndexHint - 1}) {
        if (i >= 0 && i < n && items[size_t(i)] == this) {
            FIndexHint = i;
            return i;
        }
    }
    auto it = std::find(items.begin(), items.end(), this);
    FIndexHint = int(it - items.begin());
    return FIndexHint;
}

int TTreeNode::AbsoluteIndex() const {
    int index = 0;
    for (const TTreeNode* n = GetPrev(); n; n = n->GetPrev()) ++index;
    return index;
}

bool TTreeNode::HasAsParent(const TTreeNode* Value) const {
    if (!Value) return false;
    for (const TTreeNode* p = Parent(); p; p = p->Parent())
        if (p == Value) return true;
    return false;
}

void TTreeNode::SetExpanded(bool Value) {
    if (Value)
        Expand(false);
    else
        Collapse(false);
}

void TTreeNode::Expand(bool Recurse) {
    TCustomTreeView* view = TreeView();
    view->NodeExpand(this);
    if (!Recurse) return;
    // Expanding may make children (OnExpanding fills them), so each node is expanded before
    // its children are visited.
    for (TTreeNode* n = NextWithin(this, this); n; n = NextWithin(n, this)) view->NodeExpand(n);
}

void TTreeNode::Collapse(bool Recurse) {
    TCustomTreeView* view = TreeView();
    view->NodeCollapse(this);
    if (!Recurse) return;
    for (TTreeNode* n = NextWithin(this, this); n; n = NextWithin(n, this)) view->NodeCollapse(n);
}

void TTreeNode::SetHasChildren(bool Value) {
    if (FHasChildren == Value) return;
    FHasChildren = Value;
    TreeView()->InvalidateNode(this);
}

bool TTreeNode::Selected() const {
    return FInSelection;
}

void TTreeNode::SetSelected(bool Value) {
    TCustomTreeView* view = TreeView();
    if (Value) {
        if (view->MultiSelect())
            view->Select(this, TShiftState{ssCtrl});
        else
            view->SetSelected(this);
    } else if (FInSelection) {
        if (view->MultiSelect() && view->SelectionCount() > 1)
            view->Select(this, TShiftState{ssCtrl});  // Ctrl on a selected node deselects it
        else
            view->SetSelected(nullptr);
    }
}

bool TTreeNode::Focused() const {
    return TreeView()->FSelected == this;
}

void TTreeNode::SetFocused(bool Value) {
    TCustomTreeView* view = TreeView();
    if (Value == Focused()) return;
    if (!view->MultiSelect()) {
        view->SetSelected(Value ? this : nullptr);
        return;
    }
    // With several selected nodes the focus mark moves without changing the selection.
    TTreeNode* old = view->FSelected;
    view->FSelected = Value ? this : nullptr;
    view->InvalidateNode(old);
    view->InvalidateNode(this);
}

void TTreeNode::DeleteChildren() {
    if (FItems.empty()) {
        if (FHasChildren || FExpanded) {
            FHasChildren = false;
            FExpanded = false;
            TreeView()->InvalidateNode(this);
        }
        return;
    }
    TCustomTreeView* view = TreeView();
    // The selection leaves the children for this node rather than wandering from one
    // doomed sibling to the next.
    if (view->FSelected && view->FSelected->HasAsParent(this) && !FDeleting) {
        view->ForceSelection(this);
    }
    while (!FItems.empty()) {
        TTreeNode* child = FItems.back();
        FItems.pop_back();
        FOwner->Destroy(child);
    }
    FHasChildren = false;
    FExpanded = false;
    FOwner->Changed();
}

void TTreeNode::Delete() {
    if (FDeleting || this == FOwner->FRoot.get()) return;
    TCustomTreeView* view = TreeView();
    TTreeNode* sel = view->FSelected;
    if (sel && (sel == this || sel->HasAsParent(this))) {
        TTreeNode* next = GetNextSibling();
        if (!next) next = GetPrevSibling();
        if (!next) next = Parent();
        view->ForceSelection(next);
        if (FDeleting) return;  // the Change handler removed it already
    }
    TTreeNodes* owner = FOwner;
    owner->Unlink(this);
    owner->Destroy(this);  // frees this node
    owner->Changed();
}

void TTreeNode::MakeVisible() {
    std::vector<TTreeNode*> chain;
    for (TTreeNode* p = Parent(); p; p = p->Parent()) chain.push_back(p);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) (*it)->Expand(false);
    TreeView()->ScrollIntoView(this);
}

bool TTreeNode::IsVisible() const {
    for (const TTreeNode* p = Parent(); p; p = p->Parent())
        if (!p->FExpanded) return false;
    return true;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
    TCustomTreeView* view = TreeView();
    int row = view->RowOf(this);
    if (row < 0) return {};
    TRect r = view->RowRect(row);
    if (!TextOnly) return r;
    TRect content = view->ContentRect();
    int left = content.Left + view->LabelLeft(this) - view->FLeftPixel;
    return TRect{left, r.Top, left + view->LabelWidth(this), r.Bottom};
}

bool TTreeNode::EditText() {
    return TreeView()->StartEdit(this);
}

void TTreeNode::EndEdit(bool Cancel) {
    TCustomTreeView* view = TreeView();
    if (view->FEditNode == this) view->FinishEdit(Cancel);
}

void TTreeNode::Assign(TPersistent* Source) {
    auto* node = dynamic_cast<TTreeNode*>(Source);
    if (!node) {
        TPersistent::Assign(Source);
        return;
    }
    SetText(node->FText);
    FData = node->FData;
    FImageIndex = node->FImageIndex;
    FSelectedIndex = node->FSelectedIndex;
    SetHasChildren(node->FHasChildren);
}

// ---------------------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner), FRoot(new TTreeNode(this)) {
    FRoot->FExpanded = true;  // the top level always shows
}

TTreeNodes::~TTreeNodes() {
    TTreeNode* root = FRoot.get();
    while (!root->FItems.empty()) {
        TTreeNode* child = root->FItems.back();
        root->FItems.pop_back();
        Destroy(child);
    }
}

TTreeNode* TTreeNodes::Item(int Index) const {
    if (Index < 0 || Index >= FCount) return nullptr;
    TTreeNode* n = GetFirstNode();
    int i = 0;
    // Start from the node found last when it is nearer than the first node.
    if (FCacheNode && std::abs(Index - FCacheIndex) <= Index) {
        n = FCacheNode;
        i = FCacheIndex;
    }
    for (; n && i < Index; ++i) n = n->GetNext();
    for (; n && i > Index; --i) n = n->GetPrev();
    FCacheNode = n;
    FCacheIndex = n ? i : -1;
    return n;
}

TTreeNode* TTreeNodes::GetFirstNode() const {
    return FRoot->getFirstChild();
}

TTreeNode* TTreeNodes::ParentOfSibling(TTreeNode* Sibling) {
    if (!Sibling) return FRoot.get();
    if (Sibling->FOwner != this) throw EInvalidOperation("The node belongs to another tree");
    return Sibling->FParent;
}

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* Parent, int Position, const std::string& S,
                                   void* Ptr) {
    if (Parent->FOwner != this) throw EInvalidOperation("The node belongs to another tree");
    if (Parent->FDeleting) throw EInvalidOperation("Cannot add a node to a node being deleted");
    auto* node = new TTreeNode(this);
    node->FParent = Parent;
    node->FText = S;
    node->FData = Ptr;
    auto& items = Parent->FItems;
    Position = std::clamp(Position, 0, int(items.size()));
    items.insert(items.begin() + Position, node);
    node->FIndexHint = Position;
    Parent->FHasChildren = true;
    ++FCount;
    FCacheNode = nullptr;
    FOwner->NodeAdded(node);
    return node;
}

TTreeNode* TTreeNodes::Add(TTreeNode* Sibling, const std::string& S) {
    return AddObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    TTreeNode* parent = ParentOfSibling(Sibling);
    return InternalAdd(parent, parent->Count(), S, Ptr);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* Sibling, const std::string& S) {
    return InternalAdd(ParentOfSibling(Sibling), 0, S, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* Parent, const std::string& S) {
    return AddChildObject(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const std::string& S, void* Ptr) {
    TTreeNode* parent = Parent ? Parent : FRoot.get();
    return InternalAdd(parent, parent->Count(), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* Parent, const std::string& S) {
    return AddChildObjectFirst(Parent, S, nullptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const std::string& S, void* Ptr) {
    return InternalAdd(Parent ? Parent : FRoot.get(), 0, S, Ptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* Sibling, const std::string& S) {
    return InsertObject(Sibling, S, nullptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const std::string& S, void* Ptr) {
    TTreeNode* parent = ParentOfSibling(Sibling);
    int pos = Sibling ? Sibling->Index() : parent->Count();
    return InternalAdd(parent, pos, S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
    if (Node && Node->FOwner == this) Node->Delete();
}

void TTreeNodes::Clear() {
    TTreeNode* root = FRoot.get();
    if (root->FItems.empty()) return;
    bool hadSelection = FOwner->FSelected != nullptr;
    FOwner->DropSelection();
    while (!root->FItems.empty()) {
        TTreeNode* child = root->FItems.back();
        root->FItems.pop_back();
        Destroy(child);
    }
    Changed();
    if (hadSelection) FOwner->SelectionCleared();
}

void TTreeNodes::Unlink(TTreeNode* Node) {
    TTreeNode* parent = Node->FParent;
    if (!parent) return;
    std::erase(parent->FItems, Node);
    Node->FParent = nullptr;
    if (parent->FItems.empty() && parent != FRoot.get()) {
        parent->FHasChildren = false;
        parent->FExpanded = false;
    }
    FCacheNode = nullptr;
}

void TTreeNodes::Destroy(TTreeNode* Node) {
    // Post-order without recursion, so that a very deep tree cannot exhaust the stack:
    // children are told and freed before their parents.
    std::vector<TTreeNode*> order;
    std::vector<TTreeNode*> pending{Node};
    while (!pending.empty()) {
        TTreeNode* n = pending.back();
        pending.pop_back();
        n->FDeleting = true;
        order.push_back(n);
        for (TTreeNode* c : n->FItems) pending.push_back(c);
    }
    FCacheNode = nullptr;
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        TTreeNode* n = *it;
        FOwner->NodeDeleting(n);
        n->FItems.clear();
        --FCount;
        delete n;
    }
}

void TTreeNodes::BeginUpdate() {
    ++FUpdateCount;
}

void TTreeNodes::EndUpdate() {
    if (FUpdateCount == 0) return;
    if (--FUpdateCount == 0) Changed();
}

void TTreeNodes::Changed() {
    FCacheNode = nullptr;
    FOwner->RowsChanged();
}

void TTreeNodes::Assign(TPersistent* Source) {
    auto* other = dynamic_cast<TTreeNodes*>(Source);
    if (!other) {
        TPersistent::Assign(Source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    Clear();
    // Copy level by level along tree order: each source node's copy goes under the copy
    // of its parent.
    std::vector<std::pair<const TTreeNode*, TTreeNode*>> pending;
    for (int i = other->FRoot->Count() - 1; i >= 0; --i)
        pending.emplace_back(other->FRoot->FItems[size_t(i)], FRoot.get());
    while (!pending.empty()) {
        auto [src, parent] = pending.back();
        pending.pop_back();
        TTreeNode* copy = InternalAdd(parent, parent->Count(), src->FText, src->FData);
        copy->FImageIndex = src->FImageIndex;
        copy->FSelectedIndex = src->FSelectedIndex;
        copy->FHasChildren = src->FHasChildren;
        copy->FExpanded = src->FExpanded;
        for (int i = src->Count() - 1; i >= 0; --i)
            pending.emplace_back(src->FItems[size_t(i)], copy);
    }
    EndUpdate();
}

}  // namespace kovo
