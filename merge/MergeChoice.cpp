#include "merge/MergeChoice.h"

#include "document/QuillcrafterDoc.h"
#include "merge/MergeText.h"

namespace {

std::vector<std::string> TextLines(const TQCTopic& topic) {
  const TStrings& text = topic.Text();
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(text.Count()));
  for (int i = 0; i < text.Count(); ++i) lines.push_back(text.Strings(i));
  return lines;
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined.append(line).append("\r\n");
  return joined;
}

const TQCTopic* SideTopic(const TMergePlan& plan, const TMergeDecision& d, int side) {
  const TQuillcrafterDoc* doc = side == 0 ? plan.Base : side == 1 ? plan.Ours : plan.Theirs;
  const int index = side == 0 ? d.BaseIndex : side == 1 ? d.OursIndex : d.TheirsIndex;
  if (doc == nullptr || index < 0 || index >= doc->Topics().Count()) return nullptr;
  return doc->Topics().Items(index);
}

/// The value a decision takes with its current resolution, for items.
const std::string& ChosenItemValue(const TMergeDecision& d) {
  switch (d.Resolution) {
    case TMergeResolution::Theirs:
      return d.Values[2];
    case TMergeResolution::Base:
      return d.Values[0];
    case TMergeResolution::Ours:
      return d.Values[1];
    default:
      break;
  }
  if (d.Action == TMergeAction::Merged && !d.MergedValue.empty()) return d.MergedValue;
  if (d.Action == TMergeAction::Theirs || (d.Action == TMergeAction::Added && d.OursIndex < 0))
    return d.Values[2];
  return d.Values[1];
}

void Add(TMergeChoice& choice, const TMergeDecision& d, int index, TMergeResolution after,
         std::optional<std::string> value = std::nullopt) {
  if (d.Resolution == after && d.ChosenValue == value) return;
  choice.Changes.push_back({index, d.Resolution, after, d.ChosenValue, std::move(value)});
}

}  // namespace

std::vector<TMergeRow> MergeRows(const TMergePlan& plan) {
  std::vector<TMergeRow> rows;
  const int count = static_cast<int>(plan.Decisions.size());
  for (int i = 0; i < count; ++i) {
    const TMergeDecision& d = plan.Decisions[static_cast<size_t>(i)];
    const bool opens = d.Level == TMergeLevel::Topic || d.Level == TMergeLevel::Item || rows.empty();
    if (opens)
      rows.push_back({i, i + 1});
    else
      rows.back().End = i + 1;
  }
  return rows;
}

TMergeRowState RowState(const TMergePlan& plan, const TMergeRow& row) {
  bool conflict = false;
  for (int i = row.First; i < row.End; ++i) {
    const TMergeDecision& d = plan.Decisions[static_cast<size_t>(i)];
    if (!d.IsConflict()) continue;
    if (d.Resolution == TMergeResolution::Unresolved) return TMergeRowState::Conflict;
    conflict = true;
  }
  return conflict ? TMergeRowState::Resolved : TMergeRowState::Automatic;
}

TMergeAction RowAction(const TMergePlan& plan, const TMergeRow& row) {
  for (int i = row.First; i < row.End; ++i)
    if (plan.Decisions[static_cast<size_t>(i)].IsConflict()) return TMergeAction::Conflict;
  return plan.Decisions[static_cast<size_t>(row.First)].Action;
}

TMergeChoice ChooseDecision(const TMergePlan& plan, int index, TMergePick pick, const std::string& edited) {
  TMergeChoice choice;
  if (index < 0 || index >= static_cast<int>(plan.Decisions.size())) return choice;
  const TMergeDecision& d = plan.Decisions[static_cast<size_t>(index)];
  const bool block = d.Level == TMergeLevel::TextBlock;
  // A whole topic's resolution counts only where the topic itself is the conflict.
  if (d.Level == TMergeLevel::Topic && !d.IsConflict()) return choice;
  if (pick == TMergePick::Both && block) pick = TMergePick::OursThenTheirs;
  switch (pick) {
    case TMergePick::Ours:
      Add(choice, d, index, TMergeResolution::Ours);
      break;
    case TMergePick::Theirs:
      Add(choice, d, index, TMergeResolution::Theirs);
      break;
    case TMergePick::Base:
      Add(choice, d, index, TMergeResolution::Base);
      break;
    case TMergePick::Both:
      if (d.Level == TMergeLevel::Topic && d.BaseIndex < 0) Add(choice, d, index, TMergeResolution::Both);
      break;
    case TMergePick::OursThenTheirs:
    case TMergePick::TheirsThenOurs:
      if (block) {
        // The values are CR LF joined without a closing one: one goes between.
        const std::string& first = d.Values[pick == TMergePick::OursThenTheirs ? 1 : 2];
        const std::string& second = d.Values[pick == TMergePick::OursThenTheirs ? 2 : 1];
        std::string lines = first;
        if (!first.empty() && !second.empty()) lines += "\r\n";
        lines += second;
        Add(choice, d, index, TMergeResolution::Both, std::move(lines));
      }
      break;
    case TMergePick::Edit:
      if (block) Add(choice, d, index, TMergeResolution::Both, edited);
      break;
  }
  return choice;
}

