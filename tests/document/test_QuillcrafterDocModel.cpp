/// Tests for the document model: QuillcrafterDoc.cpp, QuillcrafterDocTopics.cpp,
/// QuillcrafterDocContents.cpp, QuillcrafterDocOptions.cpp and KVDeltaFont.cpp.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "tests/document/DocTestUtil.h"

using namespace doctest_util;

namespace {

std::vector<int32_t> IDs(const TQuillcrafterDoc& doc) {
  std::vector<int32_t> ids;
  for (int i = 0; i < doc.Topics().Count(); ++i) ids.push_back(doc.Topics().Items(i)->TopicID());
  return ids;
}

}  // namespace

// --- Topic IDs ------------------------------------------------------------------

TEST(NextTopicID, IncrementAndGrid) {
  TQuillcrafterDoc doc;
  TQCTopic* first = doc.Topics().Add();
  EXPECT_EQ(first->TopicID(), 0);
  EXPECT_EQ(first->ContextString(), "Inkwells0");
  EXPECT_EQ(doc.Topics().Add()->TopicID(), 1);
  doc.SetTopicIncrement(5);
  EXPECT_EQ(doc.Topics().Add()->TopicID(), 6);
  doc.SetTopicIncrement(0);  // refused
  EXPECT_EQ(doc.TopicIncrement(), 5);

  TQuillcrafterDoc grid;
  grid.SetTopicGridEnabled(true);
  for (int i = 0; i < 4; ++i) grid.Topics().Add();
  EXPECT_EQ(IDs(grid), (std::vector<int32_t>{0, 10, 20, 30}));
  grid.SetTopicGrid(0);  // refused
  EXPECT_EQ(grid.TopicGrid(), 10);
}

TEST(NextTopicID, StartsFromTheGivenTopicAndSkipsUsedIDs) {
  TQuillcrafterDoc doc;
  for (int32_t id : {5, 6, 7}) AddTopic(doc, id, "t");
  EXPECT_EQ(doc.NextTopicID(0), 8);
  EXPECT_EQ(doc.NextTopicID(-1), 8);
  EXPECT_EQ(doc.NextTopicID(99), 8);
  AddTopic(doc, 20, "t");
  EXPECT_EQ(doc.NextTopicID(0), 8);
  EXPECT_EQ(doc.NextTopicID(3), 21);
}

TEST(NextTopicID, WrapsInsteadOfOverflowing) {
  TQuillcrafterDoc doc;
  AddTopic(doc, INT32_MAX, "max");
  EXPECT_EQ(doc.NextTopicID(-2), INT32_MIN);
}

TEST(TopicIDSetter, MovesTheTopicAndRewritesTheContextString) {
  TQuillcrafterDoc doc;
  for (int32_t id : {1, 3, 5, 7}) AddTopic(doc, id, "t" + std::to_string(id));
  TQCTopic* five = doc.Topics().Items(2);
  five->SetContextString("custom");
  doc.SetTopicIndex(2);

  five->SetTopicID(3);  // in use: refused silently
  EXPECT_EQ(five->TopicID(), 5);
  EXPECT_EQ(five->ContextString(), "custom");

  five->SetTopicID(0);
  EXPECT_EQ(IDs(doc), (std::vector<int32_t>{0, 1, 3, 7}));
  EXPECT_EQ(doc.Topics().Items(0), five);
  EXPECT_EQ(five->ContextString(), "Inkwells0");
  EXPECT_EQ(doc.TopicIndex(), 0) << "the current topic follows the move";

  five->SetTopicID(9);
  EXPECT_EQ(IDs(doc), (std::vector<int32_t>{1, 3, 7, 9}));
  EXPECT_EQ(doc.TopicIndex(), 3);
  five->SetTopicID(4);
  EXPECT_EQ(IDs(doc), (std::vector<int32_t>{1, 3, 4, 7}));
}

// --- Title, equality, copies ---------------------------------------------------------

TEST(TitleSetter, ReplacesTheFirstOccurrenceInTheBody) {
  TQuillcrafterDoc doc;
  TQCTopic* topic = doc.Topics().Add();
  const std::string firstLine = topic->Text()[0];
  topic->SetTitle("Printing");
  EXPECT_EQ(topic->Text()[0], firstLine);
  EXPECT_EQ(topic->Text()[1],
            "{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 "
            "Printing\\cf0\\b0\\fs20\\par\\par }");

  TStringList twice;
  twice.Add("Printing and Printing");
  topic->SetText(twice);
  topic->SetTitle("Print");
  EXPECT_EQ(topic->Text()[0], "Print and Printing");

  TStringList none;
  none.Add("nothing here");
  topic->SetText(none);
  topic->SetTitle("Other");
  EXPECT_EQ(topic->Text()[0], "nothing here");
  EXPECT_EQ(topic->Title(), "Other");
}

