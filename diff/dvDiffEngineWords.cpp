// What changed inside a pair of changed lines (DiffLineSpans in the header).
//
// Worked out per row on demand, not during a run: a viewer asks only for
// the rows it paints, and most readers of a result never ask at all.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "diff/dvDiffEngine.h"
#include "toolkit/Unicode.h"

namespace {

/// Above this many cells (changed words of one line times those of the
/// other) the subsequence is not worked out: the table would cost tens of
/// megabytes and milliseconds for a line nobody reads word by word. The
/// bound also keeps every subsequence length within 16 bits: it is at most
/// the shorter side, and the shorter side of such a table has at most
/// sqrt(kMaxCells) = 2048 words.
constexpr size_t kMaxCells = size_t{1} << 22;

enum class TokenClass : uint8_t { Word, Blank, Other };

struct Token {
  uint32_t start = 0;  // raw bytes in the line
  uint32_t end = 0;
  uint32_t keyStart = 0;  // normalised bytes in the side's key buffer
  uint32_t keyLength = 0;
  uint64_t hash = 0;
  TokenClass kind = TokenClass::Other;
  bool ignored = false;  // deleted or stripped away by the options
};

bool IsWordByte(unsigned char c) {
  return c >= 0x80 || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsBlank(unsigned char c) { return c <= 32; }

struct Settings {
  bool deleteChars;
  bool foldCase;
  bool stripLeading;
  bool stripTrailing;
  const TdvCharSet* ignoreChars;

  bool Deleted(unsigned char c) const { return deleteChars && ignoreChars->test(c); }
  static unsigned char Folded(unsigned char c, bool fold) {
    return fold && c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
  }
};

/// One line cut into tokens with their comparison keys.
struct SideTokens {
  std::string_view line;
  std::vector<Token> tokens;
  std::string keys;
  std::vector<uint32_t> units;  // tokens the subsequence compares: kept words and other bytes

  void Cut(std::string_view text, const Settings& settings) {
    line = text;
    tokens.clear();
    keys.clear();
    units.clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t size = text.size();
    size_t pos = 0;
    while (pos < size) {
      Token token;
      token.start = static_cast<uint32_t>(pos);
      const unsigned char first = bytes[pos];
      // A Unicode space is a blank, not part of a word.
      auto unicodeSpace = [&](size_t at) { return bytes[at] >= 0x80 ? unicode::SpaceBytesAt(text, at) : 0; };
      if (IsBlank(first) || unicodeSpace(pos) > 0) {
        token.kind = TokenClass::Blank;
        while (pos < size) {
          const size_t n = IsBlank(bytes[pos]) ? 1 : unicodeSpace(pos);
          if (n == 0) break;
          pos += n;
        }
      } else if (IsWordByte(first)) {
        token.kind = TokenClass::Word;
        while (pos < size && IsWordByte(bytes[pos]) && unicodeSpace(pos) == 0) ++pos;
      } else {
        token.kind = TokenClass::Other;
        ++pos;
      }
      token.end = static_cast<uint32_t>(pos);
      token.keyStart = static_cast<uint32_t>(keys.size());
      uint64_t hash = 0xCBF29CE484222325ull;
      const std::string_view raw = text.substr(token.start, pos - token.start);
      if ((settings.foldCase || settings.deleteChars) && !unicode::IsAscii(raw)) {
        unicode::AppendKey(raw, settings.deleteChars ? settings.ignoreChars : nullptr, settings.foldCase,
                           keys);
        for (size_t i = token.keyStart; i < keys.size(); ++i)
          hash = (hash ^ static_cast<unsigned char>(keys[i])) * 0x100000001B3ull;
      } else {
        for (size_t i = token.start; i < pos; ++i) {
          if (settings.Deleted(bytes[i])) continue;
          const unsigned char c = Settings::Folded(bytes[i], settings.foldCase);
          keys.push_back(static_cast<char>(c));
          hash = (hash ^ c) * 0x100000001B3ull;
        }
      }
      token.keyLength = static_cast<uint32_t>(keys.size() - token.keyStart);
      token.hash = hash;
      token.ignored = token.keyLength == 0;
      tokens.push_back(token);
    }
    // Blanks at either end are stripped after the deletion, as whole lines are.
    if (settings.stripLeading) {
      for (Token& token : tokens) {
        if (token.ignored) continue;
        if (token.kind != TokenClass::Blank) break;
        token.ignored = true;
      }
    }
    if (settings.stripTrailing) {
      for (auto it = tokens.rbegin(); it != tokens.rend(); ++it) {
        if (it->ignored) continue;
        if (it->kind != TokenClass::Blank) break;
        it->ignored = true;
      }
    }
    for (size_t i = 0; i < tokens.size(); ++i)
      if (!tokens[i].ignored && tokens[i].kind != TokenClass::Blank)
        units.push_back(static_cast<uint32_t>(i));
  }

  std::string_view Key(const Token& token) const {
    return std::string_view(keys).substr(token.keyStart, token.keyLength);
  }
};

bool SameToken(const SideTokens& a, const Token& x, const SideTokens& b, const Token& y) {
  return x.hash == y.hash && x.keyLength == y.keyLength && a.Key(x) == b.Key(y);
}

struct Scratch {
  SideTokens side[2];
  std::vector<std::pair<uint32_t, uint32_t>> pairs;  // unchanged units, as indexes into units
  std::vector<uint16_t> table;
  std::string blanks[2];
  std::vector<std::pair<std::pair<uint32_t, uint32_t>, std::pair<uint32_t, uint32_t>>> narrowed;
};

void AddSpan(std::vector<TdvSpan>& spans, uint32_t start, uint32_t end) {
  if (end > start)
    spans.push_back(TdvSpan{static_cast<int32_t>(start), static_cast<int32_t>(end - start), dkChanged});
}

/// Appends to Pairs the longest common subsequence of units From1.. (Count1
/// of them) and From2.. (Count2), by a table of suffix lengths.
void CommonUnits(Scratch& s, uint32_t from1, uint32_t count1, uint32_t from2, uint32_t count2) {
  const SideTokens& a = s.side[0];
  const SideTokens& b = s.side[1];
  const size_t width = static_cast<size_t>(count2) + 1;
  s.table.assign((static_cast<size_t>(count1) + 1) * width, 0);
  auto same = [&](uint32_t i, uint32_t j) {
    return SameToken(a, a.tokens[a.units[from1 + i]], b, b.tokens[b.units[from2 + j]]);
  };
  uint16_t* t = s.table.data();
  for (uint32_t i = count1; i-- > 0;) {
    uint16_t* row = t + i * width;
    const uint16_t* below = row + width;
    for (uint32_t j = count2; j-- > 0;)
      row[j] = same(i, j) ? static_cast<uint16_t>(below[j + 1] + 1) : std::max(below[j], row[j + 1]);
  }
  uint32_t i = 0;
  uint32_t j = 0;
  while (i < count1 && j < count2) {
    if (same(i, j)) {
      s.pairs.emplace_back(from1 + i, from2 + j);
      ++i;
      ++j;
    } else if (t[(i + 1) * width + j] >= t[i * width + j + 1]) {
      ++i;
    } else {
      ++j;
    }
  }
}

/// Equal bytes at the start of two words, never ending inside a run of
/// bytes from 0x80 on of either.
size_t CommonHead(std::string_view w1, std::string_view w2, size_t limit, bool fold) {
  size_t p = 0;
  while (p < limit && Settings::Folded(static_cast<unsigned char>(w1[p]), fold) ==
                          Settings::Folded(static_cast<unsigned char>(w2[p]), fold))
    ++p;
  auto high = [](std::string_view w, size_t at) {
    return at < w.size() && static_cast<unsigned char>(w[at]) >= 0x80;
  };
  while (p > 0 && high(w1, p - 1) && (high(w1, p) || high(w2, p))) --p;
  return p;
}

size_t CommonTail(std::string_view w1, std::string_view w2, size_t limit, bool fold) {
  const size_t n1 = w1.size();
  const size_t n2 = w2.size();
  size_t s = 0;
  while (s < limit && Settings::Folded(static_cast<unsigned char>(w1[n1 - 1 - s]), fold) ==
                          Settings::Folded(static_cast<unsigned char>(w2[n2 - 1 - s]), fold))
    ++s;
  auto high = [](std::string_view w, size_t before) {
    return before > 0 && static_cast<unsigned char>(w[before - 1]) >= 0x80;
  };
  while (s > 0 && static_cast<unsigned char>(w1[n1 - s]) >= 0x80 && (high(w1, n1 - s) || high(w2, n2 - s)))
    --s;
  return s;
}

/// One changed word facing one, narrowed to the bytes between their
/// common ends when those ends make up at least half of the longer word.
/// False when the pair is not narrowed (the words are then marked whole).
bool NarrowWordPair(const Settings& settings, const SideTokens& a, const Token& x, const SideTokens& b,
                    const Token& y, std::pair<uint32_t, uint32_t>& range1,
                    std::pair<uint32_t, uint32_t>& range2) {
  if (x.kind != TokenClass::Word || y.kind != TokenClass::Word) return false;
  const std::string_view w1 = a.line.substr(x.start, x.end - x.start);
  const std::string_view w2 = b.line.substr(y.start, y.end - y.start);
  // A word with deleted bytes compares by its key, not byte by byte.
  if (settings.deleteChars && (x.keyLength != w1.size() || y.keyLength != w2.size())) return false;
  const size_t shorter = std::min(w1.size(), w2.size());
  const size_t head = CommonHead(w1, w2, shorter, settings.foldCase);
  const size_t tail = CommonTail(w1, w2, shorter - head, settings.foldCase);
  const size_t longer = std::max(w1.size(), w2.size());
  if (head + tail == 0 || 2 * (head + tail) < longer || head + tail >= longer) return false;
  range1 = {x.start + static_cast<uint32_t>(head), x.end - static_cast<uint32_t>(tail)};
  range2 = {y.start + static_cast<uint32_t>(head), y.end - static_cast<uint32_t>(tail)};
  return true;
}

/// Marks Count changed units facing as many: each pair narrowed when every
/// pair can be (a few words each with a letter changed), else all of them
/// as one span per side.
void MarkChangedUnits(Scratch& s, const Settings& settings, uint32_t from1, uint32_t count1, uint32_t from2,
                      uint32_t count2, bool narrow, std::vector<TdvSpan>& spans1,
                      std::vector<TdvSpan>& spans2) {
  const SideTokens& a = s.side[0];
  const SideTokens& b = s.side[1];
  if (narrow && count1 == count2) {
    s.narrowed.clear();
    for (uint32_t k = 0; k < count1; ++k) {
      std::pair<uint32_t, uint32_t> range1, range2;
      if (!NarrowWordPair(settings, a, a.tokens[a.units[from1 + k]], b, b.tokens[b.units[from2 + k]], range1,
                          range2))
        break;
      s.narrowed.emplace_back(range1, range2);
    }
    if (s.narrowed.size() == count1) {
      for (const auto& [range1, range2] : s.narrowed) {
        AddSpan(spans1, range1.first, range1.second);
        AddSpan(spans2, range2.first, range2.second);
      }
      return;
    }
  }
  if (count1 > 0) AddSpan(spans1, a.tokens[a.units[from1]].start, a.tokens[a.units[from1 + count1 - 1]].end);
  if (count2 > 0) AddSpan(spans2, b.tokens[b.units[from2]].start, b.tokens[b.units[from2 + count2 - 1]].end);
}

/// The kept blanks of tokens From.. To (exclusive) as one key, and where
/// they start and end in the line.
void GapBlanks(const SideTokens& side, size_t from, size_t to, std::string& key, uint32_t& start,
               uint32_t& end) {
  key.clear();
  start = end = 0;
  bool any = false;
  for (size_t k = from; k < to; ++k) {
    const Token& token = side.tokens[k];
    if (token.ignored) continue;
    key.append(side.Key(token));
    if (!any) start = token.start;
    end = token.end;
    any = true;
  }
}

}  // namespace

void DiffLineSpans(std::string_view line1, std::string_view line2, TdvDiffOptions options,
                   const TdvCharSet& ignoreChars, std::vector<TdvSpan>& spans1,
                   std::vector<TdvSpan>& spans2) {
  spans1.clear();
  spans2.clear();
  // Offsets are 32-bit; a line beyond that is not marked at all.
  constexpr size_t kMaxLine = static_cast<size_t>(std::numeric_limits<int32_t>::max());
  if (line1.size() > kMaxLine || line2.size() > kMaxLine) return;
  const Settings settings{options.Contains(fdoIgnoreCharacters) && ignoreChars.any(),
                          !options.Contains(fdoCaseSensitive), options.Contains(fdoIgnoreLeadingWhiteSpace),
                          options.Contains(fdoIgnoreTrailingWhiteSpace), &ignoreChars};
  thread_local Scratch s;
  SideTokens& a = s.side[0];
  SideTokens& b = s.side[1];
  a.Cut(line1, settings);
  b.Cut(line2, settings);
  const auto n1 = static_cast<uint32_t>(a.units.size());
  const auto n2 = static_cast<uint32_t>(b.units.size());
  auto sameUnit = [&](uint32_t i, uint32_t j) {
    return SameToken(a, a.tokens[a.units[i]], b, b.tokens[b.units[j]]);
  };

  // Unchanged units: the common head and tail, and the subsequence between.
  s.pairs.clear();
  uint32_t head = 0;
  while (head < n1 && head < n2 && sameUnit(head, head)) ++head;
  uint32_t tail = 0;
  while (tail < n1 - head && tail < n2 - head && sameUnit(n1 - 1 - tail, n2 - 1 - tail)) ++tail;
  for (uint32_t k = 0; k < head; ++k) s.pairs.emplace_back(k, k);
  const uint32_t middle1 = n1 - head - tail;
  const uint32_t middle2 = n2 - head - tail;
  const bool bounded = static_cast<size_t>(middle1) * middle2 > kMaxCells;
  if (middle1 > 0 && middle2 > 0 && !bounded) CommonUnits(s, head, middle1, head, middle2);
  for (uint32_t k = 0; k < tail; ++k) s.pairs.emplace_back(n1 - tail + k, n2 - tail + k);

  // Each gap between unchanged units (and before the first, after the last).
  uint32_t next1 = 0;  // first unit of the gap
  uint32_t next2 = 0;
  size_t tokenFrom1 = 0;  // first token after the previous unchanged unit
  size_t tokenFrom2 = 0;
  for (size_t p = 0; p <= s.pairs.size(); ++p) {
    const bool last = p == s.pairs.size();
    const uint32_t to1 = last ? n1 : s.pairs[p].first;
    const uint32_t to2 = last ? n2 : s.pairs[p].second;
    const size_t tokenTo1 = last ? a.tokens.size() : a.units[to1];
    const size_t tokenTo2 = last ? b.tokens.size() : b.units[to2];
    const uint32_t changed1 = to1 - next1;
    const uint32_t changed2 = to2 - next2;
    if (changed1 > 0 || changed2 > 0) {
      // Past the bound the middle is one gap, and is marked as one.
      MarkChangedUnits(s, settings, next1, changed1, next2, changed2, !bounded || p != head, spans1, spans2);
    } else {
      // Only blanks between the same two units: marked where they differ.
      uint32_t start1, end1, start2, end2;
      GapBlanks(a, tokenFrom1, tokenTo1, s.blanks[0], start1, end1);
      GapBlanks(b, tokenFrom2, tokenTo2, s.blanks[1], start2, end2);
      if (s.blanks[0] != s.blanks[1]) {
        AddSpan(spans1, start1, end1);
        AddSpan(spans2, start2, end2);
      }
    }
    if (last) break;
    next1 = to1 + 1;
    next2 = to2 + 1;
    tokenFrom1 = tokenTo1 + 1;
    tokenFrom2 = tokenTo2 + 1;
  }
  // The scratch lives with the thread: a rare huge line must not keep its
  // megabytes for good.
  constexpr size_t kKeptScratch = size_t{1} << 16;
  if (s.table.capacity() > kKeptScratch) std::vector<uint16_t>().swap(s.table);
  for (SideTokens& side : s.side) {
    if (side.tokens.capacity() > kKeptScratch) {
      std::vector<Token>().swap(side.tokens);
      std::vector<uint32_t>().swap(side.units);
      std::string().swap(side.keys);
    }
  }
}
