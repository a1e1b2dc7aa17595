#include "app/QuillcrafterDiffMain.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QShowEvent>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/AppText.h"
#include "app/Application.h"
#include "app/ColorScheme.h"
#include "app/CoreTexts.h"
#include "app/EditHistory.h"
#include "app/ExportReport.h"
#include "app/MergeWindow.h"
#include "app/PairView.h"
#include "app/ProjectFiles.h"
#include "app/StatusBar.h"
#include "app/TopicListBox.h"
#include "app/TopicListPane.h"
#include "app/VersionInfo.h"
#include "app/WindowLayout.h"
#include "app/WindowParts.h"
#include "compare/ChangeCopy.h"
#include "compare/EntryFilter.h"
#include "diffview/dvDiffViewer.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"

namespace app {

namespace {

// Topics whose searchable text one idle moment builds.
constexpr int kPrepareSlice = 100;

QStringList ProjectFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".qcp"), Qt::CaseInsensitive))
      files << url.toLocalFile();
  return files;
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmMain"));
  CreateParts();
  CreateCommands();
  CreateMenus();
  ObserveSession();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  // The session goes before the child widgets: none of them may be called
  // back from it half-destroyed, nor the viewer be left registered with its
  // engine; the undo steps point into its documents.
  dvDiffViewer1 = nullptr;
  RichEdit1 = RichEdit2 = nullptr;
  FSessionChanged.Disconnect();
  FPrepareTimer->stop();
  FHistory.reset();
  FFiles.reset();
  StatusBar1->OnDrawPanel = nullptr;
  delete FListPane;
  delete FPairView;
}

template <class F>
void TfrmMain::Handle(F&& handler) {
  RunHandler(std::forward<F>(handler));
  RunHandler([this] { UpdateActions(); });
}

// --- The parts -------------------------------------------------------------------

