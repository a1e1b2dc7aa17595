/// Tests for QuillcrafterDocImport.cpp: importing topic records with
/// renumbering and link remapping, importing contents lines with re-levelling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"

namespace {

struct Record {
  int32_t id;
  std::string body;  // one text line
  std::string contextString;
  std::string browse;  // row 7 as written
};

std::string Lines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& line : lines) s += line + "\r\n";
  return s;
}

std::string Records(const std::vector<Record>& records) {
  std::vector<std::string> lines{std::to_string(records.size())};
  for (const Record& r : records) {
    const std::vector<std::string> record{
        std::to_string(r.id),
        r.contextString.empty() ? "Inkwells" + std::to_string(r.id) : r.contextString,
        "Title " + std::to_string(r.id),
        "kw",
        "",
        "",
        r.browse,
        "Done",
        "",
        "",
        "",
        "TRUE",
        "1",
        r.body};
    lines.insert(lines.end(), record.begin(), record.end());
  }
  return Lines(lines);
}

/// A document holding topics 1 to 10 (increment 1, no grid), each with a
/// link to the next one.
void FillOneToTen(TQuillcrafterDoc& doc) {
  for (int32_t id = 1; id <= 10; ++id) {
    TQCTopic* topic = doc.Topics().Add();
    topic->SetTopicID(id);
    topic->SetWholeText("\\{linkID=" + std::to_string(id + 1) + "\\}");
  }
  doc.SetModified(false);
}

std::vector<int32_t> IDs(const TQuillcrafterDoc& doc) {
  std::vector<int32_t> ids;
  for (int i = 0; i < doc.Topics().Count(); ++i) ids.push_back(doc.Topics()[i]->TopicID());
  return ids;
}

TQCTopic* ByID(TQuillcrafterDoc& doc, int32_t id) {
  const int index = doc.Topics().IndexOfTopicID(id);
  return index < 0 ? nullptr : doc.Topics()[index];
}

void Import(TQuillcrafterDoc& doc, const std::string& data, int32_t desiredID = -1, bool select = false) {
  TMemoryStream memory(data);
  TGTextStream text(memory);
  doc.ImportTopics(desiredID, text, select);
}

TEST(ImportTopics, CollidingIDsAreRenumberedUpwardAndLinksFollow) {
  // Given a document with IDs 1 to 10
  TQuillcrafterDoc doc;
  FillOneToTen(doc);
  // When topics 1, 2, 3 are imported, the first linking to 2 and to 5
  Import(doc,
         Records({{1, "see \\{linkID=%2\\} and \\{linkID=5\\}", "", "main:000001"},
                  {2, "back to \\{linkID=*1\\}", "Custom", ""},
                  {3, "\\{linkID=3\\}", "", ""}}),
         -1, true);
  // Then they hold 12, 11 and 14: each provisional ID counts as used
  EXPECT_EQ(IDs(doc), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}));
  TQCTopic* first = ByID(doc, 12);
  TQCTopic* second = ByID(doc, 11);
  TQCTopic* third = ByID(doc, 14);
  ASSERT_TRUE(first && second && third);
  EXPECT_EQ(first->Title(), "Title 1");
  EXPECT_EQ(second->Title(), "Title 2");
  EXPECT_EQ(third->Title(), "Title 3");
  // Links among the imported topics follow; a link to 5 stays
  EXPECT_EQ(first->Text()[0], "see \\{linkID=%11\\} and \\{linkID=5\\}");
  EXPECT_EQ(second->Text()[0], "back to \\{linkID=*12\\}");
  EXPECT_EQ(third->Text()[0], "\\{linkID=14\\}");
  // Context strings and browse numbers that named the old ID name the new one
  EXPECT_EQ(first->ContextString(), "Inkwells12");
  EXPECT_EQ(second->ContextString(), "Custom");
  EXPECT_EQ(first->BrowseSequence(), "main");
  EXPECT_EQ(first->BrowseSequenceNum(), 12);
  // The existing topics keep their links
  EXPECT_EQ(ByID(doc, 1)->Text()[0], "\\{linkID=2\\}");
  EXPECT_EQ(doc.Topics().SelectedCount(), 3);
  EXPECT_TRUE(first->Selected() && first->Bookmark());
  EXPECT_TRUE(doc.Modified());
}

TEST(ImportTopics, FreeIDsAreKeptAndNoLinkIsRewritten) {
  TQuillcrafterDoc doc;
  FillOneToTen(doc);
  Import(doc, Records({{50, "\\{linkID=\\cf1 51\\cf0 \\}", "", ""}, {51, "\\{linkID=50\\}", "", ""}}));
  EXPECT_EQ(ByID(doc, 50)->Text()[0], "\\{linkID=\\cf1 51\\cf0 \\}") << "identities rewrite nothing";
  EXPECT_EQ(ByID(doc, 51)->Text()[0], "\\{linkID=50\\}");
  EXPECT_EQ(doc.Topics().Count(), 12);
  EXPECT_EQ(doc.Topics().SelectedCount(), 0);
}

