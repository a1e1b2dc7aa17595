/// Tests for toolkit/Collection.cpp: the notice order the document relies on

#include "toolkit/Collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Log = std::vector<std::string>;

class Item : public TCollectionItem {
 public:
  explicit Item(TCollection* target = nullptr) : FSeenTarget(target) {}
  std::string ClassName() const override { return "Item"; }
  void Assign(const TPersistent& source) override {
    if (const auto* other = dynamic_cast<const Item*>(&source)) {
      Text = other->Text;
      return;
    }
    TCollectionItem::Assign(source);
  }
  void AfterConstruction() override { IndexAfterConstruction = Index(); }
  void Touch() { Changed(false); }

  std::string Text;
  TCollection* FSeenTarget;
  int IndexAfterConstruction = -2;
};

class OtherItem : public TCollectionItem {
 public:
  std::string ClassName() const override { return "OtherItem"; }
};

class SubItem : public Item {
 public:
  using Item::Item;
  std::string ClassName() const override { return "SubItem"; }
};

/// Records every hook with the item's text, so a hook that reads a dying
/// item's fields is caught by ASan.
class Recording : public TOwnedCollection {
 public:
  explicit Recording(Log& log) : TOwnedCollection(nullptr, TCollectionItemClass::Of<Item>()), FLog(log) {}
  ~Recording() override { Clear(); }  // so the hooks see the last items go

 protected:
  void Added(TCollectionItem* item) override { FLog.push_back("Added " + Name(item)); }
  void Deleting(TCollectionItem* item) override { FLog.push_back("Deleting " + Name(item)); }
  void Notify(TCollectionItem* item, TCollectionNotification action) override {
    static const char* const kNames[] = {"added", "extracting", "deleting"};
    FLog.push_back(std::string("Notify ") + kNames[static_cast<int>(action)] + " " + Name(item));
    TOwnedCollection::Notify(item, action);
  }
  void SetItemName(TCollectionItem* item) override { FLog.push_back("SetItemName " + Name(item)); }
  void Update(TCollectionItem* item) override { FLog.push_back("Update " + (item ? Name(item) : "none")); }

 private:
  static std::string Name(TCollectionItem* item) {
    return static_cast<Item*>(item)->Text.empty() ? std::to_string(item->ID())
                                                  : static_cast<Item*>(item)->Text;
  }
  Log& FLog;
};

TEST(Collection, AddNoticeOrder) {
  Log log;
  Recording items(log);
  auto* item = static_cast<Item*>(items.Add());
  // Added comes twice: once through Notify(added), once from Add itself.
  EXPECT_EQ(log, (Log{"SetItemName 0", "Notify added 0", "Added 0", "Update none", "Added 0"}));
  EXPECT_EQ(item->FSeenTarget, &items);  // the constructor could look at its collection
  EXPECT_EQ(item->IndexAfterConstruction, 0);
  EXPECT_EQ(item->Collection(), &items);
}

TEST(Collection, DeleteNotifiesTwiceClearOnce) {
  Log log;
  Recording items(log);
  for (const char* text : {"a", "b", "c"}) static_cast<Item*>(items.Add())->Text = text;
  log.clear();
  items.Delete(1);
  EXPECT_EQ(log, (Log{"Notify deleting b", "Deleting b", "Notify extracting b", "Update none"}));
  log.clear();
  items.Clear();
  EXPECT_EQ(log, (Log{"Notify extracting c", "Notify extracting a", "Update none"}));
  log.clear();
  items.Clear();  // empty: no bracket, no notice
  EXPECT_TRUE(log.empty());
}

TEST(Collection, FreeingOneItemNotifiesOnceWhileItIsWhole) {
  Log log;
  Recording items(log);
  auto* item = static_cast<Item*>(items.Add());
  item->Text = "gone";
  log.clear();
  item->Free();
  EXPECT_EQ(log, (Log{"Notify extracting gone", "Update none"}));
  EXPECT_EQ(items.Count(), 0);
}

TEST(Collection, ChangesAndUpdateBrackets) {
  Log log;
  Recording items(log);
  auto* a = static_cast<Item*>(items.Add());
  a->Text = "a";
  static_cast<Item*>(items.Add())->Text = "b";
  log.clear();

  a->Touch();
  a->SetDisplayName("ignored by the base");
  EXPECT_EQ(log, (Log{"Update a", "Update a"}));
  log.clear();

  items.BeginUpdate();
  a->Touch();
  a->SetIndex(1);
  items.Add();
  EXPECT_EQ(log, (Log{"SetItemName 2", "Notify added 2", "Added 2", "Added 2"}));
  log.clear();
  items.EndUpdate();
  EXPECT_EQ(log, (Log{"Update none"}));
}

