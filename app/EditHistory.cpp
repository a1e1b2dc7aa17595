#include "app/EditHistory.h"

#include <QUndoStack>
#include <algorithm>
#include <memory>

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
