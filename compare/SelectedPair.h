#pragma once
// The pair of topics a comparison shows: its two topics, their plain texts,
// the line difference between them (the engine the viewer reads), their
// differing fields and the rows formatted differently. Qt-free.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "compare/FieldDifferences.h"
#include "richtext/RtfPlainText.h"

class TdvDiffEngine;
class TQCTopic;
struct TRowFormatChange;

/// The text the line difference compares for one topic: the topic's RTF
/// (its lines joined with CR LF) in, UTF-8 lines each ended by CR LF out.
using TPlainTextFunction = std::function<std::string(std::string_view rtf)>;

/// The plain text of RTF as the rich-text view shows it, through the
/// reader's plain-text lines with Decode reading the text's bytes (the
/// view's own converters, qtbridge::CodePageToUtf8): what window and qctool
/// compare by default. A NUL byte comes out as U+2400, so the engine never
/// meets one.
std::string RtfPlainTextCrLf(std::string_view rtf, const TCodePageDecoder& decode);

class TSelectedPair {
 public:
  /// Decode reads the bytes of the topics' RTF and titles; PlainText is
  /// what the difference compares (none: RtfPlainTextCrLf).
  explicit TSelectedPair(TCodePageDecoder decode, TPlainTextFunction plainText = nullptr);
  ~TSelectedPair();
  TSelectedPair(const TSelectedPair&) = delete;
  TSelectedPair& operator=(const TSelectedPair&) = delete;

  TQCTopic* Latest() const { return FLatest; }
  TQCTopic* History() const { return FHistory; }
  /// The pair's topics; Compare brings the difference up to them.
  void SetTopics(TQCTopic* latest, TQCTopic* history);
  /// Compares the pair's plain texts afresh (its topics may have changed).
  void Compare();
  /// Both topics there and differing.
  bool Differs() const;

  const TCodePageDecoder& Decoder() const { return FDecode; }
  const TPlainTextFunction& PlainTextFunction() const { return FPlainText; }
  /// The plain text the difference compares for Topic (nothing for none).
  std::string PlainTextOf(const TQCTopic* topic) const;
  /// The plain texts last compared.
  const std::string& LatestPlainText() const { return FLatestPlainText; }
  const std::string& HistoryPlainText() const { return FHistoryPlainText; }

  /// The engine holding the line difference.
  TdvDiffEngine& Engine() { return *FEngine; }
  const TdvDiffEngine& Engine() const { return *FEngine; }
  /// The fields in which the two topics differ, in field table order; none
  /// when one side is missing.
  std::vector<TFieldDifference> FieldDifferences() const;
  /// The rows whose lines read the same but are formatted differently
  /// (none when the texts are equal).
  std::vector<TRowFormatChange> FormatChanges() const;
  /// The rows the difference pairs as the same whose lines differ in
  /// their blanks alone, with the blanks concerned, in row order.
  struct TBlankRow {
    int Row = -1;
    TBlankDifference Blanks;
  };
  const std::vector<TBlankRow>& BlankRows() const { return FBlankRows; }
  /// The first row of the nearest change block (or row of differing blanks) after Row (before it when
  /// Forward is false); -1 when there is none.
  int NextChangeRow(int row, bool forward) const;

 private:
  TCodePageDecoder FDecode;
  TPlainTextFunction FPlainText;
  std::unique_ptr<TdvDiffEngine> FEngine;
  TQCTopic* FLatest = nullptr;
  TQCTopic* FHistory = nullptr;
  std::string FLatestPlainText;
  std::string FHistoryPlainText;
  std::vector<TBlankRow> FBlankRows;
};