void TfrmMain::CreateParts() {
  FSession = std::make_unique<TComparisonSession>(&qtbridge::CodePageToUtf8);
  const auto handle = [this](const std::function<void()>& handler) { Handle(handler); };
  FHistory = std::make_unique<TEditHistory>(*FSession);
  FHistory->OnModifiedChanged = [this] {
    UpdateCaptions();
    UpdateActions();
  };
  FFiles = std::make_unique<TProjectFiles>(*FSession, *FHistory, handle, this);
  FFiles->OnOpened = [this] { FilesOpened(); };
  FFiles->OnMessage = [this](const QString& message) { StatusBar1->ShowMessage(message); };
  OpenDialog1 = &FFiles->OpenDialog(true);
  OpenDialog2 = &FFiles->OpenDialog(false);
  SaveDialog1 = &FFiles->SaveDialog(true);
  SaveDialog2 = &FFiles->SaveDialog(false);
  ReportExporter = std::make_unique<TReportExporter>(this);
  FPrepareTimer = new QTimer(this);
  FPrepareTimer->setInterval(0);
  connect(FPrepareTimer, &QTimer::timeout, this, [this] {
    bool more = false;
    RunHandler([&] { more = FSession->Filter().Prepare(kPrepareSlice); });
    if (!more) FPrepareTimer->stop();
  });

  QFont formFont(QStringLiteral("MS Sans Serif"));
  formFont.setPixelSize(11);
  formFont.setStyleHint(QFont::SansSerif);
  setFont(formFont);
  // The palette is the application's (light, dark or the desktop's).
  setAutoFillBackground(true);
  setGeometry(FirstFrameGeometry());
  QBoxLayout* form = NewBox(QBoxLayout::TopToBottom, this);
  Splitter1 = new TSplitter(Qt::Horizontal, this);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setHandleWidth(kSplitterWidth);
  Splitter1->setChildrenCollapsible(false);
  form->addWidget(Splitter1, 1);

  StatusBar1 = new TStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  for (const char* panel :
       {QT_TR_NOOP("Different Topics:"), QT_TR_NOOP("Identical Topics:"),
        QT_TR_NOOP("Identical Text Topics:"), QT_TR_NOOP("New Topics:"), QT_TR_NOOP("Deleted Topics:")})
    StatusBar1->AddPanel(tr(panel), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(QString(), 50, TStatusPanelStyle::psText);
  StatusBar1->setAccessibleName(tr("Counts"));
  StatusBar1->setAccessibleDescription(tr("How many topics are in each class"));
  StatusBar1->OnDrawPanel = [](TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect) {
    RunPainter([&] {
      if (panel < 0 || panel >= TopicComparisonCount) return;
      canvas.fillRect(rect, canvas.background());
      canvas.setPen(ClassColor(static_cast<TTopicComparison>(panel), canvas.background().color()));
      canvas.drawText(QRect(rect.left() + 2, rect.top(), rect.width() - 2, rect.height()),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      ElidedText(bar->Panel(panel).Text, canvas.fontMetrics(), rect.width() - 2));
    });
  };
  form->addWidget(StatusBar1);

  FListPane = new TTopicListPane(*FSession, handle, Splitter1);
  FPairView = new TPairView(*FSession, Splitter1);
  Splitter1->addWidget(FListPane);
  Splitter1->addWidget(FPairView);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({kLeftPaneWidth, kFormSize.width() - kLeftPaneWidth - kSplitterWidth});
  FocusMark = new TFocusMark(this);
  dvDiffViewer1 = &FPairView->Viewer();
  RichEdit1 = &FPairView->LatestText();
  RichEdit2 = &FPairView->HistoryText();
  FilterButtons = FListPane->FilterButtons();

  connect(&FListPane->OpenButton(), &QPushButton::clicked, this,
          [this] { Handle([this] { FFiles->Open(); }); });
  // The Latest side is the saved file from then on: its caption, the next
  // Save and Save As, and the status bar say so.
  connect(&FListPane->SaveButton(), &QPushButton::clicked, this,
          [this] { Handle([this] { FFiles->SaveSide(true, true); }); });
  FListPane->List().OnClick = [this](TListBox*) { Handle([this] { lbTopicsClick(); }); };
  FListPane->OnSearchChanged = [this] {
    const QString text = FListPane->SearchBox().text();
    FPairView->FindInTexts(text);
    if (!text.isEmpty() && FListPane->Empty())
      StatusBar1->ShowMessage(tr("No listed topic holds \"%1\"").arg(text));
  };
  FListPane->OnSearchStep = [this](bool forward) { StepSearchMatch(forward); };
}

void TfrmMain::CreateCommands() {
  FActions = new TActionTable(this, [this](const std::function<void()>& handler) { Handle(handler); });
  const std::pair<TCommand, TCopyKind> copies[] = {{TCommand::CopyToLatest, TCopyKind::ToLatest},
                                                   {TCommand::CopyTextToLatest, TCopyKind::TextToLatest},
                                                   {TCommand::CopyTextToHistory, TCopyKind::TextToHistory},
                                                   {TCommand::CopyToHistory, TCopyKind::ToHistory}};
  for (int i = 0; i < 4; ++i) {
    const auto [command, kind] = copies[i];
    FActions->SetButton(command, FPairView->CopyButton(i));
    FActions->OnTriggered(command, [this, kind] { CopyExecute(kind); });
  }
  const struct {
    TCommand Command;
    bool IntoLatest;
    bool Next;
  } changeCopies[] = {{TCommand::CopyChangeToLatest, true, false},
                      {TCommand::CopyChangeToHistory, false, false},
                      {TCommand::CopyChangeToLatestAndNext, true, true},
                      {TCommand::CopyChangeToHistoryAndNext, false, true}};
  for (const auto& copy : changeCopies) {
    FActions->OnTriggered(copy.Command, [this, copy] { CopyChangeExecute(copy.IntoLatest, copy.Next); });
    // Also in the difference's context menu.
    for (QWidget* pane :
         {static_cast<QWidget*>(dvDiffViewer1->Pane1()), static_cast<QWidget*>(dvDiffViewer1->Pane2())}) {
      pane->setContextMenuPolicy(Qt::ActionsContextMenu);
      pane->addAction(Action(copy.Command));
    }
  }
  for (const auto& [command, latest] : {std::pair{TCommand::CopyFormattingToLatest, true},
                                        std::pair{TCommand::CopyFormattingToHistory, false}}) {
    FActions->OnTriggered(command, [this, latest] { CopyFormattingExecute(latest); });
    dvDiffViewer1->Pane1()->addAction(Action(command));
    dvDiffViewer1->Pane2()->addAction(Action(command));
  }
  for (const auto& [command, setting] : {std::pair{TCommand::LockLatest, TSetting::LockLatest},
                                         std::pair{TCommand::LockHistory, TSetting::LockHistory}})
    FActions->OnTriggered(command, [this, command, setting] {
      TWindowSettings::SetValue(setting, Action(command)->isChecked());
      FPairView->SetLockedSides(Action(TCommand::LockLatest)->isChecked(),
                                Action(TCommand::LockHistory)->isChecked());
    });
  dvDiffViewer1->OnCopyArrow = [this](int32_t row, bool toLatest) {
    Handle([this, row, toLatest] {
      FPairView->ShowRow(row);
      CopyChangeExecute(toLatest, false);
    });
  };
  FActions->OnTriggered(TCommand::OpenFiles, [this] { FFiles->Open(); });
  FActions->OnTriggered(TCommand::Save, [this] { FFiles->SaveSide(true, false); });
  FActions->OnTriggered(TCommand::SaveAs, [this] { FFiles->SaveSide(true, true); });
  FActions->OnTriggered(TCommand::SaveHistory, [this] { FFiles->SaveSide(false, false); });
  FActions->OnTriggered(TCommand::SaveHistoryAs, [this] { FFiles->SaveSide(false, true); });
  FActions->OnTriggered(TCommand::ExportReport, [this] { ExportReportExecute(); });
  FActions->OnTriggered(TCommand::MergeFiles, [this] { TfrmMerge::AskAndShow(this); });
  FActions->OnTriggered(TCommand::ClearRecent, [this] { FFiles->ClearRecent(); });
  FActions->OnTriggered(TCommand::KeepBackups, [this] {
    FSession->SetBackups(Action(TCommand::KeepBackups)->isChecked());
    TWindowSettings::SetValue(TSetting::KeepBackups, Action(TCommand::KeepBackups)->isChecked());
  });
  FActions->OnTriggered(TCommand::Quit, [this] { close(); });
  FActions->OnTriggered(TCommand::Undo, [this] { UndoExecute(); });
  FActions->OnTriggered(TCommand::Redo, [this] { FHistory->Redo(); });
  FActions->OnTriggered(TCommand::NextDifference, [this] { NextDifferenceExecute(true); });
  FActions->OnTriggered(TCommand::PreviousDifference, [this] { NextDifferenceExecute(false); });
  FActions->OnTriggered(TCommand::NextChange, [this] { NextChangeExecute(true); });
  FActions->OnTriggered(TCommand::PreviousChange, [this] { NextChangeExecute(false); });
  connect(Action(TCommand::ScrollTogether), &QAction::toggled, FPairView, &TPairView::SetScrollTogether);
  FActions->OnTriggered(TCommand::ScrollTogether, [this] {
    TWindowSettings::SetValue(TSetting::ScrollTogether, Action(TCommand::ScrollTogether)->isChecked());
  });
  FActions->OnTriggered(TCommand::ShowDeleted, [this] {
    FSession->SetShowDeleted(Action(TCommand::ShowDeleted)->isChecked());
    TWindowSettings::SetValue(TSetting::ShowDeleted, Action(TCommand::ShowDeleted)->isChecked());
  });
  FActions->OnTriggered(TCommand::Find, [this] {
    FListPane->SearchBox().setFocus(Qt::ShortcutFocusReason);
    FListPane->SearchBox().selectAll();
  });
  FActions->OnTriggered(TCommand::Shortcuts, [this] {
    QMessageBox::information(this, tr("Keyboard Shortcuts"), FActions->ShortcutsText());
  });
  FActions->OnTriggered(TCommand::About, [this] {
    QMessageBox::about(this, tr("About"),
                       FVersionCaption + tr("\n\nCompares two help project files topic by topic.\n"
                                            "Licensed under the MIT licence."));
  });
  Action(TCommand::KeepBackups)->setChecked(FSession->Backups());
  Action(TCommand::ScrollTogether)->setChecked(true);
  Action(TCommand::ShowDeleted)->setChecked(FSession->ShowDeleted());
}

void TfrmMain::CreateMenus() {
  QMenuBar* bar = FActions->NewMenuBar(this, [this](TCommand place, QMenu& menu) {
    if (place == TCommand::RecentFiles) {
      FFiles->SetRecentMenu(&menu, Action(TCommand::ClearRecent));
    } else if (place == TCommand::MatchModes) {
      FListPane->AddMatchModes(menu);
    } else if (place == TCommand::ColorSchemes) {
      CreateColorSchemeMenu(menu);
    }
  });
  layout()->setMenuBar(bar);
}

void TfrmMain::ObserveSession() {
  // The session raises its notices inside the handler that changed it, so
  // an error in showing them ends that handler like any other.
  FSessionChanged = FSession->Changed.Connect([this](const TComparisonChange& change) {
    if (change.EntriesReset || change.EntriesMoved) FListPane->ShowEntries();
    if (change.ClassesChanged)
      FListPane->RedrawEntry(-1);
    else if (change.ChangedEntry >= 0)
      FListPane->RedrawEntry(change.ChangedEntry);
    if (change.CountersChanged) {
      FListPane->UpdateDoubts();
      UpdateStatusBar();
      FListPane->FollowFilter();
      FListPane->UpdateFilterButtons();
    }
    if (change.SelectionChanged) {
      FPairView->ShowSelectedPair();
      UpdateStatusBar();
      FPairView->FindInTexts(FListPane->SearchBox().text());
    }
  });
}

// --- The window itself --------------------------------------------------------------

QRect TfrmMain::FirstFrameGeometry() const {
  const QScreen* where = screen();
  if (where == nullptr) return QRect(kFormPosition, kFormSize);
  const QRect free = where->availableGeometry();
  const QSize size = kFormSize.boundedTo(free.size());
  // The usual place, moved in just far enough to show the whole window.
  const int x = std::clamp(kFormPosition.x(), free.left(), free.left() + free.width() - size.width());
  const int y = std::clamp(kFormPosition.y(), free.top(), free.top() + free.height() - size.height());
  return QRect(QPoint(x, y), size);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  bool close = false;
  RunHandler([&] { close = FFiles->ConfirmDiscard(true, true); });
  if (!close) {
    event->ignore();
    return;
  }
  RunHandler([&] { TWindowSettings::SaveWindow(*this, *Splitter1, FPairView->TextsSplitter()); });
  QWidget::closeEvent(event);
}

void TfrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FOuterSizeApplied) return;
  FOuterSizeApplied = true;
  if (TWindowSettings::RestoreWindow(*this, *Splitter1, FPairView->TextsSplitter())) return;
  // The first geometry is the outer one; the frame is known only once shown.
  const QRect outer = FirstFrameGeometry();
  const QSize frame = frameGeometry().size() - geometry().size();
  if (!frame.isEmpty()) resize(outer.size() - frame);
  move(outer.topLeft());
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  const QStringList files = ProjectFiles(event->mimeData());
  if (files.size() == 1 || files.size() == 2) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  const QStringList files = ProjectFiles(event->mimeData());
  if (files.isEmpty() || files.size() > 2) return;
  // One file belongs to the side it lands on: right of the copy buttons is History.
  const QFrame& buttons = FPairView->ButtonPanel();
  const bool onHistorySide =
      event->position().toPoint().x() >= buttons.mapTo(this, QPoint(buttons.width() / 2, 0)).x();
  event->acceptProposedAction();
  Handle([&] { FFiles->OpenDropped(files, onHistorySide); });
}

