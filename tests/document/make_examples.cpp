// Writes the example pair examples/Latest.qcp and examples/History.qcp with
// the document's own writer: a small help project whose two versions show
// every comparison class under the three match modes, and each kind of
// change the window tells: fields only, words, formatting only, text in
// other scripts, a topic only the older file has.
//
//   make_examples OUTPUT_FOLDER
#include <cstdio>
#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"

namespace {

struct TopicData {
  TopicData(int32_t id_, std::string title_, std::vector<std::string> paragraphs_, std::string keywords_,
            std::string status_ = "Done", std::string browse_ = "", int32_t browseNum_ = 0)
      : id(id_),
        title(std::move(title_)),
        paragraphs(std::move(paragraphs_)),
        keywords(std::move(keywords_)),
        status(std::move(status_)),
        browse(std::move(browse_)),
        browseNum(browseNum_) {}
  int32_t id;
  std::string title;
  std::vector<std::string> paragraphs;
  std::string keywords;
  std::string status;
  std::string browse;
  int32_t browseNum;
};

/// A body as the rich-edit control writes it: font and colour tables, the
/// title in 16-point bold blue, then 10-point paragraphs.
std::vector<std::string> Body(const TopicData& def) {
  std::vector<std::string> lines;
  lines.push_back(
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset0 "
      "Arial;}{\\f2\\fmodern\\fcharset0 Courier New;}}");
  lines.push_back("{\\colortbl ;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}");
  lines.push_back("\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 " + def.title + "\\cf0\\b0\\fs20\\par");
  lines.push_back("\\par");
  for (const std::string& p : def.paragraphs) lines.push_back(p + "\\par");
  lines.push_back("\\par }");
  return lines;
}

std::string Link(const std::string& text, int32_t id) {
  return "\\cf2\\ul " + text + "\\cf0\\ulnone\\{linkID=%" + std::to_string(id) + "\\}";
}

std::vector<TopicData> LatestTopics() {
  return {
      {1,
       "Welcome",
       {"Inkwell Notes keeps your notes, sketches and to-do lists in notebooks you can carry between "
        "computers.",
        "Start with " + Link("Getting Started", 2) + " or browse the " + Link("Glossary", 12) + "."},
       "welcome;introduction",
       "Done",
       "main",
       1},
      {2,
       "Getting Started",
       {"After installing, open the \\b File\\b0  menu and choose \\b New Notebook\\b0 .",
        "Each notebook holds pages; each page holds any mix of text and pictures.",
        "Press \\f2 Ctrl+N\\f0  to add a page at any time."},
       "start;first steps",
       "Done",
       "main",
       2},
      {3,
       "Installing Inkwell Notes",
       {"Run the setup program and follow its steps. You need 20 MB of free disk space.",
        "See " + Link("Troubleshooting", 10) + " if setup stops with an error."},
       "install;setup;requirements",
       "Done",
       "main",
       3},
      {4,
       "Creating a Notebook",
       {"Choose \\b File > New Notebook\\b0 , type a name and pick a folder.",
        "The notebook opens with one empty page."},
       "notebook;create"},
      {5,
       "Formatting Text",
       {"Select text and use the toolbar to make it \\b bold\\b0 , \\i italic\\i0  or \\ul "
        "underlined\\ulnone .",
        "Headings use the \\b Heading\\b0  style; body text the \\b Normal\\b0  style.",
        "Bulleted lists: \\f2 Ctrl+Shift+L\\f0 ."},
       "format;bold;italic;styles"},
      {6,
       "Keyboard Shortcuts",
       {"\\f2 Ctrl+N\\f0\\tab New page", "\\f2 Ctrl+S\\f0\\tab Save notebook", "\\f2 Ctrl+F\\f0\\tab Find"},
       "keys;shortcuts",
       "Done"},
      {7, "Printing", {"Choose \\b File > Print\\b0 . Pages print in notebook order."}, "print"},
      {8,
       "Exporting to HTML",
       {"\\b File > Export > HTML\\b0  writes one web page per notebook page, with an index page.",
        "Pictures are saved as PNG files beside the pages."},
       "export;html;web",
       "Writing"},
      {9,
       "Synchronising Notes",
       {"Notebooks kept in a shared folder are merged when two computers change them.",
        "Conflicting pages are kept twice, marked with the computer's name."},
       "sync;shared folder"},
      {10,
       "Troubleshooting",
       {"\\b Setup stops at 50 %.\\b0  Close other programs and run setup again.",
        "\\b Notebook does not open.\\b0  Check that its folder still exists and you may write to it.",
        "\\b Pictures are missing.\\b0  Export the notebook again with pictures switched on."},
       "problems;errors"},
      {11,
       "Frequently Asked Questions",
       {"\\b Can I password-protect a notebook?\\b0  Yes: \\b File > Properties > Security\\b0 .",
        "\\b Where are my notebooks stored?\\b0  In the folder you picked when you created them."},
       "faq;questions"},
      {12,
       "Glossary",
       {"\\b Notebook\\b0  - a file that holds pages.", "\\b Page\\b0  - one sheet of text and pictures.",
        "\\b Tag\\b0  - a word attached to a page for searching."},
       "glossary;terms"},
      {13,
       "Release Notes",
       {"Version 2.1 adds HTML export and faster synchronisation.",
        "See " + Link("Exporting to HTML", 8) + "."},
       "release;new features",
       "Writing"},
      {14,
       "Languages",
       {"Inkwell Notes speaks English, \\u917?\\u955?\\u955?\\u951?\\u957?\\u953?\\u954?\\u940?, "
        "\\u1056?\\u1091?\\u1089?\\u1089?\\u1082?\\u1080?\\u1081? and "
        "\\u4325?\\u4304?\\u4320?\\u4311?\\u4323?\\u4314?\\u4312?.",
        "Notes in any language are searched alike."},
       "languages;unicode"},
  };
}

std::vector<TopicData> HistoryTopics() {
  std::vector<TopicData> topics = LatestTopics();
  std::vector<TopicData> history;
  for (TopicData t : topics) {
    switch (t.id) {
      case 2:  // an older wording: Different
        t.paragraphs[2] = "Press \\f2 Ctrl+P\\f0  to add a page at any time.";
        break;
      case 3:  // other keywords only: Identical Text
        t.keywords = "install;setup";
        break;
      case 5:  // one paragraph less: Different
        t.paragraphs.pop_back();
        break;
      case 6:  // another status only: Identical Text
        t.status = "Writing";
        break;
      case 8:  // not in the older file: New
      case 13:
        continue;
      case 9:  // was numbered 19: New by ID, Identical Text by title
        t.id = 19;
        break;
      case 7:  // the same words, formatted otherwise: Different, formatting only
        t.paragraphs[0] = "Choose File > Print. Pages print in \\i notebook order\\i0 .";
        break;
      case 14:  // a word less in a line of Greek, Cyrillic and Georgian: Different
        t.paragraphs[0] =
            "Inkwell Notes speaks English, \\u917?\\u955?\\u955?\\u951?\\u957?\\u953?\\u954?\\u940? and "
            "\\u1056?\\u1091?\\u1089?\\u1089?\\u1082?\\u1080?\\u1081?.";
        break;
      case 10:  // a trailing blank in one line: Different
        t.paragraphs[0] += " ";
        break;
      case 11:  // title differed in case: no match by title
        t.title = "Frequently asked questions";
        break;
      default:
        break;
    }
    history.push_back(t);
  }
  // A topic the newer file dropped: shown nowhere, counted nowhere.
  history.push_back({15,
                     "Importing Old Notes",
                     {"Old notes files can be imported with \\b File > Import\\b0 ."},
                     "import",
                     "Done"});
  return history;
}

void Fill(TQuillcrafterDoc& doc, const std::vector<TopicData>& defs, int32_t version) {
  TQCProjectOptions& o = doc.Options();
  o.SetFileVersion(version);
  o.SetHelpFileType(ft32Bit);
  o.SetTitle("Inkwell Notes Help");
  o.SetCitation("Inkwell Notes Help");
  o.SetCopyright("Copyright (c) 2026 Inkwell Software");
  o.SetCompress(true);
  o.SetLocaleID("0x0409");
  o.SetBitmapPaths("images");
  o.Configuration().Add("BrowseButtons()");
  o.SetOutput("inkwell.hlp");
  o.SetIncludeImages(true);
  o.WebExportOptions().WebFilename = "inkwell.html";
  for (const TopicData& def : defs) {
    TQCTopic* topic = doc.Topics().Add();
    topic->SetTopicID(def.id);
    topic->SetTitle(def.title);
    topic->SetKeywords(def.keywords);
    topic->SetStatus(def.status);
    topic->SetBrowseSequence(def.browse);
    topic->SetBrowseSequenceNum(def.browseNum);
    TStringList text;
    for (const std::string& line : Body(def)) text.Add(line);
    topic->SetText(text);
  }
  doc.WindowDefinitions().Add("main=\"Inkwell Notes Help\",(0,0,640,480),,(255,255,226),(192,192,192),f2");
  doc.ContentsLinks().Add(":Base inkwell.hlp>main");
  doc.ContentsIndices().Add(":Index Inkwell Notes Help=inkwell.hlp");
  struct Line {
    int32_t level;
    const char* title;
    int32_t id;
  };
  const Line lines[] = {{1, "Welcome", 1},
                        {1, "Using Inkwell Notes", -1},
                        {2, "Getting Started", 2},
                        {2, "Installing", 3},
                        {2, "Notebooks", -1},
                        {3, "Creating a Notebook", 4},
                        {3, "Formatting Text", 5},
                        {3, "Printing", 7},
                        {2, "Keyboard Shortcuts", 6},
                        {1, "Reference", -1},
                        {2, "Troubleshooting", 10},
                        {2, "FAQ", 11},
                        {2, "Glossary", 12}};
  for (const Line& line : lines) {
    TQCContentsItem* item = doc.Contents().Add();
    item->SetLevel(line.level);
    item->SetTitle(line.title);
    if (line.id >= 0) item->SetLink(QCContextPrefix + std::to_string(line.id));
  }
  TQCTextMacro* note = doc.TextMacros().Add();
  note->SetName("Note");
  note->SetColor(0x008000);
  note->SetTypeFace("Arial");
  note->SetSize(9);
  note->SetStyle({TFontStyle::fsItalic});
  note->SetLeftMargin(360);
  note->Tabs().Add("720");
  note->Tabs().Add("1440");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_examples OUTPUT_FOLDER\n");
    return 1;
  }
  const std::string folder = argv[1];
  try {
    TQuillcrafterDoc latest;
    Fill(latest, LatestTopics(), 14);
    latest.SaveToFile(folder + "/Latest.qcp");
    TQuillcrafterDoc history;
    Fill(history, HistoryTopics(), 13);
    history.SaveToFile(folder + "/History.qcp");
  } catch (const Exception& e) {
    std::fprintf(stderr, "make_examples: %s\n", e.Message().c_str());
    return 1;
  }
  return 0;
}
