// Link markers in topic RTF: stripping control words, finding and
// classifying markers, and renumbering the topic links among them.
//
// Escapes are read by parity: in a run of backslashes each pair is one
// literal backslash, so "\\{" is a literal backslash and a group brace (no
// marker) while "\\\{" is a literal backslash and a marker.
#include "document/QuillcrafterDocLinks.h"

#include "document/QuillcrafterDoc.h"

namespace {

/// True when the character at At is escaped: preceded by an odd run of backslashes.
bool IsEscaped(std::string_view text, size_t at) {
  size_t run = 0;
  while (run < at && text[at - 1 - run] == '\\') ++run;
  return run % 2 == 1;
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsText(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (LowerAscii(s[i]) != LowerAscii(prefix[i])) return false;
  return true;
}

bool EndsText(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && StartsText(s.substr(s.size() - suffix.size()), suffix);
}

/// The stripping pass, handing each kept character to Keep until it returns false.
template <class Keep>
void StripEach(std::string_view s, Keep keep) {
  bool inWord = false;
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\\') {
      const bool last = i + 1 == s.size();
      const char next = last ? '\0' : s[i + 1];
      if (last) {
        inWord = false;
        if (!keep(c)) return;
      } else if (next == '\\' || next == '{' || next == '}') {
        // An escaped character: both bytes stay, and the second one is not
        // read again as the start of a control word.
        inWord = false;
        if (!keep(c) || !keep(next)) return;
        ++i;
      } else {
        inWord = true;
      }
    } else if (c == '\r' || c == '\n') {
      // Line breaks in RTF source are not text: they end a control word and
      // are dropped, so a marker the writer wrapped onto two lines still reads whole.
      inWord = false;
    } else if (c == ' ') {
      if (inWord)
        inWord = false;
      else if (!keep(c))
        return;
    } else if (!inWord) {
      if (!keep(c)) return;
    }
  }
}

/// Whether the marker candidate can be a link at all: its text without
/// blanks begins with "\{link" (only that much of it is stripped).
bool LooksLikeLink(std::string_view candidate) {
  static constexpr std::string_view kLinkStart = "\\{link";
  std::string head;
  StripEach(candidate, [&head](char c) {
    if (c != ' ') head += c;
    return head.size() < kLinkStart.size();
  });
  return head.size() >= kLinkStart.size() && StartsText(head, kLinkStart);
}

/// Classifies a candidate that looks like a link; false when it is of no known kind.
bool ClassifyMarker(std::string_view candidate, TQCLinkMarker& marker) {
  const std::string plain = StripRTFControlWords(candidate);
  for (int kind = 0; kind < LinkKindCount; ++kind) {
    const std::string_view prefix = LinkPrefixes[kind];
    const std::string_view suffix = LinkSuffixes[kind];
    if (plain.size() < prefix.size() + suffix.size() || !StartsText(plain, prefix) ||
        !EndsText(plain, suffix))
      continue;
    std::string_view value = std::string_view(plain).substr(prefix.size());
    value.remove_suffix(suffix.size());
    int style = 0;
    if (!value.empty() && value.front() == '%')
      style = 1;
    else if (!value.empty() && value.front() == '*')
      style = 2;
    if (style != 0) value.remove_prefix(1);
    marker.Value = std::string(value);
    marker.Style = style;
    marker.Kind = kind;
    return true;
  }
  return false;
}

}  // namespace

std::string StripRTFControlWords(std::string_view s) {
  std::string result;
  result.reserve(s.size());
  StripEach(s, [&result](char c) {
    result += c;
    return true;
  });
  return result;
}

bool FindNextLinkMarker(std::string_view text, int& pos, TQCLinkMarker& marker) {
  marker = TQCLinkMarker();
  size_t from = pos < 1 ? 0 : static_cast<size_t>(pos) - 1;
  // The first unescaped "\}" found so far (index of its brace); it stays the
  // answer for every later opening before it, so long texts of non-link
  // braces are not searched again and again.
  size_t closeBrace = std::string_view::npos;
  bool closeSearched = false;
  while (from < text.size()) {
    // 1. The next "\{" whose backslash is not itself escaped.
    size_t brace = text.find('{', from + 1);
    while (brace != std::string_view::npos && !(text[brace - 1] == '\\' && IsEscaped(text, brace)))
      brace = text.find('{', brace + 1);
    if (brace == std::string_view::npos) return false;
    const size_t start = brace - 1;

    // 2. The first "\}" after it.
    if (!closeSearched || (closeBrace != std::string_view::npos && closeBrace < brace + 2)) {
      closeSearched = true;
      closeBrace = text.find('}', brace + 2);
      while (closeBrace != std::string_view::npos &&
             !(text[closeBrace - 1] == '\\' && IsEscaped(text, closeBrace)))
        closeBrace = text.find('}', closeBrace + 1);
    }
    if (closeBrace == std::string_view::npos) return false;

    // 3. to 5. The candidate, its test and its kind.
    const std::string_view candidate = text.substr(start, closeBrace - start + 1);
    if (!LooksLikeLink(candidate)) {
      from = start + 1;
      continue;
    }
    // A "\{link" candidate of no known kind ends the search for this text.
    if (!ClassifyMarker(candidate, marker) || marker.Value.empty()) {
      marker = TQCLinkMarker();
      return false;
    }
    pos = static_cast<int>(start) + 1;
    marker.Length = static_cast<int>(candidate.size());
    return true;
  }
  return false;
}

