#include "compare/ComparisonSession.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>
#include <unordered_set>

#include "compare/EntryFilter.h"
#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "toolkit/ScopeGuard.h"
#include "toolkit/SysUtils.h"

std::string RtfPlainTextCrLf(std::string_view rtf, const TCodePageDecoder& decode) {
  // The difference engine's text ends at a NUL byte; a NUL in a topic (\'00,
  // \u0) is compared and shown as the symbol for it, U+2400, instead of
  // hiding everything after it.
  static constexpr std::string_view kNulSymbol = "\xE2\x90\x80";
  std::string text;
  for (const std::string& line : RtfToPlainTextLines(rtf, decode)) {
    for (size_t start = 0;;) {
      const size_t nul = line.find('\0', start);
      text.append(line, start, nul == std::string::npos ? std::string::npos : nul - start);
      if (nul == std::string::npos) break;
      text += kNulSymbol;
      start = nul + 1;
    }
    text += "\r\n";
  }
  return text;
}

namespace {

TPlainTextFunction DefaultPlainText(const TCodePageDecoder& decode) {
  return [decode](std::string_view rtf) { return RtfPlainTextCrLf(rtf, decode); };
}

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

TRemovedTopic::TRemovedTopic() = default;
TRemovedTopic::TRemovedTopic(TRemovedTopic&&) noexcept = default;
TRemovedTopic& TRemovedTopic::operator=(TRemovedTopic&&) noexcept = default;
TRemovedTopic::~TRemovedTopic() = default;

TComparisonSession::TComparisonSession(TCodePageDecoder decode)
    : FLatest(std::make_unique<TQuillcrafterDoc>()),
      FHistory(std::make_unique<TQuillcrafterDoc>()),
      FEngine(std::make_unique<TdvDiffEngine>()),
      FDecode(std::move(decode)),
      FPlainText(DefaultPlainText(FDecode)),
      FFilter(std::make_unique<TEntryFilter>(*this)) {
  ApplyDefaultSettings(*FLatest);
  ApplyDefaultSettings(*FHistory);
  FMatcher = std::make_unique<TTopicMatcher>(FHistory->Topics());
  FEngine->SetDiffOptions({fdoCaseSensitive, fdoIgnoreTrailingWhiteSpace, fdoIgnoreLeadingWhiteSpace});
  Connect();
}

TComparisonSession::~TComparisonSession() {
  FLatest->OnTopicChange = nullptr;
  FHistory->OnTopicChange = nullptr;
}

void TComparisonSession::ApplyDefaultSettings(TQuillcrafterDoc& doc) {
  doc.Options().SetFileVersion(13);
  doc.Options().SetHelpFileKind(0);
  doc.Options().SetHelpFileType(ft16Bit);
  doc.Options().SetGenerateCFile(false);
  doc.Options().SetIncludeImages(false);
  doc.RecentFiles().SetMaxCount(4);
  doc.RecentFiles().SetPushAtEnd(false);
  doc.SetTopicIncrement(1);
  doc.SetVersion(1.0f);
  TQCWebExportOptions& web = doc.Options().WebExportOptions();
  web.Contents = "Contents";
  web.ContentsTitle = "%s Contents";
  web.Index = "Index";
  web.IndexTitle = "%s Index";
  web.Previous = "Previous";
  web.Next = "Next";
  const int sourceCode = doc.TextMacros().IndexOfDisplayName("*SourceCode");
  if (sourceCode >= 0) doc.TextMacros().Items(sourceCode)->SetSize(10);
  doc.SetModified(false);
}

void TComparisonSession::Connect() {
  FLatest->OnTopicChange = [this](TObject*, TQCTopic* topic) { TopicChanged(topic); };
  FHistory->OnTopicChange = [this](TObject*, TQCTopic* topic) { TopicChanged(topic); };
}

// --- Files ------------------------------------------------------------------------

void TComparisonSession::OpenFiles(const std::string& latestFile,
                                   const std::optional<std::string>& historyFile) {
  OpenFiles(latestFile, [&historyFile] { return historyFile; });
}

std::unique_ptr<TQuillcrafterDoc> TComparisonSession::ReadDocument(const std::string& fileName) {
  auto document = std::make_unique<TQuillcrafterDoc>();
  ApplyDefaultSettings(*document);
  document->LoadFromFile(fileName);
  return document;
}

void TComparisonSession::ForgetSelection() {
  FSelected = -1;
  FOrig = nullptr;
  FHist = nullptr;
  FDeleted.clear();
}

void TComparisonSession::OpenFiles(const std::string& latestFile,
                                   const std::function<std::optional<std::string>()>& chooseHistory) {
  TNoticeScope notice(*this);
  // Both files are read into documents of their own first; only when both
  // have been read do they take the place of the ones shown.
  std::unique_ptr<TQuillcrafterDoc> latest = ReadDocument(latestFile);
  const std::optional<std::string> historyFile = chooseHistory ? chooseHistory() : std::nullopt;
  std::unique_ptr<TQuillcrafterDoc> history = historyFile ? ReadDocument(*historyFile) : nullptr;

  FLatest->OnTopicChange = nullptr;
  FHistory->OnTopicChange = nullptr;
  ForgetSelection();
  FFilter->Reset();
  FLatest = std::move(latest);
  FLatestFileName = latestFile;
  if (history) {
    FHistory = std::move(history);
    FHistoryFileName = *historyFile;
    FMatcher = std::make_unique<TTopicMatcher>(FHistory->Topics());
  }
  Connect();
  FEngine->CompareStrings({}, {});
  Reclassify(true);
  FPending.EntriesReset = true;
  FPending.CountersChanged = true;
  FPending.SelectionChanged = true;
}

void TComparisonSession::OpenHistory(const std::string& historyFile) {
  TNoticeScope notice(*this);
  std::unique_ptr<TQuillcrafterDoc> history = ReadDocument(historyFile);
  FHistory->OnTopicChange = nullptr;
  ForgetSelection();
  FFilter->Reset();
  FHistory = std::move(history);
  FHistoryFileName = historyFile;
  FMatcher = std::make_unique<TTopicMatcher>(FHistory->Topics());
  Connect();
  FEngine->CompareStrings({}, {});
  FPending.ClassesChanged = true;
  // The deleted entries are another document's topics now.
  Recount(true);
  FPending.SelectionChanged = true;
}

void TComparisonSession::SaveDocument(TQuillcrafterDoc& document, const std::string& fileName) {
  document.SaveToFile(fileName, FBackups);
}

void TComparisonSession::SaveLatest(const std::string& fileName) {
  SaveDocument(*FLatest, fileName);
  // Latest is that file now: a later save writes there.
  FLatestFileName = fileName;
}

void TComparisonSession::SaveHistory(const std::string& fileName) {
  SaveDocument(*FHistory, fileName);
  FHistoryFileName = fileName;
}

// --- Classification -------------------------------------------------------------------

void TComparisonSession::SetMatchMode(TTopicMatchMode value) {
  TNoticeScope notice(*this);
  FMatchMode = value;
  FPending.ClassesChanged = true;
  const bool selected = FSelected >= 0;
  Recount();
  if (FSelected >= 0) FindPartner();
  if (selected) CompareSelectedTexts();
  FPending.SelectionChanged = true;
}

void TComparisonSession::SetShowDeleted(bool value) {
  TNoticeScope notice(*this);
  if (value == FShowDeleted) return;
  FShowDeleted = value;
  const bool selected = FSelected >= 0;
  Recount(true);
  // Hiding them ends the selection of a deleted entry.
  if (selected && FSelected < 0) {
    CompareSelectedTexts();
    FPending.SelectionChanged = true;
  }
}

int TComparisonSession::EntryCount() const { return LatestEntryCount() + static_cast<int>(FDeleted.size()); }

int TComparisonSession::LatestEntryCount() const { return FLatest->Topics().Count(); }

TQCTopic* TComparisonSession::DeletedEntryTopic(int index) const {
  const int deleted = index - LatestEntryCount();
  if (deleted < 0 || deleted >= static_cast<int>(FDeleted.size())) return nullptr;
  return FDeleted[static_cast<size_t>(deleted)];
}

TComparisonEntry TComparisonSession::Entry(int index) const {
  TComparisonEntry entry;
  if (index < 0) return entry;
  if (index < LatestEntryCount()) {
    entry.Latest = FLatest->Topics().Items(index);
    entry.History = FMatcher->FindMatchingTopic(*entry.Latest, FMatchMode);
    entry.Class = ClassifyPair(*entry.Latest, entry.History);
  } else if ((entry.History = DeletedEntryTopic(index)) != nullptr) {
    entry.Class = tcDeleted;
  }
  return entry;
}

TQCTopic* TComparisonSession::EntryTopic(int index) const {
  if (index < 0 || index >= LatestEntryCount()) return nullptr;
  return FLatest->Topics().Items(index);
}

TTopicComparison TComparisonSession::EntryClass(int index) const { return Entry(index).Class; }

TQCTopic* TComparisonSession::EntryMatch(int index) const { return Entry(index).History; }

int TComparisonSession::EntryIndexOf(const TQCTopic* topic) const {
  if (topic == nullptr) return -1;
  const int latest = FLatest->Topics().IndexOf(topic);
  if (latest >= 0) return latest;
  const auto it = std::find(FDeleted.begin(), FDeleted.end(), topic);
  if (it == FDeleted.end()) return -1;
  return LatestEntryCount() + static_cast<int>(it - FDeleted.begin());
}

std::string TComparisonSession::EntryCaption(int index) const {
  // The caption needs the topics, not their comparison.
  const TComparisonEntry entry = ClassifiedEntry(index);
  const TQCTopic* topic = entry.Latest != nullptr ? entry.Latest : entry.History;
  if (topic == nullptr) return {};
  return Format("%s (%d)", std::string(topic->DisplayNameView()).c_str(), topic->TopicID());
}

bool TComparisonSession::Reclassify(bool entriesMoved) {
  // One pass over Latest through the matcher's indexes classes every topic
  // and marks the History topics matched; one pass over History in its
  // order collects the rest. Linear however many topics there are.
  const TQCTopics& latest = FLatest->Topics();
  const TQCTopics& history = FHistory->Topics();
  TTopicCounters counters;
  std::unordered_set<const TQCTopic*> matched;
  if (FShowDeleted) matched.reserve(static_cast<size_t>(latest.Count()));
  // The first Latest entry that pairs with the selected History topic now:
  // where the selection goes when its Latest topic is gone or it had none.
  int partnerOfSelected = -1;
  const TQCTopic* selectedHistory = FSelected >= 0 ? FHist : nullptr;
  std::vector<TComparisonEntry> classified;
  classified.reserve(static_cast<size_t>(latest.Count()));
  for (int i = 0; i < latest.Count(); ++i) {
    TQCTopic* topic = latest.Items(i);
    TQCTopic* match = FMatcher->FindMatchingTopic(*topic, FMatchMode);
    const TTopicComparison kind = ClassifyPair(*topic, match);
    ++counters.Counts[kind];
    classified.push_back({topic, match, kind});
    if (match == nullptr) continue;
    if (FShowDeleted) matched.insert(match);
    if (partnerOfSelected < 0 && match == selectedHistory) partnerOfSelected = i;
  }
  std::vector<TQCTopic*> deleted;
  if (FShowDeleted)
    for (int i = 0; i < history.Count(); ++i)
      if (!matched.contains(history.Items(i))) deleted.push_back(history.Items(i));
  counters.Counts[tcDeleted] = static_cast<int32_t>(deleted.size());
  FCounters = counters;
  FClassified = std::move(classified);
  FFilter->EntriesChanged();
  const bool changed = entriesMoved || deleted != FDeleted;
  FDeleted = std::move(deleted);
  if (!changed || FSelected < 0) return changed;

  // The selection stays with its pair's topics: the Latest topic where it
  // has one, else the History topic, as a deleted entry or with the Latest
  // topic that now matches it. Only pointers are compared: a topic removed
  // from outside may be gone already.
  int selected = FOrig != nullptr ? latest.IndexOf(FOrig) : -1;
  if (selected < 0 && FHist != nullptr) {
    const auto it = std::find(FDeleted.begin(), FDeleted.end(), FHist);
    if (it != FDeleted.end())
      selected = LatestEntryCount() + static_cast<int>(it - FDeleted.begin());
    else
      selected = partnerOfSelected;
  }
  FSelected = selected;
  FindPartner();
  return changed;
}

void TComparisonSession::Recount(bool entriesMoved) {
  const bool changed = Reclassify(entriesMoved);
  if (changed) FPending.EntriesMoved = true;
  FPending.CountersChanged = true;
}

std::string TComparisonSession::StatusText(int panel) const {
  if (panel >= 0 && panel < TopicComparisonCount) return StatusPanelText(FCounters, panel);
  if (panel == TopicComparisonCount)
    return FOrig == nullptr && FHist != nullptr ? SPairDifferent : PairStateText(FOrig, FHist);
  return {};
}

std::vector<TFieldDifference> TComparisonSession::FieldDifferencesOf(const TQCTopic* latest,
                                                                     const TQCTopic* history) const {
  if (latest == nullptr || history == nullptr) return {};
  return TopicFieldDifferences(*latest, *history, FDecode,
                               [this](const TQCTopic& topic) { return PlainTextOf(&topic); });
}

std::vector<TFieldDifference> TComparisonSession::FieldDifferences(int index) const {
  const TComparisonEntry entry = Entry(index);
  return FieldDifferencesOf(entry.Latest, entry.History);
}

std::vector<TFieldDifference> TComparisonSession::SelectedFieldDifferences() const {
  if (FOrig == nullptr || FHist == nullptr) return {};
  // The pair's plain texts were made for its comparison: made again they
  // would cost as much as the comparison itself.
  return TopicFieldDifferences(*FOrig, *FHist, FDecode, [this](const TQCTopic& topic) {
    if (&topic == FOrig) return FOrigPlainText;
    if (&topic == FHist) return FHistPlainText;
    return PlainTextOf(&topic);
  });
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
      return "Identical text; " + JoinSummaries(FieldDifferencesOf(entry.Latest, entry.History));
    default:
      return "Different; " + JoinSummaries(FieldDifferencesOf(entry.Latest, entry.History));
  }
}

