#include "app/ActionTable.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <vector>

#include "app/ButtonImages.h"

namespace app {

namespace {

enum class TMenu { None, File, Edit, View, Help };

struct TCommandDesign {
  TCommand Command;
  const char* Name;
  /// What the menu says.
  const char* Text;
  /// The tooltip and status tip, where the command has a button.
  const char* Hint;
  QKeySequence Keys;
  int Image;  // a TButtonImage, or -1
  TMenu Menu;
  /// Commands of one menu with different groups are set apart by a separator.
  int Group;
  bool Checkable;
  /// Where the list of shortcuts has the command (0: not at all).
  int ShortcutRank;
};

// In the menus' order. Rows without a name are the places the window fills.
// Made on first use: standard keys are known only once the application runs.
const std::vector<TCommandDesign>& Commands() {
  static const std::vector<TCommandDesign> commands = {
      {TCommand::OpenFiles, "OpenFilesAction", QT_TRANSLATE_NOOP("app::TActionTable", "&Open Files..."),
       nullptr, QKeySequence::Open, -1, TMenu::File, 0, false, 1},
      {TCommand::RecentFiles,
       nullptr,
       QT_TRANSLATE_NOOP("app::TActionTable", "Open &Recent"),
       nullptr,
       {},
       -1,
       TMenu::File,
       0,
       false,
       0},
      {TCommand::MergeFiles,
       "MergeFilesAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "&Merge Three Files..."),
       nullptr,
       {},
       -1,
       TMenu::File,
       0,
       false,
       0},
      {TCommand::Save, "SaveAction", QT_TRANSLATE_NOOP("app::TActionTable", "&Save"), nullptr,
       QKeySequence::Save, -1, TMenu::File, 1, false, 2},
      {TCommand::SaveAs, "SaveAsAction", QT_TRANSLATE_NOOP("app::TActionTable", "Save &As..."), nullptr,
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), -1, TMenu::File, 1, false, 3},
      {TCommand::SaveHistory, "SaveHistoryAction", QT_TRANSLATE_NOOP("app::TActionTable", "Save &History"),
       nullptr, QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S), -1, TMenu::File, 1, false, 4},
      {TCommand::SaveHistoryAs,
       "SaveHistoryAsAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Save History A&s..."),
       nullptr,
       {},
       -1,
       TMenu::File,
       1,
       false,
       0},
      {TCommand::KeepBackups,
       "KeepBackupsAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Keep &Backups"),
       nullptr,
       {},
       -1,
       TMenu::File,
       1,
       true,
       0},
      {TCommand::ExportReport,
       "ExportReportAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "&Export Report..."),
       nullptr,
       {},
       -1,
       TMenu::File,
       2,
       false,
       0},
      {TCommand::Quit, "QuitAction", QT_TRANSLATE_NOOP("app::TActionTable", "&Quit"), nullptr,
       QKeySequence(Qt::CTRL | Qt::Key_Q), -1, TMenu::File, 3, false, 20},
      {TCommand::Undo, "UndoAction", QT_TRANSLATE_NOOP("app::TActionTable", "&Undo"), nullptr,
       QKeySequence(Qt::CTRL | Qt::Key_Z), -1, TMenu::Edit, 0, false, 5},
      {TCommand::Redo, "RedoAction", QT_TRANSLATE_NOOP("app::TActionTable", "&Redo"), nullptr,
       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), -1, TMenu::Edit, 0, false, 6},
      // The copy commands read well in a menu; their buttons keep their pictures and hints.
      {TCommand::CopyToLatest, "CopyToLatest",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Entire Topic to Latest"),
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy ENTIRE Topic from History to Latest"),
       QKeySequence(Qt::CTRL | Qt::Key_E), biHandLeft, TMenu::Edit, 1, false, 7},
      {TCommand::CopyTextToLatest, "CopyTextToLatest",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Topic Text to Latest"),
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Topic TEXT ONLY from History to Latest"),
       QKeySequence(Qt::CTRL | Qt::Key_T), biArrowLeft, TMenu::Edit, 1, false, 8},
      {TCommand::CopyToHistory, "CopyToHistory",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Entire Topic to History"),
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy ENTIRE Topic from Latest to History"),
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E), biHandRight, TMenu::Edit, 1, false, 9},
      {TCommand::CopyTextToHistory, "CopyTextToHistory",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Topic Text to History"),
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Topic TEXT ONLY from Latest to History"),
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T), biArrowRight, TMenu::Edit, 1, false, 10},
      {TCommand::CopyChangeToLatest, "CopyChangeToLatestAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Change to Latest"), nullptr,
       QKeySequence(Qt::ALT | Qt::Key_Left), -1, TMenu::Edit, 3, false, 15},
      {TCommand::CopyChangeToHistory, "CopyChangeToHistoryAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Change to History"), nullptr,
       QKeySequence(Qt::ALT | Qt::Key_Right), -1, TMenu::Edit, 3, false, 16},
      {TCommand::CopyChangeToLatestAndNext, "CopyChangeToLatestAndNextAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Change to Latest and Go to Next"), nullptr,
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Left), -1, TMenu::Edit, 3, false, 17},
      {TCommand::CopyChangeToHistoryAndNext, "CopyChangeToHistoryAndNextAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Change to History and Go to Next"), nullptr,
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Right), -1, TMenu::Edit, 3, false, 18},
      {TCommand::CopyFormattingToLatest,
       "CopyFormattingToLatestAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Formatting to Latest"),
       nullptr,
       {},
       -1,
       TMenu::Edit,
       3,
       false,
       0},
      {TCommand::CopyFormattingToHistory,
       "CopyFormattingToHistoryAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Copy Formatting to History"),
       nullptr,
       {},
       -1,
       TMenu::Edit,
       3,
       false,
       0},
      {TCommand::Find, "FindAction", QT_TRANSLATE_NOOP("app::TActionTable", "&Find Topics..."), nullptr,
       QKeySequence::Find, -1, TMenu::Edit, 2, false, 19},
      {TCommand::MatchModes, nullptr, nullptr, nullptr, {}, -1, TMenu::View, 0, false, 0},
      {TCommand::NextDifference, "NextDifferenceAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "&Next Difference"), nullptr, QKeySequence(Qt::Key_F8), -1,
       TMenu::View, 1, false, 11},
      {TCommand::PreviousDifference, "PreviousDifferenceAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "&Previous Difference"), nullptr,
       QKeySequence(Qt::SHIFT | Qt::Key_F8), -1, TMenu::View, 1, false, 12},
      {TCommand::NextChange, "NextChangeAction", QT_TRANSLATE_NOOP("app::TActionTable", "Next &Change"),
       nullptr, QKeySequence(Qt::Key_F7), -1, TMenu::View, 1, false, 13},
      {TCommand::PreviousChange, "PreviousChangeAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Previous C&hange"), nullptr,
       QKeySequence(Qt::SHIFT | Qt::Key_F7), -1, TMenu::View, 1, false, 14},
      {TCommand::ShowDeleted,
       "ShowDeletedAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Show Topics Only in &History"),
       nullptr,
       {},
       -1,
       TMenu::View,
       2,
       true,
       0},
      {TCommand::ScrollTogether,
       "ScrollTogetherAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "&Scroll Texts With the Difference"),
       nullptr,
       {},
       -1,
       TMenu::View,
       2,
       true,
       0},
      {TCommand::LockLatest,
       "LockLatestAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Lock &Latest"),
       nullptr,
       {},
       -1,
       TMenu::View,
       4,
       true,
       0},
      {TCommand::LockHistory,
       "LockHistoryAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "Lock Histor&y"),
       nullptr,
       {},
       -1,
       TMenu::View,
       4,
       true,
       0},
      {TCommand::ColorSchemes, nullptr, nullptr, nullptr, {}, -1, TMenu::View, 3, false, 0},
      {TCommand::Shortcuts, "ShortcutsAction", QT_TRANSLATE_NOOP("app::TActionTable", "&Keyboard Shortcuts"),
       nullptr, QKeySequence::HelpContents, -1, TMenu::Help, 0, false, 0},
      {TCommand::About,
       "AboutAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "&About"),
       nullptr,
       {},
       -1,
       TMenu::Help,
       0,
       false,
       0},
      {TCommand::ClearRecent,
       "ClearRecentAction",
       QT_TRANSLATE_NOOP("app::TActionTable", "&Clear"),
       nullptr,
       {},
       -1,
       TMenu::None,
       0,
       false,
       0},
  };
  return commands;
}