TEST(Collection, IndexesAndIDs) {
  Log log;
  Recording items(log);
  for (int i = 0; i < 4; ++i) items.Add();
  items.Delete(0);
  auto* added = items.Add();
  EXPECT_EQ(added->ID(), 4);  // IDs are never reused
  EXPECT_EQ(items.NextID(), 5);
  EXPECT_EQ(items.FindItemID(2), items.Items(1));
  EXPECT_EQ(items.FindItemID(0), nullptr);

  auto* inserted = items.Insert(1);
  EXPECT_EQ(inserted->Index(), 1);
  EXPECT_EQ(inserted->ID(), 5);
  log.clear();
  inserted->SetIndex(3);
  EXPECT_EQ(items.Items(3), inserted);
  EXPECT_EQ(log, (Log{"Update none"}));  // a move changes all items
  inserted->SetIndex(3);                 // same place: nothing
  EXPECT_EQ(log.size(), 1u);

  EXPECT_THROW(inserted->SetIndex(9), EListError);
  EXPECT_EQ(items.Items(3), inserted);
  try {
    items.Items(5);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (5)");
  }
  EXPECT_THROW(items.Delete(-1), EListError);
  EXPECT_THROW(items.Insert(6), EListError);
  EXPECT_EQ(items.Count(), 5);
  EXPECT_EQ(items.Insert(5)->Index(), 5);  // at the end is a valid place
}

TEST(Collection, ItemClassIsEnforced) {
  Log log;
  Recording items(log);
  // A derived class is of the item class,
  auto* sub = items.AddItem<SubItem>();
  EXPECT_EQ(sub->Collection(), &items);
  EXPECT_EQ(items.Count(), 1);
  // an unrelated one is refused and the collection is unchanged.
  try {
    items.AddItem<OtherItem>();
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "Invalid property value");
  }
  EXPECT_EQ(items.Count(), 1);

  // Moving an item into a collection of another class leaves it where it was.
  TCollection others(TCollectionItemClass::Of<OtherItem>());
  EXPECT_THROW(sub->SetCollection(&others), EListError);
  EXPECT_EQ(sub->Collection(), &items);
  EXPECT_EQ(others.Count(), 0);
}

TEST(Collection, ItemsMoveBetweenCollectionsAndLiveDetached) {
  Log log1, log2;
  Recording first(log1), second(log2);
  auto* item = static_cast<Item*>(first.Add());
  item->Text = "moving";
  item->SetCollection(&second);
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(second.Items(0), item);
  EXPECT_EQ(item->ID(), 0);

  item->SetCollection(nullptr);  // detached: the caller owns it now
  EXPECT_EQ(item->Index(), -1);
  EXPECT_EQ(second.Count(), 0);
  std::unique_ptr<Item> owned(item);
  item->Touch();  // no collection: nothing to tell
}

TEST(Collection, AssignCopiesItemsInOneBracket) {
  Log log;
  Recording source(log), target(log);
  for (const char* text : {"x", "y"}) static_cast<Item*>(source.Add())->Text = text;
  static_cast<Item*>(target.Add())->Text = "old";
  log.clear();
  target.Assign(source);
  ASSERT_EQ(target.Count(), 2);
  EXPECT_EQ(static_cast<Item*>(target.Items(0))->Text, "x");
  EXPECT_EQ(static_cast<Item*>(target.Items(1))->Text, "y");
  EXPECT_EQ(log.back(), "Update none");
  EXPECT_EQ(std::count(log.begin(), log.end(), "Update none"), 1);

  TStringList notACollection;
  EXPECT_THROW(target.Assign(notACollection), EConvertError);
  EXPECT_EQ(target.Count(), 2);
}

TEST(Collection, DeletingAnItemDirectlyRemovesIt) {
  TCollection items(TCollectionItemClass::Of<Item>());
  TCollectionItem* a = items.Add();
  items.Add();
  delete a;
  EXPECT_EQ(items.Count(), 1);
  TOwnedCollection owned(&items, TCollectionItemClass::Of<Item>());
  EXPECT_EQ(owned.Owner(), &items);
  EXPECT_EQ(items.Owner(), nullptr);
  EXPECT_EQ(owned.Add()->DisplayName(), "Item");
}

}  // namespace
