#pragma once
// The main window of the comparison program: a view over one comparison
// session (both project files, matching, classes, counters, the selected
// pair and its difference, the copies). The window shows the session and
// hands the user's commands to it; its widgets are its own business.

#include <QIcon>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/FileDialogs.h"
#include "app/RichEditBridge.h"
#include "app/StatusBar.h"
#include "app/TopicListBox.h"
#include "app/WindowParts.h"
#include "compare/ComparisonSession.h"
#include "document/TopicComparison.h"
#include "toolkit/Graphics.h"

class QAction;
class QActionGroup;
class QSettings;
class QComboBox;
class QFileSystemWatcher;
class QMenu;
class QUndoStack;
class QFrame;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;
class TdvDiffViewer;
class TQCTopic;
class TRichEdit;

namespace app {

class TReportExporter;

class TfrmMain : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  /// The comparison the window shows.
  TComparisonSession& Session() { return *FSession; }
  const TComparisonSession& Session() const { return *FSession; }

  // --- Components the user works through ----------------------------------------
  std::unique_ptr<TFileDialog> OpenDialog1;  // Latest
  std::unique_ptr<TFileDialog> OpenDialog2;  // History
  std::unique_ptr<TFileDialog> SaveDialog1;  // Latest
  std::unique_ptr<TFileDialog> SaveDialog2;  // History
  /// File → Export Report..., with its own file dialog.
  std::unique_ptr<TReportExporter> ReportExporter;
  QAction* CopyToOrig = nullptr;
  QAction* CopyTextToOrig = nullptr;
  QAction* CopyToHist = nullptr;
  QAction* CopyTextToHist = nullptr;
  // The menu bar's commands (the buttons share them).
  QAction* OpenFilesAction = nullptr;
  QAction* SaveAction = nullptr;
  QAction* SaveAsAction = nullptr;
  QAction* SaveHistoryAction = nullptr;
  QAction* SaveHistoryAsAction = nullptr;
  QAction* ClearRecentAction = nullptr;
  QAction* KeepBackupsAction = nullptr;  // a save keeps the replaced file as NAME.bak
  QAction* ExportReportAction = nullptr;
  QAction* QuitAction = nullptr;
  QAction* UndoAction = nullptr;
  QAction* RedoAction = nullptr;
  QAction* NextDifferenceAction = nullptr;      // F8: the next topic that is not identical
  QAction* PreviousDifferenceAction = nullptr;  // Shift+F8
  QAction* NextChangeAction = nullptr;          // F7: the next change block of the pair
  QAction* PreviousChangeAction = nullptr;      // Shift+F7
  QAction* ScrollTogetherAction = nullptr;      // the texts follow the difference as it scrolls
  QAction* ShowDeletedAction = nullptr;         // list the topics only History has
  QAction* FindAction = nullptr;                // Ctrl+F: into the search box
  QAction* ShortcutsAction = nullptr;
  QAction* AboutAction = nullptr;
  QMenu* RecentMenu = nullptr;

  /// The copies made since the files were opened, as steps to undo and redo.
  QUndoStack& UndoStack() { return *FUndo; }
  /// The recent file pairs, newest first: "LATEST" or "LATEST\nHISTORY".
  QStringList RecentPairs() const;
  /// The most pairs Open Recent keeps.
  static constexpr int RecentPairCount = 10;
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
  TQCTopic* OrigTopic() const { return FSession->OrigTopic(); }
  TQCTopic* HistTopic() const { return FSession->HistTopic(); }
  /// The match mode the drop-down shows.
  TTopicMatchMode MatchMode() const;

