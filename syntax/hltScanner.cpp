#include "syntax/hltScanner.h"

#include "toolkit/SysUtils.h"

const ThltHashValues& CaseInsensitiveHashValues() {
  static const ThltHashValues values = [] {
    ThltHashValues v{};
    for (int c = 'A'; c <= 'Z'; ++c) v[c] = static_cast<uint8_t>(c - 'A' + 1);
    for (int c = 'a'; c <= 'z'; ++c) v[c] = static_cast<uint8_t>(c - 'a' + 1);
    v['_'] = 31;
    return v;
  }();
  return values;
}

const std::array<bool, 256>& IdentifierChars() {
  static const std::array<bool, 256> chars = [] {
    std::array<bool, 256> t{};
    for (int c = '0'; c <= '9'; ++c) t[c] = true;
    for (int c = 'A'; c <= 'Z'; ++c) t[c] = true;
    for (int c = 'a'; c <= 'z'; ++c) t[c] = true;
    t['_'] = true;
    return t;
  }();
  return chars;
}

ThltKeywordTable::ThltKeywordTable(std::vector<std::string_view> keywords, const ThltHashValues& values,
                                   bool caseSensitive)
    : FKeywords(std::move(keywords)), FValues(values), FCaseSensitive(caseSensitive) {
  unsigned largest = 0;
  std::vector<unsigned> hashes;
  hashes.reserve(FKeywords.size());
  for (std::string_view k : FKeywords) {
    hashes.push_back(Hash(k));
    if (hashes.back() > largest) largest = hashes.back();
  }
  // Counting sort of the keyword indexes by hash, keeping list order inside a bucket.
  FFirst.assign(largest + 2, 0);
  for (unsigned h : hashes) ++FFirst[h + 1];
  for (size_t h = 1; h < FFirst.size(); ++h) FFirst[h] += FFirst[h - 1];
  FOrder.resize(FKeywords.size());
  std::vector<uint32_t> fill(FFirst.begin(), FFirst.end() - 1);
  for (size_t i = 0; i < hashes.size(); ++i) FOrder[fill[hashes[i]]++] = static_cast<uint16_t>(i);
}

unsigned ThltKeywordTable::Hash(std::string_view ident) const {
  unsigned hash = 0;
  for (char c : ident) hash += FValues[static_cast<unsigned char>(c)];
  return hash;
}

int ThltKeywordTable::Find(const char* ident, size_t length, unsigned hash) const {
  if (hash >= Size()) return -1;
  for (uint32_t i = FFirst[hash]; i < FFirst[hash + 1]; ++i) {
    const std::string_view k = FKeywords[FOrder[i]];
    if (k.size() != length) continue;
    const std::string_view word(ident, length);
    if (FCaseSensitive ? k == word : SameText(k, word)) return FOrder[i];
  }
  return -1;
}

void ThltScannerRTF::SetLine(const std::string& text, int lineNumber) {
  FText = text;
  FLine = FText.c_str();
  FLength = FText.size();
  FSizeHint = FLength * 4;  // a source byte takes three to four bytes of RTF
  FRun = 0;
  FLineNumber = lineNumber;
  Next();
}

void ThltScannerRTF::EscapeToken(std::string& token) {
  static const std::array<bool, 256> kSpecial = [] {
    std::array<bool, 256> t{};
    t['\\'] = t['{'] = t['}'] = t[0] = true;
    return t;
  }();
  size_t i = 0;
  while (i < token.size() && !kSpecial[static_cast<unsigned char>(token[i])]) ++i;
  if (i == token.size()) return;
  std::string escaped(token, 0, i);
  escaped.reserve(token.size() + 8);
  for (; i < token.size(); ++i) {
    const char c = token[i];
    if (c == '\\' || c == '{' || c == '}') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\0') {
      escaped += "\\'00";
    } else {
      escaped += c;
    }
  }
  token = std::move(escaped);
}