void TfrmMain::FormCreate() {
  FVersionCaption = ToQString(GetVersionCaption(ProgramFileName()));
  setWindowTitle(FVersionCaption);
  setAcceptDrops(true);
  // What the last run left: the match mode, the dialogs' folders, the recent pairs.
  SetMatchModeIndex(TWindowSettings::Value(TSetting::MatchMode).toInt());
  FSession->SetBackups(TWindowSettings::Value(TSetting::KeepBackups).toBool());
  Action(TCommand::ScrollTogether)->setChecked(TWindowSettings::Value(TSetting::ScrollTogether).toBool());
  Action(TCommand::ShowDeleted)->setChecked(TWindowSettings::Value(TSetting::ShowDeleted).toBool());
  FSession->SetShowDeleted(Action(TCommand::ShowDeleted)->isChecked());
  Action(TCommand::LockLatest)->setChecked(TWindowSettings::Value(TSetting::LockLatest).toBool());
  Action(TCommand::LockHistory)->setChecked(TWindowSettings::Value(TSetting::LockHistory).toBool());
  FPairView->SetLockedSides(Action(TCommand::LockLatest)->isChecked(),
                            Action(TCommand::LockHistory)->isChecked());
  RestoreColorScheme(*OpenSettings());
  UpdateStatusBar();
  UpdateActions();
  Action(TCommand::KeepBackups)->setChecked(FSession->Backups());
  FFiles->RestoreFolders();
  // The keyboard starts in the list: a first arrow key picks a topic rather
  // than silently switching the match mode.
  FListPane->List().setFocus();
}

