// Writes the example triple examples/merge/Base.qcp, Ours.qcp and
// Theirs.qcp with the document's own writer: a small help project and two
// versions changed from it, which merge with one-sided edits on both sides,
// a keyword set change on each side, a word-level merge inside a line, a
// change of wording on one side against one of formatting on the other, a
// topic added on each side, and one real conflict.
//
//   make_merge_examples OUTPUT_FOLDER
#include <cstdio>
#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"

namespace {

std::vector<std::string> Body(const std::string& title, const std::vector<std::string>& paragraphs) {
  std::vector<std::string> lines;
  lines.push_back("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}");
  lines.push_back("{\\colortbl ;\\red0\\green0\\blue255;}");
  lines.push_back("\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 " + title + "\\cf0\\b0\\fs20\\par");
  lines.push_back("\\par");
  for (const std::string& p : paragraphs) lines.push_back(p + "\\par");
  lines.push_back("\\par }");
  return lines;
}

void SetTopic(TQuillcrafterDoc& doc, int32_t id, const std::string& title,
              const std::vector<std::string>& paragraphs, const std::string& keywords) {
  const int at = doc.Topics().IndexOfTopicID(id);
  TQCTopic* topic = at >= 0 ? doc.Topics().Items(at) : doc.Topics().Add();
  if (at < 0) topic->SetTopicID(id);
  topic->SetTitle(title);
  topic->SetKeywords(keywords);
  topic->SetStatus("Done");
  TStringList text;
  for (const std::string& line : Body(title, paragraphs)) text.Add(line);
  topic->SetText(text);
}

void Base(TQuillcrafterDoc& doc) {
  doc.Options().SetTitle("Inkwell Notes Help");
  doc.Options().SetCopyright("Inkwell Notes");
  SetTopic(doc, 1, "Welcome", {"Inkwell Notes keeps your notes in notebooks.", "Start with Getting Started."},
           "welcome");
  SetTopic(doc, 2, "Getting Started",
           {"Open the File menu and choose New Notebook.", "Each notebook holds pages."}, "start");
  SetTopic(doc, 3, "Installing", {"Run the setup program and follow its steps."}, "install;setup");
  SetTopic(doc, 4, "Saving", {"Click Save to keep your changes."}, "save");
  SetTopic(doc, 5, "Printing", {"Printing takes a minute for a long notebook."}, "print");
  SetTopic(doc, 6, "Shortcuts", {"Press Ctrl+N to add a page."}, "keys");
  for (const char* title : {"Welcome", "Getting Started", "Installing", "Saving", "Printing", "Shortcuts"})
    doc.Contents().Add()->SetTitle(title);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_merge_examples OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = argv[1];
  try {
    TQuillcrafterDoc base, ours, theirs;
    Base(base);
    base.SaveToFile(folder + "/Base.qcp");

    Base(ours);
    // One-sided: a new paragraph for Getting Started.
    SetTopic(ours, 2, "Getting Started",
             {"Open the File menu and choose New Notebook.", "Each notebook holds pages.",
              "Press Ctrl+S to save at any time."},
             "start");
    // Keywords: ours adds one.
    SetTopic(ours, 3, "Installing", {"Run the setup program and follow its steps."},
             "install;setup;requirements");
    // Formatting only: Save in bold.
    SetTopic(ours, 4, "Saving", {"Click \\b Save\\b0  to keep your changes."}, "save");
    // One word of the line.
    SetTopic(ours, 5, "Printing", {"Printing takes two minutes for a long notebook."}, "print");
    // The conflict: the same words differently.
    SetTopic(ours, 6, "Shortcuts", {"Press Ctrl+P to add a page."}, "keys");
    SetTopic(ours, 7, "Exporting", {"Choose File > Export to write a notebook as HTML."}, "export");
    ours.Contents().Add()->SetTitle("Exporting");
    ours.SaveToFile(folder + "/Ours.qcp");

    Base(theirs);
    // One-sided: the welcome's wording.
    SetTopic(theirs, 1, "Welcome",
             {"Inkwell Notes keeps your notes and sketches in notebooks.", "Start with Getting Started."},
             "welcome");
    // Keywords: theirs removes one.
    SetTopic(theirs, 3, "Installing", {"Run the setup program and follow its steps."}, "install");
    // Wording of the line ours formatted.
    SetTopic(theirs, 4, "Saving", {"Press Save to keep your changes."}, "save");
    // Another word of the line.
    SetTopic(theirs, 5, "Printing", {"Printing takes a minute for a long document."}, "print");
    SetTopic(theirs, 6, "Shortcuts", {"Press Ctrl+T to add a page."}, "keys");
    SetTopic(theirs, 8, "Searching", {"Press Ctrl+F to find a word in every notebook."}, "search");
    theirs.Options().SetCopyright("Inkwell Notes 2026");
    theirs.SaveToFile(folder + "/Theirs.qcp");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_merge_examples: %s\n", e.what());
    return 1;
  }
  return 0;
}