// --- The selected pair ---------------------------------------------------------------------

void TComparisonSession::Select(int index) {
  TNoticeScope notice(*this);
  FSelected = index >= 0 && index < EntryCount() ? index : -1;
  FindPartner();
  CompareSelectedTexts();
  FPending.SelectionChanged = true;
}

void TComparisonSession::FindPartner() {
  FOrig = EntryTopic(FSelected);
  if (FOrig != nullptr)
    FHist = FMatcher->FindMatchingTopic(*FOrig, FMatchMode);
  else
    FHist = DeletedEntryTopic(FSelected);
}

bool TComparisonSession::PairDiffers() const {
  return FOrig != nullptr && FHist != nullptr && !FOrig->IsEqual(FHist);
}

void TComparisonSession::SetPlainTextFunction(TPlainTextFunction value) {
  TNoticeScope notice(*this);
  FPlainText = value ? std::move(value) : DefaultPlainText(FDecode);
  FFilter->Reset();
  CompareSelectedTexts();
  FPending.SelectionChanged = true;
}

std::string TComparisonSession::PlainTextOf(const TQCTopic* topic) const {
  if (topic == nullptr) return {};
  return FPlainText(topic->WholeText());
}

void TComparisonSession::CompareSelectedTexts() {
  FOrigPlainText = PlainTextOf(FOrig);
  FHistPlainText = PlainTextOf(FHist);
  FEngine->CompareStrings(FOrigPlainText, FHistPlainText);
}

