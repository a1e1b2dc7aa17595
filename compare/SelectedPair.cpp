#include "compare/SelectedPair.h"

#include <algorithm>

#include "compare/FormatDifferences.h"
#include "diff/dvDiffEngine.h"
#include "document/QuillcrafterDoc.h"

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

TSelectedPair::TSelectedPair(TCodePageDecoder decode, TPlainTextFunction plainText)
    : FDecode(std::move(decode)),
      FPlainText(std::move(plainText)),
      FEngine(std::make_unique<TdvDiffEngine>()) {
  if (!FPlainText)
    FPlainText = [decode = FDecode](std::string_view rtf) { return RtfPlainTextCrLf(rtf, decode); };
  FEngine->SetDiffOptions({fdoCaseSensitive, fdoIgnoreTrailingWhiteSpace, fdoIgnoreLeadingWhiteSpace});
}

TSelectedPair::~TSelectedPair() = default;

void TSelectedPair::SetTopics(TQCTopic* latest, TQCTopic* history) {
  FLatest = latest;
  FHistory = history;
}

void TSelectedPair::Compare() {
  FLatestPlainText = PlainTextOf(FLatest);
  FHistoryPlainText = PlainTextOf(FHistory);
  FEngine->CompareStrings(FLatestPlainText, FHistoryPlainText);
  FBlankRows.clear();
  const bool ignoreCase = !FEngine->DiffOptions().Contains(fdoCaseSensitive);
  const std::vector<TdvDiffRow>& rows = FEngine->Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    const TdvDiffRow& row = rows[i];
    if (row.Kind1 != dkSame || row.Text1 == row.Text2) continue;
    TBlankDifference blanks = LineBlankDifference(row.Text1, row.Text2, ignoreCase);
    if (blanks.Found) FBlankRows.push_back({static_cast<int>(i), std::move(blanks)});
  }
}

bool TSelectedPair::Differs() const {
  return FLatest != nullptr && FHistory != nullptr && !FLatest->IsEqual(FHistory);
}

std::string TSelectedPair::PlainTextOf(const TQCTopic* topic) const {
  if (topic == nullptr) return {};
  return FPlainText(topic->WholeText());
}

std::vector<TFieldDifference> TSelectedPair::FieldDifferences() const {
  if (FLatest == nullptr || FHistory == nullptr) return {};
  // The pair's plain texts were made for its comparison: made again they
  // would cost as much as the comparison itself.
  return TopicFieldDifferences(*FLatest, *FHistory, FDecode, [this](const TQCTopic& topic) {
    if (&topic == FLatest) return FLatestPlainText;
    if (&topic == FHistory) return FHistoryPlainText;
    return PlainTextOf(&topic);
  });
}

std::vector<TRowFormatChange> TSelectedPair::FormatChanges() const {
  if (FLatest == nullptr || FHistory == nullptr || FLatest->TextEquals(*FHistory)) return {};
  return RowFormatChanges(FEngine->Rows(), FLatest->WholeText(), FHistory->WholeText(), FDecode);
}

int TSelectedPair::NextChangeRow(int row, bool forward) const {
  const std::vector<TdvDiffRow>& rows = FEngine->Rows();
  const int count = static_cast<int>(rows.size());
  auto changed = [&](int i) { return rows[static_cast<size_t>(i)].Kind1 != dkSame; };
  auto blank = [&](int i) {
    return std::binary_search(FBlankRows.begin(), FBlankRows.end(), TBlankRow{i, {}},
                              [](const TBlankRow& a, const TBlankRow& b) { return a.Row < b.Row; });
  };
  // A block starts where a changed row follows a same row (or the start);
  // a row whose blanks alone differ is a stop of its own.
  auto starts = [&](int i) { return (changed(i) && (i == 0 || !changed(i - 1))) || blank(i); };
  if (forward) {
    for (int i = std::max(row + 1, 0); i < count; ++i)
      if (starts(i)) return i;
  } else {
    for (int i = std::min(row, count) - 1; i >= 0; --i)
      if (starts(i)) return i;
  }
  return -1;
}
