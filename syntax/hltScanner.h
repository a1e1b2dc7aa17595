#pragma once
// Machinery shared by the language converters: the scanned text and the
// current token, the routines every language uses alike (line ends, white
// space, the end of the text, fixed-length tokens), the literal and comment
// scanners that several languages share, the keyword table with its hash
// lookup, and the token kinds most languages have in common.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "syntax/hltRichSyntax.h"

/// Per-character values summed by the keyword hash (one table per language).
using ThltHashValues = std::array<uint8_t, 256>;

/// 'A'..'Z' and 'a'..'z' count 1..26 alike and '_' 31 (the case-insensitive languages).
const ThltHashValues& CaseInsensitiveHashValues();
/// True for '0'..'9', 'A'..'Z', '_', 'a'..'z'.
const std::array<bool, 256>& IdentifierChars();

/// A set of characters as a table, built at compile time from a string of them.
class ThltCharSet {
 public:
  constexpr explicit ThltCharSet(std::string_view chars) {
    for (char c : chars) FIn[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool Has(char c) const { return FIn[static_cast<unsigned char>(c)]; }

 private:
  std::array<bool, 256> FIn{};
};

/// Keywords grouped by the hash of their characters: a lookup costs one sum
/// and comparisons with the few keywords sharing that sum, never a search of
/// the whole list. Entries for sums no keyword has stay empty (Identifier).
class ThltKeywordTable {
 public:
  ThltKeywordTable(std::vector<std::string_view> keywords, const ThltHashValues& values, bool caseSensitive);

  /// Number of hash entries: one past the largest keyword hash.
  size_t Size() const { return FFirst.size() - 1; }
  const std::vector<std::string_view>& Keywords() const { return FKeywords; }
  /// The index of the keyword equal to the identifier (hash precomputed), or -1.
  int Find(const char* ident, size_t length, unsigned hash) const;
  unsigned Hash(std::string_view ident) const;
  const ThltHashValues& Values() const { return FValues; }

 private:
  std::vector<std::string_view> FKeywords;
  const ThltHashValues& FValues;
  bool FCaseSensitive;
  std::vector<uint32_t> FFirst;  // bucket h holds FOrder[FFirst[h] .. FFirst[h + 1])
  std::vector<uint16_t> FOrder;
};

/// A converter that scans its text token by token. The text is copied, so a
/// caller may pass a temporary; scanning stops at the text's real end, and a
/// NUL byte inside the text becomes a one-character token of its own.
class ThltScannerRTF : public ThltRTFSyntax {
 public:
  void SetLine(const std::string& text, int lineNumber) override;
  bool GetEol() override { return FTokenID == FNullID; }
  std::string GetToken() override { return std::string(FLine + FTokenPos, FRun - FTokenPos); }
  /// Doubles backslashes and escapes braces; a NUL byte inside the text is written as \'00.
  void EscapeToken(std::string& token) override;
  int LineNumber() const { return FLineNumber; }
  uint8_t Range() const { return FRange; }
  void SetRange(uint8_t range) { FRange = range; }
  uint8_t TokenID() const { return FTokenID; }

 protected:
  ThltScannerRTF(uint8_t nullID, uint8_t spaceID, uint8_t unknownID)
      : FTokenID(nullID), FNullID(nullID), FSpaceID(spaceID), FUnknownID(unknownID) {}

  /// The FormatToken of the languages that set comments in italics and
  /// keywords in bold: the colour index commentKind in italics and keyKind in
  /// bold, every other kind as the base writes it.
  static std::string StyledPiece(int kind, const std::string& token, int commentKind, int keyKind) {
    if (kind == commentKind) return Piece(kind, "\\i ", token, "\\i0 ");
    if (kind == keyKind) return Piece(kind, "\\b ", token, "\\b0 ");
    return Piece(kind, {}, token, {});
  }

  static bool IsLineEnd(char c) { return c == '\r' || c == '\n' || c == '\0'; }
  static bool IsSpace(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u <= 32 && u != 0 && u != 10 && u != 13;
  }
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  static bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
  static bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
  static bool IsIdentStart(char c) { return IsLetter(c) || c == '_'; }
  static bool IsIdentChar(char c) { return IdentifierChars()[static_cast<unsigned char>(c)]; }
  char At(size_t pos) const { return FLine[pos]; }

  /// The end of the text, a NUL byte or a line end, which every language scans
  /// alike; false, with nothing scanned, for any other character.
  bool LineEndOrNullProc() {
    const char c = FLine[FRun];
    if (static_cast<unsigned char>(c) > '\r') return false;  // the usual case, in one comparison
    if (c == '\0') {
      NullProc();
      return true;
    }
    if (c == '\r' || c == '\n') {
      LineEndProc();
      return true;
    }
    return false;
  }
  /// A token of a fixed length (a symbol, mostly).
  void Take(uint8_t id, size_t length = 1) {
    FTokenID = id;
    FRun += length;
  }
  /// CR with a directly following LF, or a lone LF: one line-end token.
  void LineEndProc(uint8_t id);
  void LineEndProc() { LineEndProc(FSpaceID); }
  /// A run of the characters 1-9, 11, 12, 14-32.
  void SpaceProc(uint8_t id);
  void SpaceProc() { SpaceProc(FSpaceID); }
  /// What no rule of the language names: a white-space run, or else a
  /// one-character token of the given kind (the code page 1252 has no
  /// double-byte lead bytes, so an unnamed character never takes two).
  void SpaceOrUnknownProc(uint8_t unknownID);
  void SpaceOrUnknownProc() { SpaceOrUnknownProc(FUnknownID); }
  /// The text's terminating NUL (not consumed), or a NUL byte inside the text.
  void NullProc();
  /// The rest of the line as one token (a line comment), the line end not included.
  void LineCommentProc(uint8_t id) {
    FTokenID = id;
    while (!IsLineEnd(FLine[FRun])) ++FRun;
  }
  /// Identifier run from FRun; returns the keyword index or -1 and moves FRun past it.
  int IdentProc(const ThltKeywordTable& table);
  /// Moves past the closer if it comes before the line end and says so;
  /// otherwise stops before the line end (a comment going on in the next line).
  bool SkipPast(char closer);
  bool SkipPast(char first, char second);
  /// The same for a closer of one or two characters.
  bool SkipPast(std::string_view closer) {
    return closer.size() == 1 ? SkipPast(closer[0]) : SkipPast(closer[0], closer[1]);
  }
  /// The body of a construct that may go on into the next line (a block
  /// comment, mostly): past its closer, the range then becoming closedRange,
  /// or to before the line end with the range kept.
  void UntilCloserProc(uint8_t id, std::string_view closer, uint8_t closedRange) {
    FTokenID = id;
    if (SkipPast(closer)) FRange = closedRange;
  }
  /// The same for a comment going on from an earlier text, where the language
  /// lets the token take its first character whatever it is (so the CR of a
  /// CR LF is a comment token of its own). At a NUL, the NUL's token instead.
  void ContinuedCommentProc(uint8_t id, std::string_view closer, uint8_t closedRange);
  /// From the opening apostrophe to the closing one (included) or to before a
  /// line end; a doubled apostrophe stands for one inside the string.
  void PascalStringProc(uint8_t id);
  /// From the opening quote to the closing one (included) or to before a line
  /// end; three quotes in a row open it as one would. Escape (none by default)
  /// followed by the quote stands for a quote inside the string.
  void QuotedStringProc(char quote, uint8_t id, char escape = '\0');
  /// From the opening delimiter to the next one (included) or to before a line
  /// end; escape followed by the delimiter does not close it.
  void DelimitedProc(char delimiter, char escape = '\0');
  /// A character code ("#13"): the '#' and the digits after it.
  void CharCodeProc(uint8_t id);
  /// A hexadecimal number ("$1F"): the '$' and the hex digits after it.
  void HexNumberProc(uint8_t id);
  /// Digits, 'e', 'E' and dots, but (where a language has ranges) not the
  /// first dot of "..", which starts a range.
  void DecimalNumberProc(uint8_t id, bool hasRanges = true);
  /// Guards the token loop: every token but the end takes at least one character.
  void EnsureProgress() {
    if (FRun == FTokenPos && FTokenID != FNullID) ++FRun;
  }

  std::string FText;
  const char* FLine = "";
  size_t FLength = 0;
  size_t FRun = 0;
  size_t FTokenPos = 0;
  uint8_t FTokenID;  // the end of the text until a text is set
  uint8_t FRange = 0;
  int FLineNumber = 0;
  const uint8_t FNullID;
  const uint8_t FSpaceID;
  const uint8_t FUnknownID;
};

/// A scanner with the nine token kinds most languages share (a language may
/// number kinds of its own from tkUnknown + 1 on). By default Comment,
/// Identifier, Key, Number, Space, String and Symbol take the colours 1 to 7,
/// the end of the text and an unknown character both 8; a language may give
/// its kinds other colours, and set one colour in italics and one in bold.
class ThltStandardScannerRTF : public ThltScannerRTF {
 public:
  enum TTokenKind : uint8_t {
    tkComment,
    tkIdentifier,
    tkKey,
    tkNull,
    tkNumber,
    tkSpace,
    tkString,
    tkSymbol,
    tkUnknown
  };

  int GetTokenKind() override { return FKindColors[FTokenID]; }
  void SetDefaultColors() override { SetColors(FDefaultColors); }
  std::string FormatToken(int kind, const std::string& token) override {
    return StyledPiece(kind, token, FItalicColor, FBoldColor);
  }

 protected:
  static constexpr uint8_t kStandardColors[tkUnknown + 1] = {1, 2, 3, 8, 4, 5, 6, 7, 8};

  /// Installs defaultColors, which SetDefaultColors installs again. kindColors
  /// holds the colour of every kind the language scans, indexed by kind;
  /// italicColor and boldColor (none where -1) are colour indexes.
  explicit ThltStandardScannerRTF(std::vector<TColor> defaultColors,
                                  const uint8_t* kindColors = kStandardColors, int italicColor = -1,
                                  int boldColor = -1, uint8_t spaceID = tkSpace)
      : ThltScannerRTF(tkNull, spaceID, tkUnknown),
        FDefaultColors(std::move(defaultColors)),
        FKindColors(kindColors),
        FItalicColor(italicColor),
        FBoldColor(boldColor) {
    SetColors(FDefaultColors);
  }

 private:
  const std::vector<TColor> FDefaultColors;
  const uint8_t* const FKindColors;
  const int FItalicColor;
  const int FBoldColor;
};