void TComparisonSession::TopicChanged(TQCTopic* topic) {
  TNoticeScope notice(*this);
  if (FInCopy) return;
  // A change outside the session's own copies (an import, a script): the
  // shown pair follows its topics, and the classes follow the documents. A
  // notice for a whole collection may mean topics came or went.
  const bool whole = topic == nullptr;
  if (whole)
    FFilter->Reset();
  else
    FFilter->TopicChanged(topic);
  FPending.ClassesChanged = true;
  Recount(whole);
  if (whole || topic == FOrig || topic == FHist) {
    FindPartner();
    CompareSelectedTexts();
    FPending.SelectionChanged = true;
  }
}

// --- Copies ------------------------------------------------------------------------------------

void TComparisonSession::AssignTopic(TQCTopic& target, const TQCTopic& source, bool textOnly) {
  TNoticeScope notice(*this);
  const bool intoLatest = target.Topics() == &FLatest->Topics();
  // Only the entries of the target can change class, as long as what the
  // matching goes by (ID and title) stays: those are counted again rather
  // than every pair of both files.
  const int32_t idBefore = target.TopicID();
  const std::string nameBefore(target.DisplayNameView());
  std::vector<const TQCTopic*> affected;  // the Latest topics of the entries
  if (intoLatest) {
    affected.push_back(&target);
  } else {
    const TQCTopics& latest = FLatest->Topics();
    for (int i = 0; i < latest.Count(); ++i)
      if (FMatcher->FindMatchingTopic(*latest.Items(i), FMatchMode) == &target)
        affected.push_back(latest.Items(i));
  }
  TTopicCounters counters = FCounters;
  for (const TQCTopic* topic : affected)
    --counters.Counts[ClassifyPair(*topic, FMatcher->FindMatchingTopic(*topic, FMatchMode))];
  {
    TOwnChange own(FInCopy);
    if (textOnly)
      target.SetText(source.Text());
    else
      target.Assign(source);
  }
  FFilter->TopicChanged(&target);
  const bool sameMatching = target.TopicID() == idBefore && target.DisplayNameView() == nameBefore;
  // A Latest topic's class depends on it alone; a History topic may be the
  // match of any number of entries.
  const int entry = intoLatest ? target.Index() : -1;
  if (intoLatest)
    NoteEntryChanged(entry);
  else
    FPending.ClassesChanged = true;
  // The pair stays as it is (a copy is within it, an undo may be outside
  // it) unless the entries moved; its texts are compared again either way.
  if (sameMatching) {
    for (const TQCTopic* topic : affected) {
      const TTopicComparison kind = ClassifyPair(*topic, FMatcher->FindMatchingTopic(*topic, FMatchMode));
      ++counters.Counts[kind];
      const int index = topic->Index();
      if (index >= 0 && index < static_cast<int>(FClassified.size()))
        FClassified[static_cast<size_t>(index)].Class = kind;
    }
    FCounters = counters;
    FFilter->EntriesChanged();
    FPending.CountersChanged = true;
  } else {
    Recount();
  }
  CompareSelectedTexts();
  FPending.SelectionChanged = true;
}