TEST(IsEqual, ComparesEveryFieldAndTheWholeText) {
  TQuillcrafterDoc doc;
  TQCTopic* a = AddTopic(doc, 1, "A", {"line"});
  TQCTopic* b = AddTopic(doc, 2, "B", {"other"});
  EXPECT_FALSE(a->IsEqual(nullptr));
  EXPECT_FALSE(a->IsEqual(&doc));
  EXPECT_TRUE(a->IsEqual(a));

  // A copy by Assign keeps its own ID and context string: not equal.
  b->Assign(*a);
  EXPECT_EQ(b->Title(), "A");
  EXPECT_EQ(b->TopicID(), 2);
  EXPECT_EQ(b->ContextString(), "Inkwells2");
  EXPECT_FALSE(a->IsEqual(b));
  EXPECT_TRUE(a->TextEquals(*b));

  // A topic in another document with the same identity is equal after a text-only copy.
  TQuillcrafterDoc other;
  TQCTopic* c = AddTopic(other, 1, "A", {"changed"});
  EXPECT_FALSE(a->IsEqual(c));
  c->SetText(a->Text());
  EXPECT_TRUE(a->IsEqual(c));
  c->Text().SetStrings(0, "line ");  // a trailing blank counts
  EXPECT_FALSE(a->IsEqual(c));
}

TEST(IsEqual, WholeTextsCompareAsJoinedBytes) {
  TQCTopic a, b;
  TStringList split, joined;
  split.Add("x");
  split.Add("y");
  joined.Add("x\r\ny");
  a.SetText(split);
  b.SetText(joined);
  EXPECT_TRUE(a.TextEquals(b)) << "both whole texts are x CR LF y CR LF";
  joined.SetStrings(0, "x\ny");
  b.SetText(joined);
  EXPECT_FALSE(a.TextEquals(b));
  // Equal lines first, then the splits part: still the joined bytes.
  split.Insert(0, "same");
  joined.SetStrings(0, "x\r\ny");
  joined.Insert(0, "same");
  a.SetText(split);
  b.SetText(joined);
  EXPECT_TRUE(a.TextEquals(b));
  split.Add("");
  a.SetText(split);
  EXPECT_FALSE(a.TextEquals(b)) << "one more (empty) line is one more line break";
  EXPECT_FALSE(b.TextEquals(a));
}

