#include "SyntaxTestUtil.h"

#include "syntax/hltConverters.h"
#include "toolkit/SysUtils.h"

void PrintTo(TSyntaxType language, std::ostream* os) { *os << SyntaxTypeName(language); }

namespace syntax_test {

namespace {

std::string visible(const std::string& token) {
  std::string out;
  for (char c : token) {
    switch (c) {
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string Tokens(ThltRTFSyntax& converter, const std::string& text) {
  converter.SetText(text);
  std::string out;
  for (int guard = 0; !converter.GetEol() && guard < 100000; ++guard) {
    if (!out.empty()) out += ' ';
    out += "[" + visible(converter.GetToken()) + "]" + std::to_string(converter.GetTokenKind());
    converter.Next();
  }
  return out;
}

std::string Body(ThltRTFSyntax& converter, const std::string& text) {
  converter.SetText(text);
  const std::string rtf = converter.GetRTF();
  const std::string prologue = converter.Prologue();
  if (rtf.compare(0, prologue.size(), prologue) != 0) return "<prologue missing>" + rtf;
  return rtf.substr(prologue.size());
}

TDecodedBody DecodeBody(const std::string& rtf, const std::string& prologue) {
  TDecodedBody result;
  if (rtf.compare(0, prologue.size(), prologue) != 0) {
    result.Error = "prologue missing";
    return result;
  }
  if (rtf.size() < prologue.size() + 1 || rtf.back() != '}') {
    result.Error = "closing brace missing";
    return result;
  }
  const size_t end = rtf.size() - 1;
  size_t i = prologue.size();
  int color = 0;
  bool bold = false;
  bool italic = false;
  std::string shownFormat;
  const auto show = [&](char c) {
    result.Text += c;
    if (c == '\r' || c == '\n') return;
    const std::string format =
        "<" + std::to_string(color) + "," + (bold ? "b" : "") + "," + (italic ? "i" : "") + ">";
    if (format != shownFormat) result.Visual += format;
    shownFormat = format;
    result.Visual += c;
  };
  while (i < end) {
    const char c = rtf[i];
    if (c == '{' || c == '}') {
      result.Error = "unescaped brace at " + std::to_string(i);
      return result;
    }
    if (c != '\\') {
      show(c);
      ++i;
      continue;
    }
    if (i + 1 >= end) {
      result.Error = "backslash at the end";
      return result;
    }
    const char n = rtf[i + 1];
    if (n == '\\' || n == '{' || n == '}') {
      show(n);
      i += 2;
    } else if (n == '\'') {
      if (i + 4 > end || rtf.compare(i, 4, "\\'00") != 0) {
        result.Error = "unexpected hex escape at " + std::to_string(i);
        return result;
      }
      show('\0');
      i += 4;
    } else if (is_letter(n)) {
      size_t j = i + 1;
      while (j < end && is_letter(rtf[j])) ++j;
      const std::string word = rtf.substr(i + 1, j - i - 1);
      const size_t digits = j;
      while (j < end && (is_digit(rtf[j]) || rtf[j] == '-')) ++j;
      const int value = j > digits ? std::stoi(rtf.substr(digits, j - digits)) : 1;
      if (j >= end || rtf[j] != ' ') {
        result.Error = "control word \\" + word + " without its blank at " + std::to_string(i);
        return result;
      }
      if (word == "par") {
        result.Paragraphs.push_back(result.Text.size());
        result.Visual += '\n';
        shownFormat.clear();
      } else if (word == "cf") {
        color = value;
      } else if (word == "b") {
        bold = value != 0;
      } else if (word == "i") {
        italic = value != 0;
      } else {
        result.Error = "unexpected control word \\" + word;
        return result;
      }
      i = j + 1;
    } else {
      result.Error = "unexpected control symbol at " + std::to_string(i);
      return result;
    }
  }
  return result;
}

std::vector<size_t> LineEndOffsets(const std::string& text) {
  std::vector<size_t> offsets;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      offsets.push_back(i);
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      offsets.push_back(i);
    }
  }
  return offsets;
}

bool BracesBalanced(const std::string& rtf) {
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;  // the escaped character, whatever it is
    } else if (rtf[i] == '{') {
      ++depth;
    } else if (rtf[i] == '}') {
      if (--depth < 0) return false;
      if (depth == 0 && i + 1 != rtf.size()) return false;  // one outermost group only
    }
  }
  return depth == 0;
}

std::string ToLf(const std::string& text) { return LfLineEnds(text); }

std::string ToCrLf(const std::string& text) {
  std::string out;
  for (char c : ToLf(text)) {
    if (c == '\n')
      out += "\r\n";
    else
      out += c;
  }
  return out;
}

}  // namespace syntax_test