void TfrmMain::FilesOpened() {
  // The search's texts are built while the window waits for the user.
  FPrepareTimer->start();
  // Pairings the matching could not be sure of are told as the files open.
  if (const QString doubts = DoubtsMessage(); !doubts.isEmpty()) StatusBar1->ShowMessage(doubts, 30000);
  // The topics are what one works through next.
  FListPane->List().setFocus();
#if defined(__GLIBC__)
  // The pair just replaced was freed only after its successor was read:
  // the heap would otherwise keep room for two pairs for good.
  malloc_trim(0);
#endif
}

void TfrmMain::UpdateCaptions() {
  FPairView->ShowFileNames();
  const QString latest = QString::fromStdString(FSession->LatestFileName());
  const QString history = QString::fromStdString(FSession->HistoryFileName());
  // The version caption stays; with files open it follows their names, the
  // mark of unsaved changes first.
  if (latest.isEmpty()) {
    setWindowTitle(FVersionCaption);
  } else {
    QString names = QFileInfo(latest).fileName();
    if (!history.isEmpty()) names += QStringLiteral(", ") + QFileInfo(history).fileName();
    if (!FCaptionLabel.isEmpty()) names = FCaptionLabel;
    setWindowTitle(tr("[*]%1 - %2").arg(names, FVersionCaption));
  }
  setWindowModified(FSession->Latest().Modified() || FSession->History().Modified());
}

