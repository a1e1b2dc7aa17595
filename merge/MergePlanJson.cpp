// The merge plan as JSON: one object per decision, the three values of a
// conflict as UTF-8 text.
#include <cstdio>

#include "merge/Merge.h"

namespace {

/// The length of the valid UTF-8 sequence at I, or 0.
size_t Utf8Length(const std::string& s, size_t i) {
  const unsigned char c = static_cast<unsigned char>(s[i]);
  const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (length == 0 || i + length > s.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return length;
}

/// A JSON string; a byte that is not valid UTF-8 (a label from the command
/// line, say) becomes U+FFFD, so the plan always parses.
void AppendString(std::string& out, const std::string& utf8) {
  out += '"';
  for (size_t i = 0; i < utf8.size(); ++i) {
    const char c = utf8[i];
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x80) {
      const size_t length = Utf8Length(utf8, i);
      if (length == 0) {
        out += "\xEF\xBF\xBD";
      } else {
        out.append(utf8, i, length);
        i += length - 1;
      }
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

const char* MatchModeName(TTopicMatchMode mode) {
  switch (mode) {
    case TTopicMatchMode::tmByTitle:
      return "title";
    case TTopicMatchMode::tmByIDOrTitle:
      return "id-or-title";
    default:
      return "id";
  }
}

}  // namespace

std::string MergePlanJson(const TMergePlan& plan, const TCodePageDecoder& decode) {
  const auto text = [&decode](const std::string& bytes) { return decode ? decode(bytes, 1252) : bytes; };
  std::string out = "{\n  \"plan\": \"three-way-merge\",\n  \"version\": 1,\n  \"match\": \"";
  out += MatchModeName(plan.MatchMode);
  out += "\",\n  \"conflicts\": " + std::to_string(plan.ConflictCount());
  out += ",\n  \"unresolved\": " + std::to_string(plan.UnresolvedCount());
  out += ",\n  \"labels\": {\"ours\": ";
  AppendString(out, plan.Labels.Ours);
  out += ", \"theirs\": ";
  AppendString(out, plan.Labels.Theirs);
  out += "}";
  out += ",\n  \"decisions\": [";
  bool first = true;
  for (const TMergeDecision& d : plan.Decisions) {
    out += first ? "\n" : ",\n";
    first = false;
    out += "    {\"level\": \"";
    out += MergeLevelName(d.Level);
    out += "\", \"part\": ";
    AppendString(out, d.Part);
    if (d.Level == TMergeLevel::Topic || d.Level == TMergeLevel::Field || d.Level == TMergeLevel::TextBlock) {
      out += ", \"topic\": {";
      out += "\"base\": " + (d.BaseID >= 0 ? std::to_string(d.BaseID) : std::string("null"));
      out += ", \"ours\": " + (d.OursID >= 0 ? std::to_string(d.OursID) : std::string("null"));
      out += ", \"theirs\": " + (d.TheirsID >= 0 ? std::to_string(d.TheirsID) : std::string("null"));
      out += ", \"title\": ";
      AppendString(out, text(d.Title));
      out += "}";
    }
    if (!d.Name.empty()) {
      out += ", \"name\": ";
      AppendString(out, d.Name);
    }
    if (d.Level == TMergeLevel::TextBlock ||
        (d.Level == TMergeLevel::Item && d.Part != "options" && d.Part != "text macros")) {
      out += ", \"lines\": {\"base\": [" + std::to_string(d.BaseStart) + ", " + std::to_string(d.BaseEnd) +
             "], \"ours\": [" + std::to_string(d.OursStart) + ", " + std::to_string(d.OursEnd) +
             "], \"theirs\": [" + std::to_string(d.TheirsStart) + ", " + std::to_string(d.TheirsEnd) + "]}";
    }
    out += ", \"action\": \"";
    out += MergeActionName(d.Action);
    out += "\"";
    if (d.IsConflict()) {
      out += ", \"resolution\": \"";
      out += MergeResolutionName(d.Resolution);
      out += "\"";
    }
    if (d.IsConflict() || d.Level == TMergeLevel::Field || d.Level == TMergeLevel::Item ||
        (d.Action == TMergeAction::Merged && d.Level != TMergeLevel::Topic)) {
      out += ", \"values\": {\"base\": ";
      AppendString(out, text(d.Values[0]));
      out += ", \"ours\": ";
      AppendString(out, text(d.Values[1]));
      out += ", \"theirs\": ";
      AppendString(out, text(d.Values[2]));
      out += "}";
    }
    if (d.Action == TMergeAction::Merged && d.Level != TMergeLevel::Topic) {
      out += ", \"merged\": ";
      AppendString(out, text(d.MergedValue));
    }
    out += "}";
  }
  out += first ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}
