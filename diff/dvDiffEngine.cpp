// Line difference engine: greedy forward resynchronisation (see the header).
// Normalisation lives in dvDiffEngineText.cpp, the search in
// dvDiffEngineSearch.cpp.
#include "diff/dvDiffEngine.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <functional>

#include "diff/dvDiffEngineSide.h"
#include "diff/dvDiffResult.h"

namespace {

constexpr const char* kNeverHappens = "This should never happen";
constexpr const char* kRunning = "A comparison is already running";
constexpr size_t kReadChunk = 64 * 1024;

std::string ReadToEnd(TStream& stream) {
  // The size, where the stream knows it, is only a hint: reading goes on
  // until the stream gives no more.
  int64_t hint = 0;
  try {
    hint = stream.Size() - stream.Position();
  } catch (const Exception&) {
    hint = 0;
  }
  std::string bytes;
  size_t used = 0;
  bytes.resize(static_cast<size_t>(std::clamp<int64_t>(hint, 0, int64_t{1} << 30)) + kReadChunk);
  for (;;) {
    if (bytes.size() - used < kReadChunk) bytes.resize(bytes.size() * 2);
    const int64_t got = stream.Read(bytes.data() + used, static_cast<int64_t>(bytes.size() - used));
    if (got <= 0) break;
    used += static_cast<size_t>(got);
  }
  bytes.resize(used);
  return bytes;
}

/// Nearest integer of 100 * done / total, halves to the even neighbour.
int32_t PercentRoundedHalfEven(int64_t done, int64_t total) {
  int64_t numerator = 100 * done;
  int64_t quotient = numerator / total;
  int64_t twiceRemainder = 2 * (numerator % total);
  if (twiceRemainder > total || (twiceRemainder == total && quotient % 2 != 0)) ++quotient;
  return static_cast<int32_t>(quotient);
}

}  // namespace

// ---------------------------------------------------------------------------
// Viewer interface

TdvDiffEngineViewer::~TdvDiffEngineViewer() {
  // Copy: UnregisterViewer edits FEngines.
  const auto engines = FEngines;
  for (auto* engine : engines) engine->UnregisterViewer(this);
}

void TdvDiffEngineViewer::DiffEngineDestroyed(TdvCustomDiffEngine*) {}

// ---------------------------------------------------------------------------
// Engine

TdvCustomDiffEngine::TdvCustomDiffEngine()
    : FSource1(std::make_unique<Side>()),
      FSource2(std::make_unique<Side>()),
      FResult1(std::make_unique<TStringList>()),
      FResult2(std::make_unique<TStringList>()) {
  for (int c = 0; c <= 32; ++c) FIgnoreChars.set(static_cast<size_t>(c));
}

TdvCustomDiffEngine::~TdvCustomDiffEngine() {
  const auto viewers = FViewers;
  FViewers.clear();
  for (auto* viewer : viewers) {
    auto& engines = viewer->FEngines;
    engines.erase(std::remove(engines.begin(), engines.end(), this), engines.end());
    try {
      viewer->DiffEngineDestroyed(this);
    } catch (...) {
      // A destructor cannot pass an error on; the viewer is already detached.
    }
  }
}

void TdvCustomDiffEngine::SetMatchDepth(int value) {
  if (value == FMatchDepth || value < 1 || value > 99) return;
  FMatchDepth = value;
}

void TdvCustomDiffEngine::RegisterViewer(TdvDiffEngineViewer* viewer) {
  if (viewer == nullptr || std::find(FViewers.begin(), FViewers.end(), viewer) != FViewers.end()) return;
  FViewers.push_back(viewer);
  viewer->FEngines.push_back(this);
}

TdvDiffEngineViewer* TdvCustomDiffEngine::Viewers(int index) const {
  if (index < 0 || index >= ViewerCount()) throw EListError(Format(rtl::SListIndexError, index));
  return FViewers[static_cast<size_t>(index)];
}

void TdvCustomDiffEngine::UnregisterViewer(TdvDiffEngineViewer* viewer) {
  auto it = std::find(FViewers.begin(), FViewers.end(), viewer);
  if (it == FViewers.end()) return;
  FViewers.erase(it);
  auto& engines = viewer->FEngines;
  engines.erase(std::remove(engines.begin(), engines.end(), this), engines.end());
}

void TdvCustomDiffEngine::CompareStreams(TStream& stream1, TStream& stream2) {
  // Both streams are read before anything is cleared, so a stream that
  // fails leaves the previous result, and what the viewers show, intact.
  const std::string text1 = ReadToEnd(stream1);
  const std::string text2 = ReadToEnd(stream2);
  CompareStrings(text1, text2);
}

