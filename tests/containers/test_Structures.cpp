/// Tests for containers/Structures.cpp

#include "containers/Structures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

/// An item with a settable display name, as the document's items have.
class NamedItem : public TGCollectionItem {
 public:
  std::string ClassName() const override { return "NamedItem"; }
  std::string GetDisplayName() const override { return FName.empty() ? ClassName() : FName; }
  void SetDisplayName(const std::string& value) override {
    FName = value;
    TGCollectionItem::SetDisplayName(value);
  }

 private:
  std::string FName;
};

/// Holds a reference to a partner and forgets it when the partner goes,
/// as the document's contents items do for their topic.
class ReferringItem : public NamedItem {
 public:
  TGCollectionItem* Partner = nullptr;
  void Unlink(TGCollectionItem* other) override {
    if (other == Partner) Partner = nullptr;
    NamedItem::Unlink(other);
  }
};

std::vector<std::string> strings_of(const TStringList& list) {
  std::vector<std::string> result;
  for (int i = 0; i < list.Count(); ++i) result.push_back(list[i]);
  return result;
}

using Names = std::vector<std::string>;

// --- Links ------------------------------------------------------------------

TEST(GCollectionItem, LinkingTwiceKeepsOneLinkOnEachSide) {
  TGCollection topics(nullptr, TCollectionItemClass::Of<NamedItem>());
  TGCollection contents(nullptr, TCollectionItemClass::Of<NamedItem>());
  auto* a = static_cast<NamedItem*>(contents.Add());
  auto* b = static_cast<NamedItem*>(topics.Add());
  auto* c = static_cast<NamedItem*>(topics.Add());

  EXPECT_EQ(a->Link(b), 1);
  EXPECT_EQ(a->Link(b), 1);
  EXPECT_EQ(b->Link(a), 1);
  EXPECT_EQ(a->Link(c), 2);
  EXPECT_EQ(a->LinkCount(), 2);
  EXPECT_EQ(b->LinkCount(), 1);
  EXPECT_EQ(c->LinkCount(), 1);
  EXPECT_EQ(b->Links(0), a);
  EXPECT_EQ(a->Link(nullptr), 0);
  EXPECT_THROW(a->Links(2), EListError);

  a->Unlink(b);
  EXPECT_FALSE(a->IsLinkedTo(b));
  EXPECT_FALSE(b->IsLinkedTo(a));
  EXPECT_EQ(b->LinkCount(), 0);
  EXPECT_TRUE(a->IsLinkedTo(c));
}

TEST(GCollectionItem, DestroyingAnItemRemovesItFromItsPartners) {
  TGCollection topics(nullptr, TCollectionItemClass::Of<NamedItem>());
  TGCollection contents(nullptr, TCollectionItemClass::Of<ReferringItem>());
  auto* topic = static_cast<NamedItem*>(topics.Add());
  auto* other = static_cast<NamedItem*>(topics.Add());
  auto* entry1 = static_cast<ReferringItem*>(contents.Add());
  auto* entry2 = static_cast<ReferringItem*>(contents.Add());
  entry1->Partner = topic;
  entry2->Partner = topic;
  entry1->Link(topic);
  entry2->Link(topic);
  entry2->Link(other);

  // Given two entries that refer to one topic, when the topic goes by index,
  topics.Delete(0);
  // then both have forgotten it and keep their other links.
  EXPECT_EQ(entry1->Partner, nullptr);
  EXPECT_EQ(entry2->Partner, nullptr);
  EXPECT_EQ(entry1->LinkCount(), 0);
  EXPECT_EQ(entry2->LinkCount(), 1);
  EXPECT_TRUE(other->IsLinkedTo(entry2));

  // The other direction, with a plain delete: the topic no longer lists the entry.
  delete entry2;
  EXPECT_EQ(other->LinkCount(), 0);
  EXPECT_EQ(contents.Count(), 1);
}

