#pragma once
// A separate-chaining hash table from 32-bit keys to 32-bit values, with
// positional access (the n-th entry, cheap for walks by +1/-1), iterators,
// change notification with update brackets and four textbook hash methods
// that work on the decimal digits of the key. Keys are compared by value;
// key 0 is reserved ("Argument is null"). The table never owns what a value
// stands for.

#include <cstdint>
#include <memory>
#include <string>

#include "toolkit/Classes.h"

/// Every error of the hash tables.
QC_DECLARE_EXCEPTION(EGHashtableError, Exception);

namespace hashtable_messages {
inline constexpr const char* SArgumentIsNull = "Argument is null";
inline constexpr const char* STableIsEmpty = "Table is empty";
inline constexpr const char* SNoSuchElement = "No such element";
inline constexpr const char* SSubscriptOutOfRange = "Subscript out of range";
inline constexpr const char* SNonEmptyTable = "Cannot perform this operation with non-empty table";
inline constexpr const char* SLoadFactorRange = "Load factor must be between 0.0 and 1.0";
inline constexpr const char* STableChanged = "Table changed during iteration";
}  // namespace hashtable_messages

enum class TGHashType : uint8_t { htTruncation = 0, htDivision = 1, htMidSquare = 2, htFolding = 3 };

class TGCustomHashtable;

/// Told about changes of a table it owns; every call comes before the change
/// it announces, except TableChanged.
class IHashTableOwner {
 public:
  virtual ~IHashTableOwner() = default;
  virtual void TableChanged(TGCustomHashtable* table) = 0;
  virtual void BeforePut(TGCustomHashtable* table, int32_t key, int32_t value) = 0;
  virtual void BeforeRemove(TGCustomHashtable* table, int32_t key) = 0;
  virtual void BeforeClear(TGCustomHashtable* table) = 0;
};

/// One key/value pair, linked into its bucket's chain.
struct TGHashtableEntry {
  int32_t Bucket = 0;
  int32_t Key = 0;
  int32_t Value = 0;
  TGHashtableEntry* Next = nullptr;

  int32_t GetKey() const { return Key; }
  void SetKey(int32_t key) { Key = key; }
  bool KeyEquals(int32_t key) const { return Key == key; }
};

/// An iterator over keys or values.
class IGIterator {
 public:
  virtual ~IGIterator() = default;
  /// The item returned last.
  virtual int32_t Current() const = 0;
  /// Items not yet returned.
  virtual int Remaining() const = 0;
  virtual bool HasNext() = 0;
  /// Raises EGHashtableError "No such element" past the end.
  virtual int32_t Next() = 0;
  virtual void Reset() = 0;
};

/// Walks a table bucket by bucket from the last to the first, each chain
/// from its head (not the positional order). A table changed after Reset
/// makes HasNext and Next raise "Table changed during iteration" instead of
/// reading entries that may be gone; so does an enumerator whose table was destroyed.
class TGHashtableEnumerator : public IGIterator {
 public:
  TGHashtableEnumerator(const TGCustomHashtable& table, bool keys);
  int32_t Current() const override { return FCurrentItem; }
  int Remaining() const override { return FRemaining; }
  bool HasNext() override;
  int32_t Next() override;
  void Reset() override;

 private:
  void CheckUnchanged() const;

  bool FKeys;
  int32_t FBucket = 0;
  /// Set to none by the table's destructor.
  std::shared_ptr<const TGCustomHashtable*> FTable;
  const TGHashtableEntry* FEntry = nullptr;
  int32_t FCurrentItem = 0;
  int FRemaining = 0;
  uint64_t FVersion = 0;
};

/// The hash table with all its behaviour.
class TGCustomHashtable : public TPersistent {
 public:
  static constexpr int kDefaultCapacity = 101;

  explicit TGCustomHashtable(int capacity = kDefaultCapacity, float loadFactor = 0.75f);
  ~TGCustomHashtable() override;
  TGCustomHashtable(const TGCustomHashtable&) = delete;
  TGCustomHashtable& operator=(const TGCustomHashtable&) = delete;
  std::string ClassName() const override { return "TGCustomHashtable"; }