TEST(TopicFields, EachFieldIsNamedComparedCopiedWrittenAndReadBack) {
  // Given a topic with a value of its own in every field
  TQuillcrafterDoc doc;
  TQCTopic* base = AddTopic(doc, 7, "Title", {"{\\rtf1 body", "\\par }"});
  base->SetContextString("ctx");
  base->SetKeywords("k");
  base->SetDelphiKeywords("dk");
  base->SetBuildTag("tag");
  base->SetBrowseSequence("Main");
  base->SetBrowseSequenceNum(3);
  base->SetStatus("Done");
  base->SetWindow("main");
  base->SetEntryMacro("Macro()");
  base->SetAKeywords("ak");
  base->SetBookmark(true);
  struct Case {
    const char* field;
    void (*edit)(TQCTopic& topic);
  };
  const Case cases[] = {
      {"TopicID",
       [](TQCTopic& t) {
         const std::string context = t.ContextString();
         t.SetTopicID(8);
         t.SetContextString(context);
       }},
      {"ContextString", [](TQCTopic& t) { t.SetContextString("other"); }},
      {"Title", [](TQCTopic& t) { t.SetTitle("Other"); }},
      {"Keywords", [](TQCTopic& t) { t.SetKeywords("K"); }},
      {"DelphiKeywords", [](TQCTopic& t) { t.SetDelphiKeywords("other"); }},
      {"BuildTag", [](TQCTopic& t) { t.SetBuildTag("other"); }},
      {"BrowseSequence", [](TQCTopic& t) { t.SetBrowseSequence("Side"); }},
      {"BrowseSequenceNum", [](TQCTopic& t) { t.SetBrowseSequenceNum(-4); }},
      {"Status", [](TQCTopic& t) { t.SetStatus("To Do"); }},
      {"Window", [](TQCTopic& t) { t.SetWindow("other"); }},
      {"EntryMacro", [](TQCTopic& t) { t.SetEntryMacro("Other()"); }},
      {"AKeywords", [](TQCTopic& t) { t.SetAKeywords("other"); }},
      {"Bookmark", [](TQCTopic& t) { t.SetBookmark(false); }},
      {"Text", [](TQCTopic& t) { t.Text().Add("one more line"); }},
  };
  std::vector<std::string> tableNames, caseNames;
  for (const TTopicField& field : TopicFields()) tableNames.emplace_back(field.Name);
  for (const Case& c : cases) caseNames.emplace_back(c.field);
  ASSERT_EQ(caseNames, tableNames) << "every field of the table has its case, in table order";

  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    // An Assign copies all but the identity
    TQuillcrafterDoc copyDoc;
    TQCTopic* copy = AddTopic(copyDoc, 99, "");
    copy->Assign(*base);
    EXPECT_EQ(DifferingFields(*base, *copy), (std::vector<std::string>{"TopicID", "ContextString"}));
    copy->SetTopicID(7);
    copy->SetContextString("ctx");
    ASSERT_TRUE(DifferingFields(*base, *copy).empty());
    ASSERT_TRUE(base->IsEqual(copy));
    // One field changed is the one difference, and IsEqual sees it
    c.edit(*copy);
    EXPECT_EQ(DifferingFields(*base, *copy), std::vector<std::string>{c.field});
    EXPECT_FALSE(base->IsEqual(copy));
    // And the file keeps the changed value
    TQuillcrafterDoc loaded;
    LoadBytes(loaded, SaveBytes(copyDoc));
    EXPECT_TRUE(DifferingFields(*copy, *loaded.Topics().Items(0)).empty());
  }
}

TEST(TopicsAssign, CopiesIDsThroughTheSetterSoDuplicatesCannotFollow) {
  // Given a document loaded from a file that holds ID 3 twice
  TQuillcrafterDoc source;
  AddTopic(source, 3, "three");
  AddTopic(source, 3131, "again three");
  std::vector<std::string> lines = SplitLines(SaveBytes(source));
  for (std::string& line : lines)
    if (line == "3131") line = "3";
  LoadBytes(source, JoinLines(lines));
  ASSERT_EQ(IDs(source), (std::vector<int32_t>{3, 3}));
  source.Topics().Items(0)->SetSelected(true);
  // When its topics are assigned to another document, the second cannot take ID 3
  TQuillcrafterDoc target;
  target.Topics().Assign(source.Topics());
  ASSERT_EQ(target.Topics().Count(), 2);
  EXPECT_EQ(IDs(target), (std::vector<int32_t>{3, 4}));
  EXPECT_TRUE(target.Topics().Items(0)->Selected());
  EXPECT_EQ(target.Topics().SelectedCount(), 1);
}

TEST(TopicsAssignTo, OneLinePerTopicWithTheTopicAttached) {
  TQuillcrafterDoc doc;
  TQCTopic* a = AddTopic(doc, 5, "");
  TQCTopic* b = AddTopic(doc, 12, "Printing");
  TStringList list;
  list.Add("stale");
  list.Assign(doc.Topics());
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], "TQCTopic (5)");
  EXPECT_EQ(list[1], "Printing (12)");
  EXPECT_EQ(list.Objects(0), a);
  EXPECT_EQ(list.Objects(1), b);
}

// --- Notices and Modified ----------------------------------------------------------------