void TdvCustomDiffEngine::CompareStrings(std::string_view text1, std::string_view text2) {
  // A handler or viewer that starts another comparison of the same engine
  // would pull the lists from under the running one.
  if (FRunning) throw EInvalidOperation(kRunning);
  FRunning = true;
  struct RunningReset {
    bool& running;
    ~RunningReset() { running = false; }
  } reset{FRunning};
  // The sources are replaced before the results are emptied, so that texts
  // taken from the previous result are still intact while they are copied.
  FSource1->Load(text1);
  FSource2->Load(text2);
  RunDiff();
}

void TdvCustomDiffEngine::PrepareKeys() {
  FSource1->BuildKeys(FDiffOptions, FIgnoreChars);
  FSource2->BuildKeys(FDiffOptions, FIgnoreChars);
}

bool TdvCustomDiffEngine::SourcesExhausted() const { return FSource1->Empty() || FSource2->Empty(); }

bool TdvCustomDiffEngine::LinesMatch(int index1, int index2, int depth) const {
  for (int64_t k = 0; k <= depth; ++k) {
    if (!FSource1->SameLine(FSource1->KeyAt(index1 + k), *FSource2, FSource2->KeyAt(index2 + k)))
      return false;
  }
  return true;
}

void TdvCustomDiffEngine::ResetFillCounts() {
  FFillCount1 = 0;
  FFillCount2 = 0;
}

void TdvCustomDiffEngine::RunDiff() {
  FInitialCount1 = FSource1->Count();
  FInitialCount2 = FSource2->Count();
  ResetFillCounts();
  FRunOptions = FDiffOptions;
  FRunIgnoreChars = FIgnoreChars;
  PrepareKeys();
  FIndex.reset();
  // Room for the longer text; a result with blocks grows past it.
  const int expected = std::max(FInitialCount1, FInitialCount2);
  FRows1 = 0;
  FRows2 = 0;
  FRowCacheValid = false;
  // A progress handler may look at the results while the run goes on: it
  // must see only this run's rows, so the old ones are dropped first. With
  // nobody watching, their storage is reused instead.
  if (OnDiffProgress) {
    FResult1->Clear();
    FResult2->Clear();
  }
  if (FResult1->Capacity() < expected) FResult1->SetCapacity(expected);
  if (FResult2->Capacity() < expected) FResult2->SetCapacity(expected);
  try {
    while (!SourcesExhausted()) DiffStep();
    FinishDiff();
  } catch (...) {
    // Without progress handler the run has overwritten part of the previous
    // result in place; either way what is there is neither result. The
    // viewers are told so that they stop showing the previous one, and the
    // run's own error is the one the caller gets, even if a viewer fails
    // on this notice too (its failure would only hide the cause).
    DropResult();
    const std::exception_ptr error = std::current_exception();
    try {
      TellViewers();
    } catch (...) {
      std::rethrow_exception(error);
    }
    throw;
  }
  TellViewers();
  if (OnDiffCompleted) OnDiffCompleted(this);
}

void TdvCustomDiffEngine::DiffStep() {
  while (!SourcesExhausted() && LinesMatch(0, 0, 0)) AddSameLines(1, 1);
  if (SourcesExhausted()) return;

  // At the very top two agreeing lines suffice: nothing before them could
  // have been a false resynchronisation.
  const bool nothingTaken = FSource1->Count() == FInitialCount1 && FSource2->Count() == FInitialCount2;
  const int depth = nothingTaken ? 1 : FMatchDepth;

  int skip1 = 0;
  int skip2 = 0;
  FindResync(depth, skip1, skip2);

  const int start1 = FInitialCount1 - FSource1->Count() + FFillCount1;
  const int start2 = FInitialCount2 - FSource2->Count() + FFillCount2;
  AddDiffBlock(TdvDiffRange{start1, start1 + skip1}, TdvDiffRange{start2, start2 + skip2});
}

void TdvCustomDiffEngine::PutEntry(TStringList& result, const std::string& entry) {
  int& rows = &result == FResult1.get() ? FRows1 : FRows2;
  if (rows < result.Count())
    result.SetStrings(rows, entry);  // reuses the storage of the previous run's entry
  else
    result.Add(entry);
  ++rows;
}

void TdvCustomDiffEngine::CutStaleRows() {
  while (FResult1->Count() > FRows1) FResult1->Delete(FResult1->Count() - 1);
  while (FResult2->Count() > FRows2) FResult2->Delete(FResult2->Count() - 1);
}

void TdvCustomDiffEngine::AddLine(TStringList& result, uint8_t kind, std::string_view line) {
  FEntry.assign(1, static_cast<char>(kind));
  FEntry.append(line);
  PutEntry(result, FEntry);
}