  /// Raises "Table is empty", "Argument is null" or "No such element".
  int32_t Get(int32_t key) const;
  /// The entry of Key, or none; false on an empty table whatever the key.
  bool FindEntry(int32_t key, TGHashtableEntry*& entry) const;
  /// Stores Value under Key; returns the value it replaced, or 0 for a new key.
  int32_t Put(int32_t key, int32_t value);
  /// Removes Key; returns its value. Raises "Table is empty",
  /// "Argument is null" or "No such element".
  int32_t Remove(int32_t key);
  bool ContainsValue(int32_t value) const;
  /// Frees every entry (the capacity stays); no notice on an empty table.
  void Clear();

  /// The bucket of Key under the current hash method.
  int32_t Hash(int32_t key, int32_t capacity) const;
  static int32_t HashDivision(int32_t key, int32_t capacity);
  static int32_t HashTruncation(int32_t key, int32_t capacity);
  static int32_t HashMidSquare(int32_t key, int32_t capacity);
  static int32_t HashFolding(int32_t key, int32_t capacity);

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  /// The table's own key iterator.
  int32_t Next() { return FIterator->Next(); }
  void Reset() { FIterator->Reset(); }
  /// Fresh iterators over the keys or the values.
  std::unique_ptr<TGHashtableEnumerator> Keys() const;
  std::unique_ptr<TGHashtableEnumerator> Values() const;

  int Count() const { return FCount; }
  bool IsEmpty() const { return FCount == 0; }
  /// Count minus the number of non-empty buckets.
  int Collisions() const { return FCollisions; }
  /// Positional access: buckets in ascending order, each chain from its
  /// head. Raises EListError "List index out of bounds (%d)".
  int32_t KeyAt(int index) const;
  int32_t ValueAt(int index) const;

  int Capacity() const { return FCapacity; }
  /// Rehashes every entry into N buckets. 0 frees the entries and the
  /// buckets; a negative N raises "Subscript out of range".
  void SetCapacity(int value);
  TGHashType HashType() const { return FHashType; }
  /// Raises "Cannot perform this operation with non-empty table" for a
  /// change while the table holds entries.
  void SetHashType(TGHashType value);
  float LoadFactor() const { return FLoadFactor; }
  /// Accepts values above 0.0 up to 1.0, else raises
  /// "Load factor must be between 0.0 and 1.0".
  void SetLoadFactor(float value);

  IHashTableOwner* Owner() const { return FOwner; }
  void SetOwner(IHashTableOwner* owner) { FOwner = owner; }

  /// From another table: its keys and values, load factor, capacity and hash method.
  void Assign(const TPersistent& source) override;

  TNotifyEvent OnChange;

 protected:
  /// The change notice: to the owner and OnChange, outside update brackets.
  void Changed();
  void Grow();

 private:
  friend class TGHashtableEnumerator;
  const TGHashtableEntry* EntryAt(int index) const;
  int32_t PutEntry(int32_t key, int32_t value, bool mayGrow);
  void FreeEntries();
  static void CheckLoadFactor(float value);

  int32_t FCapacity = 0;
  int32_t FCollisions = 0;
  int32_t FCount = 0;
  TGHashType FHashType = TGHashType::htDivision;
  std::unique_ptr<TGHashtableEnumerator> FIterator;
  std::unique_ptr<TGHashtableEntry*[]> FBuckets;
  int32_t FUpdateCount = 0;
  float FLoadFactor = 0.75f;
  IHashTableOwner* FOwner = nullptr;
  /// Bumped by every structural change, so that iterators can tell.
  uint64_t FVersion = 0;
  /// Shared with every enumerator; cleared when the table dies.
  std::shared_ptr<const TGCustomHashtable*> FSelf = std::make_shared<const TGCustomHashtable*>(this);
  // Position cache: the last entry reached by position.
  mutable int FCachePosition = -1;
  mutable const TGHashtableEntry* FCacheEntry = nullptr;
  mutable int32_t FCacheBucket = 0;
};

/// The table as the rest of the code uses it.
class TGHashtable : public TGCustomHashtable {
 public:
  using TGCustomHashtable::TGCustomHashtable;
  std::string ClassName() const override { return "TGHashtable"; }
  bool ContainsKey(int32_t key) const {
    TGHashtableEntry* entry = nullptr;
    return FindEntry(key, entry);
  }
};

/// Integer keys to integer values.
class TGHashIntTable : public TGHashtable {
 public:
  using TGHashtable::TGHashtable;
  std::string ClassName() const override { return "TGHashIntTable"; }
};