  // --- Handlers (they raise; the callers connected to the widgets catch) ----
  void FormCreate();
  void btnOpenFilesClick();
  void btnSaveFileClick();
  void SaveExecute();
  void SaveHistoryExecute();
  void SaveHistoryAsExecute();
  /// Writes the comparison, as far as the list shows it, as an HTML or CSV report.
  void ExportReportExecute();
  /// Selects the next (or previous) topic that is not identical, going round at the end.
  void NextDifferenceExecute(bool forward);
  /// Shows the next (or previous) change block of the pair in the viewer and both texts.
  void NextChangeExecute(bool forward);
  void UndoExecute();
  void RedoExecute();
  /// Opens a recent pair (as Open does, after asking about unsaved changes).
  void OpenRecent(const QString& pair);
  void ClearRecentExecute();
  /// Opens dropped files: two are Latest and History; one replaces the side it was dropped on.
  void OpenDropped(const QStringList& files, bool onHistorySide);
  /// The file open as Latest (or History) changed on disk: offer to read it again.
  void FileChangedOnDisk(const QString& fileName);
  void cbMatchChange();
  void lbTopicsClick();
  void lbTopicsDrawItem(TListBox* control, int index, QPainter& canvas, const QRect& rect, bool selected);
  void StatusBar1DrawPanel(TStatusBar* statusBar, int panel, QPainter& canvas, const QRect& rect);
  void CopyToOrigExecute();
  void CopyTextToOrigExecute();
  void CopyToHistExecute();
  void CopyTextToHistExecute();
  /// Enables Action when a pair is selected and differs (all four actions alike).
  void CopyToOrigUpdate(QAction* action);
  /// The list shows or hides the class of filter button Kind as the button says.
  void FilterButtonClick(int kind);
  /// The list shows the topics the search box's text is found in, marked in both texts.
  void SearchTextChanged();
  /// Moves to the next (or previous) place the search finds: in the texts
  /// shown, then on in the next listed topic, going round at the end.
  void StepSearchMatch(bool forward);

  /// The entry list row Row shows, or -1; the row that shows entry Index, or -1.
  int EntryOfRow(int row) const;
  int RowOfEntry(int index) const;

  /// Opens the given files as if chosen in the two open dialogs (History
  /// may be empty: then its dialog counts as cancelled). For start-up.
  void OpenFiles(const QString& latestFile, const QString& historyFile);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  /// Asks about unsaved changes (Cancel keeps the window open), then
  /// remembers the window's geometry, panes and settings for the next run.
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateComponents();
  void CreateLayout();
  void CreateActions();
  void CreateMenus();
  /// The shortcuts of the commands, one per line.
  QString ShortcutsText() const;
  /// One step of the menus: a command with its text and shortcut, and its handler.
  template <class F>
  QAction* NewCommand(const QString& text, const QKeySequence& keys, F&& handler);
  void ConnectHandlers();
  // Light, dark or the desktop's colours (WindowColors.cpp).
  void CreateColorSchemeMenu(QMenu& view);
  void RestoreColorScheme(QSettings& settings);
  void SetColorScheme(int scheme);
  void ApplyPaletteColors();
  /// Connects the session's notices to what shows them.
  void ObserveSession();
  void UpdateStatusBar();
  /// Shows the session's selected pair: both texts and the viewer's labels.
  void ShowSelectedPair();
  void LoadRichEditFromStrings(const TStringList& strings, TRichEdit& richEdit);
  /// Carries out a copy and records it as a step that can be undone.
  void RunCopy(TCopyKind kind);
  /// Rebuilds the list's rows from the entries the filter lets through,
  /// keeping the selection and the topic at the top where they still are.
  void ShowEntries();
  /// Rebuilds the list when a change of classes changed what the filter lets through.
  void FollowFilter();
  /// The counts on the filter buttons and their states.
  void UpdateFilterButtons();
  /// Finds the search text in both texts and marks it there.
  void FindInTexts();
  void MarkSearchMatches();
  /// Marks the viewer's rows whose formatting alone changed.
  void ShowFormatChanges(const std::vector<TRowFormatChange>& changes);
  /// Asks about the unsaved changes of the given sides; false when the user cancelled
  /// (or a save they asked for failed, which is then shown).
  bool ConfirmDiscard(bool latest, bool history);
  /// Saves a side under its own name, or asks for one when it has none; false when cancelled.
  bool SaveSide(bool latest, bool askForName);
  /// After opening: a fresh undo history, watched files, the pair remembered.
  void FilesOpened();
  /// The Modified flags follow the undo history; captions and actions follow them.
  void UpdateModified();
  void UpdateCaptions();
  /// Scrolls both texts so that the difference's top row stands level with them.
  void ScrollTextsToRow(int row);
  void WatchFiles();
  void AddRecentPair(const QString& latest, const QString& history);
  void FillRecentMenu();
  /// Brings the enabled state of the four copy actions up to date; runs
  /// after every handler, where the toolkit would refresh actions at idle time.
  void UpdateActions();
  /// Captions a topic pane with a file's name; the tooltip gives its whole path.
  static void ShowFileCaption(TCaptionGroupBox& group, const QString& fileName);
  /// The window's first outer size and place: its usual ones, within the screen's free area.
  QRect FirstFrameGeometry() const;
  /// The geometry and pane sizes of the last run, kept within the screen; false when none.
  bool RestoreWindowState();
  /// Runs a handler as the event loop would: an error ends it and is shown.
  template <class F>
  void Handle(F&& handler);