void TdvCustomDiffEngine::DropResult() {
  FResult1->Clear();
  FResult2->Clear();
  FRows1 = 0;
  FRows2 = 0;
  FRowCache.clear();
  FRowCacheValid = false;
}

void TdvCustomDiffEngine::AddFiller(TStringList& result) {
  static const std::string filler{static_cast<char>(dkFiller), ' '};
  PutEntry(result, filler);
}

void TdvCustomDiffEngine::AddDiffBlock(TdvDiffRange range1, TdvDiffRange range2) {
  const int m = range1.Length();
  const int n = range2.Length();
  if (m < 0 || n < 0 || (m == 0 && n == 0)) throw EInvalidOperation(kNeverHappens);
  if (m > FSource1->Count() || n > FSource2->Count()) throw EInvalidOperation(kNeverHappens);
  const int paired = std::min(m, n);
  for (int i = 0; i < paired; ++i) {
    AddLine(*FResult1, dkChanged, FSource1->TakeFront());
    AddLine(*FResult2, dkChanged, FSource2->TakeFront());
  }
  for (int i = paired; i < m; ++i) {
    AddLine(*FResult1, dkDeleted, FSource1->TakeFront());
    AddFiller(*FResult2);
    ++FFillCount2;
  }
  for (int i = paired; i < n; ++i) {
    AddFiller(*FResult1);
    ++FFillCount1;
    AddLine(*FResult2, dkInserted, FSource2->TakeFront());
  }
}

void TdvCustomDiffEngine::AddSameLines(int count1, int count2) {
  // A side whose list runs dry simply stops; FinishDiff evens the lists out.
  for (int i = 0; i < count1 && !FSource1->Empty(); ++i) AddLine(*FResult1, dkSame, FSource1->TakeFront());
  for (int i = 0; i < count2 && !FSource2->Empty(); ++i) AddLine(*FResult2, dkSame, FSource2->TakeFront());
  if (OnDiffProgress) ReportProgress();
}

void TdvCustomDiffEngine::ReportProgress() {
  const int64_t total = static_cast<int64_t>(FInitialCount1) + FInitialCount2;
  if (total <= 0) return;
  const int64_t remaining = static_cast<int64_t>(FSource1->Count()) + FSource2->Count();
  try {
    OnDiffProgress(PercentRoundedHalfEven(total - remaining, total));
  } catch (const std::exception&) {
    // Progress is only a courtesy: a failing handler does not stop the run.
  }
  // The handler may have asked for Rows(); the run goes on adding to them.
  FRowCacheValid = false;
}

void TdvCustomDiffEngine::FinishDiff() {
  while (!FSource1->Empty()) {
    AddLine(*FResult1, dkDeleted, FSource1->TakeFront());
    AddFiller(*FResult2);
  }
  while (!FSource2->Empty()) {
    AddFiller(*FResult1);
    AddLine(*FResult2, dkInserted, FSource2->TakeFront());
  }
  while (FRows1 < FRows2) AddFiller(*FResult1);
  while (FRows2 < FRows1) AddFiller(*FResult2);
  CutStaleRows();
}

void TdvCustomDiffEngine::TellViewers() {
  // A viewer's DiffChanged may unregister itself or another viewer: walk a
  // copy and skip whoever has left meanwhile.
  const auto viewers = FViewers;
  for (auto* viewer : viewers)
    if (std::find(FViewers.begin(), FViewers.end(), viewer) != FViewers.end()) viewer->DiffChanged();
}

void TdvCustomDiffEngine::BuildRowCache() const {
  if (FRowCacheValid) return;
  const int count = RowCount();
  FRowCache.resize(static_cast<size_t>(count));
  int32_t line1 = 0;
  int32_t line2 = 0;
  for (int i = 0; i < count; ++i) {
    const std::string& entry1 = (*FResult1)[i];
    const std::string& entry2 = (*FResult2)[i];
    TdvDiffRow& row = FRowCache[static_cast<size_t>(i)];
    row.Kind1 = static_cast<TdvDiffKind>(DiffEntryKind(entry1));
    row.Kind2 = static_cast<TdvDiffKind>(DiffEntryKind(entry2));
    const bool filler1 = row.Kind1 == dkFiller;
    const bool filler2 = row.Kind2 == dkFiller;
    row.Line1 = filler1 ? -1 : line1++;
    row.Line2 = filler2 ? -1 : line2++;
    row.Text1 = filler1 ? std::string_view() : DiffEntryText(entry1);
    row.Text2 = filler2 ? std::string_view() : DiffEntryText(entry2);
    row.Spans1.clear();
    row.Spans2.clear();
  }
  FRowSpansFound.assign(static_cast<size_t>(count), false);
  FAllSpansFound = false;
  FRowCacheValid = true;
}