void ThltScannerRTF::LineEndProc(uint8_t id) {
  FTokenID = id;
  if (FLine[FRun] == '\r' && FLine[FRun + 1] == '\n')
    FRun += 2;
  else
    ++FRun;
}

void ThltScannerRTF::SpaceProc(uint8_t id) {
  FTokenID = id;
  do ++FRun;
  while (IsSpace(FLine[FRun]));
}

void ThltScannerRTF::SpaceOrUnknownProc(uint8_t unknownID) {
  if (IsSpace(FLine[FRun])) {
    SpaceProc();
  } else {
    FTokenID = unknownID;
    ++FRun;
  }
}

void ThltScannerRTF::NullProc() {
  if (FRun >= FLength) {
    FTokenID = FNullID;
  } else {
    FTokenID = FUnknownID;
    ++FRun;
  }
}

int ThltScannerRTF::IdentProc(const ThltKeywordTable& table) {
  const ThltHashValues& values = table.Values();
  const size_t start = FRun;
  unsigned hash = 0;
  while (IsIdentChar(FLine[FRun])) {
    hash += values[static_cast<unsigned char>(FLine[FRun])];
    ++FRun;
  }
  return table.Find(FLine + start, FRun - start, hash);
}

void ThltScannerRTF::PascalStringProc(uint8_t id) {
  FTokenID = id;
  ++FRun;
  while (!IsLineEnd(FLine[FRun])) {
    if (FLine[FRun] == '\'') {
      if (FLine[FRun + 1] != '\'') {
        ++FRun;
        return;
      }
      ++FRun;  // a doubled apostrophe stands for one inside the string
    }
    ++FRun;
  }
}

void ThltScannerRTF::QuotedStringProc(char quote, uint8_t id, char escape) {
  FTokenID = id;
  if (FLine[FRun + 1] == quote && FLine[FRun + 2] == quote) FRun += 2;
  DelimitedProc(quote, escape);
}

void ThltScannerRTF::DelimitedProc(char delimiter, char escape) {
  for (;;) {
    const char c = FLine[++FRun];
    if (c == delimiter) {
      ++FRun;
      return;
    }
    if (IsLineEnd(c)) return;  // so the NUL of no escape never matches below
    if (c == escape && FLine[FRun + 1] == delimiter) ++FRun;
  }
}

void ThltScannerRTF::CharCodeProc(uint8_t id) {
  FTokenID = id;
  ++FRun;
  while (IsDigit(FLine[FRun])) ++FRun;
}

void ThltScannerRTF::HexNumberProc(uint8_t id) {
  FTokenID = id;
  ++FRun;
  while (IsHexDigit(FLine[FRun])) ++FRun;
}

void ThltScannerRTF::DecimalNumberProc(uint8_t id, bool hasRanges) {
  FTokenID = id;
  for (;;) {
    const char c = FLine[FRun];
    if (IsDigit(c) || c == 'e' || c == 'E' || (c == '.' && !(hasRanges && FLine[FRun + 1] == '.')))
      ++FRun;
    else
      return;
  }
}

void ThltScannerRTF::ContinuedCommentProc(uint8_t id, std::string_view closer, uint8_t closedRange) {
  if (FLine[FRun] == '\0') {
    NullProc();
    return;
  }
  if (IsLineEnd(FLine[FRun])) ++FRun;
  UntilCloserProc(id, closer, closedRange);
}

bool ThltScannerRTF::SkipPast(char closer) {
  while (!IsLineEnd(FLine[FRun])) {
    if (FLine[FRun++] == closer) return true;
  }
  return false;
}

bool ThltScannerRTF::SkipPast(char first, char second) {
  while (!IsLineEnd(FLine[FRun])) {
    if (FLine[FRun] == first && FLine[FRun + 1] == second) {
      FRun += 2;
      return true;
    }
    ++FRun;
  }
  return false;
}
