#pragma once
// Three-way merge of sequences of lines (or of the words of one line): the
// stable lines both sides kept from the base cut the sequences into chunks,
// and each chunk is unchanged, changed on one side, changed alike on both,
// or a conflict. Qt-free, no document types: the topic text, the string
// lists and the contents of a project all merge through it.

#include <string>
#include <string_view>
#include <vector>

/// How one chunk of a three-way line merge came out.
enum class TChunkKind : unsigned char {
  Stable,  // the same lines on all three sides
  Ours,    // only ours changed them
  Theirs,  // only theirs changed them
  Both,    // both changed them the same way
  Conflict,
};

/// One chunk: the half-open line ranges it covers on each side.
struct TMergeChunk {
  TChunkKind Kind = TChunkKind::Stable;
  int BaseStart = 0, BaseEnd = 0;
  int OursStart = 0, OursEnd = 0;
  int TheirsStart = 0, TheirsEnd = 0;
};

/// The chunks of a three-way merge of Ours and Theirs against Base, in
/// order, covering all three sequences. Lines compare exactly. A chunk
/// changed on one side only is never split from its stable neighbours by
/// the other side, so taking each chunk's side rebuilds that side wholly
/// when the other is unchanged.
std::vector<TMergeChunk> MergeLines3(const std::vector<std::string>& base,
                                     const std::vector<std::string>& ours,
                                     const std::vector<std::string>& theirs);

/// The words of a line as the word merge sees them: runs of ASCII letters,
/// digits, '_' and bytes from 0x80 on; runs of blanks (bytes up to 32);
/// each other byte alone. Joined they give the line again.
std::vector<std::string> SplitWords(std::string_view line);

/// The line that merges what each side changed in Base when they changed
/// different words of it (each word changed on one side only, or alike on
/// both); false when some word changed differently on both sides.
bool MergeWords3(std::string_view base, std::string_view ours, std::string_view theirs, std::string& merged);