TEST(Notices, TopicChangesReachTheDocument) {
  TQuillcrafterDoc doc;
  EventLog log;
  log.Attach(doc);
  TQCTopic* topic = doc.Topics().Add();
  EXPECT_EQ(log.events, (std::vector<std::string>{"AddTopic 0", "TopicChange none"}));
  EXPECT_TRUE(doc.Modified());
  doc.SetModified(false);
  log.events.clear();

  topic->SetKeywords("k");
  topic->SetKeywords("k");  // unchanged: no notice
  EXPECT_EQ(log.events, (std::vector<std::string>{"TopicChange 0"}));
  EXPECT_TRUE(doc.Modified());

  log.events.clear();
  topic->Text().Add("one more line");
  EXPECT_EQ(log.events, (std::vector<std::string>{"TopicChange 0"}));

  log.events.clear();
  doc.Topics().BeginUpdate();
  topic->SetWindow("w");
  topic->SetStatus("Done");
  doc.Topics().EndUpdate();
  EXPECT_EQ(log.events, (std::vector<std::string>{"TopicChange none"}));

  // A deletion by index is heard twice, a clear once per topic.
  AddTopic(doc, 1, "t");
  log.events.clear();
  doc.Topics().Delete(1);
  EXPECT_EQ(log.Count("DeleteTopic 1"), 2);
  log.events.clear();
  doc.Clear();
  EXPECT_EQ(log.Count("DeleteTopic 0"), 1);
  EXPECT_FALSE(doc.Modified());
  EXPECT_EQ(doc.TextMacros().Count(), 12);
  EXPECT_EQ(doc.Statuses().Count(), 4);
}

TEST(Notices, TopicIndexFollowsADeletionAtItsPlace) {
  TQuillcrafterDoc doc;
  for (int32_t id : {1, 2, 3}) AddTopic(doc, id, "t");
  doc.SetTopicIndex(2);
  doc.SetTopicIndex(3);  // out of range: ignored
  EXPECT_EQ(doc.TopicIndex(), 2);
  doc.Topics().Delete(2);
  EXPECT_EQ(doc.TopicIndex(), 1) << "told twice, but only the first notice finds it at its place";
  doc.Topics().Delete(0);
  EXPECT_EQ(doc.TopicIndex(), 1) << "a deletion elsewhere leaves it";
}

TEST(Notices, OptionsMarkTheDocumentButWebExportOptionsDoNot) {
  TQuillcrafterDoc doc;
  int changes = 0;
  doc.OnChange = [&](TObject*) { ++changes; };
  doc.Options().WebExportOptions().Next = "Onward";
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(doc.Modified());
  doc.Options().SetTitle("T");
  doc.Options().SetTitle("T");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(doc.Modified());
  doc.Options().Configuration().Add("x");
  EXPECT_EQ(changes, 2);
}

TEST(Notices, DestructionFiresNothing) {
  int events = 0;
  {
    TQuillcrafterDoc doc;
    AddTopic(doc, 1, "t");
    doc.Contents().Add()->SetLink("Inkwells1");
    doc.OnDeleteTopic = [&](TObject*, TQCTopic*) { ++events; };
    doc.OnContentsChange = [&](TObject*, TQCContentsItem*) { ++events; };
    doc.OnChange = [&](TObject*) { ++events; };
  }
  EXPECT_EQ(events, 0);
}

TEST(Notices, DefaultsKeepModified) {
  TQuillcrafterDoc doc;
  EXPECT_FALSE(doc.Modified());
  doc.TextMacros().Items(0)->Free();
  doc.SetModified(false);
  doc.AddDefaultTextMacros();
  EXPECT_EQ(doc.TextMacros().Count(), 12);
  EXPECT_FALSE(doc.Modified());
}

// --- Selection ----------------------------------------------------------------------------

TEST(Selection, CountFollowsFlagsRemovalsAndCopies) {
  TQuillcrafterDoc doc;
  TQCTopic* a = AddTopic(doc, 1, "a");
  TQCTopic* b = AddTopic(doc, 2, "b");
  a->SetSelected(true);
  b->SetSelected(true);
  b->SetSelected(true);
  EXPECT_EQ(doc.Topics().SelectedCount(), 2);
  // A copy of the flag keeps the count true (it must not drift, nor go
  // negative when the item later leaves).
  b->Assign(*AddTopic(doc, 3, "c"));
  EXPECT_FALSE(b->Selected());
  EXPECT_EQ(doc.Topics().SelectedCount(), 1);
  doc.Topics().Delete(0);
  EXPECT_EQ(doc.Topics().SelectedCount(), 0);
  doc.Topics().Clear();
  EXPECT_EQ(doc.Topics().SelectedCount(), 0);
}

// --- Contents ---------------------------------------------------------------------------------

