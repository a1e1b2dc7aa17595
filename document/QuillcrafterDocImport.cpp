// Pasting into a document that already holds topics and contents: topic
// records that take free IDs (with the links among them renumbered), and
// contents lines re-levelled under the place they are inserted at.
//
// An import either completes or leaves the collections as they were: the
// items added so far are removed again when a record fails, so a half
// import can never leave topics whose links point at the wrong IDs. The
// current topic and contents line stay on the item they were on.
#include <vector>

#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "toolkit/ScopeGuard.h"

namespace {

/// Adds with 32-bit wrap-around: levels and IDs are whatever the data says.
int32_t WrapAdd(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

/// The next line; the end of the data is an error that names what was read
/// (What is a format taking the record number; it is filled only then).
std::string NeedLine(TGTextStream& stream, const char* what, long long record = 0) {
  std::string line;
  if (!stream.ReadLine(line)) {
    const std::string where = record > 0 ? Format(what, record) : std::string(what);
    throw EQCException(Format(qcmsg::SUnexpectedEnd, where.c_str()));
  }
  return line;
}

/// The rows of one imported topic record: a missing row names the record,
/// a missing line of the text the string list it is.
class TImportedTopicRows : public TTopicRowSource {
 public:
  TImportedTopicRows(TGTextStream& stream, long long record) : FStream(stream), FRecord(record) {}
  void Line(std::string& line) override { line = NeedLine(FStream, "imported topic record %lld", FRecord); }
  void Text(TStrings& lines, int32_t /*topicID*/) override { TQuillcrafterDoc::ReadStrings(FStream, lines); }

 private:
  TGTextStream& FStream;
  const long long FRecord;
};

/// The import variant of reading one topic record into Topic, a topic just
/// added to Document (so it holds a provisional ID above every other). The
/// record is read aside first; a record that fails leaves Topic as it was.
void ImportTopicRecord(TQuillcrafterDoc& document, TGTextStream& stream, TQCTopic& topic, int32_t desiredID,
                       TQCTopicIDMap& importMap, long long record) {
  TImportedTopicRows rows(stream, record);
  TQCTopic parsed;
  ReadTopicRows(rows, parsed);
  const int32_t oldID = parsed.TopicID();
  const int32_t wanted = desiredID != -1 ? desiredID : oldID;

  // A wanted ID in use sends the topic upward from that topic's ID; the
  // provisional ID this topic holds counts as used on the way.
  TQCTopics& topics = document.Topics();
  const int holder = topics.IndexOfTopicID(wanted);
  if (holder >= 0 && topics.Items(holder) != &topic)
    topic.SetTopicID(document.NextTopicID(holder));
  else
    topic.SetTopicID(wanted);
  const int32_t newID = topic.TopicID();
  importMap.Put(oldID, newID);

  // A context string or browse number that named the old ID names the new one.
  if (parsed.ContextString() == QCContextPrefix + std::to_string(oldID))
    parsed.SetContextString(QCContextPrefix + std::to_string(newID));
  if (rows.BrowseNumberGiven && parsed.BrowseSequenceNum() == oldID) parsed.SetBrowseSequenceNum(newID);
  SetTopicFields(topic, parsed);
}

/// Gives the items First .. End-1 new levels: each item that is not deeper
/// than the block's last top item becomes a top item at BaseLevel, and the
/// items under it keep their depth below it. Items outside the block are
/// never touched, whatever their levels.
void RelevelBlock(TQCContentsItems& contents, int first, int end, int32_t baseLevel) {
  int32_t topLevel = 0;
  for (int i = first; i < end; ++i) {
    TQCContentsItem* item = contents.Items(i);
    const int32_t level = item->Level();
    if (i == first || level <= topLevel) {
      topLevel = level;
      item->SetLevel(baseLevel);
    } else {
      item->SetLevel(WrapAdd(static_cast<int64_t>(level) - topLevel + baseLevel));
    }
  }
}

}  // namespace

void TQuillcrafterDoc::ImportTopics(int32_t desiredID, TGTextStream& stream, bool select) {
  TQCTopics& topics = *FTopics;
  TQCTopic* current = FTopicIndex >= 0 && FTopicIndex < topics.Count() ? topics.Items(FTopicIndex) : nullptr;
  // A failed import leaves Modified as it was, once the update has closed.
  const bool wasModified = FModified;
  toolkit::TScopeExit keepModified([this, wasModified] { FModified = wasModified; });
  TQCTopicIDMap importMap;
  std::vector<TQCTopic*> imported;
  toolkit::TUpdateBracket update(topics);
  try {
    const int32_t count = StrToInt(NeedLine(stream, "the imported topic count"));
    for (int32_t i = 0; i < count; ++i) {
      TQCTopic* topic = topics.Add();
      imported.push_back(topic);
      ImportTopicRecord(*this, stream, *topic, desiredID, importMap, i + 1);
      topic->SetSelected(select);
    }
    // Only the imported topics' links follow the renumbering: the existing
    // topics link to existing topics, whose IDs did not change.
    if (importMap.RenumbersAny())
      for (TQCTopic* topic : imported) RemapTopicLinks(*topic, importMap);
  } catch (...) {
    for (auto it = imported.rbegin(); it != imported.rend(); ++it) topics.Delete((*it)->Index());
    if (current) SetTopicIndex(current->Index());
    throw;
  }
  // The topics are in: from here on the document holds them, whatever a listener does.
  keepModified.Dismiss();
  if (current) SetTopicIndex(current->Index());
}

void TQuillcrafterDoc::ImportContents(int index, TGTextStream& stream, bool select) {
  TQCContentsItems& contents = *FContents;
  if (index < -1 || index > contents.Count()) throw EListError(Format(rtl::SListIndexError, index));
  TQCContentsItem* current =
      FContentIndex >= 0 && FContentIndex < contents.Count() ? contents.Items(FContentIndex) : nullptr;
  const int32_t baseLevel =
      index > 0 ? WrapAdd(static_cast<int64_t>(contents.Items(index - 1)->Level()) + 1) : 1;
  const int first = index == -1 ? contents.Count() : index;
  int inserted = 0;
  const bool wasModified = FModified;
  toolkit::TScopeExit keepModified([this, wasModified] { FModified = wasModified; });
  toolkit::TUpdateBracket update(contents);
  try {
    const int32_t count = StrToInt(NeedLine(stream, "the imported contents count"));
    for (int32_t i = 0; i < count; ++i) {
      // Fewer lines than the count promises: what is there is imported.
      stream.SkipBlanks();
      if (stream.EndOfStream()) break;
      TQCContentsItem* item = index == -1 ? contents.Add() : contents.Insert(first + inserted);
      ++inserted;
      ReadContentsItem(stream, *item);
      item->SetSelected(select);
    }
    RelevelBlock(contents, first, first + inserted, baseLevel);
  } catch (...) {
    for (int i = inserted; i-- > 0;) contents.Delete(first + i);
    if (current) SetContentIndex(current->Index());
    throw;
  }
  keepModified.Dismiss();
  if (current) SetContentIndex(current->Index());
}
