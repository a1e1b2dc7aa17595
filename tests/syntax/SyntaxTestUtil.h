#pragma once
// Helpers shared by the converter tests: token listings, the text an RTF
// reader would show, and the body of a conversion without its prologue.

#include <ostream>
#include <string>
#include <vector>

#include "syntax/hltRichSyntax.h"
#include "syntax/hltSyntaxType.h"

/// Languages print by their short names in test listings.
void PrintTo(TSyntaxType language, std::ostream* os);

namespace syntax_test {

/// Every token of Text as "[token]kind", blank-separated; CR, LF, tab and NUL
/// are shown as \r, \n, \t and \0. The converter keeps its carried state.
std::string Tokens(ThltRTFSyntax& converter, const std::string& text);

/// The RTF of Text after the prologue (the pieces and the closing " }").
std::string Body(ThltRTFSyntax& converter, const std::string& text);

/// What the body of a converter's RTF says, escapes undone: the text with
/// its raw line ends, and the text offsets at which a "\par" stood.
struct TDecodedBody {
  std::string Text;
  std::vector<size_t> Paragraphs;
  /// What a reader shows: raw line ends dropped, one '\n' per "\par", and a
  /// marker "<colour,bold,italic>" wherever the format of the visible text changes.
  std::string Visual;
  std::string Error;  // empty when the body was well formed
};
TDecodedBody DecodeBody(const std::string& rtf, const std::string& prologue);

/// The offsets where a line ends in Text (CR LF counts once).
std::vector<size_t> LineEndOffsets(const std::string& text);

/// True when the braces that are not escaped balance and never close more than is open.
bool BracesBalanced(const std::string& rtf);

/// Text with every CR LF and lone CR turned into LF.
std::string ToLf(const std::string& text);
std::string ToCrLf(const std::string& text);

}  // namespace syntax_test
