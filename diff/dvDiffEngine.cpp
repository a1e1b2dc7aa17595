// Line difference engine: greedy forward resynchronisation (see the header).
//
// Each candidate test of the search compares normalised lines. Instead of
// normalising at every test, each line is normalised once per run into a
// key (bytes plus hash); a test then compares keys. The result is the same
// as normalising at every test, because normalisation depends only on the
// line and the options, which do not change during a run.
#include "diff/dvDiffEngine.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

constexpr const char* kNeverHappens = "This should never happen";
constexpr size_t kReadChunk = 64 * 1024;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string ReadToEnd(TStream& stream) {
  std::string bytes;
  char buffer[kReadChunk];
  for (;;) {
    int64_t got = stream.Read(buffer, static_cast<int64_t>(sizeof buffer));
    if (got <= 0) break;
    bytes.append(buffer, static_cast<size_t>(got));
  }
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

namespace {

struct LineSpan {
  size_t offset = 0;
  size_t length = 0;
};

/// Where the lines of Text lie: a line ends at CR LF, a lone CR or a lone
/// LF; a NUL byte ends the text; a final line break adds no empty line.
void FindLines(std::string_view text, std::vector<LineSpan>& spans) {
  spans.clear();
  const char* const begin = text.data();
  const char* const nul = static_cast<const char*>(std::memchr(begin, '\0', text.size()));
  const char* const end = nul != nullptr ? nul : begin + text.size();
  // The next CR and the next LF, each looked for again only once passed,
  // so that every byte is scanned about twice in all.
  auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<size_t>(end - from));
    return found != nullptr ? static_cast<const char*>(found) : end;
  };
  const char* cr = next(begin, '\r');
  const char* lf = next(begin, '\n');
  const char* pos = begin;
  while (pos < end) {
    if (cr < pos) cr = next(pos, '\r');
    if (lf < pos) lf = next(pos, '\n');
    const char* lineEnd = std::min(cr, lf);
    spans.push_back(LineSpan{static_cast<size_t>(pos - begin), static_cast<size_t>(lineEnd - pos)});
    pos = lineEnd;
    if (pos < end && *pos == '\r') ++pos;
    if (pos < end && *pos == '\n') ++pos;
  }
}

/// A cheap fingerprint of a normalised line from its first and last eight
/// bytes: lines with different fingerprints differ, equal ones are compared
/// byte by byte.
uint64_t Fingerprint(const char* bytes, size_t length) {
  uint64_t head = 0;
  uint64_t tail = 0;
  if (length >= 8) {
    std::memcpy(&head, bytes, 8);
    std::memcpy(&tail, bytes + length - 8, 8);
  } else if (length > 0) {
    std::memcpy(&head, bytes, length);
  }
  return head ^ (tail * 0x9E3779B97F4A7C15ull) ^ length;
}

}  // namespace

std::vector<std::string> SplitDiffLines(std::string_view text) {
  std::vector<LineSpan> spans;
  FindLines(text, spans);
  std::vector<std::string> lines;
  for (const LineSpan& span : spans) lines.emplace_back(text.substr(span.offset, span.length));
  return lines;
}

// ---------------------------------------------------------------------------
// A source text: its raw lines, the first line not yet emitted, and one
// comparison key per line.

struct TdvCustomDiffEngine::Side {
  struct Key {
    uint64_t fingerprint = 0;
    size_t offset = 0;  // into normalised
    size_t length = 0;
  };

  std::string text;             // the whole text as it arrived
  std::vector<LineSpan> lines;  // where each line lies in text
  size_t next = 0;              // first line not yet emitted
  std::string normalised;       // every line's normalised bytes, back to back
  std::vector<Key> keys;
  Key emptyKey;  // what a line past the end compares as

  int Count() const { return static_cast<int>(lines.size() - next); }
  bool Empty() const { return next >= lines.size(); }
  std::string_view TakeFront() {
    const LineSpan& span = lines[next++];
    return std::string_view(text).substr(span.offset, span.length);
  }

  void Load(std::string_view newText) {
    text.assign(newText);  // keeps the buffer of the previous run
    FindLines(text, lines);
    next = 0;
  }

  /// Key of the line Index after the first one not yet emitted.
  const Key& KeyAt(int64_t index) const {
    size_t absolute = next + static_cast<size_t>(index);
    return absolute < keys.size() ? keys[absolute] : emptyKey;
  }

  const char* Bytes(const Key& key) const { return normalised.data() + key.offset; }