TQCTopic* TComparisonSession::AddTopicCopy(bool intoLatest, const TQCTopic& source) {
  TNoticeScope notice(*this);
  TQuillcrafterDoc& document = intoLatest ? *FLatest : *FHistory;
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
  FFilter->TopicChanged(topic);
  EntriesEdited(intoLatest);
  return topic;
}

TRemovedTopic TComparisonSession::RemoveTopic(TQCTopic& topic) {
  TNoticeScope notice(*this);
  TRemovedTopic removed;
  const TQCTopics* topics = topic.Topics();
  if (topics != &FLatest->Topics() && topics != &FHistory->Topics())
    throw EInvalidOperation("The topic to remove is in neither file");
  removed.FromLatest = topics == &FLatest->Topics();
  removed.Index = topic.Index();
  {
    TOwnChange own(FInCopy);
    topic.SetCollection(nullptr);
  }
  removed.Topic.reset(&topic);
  FFilter->TopicChanged(&topic);
  EntriesEdited(removed.FromLatest);
  return removed;
}

TQCTopic* TComparisonSession::RestoreTopic(TRemovedTopic removed) {
  TNoticeScope notice(*this);
  if (removed.Topic == nullptr) throw EInvalidOperation("No removed topic to put back");
  TQCTopics& topics = removed.FromLatest ? FLatest->Topics() : FHistory->Topics();
  if (topics.IndexOfTopicID(removed.Topic->TopicID()) >= 0)
    throw EInvalidOperation(Format("Topic ID %d is in use", removed.Topic->TopicID()));
  TQCTopic* topic = removed.Topic.get();
  {
    TOwnChange own(FInCopy);
    topic->SetCollection(&topics);
    removed.Topic.release();
    if (removed.Index >= 0 && removed.Index < topics.Count()) topic->SetIndex(removed.Index);
  }
  FFilter->TopicChanged(topic);
  EntriesEdited(removed.FromLatest);
  return topic;
}

