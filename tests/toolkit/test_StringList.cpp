/// Tests for toolkit/Classes.cpp: the string list

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/Classes.h"

namespace {

using Names = std::vector<std::string>;

Names strings_of(const TStringList& list) {
  Names result;
  for (int i = 0; i < list.Count(); ++i) result.push_back(list[i]);
  return result;
}

/// Records every capacity the list asks for.
class CapacityLog : public TStringList {
 public:
  std::vector<int> requests;
  void SetCapacity(int newCapacity) override {
    requests.push_back(newCapacity);
    TStringList::SetCapacity(newCapacity);
  }
};

TEST(StringList, GrowsThroughSetCapacityByTheRule) {
  CapacityLog list;
  for (int i = 0; i < 100; ++i) list.Add("s");
  // +4 while at most 8, +16 while at most 64, then a quarter.
  EXPECT_EQ(list.requests, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
  EXPECT_EQ(list.Capacity(), 118);
  EXPECT_THROW(list.SetCapacity(50), EStringListError);  // below Count
  EXPECT_EQ(list.Count(), 100);
}

TEST(StringList, SortedWithDuplicates) {
  struct Case {
    const char* name;
    TDuplicates duplicates;
    Names expected;
    bool raises;
  };
  for (const Case& c : {Case{"ignore", TDuplicates::dupIgnore, {"a", "B", "c"}, false},
                        Case{"accept", TDuplicates::dupAccept, {"a", "b", "B", "c"}, false},
                        Case{"error", TDuplicates::dupError, {"a", "B", "c"}, true}}) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.duplicates);
    for (const char* s : {"c", "a", "B"}) list.Add(s);
    bool raised = false;
    try {
      list.Add("b");  // equal to "B" ignoring case; accepted ones go before their equals
    } catch (const EStringListError& e) {
      raised = true;
      EXPECT_EQ(e.Message(), "String list does not allow duplicates");
    }
    EXPECT_EQ(raised, c.raises) << c.name;
    EXPECT_EQ(strings_of(list), c.expected) << c.name;
  }
}

TEST(StringList, SortedListRefusesPositionalChangesWithoutLosingData) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"b", "a", "c"}) list.Add(s);
  EXPECT_THROW(list.Insert(0, "z"), EStringListError);
  EXPECT_THROW(list.SetStrings(0, "z"), EStringListError);
  EXPECT_THROW(list.Move(0, 2), EStringListError);
  EXPECT_EQ(strings_of(list), (Names{"a", "b", "c"}));
}

TEST(StringList, IndexOfHonoursCaseSensitivity) {
  TStringList list;
  list.Add("Alpha");
  list.Add("alpha");
  EXPECT_EQ(list.IndexOf("ALPHA"), 0);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf("alpha"), 1);
  EXPECT_EQ(list.IndexOf("ALPHA"), -1);

  TStringList sorted;
  sorted.SetSorted(true);
  for (const char* s : {"delta", "Bravo", "alpha", "Charlie"}) sorted.Add(s);
  EXPECT_EQ(strings_of(sorted), (Names{"alpha", "Bravo", "Charlie", "delta"}));
  EXPECT_EQ(sorted.IndexOf("CHARLIE"), 2);
  EXPECT_EQ(sorted.IndexOf("echo"), -1);
}

TEST(StringList, SetTextAcceptsEveryLineEnd) {
  struct Case {
    const char* name;
    std::string text;
    Names expected;
  };
  const std::vector<Case> cases = {
      {"crlf", "a\r\nb\r\n", {"a", "b"}},         {"lf no final", "a\nb", {"a", "b"}},
      {"lone cr", "a\rb\r", {"a", "b"}},          {"empty lines", "\r\n\n\r", {"", "", ""}},
      {"lf cr is two", "a\n\rb", {"a", "", "b"}}, {"empty", "", {}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.Add("old");
    list.SetText(c.text);
    EXPECT_EQ(strings_of(list), c.expected) << c.name;
  }
  TStringList list;
  list.SetText("x\ny");
  EXPECT_EQ(list.Text(), "x\r\ny\r\n");
}

TEST(StringList, NotificationsWithUpdateBrackets) {
  TStringList list;
  std::vector<std::string> log;
  list.OnChanging = [&](TObject*) { log.push_back("changing"); };
  list.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    log.push_back("change");
  };
  list.Add("a");
  EXPECT_EQ(log, (Names{"changing", "change"}));
  log.clear();
  list.BeginUpdate();
  list.Add("b");
  list.Delete(0);
  list.BeginUpdate();
  list.Add("c");
  list.EndUpdate();
  EXPECT_EQ(log, (Names{"changing"}));
  list.EndUpdate();
  EXPECT_EQ(log, (Names{"changing", "change"}));
  log.clear();
  list.SetText("1\n2\n3");
  EXPECT_EQ(log, (Names{"changing", "change"}));
  log.clear();
  list.Clear();
  list.Clear();  // already empty: no notice
  EXPECT_EQ(log, (Names{"changing", "change"}));
}

TEST(StringList, ObjectsMoveExchangeAndErrors) {
  TStringList list;
  TObject a, b;
  list.AddObject("a", &a);
  list.AddObject("b", &b);
  list.Add("c");
  list.Move(0, 2);
  EXPECT_EQ(strings_of(list), (Names{"b", "c", "a"}));
  EXPECT_EQ(list.Objects(2), &a);
  list.Exchange(0, 2);
  EXPECT_EQ(list.Objects(0), &a);
  EXPECT_EQ(list.IndexOfObject(&b), 2);
  try {
    list.Strings(3);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (3)");
  }
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.Insert(4, "x"), EStringListError);
  EXPECT_THROW(list.Move(0, 3), EStringListError);
  EXPECT_EQ(list.Count(), 3);

  TStringList copy(list);
  EXPECT_TRUE(copy.Equals(list));
  EXPECT_EQ(copy.Objects(0), &a);
}

TEST(StringList, AssignAndAddStringsFromItself) {
  TStringList list;
  list.Add("a");
  list.Add("b");
  list.Assign(list);
  EXPECT_EQ(strings_of(list), (Names{"a", "b"}));
  list.AddStrings(list);
  EXPECT_EQ(strings_of(list), (Names{"a", "b", "a", "b"}));
}

}  // namespace