TEST(Contents, LinksFollowTheirTopic) {
  TQuillcrafterDoc doc;
  TQCTopic* twelve = AddTopic(doc, 12, "Twelve");
  TQCContentsItem* item = doc.Contents().Add();
  item->SetLink("Inkwells12");
  EXPECT_EQ(item->LinkedTopic(), twelve);
  item->SetLink("Inkwells13");
  EXPECT_EQ(item->LinkedTopic(), nullptr);
  item->SetLink("Inkwells 12");
  EXPECT_EQ(item->LinkedTopic(), twelve);
  item->SetLink("Inkwells12x");
  EXPECT_EQ(item->LinkedTopic(), nullptr);
  item->SetLink("Inkwells12");

  // The topic goes away: the item forgets it and its link text.
  doc.Topics().Delete(0);
  EXPECT_EQ(item->LinkedTopic(), nullptr);
  EXPECT_EQ(item->Link(), "");

  TQCTopic* again = AddTopic(doc, 40, "Forty");
  item->SetLinkedTopic(again);
  EXPECT_EQ(item->Link(), "Inkwells40");
  again->SetTopicID(41);
  item->SetLinkedTopic(nullptr);
  item->SetLinkedTopic(again);
  EXPECT_EQ(item->Link(), "Inkwells41");

  // A detached item resolves nothing.
  TQCContentsItem loose;
  loose.SetLink("Inkwells41");
  EXPECT_EQ(loose.LinkedTopic(), nullptr);
}

TEST(Contents, SetItemLevelMovesTheSubtree) {
  TQuillcrafterDoc doc;
  for (int32_t level : {1, 2, 3, 4, 2, 1}) doc.Contents().Add()->SetLevel(level);
  EXPECT_EQ(doc.Contents().SetItemLevel(1, 1), 3);
  std::vector<int32_t> levels;
  for (int i = 0; i < doc.Contents().Count(); ++i) levels.push_back(doc.Contents().Items(i)->Level());
  EXPECT_EQ(levels, (std::vector<int32_t>{1, 1, 2, 3, 2, 1}));
  EXPECT_EQ(doc.Contents().SetItemLevel(5, 2), 5) << "the last item's subtree ends the list";
}

namespace {

/// A tree for the contents export: every node records its text and parent.
struct TestTree : TQCTreeNodes {
  struct N {
    std::string text;
    N* parent;
    TQCContentsItem* item;
  };
  std::vector<std::unique_ptr<N>> nodes;
  void Clear() override { nodes.clear(); }
  Node AddSibling(Node sibling, const std::string& text, TQCContentsItem* item) override {
    return AddChild(sibling ? static_cast<N*>(sibling)->parent : nullptr, text, item);
  }
  Node AddChild(Node parent, const std::string& text, TQCContentsItem* item) override {
    nodes.push_back(std::make_unique<N>(N{text, static_cast<N*>(parent), item}));
    return nodes.back().get();
  }
  Node Parent(Node node) const override { return static_cast<N*>(node)->parent; }
  /// "text<parent text" per node, in creation order.
  std::vector<std::string> Shape() const {
    std::vector<std::string> out;
    for (const auto& n : nodes) out.push_back(n->text + "<" + (n->parent ? n->parent->text : "root"));
    return out;
  }
};

}  // namespace

TEST(Contents, TreeExportFillsMissingLevelsWithBlankNodes) {
  TQuillcrafterDoc doc;
  const std::pair<int32_t, const char*> lines[] = {{1, "A"}, {2, "B"}, {2, "C"}, {4, "D"},
                                                   {2, "E"}, {1, "F"}, {0, "G"}};
  for (auto [level, title] : lines) {
    TQCContentsItem* item = doc.Contents().Add();
    item->SetLevel(level);
    item->SetTitle(title);
  }
  TestTree tree;
  tree.AddChild(nullptr, "stale", nullptr);
  doc.Contents().AssignTo(tree);
  EXPECT_EQ(tree.Shape(),
            (std::vector<std::string>{"A<root", "B<A", "C<A", "<C", "D<", "E<A", "F<root", "G<root"}));
  EXPECT_EQ(tree.nodes[4]->item, doc.Contents().Items(3));
}

// --- Text macros, statuses, fonts -----------------------------------------------------------------

