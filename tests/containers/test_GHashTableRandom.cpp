/// Randomized tests for containers/GHashTable.cpp against std::unordered_map

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <unordered_map>

#include "containers/GHashTable.h"

namespace {

using Pairs = std::map<int32_t, int32_t>;

struct RandomCase {
  const char* name;
  TGHashType hashType;
  int capacity;
  float loadFactor;
  int32_t keyRange;  // keys drawn from -keyRange .. keyRange (0 excluded)
  unsigned seed;
};

class HashTableRandom : public ::testing::TestWithParam<RandomCase> {};

// Every table invariant that positional access and the counters promise.
void expect_same_contents(const TGHashIntTable& table, const std::unordered_map<int32_t, int32_t>& model) {
  ASSERT_EQ(table.Count(), static_cast<int>(model.size()));
  std::map<int32_t, int32_t> walked;
  for (int i = 0; i < table.Count(); ++i) walked[table.KeyAt(i)] = table.ValueAt(i);
  ASSERT_EQ(walked, Pairs(model.begin(), model.end()));
  std::map<int32_t, int32_t> backwards;
  for (int i = table.Count() - 1; i >= 0; --i) backwards[table.KeyAt(i)] = table.ValueAt(i);
  ASSERT_EQ(backwards, walked);
  // Collisions = entries minus non-empty buckets; count buckets by walking positions.
  std::map<int32_t, int> perBucket;
  for (const auto& [key, value] : walked) ++perBucket[table.Hash(key, table.Capacity())];
  EXPECT_EQ(table.Collisions(), table.Count() - static_cast<int>(perBucket.size()));
}

TEST_P(HashTableRandom, BehavesLikeAMap) {
  const RandomCase& c = GetParam();
  std::mt19937 rng(c.seed);
  std::uniform_int_distribution<int32_t> keyDist(-c.keyRange, c.keyRange);
  std::uniform_int_distribution<int> opDist(0, 99);
  TGHashIntTable table(c.capacity, c.loadFactor);
  table.SetHashType(c.hashType);
  std::unordered_map<int32_t, int32_t> model;

  for (int step = 0; step < 6000; ++step) {
    int32_t key = keyDist(rng);
    if (key == 0) key = 1;
    const int op = opDist(rng);
    if (op < 55) {
      const int32_t value = static_cast<int32_t>(rng());
      const auto it = model.find(key);
      const int32_t expected = it == model.end() ? 0 : it->second;
      ASSERT_EQ(table.Put(key, value), expected) << "step " << step;
      model[key] = value;
    } else if (op < 75) {
      if (model.empty()) {
        EXPECT_THROW(table.Remove(key), EGHashtableError);
      } else if (model.count(key)) {
        ASSERT_EQ(table.Remove(key), model[key]) << "step " << step;
        model.erase(key);
      } else {
        EXPECT_THROW(table.Remove(key), EGHashtableError);
      }
    } else if (op < 95) {
      if (model.count(key))
        ASSERT_EQ(table.Get(key), model[key]);
      else
        EXPECT_FALSE(table.ContainsKey(key));
    } else if (op < 99) {
      // A positional probe at a random place, then a short walk from there.
      if (!model.empty()) {
        const int at = static_cast<int>(rng() % model.size());
        const int32_t k = table.KeyAt(at);
        ASSERT_EQ(table.ValueAt(at), model.at(k));
        if (at + 1 < table.Count()) table.KeyAt(at + 1);
        if (at > 0) {
          ASSERT_EQ(model.count(table.KeyAt(at - 1)), 1u);
        }
      }
    } else {
      expect_same_contents(table, model);
    }
  }
  expect_same_contents(table, model);

  // The iterator visits the same pairs in its own order.
  auto keys = table.Keys();
  std::map<int32_t, int32_t> iterated;
  while (keys->HasNext()) {
    const int32_t k = keys->Next();
    iterated[k] = table.Get(k);
  }
  EXPECT_EQ(iterated, Pairs(model.begin(), model.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Random, HashTableRandom,
    ::testing::Values(RandomCase{"DivisionSmallStart", TGHashType::htDivision, 1, 0.75f, 3000, 1},
                      RandomCase{"DivisionDefault", TGHashType::htDivision, 101, 0.75f, 100000, 2},
                      RandomCase{"DivisionFullRange", TGHashType::htDivision, 101, 0.75f, 2147483647, 3},
                      RandomCase{"Truncation", TGHashType::htTruncation, 11, 0.75f, 5000, 4},
                      RandomCase{"MidSquare", TGHashType::htMidSquare, 101, 1.0f, 2147483647, 5},
                      RandomCase{"Folding", TGHashType::htFolding, 5, 0.5f, 1000000, 6},
                      RandomCase{"DenseFewKeys", TGHashType::htDivision, 3, 1.0f, 40, 7}),
    [](const ::testing::TestParamInfo<RandomCase>& info) { return std::string(info.param.name); });

}  // namespace
