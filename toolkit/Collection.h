#pragma once
// The collection base: an owned, ordered list of items that tells its
// owner about every addition, removal and change. The document's change
// notices follow from the exact order of the hooks below, so that order is
// part of the contract:
//   insert:  SetItemName, Notify(added), change notice   (Add then calls Added)
//   remove:  Notify(extracting), unlink from the list, change notice
//   Delete:  Notify(deleting) first, then the removal above
//   change notice: Update(item or none) unless inside BeginUpdate/EndUpdate.
//
// Items are created in two steps so that no virtual call ever reaches a
// half-built object: the item class factory constructs the complete item
// (its constructor may look at the target collection but is not yet in it),
// then the collection inserts it and calls the item's AfterConstruction.

#include <memory>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "toolkit/Classes.h"

class TCollection;
class TCollectionItem;

/// What a collection knows about the class of its items: how to build one
/// and how to tell whether an item is of that class (or derives from it).
class TCollectionItemClass {
 public:
  using Factory = TCollectionItem* (*)(TCollection* collection);
  using InstanceTest = bool (*)(const TCollectionItem* item);

  TCollectionItemClass(const char* name, Factory factory, InstanceTest test)
      : FName(name), FFactory(factory), FTest(test) {}

  const char* Name() const { return FName; }
  /// A new item, not yet in any collection (the caller inserts it).
  TCollectionItem* Construct(TCollection* collection) const { return FFactory(collection); }
  bool IsInstance(const TCollectionItem* item) const { return FTest(item); }

  /// The descriptor of item class T. T is built with T(TCollection*) when it
  /// has such a constructor, else with T().
  template <class T>
  static const TCollectionItemClass& Of();

 private:
  const char* FName;
  Factory FFactory;
  InstanceTest FTest;
};

/// One entry of a collection. Its ID is unique within the collection's
/// lifetime and never reused.
///
/// Destroy an item with Free() (or let its collection do it): Free runs
/// BeforeDestruction and takes the item out of its collection while the
/// item is still whole, so the collection's hooks may read it. A plain
/// `delete` also takes it out, but from the base destructor, when the
/// derived parts are already gone: hooks then may use it only as an identity.
class TCollectionItem : public TPersistent {
 public:
  TCollectionItem() = default;
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;
  ~TCollectionItem() override;
  std::string ClassName() const override { return "TCollectionItem"; }

  /// BeforeDestruction, removal from the collection, then delete.
  void Free();

  TCollection* Collection() const { return FCollection; }
  /// Moves the item to another collection (or detaches it with none). An
  /// item that is not of the target's item class is refused with EListError
  /// "Invalid property value" and stays where it was.
  virtual void SetCollection(TCollection* value);

  int ID() const { return FID; }
  /// Position in the collection, -1 without one.
  int Index() const;
  /// Moves the item to another position; raises EListError for a position
  /// outside the collection.
  virtual void SetIndex(int value);

  /// The class name unless a derived item says otherwise.
  virtual std::string GetDisplayName() const { return ClassName(); }
  std::string DisplayName() const { return GetDisplayName(); }
  virtual void SetDisplayName(const std::string& value);

  /// Called once by the collection right after it inserted a freshly
  /// constructed item: the place for set-up that needs the item to be in
  /// its collection (its index, its ID).
  virtual void AfterConstruction() {}

 protected:
  /// Called by Free while the item is whole and still in its collection.
  virtual void BeforeDestruction() {}
  /// Tells the collection about a change of this item (AllItems: of all of them).
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

enum class TCollectionNotification { cnAdded = 0, cnExtracting = 1, cnDeleting = 2 };

/// An ordered list of items of one item class, owned by the collection.
class TCollection : public TPersistent {
 public:
  explicit TCollection(const TCollectionItemClass& itemClass);
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;
  /// Destroys every item without telling Update (a derived collection that
  /// wants its hooks called for the last items clears itself in its own destructor).
  ~TCollection() override;
  std::string ClassName() const override { return "TCollection"; }

  const TCollectionItemClass& ItemClass() const { return *FItemClass; }
  int Count() const { return static_cast<int>(FItems.size()); }
  /// Raises EListError "List index out of bounds (%d)" outside 0 .. Count-1.
  TCollectionItem* Items(int index) const;
  TCollectionItem* operator[](int index) const { return Items(index); }
  /// The object that owns this collection, or none.
  virtual TPersistent* Owner() const { return nullptr; }
  int UpdateCount() const { return FUpdateCount; }
  int NextID() const { return FNextID; }

  /// Creates an item of the item class at the end, calls Added and returns it.
  TCollectionItem* Add();
  /// Add, then move the new item to Index.
  TCollectionItem* Insert(int index);
  /// Notify(deleting), then destroys the item.
  void Delete(int index);
  /// Destroys every item inside one update bracket.
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  int IndexOf(const TCollectionItem* item) const;

  virtual void BeginUpdate();
  virtual void EndUpdate();

  /// From another collection: clear, then one new item per source item,
  /// assigned from it, inside one update bracket.
  void Assign(const TPersistent& source) override;

  /// Creates an item of type T (which must be of the item class) in this
  /// collection, as Add does, and returns it typed.
  template <class T, class... Args>
  T* AddItem(Args&&... args);

 protected:
  virtual void Added(TCollectionItem* /*item*/) {}
  virtual void Deleting(TCollectionItem* /*item*/) {}
  /// Passes added to Added and deleting to Deleting.
  virtual void Notify(TCollectionItem* item, TCollectionNotification action);
  virtual void SetItemName(TCollectionItem* /*item*/) {}
  /// A change of Item, or of the whole collection when Item is none.
  virtual void Update(TCollectionItem* /*item*/) {}
  /// The collection's change notice: Update(none) outside update brackets.
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  /// Inserts a freshly built item, deleting it when the collection refuses it.
  TCollectionItem* Adopt(TCollectionItem* item);

  const TCollectionItemClass* FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
};

/// A collection that knows the object owning it.
class TOwnedCollection : public TCollection {
 public:
  TOwnedCollection(TPersistent* owner, const TCollectionItemClass& itemClass)
      : TCollection(itemClass), FOwner(owner) {}
  std::string ClassName() const override { return "TOwnedCollection"; }
  TPersistent* Owner() const override { return FOwner; }

 private:
  TPersistent* FOwner;
};

// ---------------------------------------------------------------------------

template <class T>
const TCollectionItemClass& TCollectionItemClass::Of() {
  static_assert(std::is_base_of_v<TCollectionItem, T>, "an item class derives from TCollectionItem");
  static const TCollectionItemClass descriptor(
      typeid(T).name(),
      [](TCollection* collection) -> TCollectionItem* {
        if constexpr (std::is_constructible_v<T, TCollection*>)
          return new T(collection);
        else
          return new T();
      },
      [](const TCollectionItem* item) { return dynamic_cast<const T*>(item) != nullptr; });
  return descriptor;
}

template <class T, class... Args>
T* TCollection::AddItem(Args&&... args) {
  static_assert(std::is_base_of_v<TCollectionItem, T>, "items derive from TCollectionItem");
  TCollectionItem* item = Adopt(new T(std::forward<Args>(args)...));
  Added(item);
  return static_cast<T*>(item);
}