void TfrmMain::UpdateActions() {
  for (const auto& [command, kind] : {std::pair{TCommand::CopyToLatest, TCopyKind::ToLatest},
                                      std::pair{TCommand::CopyTextToLatest, TCopyKind::TextToLatest},
                                      std::pair{TCommand::CopyToHistory, TCopyKind::ToHistory},
                                      std::pair{TCommand::CopyTextToHistory, TCopyKind::TextToHistory}})
    Action(command)->setEnabled(FSession->CanCopy(kind));
  // A locked side takes no copy of a change: a slip of the key cannot change it.
  const bool bothSides = FSession->LatestTopic() != nullptr && FSession->HistoryTopic() != nullptr;
  for (const auto& [command, latest] :
       {std::pair{TCommand::CopyChangeToLatest, true}, std::pair{TCommand::CopyChangeToLatestAndNext, true},
        std::pair{TCommand::CopyChangeToHistory, false},
        std::pair{TCommand::CopyChangeToHistoryAndNext, false},
        std::pair{TCommand::CopyFormattingToLatest, true},
        std::pair{TCommand::CopyFormattingToHistory, false}})
    Action(command)->setEnabled(bothSides &&
                                !Action(latest ? TCommand::LockLatest : TCommand::LockHistory)->isChecked());
  const bool latestOpen = !FSession->LatestFileName().empty();
  const bool historyOpen = !FSession->HistoryFileName().empty();
  // Nothing to save or report until a file is open.
  const bool anyOpen = AnyFileOpen();
  Action(TCommand::Save)->setEnabled(latestOpen && FSession->Latest().Modified());
  Action(TCommand::SaveAs)->setEnabled(anyOpen);
  FListPane->SaveButton().setEnabled(anyOpen);
  Action(TCommand::SaveHistory)->setEnabled(historyOpen && FSession->History().Modified());
  Action(TCommand::SaveHistoryAs)->setEnabled(historyOpen);
  Action(TCommand::ExportReport)->setEnabled(latestOpen);
  const QUndoStack& undo = FHistory->UndoStack();
  Action(TCommand::Undo)->setEnabled(undo.canUndo());
  Action(TCommand::Redo)->setEnabled(undo.canRedo());
  Action(TCommand::Undo)->setText(undo.canUndo() ? tr("&Undo %1").arg(undo.undoText()) : tr("&Undo"));
  Action(TCommand::Redo)->setText(undo.canRedo() ? tr("&Redo %1").arg(undo.redoText()) : tr("&Redo"));
}

