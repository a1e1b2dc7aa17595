#pragma once
// The RTF tokenizer: splits bytes into groups, control words, control
// symbols, hex escapes and text runs. It knows nothing of what the words
// mean; it never reads past the data and never throws.

#include <cstdint>
#include <string_view>

enum class TRtfTokenKind : uint8_t {
  GroupStart,     // {
  GroupEnd,       // }
  ControlWord,    // \word or \wordN; Word, HasParam, Param
  ControlSymbol,  // \x for a non-letter x; Symbol
  HexByte,        // \'hh; Byte
  Text,           // a run of ordinary bytes; Word holds them
  EndOfData,
};

struct TRtfToken {
  TRtfTokenKind Kind = TRtfTokenKind::EndOfData;
  std::string_view Word;  // control word letters, or the text run
  int32_t Param = 0;
  bool HasParam = false;
  bool Garbage = false;  // a word or number too long to be real: ignore it
  char Symbol = 0;
  uint8_t Byte = 0;
};

class TRtfTokenizer {
 public:
  /// Longest control word and parameter that count as real.
  static constexpr int kMaxWordLength = 32;
  static constexpr int kMaxParamDigits = 10;

  explicit TRtfTokenizer(std::string_view data) : FData(data) {}

  /// The next token. Raw CR, LF and NUL are skipped; a raw TAB comes as the
  /// control word "tab"; a backslash before CR or LF as the word "par"; a
  /// hex escape with bad digits is dropped.
  TRtfToken Next();

  /// Takes up to Count bytes of binary data (\binN) as they stand; fewer
  /// when the data ends first.
  std::string_view TakeBytes(int64_t count);

  size_t Position() const { return FPos; }
  /// Where the token Next gave last starts (after the CR, LF and NUL
  /// skipped before it); it ends at Position().
  size_t TokenStart() const { return FStart; }
  bool AtEnd() const { return FPos >= FData.size(); }

 private:
  TRtfToken ReadControl();

  std::string_view FData;
  size_t FPos = 0;
  size_t FStart = 0;
};
