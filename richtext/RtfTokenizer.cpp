#include "richtext/RtfTokenizer.h"

namespace {

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

int HexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Bytes that end a text run.
bool IsSpecial(unsigned char c) {
  return c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n' || c == '\t' || c == 0;
}

}  // namespace

TRtfToken TRtfTokenizer::Next() {
  TRtfToken token;
  while (FPos < FData.size()) {
    const auto c = static_cast<unsigned char>(FData[FPos]);
    FStart = FPos;
    switch (c) {
      case '{':
        ++FPos;
        token.Kind = TRtfTokenKind::GroupStart;
        return token;
      case '}':
        ++FPos;
        token.Kind = TRtfTokenKind::GroupEnd;
        return token;
      case '\r':
      case '\n':
      case 0:
        ++FPos;
        continue;
      case '\t':
        ++FPos;
        token.Kind = TRtfTokenKind::ControlWord;
        token.Word = "tab";
        return token;
      case '\\': {
        TRtfToken control = ReadControl();
        if (control.Kind == TRtfTokenKind::EndOfData && FPos < FData.size()) continue;  // dropped
        return control;
      }
      default: {
        const size_t start = FPos;
        while (FPos < FData.size() && !IsSpecial(static_cast<unsigned char>(FData[FPos]))) ++FPos;
        token.Kind = TRtfTokenKind::Text;
        token.Word = FData.substr(start, FPos - start);
        return token;
      }
    }
  }
  FStart = FPos;
  token.Kind = TRtfTokenKind::EndOfData;
  return token;
}

// Reads what follows a backslash. Returns EndOfData (with data left) for an
// escape that is to be dropped.
TRtfToken TRtfTokenizer::ReadControl() {
  TRtfToken token;
  ++FPos;  // the backslash
  if (FPos >= FData.size()) {
    token.Kind = TRtfTokenKind::EndOfData;
    return token;
  }
  const auto c = static_cast<unsigned char>(FData[FPos]);
  if (IsLetter(c)) {
    const size_t start = FPos;
    while (FPos < FData.size() && IsLetter(static_cast<unsigned char>(FData[FPos]))) ++FPos;
    token.Kind = TRtfTokenKind::ControlWord;
    token.Word = FData.substr(start, FPos - start);
    if (token.Word.size() > static_cast<size_t>(kMaxWordLength)) token.Garbage = true;
    // Optional signed parameter.
    bool negative = false;
    if (FPos + 1 < FData.size() && FData[FPos] == '-' &&
        IsDigit(static_cast<unsigned char>(FData[FPos + 1]))) {
      negative = true;
      ++FPos;
    }
    if (FPos < FData.size() && IsDigit(static_cast<unsigned char>(FData[FPos]))) {
      int64_t value = 0;
      int digits = 0;
      while (FPos < FData.size() && IsDigit(static_cast<unsigned char>(FData[FPos]))) {
        if (digits < kMaxParamDigits + 1) value = value * 10 + (FData[FPos] - '0');
        ++digits;
        ++FPos;
      }
      if (negative) value = -value;
      if (digits > kMaxParamDigits || value > INT32_MAX || value < INT32_MIN) token.Garbage = true;
      token.HasParam = true;
      token.Param = token.Garbage ? 0 : static_cast<int32_t>(value);
    }
    // Exactly one space delimits the word and belongs to it.
    if (FPos < FData.size() && FData[FPos] == ' ') ++FPos;
    return token;
  }
  ++FPos;
  switch (c) {
    case '\'': {
      if (FPos + 1 < FData.size()) {
        const int hi = HexValue(static_cast<unsigned char>(FData[FPos]));
        const int lo = HexValue(static_cast<unsigned char>(FData[FPos + 1]));
        if (hi >= 0 && lo >= 0) {
          FPos += 2;
          token.Kind = TRtfTokenKind::HexByte;
          token.Byte = static_cast<uint8_t>(hi * 16 + lo);
          return token;
        }
      }
      // Bad or truncated hex: drop the escape, keep what follows.
      token.Kind = TRtfTokenKind::EndOfData;
      return token;
    }
    case '\r':
    case '\n':
      token.Kind = TRtfTokenKind::ControlWord;
      token.Word = "par";
      return token;
    default:
      token.Kind = TRtfTokenKind::ControlSymbol;
      token.Symbol = static_cast<char>(c);
      return token;
  }
}

std::string_view TRtfTokenizer::TakeBytes(int64_t count) {
  if (count <= 0 || FPos >= FData.size()) return {};
  const size_t available = FData.size() - FPos;
  const size_t n = static_cast<uint64_t>(count) < available ? static_cast<size_t>(count) : available;
  std::string_view bytes = FData.substr(FPos, n);
  FPos += n;
  return bytes;
}
