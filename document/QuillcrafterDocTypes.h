#pragma once
// Small value types and fixed tables of the help project document.

#include <array>
#include <cstdint>

#include "syntax/hltSyntaxType.h"

/// Paragraph alignment of a text macro. The file stores the ordinal; a
/// value outside the three names is carried as it was read.
enum TAlignment : int32_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

/// Kind of help file the project builds (stored as its ordinal).
enum THelpFileType : int32_t { ft16Bit = 0, ft32Bit = 1, ftHTML = 2 };

/// Layout of the web export (stored as its ordinal).
enum TWebExportOutputFormat : int32_t { ofSimple = 0, ofSimpleNavigation = 1, ofContents = 2 };

/// What a clipboard entry of a help project holds.
enum class TQCClipboardFormatType : uint8_t { cftTopic, cftTopicInfo, cftTOC };

/// Names that make a text macro a syntax macro; index = TSyntaxType.
inline constexpr std::array<const char*, 8> SyntaxMacroNames = {
    "__C++SourceCode", "__DFMCode",      "__JScriptCode", "__SQLCode",
    "__VBCode",        "__VBScriptCode", "__XMLCode",     "*SourceCode",
};

/// The help file kinds; index = TQCProjectOptions::HelpFileKind.
inline constexpr std::array<const char*, 13> HelpFileKindNames = {
    "Regular Help File",
    "Delphi 1 Component",
    "Delphi 2 Component",
    "Delphi 3 Component",
    "Delphi 4 Component",
    "Delphi 5 Component",
    "Delphi 6 VCL/CLX Component",
    "Delphi 7 VCL/CLX Component",
    "C++Builder 1 Component",
    "C++Builder 3 Component",
    "C++Builder 4 Component",
    "C++Builder 5 Component",
    "C++Builder 6 VCL/CLX Component",
};
inline constexpr std::array<const char*, 13> HelpFileKindShortNames = {
    "Regular", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "CPPB1", "CPPB3", "CPPB4", "CPPB5", "CPPB6",
};

/// The file versions the reader accepts.
inline constexpr std::array<int32_t, 5> AcceptedVersions = {10, 11, 12, 13, 14};

/// First line of every project file.
inline constexpr const char* QCFileIdentifier = "Quillcrafter project file.";
/// Prefix of every topic's default context string and of contents links.
inline constexpr const char* QCContextPrefix = "Inkwells";

/// Messages of the document (used exactly as they stand).
namespace qcmsg {
inline constexpr const char* SMissingIdentifier = "Missing Quillcrafter Identifier, not a Quillcrafter File";
inline constexpr const char* SUnknownVersion = "Unknown Quillcrafter File Version, not a Quillcrafter File";
/// A file that ends before its counts are satisfied.
inline constexpr const char* SUnexpectedEnd = "Unexpected end of file while reading %s";
inline constexpr const char* SByteOrderMark =
    "The file starts with a UTF-8 byte-order mark, which a Quillcrafter File never has; not a Quillcrafter "
    "File";
/// A line or a count that no project file could hold: what endless or
/// damaged data looks like.
inline constexpr const char* SLineTooLong = "Line %s is longer than %s bytes while reading %s";
inline constexpr const char* SCountTooLarge =
    "Line %s: the count %s is larger than the lines that can follow while reading %s";
/// Data after the last text macro, which a load leaves out.
inline constexpr const char* STrailingData =
    "%s bytes after the end of the project are not read (a save drops them)";
}  // namespace qcmsg