  std::unique_ptr<TComparisonSession> FSession;
  toolkit::TConnection FSessionChanged;
  QUndoStack* FUndo = nullptr;
  QFileSystemWatcher* FWatcher = nullptr;
  QActionGroup* FMatchModes = nullptr;
  QActionGroup* FColorSchemes = nullptr;  // Follow Desktop, Light, Dark
  QStringList FRecent;
  /// The undo index at which each side was last saved or opened; -1 when
  /// that state can no longer be reached by undo or redo.
  int FLatestSavedAt = 0;
  int FHistorySavedAt = 0;
  bool FSavingOwnFile = false;
  QString FVersionCaption;
  std::array<QIcon, 4> ImageList1;

  TStatusBar* StatusBar1 = nullptr;
  QFrame* Panel1 = nullptr;
  QFrame* Panel2 = nullptr;
  QFrame* Panel3 = nullptr;
  QFrame* Panel4 = nullptr;
  QFrame* Panel5 = nullptr;
  QFrame* Panel6 = nullptr;
  TSplitter* Splitter1 = nullptr;  // between the left pane and the rest
  TSplitter* Splitter2 = nullptr;  // between the topic texts and the viewer
  QComboBox* cbMatch = nullptr;
  TListBox* lbTopics = nullptr;
  QPushButton* btnOpenFiles = nullptr;
  QPushButton* btnSaveFile = nullptr;
  TCaptionGroupBox* GroupBox1 = nullptr;  // captioned with the Latest file's name
  TCaptionGroupBox* GroupBox2 = nullptr;  // and with the History file's
  TRichEdit* RichEdit1 = nullptr;
  TRichEdit* RichEdit2 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QToolButton* SpeedButton3 = nullptr;
  QToolButton* SpeedButton4 = nullptr;
  TdvDiffViewer* dvDiffViewer1 = nullptr;
  TFocusMark* FocusMark = nullptr;
  QLabel* DifferencesStrip = nullptr;  // the fields in which the selected pair differs
  QFrame* FilterPanel = nullptr;       // the class switches and the search box, above the list
  std::array<QToolButton*, TopicComparisonCount> FilterButtons{};
  TSearchBox* SearchBox = nullptr;
  /// The entries the list shows, row by row.
  std::vector<int> FShownEntries;
  /// The topic at the top of the list (not dereferenced: it may be gone).
  const TQCTopic* FTopTopic = nullptr;
  /// Where the search text stands in each text, and which place is current
  /// (Latest's places first, then History's; -1: none).
  std::vector<TTextSpan> FLatestMatches;
  std::vector<TTextSpan> FHistoryMatches;
  int FMatchAt = -1;
  /// Builds the search's texts while the window is idle.
  QTimer* FPrepareTimer = nullptr;
  bool FOuterSizeApplied = false;
};

}  // namespace app
