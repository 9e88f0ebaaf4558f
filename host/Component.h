// TComponent: the owner tree of the host layer. An owner frees what it owns, names are unique
// among one owner's components, and the component state says whether a component is being
// loaded, designed or destroyed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/Object.h"
#include "host/Types.h"

namespace kovo {

enum TComponentStateFlag : uint8_t {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
};
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation : uint8_t { opInsert, opRemove };

class TComponent;
void SetDesigning(TComponent* Root, bool On, bool Recursive = true);

class TComponent : public TPersistent {
  public:
    // A component with an owner is freed by it; one without belongs to its creator.
    // A component created under an owner that is loading or designing inherits that state.
    explicit TComponent(TComponent* AOwner);
    // Marks itself destroying, tells the components that asked for a free notification,
    // frees the owned components (newest first) and leaves its owner.
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return FOwner; }

    const std::string& Name() const { return FName; }
    // A name is empty or an identifier (letter or underscore, then letters, digits,
    // underscores), unique among the owner's components ignoring case. Otherwise
    // EComponentError is raised and the name stays as it was.
    virtual void SetName(const std::string& NewName);

    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }

    // The owned components in the order they were inserted; Index is 0-based and an index
    // outside [0, ComponentCount) raises EListError "List index out of bounds (<i>)".
    TComponent* Components(int Index) const;
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // Position in the owner's list, -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int Value);
    // The owned component with that name (ignoring case), nullptr when there is none.
    TComponent* FindComponent(const std::string& AName) const;

    // Takes AComponent from its current owner (if any) and makes this its owner.
    // Its name must be unique here as well; otherwise EComponentError and nothing changes.
    void InsertComponent(TComponent* AComponent);
    // Gives AComponent up without freeing it: it has no owner afterwards.
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, newest first.
    void DestroyComponents();

    TComponentState ComponentState() const { return FComponentState; }

    // Asks that AComponent be told (Notification opRemove) when this component is freed.
    // The link works both ways, so neither keeps a stale pointer to the other.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    // Called once after loading has finished (see TLoadingScope); clears csLoading.
    virtual void Loaded();
    // Told about a component being inserted into or removed from the owner, and about a
    // component that asked for a free notification being freed. The default passes the
    // message on to every owned component, so a component can drop pointers it holds.
    virtual void Notification(TComponent* AComponent, TOperation Operation);

  protected:
    // Sets or clears csDesigning on this component and, with SetChildren, on all it owns.
    virtual void SetDesigning(bool Value, bool SetChildren = true);
    // Raises EComponentError when NewName is no identifier or is taken by another owned
    // component than AComponent.
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName,
                                const std::string& NewName);
    // Sets csLoading (a loading scope starts).
    virtual void Loading();
    // Sets csDestroying on this component and everything it owns; a derived destructor may
    // call it first so that the flag is visible while it tears down.
    void Destroying();
    // csUpdating on and off, for updates that must not react to their own changes.
    virtual void Updating();
    virtual void Updated();

    void SetComponentStateFlag(TComponentStateFlag Flag, bool On);

  private:
    friend class TLoadingScope;
    friend void kovo::SetDesigning(TComponent* Root, bool On, bool Recursive);

    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);
    void AddFreeLink(TComponent* AComponent);
    void DropFreeLink(TComponent* AComponent);
    void MarkLoading(bool On);  // this component and everything it owns
    void CallLoaded();          // owners first

    TComponent* FOwner = nullptr;            // frees this component
    std::string FName;                       // unique among the owner's components
    intptr_t FTag = 0;                       // free for the program's use
    std::vector<TComponent*> FComponents;    // owned, in insertion order
    std::vector<TComponent*> FFreeNotifies;  // told when this one is freed (and vice versa)
    TComponentState FComponentState;         // loading, designing, destroying, ...
};

// Loads a tree of components the way a form file would: the constructor marks Root and
// everything it owns csLoading; the program then sets properties; the destructor clears the
// flag and calls Loaded on each component that is still loading, owners before the
// components they own. Components created under a loading owner meanwhile are included.
// Root must outlive the scope. A scope on a tree that is already loading does nothing.
// When the scope ends by an exception, the flags are cleared without calling Loaded.
class TLoadingScope {
  public:
    explicit TLoadingScope(TComponent* Root);
    ~TLoadingScope() noexcept(false);
    TLoadingScope(const TLoadingScope&) = delete;
    TLoadingScope& operator=(const TLoadingScope&) = delete;

    // Ends the scope at once (calls the Loaded methods); the destructor then does nothing.
    void Finish();

  private:
    TComponent* FRoot;
    bool FActive;
    int FUncaught;
};

// True when the name is a valid component name: letter or underscore, then letters,
// digits and underscores (ASCII).
bool IsValidIdent(const std::string& Ident);

}  // namespace kovo
