#pragma once
// A change of one topic as a value that can be carried out and taken back:
// a copy of a whole topic over another, a new text for a topic, a topic
// added, a topic removed. Undo steps, copies and merge decisions are all
// such edits; the session they are applied through brings classes,
// counters and the selected pair up to date and sends one notice each time.

#include <cstdint>
#include <memory>
#include <string>

class TComparisonSession;
class TQCTopic;
class TStringList;

/// A topic a session took out of its document, still whole: RestoreTopic
/// puts the same object back where it stood.
struct TRemovedTopic {
  std::unique_ptr<TQCTopic> Topic;
  bool FromLatest = true;
  int Index = -1;
  TRemovedTopic();
  TRemovedTopic(TRemovedTopic&&) noexcept;
  TRemovedTopic& operator=(TRemovedTopic&&) noexcept;
  ~TRemovedTopic();
};

class TTopicEdit {
 public:
  enum class TKind : uint8_t { Replace, Text, Add, Remove };

  /// Target's every field becomes Source's (a copy of the whole topic).
  static TTopicEdit Replace(TQCTopic& target, const TQCTopic& source, bool intoLatest);
  /// Target's text goes from what it is now to After; the rest stays. A copy
  /// of a text, or a range of its lines replaced, is such an edit.
  static TTopicEdit Text(TQCTopic& target, const TStringList& after, bool intoLatest);
  /// A copy of Source as a new topic of Latest (IntoLatest) or History,
  /// under the ID the session gives it. Revert removes that very object and
  /// Apply again puts it back.
  static TTopicEdit Add(const TQCTopic& source, bool intoLatest);
  /// Topic, of either document, taken out; Revert puts it back where it stood.
  static TTopicEdit Remove(TQCTopic& topic, bool fromLatest);

  /// A whole-topic edit already carried out on Target, which was Before.
  static TTopicEdit Replaced(TQCTopic& target, std::unique_ptr<TQCTopic> before, bool intoLatest);
  /// An addition already carried out: Added is the new topic.
  static TTopicEdit Added(TQCTopic& added, bool intoLatest);

  TTopicEdit(TTopicEdit&&) noexcept;
  TTopicEdit& operator=(TTopicEdit&&) noexcept;
  ~TTopicEdit();

  TKind Kind() const { return FKind; }
  /// The document the edit changes.
  bool IntoLatest() const { return FIntoLatest; }
  /// The topic the edit changes, adds or removes (nullptr while an added
  /// topic is taken back; a removed topic is still this object).
  TQCTopic* Topic() const { return FTopic; }
  /// Whether Apply ran last (rather than Revert, or neither).
  bool Applied() const { return FApplied; }
  /// What the edit does, in the words of the undo menu: "Copy Topic
  /// 'Setup' to Latest", "Copy Topic Text 'Setup' to History", "Remove
  /// Topic 'Setup' from Latest" (the title as the file's bytes).
  const std::string& Label() const { return FLabel; }
  void SetLabel(std::string value) { FLabel = std::move(value); }

  /// Carries the edit out; raises EInvalidOperation when it is already applied.
  void Apply(TComparisonSession& session);
  /// Takes it back; raises EInvalidOperation when it is not applied.
  void Revert(TComparisonSession& session);

 private:
  TTopicEdit(TKind kind, TQCTopic* topic, bool intoLatest);

  TKind FKind;
  TQCTopic* FTopic;
  bool FIntoLatest;
  bool FApplied = false;
  // Replace: Target's content before and after; Add: the source while nothing was added.
  std::unique_ptr<TQCTopic> FBefore;
  std::unique_ptr<TQCTopic> FAfter;
  // Text: Target's text before and after.
  std::unique_ptr<TStringList> FTextBefore;
  std::unique_ptr<TStringList> FTextAfter;
  // Add and Remove: the topic while it is out of its document.
  TRemovedTopic FRemoved;
  std::string FLabel;
};