TMergeChoice ChooseRow(const TMergePlan& plan, const TMergeRow& row, TMergePick pick) {
  TMergeChoice choice;
  for (int i = row.First; i < row.End; ++i) {
    const TMergeDecision& d = plan.Decisions[static_cast<size_t>(i)];
    TMergePick own = pick;
    if (pick == TMergePick::Both && d.Level == TMergeLevel::TextBlock) own = TMergePick::OursThenTheirs;
    // Both for a field or item means nothing: its conflicts keep what they had.
    if (pick == TMergePick::Both && d.Level != TMergeLevel::TextBlock && d.Level != TMergeLevel::Topic)
      continue;
    TMergeChoice one = ChooseDecision(plan, i, own);
    for (TMergeChoice::TChange& change : one.Changes) choice.Changes.push_back(std::move(change));
  }
  return choice;
}

TMergeChoice ChooseAllUnresolved(const TMergePlan& plan, TMergePick pick) {
  TMergeChoice choice;
  for (int i = 0; i < static_cast<int>(plan.Decisions.size()); ++i) {
    const TMergeDecision& d = plan.Decisions[static_cast<size_t>(i)];
    if (!d.IsConflict() || d.Resolution != TMergeResolution::Unresolved) continue;
    TMergeChoice one = ChooseDecision(plan, i, pick);
    for (TMergeChoice::TChange& change : one.Changes) choice.Changes.push_back(std::move(change));
  }
  return choice;
}

void ApplyChoice(TMergePlan& plan, const TMergeChoice& choice, bool forward) {
  for (const TMergeChoice::TChange& change : choice.Changes) {
    if (change.Index < 0 || change.Index >= static_cast<int>(plan.Decisions.size())) continue;
    TMergeDecision& d = plan.Decisions[static_cast<size_t>(change.Index)];
    d.Resolution = forward ? change.After : change.Before;
    d.ChosenValue = forward ? change.ValueAfter : change.ValueBefore;
  }
}

int FirstUnresolved(const TMergePlan& plan, const TMergeRow& row) {
  for (int i = row.First; i < row.End; ++i) {
    const TMergeDecision& d = plan.Decisions[static_cast<size_t>(i)];
    if (d.IsConflict() && d.Resolution == TMergeResolution::Unresolved) return i;
  }
  return -1;
}

std::string RowSide(const TMergePlan& plan, const TMergeRow& row, int side) {
  const TMergeDecision& d = plan.Decisions[static_cast<size_t>(row.First)];
  if (d.Level == TMergeLevel::Topic) {
    const TQCTopic* topic = SideTopic(plan, d, side);
    return topic ? JoinCrLf(TextLines(*topic)) : std::string();
  }
  return d.Values[static_cast<size_t>(side)];
}

std::string RowResult(const TMergePlan& plan, const TMergeRow& row) {
  const TMergeDecision& d = plan.Decisions[static_cast<size_t>(row.First)];
  if (d.Level != TMergeLevel::Topic) return ChosenItemValue(d);
  std::vector<const TMergeDecision*> blocks;
  for (int i = row.First + 1; i < row.End; ++i)
    if (plan.Decisions[static_cast<size_t>(i)].Level == TMergeLevel::TextBlock)
      blocks.push_back(&plan.Decisions[static_cast<size_t>(i)]);
  const TQCTopic* base = SideTopic(plan, d, 0);
  const TQCTopic* ours = SideTopic(plan, d, 1);
  const TQCTopic* theirs = SideTopic(plan, d, 2);
  if (!blocks.empty() && base && ours && theirs)
    return BuildMergedText(base->WholeText(), ours->WholeText(), theirs->WholeText(), blocks, plan.Labels,
                           plan.Decode);
  const TQCTopic* kept = ours ? ours : theirs;
  switch (d.Action) {
    case TMergeAction::Deleted:
      kept = nullptr;
      break;
    case TMergeAction::Conflict:
      if (d.Resolution == TMergeResolution::Theirs) kept = theirs;
      if (d.Resolution == TMergeResolution::Base) kept = base;
      // Deleted on one side: taking that side deletes the topic.
      if (base && d.Resolution == TMergeResolution::Ours && ours == nullptr) kept = nullptr;
      break;
    default:
      break;
  }
  return kept ? JoinCrLf(TextLines(*kept)) : std::string();
}
