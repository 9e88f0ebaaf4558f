#include "host/Component.h"

#include <algorithm>
#include <exception>

#include "host/Exceptions.h"

namespace kovo {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsIdentChar(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}

}  // namespace

bool IsValidIdent(const std::string& Ident) {
    if (Ident.empty() || !IsIdentStart(Ident[0])) return false;
    return std::all_of(Ident.begin() + 1, Ident.end(), IsIdentChar);
}

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    while (!FFreeNotifies.empty()) {
        TComponent* other = FFreeNotifies.back();
        FFreeNotifies.pop_back();
        other->DropFreeLink(this);
        other->Notification(this, opRemove);
    }
    DestroyComponents();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName) return;
    if (FOwner != nullptr)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    FName = NewName;
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName) {
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("Component name \"" + NewName + "\" is not a valid identifier");
    if (AComponent == nullptr || NewName.empty() || SameName(CurName, NewName)) return;
    TComponent* found = FindComponent(NewName);
    if (found != nullptr && found != AComponent)
        throw EComponentError("A component named " + NewName + " already exists");
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const {
    if (FOwner == nullptr) return -1;
    auto& list = FOwner->FComponents;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int Value) {
    if (FOwner == nullptr) return;
    auto& list = FOwner->FComponents;
    int cur = ComponentIndex();
    if (cur < 0) return;
    int last = static_cast<int>(list.size()) - 1;
    Value = std::clamp(Value, 0, last);
    if (Value == cur) return;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + Value, this);
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameName(c->FName, AName)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner == this) return;
    for (TComponent* p = this; p != nullptr; p = p->FOwner)
        if (p == AComponent) throw EComponentError("A component cannot own itself");
    ValidateRename(AComponent, std::string(), AComponent->FName);
    if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (FComponentState.contains(csLoading)) AComponent->MarkLoading(true);
    if (FComponentState.contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* last = FComponents.back();
        RemoveComponent(last);
        // A Notification handler could have removed it already; never free it twice.
        if (last->FOwner == nullptr) delete last;
    }
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) return;
    AddFreeLink(AComponent);
    AComponent->AddFreeLink(this);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr) return;
    DropFreeLink(AComponent);
    AComponent->DropFreeLink(this);
}

void TComponent::AddFreeLink(TComponent* AComponent) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end())
        FFreeNotifies.push_back(AComponent);
}

void TComponent::DropFreeLink(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it != FFreeNotifies.end()) FFreeNotifies.erase(it);
}

void TComponent::Loaded() {
    FComponentState.Exclude(csLoading);
}

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
    // Newest first, re-checking the bound: a handler may free components.
    for (int i = ComponentCount() - 1; i >= 0; --i) {
        if (i >= ComponentCount()) continue;
        FComponents[static_cast<size_t>(i)]->Notification(AComponent, Operation);
    }
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    SetComponentStateFlag(csDesigning, Value);
    if (!SetChildren) return;
    for (TComponent* c : std::vector<TComponent*>(FComponents)) c->SetDesigning(Value, true);
}

void TComponent::Loading() {
    FComponentState.Include(csLoading);
}

void TComponent::Destroying() {
    if (FComponentState.contains(csDestroying)) return;
    FComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::Updating() {
    FComponentState.Include(csUpdating);
}

void TComponent::Updated() {
    FComponentState.Exclude(csUpdating);
}

void TComponent::SetComponentStateFlag(TComponentStateFlag Flag, bool On) {
    if (On)
        FComponentState.Include(Flag);
    else
        FComponentState.Exclude(Flag);
}

void SetDesigning(TComponent* Root, bool On, bool Recursive) {
    if (Root != nullptr) Root->SetDesigning(On, Recursive);
}

void TComponent::MarkLoading(bool On) {
    if (On)
        Loading();
    else
        FComponentState.Exclude(csLoading);
    for (int i = 0; i < ComponentCount(); ++i) FComponents[static_cast<size_t>(i)]->MarkLoading(On);
}

// The bound is re-read because Loaded may create or free components.
void TComponent::CallLoaded() {
    if (FComponentState.contains(csLoading)) {
        Loaded();
        FComponentState.Exclude(csLoading);
    }
    for (int i = 0; i < ComponentCount(); ++i) FComponents[static_cast<size_t>(i)]->CallLoaded();
}

TLoadingScope::TLoadingScope(TComponent* Root)
    : FRoot(Root),
      FActive(Root != nullptr && !Root->ComponentState().contains(csLoading)),
      FUncaught(std::uncaught_exceptions()) {
    if (FActive) FRoot->MarkLoading(true);
}

TLoadingScope::~TLoadingScope() noexcept(false) {
    if (!FActive) return;
    if (std::uncaught_exceptions() > FUncaught) {
        FActive = false;
        FRoot->MarkLoading(false);
        return;
    }
    Finish();
}

void TLoadingScope::Finish() {
    if (!FActive) return;
    FActive = false;
    FRoot->CallLoaded();
}

}  // namespace kovo
