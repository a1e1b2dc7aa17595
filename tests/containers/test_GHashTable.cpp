/// Tests for containers/GHashTable.cpp

#include "containers/GHashTable.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace hashtable_messages;

template <class F>
std::string error_of(F&& f) {
  try {
    f();
  } catch (const EGHashtableError& e) {
    return "EGHashtableError: " + e.Message();
  } catch (const Exception& e) {
    return "Exception: " + e.Message();
  }
  return "no error";
}

std::string table_error(const char* message) { return std::string("EGHashtableError: ") + message; }

TEST(GHashTable, SeventySeventhKeyGrowsTheTable) {
  TGHashIntTable table(101, 0.75f);
  for (int k = 1; k <= 76; ++k) table.Put(k * 7, k);
  EXPECT_EQ(table.Capacity(), 101);
  EXPECT_EQ(table.Count(), 76);

  table.Put(77 * 7, 77);
  EXPECT_EQ(table.Capacity(), 203);
  ASSERT_EQ(table.Count(), 77);
  for (int k = 1; k <= 77; ++k) EXPECT_EQ(table.Get(k * 7), k) << k;
}

TEST(GHashTable, PutOfExistingKeyReplacesWithoutGrowing) {
  TGHashIntTable table(101, 0.75f);
  for (int k = 1; k <= 76; ++k) table.Put(k, k);
  // When a new key would grow the table, an existing one must not.
  EXPECT_EQ(table.Put(5, 500), 5);
  EXPECT_EQ(table.Count(), 76);
  EXPECT_EQ(table.Capacity(), 101);
  EXPECT_EQ(table.Get(5), 500);
  EXPECT_EQ(table.Put(1000, 1), 0);
}

TEST(GHashTable, ErrorsOfKeyedAccess) {
  TGHashIntTable empty;
  TGHashIntTable one;
  one.Put(1, 10);
  TGHashtableEntry* entry = nullptr;

  struct Case {
    const char* name;
    std::function<void()> call;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"Get 0 on empty", [&] { empty.Get(0); }, table_error(STableIsEmpty)},
      {"Get 0 on non-empty", [&] { one.Get(0); }, table_error(SArgumentIsNull)},
      {"Get missing", [&] { one.Get(2); }, table_error(SNoSuchElement)},
      {"Remove on empty", [&] { empty.Remove(3); }, table_error(STableIsEmpty)},
      {"Remove 0", [&] { one.Remove(0); }, table_error(SArgumentIsNull)},
      {"Remove missing", [&] { one.Remove(2); }, table_error(SNoSuchElement)},
      {"Put 0", [&] { one.Put(0, 1); }, table_error(SArgumentIsNull)},
      {"FindEntry 0 on non-empty", [&] { one.FindEntry(0, entry); }, table_error(SArgumentIsNull)},
      {"iterator past the end",
       [&] {
         auto it = one.Keys();
         it->Next();
         it->Next();
       },
       table_error(SNoSuchElement)},
      {"KeyAt past the end", [&] { one.KeyAt(1); }, "Exception: List index out of bounds (1)"},
      {"ValueAt negative", [&] { one.ValueAt(-1); }, "Exception: List index out of bounds (-1)"},
      {"KeyAt on empty", [&] { empty.KeyAt(0); }, "Exception: List index out of bounds (0)"},
  };
  for (const Case& c : cases) EXPECT_EQ(error_of(c.call), c.expected) << c.name;
  // Nothing was changed by the failing calls.
  EXPECT_EQ(one.Count(), 1);
  EXPECT_EQ(one.Get(1), 10);
  EXPECT_EQ(empty.Count(), 0);
}

TEST(GHashTable, EmptyTableFindsNothingEvenForKeyZero) {
  TGHashtable table;
  TGHashtableEntry* entry = reinterpret_cast<TGHashtableEntry*>(1);
  EXPECT_FALSE(table.FindEntry(0, entry));
  EXPECT_EQ(entry, nullptr);
  EXPECT_FALSE(table.ContainsKey(0));
  EXPECT_FALSE(table.ContainsValue(0));
}

