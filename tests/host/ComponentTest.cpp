#include "host/Component.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/Exceptions.h"

using namespace kovo;

namespace {

// Records construction, destruction, Loaded and notifications in one shared log.
struct TLog {
    int Alive = 0;
    std::vector<std::string> Events;
};

class TProbe : public TComponent {
  public:
    TProbe(TComponent* AOwner, TLog& Log, std::string Label)
        : TComponent(AOwner), FLog(Log), FLabel(std::move(Label)) {
        ++FLog.Alive;
    }
    ~TProbe() override {
        FLog.Events.push_back("free " + FLabel +
                              (ComponentState().contains(csDestroying) ? " destroying" : ""));
        --FLog.Alive;
    }
    void Loaded() override {
        FLog.Events.push_back("loaded " + FLabel +
                              (ComponentState().contains(csLoading) ? " (loading)" : ""));
        TComponent::Loaded();
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (AComponent == Watched && Operation == opRemove) Watched = nullptr;
        if (Operation == opInsert) ++Inserts;
    }
    using TComponent::SetDesigning;

    TComponent* Watched = nullptr;  // a pointer that must be dropped when its target goes
    int Inserts = 0;

  private:
    TLog& FLog;
    std::string FLabel;
};

}  // namespace

TEST(ComponentOwnership, OwnerFreesOwnedComponentsNewestFirst) {
    TLog log;
    {
        TProbe owner(nullptr, log, "owner");
        new TProbe(&owner, log, "a");
        auto* b = new TProbe(&owner, log, "b");
        new TProbe(b, log, "b1");
        new TProbe(&owner, log, "c");
        EXPECT_EQ(log.Alive, 5);
        EXPECT_EQ(owner.ComponentCount(), 3);
        EXPECT_EQ(b->Owner(), &owner);
    }
    EXPECT_EQ(log.Alive, 0);
    // A destructor body runs before the base part frees what the component owns, so b
    // reports before b1; the owned ones already carry csDestroying.
    std::vector<std::string> expected = {"free owner", "free c destroying", "free b destroying",
                                         "free b1 destroying", "free a destroying"};
    EXPECT_EQ(log.Events, expected);
}

TEST(ComponentOwnership, DeletingAnOwnedComponentDetachesIt) {
    TLog log;
    TProbe owner(nullptr, log, "owner");
    auto* a = new TProbe(&owner, log, "a");
    auto* b = new TProbe(&owner, log, "b");
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
    EXPECT_EQ(b->ComponentIndex(), 0);
    // The owner's destructor must not free a again (the sanitizer build would catch it).
}

TEST(ComponentOwnership, InsertAndRemoveMoveComponentsBetweenOwners) {
    TLog log;
    TProbe first(nullptr, log, "first");
    TProbe second(nullptr, log, "second");
    auto* child = new TProbe(&first, log, "child");
    second.InsertComponent(child);
    EXPECT_EQ(child->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.ComponentCount(), 1);

    second.RemoveComponent(child);
    EXPECT_EQ(child->Owner(), nullptr);
    EXPECT_EQ(second.ComponentCount(), 0);
    std::unique_ptr<TProbe> own(child);  // nobody owns it any more
}

TEST(ComponentOwnership, AComponentCannotOwnItsOwner) {
    TLog log;
    TProbe root(nullptr, log, "root");
    auto* child = new TProbe(&root, log, "child");
    EXPECT_THROW(child->InsertComponent(&root), EComponentError);
    EXPECT_THROW(root.InsertComponent(&root), EComponentError);
    EXPECT_EQ(child->Owner(), &root);
    EXPECT_EQ(root.Owner(), nullptr);
}

TEST(ComponentOwnership, ComponentsIndexOutOfBoundsRaises) {
    TComponent owner(nullptr);
    new TComponent(&owner);
    EXPECT_NE(owner.Components(0), nullptr);
    try {
        owner.Components(1);
        FAIL() << "no exception";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (1)");
    }
    EXPECT_THROW(owner.Components(-1), EListError);
}

TEST(ComponentOwnership, SetComponentIndexReordersTheOwnersList) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    auto* c = new TComponent(&owner);
    c->SetComponentIndex(0);
    EXPECT_EQ(owner.Components(0), c);
    EXPECT_EQ(owner.Components(1), a);
    EXPECT_EQ(owner.Components(2), b);
    a->SetComponentIndex(99);  // clipped to the end
    EXPECT_EQ(owner.Components(2), a);
}

TEST(ComponentNames, ValidIdentifiersAreAccepted) {
    TComponent c(nullptr);
    for (const char* name : {"Button1", "_x", "a_b_9", "Z", ""}) {
        c.SetName(name);
        EXPECT_EQ(c.Name(), name);
    }
}

TEST(ComponentNames, InvalidIdentifiersRaiseAndKeepTheOldName) {
    TComponent c(nullptr);
    c.SetName("Good");
    for (const char* name : {"1abc", "a b", "a-b", "\xC3\xA4x", " x"}) {
        try {
            c.SetName(name);
            FAIL() << name;
        } catch (const EComponentError& e) {
            EXPECT_EQ(e.Message(),
                      std::string("Component name \"") + name + "\" is not a valid identifier");
        }
        EXPECT_EQ(c.Name(), "Good");
    }
}

