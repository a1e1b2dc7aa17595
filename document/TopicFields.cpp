// The topic field table and the operations derived from it.
#include "document/TopicFields.h"

#include "document/QuillcrafterDoc.h"

int32_t TTopicRowSource::Integer() {
  std::string line;
  Line(line);
  return StrToInt(line);
}

bool TTopicRowSource::Boolean() {
  std::string line;
  Line(line);
  return line == "TRUE";
}

/// Builds the table's rows from the topic's members (hence a friend of the topic).
struct TTopicFieldAccess {
  template <auto Member>
  static bool Equal(const TQCTopic& a, const TQCTopic& b) {
    return a.*Member == b.*Member;
  }
  template <auto Member>
  static void Copy(TQCTopic& target, const TQCTopic& source) {
    target.*Member = source.*Member;
  }
  template <auto Setter, auto Member>
  static void Set(TQCTopic& target, const TQCTopic& source) {
    (target.*Setter)(source.*Member);
  }
  template <auto Member>
  static void ReadLine(TTopicRowSource& rows, TQCTopic& topic) {
    rows.Line(topic.*Member);
  }
  template <auto Member>
  static void WriteLine(TGTextStream& stream, const TQCTopic& topic) {
    stream.WriteLine(topic.*Member);
  }

  template <auto Member>
  static std::string Bytes(const TQCTopic& topic) {
    return topic.*Member;
  }
  template <auto Member>
  static std::string Number(const TQCTopic& topic) {
    return std::to_string(topic.*Member);
  }

  static void CopyText(TQCTopic& target, const TQCTopic& source) { target.SetText(*source.FText); }

  /// A plain string row, copied and set like any other.
  template <auto Member, auto Setter>
  static constexpr TTopicField String(std::string_view name, TFieldKind kind = TFieldKind::Scalar) {
    return {name, Equal<Member>, Copy<Member>, Set<Setter, Member>, ReadLine<Member>, WriteLine<Member>,
            kind, Bytes<Member>, true};
  }