TEST(GHashTable, KeysSharingABucketStayApart) {
  TGHashIntTable table(101, 0.75f);
  // Three keys the table itself places in one bucket, and one elsewhere.
  std::vector<int32_t> shared;
  for (int32_t key = 1; shared.size() < 3; ++key)
    if (table.Hash(key, table.Capacity()) == table.Hash(5, table.Capacity())) shared.push_back(key);
  for (size_t i = 0; i < shared.size(); ++i) table.Put(shared[i], static_cast<int32_t>(10 * i));
  table.Put(-1, 99);
  for (size_t i = 0; i < shared.size(); ++i) EXPECT_EQ(table.Get(shared[i]), static_cast<int32_t>(10 * i));
  // Removing the middle one of a bucket keeps the others reachable and counted.
  table.Remove(shared[1]);
  EXPECT_FALSE(table.ContainsKey(shared[1]));
  EXPECT_EQ(table.Get(shared[0]), 0);
  EXPECT_EQ(table.Get(shared[2]), 20);
  EXPECT_EQ(table.Get(-1), 99);
  EXPECT_EQ(table.Count(), 3);
  EXPECT_GE(table.Collisions(), 1);
}

struct HashCase {
  const char* name;
  int32_t (*method)(int32_t, int32_t);
  int32_t key;
  int32_t capacity;
  int32_t expected;
};

class HashMethods : public ::testing::TestWithParam<HashCase> {};