bool FindLink(std::string_view text, const TQCLinkKinds& allowedKinds, int& pos, TQCLinkMarker& marker) {
  bool found = FindNextLinkMarker(text, pos, marker);
  while (found && !allowedKinds.test(static_cast<size_t>(marker.Kind))) {
    pos += marker.Length;
    found = FindNextLinkMarker(text, pos, marker);
  }
  return found;
}

// --- TQCTopicIDMap -------------------------------------------------------------------

void TQCTopicIDMap::Put(int32_t oldID, int32_t newID) {
  if (oldID == 0)
    FZero = newID;
  else
    FTable.Put(oldID, newID);
}

bool TQCTopicIDMap::ContainsKey(int32_t oldID) const {
  if (oldID == 0) return FZero.has_value();
  return FTable.ContainsKey(oldID);
}

int32_t TQCTopicIDMap::Get(int32_t oldID) const {
  if (oldID == 0) {
    if (!FZero) throw EGHashtableError(hashtable_messages::SNoSuchElement);
    return *FZero;
  }
  return FTable.Get(oldID);
}

std::optional<int32_t> TQCTopicIDMap::Find(int32_t oldID) const {
  if (oldID == 0) return FZero;
  TGHashtableEntry* entry = nullptr;
  if (!FTable.FindEntry(oldID, entry)) return std::nullopt;
  return entry->Value;
}

bool TQCTopicIDMap::RenumbersAny() const {
  if (FZero && *FZero != 0) return true;
  for (int i = 0; i < FTable.Count(); ++i)
    if (FTable.KeyAt(i) != FTable.ValueAt(i)) return true;
  return false;
}

// --- Renumbering the topic links of the document ---------------------------------------

namespace {

/// Rewrites the kind-0 markers of Topic whose ID Lookup maps; errors come
/// back wrapped with the topic's ID and title.
template <class Lookup>
void RemapLinks(TQCTopic& topic, Lookup lookup) {
  static const TQCLinkKinds kTopicLinks = TQCLinkKinds().set(lkThisHelpFile);
  try {
    // The rewritten text is built alongside instead of edited in place; the
    // search goes on in the original two characters after each marker,
    // which finds the same markers, since a marker with a number for its
    // target holds no further "\{".
    const std::string text = topic.WholeText();
    std::string result;
    size_t copied = 0;
    bool changed = false;
    int pos = 0;
    TQCLinkMarker marker;
    while (FindLink(text, kTopicLinks, pos, marker)) {
      const int32_t id = StrToInt(marker.Value);
      if (const std::optional<int32_t> newID = lookup(id)) {
        const size_t start = static_cast<size_t>(pos) - 1;
        result.append(text, copied, start - copied);
        result += Format(LinkFormats[marker.Kind], LinkStyles[marker.Style], IntToStr(*newID).c_str());
        copied = start + static_cast<size_t>(marker.Length);
        changed = true;
      }
      pos += 2;
    }
    if (changed) {
      result.append(text, copied);
      topic.SetWholeText(result);
    }
  } catch (const Exception& e) {
    throw EQCException(Format("\"%s\" error detected in topic #%d: %s", e.Message().c_str(), topic.TopicID(),
                              topic.Title().c_str()));
  }
}

}  // namespace

void TQuillcrafterDoc::RemapTopicLinks(TQCTopic& topic, const TQCTopicIDMap& map) {
  RemapLinks(topic, [&map](int32_t id) { return map.Find(id); });
}

void TQuillcrafterDoc::RemapTopicLinks(TQCTopic& topic, const TGHashIntTable& map) {
  RemapLinks(topic, [&map](int32_t id) -> std::optional<int32_t> {
    // The table can hold no pair for ID 0 (it refuses that key), so a link
    // to topic 0 is simply not in it.
    TGHashtableEntry* entry = nullptr;
    if (id == 0 || !map.FindEntry(id, entry)) return std::nullopt;
    return entry->Value;
  });
}

void TQuillcrafterDoc::RemapAllTopicLinks(const TQCTopicIDMap& map) {
  for (int i = 0; i < FTopics->Count(); ++i) RemapTopicLinks(*FTopics->Items(i), map);
}

void TQuillcrafterDoc::RemapAllTopicLinks(const TGHashIntTable& map) {
  for (int i = 0; i < FTopics->Count(); ++i) RemapTopicLinks(*FTopics->Items(i), map);
}