TEST(GCollectionItem, ClearingACollectionUnlinksEveryItem) {
  auto topics = std::make_unique<TGCollection>(nullptr, TCollectionItemClass::Of<NamedItem>());
  TGCollection contents(nullptr, TCollectionItemClass::Of<ReferringItem>());
  std::vector<ReferringItem*> entries;
  for (int i = 0; i < 5; ++i) {
    auto* topic = topics->Add();
    auto* entry = static_cast<ReferringItem*>(contents.Add());
    entry->Partner = static_cast<TGCollectionItem*>(topic);
    entry->Link(static_cast<TGCollectionItem*>(topic));
    entries.push_back(entry);
  }
  topics.reset();  // the whole collection goes
  for (ReferringItem* entry : entries) {
    EXPECT_EQ(entry->Partner, nullptr);
    EXPECT_EQ(entry->LinkCount(), 0);
  }
}

TEST(GCollectionItem, SelfLinkIsHarmless) {
  TGCollection items(nullptr, TCollectionItemClass::Of<NamedItem>());
  auto* a = static_cast<NamedItem*>(items.Add());
  EXPECT_EQ(a->Link(a), 1);
  EXPECT_EQ(a->LinkCount(), 1);
  items.Clear();
  EXPECT_EQ(items.Count(), 0);
}

// --- Export and search ------------------------------------------------------

TEST(GCollection, ExportsDisplayNamesWithTheItemsAttached) {
  TGCollection items(nullptr, TCollectionItemClass::Of<NamedItem>());
  TStringList list;
  list.Add("stale");
  int changes = 0;
  list.OnChange = [&](TObject*) { ++changes; };

  list.Assign(items);  // an empty collection exports an empty list
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(changes, 1);

  items.Add()->SetDisplayName("Intro");
  items.Add();
  changes = 0;
  list.Assign(items);
  EXPECT_EQ(strings_of(list), (Names{"Intro", "NamedItem"}));
  EXPECT_EQ(list.Objects(0), items.Items(0));
  EXPECT_EQ(list.Objects(1), items.Items(1));
  EXPECT_EQ(changes, 1);  // one bracket for the whole export
}

TEST(GCollection, IndexOfDisplayNameFindsTheFirstExactMatch) {
  TGCollection items(nullptr, TCollectionItemClass::Of<NamedItem>());
  for (const char* name : {"alpha", "Beta", "beta", "Beta"}) items.Add()->SetDisplayName(name);
  EXPECT_EQ(items.IndexOfDisplayName("Beta"), 1);
  EXPECT_EQ(items.IndexOfDisplayName("beta"), 2);
  EXPECT_EQ(items.IndexOfDisplayName("BETA"), -1);
  EXPECT_EQ(items.IndexOfDisplayName(""), -1);
}

TEST(GCollection, KnowsItsOwner) {
  TStringList owner;
  TGCollection items(&owner, TCollectionItemClass::Of<NamedItem>());
  EXPECT_EQ(items.Owner(), &owner);
}

// --- Bounded lists ----------------------------------------------------------

TEST(MaxCountStrings, RefusesTheStringPastTheBound) {
  TMaxCountStrings list;
  EXPECT_EQ(list.MaxCount(), -1);
  list.SetMaxCount(2);
  EXPECT_EQ(list.Capacity(), 2);
  list.Add("one");
  list.Add("two");
  try {
    list.Add("three");
    FAIL() << "no error";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "String List Max Count exceeded: 2");
  }
  EXPECT_EQ(strings_of(list), (Names{"one", "two"}));
  // Clearing shrinks the capacity and the bound still holds afterwards.
  list.Clear();
  list.Add("a");
  list.Add("b");
  EXPECT_THROW(list.Add("c"), EStringListError);
}

TEST(MaxCountStrings, BoundSettingRules) {
  TMaxCountStrings list;
  list.SetMaxCount(-5);  // below -1: ignored
  EXPECT_EQ(list.MaxCount(), -1);
  for (int i = 0; i < 30; ++i) list.Add(std::to_string(i));
  const int capacity = list.Capacity();
  // Lowering the bound removes nothing; the list takes strings until its
  // larger capacity is used up, then refuses.
  list.SetMaxCount(3);
  EXPECT_EQ(list.Count(), 30);
  EXPECT_EQ(list.Capacity(), capacity);
  while (list.Count() < capacity) list.Add("x");
  EXPECT_THROW(list.Add("y"), EStringListError);
  EXPECT_EQ(list.Count(), capacity);

  TMaxCountStrings zero;
  zero.SetMaxCount(0);
  EXPECT_THROW(zero.Add("a"), EStringListError);
  zero.Clear();  // nothing to clear, nothing to refuse
}

