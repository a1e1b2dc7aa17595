#pragma once
// The window's commands, described once: each command's name, text, hint,
// keys, picture and place in the menus. The actions, the menu bar and the
// list of shortcuts are all made from that one table.

#include <QObject>
#include <array>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QToolButton;
class QWidget;

namespace app {

/// The window's commands, and the places in the menus that the window fills itself.
enum class TCommand {
  OpenFiles,
  RecentFiles,  // the Open Recent menu
  Save,
  SaveAs,
  SaveHistory,
  SaveHistoryAs,
  KeepBackups,  // a save keeps the replaced file as NAME.bak
  ExportReport,
  Quit,
  Undo,
  Redo,
  CopyToLatest,
  CopyTextToLatest,
  CopyToHistory,
  CopyTextToHistory,
  Find,                // Ctrl+F: into the search box
  MatchModes,          // the match modes, as the drop-down has them
  NextDifference,      // F8: the next topic that is not identical
  PreviousDifference,  // Shift+F8
  NextChange,          // F7: the next change block of the pair
  PreviousChange,      // Shift+F7
  ShowDeleted,         // list the topics only History has
  ScrollTogether,      // the texts follow the difference as it scrolls
  ColorSchemes,        // light, dark or the desktop's colours
  Shortcuts,
  About,
  ClearRecent,  // in the Open Recent menu
  MergeFiles,   // a three-way merge in a window of its own
  // Copies of the current change block (or the selected rows) of the pair.
  CopyChangeToLatest,          // Alt+Left
  CopyChangeToHistory,         // Alt+Right
  CopyChangeToLatestAndNext,   // Ctrl+Alt+Left: then the next change
  CopyChangeToHistoryAndNext,  // Ctrl+Alt+Right
  CopyFormattingToLatest,      // of a row that reads the same on both sides
  CopyFormattingToHistory,
  LockLatest,  // a side that no copy may change
  LockHistory,
  Count
};

class TActionTable : public QObject {
  Q_OBJECT
 public:
  /// Handle runs a handler of the window (an error ends it and is shown).
  using THandle = std::function<void(const std::function<void()>& handler)>;
  /// Makes every command's action in Window, whose shortcuts they are.
  TActionTable(QWidget* window, THandle handle);

  /// The command's action; null for a place in the menus.
  QAction* Action(TCommand command) const { return FActions[static_cast<size_t>(command)]; }
  /// Runs Handler (through the window's Handle) when the command is triggered.
  void OnTriggered(TCommand command, std::function<void()> handler);
  /// The button that shows a command's picture and triggers it.
  void SetButton(TCommand command, QToolButton& button) const;

  /// Builds the menu bar; FillPlace fills the places the window fills itself.
  QMenuBar* NewMenuBar(QWidget* window,
                       const std::function<void(TCommand place, QMenu& menu)>& fillPlace) const;
  /// The shortcuts of the commands, one per line.
  QString ShortcutsText() const;

 private:
  THandle FHandle;
  std::array<QAction*, static_cast<size_t>(TCommand::Count)> FActions{};
};

}  // namespace app
