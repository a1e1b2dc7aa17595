#include "containers/Structures.h"

#include <algorithm>

#include "toolkit/ScopeGuard.h"

namespace {
inline constexpr const char* SMaxCountExceeded = "String List Max Count exceeded: %d";

[[noreturn]] void ListIndexError(int index) { throw EListError(Format(rtl::SListIndexError, index)); }
}  // namespace

// --- TGCollectionItem -------------------------------------------------------

TGCollectionItem::~TGCollectionItem() {
  // Reached with links only when the item was deleted without Free.
  DropAllLinks();
}

void TGCollectionItem::BeforeDestruction() {
  DropAllLinks();
  TCollectionItem::BeforeDestruction();
}

void TGCollectionItem::DropAllLinks() {
  // Each Unlink removes the partner from FLinks (and may free it), so the
  // list is re-read every round.
  while (FLinks && !FLinks->empty()) {
    TGCollectionItem* partner = FLinks->back();
    partner->Unlink(this);
    // A partner whose Unlink does not reach RemoveLinks must not make this loop endless.
    if (FLinks && !FLinks->empty() && FLinks->back() == partner) RemoveLinks(partner);
  }
}

TGCollectionItem* TGCollectionItem::Links(int index) const {
  if (index < 0 || index >= LinkCount()) ListIndexError(index);
  return (*FLinks)[static_cast<size_t>(index)];
}

bool TGCollectionItem::IsLinkedTo(const TGCollectionItem* other) const {
  return FLinks && std::find(FLinks->begin(), FLinks->end(), other) != FLinks->end();
}

void TGCollectionItem::Unlink(TGCollectionItem* other) { RemoveLinks(other); }

int TGCollectionItem::Link(TGCollectionItem* other) {
  if (!other) return 0;
  if (FLinks) {
    const auto it = std::find(FLinks->begin(), FLinks->end(), other);
    if (it != FLinks->end()) return static_cast<int>(it - FLinks->begin()) + 1;
  }
  if (!FLinks) FLinks = std::make_unique<std::vector<TGCollectionItem*>>();
  FLinks->push_back(other);
  // Other appends this item to its links and asks back, which finds Other here.
  return other->Link(this);
}

void TGCollectionItem::EraseLink(std::unique_ptr<std::vector<TGCollectionItem*>>& links,
                                 const TGCollectionItem* item) {
  if (!links) return;
  const auto it = std::find(links->begin(), links->end(), item);
  if (it != links->end()) links->erase(it);
  if (links->empty()) links.reset();
}

void TGCollectionItem::RemoveLinks(TGCollectionItem* other) {
  if (!other) return;
  EraseLink(FLinks, other);
  EraseLink(other->FLinks, this);
}

// --- TGCollection -----------------------------------------------------------

int TGCollection::IndexOfDisplayName(const std::string& name) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->GetDisplayName() == name) return i;
  return -1;
}

void TGCollection::AssignTo(TPersistent& dest) const {
  auto* list = dynamic_cast<TStringList*>(&dest);
  if (!list) {
    TOwnedCollection::AssignTo(dest);
    return;
  }
  toolkit::TUpdateBracket update(*list);
  list->Clear();
  for (int i = 0; i < Count(); ++i) list->AddObject(Items(i)->GetDisplayName(), Items(i));
}

// --- TMaxCountStrings -------------------------------------------------------

void TMaxCountStrings::SetMaxCount(int value) {
  if (value == FMaxCount || value < -1) return;
  FMaxCount = value;
  if (Capacity() < value) SetCapacity(value);
}

void TMaxCountStrings::SetCapacity(int newCapacity) {
  if (FMaxCount == -1) {
    TStringList::SetCapacity(newCapacity);
    return;
  }
  // Only growth is bounded: shrinking (Clear sets the capacity to 0) must
  // work even for a bound of 0.
  if (newCapacity <= Capacity()) {
    TStringList::SetCapacity(newCapacity);
    return;
  }
  const int bounded = std::min(newCapacity, FMaxCount);
  if (Capacity() >= bounded) throw EStringListError(Format(SMaxCountExceeded, FMaxCount));
  TStringList::SetCapacity(bounded);
}

// --- TMenuItem --------------------------------------------------------------

TMenuItem* TMenuItem::Add(std::unique_ptr<TMenuItem> item) {
  FItems.push_back(std::move(item));
  return FItems.back().get();
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
  return FItems[static_cast<size_t>(index)].get();
}

// --- TRecentFiles -----------------------------------------------------------

TRecentFiles::TRecentFiles() {
  SetCaseSensitive(false);
  SetMaxCount(4);
}

int TRecentFiles::AddFile(const std::string& fileName) {
  const int index = IndexOf(fileName);
  if (index < 0) {
    if (MaxCount() >= 0 && Count() >= MaxCount()) RemoveOldest();
    if (FPushAtEnd) return Add(fileName);
    Insert(0, fileName);
    return 0;
  }
  const int target = FPushAtEnd ? Count() - 1 : 0;
  Move(index, target);
  return target;
}

void TRecentFiles::RemoveOldest() {
  if (Count() == 0) return;
  Delete(FPushAtEnd ? 0 : Count() - 1);
}

void TRecentFiles::FillMenu(TMenuItem& parent, bool numbered, const TNotifyEvent& onClick) const {
  for (int i = 0; i < Count(); ++i) {
    auto item = std::make_unique<TMenuItem>();
    item->Caption = numbered ? IntToStr(i) + " " + Strings(i) : Strings(i);
    item->OnClick = onClick;
    parent.Add(std::move(item));
  }
}