TEST_P(HashMethods, GivesTheDigitBasedBucket) {
  const HashCase& c = GetParam();
  EXPECT_EQ(c.method(c.key, c.capacity), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HashMethods,
    ::testing::Values(
        HashCase{"FoldingExample", TGCustomHashtable::HashFolding, 123456789, 101, 1234689 % 101},
        HashCase{"FoldingOneDigit", TGCustomHashtable::HashFolding, 7, 101, 7},  // "7": first digit only
        HashCase{"FoldingNegativeKeyClearsSign", TGCustomHashtable::HashFolding, -123456789 - 1, 101,
                 // (-123456790) and 7FFFFFFF = 2024026858 -> "2" + digits 2,3,4,6,8,9,10
                 20242858 % 101},
        HashCase{"DivisionPlain", TGCustomHashtable::HashDivision, 106, 101, 5},
        HashCase{"DivisionNegative", TGCustomHashtable::HashDivision, -1, 101, 0x7FFFFFFF % 101},
        HashCase{"TruncationKeepsLastDigits", TGCustomHashtable::HashTruncation, 123456, 101, 456 % 101},
        HashCase{"TruncationShortKey", TGCustomHashtable::HashTruncation, 42, 101, 42},
        HashCase{"TruncationFourDigitCapacity", TGCustomHashtable::HashTruncation, 987654, 1009, 7654 % 1009},
        // 12345^2 = 152399025: 9 digits, 9 div 2 = 4 > 3: 3 digits from position 6: "902".
        HashCase{"MidSquareMiddleDigits", TGCustomHashtable::HashMidSquare, 12345, 101, 902 % 101},
        // 99^2 = 9801: 4 div 2 = 2 is not above 3 digits: all of it.
        HashCase{"MidSquareShort", TGCustomHashtable::HashMidSquare, 99, 101, 9801 % 101},
        // 100000^2 = 10^10 mod 2^32 = 1410065408: 10 digits, from position 6: "654".
        HashCase{"MidSquareWraps32Bits", TGCustomHashtable::HashMidSquare, 100000, 101, 654 % 101}),
    [](const ::testing::TestParamInfo<HashCase>& info) { return std::string(info.param.name); });

TEST(GHashTable, EveryHashMethodStoresAndFindsKeys) {
  for (TGHashType type :
       {TGHashType::htTruncation, TGHashType::htDivision, TGHashType::htMidSquare, TGHashType::htFolding}) {
    TGHashIntTable table;
    table.SetHashType(type);
    for (int k = -300; k <= 300; ++k)
      if (k != 0) table.Put(k * 9973, k);
    for (int k = -300; k <= 300; ++k)
      if (k != 0) {
        ASSERT_EQ(table.Get(k * 9973), k) << static_cast<int>(type);
      }
    EXPECT_EQ(table.Count(), 600);
  }
}

TEST(GHashTable, HashTypeChangesOnlyOnEmptyTable) {
  TGHashIntTable table;
  table.SetHashType(TGHashType::htFolding);
  EXPECT_EQ(table.HashType(), TGHashType::htFolding);
  table.Put(1, 1);
  table.SetHashType(TGHashType::htFolding);  // same value: accepted
  EXPECT_EQ(error_of([&] { table.SetHashType(TGHashType::htDivision); }), table_error(SNonEmptyTable));
  EXPECT_EQ(table.HashType(), TGHashType::htFolding);
  EXPECT_EQ(error_of([&] { table.SetHashType(static_cast<TGHashType>(1)); }), table_error(SNonEmptyTable));
}

TEST(GHashTable, InvalidHashMethodIsRefused) {
  TGHashIntTable table;
  table.SetHashType(static_cast<TGHashType>(9));
  EXPECT_EQ(error_of([&] { table.Put(1, 1); }), table_error(SSubscriptOutOfRange));
  EXPECT_EQ(table.Count(), 0);
}

TEST(GHashTable, LoadFactorRange) {
  TGHashIntTable table;
  for (float good : {0.75f, 1.0f, 0.1f, 0.01f}) {
    table.SetLoadFactor(good);
    EXPECT_EQ(table.LoadFactor(), good);
  }
  for (float bad : {0.0f, -0.5f, 1.5f, std::numeric_limits<float>::quiet_NaN()})
    EXPECT_EQ(error_of([&] { table.SetLoadFactor(bad); }), table_error(SLoadFactorRange)) << bad;
  EXPECT_EQ(error_of([] { TGHashIntTable t(101, 0.0f); }), table_error(SLoadFactorRange));
}

TEST(GHashTable, TinyLoadFactorStillStoresEveryKey) {
  // Each Put grows at most once, so a tiny factor costs buckets, not a hang.
  TGHashIntTable table(1, 0.01f);
  for (int k = 1; k <= 50; ++k) table.Put(k, k);
  EXPECT_EQ(table.Count(), 50);
  for (int k = 1; k <= 50; ++k) EXPECT_EQ(table.Get(k), k);
}

TEST(GHashTable, CapacityZeroAndNegative) {
  TGHashIntTable table;
  table.Put(3, 30);
  table.SetCapacity(0);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_FALSE(table.ContainsKey(3));
  EXPECT_EQ(error_of([&] { table.Get(3); }), table_error(STableIsEmpty));
  table.Put(4, 40);  // gets buckets back instead of dividing by zero
  EXPECT_EQ(table.Get(4), 40);
  EXPECT_EQ(error_of([&] { table.SetCapacity(-1); }), table_error(SSubscriptOutOfRange));
  EXPECT_EQ(table.Get(4), 40);
}

TEST(GHashTable, PositionalAccessAndIteratorVisitEveryKeyOnce) {
  TGHashIntTable table(7, 0.75f);
  std::set<int32_t> keys;
  for (int k = 1; k <= 40; ++k) {
    table.Put(k * 13 - 200, k);
    keys.insert(k * 13 - 200);
  }
  std::vector<int32_t> positional;
  for (int i = 0; i < table.Count(); ++i) positional.push_back(table.KeyAt(i));
  std::vector<int32_t> iterated;
  auto it = table.Keys();
  while (it->HasNext()) iterated.push_back(it->Next());
  EXPECT_EQ(it->Remaining(), 0);
  EXPECT_EQ(std::set<int32_t>(positional.begin(), positional.end()), keys);
  EXPECT_EQ(std::set<int32_t>(iterated.begin(), iterated.end()), keys);
  EXPECT_EQ(positional.size(), keys.size());
  EXPECT_EQ(iterated.size(), keys.size());
  EXPECT_NE(positional, iterated);

  // Walking backwards gives the same entries as walking forwards.
  for (int i = table.Count() - 1; i >= 0; --i) EXPECT_EQ(table.KeyAt(i), positional[i]);
  for (int i = 0; i < table.Count(); ++i) EXPECT_EQ(table.ValueAt(i), table.Get(positional[i]));
}

TEST(GHashTable, ValueIteratorAndOwnIterator) {
  TGHashIntTable table;
  table.Put(1, 100);
  table.Put(2, 200);
  auto values = table.Values();
  std::multiset<int32_t> seen;
  while (values->HasNext()) seen.insert(values->Next());
  EXPECT_EQ(seen, (std::multiset<int32_t>{100, 200}));
  EXPECT_EQ(values->Current(), *seen.find(values->Current()));

  table.Reset();
  std::set<int32_t> keys = {table.Next(), table.Next()};
  EXPECT_EQ(keys, (std::set<int32_t>{1, 2}));
  EXPECT_EQ(error_of([&] { table.Next(); }), table_error(SNoSuchElement));
}

TEST(GHashTable, IteratorRefusesToContinueOverAChangedTable) {
  TGHashIntTable table(3, 0.75f);
  table.Put(1, 1);
  table.Put(2, 2);
  auto it = table.Keys();
  it->Next();
  for (int k = 3; k < 20; ++k) table.Put(k, k);  // grows: the old buckets are gone
  EXPECT_EQ(error_of([&] { it->HasNext(); }), table_error(STableChanged));
  it->Reset();
  int n = 0;
  while (it->HasNext()) {
    it->Next();
    ++n;
  }
  EXPECT_EQ(n, 19);

  auto table2 = std::make_unique<TGHashIntTable>();
  table2->Put(1, 1);
  auto orphan = table2->Keys();
  table2.reset();
  EXPECT_EQ(error_of([&] { orphan->HasNext(); }), table_error(STableChanged));
}

TEST(GHashTable, ClearNotifiesOnlyWhenSomethingGoes) {
  TGHashIntTable table;
  int changes = 0;
  table.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &table);
    ++changes;
  };
  table.Clear();
  EXPECT_EQ(changes, 0);
  table.Put(1, 1);
  table.Put(2, 2);
  changes = 0;
  table.Clear();
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.Capacity(), 101);
}

