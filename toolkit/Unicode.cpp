#include "toolkit/Unicode.h"

#include <cstdint>
#include <cstring>

namespace unicode {

void AppendUtf8(std::string& out, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

size_t SequenceLength(std::string_view bytes, size_t pos) {
  const auto at = [&](size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char lead = at(pos);
  if (lead < 0x80) return 1;
  size_t length = 0;
  // The range of the second byte: narrower after the leads where the full
  // range would allow overlong forms, surrogates or values past U+10FFFF.
  unsigned char low = 0x80, high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (pos + length > bytes.size()) return 0;
  if (at(pos + 1) < low || at(pos + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k)
    if (at(pos + k) < 0x80 || at(pos + k) > 0xBF) return 0;
  return length;
}

char32_t DecodeUtf8(std::string_view bytes, size_t pos, size_t& length) {
  const auto lead = static_cast<unsigned char>(bytes[pos]);
  length = 1;
  if (lead < 0x80) return lead;
  const size_t n = SequenceLength(bytes, pos);
  if (n == 0) return kRawByte + lead;
  char32_t c = lead & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
  for (size_t k = 1; k < n; ++k) c = (c << 6) | (static_cast<unsigned char>(bytes[pos + k]) & 0x3F);
  length = n;
  return c;
}

bool IsAscii(std::string_view bytes) {
  const char* p = bytes.data();
  size_t n = bytes.size();
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    if ((word & 0x8080808080808080ull) != 0) return false;
  }
  for (; n > 0; ++p, --n)
    if (static_cast<unsigned char>(*p) >= 0x80) return false;
  return true;
}

bool IsUnicodeSpace(char32_t c) {
  return c == 0x00A0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
         c == 0x202F || c == 0x205F || c == 0x3000;
}

char32_t FoldCase(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
  if (c < 0x100) return c >= 0xC0 && c <= 0xDE && c != 0xD7 ? c + 32 : c;
  if (c < 0x180) {
    // Latin Extended-A: pairs of capital and small, with a few exceptions.
    if (c == 0x130) return 'i';
    if (c == 0x178) return 0xFF;
    if (c == 0x17F) return 's';
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) != 0 ? c + 1 : c;
    return c;
  }
  if (c >= 0x370 && c < 0x400) {
    if ((c >= 0x391 && c <= 0x3A1) || (c >= 0x3A3 && c <= 0x3AB)) return c + 32;
    if (c == 0x386) return 0x3AC;
    if (c >= 0x388 && c <= 0x38A) return c + 37;
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return c + 63;
    if (c == 0x3C2) return 0x3C3;
    return c;
  }
  if (c >= 0x400 && c < 0x530) {
    if (c <= 0x40F) return c + 80;
    if (c <= 0x42F) return c + 32;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F)) return c | 1;
    if (c == 0x4C0) return 0x4CF;
    if (c >= 0x4C1 && c <= 0x4CE) return (c & 1) != 0 ? c + 1 : c;
    return c;
  }
  return c;
}

std::string FoldCase(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  AppendKey(utf8, nullptr, true, out);
  return out;
}

namespace {

bool Deleted(char32_t c, const std::bitset<256>& ignore) {
  if (c < 256) {
    if (ignore.test(c)) return true;
  } else if (c >= kRawByte) {
    return ignore.test(c - kRawByte);
  }
  return IsUnicodeSpace(c) && (ignore.test(' ') || ignore.test(0xA0));
}

}  // namespace

void AppendKey(std::string_view text, const std::bitset<256>* ignore, bool fold, std::string& out) {
  for (size_t pos = 0; pos < text.size();) {
    const auto byte = static_cast<unsigned char>(text[pos]);
    if (byte < 0x80 && ignore == nullptr) {
      // The common case of a search text: ASCII needs no decoding.
      out.push_back(static_cast<char>(fold && byte >= 'A' && byte <= 'Z' ? byte + 32 : byte));
      ++pos;
      continue;
    }
    size_t length = 1;
    const char32_t c = DecodeUtf8(text, pos, length);
    if (ignore != nullptr && Deleted(c, *ignore)) {
      pos += length;
      continue;
    }
    if (c >= kRawByte) {
      out.push_back(text[pos]);
    } else if (fold) {
      AppendUtf8(out, FoldCase(c));
    } else {
      out.append(text.substr(pos, length));
    }
    pos += length;
  }
}

size_t SpaceBytesAt(std::string_view text, size_t pos) {
  if (static_cast<unsigned char>(text[pos]) < 0x80) return 0;
  size_t length = 0;
  const char32_t c = DecodeUtf8(text, pos, length);
  return IsUnicodeSpace(c) ? length : 0;
}

void StripBlanks(const char* bytes, size_t& first, size_t& last, bool leading, bool trailing) {
  auto blank = [](char b) { return static_cast<unsigned char>(b) <= 32; };
  if (trailing) {
    while (last > first) {
      if (blank(bytes[last - 1])) {
        --last;
        continue;
      }
      // A space beyond ASCII is two or three bytes long.
      const std::string_view line(bytes + first, last - first);
      size_t found = 0;
      for (const size_t n : {size_t{2}, size_t{3}})
        if (line.size() >= n && SpaceBytesAt(line, line.size() - n) == n) found = n;
      if (found == 0) break;
      last -= found;
    }
  }
  if (leading) {
    while (first < last) {
      if (blank(bytes[first])) {
        ++first;
        continue;
      }
      const size_t n = SpaceBytesAt(std::string_view(bytes + first, last - first), 0);
      if (n == 0) break;
      first += n;
    }
  }
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

}  // namespace unicode
