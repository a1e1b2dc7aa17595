#include "app/EditHistory.h"

#include <QUndoStack>
#include <algorithm>
#include <memory>
#include <vector>

#include "app/AppText.h"
#include "app/CopyCommand.h"
#include "document/QuillcrafterDoc.h"

namespace app {

TEditHistory::TEditHistory(TComparisonSession& session, QObject* parent)
    : QObject(parent), FSession(session), FUndo(new QUndoStack(this)) {
  connect(FUndo, &QUndoStack::indexChanged, this, [this] { UpdateModified(); });
}

TEditHistory::~TEditHistory() {
  // The steps point into the session's documents: they go first.
  FUndo->disconnect(this);
  delete FUndo;
  FUndo = nullptr;
}

void TEditHistory::Copy(TCopyKind kind) {
  if (!FSession.CanCopy(kind)) return;
  const bool intoLatest = kind == TCopyKind::ToLatest || kind == TCopyKind::TextToLatest;
  const bool textOnly = kind == TCopyKind::TextToLatest || kind == TCopyKind::TextToHistory;
  // The topic the copy will change, when it changes one rather than adding one.
  TQCTopic* target = intoLatest ? FSession.LatestTopic() : FSession.HistoryTopic();
  std::unique_ptr<TQCTopic> before = target ? TCopyCommand::Snapshot(*target) : nullptr;
  TQCTopic* added = FSession.Copy(kind);
  TQCTopic& changed = added ? *added : *target;
  // Whole sentences, so that a translation may order them as its language needs.
  const QString text = (textOnly ? tr("Copy Topic Text '%1' to %2") : tr("Copy Topic '%1' to %2"))
                           .arg(ToQString(changed.Title()), intoLatest ? tr("Latest") : tr("History"));
  // States above the current step are dropped by the push: a save among them can no longer come back.
  if (FLatestSavedAt > FUndo->index()) FLatestSavedAt = -1;
  if (FHistorySavedAt > FUndo->index()) FHistorySavedAt = -1;
  FUndo->push(added ? new TCopyCommand(FSession, *added, intoLatest, text)
                    : new TCopyCommand(FSession, *target, std::move(before), intoLatest, text));
}

void TEditHistory::Apply(TTopicEdit edit, const QString& text) {
  FSession.Apply(edit);
  if (FLatestSavedAt > FUndo->index()) FLatestSavedAt = -1;
  if (FHistorySavedAt > FUndo->index()) FHistorySavedAt = -1;
  FUndo->push(new TCopyCommand(FSession, std::move(edit), text));
}

void TEditHistory::Undo() {
  if (!FUndo->canUndo()) return;
  auto* step = static_cast<TCopyCommand*>(const_cast<QUndoCommand*>(FUndo->command(FUndo->index() - 1)));
  FUndo->undo();
  if (std::exception_ptr error = step->TakeError()) std::rethrow_exception(error);
}

void TEditHistory::Redo() {
  if (!FUndo->canRedo()) return;
  auto* step = static_cast<TCopyCommand*>(const_cast<QUndoCommand*>(FUndo->command(FUndo->index())));
  FUndo->redo();
  if (std::exception_ptr error = step->TakeError()) std::rethrow_exception(error);
}

void TEditHistory::Reset() {
  // The steps point at topics of the documents just replaced.
  FUndo->clear();
  FLatestSavedAt = 0;
  FHistorySavedAt = 0;
  FSession.Latest().SetModified(false);
  FSession.History().SetModified(false);
  UpdateModified();
}

void TEditHistory::ResetSide(bool latest) {
  // The stack cannot drop steps from its middle: the other side's steps
  // move into new ones, in order, and the stack comes back to the same
  // place among them. Their edits are independent of the side read again.
  struct TKept {
    TTopicEdit edit;
    QString text;
  };
  std::vector<TKept> kept;
  int index = 0;
  int otherSavedAt = -1;
  const int oldOtherSavedAt = latest ? FHistorySavedAt : FLatestSavedAt;
  for (int i = 0; i < FUndo->count(); ++i) {
    if (i == oldOtherSavedAt) otherSavedAt = static_cast<int>(kept.size());
    auto* step = static_cast<TCopyCommand*>(const_cast<QUndoCommand*>(FUndo->command(i)));
    if (step->IntoLatest() == latest) continue;
    if (i < FUndo->index()) index = static_cast<int>(kept.size()) + 1;
    kept.push_back({step->TakeEdit(), step->text()});
  }
  if (oldOtherSavedAt == FUndo->count()) otherSavedAt = static_cast<int>(kept.size());
  const bool otherModified = latest ? FSession.History().Modified() : FSession.Latest().Modified();
  FUndo->blockSignals(true);
  FUndo->clear();
  for (TKept& step : kept) FUndo->push(new TCopyCommand(FSession, std::move(step.edit), step.text));
  // Steps above the current place were taken back already: going there takes nothing back again.
  FUndo->setIndex(index);
  FUndo->blockSignals(false);
  (latest ? FLatestSavedAt : FHistorySavedAt) = FUndo->index();
  (latest ? FHistorySavedAt : FLatestSavedAt) = otherSavedAt;
  FSession.Latest().SetModified(false);
  FSession.History().SetModified(false);
  UpdateModified();
  // A side whose saved state was lost with a dropped step stays unsaved.
  if (otherModified) (latest ? FSession.History() : FSession.Latest()).SetModified(true);
  if (OnModifiedChanged) OnModifiedChanged();
}

int TEditHistory::UnsavedSteps(bool latest) const {
  const int savedAt = latest ? FLatestSavedAt : FHistorySavedAt;
  const int from = savedAt < 0 ? 0 : std::min(savedAt, FUndo->index());
  const int to = savedAt < 0 ? FUndo->index() : std::max(savedAt, FUndo->index());
  int count = 0;
  for (int i = from; i < to; ++i) {
    const auto* step = static_cast<const TCopyCommand*>(FUndo->command(i));
    if (step != nullptr && step->IntoLatest() == latest) ++count;
  }
  const TQuillcrafterDoc& document = latest ? FSession.Latest() : FSession.History();
  return count == 0 && document.Modified() ? 1 : count;
}

void TEditHistory::MarkSaved(bool latest) {
  (latest ? FLatestSavedAt : FHistorySavedAt) = FUndo->index();
  UpdateModified();
}

void TEditHistory::UpdateModified() {
  // A side differs from its file when a step that touches it lies between
  // the current state and the state it was saved in.
  auto dirty = [this](int savedAt, bool latest) {
    if (savedAt < 0) return true;
    const int from = std::min(savedAt, FUndo->index());
    const int to = std::max(savedAt, FUndo->index());
    for (int i = from; i < to; ++i) {
      const auto* step = static_cast<const TCopyCommand*>(FUndo->command(i));
      if (step == nullptr || step->IntoLatest() == latest) return true;  // a step being cleared away
    }
    return false;
  };
  FSession.Latest().SetModified(dirty(FLatestSavedAt, true));
  FSession.History().SetModified(dirty(FHistorySavedAt, false));
  if (OnModifiedChanged) OnModifiedChanged();
}

}  // namespace app
