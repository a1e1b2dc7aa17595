/// Tests for QuillcrafterDocSettings.cpp: the settings file and its font records.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"

namespace {

std::vector<std::string> SplitLines(const std::string& data) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < data.size()) {
    const size_t end = data.find("\r\n", pos);
    lines.push_back(data.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, size_t count) {
  std::string s;
  for (size_t i = 0; i < count && i < lines.size(); ++i) s += lines[i] + "\r\n";
  return s;
}

std::string Save(const TQuillcrafterDoc& doc) {
  TMemoryStream memory;
  doc.SaveSettingsToStream(memory);
  return memory.DataString();
}

void Load(TQuillcrafterDoc& doc, const std::string& data) {
  TMemoryStream memory(data);
  doc.LoadSettingsFromStream(memory);
}

std::string Describe(const TFont& f) {
  std::string s = f.Name() + "/" + std::to_string(f.Color()) + "/" + std::to_string(f.Charset()) + "/" +
                  std::to_string(f.Height()) + "/";
  s += f.Style().Contains(TFontStyle::fsBold) ? 'B' : '.';
  s += f.Style().Contains(TFontStyle::fsItalic) ? 'I' : '.';
  s += f.Style().Contains(TFontStyle::fsUnderline) ? 'U' : '.';
  s += f.Style().Contains(TFontStyle::fsStrikeOut) ? 'S' : '.';
  return s;
}

/// Everything a settings file can change, as one comparable text.
std::string Snapshot(const TQuillcrafterDoc& doc) {
  std::string s = doc.Options().Title() + "|" + std::to_string(doc.Options().FileVersion()) + "|";
  for (int i = 0; i < doc.RecentFiles().Count(); ++i) s += doc.RecentFiles()[i] + ";";
  s += "|" + std::to_string(doc.TopicIncrement()) + "|" + std::to_string(doc.TopicGrid()) + "|" +
       (doc.TopicGridEnabled() ? "grid" : "nogrid") + "|" + Describe(doc.Font()) + "|";
  // Statuses by name: a load keeps "Done" and "Writing" where they stand.
  std::vector<std::string> statuses;
  for (int i = 0; i < doc.Statuses().Count(); ++i)
    statuses.push_back(doc.Statuses()[i]->Text() + "=" + Describe(doc.Statuses()[i]->Font()));
  std::sort(statuses.begin(), statuses.end());
  for (const std::string& status : statuses) s += status + ";";
  return s + "|" + doc.QCLocation();
}

/// A document whose settings all differ from the defaults.
void Customise(TQuillcrafterDoc& doc) {
  doc.Options().SetTitle("Template");
  doc.RecentFiles().Add("recentA.qcp");
  doc.RecentFiles().Add("recentB.qcp");
  doc.SetTopicIncrement(5);
  doc.SetTopicGrid(20);
  doc.SetTopicGridEnabled(true);
  doc.Font().SetName("Verdana");
  doc.Font().SetHeight(-15);
  doc.Font().SetCharset(238);
  TQCStatuses& statuses = doc.Statuses();
  statuses[statuses.IndexOfText("Writing")]->Font().SetStyle({TFontStyle::fsBold, TFontStyle::fsUnderline});
  statuses[statuses.IndexOfText("To Do")]->Font().SetName("Courier New");
  statuses[statuses.IndexOfText("Merged")]->Font().SetColor(0x123456);
  doc.SetQCLocation("C:\\Help\\Projects");
}

TEST(SettingsFile, RoundTripWithStatusesAndFonts) {
  // Given a document with the four built-in statuses and its own settings
  TQuillcrafterDoc source;
  Customise(source);
  const std::string data = Save(source);
  // Then S = 2: "To Do" and "Merged"
  const std::vector<std::string> lines = SplitLines(data);
  const auto todo = std::find(lines.begin(), lines.end(), "To Do");
  ASSERT_NE(todo, lines.end());
  EXPECT_EQ(*(todo - 1), "2");
  EXPECT_EQ(*(todo + 6), "....") << "a font record is six lines";
  EXPECT_EQ(*(todo + 7), "Merged");
  EXPECT_EQ(lines.back(), "C:\\Help\\Projects");

  // When it is loaded into a document whose statuses are Done, Writing and Review
  TQuillcrafterDoc target;
  target.Statuses().Delete(target.Statuses().IndexOfText("To Do"));
  target.Statuses().Delete(target.Statuses().IndexOfText("Merged"));
  target.Statuses().Add()->SetText("Review");
  target.SetModified(false);
  Load(target, data);

  // Then it has the source's statuses with their fonts, Review gone
  ASSERT_EQ(target.Statuses().Count(), 4);
  EXPECT_EQ(target.Statuses()[0]->Text(), "Done");
  EXPECT_EQ(target.Statuses()[1]->Text(), "Writing");
  EXPECT_EQ(target.Statuses()[2]->Text(), "To Do");
  EXPECT_EQ(target.Statuses()[3]->Text(), "Merged");
  EXPECT_EQ(Snapshot(target), Snapshot(source));
  EXPECT_FALSE(target.Modified());
}

TEST(SettingsFile, WithoutWritingStatusTheBaseFontIsStoredAndDroppedOnLoad) {
  TQuillcrafterDoc source;
  Customise(source);
  source.Statuses().Delete(source.Statuses().IndexOfText("Writing"));
  const std::string data = Save(source);

  // Into a document that has "Writing": that status gets the base font.
  TQuillcrafterDoc withWriting;
  Load(withWriting, data);
  const TQCStatus* writing = withWriting.Statuses()[withWriting.Statuses().IndexOfText("Writing")];
  EXPECT_EQ(Describe(writing->Font()), Describe(source.Font()));

  // Into one that has none: the record is read and dropped.
  TQuillcrafterDoc withoutWriting;
  withoutWriting.Statuses().Delete(withoutWriting.Statuses().IndexOfText("Writing"));
  Load(withoutWriting, data);
  EXPECT_EQ(Snapshot(withoutWriting), Snapshot(source));
}

TEST(SettingsFile, CutAtAnyLineLoadsWhatIsCompleteOrNothingAtAll) {
  TQuillcrafterDoc source;
  Customise(source);
  const std::vector<std::string> lines = SplitLines(Save(source));
  const size_t afterRecent =
      static_cast<size_t>(std::find(lines.begin(), lines.end(), "recentB.qcp") - lines.begin()) + 1;
  // Whole rows end after: increment, grid, switch, font (6), writing font (6),
  // the status section (1 + 2 * 7) and the location.
  const std::vector<size_t> rowEnds = {1, 2, 3, 9, 15, 30, 31};
  for (size_t cut = afterRecent; cut <= lines.size(); ++cut) {
    SCOPED_TRACE("lines kept: " + std::to_string(cut));
    TQuillcrafterDoc target;
    const std::string before = Snapshot(target);
    const bool wholeRows =
        cut == afterRecent || std::find(rowEnds.begin(), rowEnds.end(), cut - afterRecent) != rowEnds.end();
    try {
      Load(target, JoinLines(lines, cut));
      EXPECT_TRUE(wholeRows);
      EXPECT_EQ(target.RecentFiles().Count(), 2);
      if (cut == afterRecent) {
        EXPECT_EQ(target.TopicIncrement(), 1);
        EXPECT_EQ(Describe(target.Font()), Describe(TQuillcrafterDoc().Font()));
      }
      if (cut == lines.size()) {
        EXPECT_EQ(Snapshot(target), Snapshot(source));
      } else {
        EXPECT_EQ(target.QCLocation(), "");
      }
    } catch (const EQCException& e) {
      EXPECT_FALSE(wholeRows) << e.Message();
      EXPECT_EQ(e.Message().rfind("Unexpected end of file while reading ", 0), 0u) << e.Message();
      EXPECT_EQ(Snapshot(target), before) << "a failed load changes nothing";
    }
  }
}

TEST(SettingsFile, RecentFilesAreAppendedWithinTheBound) {
  TQuillcrafterDoc source;
  for (const char* name : {"c.qcp", "d.qcp", "e.qcp"}) source.RecentFiles().Add(name);
  const std::string data = Save(source);

  TQuillcrafterDoc target;
  for (const char* name : {"a.qcp", "b.qcp", "C.QCP"}) target.RecentFiles().Add(name);
  int notices = 0;
  target.OnRecentFilesChange = [&](TObject*) { ++notices; };
  Load(target, data);
  // c is listed already (names compare ignoring case), d fits, e is one too many.
  ASSERT_EQ(target.RecentFiles().Count(), 4);
  EXPECT_EQ(target.RecentFiles()[2], "C.QCP");
  EXPECT_EQ(target.RecentFiles()[3], "d.qcp");
  EXPECT_EQ(notices, 1);

  // A document can load its own settings with a full list.
  const std::string own = Save(target);
  Load(target, own);
  EXPECT_EQ(target.RecentFiles().Count(), 4);
}

TEST(SettingsFile, BadDataIsReportedAndChangesNothing) {
  TQuillcrafterDoc source;
  Customise(source);
  const std::vector<std::string> lines = SplitLines(Save(source));
  const size_t increment =
      static_cast<size_t>(std::find(lines.begin(), lines.end(), "recentB.qcp") - lines.begin()) + 1;
  struct Case {
    const char* name;
    size_t line;
    const char* value;
    const char* message;
  };
  const Case cases[] = {
      {"NoIdentifier", 0, "Quillcrafter project file. ",
       "Missing Quillcrafter Identifier, not a Quillcrafter File"},
      {"UnknownVersion", 1, "15", "Unknown Quillcrafter File Version, not a Quillcrafter File"},
      {"BadIncrement", increment, "five", "'five' is not a valid integer value"},
      {"BadFontColour", increment + 3, "blue", "'blue' is not a valid integer value"},
      {"BadStatusCount", increment + 15, "", "'' is not a valid integer value"},
      {"BadStatusFontSize", increment + 20, "x", "'x' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> changed = lines;
    changed[c.line] = c.value;
    TQuillcrafterDoc target;
    target.SetModified(true);
    const std::string before = Snapshot(target);
    try {
      Load(target, JoinLines(changed, changed.size()));
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
    EXPECT_EQ(Snapshot(target), before);
    EXPECT_TRUE(target.Modified());
  }
}

TEST(FontRecord, RoundTripAndStyleLine) {
  TFont font;
  font.SetName("Times New Roman");
  font.SetColor(static_cast<TColor>(0x80000008u));
  font.SetCharset(0);
  font.SetHeight(-19);
  font.SetStyle({TFontStyle::fsItalic, TFontStyle::fsStrikeOut});
  TMemoryStream memory;
  {
    TGTextStream text(memory);
    TQuillcrafterDoc::WriteFont(text, font);
  }
  EXPECT_EQ(memory.DataString(), "-2147483640\r\nTimes New Roman\r\n0\r\n14\r\n-19\r\n.I.S\r\n");

  struct Case {
    const char* styleLine;
    TFontStyles expected;
  };
  const Case cases[] = {{".I.S", {TFontStyle::fsItalic, TFontStyle::fsStrikeOut}},
                        {"B..X", {TFontStyle::fsBold, TFontStyle::fsStrikeOut}},
                        {"xx", {TFontStyle::fsBold, TFontStyle::fsItalic}},
                        {"", {}},
                        {"....", {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.styleLine);
    TMemoryStream in("-2147483640\r\nTimes New Roman\r\n0\r\n14\r\n-19\r\n" + std::string(c.styleLine) +
                     "\r\n");
    TGTextStream text(in);
    TFont read;
    read.SetStyle({TFontStyle::fsUnderline});  // replaced, not added to
    TQuillcrafterDoc::ReadFont(read, text);
    EXPECT_EQ(read.Style(), c.expected);
    EXPECT_EQ(read.Height(), -19) << "the height decides the size";
    EXPECT_EQ(read.Name(), "Times New Roman");
  }
}

}  // namespace
