#include "compare/ComparisonSession.h"

#include <algorithm>
#include <exception>
#include <unordered_map>

#include "compare/EntryFilter.h"
#include "compare/FormatDifferences.h"
#include "compare/ProjectFiles.h"
#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "toolkit/ScopeGuard.h"
#include "toolkit/SysUtils.h"

namespace {

/// Holds a session's own notices back while it changes a document itself:
/// it brings everything up to date once, at the end.
class TOwnChange {
 public:
  explicit TOwnChange(bool& inChange) : FInChange(inChange), FWas(inChange) { FInChange = true; }
  ~TOwnChange() { FInChange = FWas; }
  TOwnChange(const TOwnChange&) = delete;
  TOwnChange& operator=(const TOwnChange&) = delete;

 private:
  bool& FInChange;
  bool FWas;
};

}  // namespace

/// Gathers the notices of one public operation (and of what it calls) and
/// sends them as one when the outermost operation ends.
class TComparisonSession::TNoticeScope {
 public:
  explicit TNoticeScope(TComparisonSession& session)
      : FSession(session), FExceptions(std::uncaught_exceptions()) {
    ++FSession.FNoticeDepth;
  }
  ~TNoticeScope() noexcept(false) {
    if (--FSession.FNoticeDepth > 0) return;
    const TComparisonChange change = std::exchange(FSession.FPending, TComparisonChange{});
    if (!change.Any()) return;
    // An operation that failed halfway still tells what it changed, but an
    // observer's error must not replace the one already on its way.
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FSession.Changed(change);
      } catch (...) {
      }
      return;
    }
    FSession.Changed(change);
  }
  TNoticeScope(const TNoticeScope&) = delete;
  TNoticeScope& operator=(const TNoticeScope&) = delete;

 private:
  TComparisonSession& FSession;
  int FExceptions;
};

void TComparisonSession::NoteEntryChanged(int index) {
  if (FPending.ClassesChanged) return;
  if (FPending.ChangedEntry >= 0 && FPending.ChangedEntry != index) {
    FPending.ChangedEntry = -1;
    FPending.ClassesChanged = true;
    return;
  }
  FPending.ChangedEntry = index;
}

void TComparisonSession::NoteTopicChanged(const TQCTopic* topic) { FPending.TopicsChanged.push_back(topic); }

TComparisonSession::TComparisonSession(TCodePageDecoder decode)
    : FFiles(std::make_unique<TProjectFiles>()),
      FSelection(std::make_unique<TSelectedPair>(std::move(decode))) {
  FPair = std::make_unique<TPairComparison>(FFiles->Latest(), FFiles->History());
  FFilter =
      std::make_unique<TEntryFilter>([this]() -> const TPairComparison& { return *FPair; }, *FSelection);
  // The filter is the first to hear of every change, so that whoever reads
  // it on the notice finds it up to date.
  FFilterConnection = Changed.Connect([this](const TComparisonChange& change) { FFilter->Follow(change); });
  Connect();
}

TComparisonSession::~TComparisonSession() { Disconnect(); }

TQuillcrafterDoc& TComparisonSession::Latest() { return FFiles->Latest(); }
TQuillcrafterDoc& TComparisonSession::History() { return FFiles->History(); }
const TQuillcrafterDoc& TComparisonSession::Latest() const { return FFiles->Latest(); }
const TQuillcrafterDoc& TComparisonSession::History() const { return FFiles->History(); }
const std::string& TComparisonSession::LatestFileName() const { return FFiles->LatestFileName(); }
const std::string& TComparisonSession::HistoryFileName() const { return FFiles->HistoryFileName(); }
bool TComparisonSession::Backups() const { return FFiles->Backups(); }
void TComparisonSession::SetBackups(bool value) { FFiles->SetBackups(value); }

void TComparisonSession::Connect() {
  Latest().OnTopicChange = [this](TObject*, TQCTopic* topic) { TopicChanged(topic); };
  History().OnTopicChange = [this](TObject*, TQCTopic* topic) { TopicChanged(topic); };
}

void TComparisonSession::Disconnect() {
  Latest().OnTopicChange = nullptr;
  History().OnTopicChange = nullptr;
}

void TComparisonSession::NewPair() {
  FPair = std::make_unique<TPairComparison>(Latest(), History(), FPair->MatchMode(), FPair->ShowDeleted());
}

// --- Files ------------------------------------------------------------------------