bool TfrmMain::AnyFileOpen() const {
  return !FSession->LatestFileName().empty() || !FSession->HistoryFileName().empty() ||
         FSession->EntryCount() > 0;
}

void TfrmMain::UpdateStatusBar() {
  // With nothing open there is nothing to count.
  const bool open = AnyFileOpen();
  for (int i = 0; i < TComparisonSession::StatusPanelCount; ++i)
    StatusBar1->SetPanelText(i, open ? CoreText(FSession->StatusText(i)) : QString());
  // Hidden, the topics only in History are still counted.
  if (open && !FSession->ShowDeleted()) {
    TTopicCounters counters = FSession->Counters();
    counters.Counts[tcDeleted] = FSession->Pair().UnmatchedHistoryCount();
    StatusBar1->SetPanelText(tcDeleted, CoreText(StatusPanelText(counters, tcDeleted)));
  }
}

QString TfrmMain::DoubtsMessage() const {
  const TPairingDoubts& doubts = FListPane->Doubts();
  QStringList parts;
  if (doubts.SharedIDs > 0) parts << tr("%1 topics share an ID with another").arg(doubts.SharedIDs);
  if (doubts.SharedMatches > 0)
    parts << tr("%1 Latest topics match the same History topic").arg(doubts.SharedMatches);
  return parts.join(tr("; ", "between the parts of a status message"));
}

// --- Handlers ----------------------------------------------------------------------------

QUndoStack& TfrmMain::UndoStack() { return FHistory->UndoStack(); }

QStringList TfrmMain::RecentPairs() const { return FFiles->RecentPairs(); }

void TfrmMain::SetMatchModeIndex(int index) {
  QComboBox& match = FListPane->MatchBox();
  if (index >= 0 && index < match.count()) match.setCurrentIndex(index);
}

void TfrmMain::OpenFiles(const QString& latestFile, const QString& historyFile) {
  FFiles->OpenFiles(latestFile, historyFile);
}

void TfrmMain::OpenRecent(const QString& pair) { FFiles->OpenRecent(pair); }

void TfrmMain::lbTopicsClick() {
  const int index = FListPane->SelectedEntry();
  if (index >= 0) FSession->Select(index);
}

void TfrmMain::CopyExecute(TCopyKind kind) { FHistory->Copy(kind); }

void TfrmMain::CopyChangeExecute(bool intoLatest, bool next) {
  if (Action(intoLatest ? TCommand::LockLatest : TCommand::LockHistory)->isChecked()) {
    StatusBar1->ShowMessage(intoLatest ? tr("Latest is locked") : tr("History is locked"));
    return;
  }
  const TdvHunk rows = FPairView->CopyRows();
  const std::vector<TdvHunk> blocks = ChangeBlocks(FSession->Selection());
  const auto block = std::find(blocks.begin(), blocks.end(), rows);
  std::optional<TTopicEdit> edit =
      block != blocks.end()
          ? MakeChangeCopy(FSession->Selection(), static_cast<int>(block - blocks.begin()), intoLatest)
          : MakeRowsCopy(FSession->Selection(), rows.FirstRow, rows.EndRow(), intoLatest);
  if (!edit) {
    StatusBar1->ShowMessage(tr("No change at the current row"));
    return;
  }
  const QString side = intoLatest ? tr("Latest") : tr("History");
  const QString text =
      block != blocks.end()
          ? tr("Copy Change %1 to %2").arg(static_cast<int>(block - blocks.begin()) + 1).arg(side)
          : tr("Copy Lines to %1").arg(side);
  FHistory->Apply(std::move(*edit), text);
  // The copied block is gone: the row it started at stays in view.
  FPairView->ShowRow(rows.FirstRow);
  if (next) {
    const int row = FSession->NextChangeRow(rows.FirstRow - 1, true);
    if (row >= 0) FPairView->ShowRow(row);
  }
}