  static std::span<const TTopicField> Table() {
    using T = TQCTopic;
    static constexpr TTopicField fields[] = {
        {"TopicID", Equal<&T::FTopicID>, nullptr, nullptr,
         [](TTopicRowSource& rows, T& topic) { topic.FTopicID = rows.Integer(); },
         [](TGTextStream& stream, const T& topic) { stream.WriteInteger(topic.FTopicID).NewLine(); },
         TFieldKind::Scalar, Number<&T::FTopicID>, false},
        {"ContextString", Equal<&T::FContextString>, nullptr, Set<&T::SetContextString, &T::FContextString>,
         ReadLine<&T::FContextString>, WriteLine<&T::FContextString>, TFieldKind::Scalar,
         Bytes<&T::FContextString>, true},
        {"Title", Equal<&T::FTitle>, [](T& target, const T& source) { target.StoreTitle(source.FTitle); },
         Set<&T::SetTitle, &T::FTitle>, ReadLine<&T::FTitle>, WriteLine<&T::FTitle>, TFieldKind::Scalar,
         Bytes<&T::FTitle>, true},
        String<&T::FKeywords, &T::SetKeywords>("Keywords", TFieldKind::List),
        String<&T::FDelphiKeywords, &T::SetDelphiKeywords>("DelphiKeywords", TFieldKind::List),
        String<&T::FBuildTag, &T::SetBuildTag>("BuildTag"),
        // One row carries the sequence name and, after a colon, the number.
        {"BrowseSequence", Equal<&T::FBrowseSequence>, Copy<&T::FBrowseSequence>,
         Set<&T::SetBrowseSequence, &T::FBrowseSequence>,
         [](TTopicRowSource& rows, T& topic) {
           rows.Line(topic.FBrowseSequence);
           topic.FBrowseSequenceNum = 0;
           const size_t colon = topic.FBrowseSequence.find(':');
           rows.BrowseNumberGiven = colon != std::string::npos;
           if (!rows.BrowseNumberGiven) return;
           topic.FBrowseSequenceNum = StrToInt(std::string_view(topic.FBrowseSequence).substr(colon + 1));
           topic.FBrowseSequence.resize(colon);
         },
         [](TGTextStream& stream, const T& topic) {
           // Without a sequence name the number is written only when there is
           // one (":000005" is written back as it was read); 0 is an empty row.
           if (topic.FBrowseSequence.empty() && topic.FBrowseSequenceNum == 0)
             stream.NewLine();
           else
             stream.WriteString(topic.FBrowseSequence).WriteLine(Format(":%6.6d", topic.FBrowseSequenceNum));
         },
         TFieldKind::Scalar, Bytes<&T::FBrowseSequence>, true},
        {"BrowseSequenceNum", Equal<&T::FBrowseSequenceNum>, Copy<&T::FBrowseSequenceNum>,
         Set<&T::SetBrowseSequenceNum, &T::FBrowseSequenceNum>, nullptr, nullptr, TFieldKind::Scalar,
         Number<&T::FBrowseSequenceNum>, false},
        String<&T::FStatus, &T::SetStatus>("Status"),
        String<&T::FWindow, &T::SetWindow>("Window"),
        String<&T::FEntryMacro, &T::SetEntryMacro>("EntryMacro"),
        String<&T::FAKeywords, &T::SetAKeywords>("AKeywords", TFieldKind::List),
        {"Bookmark", Equal<&T::FBookmark>, Copy<&T::FBookmark>, Set<&T::SetBookmark, &T::FBookmark>,
         [](TTopicRowSource& rows, T& topic) { topic.FBookmark = rows.Boolean(); },
         [](TGTextStream& stream, const T& topic) {
           TQuillcrafterDoc::WriteBoolean(stream, topic.FBookmark);
         },
         TFieldKind::Scalar, [](const T& topic) { return std::string(topic.FBookmark ? "yes" : "no"); },
         false},
        // The whole text compares as one string, its lines joined; any copy
        // goes through the setter, so the topic hears of the new lines.
        {"Text", [](const T& a, const T& b) { return a.TextEquals(b); }, CopyText, CopyText,
         [](TTopicRowSource& rows, T& topic) { rows.Text(*topic.FText, topic.FTopicID); },
         [](TGTextStream& stream, const T& topic) { TQuillcrafterDoc::WriteStrings(stream, *topic.FText); },
         TFieldKind::Text, nullptr, false},
    };
    return fields;
  }
};

std::span<const TTopicField> TopicFields() { return TTopicFieldAccess::Table(); }

std::vector<std::string> DifferingFields(const TQCTopic& a, const TQCTopic& b) {
  std::vector<std::string> names;
  for (const TTopicField& field : TopicFields())
    if (!field.Equal(a, b)) names.emplace_back(field.Name);
  return names;
}

void ReadTopicRows(TTopicRowSource& rows, TQCTopic& topic) {
  for (const TTopicField& field : TopicFields())
    if (field.Read) field.Read(rows, topic);
}

void WriteTopicRows(TGTextStream& stream, const TQCTopic& topic) {
  for (const TTopicField& field : TopicFields())
    if (field.Write) field.Write(stream, topic);
}

void SetTopicFields(TQCTopic& target, const TQCTopic& source) {
  for (const TTopicField& field : TopicFields())
    if (field.Set) field.Set(target, source);
}

/// The items of a keyword list: separated by semicolons, blanks around them
/// ignored, empty items dropped.
std::vector<std::string> KeywordListItems(const std::string& value) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= value.size()) {
    size_t end = value.find(';', start);
    if (end == std::string::npos) end = value.size();
    size_t first = start, last = end;
    while (first < last && (value[first] == ' ' || value[first] == '\t')) ++first;
    while (last > first && (value[last - 1] == ' ' || value[last - 1] == '\t')) --last;
    if (last > first) items.push_back(value.substr(first, last - first));
    start = end + 1;
  }
  return items;
}
