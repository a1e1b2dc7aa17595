#pragma once
// Link markers inside topic RTF, and the map of old to new topic IDs that
// renumbers them (the document's operations on them are in
// QuillcrafterDocLinks.cpp).
//
// A link marker is plain text shown in the topic: an escaped brace "\{",
// the marker body and "\}". After the RTF control words inside it are
// removed, its text starts with one of the prefixes below and ends with the
// matching suffix; between them stand an optional style character and the
// target (for kind 0 the target topic's ID in decimal).

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "containers/GHashTable.h"

/// Number of link kinds; a kind is an index into the tables below.
inline constexpr int LinkKindCount = 10;

/// A link to a topic of the same help file, by topic ID.
inline constexpr int lkThisHelpFile = 0;

inline constexpr std::array<const char*, LinkKindCount> LinkKindNames = {
    "This help file",
    "Other Quillcrafter help file",
    "Non-Quillcrafter help file",
    "Macro",
    "Target",
    "Delphi Object",
    "Delphi Property",
    "Delphi Method",
    "Delphi Event",
    "Delphi Type",
};

/// The marker text of each kind: the first %s is the style, the second the
/// target (kinds 1 and 2 take a third: the help file).
inline constexpr std::array<const char*, LinkKindCount> LinkFormats = {
    "\\{linkID=%s%s\\}",
    "\\{link=%sInkwells%s@%s\\}",
    "\\{link=%s%s@%s\\}",
    "\\{link=%s! %s\\}",
    "\\{linkTarget=%s%s\\}",
    "\\{linkDelphi=%s%s_Object\\}",
    "\\{linkDelphi=%s%s_Property\\}",
    "\\{linkDelphi=%s%s_Method\\}",
    "\\{linkDelphi=%s%s_Event\\}",
    "\\{linkDelphi=%s%s\\}",
};

inline constexpr std::array<const char*, LinkKindCount> LinkPrefixes = {
    "\\{linkID=",     "\\{link=",       "\\{link=",       "\\{link=",       "\\{linkTarget=",
    "\\{linkDelphi=", "\\{linkDelphi=", "\\{linkDelphi=", "\\{linkDelphi=", "\\{linkDelphi=",
};

inline constexpr std::array<const char*, LinkKindCount> LinkSuffixes = {
    "\\}", "\\}", "\\}", "\\}", "\\}", "_Object\\}", "_Property\\}", "_Method\\}", "_Event\\}", "\\}",
};

/// Link styles: 0 none, 1 "%", 2 "*"; the character stands right after the "=".
inline constexpr std::array<const char*, 3> LinkStyles = {"", "%", "*"};

/// A set of link kinds (bit k = kind k).
using TQCLinkKinds = std::bitset<LinkKindCount>;

/// One marker as found in a text.
struct TQCLinkMarker {
  /// The target, without prefix, style character and suffix, formatting removed.
  std::string Value;
  /// Characters from the marker's backslash through its closing brace.
  int Length = 0;
  /// Index into LinkStyles.
  int Style = 0;
  /// Index into the link tables.
  int Kind = 0;
};

/// S without RTF control words: a control word runs from its backslash up
/// to and including the next blank, CR or LF (and swallows whatever follows
/// it up to there); escaped braces and backslashes stay as they are; line
/// breaks, which are not text in RTF, are dropped.
std::string StripRTFControlWords(std::string_view s);

/// Finds the next link marker in Text whose backslash stands at Pos or later.
/// Pos is 1-based (0 counts as 1); on success it is the 1-based index of the
/// marker's backslash. Returns false when there is no further marker: the
/// end of the text, or a candidate that starts like a link but is of no
/// known kind (the search stops there). Candidates that are not links at
/// all are skipped.
bool FindNextLinkMarker(std::string_view text, int& pos, TQCLinkMarker& marker);

/// As FindNextLinkMarker, but passes over markers whose kind is not in AllowedKinds.
bool FindLink(std::string_view text, const TQCLinkKinds& allowedKinds, int& pos, TQCLinkMarker& marker);

/// Old topic IDs to new ones, as an import collects them. The hash table
/// refuses key 0 ("Argument is null"), yet 0 is the first ID a document
/// hands out; the pair for ID 0 is therefore kept beside the table, so any
/// ID can be mapped while the table keeps its own rules.
class TQCTopicIDMap {
 public:
  /// The table the import uses: 101 buckets, load factor 0.75.
  TQCTopicIDMap() : FTable(101, 0.75f) {}

  /// Maps OldID to NewID, replacing an earlier pair for OldID.
  void Put(int32_t oldID, int32_t newID);
  bool ContainsKey(int32_t oldID) const;
  /// The new ID of OldID; raises EGHashtableError "No such element" when it has none.
  int32_t Get(int32_t oldID) const;
  /// The new ID of OldID, or none.
  std::optional<int32_t> Find(int32_t oldID) const;
  int Count() const { return FTable.Count() + (FZero ? 1 : 0); }
  /// True when at least one ID maps to a different one (a walk by position).
  bool RenumbersAny() const;
  /// The pairs of every ID except 0.
  const TGHashIntTable& Table() const { return FTable; }

 private:
  TGHashIntTable FTable;
  std::optional<int32_t> FZero;
};
