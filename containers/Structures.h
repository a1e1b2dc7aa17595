#pragma once
// Generic collections with item links and string-list export, and string
// lists with an upper bound on their length (the recent-files list).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Collection.h"

/// A collection item that can be linked to items of other collections. A
/// link is symmetric: A is in B's links exactly when B is in A's. When an
/// item goes away, every partner's Unlink is called with it, so a derived
/// item overrides Unlink to forget a reference it holds to the dying one.
class TGCollectionItem : public TCollectionItem {
 public:
  TGCollectionItem() = default;
  ~TGCollectionItem() override;
  std::string ClassName() const override { return "TGCollectionItem"; }

  /// Removes the link in both directions.
  virtual void Unlink(TGCollectionItem* other);
  /// Adds the link in both directions (once); returns Other's position in
  /// this item's links, counted from 1. A null Other is ignored (returns 0).
  virtual int Link(TGCollectionItem* other);
  /// Removes Other from this item's links and this item from Other's.
  virtual void RemoveLinks(TGCollectionItem* other);

  int LinkCount() const { return FLinks ? static_cast<int>(FLinks->size()) : 0; }
  /// Raises EListError "List index out of bounds (%d)" outside 0 .. LinkCount-1.
  TGCollectionItem* Links(int index) const;
  bool IsLinkedTo(const TGCollectionItem* other) const;

 protected:
  void BeforeDestruction() override;

 private:
  /// Tells every partner, last first, that this item goes away.
  void DropAllLinks();
  static void EraseLink(std::unique_ptr<std::vector<TGCollectionItem*>>& links, const TGCollectionItem* item);

  /// Created on the first link, freed when it becomes empty.
  std::unique_ptr<std::vector<TGCollectionItem*>> FLinks;
};

/// An owned collection that can be exported to a string list (display name
/// plus the item as the line's object) and searched by display name.
class TGCollection : public TOwnedCollection {
 public:
  TGCollection(TPersistent* owner, const TCollectionItemClass& itemClass)
      : TOwnedCollection(owner, itemClass) {}
  std::string ClassName() const override { return "TGCollection"; }

  /// First index whose display name equals Name byte for byte, or -1.
  int IndexOfDisplayName(const std::string& name) const;

 protected:
  /// Into a string list: one line per item; anything else as the base does.
  void AssignTo(TPersistent& dest) const override;
};

/// A string list whose growth stops at MaxCount strings (-1: no bound).
class TMaxCountStrings : public TStringList {
 public:
  TMaxCountStrings() = default;
  std::string ClassName() const override { return "TMaxCountStrings"; }

  int MaxCount() const { return FMaxCount; }
  /// Ignored for the current value and below -1; reserves room for the
  /// whole bound at once. Lowering the bound removes no strings.
  void SetMaxCount(int value);
  /// Raises EStringListError "String List Max Count exceeded: %d" when the
  /// list would have to grow beyond MaxCount.
  void SetCapacity(int newCapacity) override;

 private:
  int FMaxCount = -1;
};

/// A node of a menu as the core sees it: a caption, a click handler and
/// owned sub-items. The Qt layer mirrors it into real menus and calls
/// Click() when the user picks an entry.
class TMenuItem : public TObject {
 public:
  TMenuItem() = default;
  TMenuItem(const TMenuItem&) = delete;
  TMenuItem& operator=(const TMenuItem&) = delete;
  std::string ClassName() const override { return "TMenuItem"; }

  std::string Caption;
  /// Called with this item as the sender.
  TNotifyEvent OnClick;

  /// Takes ownership of Item and appends it; returns it.
  TMenuItem* Add(std::unique_ptr<TMenuItem> item);
  int Count() const { return static_cast<int>(FItems.size()); }
  /// Raises EListError "List index out of bounds (%d)" outside 0 .. Count-1.
  TMenuItem* Items(int index) const;
  void Clear() { FItems.clear(); }
  void Click() {
    if (OnClick) OnClick(this);
  }

 private:
  std::vector<std::unique_ptr<TMenuItem>> FItems;
};

/// A most-recently-used list of file names, compared case-insensitively.
/// PushAtEnd false: newest first; true: newest last.
class TRecentFiles : public TMaxCountStrings {
 public:
  TRecentFiles();
  std::string ClassName() const override { return "TRecentFiles"; }

  /// Puts FileName in the newest place (moving it there when present, under
  /// its stored letter case); returns its index.
  int AddFile(const std::string& fileName);
  /// Deletes the oldest name; nothing on an empty list.
  void RemoveOldest();
  /// One sub-item of Parent per name, in list order: the name, or when
  /// Numbered its index, a blank and the name.
  void FillMenu(TMenuItem& parent, bool numbered, const TNotifyEvent& onClick) const;

  bool PushAtEnd() const { return FPushAtEnd; }
  void SetPushAtEnd(bool value) { FPushAtEnd = value; }

 private:
  bool FPushAtEnd = false;
};
