#pragma once
// Helpers shared by the document tests: saving to and loading from bytes,
// line-level editing of file images, and a recorder of document events.

#include <cstdint>
#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"

namespace doctest_util {

inline std::string SaveBytes(TQuillcrafterDoc& doc) {
  TMemoryStream stream;
  doc.SaveToStream(stream);
  return stream.DataString();
}

inline void LoadBytes(TQuillcrafterDoc& doc, const std::string& bytes) {
  TMemoryStream stream(bytes);
  doc.LoadFromStream(stream);
}

/// The lines of a file image written with CR LF.
inline std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    const size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

inline std::string JoinLines(const std::vector<std::string>& lines, const std::string& eol = "\r\n") {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + eol;
  return bytes;
}

/// A topic added to Doc with the given ID, title and body lines.
inline TQCTopic* AddTopic(TQuillcrafterDoc& doc, int32_t id, const std::string& title,
                          const std::vector<std::string>& body = {}) {
  TQCTopic* topic = doc.Topics().Add();
  topic->SetTopicID(id);
  topic->SetTitle(title);
  if (!body.empty()) {
    TStringList text;
    for (const std::string& line : body) text.Add(line);
    topic->SetText(text);
  }
  return topic;
}

/// Records every event a document fires, as short strings.
struct EventLog {
  std::vector<std::string> events;

  void Attach(TQuillcrafterDoc& doc) {
    doc.OnChange = [this](TObject*) { events.push_back("Change"); };
    doc.OnAddTopic = [this](TObject*, TQCTopic* t) { events.push_back("AddTopic " + Id(t)); };
    doc.OnDeleteTopic = [this](TObject*, TQCTopic* t) { events.push_back("DeleteTopic " + Id(t)); };
    doc.OnTopicChange = [this](TObject*, TQCTopic* t) { events.push_back("TopicChange " + Id(t)); };
    doc.OnAddContents = [this](TObject*, TQCContentsItem*) { events.push_back("AddContents"); };
    doc.OnDeleteContents = [this](TObject*, TQCContentsItem*) { events.push_back("DeleteContents"); };
    doc.OnContentsChange = [this](TObject*, TQCContentsItem* i) {
      events.push_back(i ? "ContentsChange item" : "ContentsChange all");
    };
    doc.OnAddMacro = [this](TObject*, TQCTextMacro*) { events.push_back("AddMacro"); };
    doc.OnDeleteMacro = [this](TObject*, TQCTextMacro*) { events.push_back("DeleteMacro"); };
    doc.OnMacroChange = [this](TObject*, TQCTextMacro* m) {
      events.push_back(m ? "MacroChange item" : "MacroChange all");
    };
    doc.OnRecentFilesChange = [this](TObject*) { events.push_back("RecentFiles"); };
  }
  int Count(const std::string& event) const {
    int n = 0;
    for (const std::string& e : events) n += e == event;
    return n;
  }
  static std::string Id(TQCTopic* t) { return t ? std::to_string(t->TopicID()) : "none"; }
};

/// A small generator, the same on every platform.
class TRandom {
 public:
  explicit TRandom(uint32_t seed) : FSeed(seed) {}
  int Below(int n) {
    FSeed = FSeed * 1103515245u + 12345u;
    return static_cast<int>((FSeed >> 16) % static_cast<uint32_t>(n));
  }

 private:
  uint32_t FSeed;
};

}  // namespace doctest_util
