#include "compare/TopicEdit.h"

#include "compare/ComparisonSession.h"
#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "toolkit/SysUtils.h"

namespace {

std::unique_ptr<TQCTopic> Snapshot(const TQCTopic& topic) {
  auto copy = std::make_unique<TQCTopic>();
  copy->Assign(topic);
  return copy;
}

std::unique_ptr<TStringList> TextOf(const TQCTopic& topic) {
  auto text = std::make_unique<TStringList>();
  text->Assign(topic.Text());
  return text;
}

std::string Side(bool latest) { return latest ? "Latest" : "History"; }

}  // namespace

TRemovedTopic::TRemovedTopic() = default;
TRemovedTopic::TRemovedTopic(TRemovedTopic&&) noexcept = default;
TRemovedTopic& TRemovedTopic::operator=(TRemovedTopic&&) noexcept = default;
TRemovedTopic::~TRemovedTopic() = default;

TTopicEdit::TTopicEdit(TKind kind, TQCTopic* topic, bool intoLatest)
    : FKind(kind), FTopic(topic), FIntoLatest(intoLatest) {}
TTopicEdit::TTopicEdit(TTopicEdit&&) noexcept = default;
TTopicEdit& TTopicEdit::operator=(TTopicEdit&&) noexcept = default;
TTopicEdit::~TTopicEdit() = default;

TTopicEdit TTopicEdit::Replace(TQCTopic& target, const TQCTopic& source, bool intoLatest) {
  TTopicEdit edit(TKind::Replace, &target, intoLatest);
  edit.FBefore = Snapshot(target);
  edit.FAfter = Snapshot(source);
  edit.FLabel = "Copy Topic '" + source.Title() + "' to " + Side(intoLatest);
  return edit;
}

TTopicEdit TTopicEdit::Text(TQCTopic& target, const TStringList& after, bool intoLatest) {
  TTopicEdit edit(TKind::Text, &target, intoLatest);
  edit.FTextBefore = TextOf(target);
  edit.FTextAfter = std::make_unique<TStringList>();
  edit.FTextAfter->Assign(after);
  edit.FLabel = "Copy Topic Text '" + target.Title() + "' to " + Side(intoLatest);
  return edit;
}

TTopicEdit TTopicEdit::Add(const TQCTopic& source, bool intoLatest) {
  TTopicEdit edit(TKind::Add, nullptr, intoLatest);
  // Every field, the ID and context string too: the addition keeps the ID
  // when it is free and renames a context string made from it.
  edit.FAfter = std::make_unique<TQCTopic>();
  edit.FAfter->SetTopicID(source.TopicID());
  SetTopicFields(*edit.FAfter, source);
  edit.FLabel = "Copy Topic '" + source.Title() + "' to " + Side(intoLatest);
  return edit;
}

TTopicEdit TTopicEdit::Remove(TQCTopic& topic, bool fromLatest) {
  TTopicEdit edit(TKind::Remove, &topic, fromLatest);
  edit.FLabel = "Remove Topic '" + topic.Title() + "' from " + Side(fromLatest);
  return edit;
}

TTopicEdit TTopicEdit::Replaced(TQCTopic& target, std::unique_ptr<TQCTopic> before, bool intoLatest) {
  TTopicEdit edit(TKind::Replace, &target, intoLatest);
  edit.FBefore = std::move(before);
  edit.FAfter = Snapshot(target);
  edit.FApplied = true;
  edit.FLabel = "Copy Topic '" + target.Title() + "' to " + Side(intoLatest);
  return edit;
}

TTopicEdit TTopicEdit::Added(TQCTopic& added, bool intoLatest) {
  TTopicEdit edit(TKind::Add, &added, intoLatest);
  edit.FApplied = true;
  edit.FLabel = "Copy Topic '" + added.Title() + "' to " + Side(intoLatest);
  return edit;
}

void TTopicEdit::Apply(TComparisonSession& session) {
  if (FApplied) throw EInvalidOperation("The edit is carried out already");
  switch (FKind) {
    case TKind::Replace:
      session.AssignTopic(*FTopic, *FAfter, false);
      break;
    case TKind::Text:
      session.SetTopicText(*FTopic, *FTextAfter);
      break;
    case TKind::Add:
      // The first time a new topic; afterwards the same object comes back,
      // so that other edits that refer to it stay right.
      if (FRemoved.Topic == nullptr) {
        FTopic = session.AddTopicCopy(FIntoLatest, *FAfter);
        FAfter.reset();
      } else {
        FTopic = session.RestoreTopic(std::move(FRemoved));
      }
      break;
    case TKind::Remove:
      FRemoved = session.RemoveTopic(*FTopic);
      break;
  }
  FApplied = true;
}

void TTopicEdit::Revert(TComparisonSession& session) {
  if (!FApplied) throw EInvalidOperation("The edit is not carried out");
  switch (FKind) {
    case TKind::Replace:
      session.AssignTopic(*FTopic, *FBefore, false);
      break;
    case TKind::Text:
      session.SetTopicText(*FTopic, *FTextBefore);
      break;
    case TKind::Add:
      FRemoved = session.RemoveTopic(*FTopic);
      FTopic = nullptr;
      break;
    case TKind::Remove:
      FTopic = session.RestoreTopic(std::move(FRemoved));
      break;
  }
  FApplied = false;
}