TEST(ImportTopics, TopicZeroCanBeImported) {
  // Topic IDs start at 0; the map must take that ID like any other.
  TQuillcrafterDoc doc;
  doc.Topics().Add();  // ID 0
  doc.Topics().Add();  // ID 1
  Import(doc, Records({{0, "\\{linkID=1\\}", "", ""}, {1, "\\{linkID=0\\}", "", ""}}));
  EXPECT_EQ(IDs(doc), (std::vector<int32_t>{0, 1, 2, 3}));
  // 0 collides (provisional 2 counts as used) and gets 3; 1 then gets 2.
  EXPECT_EQ(ByID(doc, 3)->Title(), "Title 0");
  EXPECT_EQ(ByID(doc, 3)->BrowseSequenceNum(), 0) << "a record without a browse number names no ID";
  EXPECT_EQ(ByID(doc, 3)->Text()[0], "\\{linkID=2\\}");
  EXPECT_EQ(ByID(doc, 2)->Text()[0], "\\{linkID=3\\}");
}

TEST(ImportTopics, DesiredIDIsTakenByTheFirstAndTheRestGoAbove) {
  TQuillcrafterDoc doc;
  FillOneToTen(doc);
  Import(doc, Records({{1, "", "", ""}, {2, "", "", ""}}), 20);
  // The second topic's provisional 21 counts as used when it looks upward from 20.
  EXPECT_EQ(ByID(doc, 20)->Title(), "Title 1");
  EXPECT_EQ(ByID(doc, 21), nullptr);
  EXPECT_EQ(ByID(doc, 22)->Title(), "Title 2");
}

TEST(ImportTopics, WithTheGridACollisionGoesToTheNextFreeMultiple) {
  TQuillcrafterDoc doc;
  doc.SetTopicGridEnabled(true);
  doc.Topics().Add()->SetTopicID(10);
  doc.Topics().Add()->SetTopicID(20);
  // The provisional ID is 30, so the topic wanting 10 passes 20 and 30.
  Import(doc, Records({{10, "\\{linkID=10\\}", "", ""}}));
  EXPECT_EQ(IDs(doc), (std::vector<int32_t>{10, 20, 40}));
  EXPECT_EQ(ByID(doc, 40)->Text()[0], "\\{linkID=40\\}");
}

