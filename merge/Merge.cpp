#include "merge/Merge.h"

#include <algorithm>
#include <map>
#include <optional>
#include <unordered_map>

#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "merge/MergeText.h"

namespace {

constexpr int kBase = 0, kOurs = 1, kTheirs = 2;

// --- Values --------------------------------------------------------------------

/// The three-way outcome of one value.
TMergeAction MergeValue(const std::string& base, const std::string& ours, const std::string& theirs) {
  if (ours == theirs) return ours == base ? TMergeAction::Kept : TMergeAction::Same;
  if (ours == base) return TMergeAction::Theirs;
  if (theirs == base) return TMergeAction::Ours;
  return TMergeAction::Conflict;
}

bool Has(const std::vector<std::string>& items, const std::string& item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

/// Ours' keywords with their additions and without their removals.
std::string MergeKeywordSets(const std::string& base, const std::string& ours, const std::string& theirs) {
  const std::vector<std::string> b = KeywordListItems(base), o = KeywordListItems(ours),
                                 t = KeywordListItems(theirs);
  std::vector<std::string> merged;
  for (const std::string& item : o)
    if (!(Has(b, item) && !Has(t, item)) && !Has(merged, item)) merged.push_back(item);
  for (const std::string& item : t)
    if (!Has(b, item) && !Has(merged, item)) merged.push_back(item);
  std::string out;
  for (const std::string& item : merged) out += (out.empty() ? "" : ";") + item;
  return out;
}

bool IsKeywordField(std::string_view name) {
  return name == "Keywords" || name == "DelphiKeywords" || name == "AKeywords";
}

std::string JoinLines(const std::vector<std::string>& lines, int start, int end) {
  std::string out;
  for (int i = start; i < end; ++i) out += lines[static_cast<size_t>(i)] + "\r\n";
  return out;
}

std::vector<std::string> Lines(const TStrings& list) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<size_t>(list.Count()));
  for (int i = 0; i < list.Count(); ++i) lines.push_back(list.Strings(i));
  return lines;
}

// --- Topic fields as text ---------------------------------------------------

std::string FieldValue(const TQCTopic& topic, std::string_view name) {
  if (name == "TopicID") return std::to_string(topic.TopicID());
  if (name == "ContextString") return topic.ContextString();
  if (name == "Title") return topic.Title();
  if (name == "Keywords") return topic.Keywords();
  if (name == "DelphiKeywords") return topic.DelphiKeywords();
  if (name == "BuildTag") return topic.BuildTag();
  if (name == "BrowseSequence") return topic.BrowseSequence();
  if (name == "BrowseSequenceNum") return std::to_string(topic.BrowseSequenceNum());
  if (name == "Status") return topic.Status();
  if (name == "Window") return topic.Window();
  if (name == "EntryMacro") return topic.EntryMacro();
  if (name == "AKeywords") return topic.AKeywords();
  if (name == "Bookmark") return topic.Bookmark() ? "TRUE" : "FALSE";
  return {};
}

const TTopicField* FindField(std::string_view name) {
  for (const TTopicField& field : TopicFields())
    if (field.Name == name) return &field;
  return nullptr;
}

/// Whether two topics added on both sides hold the same content: every
/// field but the identity ones, which a match by title may see differ.
bool SameContent(const TQCTopic& a, const TQCTopic& b) {
  for (const std::string& name : DifferingFields(a, b))
    if (name != "TopicID" && name != "ContextString") return false;
  return true;
}

// --- The options, one row each ---------------------------------------------

struct TOptionRow {
  const char* Name;
  std::string (*Value)(const TQCProjectOptions&);
  void (*Copy)(TQCProjectOptions& target, const TQCProjectOptions& source);
};

std::string Num(int64_t v) { return std::to_string(v); }
std::string Flag(bool v) { return v ? "TRUE" : "FALSE"; }

std::string WebValue(const TQCWebExportOptions& w) {
  return Num(w.OutputFormat) + "\r\n" + Flag(w.UseStyleAttributesIndent) + "\r\n" + Flag(w.LargeFontSizes) +
         "\r\n" + w.Contents + "\r\n" + w.ContentsTitle + "\r\n" + w.Index + "\r\n" + w.IndexTitle + "\r\n" +
         w.Previous + "\r\n" + w.Next + "\r\n" + Flag(w.UseBuildTagsFromProject) + "\r\n" + w.WebFilename;
}