const struct {
  TMenu Menu;
  const char* Text;
} kMenus[] = {{TMenu::File, QT_TRANSLATE_NOOP("app::TActionTable", "&File")},
              {TMenu::Edit, QT_TRANSLATE_NOOP("app::TActionTable", "&Edit")},
              {TMenu::View, QT_TRANSLATE_NOOP("app::TActionTable", "&View")},
              {TMenu::Help, QT_TRANSLATE_NOOP("app::TActionTable", "&Help")}};

const TCommandDesign& DesignOf(TCommand command) {
  for (const TCommandDesign& design : Commands())
    if (design.Command == command) return design;
  return Commands().front();
}

}  // namespace

TActionTable::TActionTable(QWidget* window, THandle handle) : QObject(window), FHandle(std::move(handle)) {
  for (const TCommandDesign& design : Commands()) {
    if (design.Name == nullptr) continue;
    auto* action = new QAction(tr(design.Text), window);
    action->setObjectName(QLatin1String(design.Name));
    if (design.Image >= 0) {
      action->setIcon(ButtonIcon(static_cast<TButtonImage>(design.Image)));
      const QString hint = tr(design.Hint);
      action->setToolTip(QStringLiteral("%1 (%2)").arg(hint, design.Keys.toString(QKeySequence::NativeText)));
      action->setStatusTip(hint);
      // Enabled once a pair that differs is selected.
      action->setEnabled(false);
    }
    action->setShortcut(design.Keys);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setCheckable(design.Checkable);
    window->addAction(action);
    FActions[static_cast<size_t>(design.Command)] = action;
  }
}

