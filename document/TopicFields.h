#pragma once
// The fields of a topic, declared once. Each row of the table says how the
// field is named to the user, how it compares, how a copy takes it, how it
// stands in a topic record of the project file and how its value reads in
// a description of a difference; the reader, the writer, the import,
// IsEqual, Assign, DifferingFields and the field differences all walk this
// table, so a field added here is read, written, compared, copied and
// described everywhere alike.
//
// The topic record has the same rows in every file version the reader
// accepts, so a row has one form only.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Classes.h"

class TGTextStream;
class TQCTopic;

/// The lines one topic record is read from. A line missing because the data
/// ended is an error that names the record; each reader (a whole file, an
/// import) says what it names.
class TTopicRowSource {
 public:
  virtual ~TTopicRowSource() = default;
  /// The next line.
  virtual void Line(std::string& line) = 0;
  /// The text block (a count, then that many lines) of the topic whose ID
  /// TopicID is, the ID having been read first.
  virtual void Text(TStrings& lines, int32_t topicID) = 0;
  /// The next line as an integer (a conversion error propagates).
  virtual int32_t Integer();
  /// The next line as a boolean: exactly "TRUE" is true.
  bool Boolean();

  /// Set by the browse sequence row: whether it held a number after a colon
  /// (without one the number reads as 0, and an import leaves it alone).
  bool BrowseNumberGiven = false;
};

/// How a field's value reads when a difference is described.
enum class TFieldKind : uint8_t {
  Scalar,  // one value: "Status: Writing → Done"
  List,    // items separated by semicolons: "+export −save"
  Text,    // the topic's text, described by its plain texts
};

/// One field of a topic.
struct TTopicField {
  /// The name the user knows the field by.
  std::string_view Name;
  /// Whether the field holds the same value in both topics. IsEqual asks
  /// every field; DifferingFields names those that answer no.
  bool (*Equal)(const TQCTopic& a, const TQCTopic& b);
  /// Assign's copy of the value, as it is, without a setter's side effects
  /// (the text goes through its setter, which marks the topic changed).
  /// None for the fields that make a topic's identity (TopicID,
  /// ContextString): a copy of the content leaves the target's own.
  void (*Copy)(TQCTopic& target, const TQCTopic& source);
  /// The copy through the field's setter, with its notices: how a record
  /// read aside reaches a topic in a document. None for TopicID, which also
  /// places the topic in its collection and is applied on its own.
  void (*Set)(TQCTopic& target, const TQCTopic& source);
  /// Reads the field's row of a topic record into the topic's raw value.
  /// None when another field's row carries the value (the browse number).
  void (*Read)(TTopicRowSource& rows, TQCTopic& topic);
  /// Writes the field's row; none where Read is none.
  void (*Write)(TGTextStream& stream, const TQCTopic& topic);
  /// How the value reads in a description of a difference.
  TFieldKind Kind;
  /// The value as text: the file's bytes when Bytes is set, else ASCII (a
  /// number, "yes" or "no"). None for the text, which has no one value.
  std::string (*Value)(const TQCTopic& topic);
  bool Bytes;
};

/// Every field, in the order of the topic record. Setting the fields in this
/// order is safe: the title's setter edits the body, and the text comes last.
std::span<const TTopicField> TopicFields();

/// The names of the fields in which A and B differ, in table order; empty
/// exactly when A IsEqual B.
std::vector<std::string> DifferingFields(const TQCTopic& a, const TQCTopic& b);

/// Every row of one topic record into Topic's raw values: no uniqueness
/// test, no re-sort, no notice.
void ReadTopicRows(TTopicRowSource& rows, TQCTopic& topic);
/// Every row of one topic record, each followed by CR LF.
void WriteTopicRows(TGTextStream& stream, const TQCTopic& topic);
/// Every field but TopicID from Source through the setters, in table order.
void SetTopicFields(TQCTopic& target, const TQCTopic& source);

/// The items of a keyword list: separated by semicolons, blanks around them
/// ignored, empty items dropped.
std::vector<std::string> KeywordListItems(const std::string& value);
