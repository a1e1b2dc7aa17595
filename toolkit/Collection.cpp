#include "toolkit/Collection.h"

#include <algorithm>

#include "toolkit/ScopeGuard.h"

namespace {
[[noreturn]] void ListError(const char* message, int data) { throw EListError(Format(message, data)); }
}  // namespace

// --- TCollectionItem --------------------------------------------------------

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::Free() {
  BeforeDestruction();
  if (FCollection) FCollection->RemoveItem(this);
  delete this;
}

void TCollectionItem::SetCollection(TCollection* value) {
  if (value == FCollection) return;
  // Checked before leaving the old collection so that a refused move does
  // not leave the item orphaned.
  if (value && !value->ItemClass().IsInstance(this)) ListError(rtl::SInvalidPropertyValue, 0);
  if (FCollection) FCollection->RemoveItem(this);
  if (value) value->InsertItem(this);
}

int TCollectionItem::Index() const { return FCollection ? FCollection->IndexOf(this) : -1; }

void TCollectionItem::SetIndex(int value) {
  const int current = Index();
  if (current < 0 || current == value) return;
  auto& items = FCollection->FItems;
  if (value < 0 || value >= static_cast<int>(items.size())) ListError(rtl::SListIndexError, value);
  TCollectionItem* self = items[static_cast<size_t>(current)];
  items.erase(items.begin() + current);
  items.insert(items.begin() + value, self);
  Changed(true);
}

void TCollectionItem::SetDisplayName(const std::string& /*value*/) { Changed(false); }

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

// --- TCollection ------------------------------------------------------------

TCollection::TCollection(const TCollectionItemClass& itemClass) : FItemClass(&itemClass) {}

TCollection::~TCollection() {
  FUpdateCount = 1;
  while (!FItems.empty()) FItems.back()->Free();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) ListError(rtl::SListIndexError, index);
  return FItems[static_cast<size_t>(index)];
}

int TCollection::IndexOf(const TCollectionItem* item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == id) return item;
  return nullptr;
}

TCollectionItem* TCollection::Adopt(TCollectionItem* item) {
  // An item that found no place in the collection is nobody's: it goes.
  toolkit::TScopeExit dropItem([item] { delete item; });
  item->SetCollection(this);
  dropItem.Dismiss();
  item->AfterConstruction();
  return item;
}

TCollectionItem* TCollection::Add() {
  TCollectionItem* item = Adopt(FItemClass->Construct(this));
  Added(item);
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  // Checked first so that a bad index does not leave a new item at the end.
  if (index < 0 || index > Count()) ListError(rtl::SListIndexError, index);
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, TCollectionNotification::cnDeleting);
  item->Free();
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  toolkit::TUpdateBracket update(*this);
  while (!FItems.empty()) FItems.back()->Free();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Notify(TCollectionItem* item, TCollectionNotification action) {
  switch (action) {
    case TCollectionNotification::cnAdded:
      Added(item);
      break;
    case TCollectionNotification::cnDeleting:
      Deleting(item);
      break;
    case TCollectionNotification::cnExtracting:
      break;
  }
}

void TCollection::InsertItem(TCollectionItem* item) {
  if (!FItemClass->IsInstance(item)) ListError(rtl::SInvalidPropertyValue, 0);
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
  SetItemName(item);
  Notify(item, TCollectionNotification::cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, TCollectionNotification::cnExtracting);
  // Searched from the back: Clear removes the last item first, so this keeps it linear.
  const auto it = std::find(FItems.rbegin(), FItems.rend(), item);
  if (it != FItems.rend()) FItems.erase(std::next(it).base());
  item->FCollection = nullptr;
  Changed();
}

void TCollection::Assign(const TPersistent& source) {
  const auto* other = AssignSource<TPersistent>(*this, source);
  if (other == nullptr) return;
  toolkit::TUpdateBracket update(*this);
  Clear();
  for (TCollectionItem* sourceItem : other->FItems) Add()->Assign(*sourceItem);
}