TEST(MaxCountStrings, GrowsByTheListRuleUpToTheBound) {
  TMaxCountStrings list;
  list.SetMaxCount(100);  // reserves the whole bound at once
  EXPECT_EQ(list.Capacity(), 100);
  for (int i = 0; i < 100; ++i) list.Add("s");
  EXPECT_THROW(list.Add("s"), EStringListError);
}

struct RecentCase {
  const char* name;
  bool pushAtEnd;
  int maxCount;
  Names added;
  Names expected;
  int lastIndex;
};

class RecentFilesCases : public ::testing::TestWithParam<RecentCase> {};

TEST_P(RecentFilesCases, KeepsTheNewestInItsPlace) {
  const RecentCase& c = GetParam();
  TRecentFiles files;
  files.SetPushAtEnd(c.pushAtEnd);
  files.SetMaxCount(c.maxCount);
  int index = -1;
  for (const std::string& name : c.added) index = files.AddFile(name);
  EXPECT_EQ(strings_of(files), c.expected);
  EXPECT_EQ(index, c.lastIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RecentFilesCases,
    ::testing::Values(
        RecentCase{"NewestFirstDropsOldest", false, 4, {"a", "b", "c", "d", "e"}, {"e", "d", "c", "b"}, 0},
        RecentCase{"NewestLastMovesKnownName", true, 4, {"a", "b", "c", "a"}, {"b", "c", "a"}, 2},
        RecentCase{"NewestLastDropsOldest", true, 2, {"a", "b", "c"}, {"b", "c"}, 1},
        RecentCase{"CaseOfStoredNameKept",
                   false,
                   4,
                   {"C:\\Docs\\A.qcp", "b", "c:\\docs\\a.QCP"},
                   {"C:\\Docs\\A.qcp", "b"},
                   0},
        RecentCase{"KnownNameAtFullList", false, 3, {"a", "b", "c", "b"}, {"b", "c", "a"}, 0}),
    [](const ::testing::TestParamInfo<RecentCase>& info) { return std::string(info.param.name); });

TEST(RecentFiles, DefaultsAndRemoveOldest) {
  TRecentFiles files;
  EXPECT_EQ(files.MaxCount(), 4);
  EXPECT_FALSE(files.PushAtEnd());
  EXPECT_FALSE(files.CaseSensitive());
  files.RemoveOldest();  // empty: nothing
  files.AddFile("a");
  files.AddFile("b");
  files.RemoveOldest();
  EXPECT_EQ(strings_of(files), (Names{"b"}));
  files.SetPushAtEnd(true);
  files.AddFile("c");
  files.RemoveOldest();
  EXPECT_EQ(strings_of(files), (Names{"c"}));
}

TEST(RecentFiles, FillMenuAddsOneClickableEntryPerName) {
  TRecentFiles files;
  files.AddFile("old.qcp");
  files.AddFile("new.qcp");
  TMenuItem menu;
  std::vector<std::string> clicked;
  files.FillMenu(menu, true,
                 [&](TObject* sender) { clicked.push_back(static_cast<TMenuItem*>(sender)->Caption); });
  files.FillMenu(menu, false, nullptr);
  ASSERT_EQ(menu.Count(), 4);
  EXPECT_EQ(menu.Items(0)->Caption, "0 new.qcp");
  EXPECT_EQ(menu.Items(1)->Caption, "1 old.qcp");
  EXPECT_EQ(menu.Items(2)->Caption, "new.qcp");
  menu.Items(1)->Click();
  menu.Items(3)->Click();  // no handler: nothing happens
  EXPECT_EQ(clicked, (Names{"1 old.qcp"}));
  EXPECT_THROW(menu.Items(4), EListError);
}

}  // namespace
