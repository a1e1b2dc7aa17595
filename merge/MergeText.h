#pragma once
// The three-way merge of a topic's text, line by line: a block changed on
// one side is taken, blocks changed alike on both are taken once, a block of
// one line changed on both sides merges word by word when the sides changed
// different words (so a change of wording and one of formatting in the same
// line both stay: the formatting is part of the line's RTF), anything else is
// a conflict. Lines are the topic's RTF lines, each a paragraph as the
// rich-edit control writes it.

#include <string>
#include <vector>

#include "merge/Merge.h"
#include "merge/MergeLines.h"

/// The text blocks of a three-way merge: every chunk that is not the same on
/// all sides, as a TextBlock decision with its ranges, its three values
/// (lines joined with CR LF) and, for a line merged word by word, the merged
/// line as MergedValue. A conflict where one side changed only the
/// formatting (its shown text, read with Decode, is the base's) and the other
/// the wording says so in its Name.
std::vector<TMergeDecision> MergeTopicText(const std::vector<std::string>& base,
                                           const std::vector<std::string>& ours,
                                           const std::vector<std::string>& theirs,
                                           const TCodePageDecoder& decode);

/// The lines a text block puts in the merged text. An unresolved conflict
/// gives visible marked paragraphs with all three versions between them,
/// unless the block holds the RTF header or the closing of the text, where
/// marks would break it: then ours.
std::vector<std::string> ChosenTextLines(const TMergeDecision& block, const TMergeLabels& labels);

/// The merged text of a topic: ours, with the lines each block chooses in
/// place of ours' lines of the block. Blocks are those MergeTopicText gave
/// for these texts, in order (with resolutions changed as wanted).
std::vector<std::string> BuildMergedText(const std::vector<std::string>& base,
                                         const std::vector<std::string>& ours,
                                         const std::vector<std::string>& theirs,
                                         const std::vector<const TMergeDecision*>& blocks,
                                         const TMergeLabels& labels);

/// Splits the CR LF joined lines of a decision's value.
std::vector<std::string> SplitValueLines(const std::string& value);