TEST(ComponentNames, NamesAreUniqueAmongAnOwnersComponentsIgnoringCase) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    a->SetName("Edit1");
    try {
        b->SetName("EDIT1");
        FAIL() << "duplicate accepted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named EDIT1 already exists");
    }
    EXPECT_EQ(b->Name(), "");
    a->SetName("edit1");  // its own name in another case
    EXPECT_EQ(a->Name(), "edit1");
    b->SetName("Edit2");
    EXPECT_EQ(owner.FindComponent("EDIT2"), b);
    EXPECT_EQ(owner.FindComponent("Edit3"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);

    // Empty names never collide; components without owner are not checked.
    auto* c = new TComponent(&owner);
    auto* d = new TComponent(&owner);
    EXPECT_EQ(c->Name(), d->Name());
    TComponent loose1(nullptr), loose2(nullptr);
    loose1.SetName("Same");
    loose2.SetName("Same");
}

TEST(ComponentNames, InsertingAComponentWithATakenNameFails) {
    TComponent owner(nullptr);
    (new TComponent(&owner))->SetName("Panel");
    TComponent other(nullptr);
    auto* moving = new TComponent(&other);
    moving->SetName("panel");
    EXPECT_THROW(owner.InsertComponent(moving), EComponentError);
    EXPECT_EQ(moving->Owner(), &other);
    EXPECT_EQ(owner.ComponentCount(), 1);
}

TEST(ComponentNotification, SiblingsHearOfInsertsAndRemovals) {
    TLog log;
    TProbe owner(nullptr, log, "owner");
    auto* watcher = new TProbe(&owner, log, "watcher");
    auto* target = new TProbe(&owner, log, "target");
    EXPECT_EQ(watcher->Inserts, 1);  // told about target
    watcher->Watched = target;
    delete target;
    EXPECT_EQ(watcher->Watched, nullptr);
}

TEST(ComponentNotification, FreeNotificationReachesAcrossOwners) {
    TLog log;
    TProbe formA(nullptr, log, "formA");
    auto* watcher = new TProbe(&formA, log, "watcher");
    {
        TProbe formB(nullptr, log, "formB");
        auto* target = new TProbe(&formB, log, "target");
        watcher->Watched = target;
        target->FreeNotification(watcher);
    }
    EXPECT_EQ(watcher->Watched, nullptr);
}

TEST(ComponentNotification, FreeNotificationLinkIsDroppedWhenTheWatcherGoesFirst) {
    TLog log;
    TProbe target(nullptr, log, "target");
    {
        TProbe watcher(nullptr, log, "watcher");
        target.FreeNotification(&watcher);
    }
    // target's destructor must not notify the freed watcher (sanitizer build checks it).
    SUCCEED();
}

TEST(ComponentLoading, ScopeMarksTheTreeAndCallsLoadedOwnerFirst) {
    TLog log;
    TProbe form(nullptr, log, "form");
    auto* panel = new TProbe(&form, log, "panel");
    new TProbe(panel, log, "button");
    auto* label = new TProbe(&form, log, "label");
    {
        TLoadingScope scope(&form);
        EXPECT_TRUE(form.ComponentState().contains(csLoading));
        EXPECT_TRUE(panel->Components(0)->ComponentState().contains(csLoading));
        EXPECT_TRUE(label->ComponentState().contains(csLoading));
        auto* late = new TProbe(panel, log, "late");
        EXPECT_TRUE(late->ComponentState().contains(csLoading));
        EXPECT_TRUE(log.Events.empty());
    }
    std::vector<std::string> expected = {"loaded form (loading)", "loaded panel (loading)",
                                         "loaded button (loading)", "loaded late (loading)",
                                         "loaded label (loading)"};
    EXPECT_EQ(log.Events, expected);
    for (TComponent* c : {static_cast<TComponent*>(&form), static_cast<TComponent*>(panel),
                          static_cast<TComponent*>(label)})
        EXPECT_FALSE(c->ComponentState().contains(csLoading));
}

TEST(ComponentLoading, ScopeEndedByAnExceptionClearsFlagsWithoutLoaded) {
    TLog log;
    TProbe form(nullptr, log, "form");
    auto* child = new TProbe(&form, log, "child");
    try {
        TLoadingScope scope(&form);
        throw Exception("bad property");
    } catch (const Exception&) {
    }
    EXPECT_TRUE(log.Events.empty());
    EXPECT_FALSE(form.ComponentState().contains(csLoading));
    EXPECT_FALSE(child->ComponentState().contains(csLoading));
}

TEST(ComponentLoading, NestedScopeOnALoadingTreeDoesNothing) {
    TLog log;
    TProbe form(nullptr, log, "form");
    TLoadingScope outer(&form);
    { TLoadingScope inner(&form); }
    EXPECT_TRUE(log.Events.empty());
    EXPECT_TRUE(form.ComponentState().contains(csLoading));
    outer.Finish();
    EXPECT_EQ(log.Events, std::vector<std::string>{"loaded form (loading)"});
}

TEST(ComponentDesigning, SwitchSetsAndClearsTheFlag) {
    TLog log;
    TProbe form(nullptr, log, "form");
    auto* child = new TProbe(&form, log, "child");
    SetDesigning(&form, true);
    EXPECT_TRUE(form.ComponentState().contains(csDesigning));
    EXPECT_TRUE(child->ComponentState().contains(csDesigning));

    // A component inserted into a designed owner is designed too.
    auto* added = new TProbe(&form, log, "added");
    EXPECT_TRUE(added->ComponentState().contains(csDesigning));

    SetDesigning(&form, false, false);
    EXPECT_FALSE(form.ComponentState().contains(csDesigning));
    EXPECT_TRUE(child->ComponentState().contains(csDesigning));

    child->SetDesigning(false);
    EXPECT_FALSE(child->ComponentState().contains(csDesigning));
}

TEST(ComponentTag, HoldsAPointerSizedValue) {
    TComponent c(nullptr);
    EXPECT_EQ(c.Tag(), 0);
    c.SetTag(static_cast<intptr_t>(-42));
    EXPECT_EQ(c.Tag(), -42);
}
