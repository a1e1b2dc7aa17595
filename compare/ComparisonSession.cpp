#include "compare/ComparisonSession.h"

#include <filesystem>
#include <system_error>

#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"
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

}  // namespace

TComparisonSession::TComparisonSession(TCodePageDecoder decode)
    : FLatest(std::make_unique<TQuillcrafterDoc>()),
      FHistory(std::make_unique<TQuillcrafterDoc>()),
      FEngine(std::make_unique<TdvDiffEngine>()),
      FDecode(std::move(decode)),
      FPlainText(DefaultPlainText(FDecode)) {
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

void TComparisonSession::OpenFiles(const std::string& latestFile,
                                   const std::function<std::optional<std::string>()>& chooseHistory) {
  // Both files are read into documents of their own first; only when both
  // have been read do they take the place of the ones shown.
  auto latest = std::make_unique<TQuillcrafterDoc>();
  ApplyDefaultSettings(*latest);
  latest->LoadFromFile(latestFile);
  const std::optional<std::string> historyFile = chooseHistory ? chooseHistory() : std::nullopt;
  std::unique_ptr<TQuillcrafterDoc> history;
  if (historyFile) {
    history = std::make_unique<TQuillcrafterDoc>();
    ApplyDefaultSettings(*history);
    history->LoadFromFile(*historyFile);
  }

  FLatest->OnTopicChange = nullptr;
  FHistory->OnTopicChange = nullptr;
  FSelected = -1;
  FOrig = nullptr;
  FHist = nullptr;
  FLatest = std::move(latest);
  FLatestFileName = latestFile;
  if (history) {
    FHistory = std::move(history);
    FHistoryFileName = *historyFile;
    FMatcher = std::make_unique<TTopicMatcher>(FHistory->Topics());
  }
  Connect();
  FEngine->CompareStrings({}, {});
  if (OnEntriesReset) OnEntriesReset();
  Recount();
  if (OnSelectionChanged) OnSelectionChanged();
}

void TComparisonSession::OpenHistory(const std::string& historyFile) {
  auto history = std::make_unique<TQuillcrafterDoc>();
  ApplyDefaultSettings(*history);
  history->LoadFromFile(historyFile);
  FHistory->OnTopicChange = nullptr;
  FSelected = -1;
  FOrig = nullptr;
  FHist = nullptr;
  FHistory = std::move(history);
  FHistoryFileName = historyFile;
  FMatcher = std::make_unique<TTopicMatcher>(FHistory->Topics());
  Connect();
  FEngine->CompareStrings({}, {});
  if (OnClassesChanged) OnClassesChanged();
  Recount();
  if (OnSelectionChanged) OnSelectionChanged();
}

void TComparisonSession::SaveDocument(TQuillcrafterDoc& document, const std::string& fileName) {
  // The version being replaced is kept first; a backup that cannot be
  // written stops the save, so nothing is replaced without it.
  if (FBackups) {
    std::error_code error;
    const std::filesystem::path target(fileName);
    if (std::filesystem::is_regular_file(target, error)) {
      std::filesystem::path backup = target;
      backup += ".bak";
      std::filesystem::copy_file(target, backup, std::filesystem::copy_options::overwrite_existing, error);
      if (error)
        throw EWriteError(
            Format("Cannot write the backup %s: %s", backup.string().c_str(), error.message().c_str()));
    }
  }
  document.SaveToFile(fileName);
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
  FMatchMode = value;
  if (OnClassesChanged) OnClassesChanged();
  Recount();
  if (FSelected >= 0) {
    FindPartner();
    CompareSelectedTexts();
  }
  if (OnSelectionChanged) OnSelectionChanged();
}

int TComparisonSession::EntryCount() const { return FLatest->Topics().Count(); }

TQCTopic* TComparisonSession::EntryTopic(int index) const {
  if (index < 0 || index >= EntryCount()) return nullptr;
  return FLatest->Topics().Items(index);
}

TTopicComparison TComparisonSession::EntryClass(int index) const {
  const TQCTopic* topic = EntryTopic(index);
  if (topic == nullptr) return tcNew;
  return FMatcher->CompareTopic(*topic, FMatchMode);
}

TQCTopic* TComparisonSession::EntryMatch(int index) const {
  const TQCTopic* topic = EntryTopic(index);
  return topic == nullptr ? nullptr : FMatcher->FindMatchingTopic(*topic, FMatchMode);
}

void TComparisonSession::Recount() {
  FCounters = FMatcher->RecountTopics(FLatest->Topics(), FMatchMode);
  if (OnCountersChanged) OnCountersChanged();
}

std::string TComparisonSession::StatusText(int panel) const {
  if (panel >= 0 && panel < TopicComparisonCount) return StatusPanelText(FCounters, panel);
  if (panel == TopicComparisonCount) return PairStateText(FOrig, FHist);
  return {};
}

// --- The selected pair ---------------------------------------------------------------------

void TComparisonSession::Select(int index) {
  FSelected = EntryTopic(index) != nullptr ? index : -1;
  FindPartner();
  CompareSelectedTexts();
  if (OnSelectionChanged) OnSelectionChanged();
}

void TComparisonSession::FindPartner() {
  FOrig = EntryTopic(FSelected);
  FHist = FOrig == nullptr ? nullptr : FMatcher->FindMatchingTopic(*FOrig, FMatchMode);
}

bool TComparisonSession::PairDiffers() const {
  return FOrig != nullptr && FHist != nullptr && !FOrig->IsEqual(FHist);
}

void TComparisonSession::SetPlainTextFunction(TPlainTextFunction value) {
  FPlainText = value ? std::move(value) : DefaultPlainText(FDecode);
  CompareSelectedTexts();
  if (OnSelectionChanged) OnSelectionChanged();
}

std::string TComparisonSession::PlainTextOf(const TQCTopic* topic) const {
  if (topic == nullptr) return {};
  return FPlainText(topic->WholeText());
}

void TComparisonSession::CompareSelectedTexts() {
  FEngine->CompareStrings(PlainTextOf(FOrig), PlainTextOf(FHist));
}

void TComparisonSession::TopicChanged(TQCTopic* topic) {
  if (FInCopy) return;
  // A change outside the session's own copies (an import, a script): the
  // shown pair follows its topics, and the classes follow the documents.
  if (topic == nullptr || topic == FOrig || topic == FHist) {
    FindPartner();
    CompareSelectedTexts();
    if (OnSelectionChanged) OnSelectionChanged();
  }
  if (OnClassesChanged) OnClassesChanged();
  Recount();
}

// --- Copies ------------------------------------------------------------------------------------

void TComparisonSession::AssignTopic(TQCTopic& target, const TQCTopic& source, bool textOnly) {
  const bool intoLatest = target.Topics() == &FLatest->Topics();
  {
    FInCopy = true;
    toolkit::TScopeExit endCopy([this] { FInCopy = false; });
    if (textOnly)
      target.SetText(source.Text());
    else
      target.Assign(source);
  }
  // The pair stays as it is (a copy is within it, an undo may be outside
  // it); its texts are compared again either way.
  CompareSelectedTexts();
  // A Latest topic's class depends on it alone; a History topic may be the
  // match of any number of entries.
  const int entry = intoLatest ? target.Index() : -1;
  if (intoLatest) {
    if (OnEntryChanged) OnEntryChanged(entry);
  } else if (OnClassesChanged) {
    OnClassesChanged();
  }
  Recount();
  if (OnSelectionChanged) OnSelectionChanged();
}

void TComparisonSession::CopyToLatest() {
  if (PairDiffers()) AssignTopic(*FOrig, *FHist, false);
}

void TComparisonSession::CopyTextToLatest() {
  if (PairDiffers()) AssignTopic(*FOrig, *FHist, true);
}

void TComparisonSession::CopyToHistory() {
  if (PairDiffers()) AssignTopic(*FHist, *FOrig, false);
}

void TComparisonSession::CopyTextToHistory() {
  if (PairDiffers()) AssignTopic(*FHist, *FOrig, true);
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