void TActionTable::OnTriggered(TCommand command, std::function<void()> handler) {
  if (QAction* action = Action(command))
    connect(action, &QAction::triggered, this, [this, handler = std::move(handler)] { FHandle(handler); });
}

void TActionTable::SetButton(TCommand command, QToolButton& button) const {
  QAction* action = Action(command);
  if (action == nullptr) return;
  button.setDefaultAction(action);
  button.setAccessibleName(tr(DesignOf(command).Hint));
}

QMenuBar* TActionTable::NewMenuBar(QWidget* window,
                                   const std::function<void(TCommand place, QMenu& menu)>& fillPlace) const {
  auto* bar = new QMenuBar(window);
  bar->setObjectName(QStringLiteral("MenuBar"));
  for (const auto& menuDesign : kMenus) {
    QMenu* menu = bar->addMenu(tr(menuDesign.Text));
    int group = -1;
    for (const TCommandDesign& design : Commands()) {
      if (design.Menu != menuDesign.Menu) continue;
      if (group >= 0 && design.Group != group) menu->addSeparator();
      group = design.Group;
      if (QAction* action = Action(design.Command))
        menu->addAction(action);
      else if (design.Text != nullptr)
        fillPlace(design.Command, *menu->addMenu(tr(design.Text)));
      else
        fillPlace(design.Command, *menu);
    }
  }
  return bar;
}

QString TActionTable::ShortcutsText() const {
  std::vector<const TCommandDesign*> listed;
  for (const TCommandDesign& design : Commands())
    if (design.ShortcutRank > 0) listed.push_back(&design);
  std::sort(listed.begin(), listed.end(), [](const TCommandDesign* a, const TCommandDesign* b) {
    return a->ShortcutRank < b->ShortcutRank;
  });
  QString text;
  for (const TCommandDesign* design : listed) {
    const QAction* action = Action(design->Command);
    QString name = action->text();
    name.remove(QLatin1Char('&'));
    text += QStringLiteral("%1\t%2\n").arg(action->shortcut().toString(QKeySequence::NativeText), name);
  }
  return text;
}

}  // namespace app
