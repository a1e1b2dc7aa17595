#include "containers/GHashTable.h"

#include <cmath>
#include <limits>

#include "toolkit/ScopeGuard.h"

using namespace hashtable_messages;

namespace {
[[noreturn]] void TableError(const char* message) { throw EGHashtableError(message); }

/// Decimal digits of a non-negative value, most significant first; returns their count.
int Digits(uint64_t value, char (&out)[24]) {
  char reversed[24];
  int n = 0;
  do {
    reversed[n++] = static_cast<char>(value % 10);
    value /= 10;
  } while (value != 0);
  for (int i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
  return n;
}

uint64_t Number(const char* digits, int count) {
  uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = value * 10 + static_cast<uint64_t>(digits[i]);
  return value;
}

int DigitCount(int32_t value) {
  char digits[24];
  return Digits(static_cast<uint64_t>(value < 0 ? -static_cast<int64_t>(value) : value), digits);
}

inline uint32_t Magnitude(int32_t key) { return static_cast<uint32_t>(key) & 0x7FFFFFFFu; }

/// Round half to even, as the growth threshold is specified.
int64_t RoundThreshold(int32_t capacity, float loadFactor) {
  return static_cast<int64_t>(
      std::nearbyint(static_cast<double>(capacity) * static_cast<double>(loadFactor)));
}
}  // namespace

// --- TGHashtableEnumerator --------------------------------------------------

TGHashtableEnumerator::TGHashtableEnumerator(const TGCustomHashtable& table, bool keys)
    : FKeys(keys), FTable(table.FSelf) {
  Reset();
}

void TGHashtableEnumerator::Reset() {
  FEntry = nullptr;
  const TGCustomHashtable* table = *FTable;
  if (!table) TableError(STableChanged);
  FBucket = table->FCapacity;
  FRemaining = table->FCount;
  FVersion = table->FVersion;
}

void TGHashtableEnumerator::CheckUnchanged() const {
  if (!*FTable || FVersion != (*FTable)->FVersion) TableError(STableChanged);
}

bool TGHashtableEnumerator::HasNext() {
  CheckUnchanged();
  const TGCustomHashtable* table = *FTable;
  while (!FEntry && FBucket > 0) {
    --FBucket;
    FEntry = table->FBuckets[static_cast<size_t>(FBucket)];
  }
  return FEntry != nullptr;
}

int32_t TGHashtableEnumerator::Next() {
  if (!HasNext()) TableError(SNoSuchElement);
  const TGHashtableEntry* entry = FEntry;
  FEntry = entry->Next;
  FCurrentItem = FKeys ? entry->Key : entry->Value;
  --FRemaining;
  return FCurrentItem;
}

// --- TGCustomHashtable: life ------------------------------------------------

TGCustomHashtable::TGCustomHashtable(int capacity, float loadFactor) {
  CheckLoadFactor(loadFactor);
  FLoadFactor = loadFactor;
  FIterator = std::make_unique<TGHashtableEnumerator>(*this, true);
  SetCapacity(capacity);
  FIterator->Reset();
}

TGCustomHashtable::~TGCustomHashtable() {
  *FSelf = nullptr;
  OnChange = nullptr;
  FOwner = nullptr;
  FreeEntries();
}

void TGCustomHashtable::CheckLoadFactor(float value) {
  // A factor of 0 (or NaN) would make every Put grow the table; above 1.0
  // is outside the range the message states.
  if (!(value > 0.0f && value <= 1.0f)) TableError(SLoadFactorRange);
}

void TGCustomHashtable::FreeEntries() {
  for (int32_t b = FCapacity - 1; b >= 0; --b) {
    TGHashtableEntry* entry = FBuckets[static_cast<size_t>(b)];
    while (entry) {
      TGHashtableEntry* next = entry->Next;
      delete entry;
      entry = next;
    }
    FBuckets[static_cast<size_t>(b)] = nullptr;
  }
  FCount = 0;
  FCollisions = 0;
  FCachePosition = -1;
  ++FVersion;
}

// --- Hashing ----------------------------------------------------------------

int32_t TGCustomHashtable::Hash(int32_t key, int32_t capacity) const {
  if (key == 0) TableError(SArgumentIsNull);
  if (capacity <= 0) TableError(SSubscriptOutOfRange);
  int32_t index;
  switch (FHashType) {
    case TGHashType::htTruncation:
      index = HashTruncation(key, capacity);
      break;
    case TGHashType::htDivision:
      index = HashDivision(key, capacity);
      break;
    case TGHashType::htMidSquare:
      index = HashMidSquare(key, capacity);
      break;
    case TGHashType::htFolding:
      index = HashFolding(key, capacity);
      break;
    default:
      TableError(SSubscriptOutOfRange);
  }
  if (index < 0) TableError(SSubscriptOutOfRange);
  return index;
}

int32_t TGCustomHashtable::HashDivision(int32_t key, int32_t capacity) {
  return static_cast<int32_t>(Magnitude(key) % static_cast<uint32_t>(capacity));
}

int32_t TGCustomHashtable::HashTruncation(int32_t key, int32_t capacity) {
  char digits[24];
  const int m = Digits(Magnitude(key), digits);
  const int d = DigitCount(capacity);
  const uint64_t kept = m > d ? Number(digits + (m - d), d) : Number(digits, m);
  return static_cast<int32_t>(kept % static_cast<uint64_t>(capacity));
}

int32_t TGCustomHashtable::HashMidSquare(int32_t key, int32_t capacity) {
  const uint32_t square = (static_cast<uint32_t>(key) * static_cast<uint32_t>(key)) & 0x7FFFFFFFu;
  char digits[24];
  const int m = Digits(square, digits);
  const int d = DigitCount(capacity);
  // Positions count from 1: the kept digits start at m - m div 2 + 1.
  const uint64_t kept = (m / 2 > d) ? Number(digits + (m - m / 2), d) : Number(digits, m);
  return static_cast<int32_t>(kept % static_cast<uint64_t>(capacity));
}

int32_t TGCustomHashtable::HashFolding(int32_t key, int32_t capacity) {
  char digits[24];
  const int m = Digits(Magnitude(key), digits);
  char folded[24];
  int n = 0;
  folded[n++] = digits[0];
  for (int i = 1; i <= m; ++i)
    if (i % 2 == 0 || i % 3 == 0) folded[n++] = digits[i - 1];
  return static_cast<int32_t>(Number(folded, n) % static_cast<uint64_t>(capacity));
}

// --- Keyed access -----------------------------------------------------------

bool TGCustomHashtable::FindEntry(int32_t key, TGHashtableEntry*& entry) const {
  entry = nullptr;
  if (FCount == 0) return false;
  const int32_t index = Hash(key, FCapacity);
  for (TGHashtableEntry* e = FBuckets[static_cast<size_t>(index)]; e; e = e->Next) {
    if (e->Bucket == index && e->KeyEquals(key)) {
      entry = e;
      return true;
    }
  }
  return false;
}

int32_t TGCustomHashtable::Get(int32_t key) const {
  if (FCount == 0) TableError(STableIsEmpty);
  TGHashtableEntry* entry = nullptr;
  if (!FindEntry(key, entry)) TableError(SNoSuchElement);
  return entry->Value;
}

int32_t TGCustomHashtable::Put(int32_t key, int32_t value) { return PutEntry(key, value, true); }

int32_t TGCustomHashtable::PutEntry(int32_t key, int32_t value, bool mayGrow) {
  if (key == 0) TableError(SArgumentIsNull);
  if (FOwner) FOwner->BeforePut(this, key, value);
  // A table emptied to no buckets gets some back instead of dividing by zero.
  if (FCapacity == 0) SetCapacity(kDefaultCapacity);
  const int32_t index = Hash(key, FCapacity);
  TGHashtableEntry*& head = FBuckets[static_cast<size_t>(index)];
  for (TGHashtableEntry* e = head; e; e = e->Next) {
    if (e->KeyEquals(key)) {
      const int32_t old = e->Value;
      e->Value = value;
      Changed();
      return old;
    }
  }
  // Grows at most once per Put: after one growth the entry is stored
  // whatever the threshold says, so no load factor can make Put loop.
  if (!mayGrow || RoundThreshold(FCapacity, FLoadFactor) > FCount) {
    auto* entry = new TGHashtableEntry;
    entry->Bucket = index;
    entry->SetKey(key);
    entry->Value = value;
    entry->Next = head;
    if (head) ++FCollisions;
    head = entry;
    ++FCount;
    ++FVersion;
    if (FCachePosition >= 0 && index <= FCacheBucket) FCachePosition = -1;
    Changed();
    return 0;
  }
  Grow();
  const int32_t result = PutEntry(key, value, false);
  Changed();
  return result;
}

void TGCustomHashtable::Grow() {
  if (FCapacity > (std::numeric_limits<int32_t>::max() - 1) / 2) throw EOutOfMemory("Out of memory");
  SetCapacity(2 * FCapacity + 1);
}

int32_t TGCustomHashtable::Remove(int32_t key) {
  if (FCount == 0) TableError(STableIsEmpty);
  if (key == 0) TableError(SArgumentIsNull);
  if (FOwner) FOwner->BeforeRemove(this, key);
  const int32_t index = Hash(key, FCapacity);
  TGHashtableEntry* previous = nullptr;
  TGHashtableEntry* entry = FBuckets[static_cast<size_t>(index)];
  while (entry && !entry->KeyEquals(key)) {
    previous = entry;
    entry = entry->Next;
  }
  if (!entry) TableError(SNoSuchElement);

  if (FCachePosition > 0 && FCacheEntry == entry && FCount > 1)
    EntryAt(FCachePosition - 1);  // entries before the removed one keep their positions
  else
    FCachePosition = -1;

  if (previous) {
    previous->Next = entry->Next;
    --FCollisions;
  } else {
    FBuckets[static_cast<size_t>(index)] = entry->Next;
    if (entry->Next) --FCollisions;
  }
  --FCount;
  ++FVersion;
  const int32_t value = entry->Value;
  delete entry;
  Changed();
  return value;
}

bool TGCustomHashtable::ContainsValue(int32_t value) const {
  if (FCount == 0) return false;
  for (int32_t b = FCapacity - 1; b >= 0; --b)
    for (const TGHashtableEntry* e = FBuckets[static_cast<size_t>(b)]; e; e = e->Next)
      if (e->Value == value) return true;
  return false;
}

void TGCustomHashtable::Clear() {
  if (FCount == 0) return;
  if (FOwner) FOwner->BeforeClear(this);
  FreeEntries();
  Changed();
}

// --- Settings ---------------------------------------------------------------

void TGCustomHashtable::SetCapacity(int value) {
  FCachePosition = -1;
  if (value == FCapacity) return;
  if (value < 0) TableError(SSubscriptOutOfRange);
  if (value == 0) {
    // Entries cannot live without buckets: free them rather than leak them.
    FreeEntries();
    FBuckets.reset();
    FCapacity = 0;
    return;
  }
  auto buckets = std::make_unique<TGHashtableEntry*[]>(static_cast<size_t>(value));  // all none
  std::unique_ptr<TGHashtableEntry*[]> old = std::move(FBuckets);
  const int32_t oldCapacity = FCount != 0 ? FCapacity : 0;
  FBuckets = std::move(buckets);
  FCapacity = value;
  FCollisions = 0;
  ++FVersion;
  for (int32_t b = oldCapacity - 1; b >= 0; --b) {
    TGHashtableEntry* entry = old[static_cast<size_t>(b)];
    while (entry) {
      TGHashtableEntry* next = entry->Next;
      const int32_t index = Hash(entry->GetKey(), value);
      entry->Bucket = index;
      TGHashtableEntry*& head = FBuckets[static_cast<size_t>(index)];
      if (head) ++FCollisions;
      entry->Next = head;
      head = entry;
      entry = next;
    }
  }
}

void TGCustomHashtable::SetHashType(TGHashType value) {
  if (value == FHashType) return;
  if (FCount != 0) TableError(SNonEmptyTable);
  FHashType = value;
}

void TGCustomHashtable::SetLoadFactor(float value) {
  CheckLoadFactor(value);
  FLoadFactor = value;
}

// --- Notification -----------------------------------------------------------

void TGCustomHashtable::EndUpdate() {
  --FUpdateCount;
  if (FUpdateCount == 0) Changed();
}

void TGCustomHashtable::Changed() {
  if (FUpdateCount > 0) return;
  if (FOwner) FOwner->TableChanged(this);
  if (OnChange) OnChange(this);
}

// --- Iteration and positions ------------------------------------------------

std::unique_ptr<TGHashtableEnumerator> TGCustomHashtable::Keys() const {
  return std::make_unique<TGHashtableEnumerator>(*this, true);
}

std::unique_ptr<TGHashtableEnumerator> TGCustomHashtable::Values() const {
  return std::make_unique<TGHashtableEnumerator>(*this, false);
}

const TGHashtableEntry* TGCustomHashtable::EntryAt(int index) const {
  if (index < 0 || index >= FCount) throw EListError(Format(rtl::SListIndexError, index));
  auto firstFrom = [this](int32_t bucket, int32_t& found) -> const TGHashtableEntry* {
    for (int32_t b = bucket; b < FCapacity; ++b) {
      if (const TGHashtableEntry* e = FBuckets[static_cast<size_t>(b)]) {
        found = b;
        return e;
      }
    }
    return nullptr;
  };
  auto stepForward = [&]() {
    if (FCacheEntry->Next) {
      FCacheEntry = FCacheEntry->Next;
    } else {
      FCacheEntry = firstFrom(FCacheBucket + 1, FCacheBucket);
    }
    ++FCachePosition;
  };
  if (FCachePosition < 0 || index < FCachePosition - 1) {
    FCacheEntry = firstFrom(0, FCacheBucket);
    FCachePosition = 0;
  }
  if (index == FCachePosition - 1) {
    const TGHashtableEntry* head = FBuckets[static_cast<size_t>(FCacheBucket)];
    if (head != FCacheEntry) {
      const TGHashtableEntry* e = head;
      while (e->Next != FCacheEntry) e = e->Next;
      FCacheEntry = e;
    } else {
      int32_t b = FCacheBucket - 1;
      while (!FBuckets[static_cast<size_t>(b)]) --b;
      const TGHashtableEntry* e = FBuckets[static_cast<size_t>(b)];
      while (e->Next) e = e->Next;
      FCacheEntry = e;
      FCacheBucket = b;
    }
    --FCachePosition;
    return FCacheEntry;
  }
  while (FCachePosition < index) stepForward();
  return FCacheEntry;
}

int32_t TGCustomHashtable::KeyAt(int index) const { return EntryAt(index)->GetKey(); }

int32_t TGCustomHashtable::ValueAt(int index) const { return EntryAt(index)->Value; }

// --- Assignment -------------------------------------------------------------

void TGCustomHashtable::Assign(const TPersistent& source) {
  const auto* other = AssignSource<TPersistent>(*this, source);
  if (other == nullptr) return;
  Clear();
  SetLoadFactor(other->FLoadFactor);
  SetCapacity(other->FCapacity);
  SetHashType(other->FHashType);
  toolkit::TUpdateBracket update(*this);
  auto keys = other->Keys();
  while (keys->HasNext()) {
    const int32_t key = keys->Next();
    Put(key, other->Get(key));
  }
}
