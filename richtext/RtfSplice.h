#pragma once
// Replacing some plain-text lines of one RTF text with lines of another,
// keeping the look of every line moved and every byte of the text kept.
// Qt-free; copies of one change and text merges both go through it.

#include <string>
#include <string_view>

#include "richtext/RtfPlainText.h"

/// Target with its plain lines [A, B) replaced by Source's lines [C, D)
/// (A == B inserts, C == D removes; indexes are clamped to the texts).
/// The plain text of the result is Target's lines [0, A), Source's [C, D)
/// and Target's [B, n) (a text of no lines reads as one empty line).
/// - Every byte of Target before its line A and after its line B - 1
///   stays as it was, except that fonts and colours the moved lines need
///   are appended to its tables, a last line that nothing ends gets a \par
///   when lines are added after it, and a \line that would leave an empty
///   last line after a removal at the end becomes a \par.
/// - Each moved line is one group that starts with the paragraph and
///   character format in force where it started in Source, with its fonts
///   and colours renumbered into Target's tables, and ends its paragraph as
///   the paragraph ended there; pictures, fields and all else in it are
///   carried as they stand. A table row moves as one line.
/// - The replaced lines leave behind the braces and formatting words they
///   held that the following lines rely on, without their text.
/// - The replacement starts and ends at file line boundaries where Target's
///   lines do, so that a text stored as file lines joined with CR LF splits
///   back with every untouched file line as it was.
/// A paragraph that the splice cuts at a \line goes on into the first line
/// moved in and takes its paragraph format. Text that is not RTF is taken
/// as Windows-1252 lines, and a Target that is not RTF becomes a minimal RTF
/// document first. Text too broken for this (a brace that closes the
/// document early, a line end inside a destination) gets every line
/// rebuilt as a group of its own, when that reads back as the lines asked
/// for; otherwise the result holds every byte of both parts as spliced.
std::string SpliceRtfLines(std::string_view target, int a, int b, std::string_view source, int c, int d,
                           const TCodePageDecoder& decode);

/// Lines of 8-bit plain text as a minimal RTF document with the same
/// plain-text lines.
std::string PlainTextToRtf(std::string_view text);