#define QC_OPTION(name, text)                                                                   \
  {                                                                                             \
#name, [](const TQCProjectOptions& o)                                                       \
                -> std::string { return text(o.name()); }, [](TQCProjectOptions & t,            \
                                                              const TQCProjectOptions&          \
                                                                  s) { t.Set##name(s.name()); } \
  }
#define QC_COLOR(i)                                                                                 \
  {                                                                                                 \
    "HTMLColor" #i, [](const TQCProjectOptions& o) -> std::string { return Num(o.HTMLColor(i)); },  \
        [](TQCProjectOptions& t, const TQCProjectOptions& s) { t.SetHTMLColor(i, s.HTMLColor(i)); } \
  }

std::string Str(const std::string& v) { return v; }
std::string List(const TStrings& v) { return v.Text(); }
std::string Web(const TQCWebExportOptions& v) { return WebValue(v); }

const TOptionRow kOptionRows[] = {
    QC_OPTION(FileVersion, Num),
    QC_OPTION(Unknown1, Str),
    QC_OPTION(HelpFileKind, Num),
    QC_OPTION(HelpFileType, Num),
    QC_OPTION(Title, Str),
    QC_OPTION(BuildTag, Str),
    QC_OPTION(Citation, Str),
    QC_OPTION(Copyright, Str),
    QC_OPTION(Compress, Flag),
    QC_OPTION(LocaleID, Str),
    QC_OPTION(BitmapPaths, Str),
    QC_OPTION(Configuration, List),
    QC_OPTION(Baggage, List),
    QC_OPTION(GenerateCFile, Flag),
    QC_OPTION(Output, Str),
    QC_OPTION(IncludeImages, Flag),
    QC_OPTION(HTMLPngImages, Flag),
    QC_COLOR(0),
    QC_COLOR(1),
    QC_COLOR(2),
    QC_COLOR(3),
    QC_COLOR(4),
    QC_OPTION(IncludeSearchInfo, Flag),
    QC_OPTION(EnableAdvancedSearch, Flag),
    QC_OPTION(FavoritesTabVisible, Flag),
    QC_OPTION(WebExportOptions, Web),
    QC_OPTION(AutoCollapseTOC, Flag),
};
#undef QC_OPTION
#undef QC_COLOR

// --- Lists of lines besides the topics -----------------------------------------

/// A list part of the file: its lines on one document, and how to put lines back.
struct TListPart {
  const char* Name;
  std::vector<std::string> (*Read)(const TQuillcrafterDoc&);
};

std::string ContentsLine(const TQCContentsItem& item) {
  std::string line = std::to_string(item.Level()) + " " + item.Title();
  if (!item.Link().empty()) line += "=" + item.Link();
  return line;
}

std::vector<std::string> ContentsLines(const TQuillcrafterDoc& doc) {
  std::vector<std::string> lines;
  for (int i = 0; i < doc.Contents().Count(); ++i) lines.push_back(ContentsLine(*doc.Contents().Items(i)));
  return lines;
}

const TListPart kListParts[] = {
    {"window definitions", [](const TQuillcrafterDoc& d) { return Lines(d.WindowDefinitions()); }},
    {"contents links", [](const TQuillcrafterDoc& d) { return Lines(d.ContentsLinks()); }},
    {"contents indices", [](const TQuillcrafterDoc& d) { return Lines(d.ContentsIndices()); }},
    {"contents", ContentsLines},
};

std::string MacroRecord(const TQuillcrafterDoc& doc, const TQCTextMacro& macro) {
  TMemoryStream stream;
  {
    TGTextStream text(stream);
    doc.WriteTextMacro(text, macro);
    text.Flush();
  }
  return stream.DataString();
}

int IndexOfMacro(const TQCTextMacros& macros, const std::string& name) {
  for (int i = 0; i < macros.Count(); ++i)
    if (macros.Items(i)->Name() == name) return i;
  return -1;
}

// --- Planning --------------------------------------------------------------

class TPlanner {
 public:
  TPlanner(TMergePlan& plan, const TCodePageDecoder& decode) : FPlan(plan), FDecode(decode) {}

  void Topics(const std::function<void(int, int)>& progress);
  void Options();
  void ListParts();
  void Macros();

 private:
  void Add(TMergeDecision decision) { FPlan.Decisions.push_back(std::move(decision)); }
  TMergeDecision TopicDecision(const TQCTopic* b, const TQCTopic* o, const TQCTopic* t, int bi, int oi,
                               int ti) const;
  void ThreeSided(TMergeDecision topic, const TQCTopic& b, const TQCTopic& o, const TQCTopic& t);

  TMergePlan& FPlan;
  const TCodePageDecoder& FDecode;
};

TMergeDecision TPlanner::TopicDecision(const TQCTopic* b, const TQCTopic* o, const TQCTopic* t, int bi,
                                       int oi, int ti) const {
  TMergeDecision d;
  d.Level = TMergeLevel::Topic;
  d.BaseID = b ? b->TopicID() : -1;
  d.OursID = o ? o->TopicID() : -1;
  d.TheirsID = t ? t->TopicID() : -1;
  d.Title = o ? o->Title() : t ? t->Title() : b->Title();
  d.BaseIndex = bi, d.OursIndex = oi, d.TheirsIndex = ti;
  return d;
}

void TPlanner::Topics(const std::function<void(int, int)>& progress) {
  const TQCTopics& base = FPlan.Base->Topics();
  const TQCTopics& ours = FPlan.Ours->Topics();
  const TQCTopics& theirs = FPlan.Theirs->Topics();
  const int total = ours.Count() + theirs.Count();
  // Each side's topics against the base, a base topic taken once.
  TTopicMatcher baseMatcher(base);
  // A topic's Index() searches its collection: once per topic it would make the merge quadratic.
  const auto indexMap = [](const TQCTopics& topics) {
    std::unordered_map<const TQCTopic*, int> map;
    map.reserve(static_cast<size_t>(topics.Count()));
    for (int i = 0; i < topics.Count(); ++i) map.emplace(topics.Items(i), i);
    return map;
  };
  const std::unordered_map<const TQCTopic*, int> baseIndex = indexMap(base);
  const auto matchAgainstBase = [&](const TQCTopics& side, std::vector<int>& sideToBase,
                                    std::vector<int>& baseToSide, int done) {
    sideToBase.assign(static_cast<size_t>(side.Count()), -1);
    baseToSide.assign(static_cast<size_t>(base.Count()), -1);
    for (int i = 0; i < side.Count(); ++i) {
      if (progress && i % 256 == 0) progress(done + i, total);
      const TQCTopic* match = baseMatcher.FindMatchingTopic(*side.Items(i), FPlan.MatchMode);
      if (match == nullptr) continue;
      const int bi = baseIndex.at(match);
      if (baseToSide[static_cast<size_t>(bi)] >= 0) continue;
      baseToSide[static_cast<size_t>(bi)] = i;
      sideToBase[static_cast<size_t>(i)] = bi;
    }
  };
  std::vector<int> oursToBase, baseToOurs, theirsToBase, baseToTheirs;
  matchAgainstBase(ours, oursToBase, baseToOurs, 0);
  matchAgainstBase(theirs, theirsToBase, baseToTheirs, ours.Count());

  // Topics new on their side against those new on ours.
  TTopicMatcher oursMatcher(ours);
  const std::unordered_map<const TQCTopic*, int> oursIndex = indexMap(ours);
  std::vector<int> theirsToOursAdded(static_cast<size_t>(theirs.Count()), -1);
  std::vector<bool> oursAddedTaken(static_cast<size_t>(ours.Count()), false);
  for (int i = 0; i < theirs.Count(); ++i) {
    if (theirsToBase[static_cast<size_t>(i)] >= 0) continue;
    const TQCTopic* match = oursMatcher.FindMatchingTopic(*theirs.Items(i), FPlan.MatchMode);
    if (match == nullptr) continue;
    const int oi = oursIndex.at(match);
    if (oursToBase[static_cast<size_t>(oi)] >= 0 || oursAddedTaken[static_cast<size_t>(oi)]) continue;
    oursAddedTaken[static_cast<size_t>(oi)] = true;
    theirsToOursAdded[static_cast<size_t>(i)] = oi;
  }

  // The base's topics first, in its order; then those new on either side.
  for (int bi = 0; bi < base.Count(); ++bi) {
    const int oi = baseToOurs[static_cast<size_t>(bi)], ti = baseToTheirs[static_cast<size_t>(bi)];
    const TQCTopic* b = base.Items(bi);
    const TQCTopic* o = oi >= 0 ? ours.Items(oi) : nullptr;
    const TQCTopic* t = ti >= 0 ? theirs.Items(ti) : nullptr;
    TMergeDecision d = TopicDecision(b, o, t, bi, oi, ti);
    if (o && t) {
      ThreeSided(std::move(d), *b, *o, *t);
      continue;
    }
    const TQCTopic* kept = o ? o : t;
    if (kept == nullptr || kept->IsEqual(b)) {
      d.Action = TMergeAction::Deleted;
    } else {
      // Deleted on one side, changed on the other.
      d.Action = TMergeAction::Conflict;
      d.Name = o ? "deleted by theirs, changed by ours" : "deleted by ours, changed by theirs";
      d.Values = {b->WholeText(), o ? o->WholeText() : std::string(), t ? t->WholeText() : std::string()};
    }
    Add(std::move(d));
  }
  for (int oi = 0; oi < ours.Count(); ++oi) {
    if (oursToBase[static_cast<size_t>(oi)] >= 0 || oursAddedTaken[static_cast<size_t>(oi)]) continue;
    TMergeDecision d = TopicDecision(nullptr, ours.Items(oi), nullptr, -1, oi, -1);
    d.Action = TMergeAction::Added;
    Add(std::move(d));
  }
  for (int ti = 0; ti < theirs.Count(); ++ti) {
    if (theirsToBase[static_cast<size_t>(ti)] >= 0) continue;
    const int oi = theirsToOursAdded[static_cast<size_t>(ti)];
    const TQCTopic* o = oi >= 0 ? ours.Items(oi) : nullptr;
    const TQCTopic* t = theirs.Items(ti);
    TMergeDecision d = TopicDecision(nullptr, o, t, -1, oi, ti);
    if (o == nullptr || SameContent(*o, *t)) {
      d.Action = TMergeAction::Added;
    } else {
      d.Action = TMergeAction::Conflict;
      d.Name = "added by both";
      d.Values = {std::string(), o->WholeText(), t->WholeText()};
    }
    Add(std::move(d));
  }
  if (progress) progress(total, total);
}

void TPlanner::ThreeSided(TMergeDecision topic, const TQCTopic& b, const TQCTopic& o, const TQCTopic& t) {
  const bool oursChanged = !o.IsEqual(&b), theirsChanged = !t.IsEqual(&b);
  if (!oursChanged && !theirsChanged) {
    topic.Action = TMergeAction::Kept;
    Add(std::move(topic));
    return;
  }
  topic.Action = !theirsChanged  ? TMergeAction::Ours
                 : !oursChanged  ? TMergeAction::Theirs
                 : o.IsEqual(&t) ? TMergeAction::Same
                                 : TMergeAction::Merged;
  Add(topic);
  // Every field and text block that changed is listed, also where one side
  // alone changed them, so that the plan tells what the result took.
  for (const TTopicField& field : TopicFields()) {
    if (field.Name == "Text") continue;
    TMergeDecision d = topic;
    d.Level = TMergeLevel::Field;
    d.Name = std::string(field.Name);
    d.Values = {FieldValue(b, field.Name), FieldValue(o, field.Name), FieldValue(t, field.Name)};
    d.Action = MergeValue(d.Values[kBase], d.Values[kOurs], d.Values[kTheirs]);
    if (d.Action == TMergeAction::Kept) continue;
    if (d.Action == TMergeAction::Conflict && IsKeywordField(field.Name)) {
      d.Action = TMergeAction::Merged;
      d.MergedValue = MergeKeywordSets(d.Values[kBase], d.Values[kOurs], d.Values[kTheirs]);
    }
    Add(std::move(d));
  }
  if (!(o.TextEquals(t) && o.TextEquals(b))) {
    for (TMergeDecision& block : MergeTopicText(b.WholeText(), o.WholeText(), t.WholeText(), FDecode)) {
      TMergeDecision d = topic;
      d.Level = TMergeLevel::TextBlock;
      d.Name = std::move(block.Name);
      d.Action = block.Action;
      d.BaseStart = block.BaseStart, d.BaseEnd = block.BaseEnd;
      d.OursStart = block.OursStart, d.OursEnd = block.OursEnd;
      d.TheirsStart = block.TheirsStart, d.TheirsEnd = block.TheirsEnd;
      d.Values = std::move(block.Values);
      d.MergedValue = std::move(block.MergedValue);
      d.Markable = block.Markable;
      Add(std::move(d));
    }
  }
}

void TPlanner::Options() {
  const TQCProjectOptions& b = FPlan.Base->Options();
  const TQCProjectOptions& o = FPlan.Ours->Options();
  const TQCProjectOptions& t = FPlan.Theirs->Options();
  for (const TOptionRow& row : kOptionRows) {
    TMergeDecision d;
    d.Level = TMergeLevel::Item;
    d.Part = "options";
    d.Name = row.Name;
    d.Values = {row.Value(b), row.Value(o), row.Value(t)};
    d.Action = MergeValue(d.Values[kBase], d.Values[kOurs], d.Values[kTheirs]);
    if (d.Action != TMergeAction::Kept) Add(std::move(d));
  }
}

void TPlanner::ListParts() {
  for (const TListPart& part : kListParts) {
    const std::vector<std::string> b = part.Read(*FPlan.Base), o = part.Read(*FPlan.Ours),
                                   t = part.Read(*FPlan.Theirs);
    if (o == b && t == b) continue;
    for (const TMergeChunk& chunk : MergeLines3(b, o, t)) {
      if (chunk.Kind == TChunkKind::Stable) continue;
      TMergeDecision d;
      d.Level = TMergeLevel::Item;
      d.Part = part.Name;
      d.Action = chunk.Kind == TChunkKind::Ours     ? TMergeAction::Ours
                 : chunk.Kind == TChunkKind::Theirs ? TMergeAction::Theirs
                 : chunk.Kind == TChunkKind::Both   ? TMergeAction::Same
                                                    : TMergeAction::Conflict;
      d.BaseStart = chunk.BaseStart, d.BaseEnd = chunk.BaseEnd;
      d.OursStart = chunk.OursStart, d.OursEnd = chunk.OursEnd;
      d.TheirsStart = chunk.TheirsStart, d.TheirsEnd = chunk.TheirsEnd;
      d.Values = {JoinLines(b, chunk.BaseStart, chunk.BaseEnd), JoinLines(o, chunk.OursStart, chunk.OursEnd),
                  JoinLines(t, chunk.TheirsStart, chunk.TheirsEnd)};
      Add(std::move(d));
    }
  }
}

void TPlanner::Macros() {
  const TQCTextMacros& b = FPlan.Base->TextMacros();
  const TQCTextMacros& o = FPlan.Ours->TextMacros();
  const TQCTextMacros& t = FPlan.Theirs->TextMacros();
  std::vector<std::string> names;
  for (const TQCTextMacros* macros : {&b, &o, &t})
    for (int i = 0; i < macros->Count(); ++i)
      if (!Has(names, macros->Items(i)->Name())) names.push_back(macros->Items(i)->Name());
  for (const std::string& name : names) {
    const int bi = IndexOfMacro(b, name), oi = IndexOfMacro(o, name), ti = IndexOfMacro(t, name);
    const auto record = [](const TQuillcrafterDoc& doc, const TQCTextMacros& macros, int index) {
      return index < 0 ? std::optional<std::string>() : MacroRecord(doc, *macros.Items(index));
    };
    const std::optional<std::string> rb = record(*FPlan.Base, b, bi), ro = record(*FPlan.Ours, o, oi),
                                     rt = record(*FPlan.Theirs, t, ti);
    // Absent is a value of its own.
    const auto value = [](const std::optional<std::string>& r) { return r ? "=" + *r : std::string(); };
    TMergeDecision d;
    d.Level = TMergeLevel::Item;
    d.Part = "text macros";
    d.Name = name;
    d.Values = {rb.value_or(""), ro.value_or(""), rt.value_or("")};
    d.Action = MergeValue(value(rb), value(ro), value(rt));
    if (d.Action == TMergeAction::Kept) continue;
    if (d.Action == TMergeAction::Theirs && !rt)
      d.Action = TMergeAction::Deleted;
    else if (d.Action == TMergeAction::Theirs && !rb)
      d.Action = TMergeAction::Added;
    else if (d.Action == TMergeAction::Ours && !ro)
      d.Action = TMergeAction::Deleted;
    else if (d.Action == TMergeAction::Ours && !rb)
      d.Action = TMergeAction::Added;
    d.BaseIndex = bi, d.OursIndex = oi, d.TheirsIndex = ti;
    Add(std::move(d));
  }
}

// --- Applying ----------------------------------------------------------------

/// The side a decision takes its value from: 0 base, 1 ours, 2 theirs, -1 its merged value.
int ChosenSide(const TMergeDecision& d) {
  // A side chosen by hand wins over what the merge decided.
  if (d.Resolution == TMergeResolution::Ours) return kOurs;
  if (d.Resolution == TMergeResolution::Theirs) return kTheirs;
  if (d.Resolution == TMergeResolution::Base) return kBase;
  switch (d.Action) {
    case TMergeAction::Theirs:
      return kTheirs;
    case TMergeAction::Merged:
      return -1;
    case TMergeAction::Conflict:
      return d.Resolution == TMergeResolution::Theirs ? kTheirs
             : d.Resolution == TMergeResolution::Base ? kBase
                                                      : kOurs;
    default:
      return kOurs;
  }
}

/// A new topic in Result with ID and every field of Source.
TQCTopic* AddTopicCopy(TQuillcrafterDoc& result, const TQCTopic& source, int32_t id) {
  TQCTopic* topic = result.Topics().Add();
  topic->SetTopicID(id);
  for (const TTopicField& field : TopicFields()) {
    if (field.Copy != nullptr)
      field.Copy(*topic, source);
    else if (field.Name == "ContextString")
      field.Set(*topic, source);
  }
  return topic;
}

void CopyAllFields(TQCTopic& target, const TQCTopic& source) {
  for (const TTopicField& field : TopicFields()) {
    if (field.Copy != nullptr)
      field.Copy(target, source);
    else if (field.Name == "ContextString")
      field.Set(target, source);
  }
}

int32_t FreeIDFrom(const TQuillcrafterDoc& doc, int32_t id) {
  while (doc.Topics().IndexOfTopicID(id) >= 0) ++id;
  return id;
}

class TApplier {
 public:
  TApplier(const TMergePlan& plan, TQuillcrafterDoc& result) : FPlan(plan), FResult(result) {}
  void Run();

 private:
  const TQCTopic* Side(const TMergeDecision& d, int side) const {
    const TQuillcrafterDoc* doc = side == kBase ? FPlan.Base : side == kOurs ? FPlan.Ours : FPlan.Theirs;
    const int index = side == kBase ? d.BaseIndex : side == kOurs ? d.OursIndex : d.TheirsIndex;
    return index >= 0 ? doc->Topics().Items(index) : nullptr;
  }
  void Topic(const TMergeDecision& d);
  void Field(const TMergeDecision& d);
  void FinishText();
  void ListPart(const std::string& part, const std::vector<const TMergeDecision*>& blocks);
  void Macro(const TMergeDecision& d);

  const TMergePlan& FPlan;
  TQuillcrafterDoc& FResult;
  std::vector<TQCTopic*> FOursInResult;  // the result's topics by their index in ours
  std::vector<TQCTopic*> FToDelete;
  std::vector<const TMergeDecision*> FBoth;  // added on both sides, both kept
  std::vector<TQCTopic*> FFromTheirs;        // topics the result took whole from theirs
  // The topic whose text blocks are being gathered.
  TQCTopic* FCurrent = nullptr;
  const TMergeDecision* FCurrentTopic = nullptr;
  std::vector<const TMergeDecision*> FTextBlocks;
};

void TApplier::Run() {
  FResult.Assign(*FPlan.Ours);
  for (int i = 0; i < FResult.Topics().Count(); ++i) FOursInResult.push_back(FResult.Topics().Items(i));
  std::map<std::string, std::vector<const TMergeDecision*>> listBlocks;
  for (const TMergeDecision& d : FPlan.Decisions) {
    if (d.Level != TMergeLevel::TextBlock) FinishText();
    switch (d.Level) {
      case TMergeLevel::Topic:
        Topic(d);
        break;
      case TMergeLevel::Field:
        Field(d);
        break;
      case TMergeLevel::TextBlock:
        FTextBlocks.push_back(&d);
        break;
      case TMergeLevel::Item:
        if (d.Part == "options") {
          const int side = ChosenSide(d);
          for (const TOptionRow& row : kOptionRows)
            if (d.Name == row.Name && side != kOurs)
              row.Copy(FResult.Options(), (side == kBase ? FPlan.Base : FPlan.Theirs)->Options());
        } else if (d.Part == "text macros") {
          Macro(d);
        } else {
          listBlocks[d.Part].push_back(&d);
        }
        break;
    }
  }
  FinishText();
  for (TQCTopic* topic : FToDelete) topic->Free();
  // Kept both: theirs under the next free ID, its links following it.
  TQCTopicIDMap renumbered;
  std::vector<TQCTopic*>& added = FFromTheirs;
  for (const TMergeDecision* d : FBoth) {
    const TQCTopic* theirs = Side(*d, kTheirs);
    const int32_t id = FreeIDFrom(FResult, theirs->TopicID());
    if (id != theirs->TopicID()) renumbered.Put(theirs->TopicID(), id);
    added.push_back(AddTopicCopy(FResult, *theirs, id));
  }
  if (!FBoth.empty())
    for (TQCTopic* topic : added) FResult.RemapTopicLinks(*topic, renumbered);
  // The lists after the topics, so that contents links find their topics.
  for (const auto& [part, blocks] : listBlocks) ListPart(part, blocks);
}

void TApplier::Topic(const TMergeDecision& d) {
  FCurrentTopic = &d;
  FCurrent = d.OursIndex >= 0 ? FOursInResult[static_cast<size_t>(d.OursIndex)] : nullptr;
  const TQCTopic* theirs = Side(d, kTheirs);
  switch (d.Action) {
    case TMergeAction::Deleted:
      if (FCurrent) FToDelete.push_back(FCurrent);
      break;
    case TMergeAction::Added:
      if (!FCurrent && theirs) {
        FCurrent = AddTopicCopy(FResult, *theirs, FreeIDFrom(FResult, theirs->TopicID()));
        FFromTheirs.push_back(FCurrent);
      }
      break;
    case TMergeAction::Conflict: {
      const TQCTopic* base = Side(d, kBase);
      const TMergeResolution r = d.Resolution;
      if (base != nullptr) {
        // Deleted on one side, changed on the other; unresolved keeps the change.
        const bool oursDeleted = FCurrent == nullptr;
        const bool keepChanged = r == TMergeResolution::Unresolved || r == TMergeResolution::Both ||
                                 (r == TMergeResolution::Ours) != oursDeleted;
        if (r == TMergeResolution::Base) {
          if (FCurrent)
            CopyAllFields(*FCurrent, *base);
          else
            FCurrent = AddTopicCopy(FResult, *base, FreeIDFrom(FResult, base->TopicID()));
        } else if (oursDeleted && keepChanged) {
          FCurrent = AddTopicCopy(FResult, *theirs, FreeIDFrom(FResult, theirs->TopicID()));
          FFromTheirs.push_back(FCurrent);
        } else if (!oursDeleted && !keepChanged) {
          FToDelete.push_back(FCurrent);
        }
      } else if (r == TMergeResolution::Theirs) {
        CopyAllFields(*FCurrent, *theirs);
      } else if (r == TMergeResolution::Base) {
        FToDelete.push_back(FCurrent);
      } else if (r != TMergeResolution::Ours) {
        FBoth.push_back(&d);
      }
      break;
    }
    default:
      break;
  }
}

void TApplier::Field(const TMergeDecision& d) {
  if (FCurrent == nullptr) return;
  const int side = ChosenSide(d);
  if (side == kOurs) return;
  if (side < 0) {
    if (d.Name == "Keywords") FCurrent->SetKeywords(d.MergedValue);
    if (d.Name == "DelphiKeywords") FCurrent->SetDelphiKeywords(d.MergedValue);
    if (d.Name == "AKeywords") FCurrent->SetAKeywords(d.MergedValue);
    return;
  }
  const TQCTopic* source = Side(d, side);
  if (source == nullptr) return;
  if (d.Name == "TopicID") {
    // The setter resets the context string, which has a decision of its own.
    const std::string context = FCurrent->ContextString();
    FCurrent->SetTopicID(source->TopicID());
    FCurrent->SetContextString(context);
    return;
  }
  const TTopicField* field = FindField(d.Name);
  if (field == nullptr) return;
  if (field->Copy != nullptr)
    field->Copy(*FCurrent, *source);
  else if (field->Set != nullptr)
    field->Set(*FCurrent, *source);
}

void TApplier::FinishText() {
  if (FTextBlocks.empty()) return;
  if (FCurrent != nullptr) {
    const TQCTopic* b = Side(*FCurrentTopic, kBase);
    const TQCTopic* o = Side(*FCurrentTopic, kOurs);
    const TQCTopic* t = Side(*FCurrentTopic, kTheirs);
    const std::string text = BuildMergedText(b->WholeText(), o->WholeText(), t->WholeText(), FTextBlocks,
                                             FPlan.Labels, FPlan.Decode);
    if (text != FCurrent->WholeText()) FCurrent->SetWholeText(text);
  }
  FTextBlocks.clear();
}

void TApplier::ListPart(const std::string& part, const std::vector<const TMergeDecision*>& blocks) {
  std::vector<std::string> ours;
  for (const TListPart& p : kListParts)
    if (part == p.Name) ours = p.Read(*FPlan.Ours);
  // Each line of the result as (side, index).
  std::vector<std::pair<int, int>> picks;
  int at = 0;
  for (const TMergeDecision* d : blocks) {
    for (; at < d->OursStart; ++at) picks.emplace_back(kOurs, at);
    const int side = ChosenSide(*d);
    const int start = side == kTheirs ? d->TheirsStart : side == kBase ? d->BaseStart : d->OursStart;
    const int end = side == kTheirs ? d->TheirsEnd : side == kBase ? d->BaseEnd : d->OursEnd;
    for (int i = start; i < end; ++i) picks.emplace_back(side < 0 ? kOurs : side, i);
    at = d->OursEnd;
  }
  for (; at < static_cast<int>(ours.size()); ++at) picks.emplace_back(kOurs, at);
  const auto doc = [this](int side) {
    return side == kBase ? FPlan.Base : side == kOurs ? FPlan.Ours : FPlan.Theirs;
  };
  if (part == "contents") {
    TQCContentsItems& items = FResult.Contents();
    items.BeginUpdate();
    items.Clear();
    for (const auto& [side, index] : picks) items.Add()->Assign(*doc(side)->Contents().Items(index));
    items.EndUpdate();
    return;
  }
  TStringList lines;
  for (const auto& [side, index] : picks) {
    const TQuillcrafterDoc& source = *doc(side);
    const TStrings& list = part == "window definitions" ? source.WindowDefinitions()
                           : part == "contents links"   ? source.ContentsLinks()
                                                        : source.ContentsIndices();
    lines.Add(list.Strings(index));
  }
  if (part == "window definitions") FResult.SetWindowDefinitions(lines);
  if (part == "contents links") FResult.SetContentsLinks(lines);
  if (part == "contents indices") FResult.SetContentsIndices(lines);
}

void TApplier::Macro(const TMergeDecision& d) {
  int side = ChosenSide(d);
  if (d.Resolution == TMergeResolution::Unresolved) {
    if (d.Action == TMergeAction::Added && d.OursIndex < 0) side = kTheirs;
    if (d.Action == TMergeAction::Deleted && d.OursIndex >= 0) side = kTheirs;
  }
  if (side == kOurs) return;
  TQCTextMacros& macros = FResult.TextMacros();
  const int at = IndexOfMacro(macros, d.Name);
  const int index = side == kBase ? d.BaseIndex : d.TheirsIndex;
  if (index < 0) {
    if (at >= 0) macros.Delete(at);
    return;
  }
  const TQuillcrafterDoc& source = side == kBase ? *FPlan.Base : *FPlan.Theirs;
  TQCTextMacro* target = at >= 0 ? macros.Items(at) : macros.Add();
  target->Assign(*source.TextMacros().Items(index));
}

}  // namespace

