#pragma once
// The three-way merge of help projects: BASE, OURS and THEIRS, topics
// matched across the three by the comparison's match mode. PlanMerge
// decides everything and returns the decisions as data; ApplyMerge builds
// the merged document from them. A caller that wants another outcome for a
// conflict changes that decision's Resolution and applies again. Qt-free.
//
// The merged document starts as a copy of OURS, so every topic and part
// that nothing changed stays exactly as OURS has it, byte for byte.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/TopicComparison.h"
#include "richtext/RtfPlainText.h"

class TQuillcrafterDoc;
class TQCTopic;

/// What a decision is about.
enum class TMergeLevel : uint8_t {
  Topic,      // a whole topic: kept, taken from a side, added, deleted
  Field,      // one field of a topic present on all three sides
  TextBlock,  // a block of lines of a topic's text
  Item,       // a part of the file besides the topics (an option, a macro, lines of a list)
};

/// What the merge did.
enum class TMergeAction : uint8_t {
  Kept,      // unchanged on both sides
  Ours,      // changed on our side only
  Theirs,    // changed on their side only
  Same,      // changed the same way on both sides
  Merged,    // both sides' changes combined (keyword sets, words of a line)
  Added,     // new on one side (or alike on both)
  Deleted,   // removed on one side, unchanged on the other (or removed on both)
  Conflict,  // changed differently on both sides: Resolution says what the file has
};

/// What a conflict resolves to.
enum class TMergeResolution : uint8_t {
  Unresolved,  // text: marked paragraphs with all three versions; a value: ours
  Ours,
  Theirs,
  Base,
  Both,  // a topic added on both sides: both kept, theirs renumbered when its ID is taken
};

/// One decision of the merge.
struct TMergeDecision {
  TMergeLevel Level = TMergeLevel::Topic;
  TMergeAction Action = TMergeAction::Kept;
  /// For a conflict, what the file takes. Set on any field, text block or
  /// item (not a whole topic), Ours, Theirs or Base overrides the action:
  /// how a window takes one change back.
  TMergeResolution Resolution = TMergeResolution::Unresolved;
  /// The part of the file: "topic", "options", "window definitions",
  /// "contents links", "contents indices", "contents", "text macros".
  std::string Part = "topic";
  /// Topic IDs on each side, -1 where the side has no such topic.
  int32_t BaseID = -1, OursID = -1, TheirsID = -1;
  /// The topic's title (ours when it has one) for people reading the plan.
  std::string Title;
  /// A field or option name, a macro name; empty for whole topics and text.
  std::string Name;
  /// Text blocks and list items: the half-open line ranges on each side
  /// (for text blocks, of the lines the text shows).
  int BaseStart = 0, BaseEnd = 0, OursStart = 0, OursEnd = 0, TheirsStart = 0, TheirsEnd = 0;
  /// The three values (file bytes; for list blocks the lines joined with
  /// CR LF, for text blocks the RTF of their lines): always for conflicts,
  /// otherwise where they tell the change.
  std::array<std::string, 3> Values;  // base, ours, theirs
  /// The combined value of a Merged decision.
  std::string MergedValue;
  /// A text conflict that can be shown as marked paragraphs in place.
  bool Markable = false;
  /// Lines a person put in place of a text block (one side after the
  /// other, or their own edit), CR LF joined; when set they win over the
  /// block's values and its resolution.
  std::optional<std::string> ChosenValue;
  /// Which topic of each document the decision is about (index in its
  /// topics, -1 for none); not part of the plan's text.
  int BaseIndex = -1, OursIndex = -1, TheirsIndex = -1;

  bool IsConflict() const { return Action == TMergeAction::Conflict; }
};

/// Names of actions and resolutions as the plan writes them.
const char* MergeActionName(TMergeAction action);
const char* MergeResolutionName(TMergeResolution resolution);
const char* MergeLevelName(TMergeLevel level);

struct TMergeLabels {
  std::string Ours = "ours";
  std::string Theirs = "theirs";
  std::string Base = "base";
};

/// Every decision of one merge. The documents are referred to, not owned:
/// they must outlive the plan.
struct TMergePlan {
  const TQuillcrafterDoc* Base = nullptr;
  const TQuillcrafterDoc* Ours = nullptr;
  const TQuillcrafterDoc* Theirs = nullptr;
  TTopicMatchMode MatchMode = TTopicMatchMode::tmByID;
  TMergeLabels Labels;
  /// How the file's bytes read as shown text: the text merge splices the
  /// shown lines with it.
  TCodePageDecoder Decode;
  std::vector<TMergeDecision> Decisions;

  int ConflictCount() const;
  /// Conflicts whose Resolution is still Unresolved.
  int UnresolvedCount() const;
  /// Gives every conflict the resolution (Ours, Theirs or Base; for a topic
  /// added on both sides Base means neither).
  void ResolveAll(TMergeResolution resolution);
};

/// Decides the merge of Ours and Theirs against Base. Decode reads the
/// file's bytes for anything compared as shown text; Progress, when set,
/// hears (topics done, topics in all).
TMergePlan PlanMerge(const TQuillcrafterDoc& base, const TQuillcrafterDoc& ours,
                     const TQuillcrafterDoc& theirs, TTopicMatchMode mode, const TCodePageDecoder& decode,
                     const std::function<void(int, int)>& progress = {});

/// Makes Result the merge the plan decides: a copy of the plan's Ours with
/// every decision applied.
void ApplyMerge(const TMergePlan& plan, TQuillcrafterDoc& result);

/// The plan as a JSON document (docs/merge-plan.schema.json); Decode turns
/// the file's bytes into UTF-8.
std::string MergePlanJson(const TMergePlan& plan, const TCodePageDecoder& decode);