void TComparisonSession::EntriesEdited(bool latestChanged) {
  // Latest's entries moved; a changed History may have changed any class.
  if (!latestChanged) FPending.ClassesChanged = true;
  Recount(latestChanged);
  FindPartner();
  CompareSelectedTexts();
  FPending.SelectionChanged = true;
}

bool TComparisonSession::CanCopy(TCopyKind kind) const {
  if (FOrig != nullptr && FHist != nullptr) return !FOrig->IsEqual(FHist);
  if (FHist != nullptr) return kind == TCopyKind::ToLatest;
  if (FOrig != nullptr) return kind == TCopyKind::ToHistory;
  return false;
}

TQCTopic* TComparisonSession::Copy(TCopyKind kind) {
  TNoticeScope notice(*this);
  if (!CanCopy(kind)) return nullptr;
  switch (kind) {
    case TCopyKind::ToLatest:
      if (FOrig == nullptr) return AddTopicCopy(true, *FHist);
      AssignTopic(*FOrig, *FHist, false);
      break;
    case TCopyKind::TextToLatest:
      AssignTopic(*FOrig, *FHist, true);
      break;
    case TCopyKind::ToHistory:
      if (FHist == nullptr) return AddTopicCopy(false, *FOrig);
      AssignTopic(*FHist, *FOrig, false);
      break;
    case TCopyKind::TextToHistory:
      AssignTopic(*FHist, *FOrig, true);
      break;
  }
  return nullptr;
}