TEST(GHashTable, UpdateBracketsHoldNoticesBack) {
  TGHashIntTable table;
  int changes = 0;
  table.OnChange = [&](TObject*) { ++changes; };
  table.BeginUpdate();
  table.BeginUpdate();
  for (int k = 1; k < 200; ++k) table.Put(k, k);
  table.Remove(5);
  table.EndUpdate();
  EXPECT_EQ(changes, 0);
  table.EndUpdate();
  EXPECT_EQ(changes, 1);
}

struct RecordingOwner : IHashTableOwner {
  std::vector<std::string> calls;
  void TableChanged(TGCustomHashtable*) override { calls.push_back("changed"); }
  void BeforePut(TGCustomHashtable*, int32_t key, int32_t value) override {
    calls.push_back("put " + std::to_string(key) + "=" + std::to_string(value));
  }
  void BeforeRemove(TGCustomHashtable*, int32_t key) override {
    calls.push_back("remove " + std::to_string(key));
  }
  void BeforeClear(TGCustomHashtable*) override { calls.push_back("clear"); }
};

TEST(GHashTable, OwnerHearsEveryChangeBeforeOnChange) {
  TGHashIntTable table;
  RecordingOwner owner;
  table.SetOwner(&owner);
  std::vector<std::string>* log = &owner.calls;
  table.OnChange = [log](TObject*) { log->push_back("OnChange"); };
  table.Put(1, 10);
  table.Remove(1);
  table.Put(2, 20);
  table.Clear();
  EXPECT_EQ(owner.calls,
            (std::vector<std::string>{"put 1=10", "changed", "OnChange", "remove 1", "changed", "OnChange",
                                      "put 2=20", "changed", "OnChange", "clear", "changed", "OnChange"}));
}

TEST(GHashTable, AssignCopiesEntriesAndSettings) {
  TGHashIntTable source(13, 0.5f);
  source.SetHashType(TGHashType::htFolding);
  for (int k = 1; k <= 30; ++k) source.Put(k * 31, -k);
  TGHashIntTable copy;
  copy.Put(99999, 1);
  copy.Assign(source);
  EXPECT_EQ(copy.Count(), 30);
  EXPECT_EQ(copy.Capacity(), source.Capacity());
  EXPECT_EQ(copy.HashType(), TGHashType::htFolding);
  EXPECT_EQ(copy.LoadFactor(), 0.5f);
  EXPECT_FALSE(copy.ContainsKey(99999));
  for (int k = 1; k <= 30; ++k) EXPECT_EQ(copy.Get(k * 31), -k);

  copy.Assign(copy);  // from itself: unchanged
  EXPECT_EQ(copy.Count(), 30);

  TStringList notATable;
  EXPECT_THROW(copy.Assign(notATable), EConvertError);
}

TEST(GHashTable, RemoveKeepsTheCacheOnTheWalk) {
  // Removing the entry just reached while walking backwards is the
  // document's pattern of "walk and drop"; every remaining entry stays reachable.
  TGHashIntTable table(5, 1.0f);
  for (int k = 1; k <= 20; ++k) table.Put(k, k);
  for (int i = table.Count() - 1; i >= 0; --i) {
    const int32_t key = table.KeyAt(i);
    if (key % 3 == 0) table.Remove(key);
  }
  std::set<int32_t> left;
  for (int i = 0; i < table.Count(); ++i) left.insert(table.KeyAt(i));
  std::set<int32_t> expected;
  for (int k = 1; k <= 20; ++k)
    if (k % 3 != 0) expected.insert(k);
  EXPECT_EQ(left, expected);
}

}  // namespace