void TfrmMain::CopyFormattingExecute(bool intoLatest) {
  if (Action(intoLatest ? TCommand::LockLatest : TCommand::LockHistory)->isChecked()) {
    StatusBar1->ShowMessage(intoLatest ? tr("Latest is locked") : tr("History is locked"));
    return;
  }
  const int row = FPairView->CurrentRow();
  std::optional<TTopicEdit> edit = MakeFormatCopy(FSession->Selection(), row, intoLatest);
  if (!edit) {
    StatusBar1->ShowMessage(tr("The current row does not differ in formatting alone"));
    return;
  }
  FHistory->Apply(std::move(*edit),
                  tr("Copy Formatting to %1").arg(intoLatest ? tr("Latest") : tr("History")));
  FPairView->ShowRow(row);
}

void TfrmMain::UndoExecute() { FHistory->Undo(); }

void TfrmMain::NextDifferenceExecute(bool forward) {
  bool wrapped = false;
  // From the topic selected in the list, or from the pair shown when the filter hides it.
  const int from =
      FListPane->List().ItemIndex() >= 0 ? FListPane->SelectedEntry() : FSession->SelectedIndex();
  const int next = FSession->Filter().NextDifferentListed(from, forward, &wrapped);
  if (next < 0) {
    StatusBar1->ShowMessage(FSession->Filter().Active() ? tr("Every listed topic is identical")
                                                        : tr("Every topic is identical"));
    return;
  }
  if (wrapped && from >= 0)
    StatusBar1->ShowMessage(forward ? tr("Passed the last topic; went on from the first")
                                    : tr("Passed the first topic; went on from the last"));
  FListPane->ShowSelected(next);
  lbTopicsClick();
}

void TfrmMain::NextChangeExecute(bool forward) {
  if (FPairView->NextChange(forward)) return;
  // At a topic's end the way goes on into the next listed topic that is
  // not identical, at its first change (going back: at its last).
  bool wrapped = false;
  const int from = FSession->SelectedIndex();
  const int next = FSession->Filter().NextDifferentListed(from, forward, &wrapped);
  if (next < 0 || next == from) {
    StatusBar1->ShowMessage(forward ? tr("No further change in this topic")
                                    : tr("No earlier change in this topic"));
    return;
  }
  FListPane->ShowSelected(next);
  FSession->Select(next);
  FPairView->EnterChanges(forward);
  if (wrapped && from >= 0)
    StatusBar1->ShowMessage(forward ? tr("Passed the last topic; went on from the first")
                                    : tr("Passed the first topic; went on from the last"));
}

void TfrmMain::StepSearchMatch(bool forward) {
  const QString text = FListPane->SearchBox().text();
  if (text.isEmpty()) return;
  // Within the texts shown first.
  if (FPairView->StepMatch(forward)) return;
  // Then in the next listed topic, at its first place (or its last one, going back).
  bool wrapped = false;
  const int from = FSession->SelectedIndex();
  const int entry = FSession->Filter().NextListed(from, forward, &wrapped);
  if (entry < 0) {
    StatusBar1->ShowMessage(tr("No listed topic holds \"%1\"").arg(text));
    return;
  }
  FListPane->ShowSelected(entry);
  FSession->Select(entry);
  FPairView->EnterMatches(forward);
  if (wrapped && from >= 0)
    StatusBar1->ShowMessage(forward ? tr("Passed the last topic found; went on from the first")
                                    : tr("Passed the first topic found; went on from the last"));
}

void TfrmMain::ExportReportExecute() {
  // The report lists what the list shows: the classes switched on and the
  // topics the search finds.
  TEntryFilter& filter = FSession->Filter();
  TReportClasses classes = TReportClasses::None();
  for (int i = 0; i < TopicComparisonCount; ++i)
    if (filter.ClassShown(static_cast<TTopicComparison>(i)))
      classes.Include(static_cast<TTopicComparison>(i));
  std::function<bool(int)> entries;
  std::string note;
  if (!filter.SearchText().empty()) {
    entries = [&filter](int entry) { return filter.Matches(entry); };
    note =
        tr("only topics that contain \"%1\"").arg(QString::fromStdString(filter.SearchText())).toStdString();
  }
  ReportExporter->Execute(*FSession, classes, std::move(entries), std::move(note));
}

}  // namespace app