void TComparisonSession::OpenFiles(const std::string& latestFile,
                                   const std::optional<std::string>& historyFile) {
  OpenFiles(latestFile, [&historyFile] { return historyFile; });
}

void TComparisonSession::ForgetSelection() {
  FSelected = -1;
  FSelection->SetTopics(nullptr, nullptr);
}

void TComparisonSession::OpenFiles(const std::string& latestFile,
                                   const std::function<std::optional<std::string>()>& chooseHistory,
                                   std::string* historyError) {
  // Both files are read into documents of their own first; only when both
  // have been read do they take the place of the ones shown.
  TakeDocuments(TProjectFiles::Read(latestFile, chooseHistory, historyError));
}

void TComparisonSession::SetDocuments(std::unique_ptr<TQuillcrafterDoc> latest,
                                      std::unique_ptr<TQuillcrafterDoc> history) {
  TReadPair read;
  read.Latest = std::move(latest);
  read.History = std::move(history);
  TakeDocuments(std::move(read));
}

void TComparisonSession::ReplaceDocuments(TReadPair read) {
  Disconnect();
  ForgetSelection();
  FFiles->Take(std::move(read));
  Connect();
  NewPair();
  FPending.AllTopicsChanged = true;
  FPending.CountersChanged = true;
  FPending.SelectionChanged = true;
}

void TComparisonSession::TakeDocuments(TReadPair read) {
  TNoticeScope notice(*this);
  ReplaceDocuments(std::move(read));
  FSelection->Compare();
  FPending.EntriesReset = true;
}

void TComparisonSession::OpenHistory(const std::string& historyFile) {
  TNoticeScope notice(*this);
  ReplaceDocuments(TProjectFiles::ReadHistory(historyFile));
  FSelection->Compare();
  // The deleted entries are another document's topics now.
  FPending.ClassesChanged = true;
  FPending.EntriesMoved = true;
}

void TComparisonSession::ReadAgain(bool latest) {
  TNoticeScope notice(*this);
  TReadPair read =
      latest ? TProjectFiles::Read(LatestFileName(), nullptr) : TProjectFiles::ReadHistory(HistoryFileName());
  // The selection is remembered by ID: the topics of the side read again are new objects.
  const int32_t latestID = LatestTopic() != nullptr ? LatestTopic()->TopicID() : -1;
  const int32_t historyID = HistoryTopic() != nullptr ? HistoryTopic()->TopicID() : -1;
  const bool wasSelected = FSelected >= 0;
  ReplaceDocuments(std::move(read));
  if (wasSelected) {
    if (latestID >= 0) {
      FSelected = Latest().Topics().IndexOfTopicID(latestID);
    } else if (historyID >= 0) {
      const int at = History().Topics().IndexOfTopicID(historyID);
      FSelected = at >= 0 ? FPair->EntryIndexOf(History().Topics().Items(at)) : -1;
    }
    if (FSelected >= 0) FindPartner();
  }
  FSelection->Compare();
  if (latest) FPending.EntriesReset = true;
  FPending.EntriesMoved = true;
  FPending.ClassesChanged = true;
}

void TComparisonSession::SaveLatest(const std::string& fileName) { FFiles->SaveLatest(fileName); }

void TComparisonSession::SaveHistory(const std::string& fileName) { FFiles->SaveHistory(fileName); }

// --- Classification -------------------------------------------------------------------

void TComparisonSession::SetMatchMode(TTopicMatchMode value) {
  TNoticeScope notice(*this);
  FPair->SetMatchMode(value);
  FPending.ClassesChanged = true;
  const bool selected = FSelected >= 0;
  Recount();
  if (FSelected >= 0) FindPartner();
  if (selected) FSelection->Compare();
  FPending.SelectionChanged = true;
}

void TComparisonSession::SetShowDeleted(bool value) {
  TNoticeScope notice(*this);
  if (value == FPair->ShowDeleted()) return;
  FPair->SetShowDeleted(value);
  const bool selected = FSelected >= 0;
  Recount(true);
  // Hiding them ends the selection of a deleted entry.
  if (selected && FSelected < 0) {
    FSelection->Compare();
    FPending.SelectionChanged = true;
  }
}

TQCTopic* TComparisonSession::EntryTopic(int index) const {
  if (index < 0 || index >= LatestEntryCount()) return nullptr;
  return Latest().Topics().Items(index);
}

std::string TComparisonSession::EntryCaption(int index) const {
  // The caption needs the topics, not their comparison.
  const TComparisonEntry entry = ClassifiedEntry(index);
  const TQCTopic* topic = entry.Latest != nullptr ? entry.Latest : entry.History;
  if (topic == nullptr) return {};
  return Format("%s (%d)", std::string(topic->DisplayNameView()).c_str(), topic->TopicID());
}

