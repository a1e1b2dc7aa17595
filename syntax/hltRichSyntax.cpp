#include "syntax/hltRichSyntax.h"

#include <array>
#include <cstring>
#include <string_view>

#include "toolkit/SysUtils.h"

namespace {

struct KnownFont {
  std::string_view name;
  int pitchAndFamily;
  int charset;  // what a request for the default character set realises as
};

// The fonts every installation of the target system carries, with the
// metrics its screen device context reports for them.
constexpr std::array kKnownFonts{
    KnownFont{"Courier New", FF_MODERN | FIXED_PITCH, ANSI_CHARSET},
    KnownFont{"Courier", FF_MODERN | FIXED_PITCH, ANSI_CHARSET},
    KnownFont{"Lucida Console", FF_MODERN | FIXED_PITCH, ANSI_CHARSET},
    KnownFont{"Consolas", FF_MODERN | FIXED_PITCH, ANSI_CHARSET},
    KnownFont{"Fixedsys", FF_MODERN | FIXED_PITCH, ANSI_CHARSET},
    KnownFont{"Terminal", FF_MODERN | FIXED_PITCH, OEM_CHARSET},
    KnownFont{"Arial", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Helvetica", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"MS Sans Serif", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Microsoft Sans Serif", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Small Fonts", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Tahoma", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Verdana", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Segoe UI", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Trebuchet MS", FF_SWISS | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Times New Roman", FF_ROMAN | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Times", FF_ROMAN | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"MS Serif", FF_ROMAN | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Georgia", FF_ROMAN | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Comic Sans MS", FF_SCRIPT | VARIABLE_PITCH, ANSI_CHARSET},
    KnownFont{"Script", FF_SCRIPT | VARIABLE_PITCH, OEM_CHARSET},
    KnownFont{"Symbol", FF_DECORATIVE | VARIABLE_PITCH, SYMBOL_CHARSET},
    KnownFont{"Wingdings", FF_DECORATIVE | VARIABLE_PITCH, SYMBOL_CHARSET},
    KnownFont{"Webdings", FF_DECORATIVE | VARIABLE_PITCH, SYMBOL_CHARSET},
    KnownFont{"Marlett", FF_DECORATIVE | VARIABLE_PITCH, SYMBOL_CHARSET},
};

ThltFontMetricsProvider& Provider() {
  static ThltFontMetricsProvider provider;
  return provider;
}

const char* CharsetWord(int charset) {
  switch (charset) {
    case 0:
      return "fcharset0";
    case 1:
      return "fcharset1";
    case 2:
      return "fcharset2";
    case 128:
      return "fcharset128";
    case 255:
      return "fcharset255";
    default:
      return "";
  }
}

const char* FamilyWord(int pitchAndFamily) {
  switch ((pitchAndFamily >> 4) & 0x0F) {
    case 0:
      return "fdontcare";
    case 1:
      return "froman";
    case 2:
      return "fswiss";
    case 3:
      return "fmodern";
    case 4:
      return "fscript";
    case 5:
      return "fdecorative";
    default:
      return "froman";
  }
}

// A brace or backslash in a face name would end the font table early.
std::string EscapedFontName(const std::string& name) {
  std::string escaped;
  for (char c : name) {
    if (c == '\\' || c == '{' || c == '}') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

// Output is gathered in blocks so that a file stream sees a few large
// writes instead of one system call per token.
constexpr size_t kFlushSize = 64 * 1024;

}  // namespace

ThltFontMetrics DefaultFontMetrics(const TFont& font) {
  ThltFontMetrics metrics;
  int realisedDefault = ANSI_CHARSET;
  bool known = false;
  for (const KnownFont& k : kKnownFonts) {
    if (SameText(k.name, font.Name())) {
      metrics.PitchAndFamily = k.pitchAndFamily;
      realisedDefault = k.charset;
      known = true;
      break;
    }
  }
  if (!known) {
    // An unknown face is realised as the system's substitute: a fixed-pitch
    // request gets a modern font, anything else a swiss one.
    metrics.PitchAndFamily =
        font.Pitch() == TFontPitch::fpFixed ? (FF_MODERN | FIXED_PITCH) : (FF_SWISS | VARIABLE_PITCH);
  }
  metrics.Charset = font.Charset() == DEFAULT_CHARSET ? realisedDefault : font.Charset();
  return metrics;
}

void SetFontMetricsProvider(ThltFontMetricsProvider provider) { Provider() = std::move(provider); }

ThltFontMetrics GetFontMetrics(const TFont& font) {
  const ThltFontMetricsProvider& provider = Provider();
  return provider ? provider(font) : DefaultFontMetrics(font);
}

ThltRTFSyntax::ThltRTFSyntax() {
  FCodePage = 1252;
  TFont font;
  font.SetName("Courier New");
  SetFonts({font});
  FHeader = "{\\rtf1\\ansi\\ansicpg" + IntToStr(FCodePage) + "\\deff0\\deftab720{\\fonttbl";
  FFontTableEnd = "}\r\n";
  FBodyStart = "\\deflang1033\\pard\\plain\\f0\\fs20";
}

void ThltRTFSyntax::EscapeToken(std::string&) {}

std::string ThltRTFSyntax::FormatToken(int kind, const std::string& token) {
  return Piece(kind, {}, token, {});
}

std::string ThltRTFSyntax::Piece(int kind, std::string_view before, const std::string& token,
                                 std::string_view after) {
  // Runs once per token: the colour word is formatted by hand and the piece
  // is sized once and filled by copies.
  char word[24] = "\\cf";
  size_t wordLength = 3;
  if (kind < 0) word[wordLength++] = '-';
  unsigned value = kind < 0 ? 0u - static_cast<unsigned>(kind) : static_cast<unsigned>(kind);
  char digits[12];
  size_t digitCount = 0;
  do {
    digits[digitCount++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (digitCount > 0) word[wordLength++] = digits[--digitCount];
  word[wordLength++] = ' ';
  std::string piece(wordLength + before.size() + token.size() + after.size(), '\0');
  char* out = piece.data();
  std::memcpy(out, word, wordLength);
  out += wordLength;
  if (!before.empty()) std::memcpy(out, before.data(), before.size());
  out += before.size();
  if (!token.empty()) std::memcpy(out, token.data(), token.size());
  out += token.size();
  if (!after.empty()) std::memcpy(out, after.data(), after.size());
  return piece;
}

std::string ThltRTFSyntax::ColorToRTF(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return "\\red" + std::to_string(GetRValue(rgb)) + "\\green" + std::to_string(GetGValue(rgb)) + "\\blue" +
         std::to_string(GetBValue(rgb)) + ";";
}

void ThltRTFSyntax::SetLine(const std::string&, int) {}

void ThltRTFSyntax::SetFonts(const std::vector<TFont>& fonts) {
  FFontTable.clear();
  for (size_t i = 0; i < fonts.size(); ++i) {
    const ThltFontMetrics metrics = GetFontMetrics(fonts[i]);
    FFontTable += "{\\f" + std::to_string(i) + "\\" + FamilyWord(metrics.PitchAndFamily) + "\\" +
                  CharsetWord(metrics.Charset) + " " + EscapedFontName(fonts[i].Name()) + ";}";
  }
}

void ThltRTFSyntax::SetColors(const std::vector<TColor>& colors) {
  FColorTable = "{\\colortbl\\red0\\green0\\blue0;";
  for (TColor color : colors) FColorTable += ColorToRTF(color);
  FColorTable += "}\r\n";
}

std::string ThltRTFSyntax::Prologue() const {
  return FHeader + FFontTable + FFontTableEnd + FColorTable + FBodyStart + "\\f0 ";
}

void ThltRTFSyntax::ConvertToStream(TStream& stream) {
  std::string out;
  out.reserve(kFlushSize + 1024);
  Convert(out, &stream);
}

void ThltRTFSyntax::Convert(std::string& out, TStream* stream) {
  out += Prologue();
  // A paragraph ends at every line end of the text: CR LF, a lone CR, or a
  // lone LF. Some scanners hand out the LF of a CR LF as a token of its own;
  // that LF belongs to the paragraph end already written for its CR.
  bool previousEndedWithCR = false;
  while (!GetEol()) {
    std::string token = GetToken();
    const int kind = GetTokenKind();
    EscapeToken(token);
    const std::string piece = FormatToken(kind, token);
    if (!token.empty()) {
      if (token.front() == '\r' || (token.front() == '\n' && !previousEndedWithCR)) out += "\\par ";
      previousEndedWithCR = token.back() == '\r';
    }
    out += piece;
    if (stream != nullptr && out.size() >= kFlushSize) {
      stream->WriteString(out);
      out.clear();
    }
    Next();
  }
  // Every piece ends in text or in a delimited control word, so the group
  // closes directly: a blank before the brace would be shown as text.
  out += '}';
  if (stream != nullptr) stream->WriteString(out);
}

// The same bytes as converting into a string stream, written straight into the result.
std::string ThltRTFSyntax::GetRTF() {
  std::string out;
  out.reserve(FHeader.size() + FFontTable.size() + FColorTable.size() + 64 + FSizeHint);
  Convert(out, nullptr);
  return out;
}