const char* MergeActionName(TMergeAction action) {
  static const char* const names[] = {"kept",   "ours",  "theirs",  "same",
                                      "merged", "added", "deleted", "conflict"};
  return names[static_cast<int>(action)];
}

const char* MergeResolutionName(TMergeResolution resolution) {
  static const char* const names[] = {"unresolved", "ours", "theirs", "base", "both"};
  return names[static_cast<int>(resolution)];
}

const char* MergeLevelName(TMergeLevel level) {
  static const char* const names[] = {"topic", "field", "text", "item"};
  return names[static_cast<int>(level)];
}

int TMergePlan::ConflictCount() const {
  return static_cast<int>(std::count_if(Decisions.begin(), Decisions.end(),
                                        [](const TMergeDecision& d) { return d.IsConflict(); }));
}

int TMergePlan::UnresolvedCount() const {
  return static_cast<int>(std::count_if(Decisions.begin(), Decisions.end(), [](const TMergeDecision& d) {
    return d.IsConflict() && d.Resolution == TMergeResolution::Unresolved;
  }));
}

void TMergePlan::ResolveAll(TMergeResolution resolution) {
  for (TMergeDecision& d : Decisions)
    if (d.IsConflict()) d.Resolution = resolution;
}

TMergePlan PlanMerge(const TQuillcrafterDoc& base, const TQuillcrafterDoc& ours,
                     const TQuillcrafterDoc& theirs, TTopicMatchMode mode, const TCodePageDecoder& decode,
                     const std::function<void(int, int)>& progress) {
  TMergePlan plan;
  plan.Base = &base, plan.Ours = &ours, plan.Theirs = &theirs;
  plan.MatchMode = mode;
  plan.Decode = decode;
  TPlanner planner(plan, decode);
  planner.Topics(progress);
  planner.Options();
  planner.ListParts();
  planner.Macros();
  return plan;
}

void ApplyMerge(const TMergePlan& plan, TQuillcrafterDoc& result) { TApplier(plan, result).Run(); }