TPairingDoubts TComparisonSession::PairingDoubts() const {
  TPairingDoubts doubts;
  doubts.Notes.resize(static_cast<size_t>(EntryCount()));
  std::unordered_map<const TQCTopic*, int> deletedEntries;
  for (int i = LatestEntryCount(); i < EntryCount(); ++i) deletedEntries[ClassifiedEntry(i).History] = i;
  const auto entryOf = [&](const TQCTopic* topic) {
    if (topic->Topics() == &Latest().Topics()) return topic->Index();
    const auto it = deletedEntries.find(topic);
    return it != deletedEntries.end() ? it->second : -1;
  };
  // IDs held twice within one file.
  for (const TQuillcrafterDoc* document : {&Latest(), &History()}) {
    const TQCTopics& topics = document->Topics();
    std::unordered_map<int32_t, std::vector<const TQCTopic*>> byID;
    for (int i = 0; i < topics.Count(); ++i) byID[topics.Items(i)->TopicID()].push_back(topics.Items(i));
    for (const auto& [id, holders] : byID) {
      if (holders.size() < 2) continue;
      doubts.SharedIDs += static_cast<int>(holders.size());
      for (const TQCTopic* topic : holders) {
        const int entry = entryOf(topic);
        if (entry < 0) continue;
        std::string& note = doubts.Notes[static_cast<size_t>(entry)];
        if (!note.empty()) note += "; ";
        note += Format("%s has %d topics with ID %d", document == &Latest() ? "Latest" : "History",
                       static_cast<int>(holders.size()), id);
      }
    }
  }
  // History topics that several Latest topics match.
  std::unordered_map<const TQCTopic*, std::vector<int>> byMatch;
  for (int i = 0; i < LatestEntryCount(); ++i)
    if (const TQCTopic* match = ClassifiedEntry(i).History; match != nullptr) byMatch[match].push_back(i);
  for (const auto& [match, entries] : byMatch) {
    if (entries.size() < 2) continue;
    doubts.SharedMatches += static_cast<int>(entries.size());
    for (int entry : entries) {
      // A few of the others name the group; a tooltip stays one line.
      constexpr int kNamed = 5;
      std::string others;
      int named = 0;
      for (int other : entries) {
        if (other == entry) continue;
        if (named++ == kNamed) {
          others += Format(" and %d more", static_cast<int>(entries.size()) - 1 - kNamed);
          break;
        }
        if (!others.empty()) others += ", ";
        others += std::to_string(ClassifiedEntry(other).Latest->TopicID());
      }
      std::string& note = doubts.Notes[static_cast<size_t>(entry)];
      if (!note.empty()) note += "; ";
      note += Format("matches History topic %d, as Latest %s %s", match->TopicID(),
                     entries.size() > 2 ? "topics" : "topic", others.c_str());
    }
  }
  return doubts;
}

int32_t TComparisonSession::PartnerIDIfOther(int index) const {
  const TComparisonEntry entry = ClassifiedEntry(index);
  if (entry.Latest == nullptr || entry.History == nullptr) return -1;
  return entry.History->TopicID() != entry.Latest->TopicID() ? entry.History->TopicID() : -1;
}

void TComparisonSession::Recount(bool entriesMoved) {
  const bool changed = FPair->Reclassify() || entriesMoved;
  FPending.CountersChanged = true;
  if (!changed) return;
  FPending.EntriesMoved = true;
  if (FSelected >= 0) FollowSelection();
}

void TComparisonSession::FollowSelection() {
  // The selection stays with its pair's topics: the Latest topic where it
  // has one, else the History topic, as a deleted entry or with the first
  // Latest topic that now matches it. Only pointers are compared: a topic
  // removed from outside may be gone already.
  const TQCTopic* orig = LatestTopic();
  const TQCTopic* hist = HistoryTopic();
  int selected = orig != nullptr ? Latest().Topics().IndexOf(orig) : -1;
  if (selected < 0 && hist != nullptr) {
    selected = FPair->EntryIndexOf(hist);
    if (selected < 0)
      for (int i = 0; i < LatestEntryCount(); ++i)
        if (FPair->ClassifiedEntry(i).History == hist) {
          selected = i;
          break;
        }
  }
  FSelected = selected;
  FindPartner();
}