TEST(TextMacros, BuiltInsAndSyntaxNames) {
  TQuillcrafterDoc doc;
  const TQCTextMacros& m = doc.TextMacros();
  ASSERT_EQ(m.Count(), 12);
  EXPECT_EQ(m.Items(0)->Name(), "*PopupLink");
  EXPECT_EQ(m.Items(0)->Color(), static_cast<TColor>(0x80000008u));
  EXPECT_EQ(m.Items(4)->Name(), "*TopicTitle");
  EXPECT_EQ(m.Items(4)->Size(), 16);
  EXPECT_EQ(m.Items(4)->Style(), TFontStyles{TFontStyle::fsBold});
  EXPECT_EQ(m.Items(2)->SyntaxType(), stDelphi);
  EXPECT_TRUE(m.Items(2)->IsSyntaxMacro()) << "*SourceCode is the eighth syntax name";
  EXPECT_EQ(m.Items(11)->Name(), "__XMLCode");
  EXPECT_EQ(m.Items(11)->TypeFace(), "Courier New");

  TQCTextMacro* sql = doc.TextMacros().Add();
  sql->SetName("__SQLCode");
  EXPECT_TRUE(sql->IsSyntaxMacro());
  EXPECT_EQ(sql->SyntaxType(), stSQL);
  sql->SetName("Plain");
  EXPECT_FALSE(sql->IsSyntaxMacro());
  EXPECT_EQ(sql->SyntaxType(), stSQL);
  TQCTextMacro copy;
  sql->SetName("__VBCode");
  copy.Assign(*sql);
  EXPECT_TRUE(copy.IsSyntaxMacro());
  EXPECT_EQ(copy.SyntaxType(), stVB);
}

TEST(Statuses, BuiltInsAndDeltaFonts) {
  TQuillcrafterDoc doc;
  ASSERT_EQ(doc.Statuses().Count(), 4);
  EXPECT_EQ(doc.Statuses().IndexOfText("merged"), 3);
  EXPECT_EQ(doc.Statuses().IndexOfText("Review"), -1);
  TQCStatus* writing = doc.Statuses().Items(doc.Statuses().IndexOfText("Writing"));
  EXPECT_EQ(writing->Font().Color(), 0x0000FF);
  EXPECT_TRUE(writing->Font().Overridden().Contains(TKVFontAttribute::faColor));

  int fontChanges = 0;
  doc.OnFontChange = [&](TObject*) { ++fontChanges; };
  doc.Font().SetColor(0x00FF00);
  doc.Font().SetName("Verdana");
  doc.Font().SetSize(12);
  EXPECT_EQ(fontChanges, 3);
  EXPECT_EQ(writing->Font().Color(), 0x0000FF) << "an overridden colour stays";
  EXPECT_EQ(writing->Font().Name(), "Verdana");
  EXPECT_EQ(writing->Font().Size(), 12);
  TQCStatus* done = doc.Statuses().Items(doc.Statuses().IndexOfText("Done"));
  EXPECT_EQ(done->Font().Color(), 0x000000) << "black was set against a window-text parent";
  TQCStatus* merged = doc.Statuses().Items(doc.Statuses().IndexOfText("Merged"));
  EXPECT_TRUE(merged->Font().Style().Contains(TFontStyle::fsItalic));
  doc.Font().SetStyle({TFontStyle::fsBold});
  EXPECT_EQ(merged->Font().Style(), (TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic}));
}

TEST(DeltaFont, AListenerThatFailsDoesNotLeaveTheFontDeafToItsParent) {
  TFont parent;
  TKVCustomDeltaFont font;
  font.OnGetParentFont = [&] { return &parent; };
  bool fail = true;
  font.OnChange = [&](TObject*) {
    if (std::exchange(fail, false)) throw Exception("listener");
  };
  parent.SetName("Verdana");
  EXPECT_THROW(font.ApplyParent(), Exception);
  parent.SetName("Tahoma");
  font.ApplyParent();
  EXPECT_EQ(font.Name(), "Tahoma");
}

// --- Whole document ---------------------------------------------------------------------------------

TEST(DocumentAssign, CloneCarriesTheContentButNotStatuses) {
  TQuillcrafterDoc doc;
  AddTopic(doc, 4, "four", {"body"});
  doc.Contents().Add()->SetLink("Inkwells4");
  doc.WindowDefinitions().Add("w");
  doc.SetTopicIncrement(3);
  doc.Statuses().Items(0)->Free();
  doc.SetQCLocation("loc");
  auto clone = doc.Clone();
  EXPECT_EQ(SaveBytes(*clone), SaveBytes(doc));
  EXPECT_EQ(clone->TopicIncrement(), 3);
  EXPECT_EQ(clone->QCLocation(), "loc");
  EXPECT_EQ(clone->Statuses().Count(), 4);
  EXPECT_EQ(clone->Contents().Items(0)->LinkedTopic(), clone->Topics().Items(0));
  EXPECT_FALSE(clone->Modified()) << "the saves above cleared both flags";
}