void TdvCustomDiffEngine::FindRowSpans(size_t index) const {
  if (FRowSpansFound[index]) return;
  TdvDiffRow& row = FRowCache[index];
  if (row.Kind1 == dkChanged && row.Kind2 == dkChanged)
    DiffLineSpans(row.Text1, row.Text2, FRunOptions, FRunIgnoreChars, row.Spans1, row.Spans2);
  FRowSpansFound[index] = true;
}

const std::vector<TdvDiffRow>& TdvCustomDiffEngine::LineRows() const {
  BuildRowCache();
  return FRowCache;
}

const std::vector<TdvDiffRow>& TdvCustomDiffEngine::Rows() const {
  BuildRowCache();
  if (!FAllSpansFound) {
    for (size_t i = 0; i < FRowCache.size(); ++i) FindRowSpans(i);
    FAllSpansFound = true;
  }
  return FRowCache;
}

const TdvDiffRow& TdvCustomDiffEngine::Row(int index) const {
  if (index < 0 || index >= RowCount()) throw EListError(Format(rtl::SListIndexError, index));
  BuildRowCache();
  FindRowSpans(static_cast<size_t>(index));
  return FRowCache[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------------------
// The difference as a value

TdvDiffResult TdvCustomDiffEngine::Compare(std::string_view text1, std::string_view text2, bool spans) const {
  // A run of its own on the same algorithm and options: the stateful result
  // (and whatever views it) is never touched, and both agree row for row.
  TdvCustomDiffEngine run;
  run.FDiffOptions = FDiffOptions;
  run.FMatchDepth = FMatchDepth;
  run.FIgnoreChars = FIgnoreChars;
  run.FIndexedSearchFrom = FIndexedSearchFrom;
  run.CompareStrings(text1, text2);

  TdvDiffResult result;
  result.Rows = spans ? run.Rows() : run.LineRows();
  auto lines1 =
      std::make_shared<std::vector<std::string>>(static_cast<size_t>(std::max(run.FInitialCount1, 0)));
  auto lines2 =
      std::make_shared<std::vector<std::string>>(static_cast<size_t>(std::max(run.FInitialCount2, 0)));
  for (TdvDiffRow& row : result.Rows) {
    if (row.Line1 >= 0 && static_cast<size_t>(row.Line1) < lines1->size()) {
      std::string& line = (*lines1)[static_cast<size_t>(row.Line1)];
      line = row.Text1;
      row.Text1 = line;
    }
    if (row.Line2 >= 0 && static_cast<size_t>(row.Line2) < lines2->size()) {
      std::string& line = (*lines2)[static_cast<size_t>(row.Line2)];
      line = row.Text2;
      row.Text2 = line;
    }
  }
  result.Lines1 = std::move(lines1);
  result.Lines2 = std::move(lines2);
  result.Hunks = FindDiffHunks(result.Rows);
  return result;
}

std::vector<TdvHunk> FindDiffHunks(const std::vector<TdvDiffRow>& rows) {
  std::vector<TdvHunk> hunks;
  const int count = static_cast<int>(rows.size());
  for (int i = 0; i < count;) {
    if (rows[static_cast<size_t>(i)].Kind1 == dkSame) {
      ++i;
      continue;
    }
    const int first = i;
    while (i < count && rows[static_cast<size_t>(i)].Kind1 != dkSame) ++i;
    hunks.push_back({first, i - first});
  }
  return hunks;
}

int TdvDiffResult::NextHunkRow(int row, bool forward) const {
  if (forward) {
    auto it = std::upper_bound(Hunks.begin(), Hunks.end(), row,
                               [](int r, const TdvHunk& hunk) { return r < hunk.FirstRow; });
    return it == Hunks.end() ? -1 : it->FirstRow;
  }
  const int before = std::min(row, RowCount());
  auto it = std::lower_bound(Hunks.begin(), Hunks.end(), before,
                             [](const TdvHunk& hunk, int r) { return hunk.FirstRow < r; });
  return it == Hunks.begin() ? -1 : std::prev(it)->FirstRow;
}

int TdvDiffResult::HunkAt(int row) const {
  auto it = std::upper_bound(Hunks.begin(), Hunks.end(), row,
                             [](int r, const TdvHunk& hunk) { return r < hunk.FirstRow; });
  if (it == Hunks.begin()) return -1;
  --it;
  return row < it->EndRow() ? static_cast<int>(it - Hunks.begin()) : -1;
}
