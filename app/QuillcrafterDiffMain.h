#pragma once
// The main window of the comparison program: a view over one comparison
// session (both project files, matching, classes, counters, the selected
// pair and its difference, the copies). The window builds its parts (the
// commands, the edit history, the project files, the topic list pane, the
// pair view, the settings), wires them to each other and to the session, and
// keeps the title, closing and dropped files for itself.

#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "app/ActionTable.h"
#include "app/FileDialogs.h"
#include "app/WindowSettings.h"
#include "compare/ComparisonSession.h"
#include "document/TopicComparison.h"

class QAction;
class QActionGroup;
class QSettings;
class QMenu;
class QTimer;
class QToolButton;
class QUndoStack;
class TdvDiffViewer;
class TQCTopic;
class TRichEdit;

namespace app {

class TEditHistory;
class TFocusMark;
class TPairView;
class TProjectFiles;
class TReportExporter;
class TSplitter;
class TStatusBar;
class TTopicListPane;

class TfrmMain : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  /// The comparison the window shows.
  TComparisonSession& Session() { return *FSession; }
  const TComparisonSession& Session() const { return *FSession; }

  // --- Components the user works through ----------------------------------------
  TFileDialog* OpenDialog1 = nullptr;  // Latest
  TFileDialog* OpenDialog2 = nullptr;  // History
  TFileDialog* SaveDialog1 = nullptr;  // Latest
  TFileDialog* SaveDialog2 = nullptr;  // History
  /// File → Export Report..., with its own file dialog.
  std::unique_ptr<TReportExporter> ReportExporter;
  /// A command of the menus (the buttons share them).
  QAction* Action(TCommand command) const { return FActions->Action(command); }

  /// The copies made since the files were opened, as steps to undo and redo.
  QUndoStack& UndoStack();
  /// The recent file pairs, newest first: "LATEST" or "LATEST\nHISTORY".
  QStringList RecentPairs() const;
  /// The most pairs Open Recent keeps.
  static constexpr int RecentPairCount = TWindowSettings::RecentPairCount;
  /// Sets the match mode as the drop-down would (0 by ID, 1 by title, 2 by ID or title).
  void SetMatchModeIndex(int index);

  // --- State, as the session has it -----------------------------------------------
  int32_t DifferentCount() const { return Counters().DifferentCount(); }
  int32_t IdenticalCount() const { return Counters().IdenticalCount(); }
  int32_t IdenticalTextCount() const { return Counters().IdenticalTextCount(); }
  int32_t NewCount() const { return Counters().NewCount(); }
  int32_t DeletedCount() const { return Counters().DeletedCount(); }
  const TTopicCounters& Counters() const { return FSession->Counters(); }
  /// The topic selected in the list (Latest), and its History match; neither is owned.
  TQCTopic* LatestTopic() const { return FSession->LatestTopic(); }
  TQCTopic* HistoryTopic() const { return FSession->HistoryTopic(); }
  /// The match mode the drop-down shows.
  TTopicMatchMode MatchMode() const { return FSession->MatchMode(); }

  // --- Handlers (they raise; the callers connected to the widgets catch) ----
  /// Opens the given files as if chosen in the two open dialogs (History
  /// may be empty: then its dialog counts as cancelled). For start-up.
  void OpenFiles(const QString& latestFile, const QString& historyFile);
  /// Opens a recent pair (as Open does, after asking about unsaved changes).
  void OpenRecent(const QString& pair);
  /// A name the caption shows instead of the files' names (a difftool's
  /// repository path in place of its temporary files); empty: the names.
  void SetCaptionLabel(const QString& label) {
    FCaptionLabel = label;
    UpdateCaptions();
  }
  /// The list's selected row becomes the selected pair.
  void lbTopicsClick();
  /// Carries out a copy where the session allows it, as a step that can be undone.
  void CopyExecute(TCopyKind kind);
  /// Copies the current change block, or the selected rows, of the pair
  /// into Latest (IntoLatest) or History, as a step that can be undone;
  /// Next then goes on to the next change.
  void CopyChangeExecute(bool intoLatest, bool next);
  /// Gives the current row's line on one side the other side's formatting
  /// (a row that reads the same on both), as a step that can be undone.
  void CopyFormattingExecute(bool intoLatest);
  void UndoExecute();

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  /// Asks about unsaved changes (Cancel keeps the window open), then
  /// remembers the window's geometry, panes and settings for the next run.
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateParts();
  void CreateCommands();
  void CreateMenus();
  void FormCreate();
  // Light, dark or the desktop's colours (WindowColors.cpp).
  void CreateColorSchemeMenu(QMenu& view);
  void RestoreColorScheme(QSettings& settings);
  void SetColorScheme(int scheme);
  void ApplyPaletteColors();
  /// Connects the session's notices to what shows them.
  void ObserveSession();
  void UpdateStatusBar();
  /// A file is open (or documents were given): there is something to save and report.
  bool AnyFileOpen() const;
  /// The doubtful pairings in words for the status bar, or nothing.
  QString DoubtsMessage() const;
  /// Selects the next (or previous) topic that is not identical, going round at the end.
  void NextDifferenceExecute(bool forward);
  /// Shows the next (or previous) change block of the pair in the viewer and both texts.
  void NextChangeExecute(bool forward);
  /// Moves to the next (or previous) place the search finds: in the texts
  /// shown, then on in the next listed topic, going round at the end.
  void StepSearchMatch(bool forward);
  /// Writes the comparison, as far as the list shows it, as an HTML or CSV report.
  void ExportReportExecute();
  /// After opening: the search's texts are built while idle, the keyboard is in the list.
  void FilesOpened();
  /// The captions and the title follow the files and their unsaved changes.
  void UpdateCaptions();
  /// Brings the enabled state of the commands up to date; runs after every
  /// handler, where the toolkit would refresh actions at idle time.
  void UpdateActions();
  /// The window's first outer size and place: its usual ones, within the screen's free area.
  QRect FirstFrameGeometry() const;
  /// Runs a handler as the event loop would: an error ends it and is shown.
  template <class F>
  void Handle(F&& handler);

  std::unique_ptr<TComparisonSession> FSession;
  toolkit::TConnection FSessionChanged;
  std::unique_ptr<TEditHistory> FHistory;
  std::unique_ptr<TProjectFiles> FFiles;
  TActionTable* FActions = nullptr;
  TTopicListPane* FListPane = nullptr;
  TPairView* FPairView = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TSplitter* Splitter1 = nullptr;  // between the left pane and the rest
  TFocusMark* FocusMark = nullptr;
  QActionGroup* FColorSchemes = nullptr;  // Follow Desktop, Light, Dark
  QString FVersionCaption;
  QString FCaptionLabel;
  /// Builds the search's texts while the window is idle.
  QTimer* FPrepareTimer = nullptr;
  bool FOuterSizeApplied = false;
  // The parts the colours reach (WindowColors.cpp).
  TdvDiffViewer* dvDiffViewer1 = nullptr;
  TRichEdit* RichEdit1 = nullptr;
  TRichEdit* RichEdit2 = nullptr;
  std::array<QToolButton*, TopicComparisonCount> FilterButtons{};
};

}  // namespace app
