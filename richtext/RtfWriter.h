#pragma once
// The RTF writer: a QTextDocument, or a range of it, as RTF that our reader
// (and other programs) read back to the same text and formatting. The
// output is 7-bit bytes: characters of Windows-1252 as \'hh, the rest as \uN.

#include <string>

class QTextDocument;

/// The whole document: every paragraph ends with \par, so that reading it
/// back gives the same paragraphs.
std::string WriteRtf(const QTextDocument& document);

/// The characters from position From up to (not including) To; a paragraph
/// end inside the range is written as \par, a partial last paragraph is not
/// ended.
std::string WriteRtf(const QTextDocument& document, int from, int to);