TEST(ImportTopics, FailureRemovesTheImportedTopicsAndKeepsTheCurrentTopic) {
  TQuillcrafterDoc doc;
  FillOneToTen(doc);
  doc.SetTopicIndex(4);  // topic 5
  const std::string good = Records({{1, "", "", ""}});
  struct Case {
    const char* name;
    std::string data;
    const char* message;
  };
  const Case cases[] = {
      {"CutShort", good.substr(0, good.size() - 10) /* inside the text line */,
       "Unexpected end of file while reading a string list"},
      {"BadBrowseNumber", Records({{1, "", "", ""}, {2, "", "", "main:x"}}),
       "'x' is not a valid integer value"},
      {"BadLinkTarget", Records({{1, "\\{linkID=one\\}", "", ""}, {2, "", "", ""}}),
       "\"'one' is not a valid integer value\" error detected in topic #12: Title 1"},
      {"MissingCount", "", "Unexpected end of file while reading the imported topic count"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      Import(doc, c.data);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(IDs(doc), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(doc.TopicIndex(), 4);
    EXPECT_FALSE(doc.Modified());
  }
}

TEST(ImportTopics, CurrentTopicStaysOnItsTopicWhenImportsLandBeforeIt) {
  TQuillcrafterDoc doc;
  FillOneToTen(doc);
  ByID(doc, 10)->SetTopicID(100);
  doc.SetTopicIndex(9);  // topic 100
  Import(doc, Records({{50, "", "", ""}}));
  EXPECT_EQ(doc.Topics()[doc.TopicIndex()]->TopicID(), 100);
}

// --- ImportContents -------------------------------------------------------------------

void AddContents(TQuillcrafterDoc& doc, const std::vector<std::pair<int32_t, std::string>>& items) {
  for (const auto& [level, title] : items) {
    TQCContentsItem* item = doc.Contents().Add();
    item->SetLevel(level);
    item->SetTitle(title);
  }
}

std::string Levels(const TQuillcrafterDoc& doc) {
  std::string s;
  for (int i = 0; i < doc.Contents().Count(); ++i) {
    if (!s.empty()) s += ' ';
    s += std::to_string(doc.Contents()[i]->Level()) + doc.Contents()[i]->Title();
  }
  return s;
}

void ImportLines(TQuillcrafterDoc& doc, int index, const std::string& data, bool select = false) {
  TMemoryStream memory(data);
  TGTextStream text(memory);
  doc.ImportContents(index, text, select);
}

struct ContentsCase {
  const char* name;
  int index;
  std::string data;
  const char* expected;
};

void PrintTo(const ContentsCase& c, std::ostream* os) { *os << c.name; }

class ImportContentsTest : public testing::TestWithParam<ContentsCase> {};

TEST_P(ImportContentsTest, InsertsAndRelevels) {
  // Given the contents A(1) B(2) C(3) D(1)
  TQuillcrafterDoc doc;
  AddContents(doc, {{1, "A"}, {2, "B"}, {3, "C"}, {1, "D"}});
  ImportLines(doc, GetParam().index, GetParam().data, true);
  EXPECT_EQ(Levels(doc), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportContentsTest,
    testing::Values(
        // The block sits one below the item before Index, depths kept.
        ContentsCase{"UnderTheItemBefore", 2, Lines({"3", "1 X", "2 Y", "1 Z"}), "1A 2B 3X 4Y 3Z 3C 1D"},
        ContentsCase{"AtTheTopGoesToLevelOne", 0, Lines({"2", "4 X", "5 Y"}), "1X 2Y 1A 2B 3C 1D"},
        ContentsCase{"AppendGoesToLevelOne", -1, Lines({"2", "3 X", "4 Y"}), "1A 2B 3C 1D 1X 2Y"},
        ContentsCase{"AtTheEnd", 4, Lines({"1", "1 X"}), "1A 2B 3C 1D 2X"},
        // Existing items after the block keep their levels, however deep.
        ContentsCase{"FollowingItemsUntouched", 2, Lines({"1", "1 X"}), "1A 2B 3X 3C 1D"},
        ContentsCase{"DeeperFirstThenShallower", 1, Lines({"2", "3 X", "1 Y"}), "1A 2X 2Y 2B 3C 1D"},
        ContentsCase{"StopsAtTheEndOfTheData", 1, Lines({"5", "1 X", "2 Y"}) + "\r\n\r\n",
                     "1A 2X 3Y 2B 3C 1D"},
        ContentsCase{"NothingToImport", 1, Lines({"0"}), "1A 2B 3C 1D"},
        ContentsCase{"CountWithoutLines", 1, Lines({"3"}), "1A 2B 3C 1D"}),
    [](const testing::TestParamInfo<ContentsCase>& info) { return std::string(info.param.name); });

TEST(ImportContents, LinksAndSelectionOfTheImportedLines) {
  TQuillcrafterDoc doc;
  doc.Topics().Add()->SetTopicID(12);
  ImportLines(doc, -1, Lines({"2", "1 Getting started =Inkwells12", "2 Details"}), true);
  ASSERT_EQ(doc.Contents().Count(), 2);
  EXPECT_EQ(doc.Contents()[0]->Title(), "Getting started");
  EXPECT_EQ(doc.Contents()[0]->LinkedTopic(), doc.Topics()[0]);
  EXPECT_EQ(doc.Contents().SelectedCount(), 2);
}

TEST(ImportContents, FailureRemovesTheInsertedLines) {
  TQuillcrafterDoc doc;
  AddContents(doc, {{1, "A"}, {2, "B"}});
  doc.SetContentIndex(1);
  doc.SetModified(false);
  EXPECT_THROW(ImportLines(doc, 1, Lines({"3", "1 X", "two Y", "1 Z"})), EConvertError);
  EXPECT_EQ(Levels(doc), "1A 2B");
  EXPECT_EQ(doc.ContentIndex(), 1);
  EXPECT_FALSE(doc.Modified());
  EXPECT_THROW(ImportLines(doc, 3, Lines({"1", "1 X"})), EListError);
  EXPECT_THROW(ImportLines(doc, -2, Lines({"1", "1 X"})), EListError);
  EXPECT_EQ(Levels(doc), "1A 2B");
}

TEST(ImportContents, CurrentLineFollowsItsItem) {
  TQuillcrafterDoc doc;
  AddContents(doc, {{1, "A"}, {1, "B"}});
  doc.SetContentIndex(1);
  ImportLines(doc, 0, Lines({"2", "1 X", "1 Y"}));
  EXPECT_EQ(doc.Contents()[doc.ContentIndex()]->Title(), "B");
}

}  // namespace
