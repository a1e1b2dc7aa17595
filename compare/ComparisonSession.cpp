#include "compare/ComparisonSession.h"

#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"
#include "richtext/RtfPlainText.h"
#include "toolkit/ScopeGuard.h"

std::string RtfPlainTextCrLf(std::string_view rtf) {
  // The difference engine's text ends at a NUL byte; a NUL in a topic (\'00,
  // \u0) is compared and shown as the symbol for it, U+2400, instead of
  // hiding everything after it.
  static constexpr std::string_view kNulSymbol = "\xE2\x90\x80";
  std::string text;
  for (const std::string& line : RtfToPlainTextLines(rtf)) {
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

TComparisonSession::TComparisonSession()
    : FLatest(std::make_unique<TQuillcrafterDoc>()),
      FHistory(std::make_unique<TQuillcrafterDoc>()),
      FEngine(std::make_unique<TdvDiffEngine>()),
      FPlainText(&RtfPlainTextCrLf) {
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
  // Both files are read into documents of their own first; only when both
  // have been read do they take the place of the ones shown.
  auto latest = std::make_unique<TQuillcrafterDoc>();
  ApplyDefaultSettings(*latest);
  latest->LoadFromFile(latestFile);
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

void TComparisonSession::SaveLatest(const std::string& fileName) { FLatest->SaveToFile(fileName); }

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
  FPlainText = value ? std::move(value) : TPlainTextFunction(&RtfPlainTextCrLf);
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

template <class F>
void TComparisonSession::CopyWithinPair(F&& copy) {
  if (!PairDiffers()) return;
  {
    FInCopy = true;
    toolkit::TScopeExit endCopy([this] { FInCopy = false; });
    copy();
  }
  CompareSelectedTexts();
  if (OnClassesChanged) OnClassesChanged();
  Recount();
  if (OnSelectionChanged) OnSelectionChanged();
}

void TComparisonSession::CopyToLatest() {
  CopyWithinPair([this] { FOrig->Assign(*FHist); });
}

void TComparisonSession::CopyTextToLatest() {
  CopyWithinPair([this] { FOrig->SetText(FHist->Text()); });
}

void TComparisonSession::CopyToHistory() {
  CopyWithinPair([this] { FHist->Assign(*FOrig); });
}

void TComparisonSession::CopyTextToHistory() {
  CopyWithinPair([this] { FHist->SetText(FOrig->Text()); });
}
