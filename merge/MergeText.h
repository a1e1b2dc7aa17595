#pragma once
// The three-way merge of a topic's text, line by line over the lines it
// shows: a block changed on one side is taken, blocks changed alike on both
// are taken once, a block whose lines both sides changed merges word by
// word when they changed different words (the words of the shown text
// decide, the words of each line's RTF carry the formatting, so a change
// of wording and one of formatting in the same line both stay), anything
// else is a conflict. A line whose shown text stayed but whose RTF changed
// changed its formatting, and merges the same way.
//
// The merged text is ours' RTF with the chosen lines of the other texts
// spliced in, each carrying its formatting: every byte ours has outside
// the blocks taken from elsewhere stays as it was.

#include <string>
#include <vector>

#include "merge/Merge.h"
#include "merge/MergeLines.h"

/// The text blocks of a three-way merge of whole topic texts (RTF, lines
/// ending in CR LF): every run of shown lines that is not the same on all
/// sides, and every line whose RTF changed, as a TextBlock decision with
/// its ranges of shown lines, its three values (the RTF bytes of those
/// lines) and, for lines merged word by word, ours' lines' RTF merged as
/// MergedValue. A conflict where one side changed only the formatting and
/// the other the wording says so in its Name. A change of the RTF header
/// (fonts, colours) or of what follows the last line is a block of no
/// lines named "Text: header" or "Text: tail".
std::vector<TMergeDecision> MergeTopicText(const std::string& base, const std::string& ours,
                                           const std::string& theirs, const TCodePageDecoder& decode);

/// The merged text of a topic: ours, with what each block chooses in place
/// of ours' lines of the block. An unresolved conflict gives visible marked
/// paragraphs with all three versions between them, unless its block holds
/// the header or the tail, where marks cannot stand: then ours. Blocks are
/// those MergeTopicText gave for these texts, in order (with resolutions
/// changed as wanted).
std::string BuildMergedText(const std::string& base, const std::string& ours, const std::string& theirs,
                            const std::vector<const TMergeDecision*>& blocks, const TMergeLabels& labels,
                            const TCodePageDecoder& decode);

/// Splits the CR LF joined lines of a decision's value.
std::vector<std::string> SplitValueLines(const std::string& value);