std::string TComparisonSession::StatusText(int panel) const {
  if (panel >= 0 && panel < TopicComparisonCount) return StatusPanelText(Counters(), panel);
  // The selected topic's class in the list's words; nothing while none is selected.
  if (panel == TopicComparisonCount)
    return FSelected >= 0 && (LatestTopic() != nullptr || HistoryTopic() != nullptr)
               ? ClassInfo(EntryClass(FSelected)).Label
               : std::string();
  return {};
}

std::vector<TFieldDifference> TComparisonSession::FieldDifferences(int index) const {
  const TComparisonEntry entry = Entry(index);
  if (entry.Latest == nullptr || entry.History == nullptr) return {};
  return TopicFieldDifferences(*entry.Latest, *entry.History, Decoder(),
                               [this](const TQCTopic& topic) { return PlainTextOf(&topic); });
}

std::string TComparisonSession::EntryToolTip(int index) const {
  const TComparisonEntry entry = Entry(index);
  if (entry.Latest == nullptr && entry.History == nullptr) return {};
  switch (entry.Class) {
    case tcNew:
      return "New: only in Latest";
    case tcDeleted:
      return "Deleted: only in History";
    case tcIdentical:
      return "Identical";
    case tcIdenticalText:
      return "Identical text; " + JoinSummaries(FieldDifferences(index));
    default:
      return "Different; " + JoinSummaries(FieldDifferences(index));
  }
}

// --- The selected pair ---------------------------------------------------------------------

void TComparisonSession::Select(int index) {
  TNoticeScope notice(*this);
  FSelected = index >= 0 && index < EntryCount() ? index : -1;
  FindPartner();
  FSelection->Compare();
  FPending.SelectionChanged = true;
}

void TComparisonSession::FindPartner() {
  TQCTopic* orig = EntryTopic(FSelected);
  FSelection->SetTopics(orig, orig != nullptr ? FPair->MatchOf(*orig) : FPair->DeletedEntryTopic(FSelected));
}

std::vector<TRowFormatChange> TComparisonSession::SelectedFormatChanges() const {
  return FSelection->FormatChanges();
}

void TComparisonSession::TopicChanged(TQCTopic* topic) {
  TNoticeScope notice(*this);
  if (FInCopy) return;
  // A change outside the session's own copies (an import, a script): the
  // shown pair follows its topics, and the classes follow the documents. A
  // notice for a whole collection may mean topics came or went.
  const bool whole = topic == nullptr;
  if (whole)
    FPending.AllTopicsChanged = true;
  else
    NoteTopicChanged(topic);
  FPending.ClassesChanged = true;
  Recount(whole);
  if (whole || topic == LatestTopic() || topic == HistoryTopic()) {
    FindPartner();
    FSelection->Compare();
    FPending.SelectionChanged = true;
  }
}

// --- Editing topics ---------------------------------------------------------------------------

void TComparisonSession::EditTopic(TQCTopic& target, const std::function<void()>& edit) {
  TNoticeScope notice(*this);
  const TTopicEditUpdate update = FPair->EditTopic(target, [this, &edit] {
    TOwnChange own(FInCopy);
    edit();
  });
  NoteTopicChanged(&target);
  if (update.ChangedEntry >= 0)
    NoteEntryChanged(update.ChangedEntry);
  else
    FPending.ClassesChanged = true;
  FPending.CountersChanged = true;
  // The pair stays as it is (a copy is within it, an undo may be outside
  // it) unless the entries moved; its texts are compared again either way.
  if (update.EntriesMoved) {
    FPending.EntriesMoved = true;
    if (FSelected >= 0) FollowSelection();
  }
  FSelection->Compare();
  FPending.SelectionChanged = true;
}

void TComparisonSession::AssignTopic(TQCTopic& target, const TQCTopic& source, bool textOnly) {
  EditTopic(target, [&] {
    if (textOnly)
      target.SetText(source.Text());
    else
      target.Assign(source);
  });
}

void TComparisonSession::SetTopicText(TQCTopic& target, const TStringList& text) {
  EditTopic(target, [&] { target.SetText(text); });
}