// --- Moving through the differences ----------------------------------------------------------

int TComparisonSession::NextDifferentEntry(int from, bool forward, bool* wrapped) const {
  const int count = EntryCount();
  if (wrapped) *wrapped = false;
  if (count == 0) return -1;
  // From outside the entries, the first step lands on the first (or last) entry.
  int at = from < 0 || from >= count ? (forward ? -1 : count) : from;
  for (int step = 0; step < count + 1; ++step) {
    at += forward ? 1 : -1;
    if (at >= count || at < 0) {
      at = at >= count ? 0 : count - 1;
      if (wrapped) *wrapped = true;
    }
    if (EntryClass(at) != tcIdentical) return at;
  }
  return -1;
}

int TComparisonSession::NextChangeRow(int row, bool forward) const {
  const std::vector<TdvDiffRow>& rows = FEngine->Rows();
  const int count = static_cast<int>(rows.size());
  auto changed = [&](int i) { return rows[static_cast<size_t>(i)].Kind1 != dkSame; };
  // A block starts where a changed row follows a same row (or the start).
  auto starts = [&](int i) { return changed(i) && (i == 0 || !changed(i - 1)); };
  if (forward) {
    for (int i = std::max(row + 1, 0); i < count; ++i)
      if (starts(i)) return i;
  } else {
    for (int i = std::min(row, count) - 1; i >= 0; --i)
      if (starts(i)) return i;
  }
  return -1;
}
