#include "toolkit/Classes.h"

#include <algorithm>

#include "toolkit/ScopeGuard.h"
#include "toolkit/StoreChanged.h"

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::AssignTo(TPersistent& dest) const { dest.AssignError(this); }

void TPersistent::AssignError(const TPersistent* source) const {
  const std::string sourceName = source ? source->ClassName() : std::string("nil");
  throw EConvertError(Format(rtl::SAssignError, sourceName.c_str(), ClassName().c_str()));
}

// ---------------------------------------------------------------------------

TStringList::TStringList(const TStringList& other) : TPersistent() { Assign(other); }

TStringList& TStringList::operator=(const TStringList& other) {
  if (this != &other) Assign(other);
  return *this;
}

void TStringList::Error(const char* message, int data) const {
  // Messages without a placeholder ignore the data.
  throw EStringListError(Format(message, data));
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error(rtl::SListIndexError, index);
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].string;
}

void TStringList::SetStrings(int index, const std::string& s) {
  if (FSorted) Error(rtl::SSortedListError, 0);
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].string = s;
  Changed();
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)].object;
}

void TStringList::SetObjects(int index, TObject* object) {
  CheckIndex(index);
  Changing();
  FItems[static_cast<size_t>(index)].object = object;
  Changed();
}

void TStringList::SetCapacity(int newCapacity) {
  if (newCapacity < Count()) Error(rtl::SListCapacityError, newCapacity);
  FCapacity = newCapacity;
  FItems.reserve(static_cast<size_t>(newCapacity));
}

void TStringList::ReserveStorage(int count) {
  if (count > 0) FItems.reserve(static_cast<size_t>(count));
}

void TStringList::Grow() {
  int delta;
  if (FCapacity > 64)
    delta = FCapacity / 4;
  else if (FCapacity > 8)
    delta = 16;
  else
    delta = 4;
  SetCapacity(FCapacity + delta);
}

int TStringList::Add(const std::string& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const std::string& s, TObject* object) {
  int index;
  if (!FSorted) {
    index = Count();
  } else if (Find(s, index)) {
    switch (FDuplicates) {
      case TDuplicates::dupIgnore:
        return index;
      case TDuplicates::dupError:
        Error(rtl::SDuplicateString, 0);
      case TDuplicates::dupAccept:
        break;
    }
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::AddStrings(const TStringList& strings) {
  // The count is taken once: adding a list to itself doubles it instead of
  // growing without end.
  const int count = strings.Count();
  toolkit::TUpdateBracket update(*this);
  for (int i = 0; i < count; ++i) AddObject(strings.Strings(i), strings.Objects(i));
}

void TStringList::Insert(int index, const std::string& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const std::string& s, TObject* object) {
  if (FSorted) Error(rtl::SSortedListError, 0);
  if (index < 0 || index > Count()) Error(rtl::SListIndexError, index);
  InsertItem(index, s, object);
}

void TStringList::InsertItem(int index, const std::string& s, TObject* object) {
  Changing();
  if (Count() == FCapacity) Grow();
  FItems.insert(FItems.begin() + index, Item{s, object});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  FItems.erase(FItems.begin() + index);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  SetCapacity(0);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  // Refused before the string is taken out: the re-insert would fail on a
  // sorted list and the string would be lost.
  if (FSorted) Error(rtl::SSortedListError, 0);
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  toolkit::TUpdateBracket update(*this);
  Item item = FItems[static_cast<size_t>(curIndex)];
  Delete(curIndex);
  InsertObject(newIndex, item.string, item.object);
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
  Changed();
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return FCaseSensitive ? CompareStr(a, b) : CompareText(a, b);
}

int TStringList::IndexOf(const std::string& s) const {
  if (FSorted) {
    int index;
    return Find(s, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(FItems[static_cast<size_t>(i)].string, s) == 0) return i;
  return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<size_t>(i)].object == object) return i;
  return -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
  int low = 0, high = Count() - 1;
  bool found = false;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int c = CompareStrings(FItems[static_cast<size_t>(mid)].string, s);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != TDuplicates::dupAccept) low = mid;
      }
    }
  }
  index = low;
  return found;
}

void TStringList::Sort() {
  if (Count() < 2) return;
  Changing();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [this](const Item& a, const Item& b) { return CompareStrings(a.string, b.string) < 0; });
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (FSorted == value) return;
  if (value) Sort();
  FSorted = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (!StoreChanged(FCaseSensitive, value)) return;
  if (FSorted) Sort();
}

std::string TStringList::Text() const {
  size_t size = 0;
  for (const Item& item : FItems) size += item.string.size() + 2;
  std::string result;
  result.reserve(size);
  for (const Item& item : FItems) {
    result += item.string;
    result += "\r\n";
  }
  return result;
}

void TStringList::SetText(std::string_view text) {
  toolkit::TUpdateBracket update(*this);
  Clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    Add(std::string(text.substr(pos, end - pos)));
    if (end < text.size() && text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    pos = end;
  }
}

void TStringList::BeginUpdate() {
  if (FUpdateCount == 0) Changing();
  ++FUpdateCount;
}

void TStringList::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0) Changed();
}

void TStringList::Changed() {
  if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (FUpdateCount == 0 && OnChanging) OnChanging(this);
}

void TStringList::Assign(const TPersistent& source) {
  if (const auto* list = dynamic_cast<const TStringList*>(&source)) {
    if (list == this) return;  // clearing first would lose every string
    toolkit::TUpdateBracket update(*this);
    Clear();
    AddStrings(*list);
    return;
  }
  TPersistent::Assign(source);
}

bool TStringList::Equals(const TStringList& other) const {
  if (Count() != other.Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (FItems[static_cast<size_t>(i)].string != other.FItems[static_cast<size_t>(i)].string) return false;
  return true;
}