TQCTopic* TComparisonSession::AddTopicCopy(bool intoLatest, const TQCTopic& source) {
  TNoticeScope notice(*this);
  TQuillcrafterDoc& document = intoLatest ? Latest() : History();
  TQCTopics& topics = document.Topics();
  TQCTopic* topic = nullptr;
  {
    TOwnChange own(FInCopy);
    // The new topic holds a provisional ID above every other until it gets
    // the one it keeps, so it never stands in the way of its own ID.
    topic = topics.Add();
    toolkit::TScopeExit dropOnFailure([&topics, topic] { topics.Delete(topic->Index()); });
    const int32_t wanted = source.TopicID();
    const int holder = topics.IndexOfTopicID(wanted);
    if (holder >= 0 && topics.Items(holder) != topic)
      topic->SetTopicID(document.NextTopicID(holder));
    else
      topic->SetTopicID(wanted);
    TQCTopic content;
    content.Assign(source);
    std::string context = source.ContextString();
    if (context == QCContextPrefix + std::to_string(wanted))
      context = QCContextPrefix + std::to_string(topic->TopicID());
    content.SetContextString(context);
    SetTopicFields(*topic, content);
    dropOnFailure.Dismiss();
  }
  NoteTopicChanged(topic);
  EntriesEdited(intoLatest);
  return topic;
}

TRemovedTopic TComparisonSession::RemoveTopic(TQCTopic& topic) {
  TNoticeScope notice(*this);
  TRemovedTopic removed;
  const TQCTopics* topics = topic.Topics();
  if (topics != &Latest().Topics() && topics != &History().Topics())
    throw EInvalidOperation("The topic to remove is in neither file");
  removed.FromLatest = topics == &Latest().Topics();
  removed.Index = topic.Index();
  {
    TOwnChange own(FInCopy);
    topic.SetCollection(nullptr);
  }
  removed.Topic.reset(&topic);
  NoteTopicChanged(&topic);
  EntriesEdited(removed.FromLatest);
  return removed;
}

TQCTopic* TComparisonSession::RestoreTopic(TRemovedTopic&& removed) {
  TNoticeScope notice(*this);
  if (removed.Topic == nullptr) throw EInvalidOperation("No removed topic to put back");
  TQCTopics& topics = removed.FromLatest ? Latest().Topics() : History().Topics();
  if (topics.IndexOfTopicID(removed.Topic->TopicID()) >= 0)
    throw EInvalidOperation(Format("Topic ID %d is in use", removed.Topic->TopicID()));
  TQCTopic* topic = removed.Topic.get();
  {
    TOwnChange own(FInCopy);
    topic->SetCollection(&topics);
    removed.Topic.release();
    if (removed.Index >= 0 && removed.Index < topics.Count()) topic->SetIndex(removed.Index);
  }
  NoteTopicChanged(topic);
  EntriesEdited(removed.FromLatest);
  return topic;
}

void TComparisonSession::EntriesEdited(bool latestChanged) {
  // Latest's entries moved; a changed History may have changed any class.
  if (!latestChanged) FPending.ClassesChanged = true;
  Recount(latestChanged);
  FindPartner();
  FSelection->Compare();
  FPending.SelectionChanged = true;
}

// --- Copies ------------------------------------------------------------------------------------

bool TComparisonSession::CanCopy(TCopyKind kind) const {
  TQCTopic* orig = LatestTopic();
  TQCTopic* hist = HistoryTopic();
  if (orig != nullptr && hist != nullptr) return !orig->IsEqual(hist);
  if (hist != nullptr) return kind == TCopyKind::ToLatest;
  if (orig != nullptr) return kind == TCopyKind::ToHistory;
  return false;
}

std::optional<TTopicEdit> TComparisonSession::MakeCopy(TCopyKind kind) const {
  if (!CanCopy(kind)) return std::nullopt;
  TQCTopic* orig = LatestTopic();
  TQCTopic* hist = HistoryTopic();
  switch (kind) {
    case TCopyKind::ToLatest:
      if (orig == nullptr) return TTopicEdit::Add(*hist, true);
      return TTopicEdit::Replace(*orig, *hist, true);
    case TCopyKind::TextToLatest:
      return TTopicEdit::Text(*orig, hist->Text(), true);
    case TCopyKind::ToHistory:
      if (hist == nullptr) return TTopicEdit::Add(*orig, false);
      return TTopicEdit::Replace(*hist, *orig, false);
    case TCopyKind::TextToHistory:
      return TTopicEdit::Text(*hist, orig->Text(), false);
  }
  return std::nullopt;
}

TQCTopic* TComparisonSession::Copy(TCopyKind kind) {
  TNoticeScope notice(*this);
  std::optional<TTopicEdit> edit = MakeCopy(kind);
  if (!edit) return nullptr;
  Apply(*edit);
  return edit->Kind() == TTopicEdit::TKind::Add ? edit->Topic() : nullptr;
}
