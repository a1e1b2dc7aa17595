// libFuzzer target for the document's side operations on hostile input:
// the marker search and link renumbering over arbitrary text, topic import
// and the settings file over arbitrary data. Expected verdicts only: no
// crash, errors only as the document's exceptions, a failed import or
// settings load leaves the document as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "document/QuillcrafterDoc.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void SearchMarkers(std::string_view text) {
  int pos = 0;
  TQCLinkMarker marker;
  int found = 0;
  while (FindNextLinkMarker(text, pos, marker)) {
    Check(pos >= 1 && marker.Length >= 6);
    Check(static_cast<size_t>(pos - 1 + marker.Length) <= text.size());
    Check(text.substr(static_cast<size_t>(pos) - 1, 2) == "\\{");
    Check(text.substr(static_cast<size_t>(pos + marker.Length) - 3, 2) == "\\}");
    Check(marker.Kind >= 0 && marker.Kind < LinkKindCount && marker.Style >= 0 && marker.Style <= 2);
    Check(++found <= static_cast<int>(text.size()));
    pos += 1;
  }
}

void Remap(const std::string& text) {
  TQuillcrafterDoc doc;
  TQCTopic* topic = doc.Topics().Add();
  topic->SetWholeText(text);
  TQCTopicIDMap map;
  for (int32_t id = -1; id <= 9; ++id) map.Put(id, id * 7 + 3);
  try {
    doc.RemapTopicLinks(*topic, map);
  } catch (const EQCException&) {
  }
}

void ImportAndLoad(const std::string& data) {
  TQuillcrafterDoc doc;
  for (int i = 0; i < 3; ++i) doc.Topics().Add();
  doc.SetModified(false);
  try {
    TMemoryStream memory(data);
    TGTextStream text(memory);
    doc.ImportTopics(-1, text, true);
  } catch (const Exception&) {
    Check(doc.Topics().Count() == 3 && !doc.Modified());
  }
  doc.Contents().Add()->SetLevel(2);
  try {
    TMemoryStream memory(data);
    TGTextStream text(memory);
    doc.ImportContents(1, text, false);
  } catch (const Exception&) {
    Check(doc.Contents().Count() == 1);
  }
  try {
    TMemoryStream memory(data);
    doc.LoadSettingsFromStream(memory);
  } catch (const Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  SearchMarkers(input);
  Remap(input);
  ImportAndLoad(input);
  return 0;
}