  /// Normalises every line once: deletion of ignored bytes, then stripping,
  /// then ASCII lower case, the fixed order of the comparison.
  void BuildKeys(TdvDiffOptions options, const TdvCharSet& ignoreChars) {
    const bool deleteChars = options.Contains(fdoIgnoreCharacters) && ignoreChars.any();
    const bool stripTrailing = options.Contains(fdoIgnoreTrailingWhiteSpace);
    const bool stripLeading = options.Contains(fdoIgnoreLeadingWhiteSpace);
    const bool foldCase = !options.Contains(fdoCaseSensitive);
    normalised.clear();
    normalised.reserve(text.size());
    keys.clear();
    keys.reserve(lines.size());
    for (const LineSpan& span : lines) {
      const std::string_view line = std::string_view(text).substr(span.offset, span.length);
      const size_t start = normalised.size();
      if (deleteChars) {
        for (char c : line)
          if (!ignoreChars.test(static_cast<unsigned char>(c))) normalised.push_back(c);
      } else {
        normalised.append(line);
      }
      size_t first = start;
      size_t last = normalised.size();
      if (stripTrailing)
        while (last > first && IsBlankOrControl(normalised[last - 1])) --last;
      if (stripLeading)
        while (first < last && IsBlankOrControl(normalised[first])) ++first;
      if (foldCase)
        for (size_t i = first; i < last; ++i)
          if (normalised[i] >= 'A' && normalised[i] <= 'Z')
            normalised[i] = static_cast<char>(normalised[i] + 32);
      keys.push_back(Key{Fingerprint(normalised.data() + first, last - first), first, last - first});
    }
    emptyKey = Key{Fingerprint(nullptr, 0), 0, 0};
  }
};

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
  // The sources are replaced before the results are emptied, so that texts
  // taken from the previous result are still intact while they are copied.
  FSource1->Load(text1);
  FSource2->Load(text2);
  FResult1->Clear();
  FResult2->Clear();
  RunDiff();
}

void TdvCustomDiffEngine::PrepareKeys() {
  FSource1->BuildKeys(FDiffOptions, FIgnoreChars);
  FSource2->BuildKeys(FDiffOptions, FIgnoreChars);
}

bool TdvCustomDiffEngine::SourcesExhausted() const { return FSource1->Empty() || FSource2->Empty(); }

bool TdvCustomDiffEngine::LinesMatch(int index1, int index2, int depth) const {
  const Side& side1 = *FSource1;
  const Side& side2 = *FSource2;
  for (int64_t k = 0; k <= depth; ++k) {
    const Side::Key& a = side1.KeyAt(index1 + k);
    const Side::Key& b = side2.KeyAt(index2 + k);
    if (a.fingerprint != b.fingerprint || a.length != b.length) return false;
    if (std::memcmp(side1.Bytes(a), side2.Bytes(b), a.length) != 0) return false;
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
  PrepareKeys();
  // Room for the longer text; a result with blocks grows past it.
  const int expected = std::max(FInitialCount1, FInitialCount2);
  FResult1->SetCapacity(expected);
  FResult2->SetCapacity(expected);
  FStopped = false;
  while (!SourcesExhausted() && !FStopped) DiffStep();
  FinishDiff();
}

void TdvCustomDiffEngine::DiffStep() {
  while (!SourcesExhausted() && LinesMatch(0, 0, 0)) AddSameLines(1, 1);
  if (SourcesExhausted()) return;

  // At the very top two agreeing lines suffice: nothing before them could
  // have been a false resynchronisation.
  const bool nothingTaken = FSource1->Count() == FInitialCount1 && FSource2->Count() == FInitialCount2;
  const int depth = nothingTaken ? 1 : FMatchDepth;

  // Growing squares: (0,0), (0,1), (1,1), (0,2), (1,2), (2,2), ... Test A
  // skips x lines of text 1 and y of text 2; test B the other way round.
  // Once both skips pass the ends, only empty lines are compared, so the
  // search always ends.
  int skip1 = 0;
  int skip2 = 0;
  for (int y = 0;; ++y) {
    int x = 0;
    for (; x <= y; ++x) {
      if (LinesMatch(x, y, depth)) {
        skip1 = x;
        skip2 = y;
        break;
      }
      if (x != y && LinesMatch(y, x, depth)) {
        skip1 = y;
        skip2 = x;
        break;
      }
    }
    if (x <= y) break;
  }

  const int consumed1 = FInitialCount1 - FSource1->Count();
  const int consumed2 = FInitialCount2 - FSource2->Count();
  const int start1 = consumed1 + FFillCount1;
  const int start2 = consumed2 + FFillCount2;
  try {
    AddDiffBlock(TdvDiffRange{start1, start1 + skip1}, TdvDiffRange{start2, start2 + skip2});
  } catch (const Exception&) {
    // The block's error is not reported. When it took no line, another step
    // would find the same block again: end the run instead of looping, and
    // let FinishDiff flush what is left.
    if (FInitialCount1 - FSource1->Count() == consumed1 && FInitialCount2 - FSource2->Count() == consumed2)
      FStopped = true;
  }
}

void TdvCustomDiffEngine::AddLine(TStringList& result, uint8_t kind, std::string_view line) {
  FEntry.assign(1, static_cast<char>(kind));
  FEntry.append(line);
  result.Add(FEntry);
}

void TdvCustomDiffEngine::AddFiller(TStringList& result) {
  static const std::string filler{static_cast<char>(dkFiller), ' '};
  result.Add(filler);
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
  while (FResult1->Count() < FResult2->Count()) AddFiller(*FResult1);
  while (FResult2->Count() < FResult1->Count()) AddFiller(*FResult2);

  // A viewer's DiffChanged may unregister itself or another viewer: walk a
  // copy and skip whoever has left meanwhile.
  const auto viewers = FViewers;
  for (auto* viewer : viewers)
    if (std::find(FViewers.begin(), FViewers.end(), viewer) != FViewers.end()) viewer->DiffChanged();
  if (OnDiffCompleted) OnDiffCompleted(this);
}
