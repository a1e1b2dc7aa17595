#include "app/QuillcrafterDiffMain.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "app/AppText.h"
#include "app/Application.h"
#include "app/ButtonImages.h"
#include "app/ColorScheme.h"
#include "app/CopyCommand.h"
#include "app/CoreTexts.h"
#include "app/ExportReport.h"
#include "app/RichEditBridge.h"
#include "app/VersionInfo.h"
#include "compare/ComparisonSession.h"
#include "compare/EntryFilter.h"
#include "compare/FieldDifferences.h"
#include "compare/FormatDifferences.h"
#include "containers/Structures.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffViewer.h"
#include "diffview/dvListControl.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtGraphics.h"
#include "qtbridge/QtText.h"
#include "toolkit/ScopeGuard.h"

namespace app {

namespace {

// The window's design, in pixels at 96 pixels per inch.
constexpr QPoint kFormPosition(192, 127);
constexpr QSize kFormSize(905, 729);
constexpr int kLeftPaneWidth = 217;
constexpr int kTopicAreaHeight = 320;
constexpr int kSplitterWidth = 3;
constexpr int kToolPanelHeight = 41;
constexpr int kGroupBoxWidth = 304;
constexpr int kButtonPanelWidth = 65;
constexpr int kListItemHeight = 13;
// Topics whose searchable text one idle moment builds, and the most places
// of the search text marked in one topic text.
constexpr int kPrepareSlice = 100;
constexpr int kMostSearchMarks = 2000;
// The mark of a list entry whose texts differ only in formatting, in the
// viewer's colour for such rows.
const char* const kFormattingMark = QT_TRANSLATE_NOOP("app::TfrmMain", "Aa");

// What the window remembers between runs.
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kMatchKey = QStringLiteral("view/match");
const QString kBackupsKey = QStringLiteral("files/keepBackups");
const QString kScrollTogetherKey = QStringLiteral("view/scrollTogether");
const QString kShowDeletedKey = QStringLiteral("view/showDeleted");
const QString kRecentKey = QStringLiteral("files/recent");
const QString kLatestFolderKey = QStringLiteral("files/latestFolder");
const QString kHistoryFolderKey = QStringLiteral("files/historyFolder");
const QString kPanesKey = QStringLiteral("window/panes");
const QString kTextsKey = QStringLiteral("window/texts");

// Translated where it is used: a translation is loaded only after start.
const char* const kQcpFilter = QT_TRANSLATE_NOOP("app::TfrmMain", "Quillcrafter File (*.qcp)|*.qcp");

QFrame* NewPanel(QWidget* parent, const char* name, bool raised) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QLatin1String(name));
  if (raised) {
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(1);
  }
  return panel;
}

QBoxLayout* NewBox(QBoxLayout::Direction direction, QWidget* parent) {
  auto* box = new QBoxLayout(direction, parent);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  return box;
}

}  // namespace

TfrmMain::TfrmMain(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frmMain"));
  CreateComponents();
  CreateLayout();
  CreateActions();
  CreateMenus();
  ConnectHandlers();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  // The session goes before the child widgets: none of them may be called
  // back from it half-destroyed, nor the viewer be left registered with its
  // engine. The list's entries point into the Latest document.
  FUndo->disconnect(this);
  delete FUndo;  // its steps point into the session's documents
  FUndo = nullptr;
  FWatcher->disconnect(this);
  FSession->OnEntriesReset = nullptr;
  FSession->OnEntriesChanged = nullptr;
  FSession->OnClassesChanged = nullptr;
  FSession->OnEntryChanged = nullptr;
  FSession->OnCountersChanged = nullptr;
  FSession->OnSelectionChanged = nullptr;
  FPrepareTimer->stop();
  SearchBox->OnStep = nullptr;
  lbTopics->OnClick = nullptr;
  lbTopics->OnDrawItem = nullptr;
  lbTopics->Clear();
  StatusBar1->OnDrawPanel = nullptr;
  delete dvDiffViewer1;
  dvDiffViewer1 = nullptr;
}

template <class F>
void TfrmMain::Handle(F&& handler) {
  RunHandler(std::forward<F>(handler));
  RunHandler([this] { UpdateActions(); });
}

// --- Design -------------------------------------------------------------------

void TfrmMain::CreateComponents() {
  FSession = std::make_unique<TComparisonSession>(&qtbridge::CodePageToUtf8);

  OpenDialog1 = std::make_unique<TFileDialog>(this, TFileDialog::TKind::dkOpen);
  OpenDialog1->SetTitle(tr("Open Latest Quillcrafter File"));
  OpenDialog2 = std::make_unique<TFileDialog>(this, TFileDialog::TKind::dkOpen);
  OpenDialog2->SetTitle(tr("Open Quillcrafter History File"));
  for (TFileDialog* dialog : {OpenDialog1.get(), OpenDialog2.get()}) {
    dialog->SetFilter(tr(kQcpFilter));
    dialog->SetDefaultExt(QStringLiteral("qcp"));
    dialog->SetOptions(TOpenOption::ofFileMustExist | TOpenOption::ofHideReadOnly |
                       TOpenOption::ofEnableSizing);
  }
  SaveDialog1 = std::make_unique<TFileDialog>(this, TFileDialog::TKind::dkSave);
  SaveDialog1->SetTitle(tr("Save Latest File As..."));
  SaveDialog1->SetFilter(tr(kQcpFilter));
  SaveDialog1->SetDefaultExt(QStringLiteral("qcp"));
  SaveDialog1->SetOptions(TOpenOption::ofOverwritePrompt | TOpenOption::ofHideReadOnly |
                          TOpenOption::ofEnableSizing);
  SaveDialog2 = std::make_unique<TFileDialog>(this, TFileDialog::TKind::dkSave);
  SaveDialog2->SetTitle(tr("Save History File As..."));
  SaveDialog2->SetFilter(tr(kQcpFilter));
  SaveDialog2->SetDefaultExt(QStringLiteral("qcp"));
  SaveDialog2->SetOptions(SaveDialog1->Options());
  ReportExporter = std::make_unique<TReportExporter>(this);

  FUndo = new QUndoStack(this);
  FWatcher = new QFileSystemWatcher(this);
  FPrepareTimer = new QTimer(this);
  FPrepareTimer->setInterval(0);

  ImageList1 = {ButtonIcon(biHandLeft), ButtonIcon(biHandRight), ButtonIcon(biArrowLeft),
                ButtonIcon(biArrowRight)};
}

void TfrmMain::CreateLayout() {
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
  StatusBar1->AddPanel(tr("Different Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(tr("Identical Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(tr("Identical Text Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(tr("New Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(tr("Deleted Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(tr("Different"), 50, TStatusPanelStyle::psText);
  form->addWidget(StatusBar1);

  // Left pane: match mode, topic list, open and save.
  Panel1 = NewPanel(Splitter1, "Panel1", false);
  QBoxLayout* left = NewBox(QBoxLayout::TopToBottom, Panel1);
  Panel6 = NewPanel(Panel1, "Panel6", true);
  Panel6->setFixedHeight(kToolPanelHeight);
  QBoxLayout* matchBox = NewBox(QBoxLayout::LeftToRight, Panel6);
  // cbMatch at 8, 8 and 193 wide in a 217-wide panel: it keeps 16 to the right edge.
  // Positions count from the panel's outer edge, bevel included.
  const int bevel = Panel6->frameWidth();
  matchBox->setContentsMargins(8 - bevel, 8 - bevel, kLeftPaneWidth - 8 - 193 - bevel, 0);
  cbMatch = new QComboBox(Panel6);
  cbMatch->setObjectName(QStringLiteral("cbMatch"));
  cbMatch->setEditable(false);
  for (const TMatchModeInfo& mode : MatchModeTable) cbMatch->addItem(CoreText(mode.Name));
  cbMatch->setCurrentIndex(0);
  matchBox->addWidget(cbMatch, 1, Qt::AlignTop);
  left->addWidget(Panel6);

  // Which classes the list shows, each switch with its count, and the search.
  FilterPanel = NewPanel(Panel1, "FilterPanel", false);
  QBoxLayout* filters = NewBox(QBoxLayout::TopToBottom, FilterPanel);
  filters->setContentsMargins(4, 4, 4, 4);
  filters->setSpacing(3);
  QBoxLayout* switches = NewBox(QBoxLayout::LeftToRight, nullptr);
  switches->setSpacing(2);
  for (size_t i = 0; i < FilterButtons.size(); ++i) {
    auto* button = new QToolButton(FilterPanel);
    button->setObjectName(QStringLiteral("FilterButton%1").arg(i));
    button->setCheckable(true);
    button->setChecked(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setAccessibleName(tr("Show %1 topics").arg(CoreText(TopicClassTable[i].Words)));
    switches->addWidget(button);
    FilterButtons[i] = button;
  }
  filters->addLayout(switches);
  SearchBox = new TSearchBox(FilterPanel);
  SearchBox->setObjectName(QStringLiteral("SearchBox"));
  SearchBox->setPlaceholderText(tr("Find topics (Ctrl+F)"));
  filters->addWidget(SearchBox);
  left->addWidget(FilterPanel);

  lbTopics = new TListBox(Panel1);
  lbTopics->setObjectName(QStringLiteral("lbTopics"));
  // At least the classic row height, more where the font needs it (a larger
  // system font, a scaled screen's font substitute).
  lbTopics->SetItemHeight(std::max(kListItemHeight, lbTopics->fontMetrics().height()));
  int widestMark = 0;
  for (const TTopicClassInfo& info : TopicClassTable)
    widestMark =
        std::max(widestMark, lbTopics->fontMetrics().horizontalAdvance(QString::fromUtf8(info.Mark)));
  lbTopics->SetTextIndent(2 + widestMark + 4);
  left->addWidget(lbTopics, 1);

  Panel2 = NewPanel(Panel1, "Panel2", true);
  Panel2->setFixedHeight(kToolPanelHeight);
  QBoxLayout* buttonBox = NewBox(QBoxLayout::LeftToRight, Panel2);
  // Open at 8, 8; Save at 128, 8, keeping its 14 pixels to the right edge.
  buttonBox->setContentsMargins(8 - bevel, 8 - bevel, kLeftPaneWidth - 128 - 75 - bevel, 0);
  btnOpenFiles = new QPushButton(tr("Open..."), Panel2);
  btnOpenFiles->setObjectName(QStringLiteral("btnOpenFiles"));
  btnOpenFiles->setFixedSize(75, 25);
  btnSaveFile = new QPushButton(tr("Save As..."), Panel2);
  btnSaveFile->setObjectName(QStringLiteral("btnSaveFile"));
  btnSaveFile->setFixedSize(75, 25);
  buttonBox->addWidget(btnOpenFiles, 0, Qt::AlignTop);
  buttonBox->addStretch(1);
  buttonBox->addWidget(btnSaveFile, 0, Qt::AlignTop);
  left->addWidget(Panel2);

  // Right part: the two topic texts with the copy buttons, the viewer below.
  Panel3 = NewPanel(Splitter1, "Panel3", false);
  QBoxLayout* right = NewBox(QBoxLayout::TopToBottom, Panel3);
  // Which fields the selected pair differs in, above the texts.
  DifferencesStrip = new QLabel(Panel3);
  DifferencesStrip->setObjectName(QStringLiteral("DifferencesStrip"));
  DifferencesStrip->setTextFormat(Qt::PlainText);
  DifferencesStrip->setContentsMargins(4, 2, 4, 2);
  DifferencesStrip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  DifferencesStrip->setAccessibleName(tr("Differences"));
  DifferencesStrip->hide();
  right->addWidget(DifferencesStrip);
  Splitter2 = new TSplitter(Qt::Vertical, Panel3);
  Splitter2->setObjectName(QStringLiteral("Splitter2"));
  Splitter2->setHandleWidth(kSplitterWidth);
  Splitter2->setChildrenCollapsible(false);
  right->addWidget(Splitter2);

  Panel4 = NewPanel(Splitter2, "Panel4", false);
  QBoxLayout* texts = NewBox(QBoxLayout::LeftToRight, Panel4);
  auto makeGroup = [this](const char* groupName, const char* editName, TRichEdit*& edit) {
    auto* group = new TCaptionGroupBox(tr("File"), Panel4);
    group->setObjectName(QLatin1String(groupName));
    QBoxLayout* inside = NewBox(QBoxLayout::TopToBottom, group);
    inside->setContentsMargins(2, 2, 2, 2);
    edit = NewTopicRichEdit(group, editName);
    inside->addWidget(RichEditWidget(edit));
    return group;
  };
  // Latest keeps its design width and History takes the rest; once the
  // window is too narrow for that, both panes shrink alike.
  GroupBox1 = makeGroup("GroupBox1", "RichEdit1", RichEdit1);
  GroupBox1->setMaximumWidth(kGroupBoxWidth);
  texts->addWidget(GroupBox1, 1);
  Panel5 = NewPanel(Panel4, "Panel5", false);
  Panel5->setFixedWidth(kButtonPanelWidth);
  texts->addWidget(Panel5);
  GroupBox2 = makeGroup("GroupBox2", "RichEdit2", RichEdit2);
  texts->addWidget(GroupBox2, 1);

  auto makeButton = [this](const char* name, int top, int height) {
    auto* button = new QToolButton(Panel5);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(16, top, 33, height);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
  };
  SpeedButton1 = makeButton("SpeedButton1", 48, 22);
  SpeedButton2 = makeButton("SpeedButton2", 72, 22);
  SpeedButton3 = makeButton("SpeedButton3", 104, 22);
  SpeedButton4 = makeButton("SpeedButton4", 128, 25);

  dvDiffViewer1 = new TdvDiffViewer(Splitter2);
  dvDiffViewer1->setObjectName(QStringLiteral("dvDiffViewer1"));
  dvDiffViewer1->SetSrc1Label(FromQString(tr("Source 1")));
  dvDiffViewer1->SetSrc2Label(FromQString(tr("Source 2")));
  dvDiffViewer1->SetDiffEngine(&FSession->DiffEngine());

  FocusMark = new TFocusMark(this);

  // What assistive technology says of each control.
  const struct {
    QWidget* widget;
    const char* name;
    const char* description;
  } spoken[] = {
      {cbMatch, QT_TR_NOOP("Match mode"), QT_TR_NOOP("How Latest topics find their History topics")},
      {lbTopics, QT_TR_NOOP("Topics"), QT_TR_NOOP("The Latest topics, each with its comparison class")},
      {SearchBox, QT_TR_NOOP("Find topics"),
       QT_TR_NOOP("Lists only the topics whose ID, title or text holds these words")},
      {btnOpenFiles, QT_TR_NOOP("Open"), QT_TR_NOOP("Open a Latest and a History project file")},
      {btnSaveFile, QT_TR_NOOP("Save Latest as"), QT_TR_NOOP("Save the Latest project file under a name")},
      {GroupBox1, QT_TR_NOOP("Latest topic"), QT_TR_NOOP("The selected topic in the Latest file")},
      {GroupBox2, QT_TR_NOOP("History topic"), QT_TR_NOOP("The matching topic in the History file")},
      {RichEditWidget(RichEdit1), QT_TR_NOOP("Latest text"), QT_TR_NOOP("The Latest topic's text")},
      {RichEditWidget(RichEdit2), QT_TR_NOOP("History text"), QT_TR_NOOP("The History topic's text")},
      {dvDiffViewer1, QT_TR_NOOP("Line difference"),
       QT_TR_NOOP("The two texts line by line, changes marked")},
      {dvDiffViewer1->Pane1(), QT_TR_NOOP("Latest lines"),
       QT_TR_NOOP("The Latest text's lines, aligned with History's")},
      {dvDiffViewer1->Pane2(), QT_TR_NOOP("History lines"),
       QT_TR_NOOP("The History text's lines, aligned with Latest's")},
      {StatusBar1, QT_TR_NOOP("Counts"), QT_TR_NOOP("How many topics are in each class")},
  };
  for (const auto& part : spoken) {
    part.widget->setAccessibleName(tr(part.name));
    part.widget->setAccessibleDescription(tr(part.description));
  }

  Splitter1->addWidget(Panel1);
  Splitter1->addWidget(Panel3);
  Splitter1->setStretchFactor(0, 0);
  Splitter1->setStretchFactor(1, 1);
  Splitter1->setSizes({kLeftPaneWidth, kFormSize.width() - kLeftPaneWidth - kSplitterWidth});
  Splitter2->addWidget(Panel4);
  Splitter2->addWidget(dvDiffViewer1);
  Splitter2->setStretchFactor(0, 0);
  Splitter2->setStretchFactor(1, 1);
  Splitter2->setSizes({kTopicAreaHeight, kFormSize.height() - kTopicAreaHeight});
}

void TfrmMain::CreateActions() {
  struct TActionDesign {
    QAction*& action;
    const char* name;
    const char* hint;
    QKeySequence shortcut;
    int image;
    QToolButton* button;
  };
  const TActionDesign designs[] = {
      {CopyToOrig, "CopyToOrig", QT_TR_NOOP("Copy ENTIRE Topic from History to Original"),
       QKeySequence(Qt::CTRL | Qt::Key_E), biHandLeft, SpeedButton1},
      {CopyTextToOrig, "CopyTextToOrig", QT_TR_NOOP("Copy Topic TEXT ONLY from History to Original"),
       QKeySequence(Qt::CTRL | Qt::Key_T), biArrowLeft, SpeedButton2},
      {CopyToHist, "CopyToHist", QT_TR_NOOP("Copy ENTIRE Topic from Original To History"),
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E), biHandRight, SpeedButton4},
      {CopyTextToHist, "CopyTextToHist", QT_TR_NOOP("Copy Topic TEXT ONLY from Original to History"),
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T), biArrowRight, SpeedButton3},
  };
  for (const TActionDesign& design : designs) {
    auto* action = new QAction(ImageList1[static_cast<size_t>(design.image)], QString(), this);
    action->setObjectName(QLatin1String(design.name));
    const QString hint = tr(design.hint);
    action->setToolTip(
        QStringLiteral("%1 (%2)").arg(hint, design.shortcut.toString(QKeySequence::NativeText)));
    action->setStatusTip(hint);
    action->setShortcut(design.shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setEnabled(false);
    addAction(action);
    design.button->setDefaultAction(action);
    design.button->setAccessibleName(hint);
    design.action = action;
  }
}

template <class F>
QAction* TfrmMain::NewCommand(const QString& text, const QKeySequence& keys, F&& handler) {
  auto* action = new QAction(text, this);
  action->setShortcut(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  addAction(action);
  connect(action, &QAction::triggered, this, [this, handler] { Handle(handler); });
  return action;
}

void TfrmMain::CreateMenus() {
  OpenFilesAction = NewCommand(tr("&Open Files..."), QKeySequence::Open, [this] { btnOpenFilesClick(); });
  SaveAction = NewCommand(tr("&Save"), QKeySequence::Save, [this] { SaveExecute(); });
  SaveAsAction = NewCommand(tr("Save &As..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
                            [this] { btnSaveFileClick(); });
  SaveHistoryAction = NewCommand(tr("Save &History"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_S),
                                 [this] { SaveHistoryExecute(); });
  SaveHistoryAsAction =
      NewCommand(tr("Save History A&s..."), QKeySequence(), [this] { SaveHistoryAsExecute(); });
  ExportReportAction = NewCommand(tr("&Export Report..."), QKeySequence(), [this] { ExportReportExecute(); });
  ClearRecentAction = NewCommand(tr("&Clear"), QKeySequence(), [this] { ClearRecentExecute(); });
  KeepBackupsAction = NewCommand(tr("Keep &Backups"), QKeySequence(), [this] {
    FSession->SetBackups(KeepBackupsAction->isChecked());
    OpenSettings()->setValue(kBackupsKey, KeepBackupsAction->isChecked());
  });
  KeepBackupsAction->setCheckable(true);
  KeepBackupsAction->setChecked(FSession->Backups());
  QuitAction = NewCommand(tr("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), [this] { close(); });
  UndoAction = NewCommand(tr("&Undo"), QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { UndoExecute(); });
  RedoAction =
      NewCommand(tr("&Redo"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [this] { RedoExecute(); });
  NextDifferenceAction =
      NewCommand(tr("&Next Difference"), QKeySequence(Qt::Key_F8), [this] { NextDifferenceExecute(true); });
  PreviousDifferenceAction = NewCommand(tr("&Previous Difference"), QKeySequence(Qt::SHIFT | Qt::Key_F8),
                                        [this] { NextDifferenceExecute(false); });
  NextChangeAction =
      NewCommand(tr("Next &Change"), QKeySequence(Qt::Key_F7), [this] { NextChangeExecute(true); });
  PreviousChangeAction = NewCommand(tr("Previous C&hange"), QKeySequence(Qt::SHIFT | Qt::Key_F7),
                                    [this] { NextChangeExecute(false); });
  ScrollTogetherAction = NewCommand(tr("&Scroll Texts With the Difference"), QKeySequence(), [this] {
    OpenSettings()->setValue(kScrollTogetherKey, ScrollTogetherAction->isChecked());
  });
  ScrollTogetherAction->setCheckable(true);
  ScrollTogetherAction->setChecked(true);
  ShowDeletedAction = NewCommand(tr("Show Topics Only in &History"), QKeySequence(), [this] {
    FSession->SetShowDeleted(ShowDeletedAction->isChecked());
    OpenSettings()->setValue(kShowDeletedKey, ShowDeletedAction->isChecked());
  });
  ShowDeletedAction->setCheckable(true);
  ShowDeletedAction->setChecked(FSession->ShowDeleted());
  FindAction = NewCommand(tr("&Find Topics..."), QKeySequence::Find, [this] {
    SearchBox->setFocus(Qt::ShortcutFocusReason);
    SearchBox->selectAll();
  });
  ShortcutsAction = NewCommand(tr("&Keyboard Shortcuts"), QKeySequence::HelpContents, [this] {
    QMessageBox::information(this, tr("Keyboard Shortcuts"), ShortcutsText());
  });
  AboutAction = NewCommand(tr("&About"), QKeySequence(), [this] {
    QMessageBox::about(this, tr("About"),
                       FVersionCaption + tr("\n\nCompares two help project files topic by topic.\n"
                                            "Licensed under the MIT licence."));
  });

  auto* bar = new QMenuBar(this);
  bar->setObjectName(QStringLiteral("MenuBar"));
  QMenu* file = bar->addMenu(tr("&File"));
  file->addAction(OpenFilesAction);
  RecentMenu = file->addMenu(tr("Open &Recent"));
  file->addSeparator();
  file->addActions({SaveAction, SaveAsAction, SaveHistoryAction, SaveHistoryAsAction});
  file->addAction(KeepBackupsAction);
  file->addSeparator();
  file->addAction(ExportReportAction);
  file->addSeparator();
  file->addAction(QuitAction);
  QMenu* edit = bar->addMenu(tr("&Edit"));
  edit->addActions({UndoAction, RedoAction});
  edit->addSeparator();
  edit->addActions({CopyToOrig, CopyTextToOrig, CopyToHist, CopyTextToHist});
  edit->addSeparator();
  edit->addAction(FindAction);
  QMenu* view = bar->addMenu(tr("&View"));
  FMatchModes = new QActionGroup(this);
  for (int i = 0; i < cbMatch->count(); ++i) {
    QAction* mode = view->addAction(cbMatch->itemText(i));
    mode->setCheckable(true);
    mode->setChecked(i == cbMatch->currentIndex());
    FMatchModes->addAction(mode);
    connect(mode, &QAction::triggered, this, [this, i] { cbMatch->setCurrentIndex(i); });
  }
  view->addSeparator();
  view->addActions({NextDifferenceAction, PreviousDifferenceAction, NextChangeAction, PreviousChangeAction});
  view->addSeparator();
  view->addActions({ShowDeletedAction, ScrollTogetherAction});
  view->addSeparator();
  CreateColorSchemeMenu(*view);
  QMenu* help = bar->addMenu(tr("&Help"));
  help->addActions({ShortcutsAction, AboutAction});
  layout()->setMenuBar(bar);
  // The copy commands read well in a menu; the buttons keep their pictures.
  CopyToOrig->setText(tr("Copy Entire Topic to Latest"));
  CopyTextToOrig->setText(tr("Copy Topic Text to Latest"));
  CopyToHist->setText(tr("Copy Entire Topic to History"));
  CopyTextToHist->setText(tr("Copy Topic Text to History"));
}

QString TfrmMain::ShortcutsText() const {
  QString text;
  for (QAction* action :
       {OpenFilesAction, SaveAction, SaveAsAction, SaveHistoryAction, UndoAction, RedoAction, CopyToOrig,
        CopyTextToOrig, CopyToHist, CopyTextToHist, NextDifferenceAction, PreviousDifferenceAction,
        NextChangeAction, PreviousChangeAction, FindAction, QuitAction}) {
    QString name = action->text();
    name.remove(QLatin1Char('&'));
    text += QStringLiteral("%1\t%2\n").arg(action->shortcut().toString(QKeySequence::NativeText), name);
  }
  return text;
}

void TfrmMain::ConnectHandlers() {
  connect(FUndo, &QUndoStack::indexChanged, this, [this] { UpdateModified(); });
  // The texts follow the difference: its top row stands level with them.
  connect(dvDiffViewer1->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int row) {
    if (ScrollTogetherAction->isChecked()) RunHandler([this, row] { ScrollTextsToRow(row); });
  });
  connect(FWatcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& fileName) {
    // Asked once the watcher's own notice is over, never inside it.
    QTimer::singleShot(0, this,
                       [this, fileName] { Handle([this, fileName] { FileChangedOnDisk(fileName); }); });
  });
  connect(btnOpenFiles, &QPushButton::clicked, this, [this] { Handle([this] { btnOpenFilesClick(); }); });
  connect(btnSaveFile, &QPushButton::clicked, this, [this] { Handle([this] { btnSaveFileClick(); }); });
  connect(cbMatch, &QComboBox::currentIndexChanged, this, [this] { Handle([this] { cbMatchChange(); }); });
  connect(CopyToOrig, &QAction::triggered, this, [this] { Handle([this] { CopyToOrigExecute(); }); });
  connect(CopyTextToOrig, &QAction::triggered, this, [this] { Handle([this] { CopyTextToOrigExecute(); }); });
  connect(CopyToHist, &QAction::triggered, this, [this] { Handle([this] { CopyToHistExecute(); }); });
  connect(CopyTextToHist, &QAction::triggered, this, [this] { Handle([this] { CopyTextToHistExecute(); }); });
  for (size_t i = 0; i < FilterButtons.size(); ++i)
    connect(FilterButtons[i], &QToolButton::clicked, this,
            [this, i] { Handle([this, i] { FilterButtonClick(static_cast<int>(i)); }); });
  connect(SearchBox, &QLineEdit::textChanged, this, [this] { Handle([this] { SearchTextChanged(); }); });
  SearchBox->OnStep = [this](bool forward) { Handle([this, forward] { StepSearchMatch(forward); }); };
  connect(FPrepareTimer, &QTimer::timeout, this, [this] {
    bool more = false;
    RunHandler([&] { more = FSession->Filter().Prepare(kPrepareSlice); });
    if (!more) FPrepareTimer->stop();
  });
  // Remembered as a topic, so that the list can come back to it however the entries move.
  connect(lbTopics->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    const TComparisonEntry top = FSession->ClassifiedEntry(EntryOfRow(lbTopics->indexAt(QPoint(0, 0)).row()));
    FTopTopic = top.Latest != nullptr ? top.Latest : top.History;
  });
  lbTopics->OnClick = [this](TListBox*) { Handle([this] { lbTopicsClick(); }); };
  lbTopics->OnItemToolTip = [this](int row) {
    const int index = EntryOfRow(row);
    return index >= 0 ? QString::fromStdString(FSession->EntryToolTip(index)) : QString();
  };
  lbTopics->OnItemDescription = [this](int row) {
    const int index = EntryOfRow(row);
    if (index < 0) return QString();
    return CoreText(ClassInfo(FSession->EntryClass(index)).Words);
  };
  lbTopics->OnDrawItem = [this](TListBox* list, int index, QPainter& canvas, const QRect& rect,
                                bool selected) {
    RunPainter([&] { lbTopicsDrawItem(list, index, canvas, rect, selected); });
  };
  StatusBar1->OnDrawPanel = [this](TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect) {
    RunPainter([&] { StatusBar1DrawPanel(bar, panel, canvas, rect); });
  };
  ObserveSession();
}

void TfrmMain::ObserveSession() {
  // The session raises its notices inside the handler that changed it, so
  // an error in showing them ends that handler like any other.
  FSession->OnEntriesReset = [this] { ShowEntries(); };
  FSession->OnEntriesChanged = [this] { ShowEntries(); };
  FSession->OnClassesChanged = [this] {
    // Entries take their class when drawn.
    lbTopics->viewport()->update();
  };
  FSession->OnEntryChanged = [this](int index) {
    const int row = RowOfEntry(index);
    if (row >= 0) lbTopics->viewport()->update(lbTopics->visualRect(lbTopics->model()->index(row, 0)));
  };
  FSession->OnCountersChanged = [this] {
    UpdateStatusBar();
    FollowFilter();
    UpdateFilterButtons();
  };
  FSession->OnSelectionChanged = [this] { ShowSelectedPair(); };
}

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

bool TfrmMain::RestoreWindowState() {
  const std::unique_ptr<QSettings> settings = OpenSettings();
  const QByteArray saved = settings->value(kGeometryKey).toByteArray();
  if (saved.isEmpty() || !restoreGeometry(saved)) return false;
  Splitter1->restoreState(settings->value(kPanesKey).toByteArray());
  Splitter2->restoreState(settings->value(kTextsKey).toByteArray());
  // A screen smaller than the one of the last run still shows the whole window.
  if (const QScreen* where = screen()) {
    const QRect free = where->availableGeometry();
    const QRect outer = frameGeometry();
    if (!free.contains(outer)) {
      const QSize frame = outer.size() - geometry().size();
      resize(outer.size().boundedTo(free.size()) - frame);
      const QRect fitted = frameGeometry();
      move(std::clamp(fitted.x(), free.left(), free.left() + free.width() - fitted.width()),
           std::clamp(fitted.y(), free.top(), free.top() + free.height() - fitted.height()));
    }
  }
  return true;
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  bool close = false;
  RunHandler([&] { close = ConfirmDiscard(true, true); });
  if (!close) {
    event->ignore();
    return;
  }
  RunHandler([&] {
    const std::unique_ptr<QSettings> settings = OpenSettings();
    settings->setValue(kGeometryKey, saveGeometry());
    settings->setValue(kPanesKey, Splitter1->saveState());
    settings->setValue(kTextsKey, Splitter2->saveState());
  });
  QWidget::closeEvent(event);
}

void TfrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FOuterSizeApplied) return;
  FOuterSizeApplied = true;
  if (RestoreWindowState()) return;
  // The first geometry is the outer one; the frame is known only once shown.
  const QRect outer = FirstFrameGeometry();
  const QSize frame = frameGeometry().size() - geometry().size();
  if (!frame.isEmpty()) resize(outer.size() - frame);
  move(outer.topLeft());
}

// --- Start and open -------------------------------------------------------------

void TfrmMain::FormCreate() {
  FVersionCaption = ToQString(GetVersionCaption(ProgramFileName()));
  setWindowTitle(FVersionCaption);
  setAcceptDrops(true);
  // What the last run left: the match mode, the dialogs' folders, the recent pairs.
  const std::unique_ptr<QSettings> settings = OpenSettings();
  SetMatchModeIndex(settings->value(kMatchKey, 0).toInt());
  FSession->SetBackups(settings->value(kBackupsKey, true).toBool());
  ScrollTogetherAction->setChecked(settings->value(kScrollTogetherKey, true).toBool());
  ShowDeletedAction->setChecked(settings->value(kShowDeletedKey, true).toBool());
  FSession->SetShowDeleted(ShowDeletedAction->isChecked());
  RestoreColorScheme(*settings);
  KeepBackupsAction->setChecked(FSession->Backups());
  const struct {
    TFileDialog* dialog;
    const QString& key;
  } folders[] = {{OpenDialog1.get(), kLatestFolderKey},
                 {OpenDialog2.get(), kHistoryFolderKey},
                 {SaveDialog1.get(), kLatestFolderKey},
                 {SaveDialog2.get(), kHistoryFolderKey}};
  for (const auto& folder : folders) {
    const QString path = settings->value(folder.key).toString();
    if (!path.isEmpty()) folder.dialog->SetFileName(QDir(path).filePath(QString()));
  }
  FRecent = settings->value(kRecentKey).toStringList().mid(0, RecentPairCount);
  FillRecentMenu();
  // The keyboard starts in the list: a first arrow key picks a topic rather
  // than silently switching the match mode.
  lbTopics->setFocus();
}

void TfrmMain::ShowFileCaption(TCaptionGroupBox& group, const QString& fileName) {
  const QFileInfo file(fileName);
  group.SetCaption(file.fileName());
  group.setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
}

TTopicMatchMode TfrmMain::MatchMode() const { return FSession->MatchMode(); }

void TfrmMain::btnOpenFilesClick() {
  if (!ConfirmDiscard(true, true)) return;
  if (!OpenDialog1->Execute()) return;
  const QString latest = OpenDialog1->FileName();
  QString history;
  // History is asked for once Latest has been read; nothing changes on
  // screen until both are in.
  FSession->OpenFiles(FileNameToCore(latest), [this, &history]() -> std::optional<std::string> {
    if (!OpenDialog2->Execute()) return std::nullopt;
    history = OpenDialog2->FileName();
    return FileNameToCore(history);
  });
  SaveDialog1->SetFileName(QFileInfo(latest).absoluteFilePath());
  if (!history.isEmpty()) SaveDialog2->SetFileName(QFileInfo(history).absoluteFilePath());
  FilesOpened();
}

void TfrmMain::OpenFiles(const QString& latestFile, const QString& historyFile) {
  auto previous1 = std::move(OpenDialog1->ExecuteHandler);
  auto previous2 = std::move(OpenDialog2->ExecuteHandler);
  auto pick = [](const QString& fileName) {
    return [fileName](TFileDialog& dialog) {
      if (fileName.isEmpty()) return false;
      dialog.SetFileName(fileName);
      return true;
    };
  };
  OpenDialog1->ExecuteHandler = pick(latestFile);
  OpenDialog2->ExecuteHandler = pick(historyFile);
  Handle([this] { btnOpenFilesClick(); });
  OpenDialog1->ExecuteHandler = std::move(previous1);
  OpenDialog2->ExecuteHandler = std::move(previous2);
}

// --- Matching and classification ------------------------------------------------

void TfrmMain::ShowEntries() {
  const int topRow = lbTopics->indexAt(QPoint(0, 0)).row();
  const int topEntry = FSession->EntryIndexOf(FTopTopic);
  FShownEntries = FSession->Filter().Listed();
  TStringList items;
  items.SetCapacity(static_cast<int>(FShownEntries.size()));
  for (int index : FShownEntries) items.Add(FSession->EntryCaption(index));
  lbTopics->SetItems(items);
  // The list stays where it was: the topic at the top stays there (or the
  // first one listed after it), and the selected topic stays selected.
  int top = topRow;
  if (topEntry >= 0)
    top = static_cast<int>(std::lower_bound(FShownEntries.begin(), FShownEntries.end(), topEntry) -
                           FShownEntries.begin());
  if (top >= 0 && top < items.Count())
    lbTopics->scrollTo(lbTopics->model()->index(top, 0), QAbstractItemView::PositionAtTop);
  lbTopics->SetItemIndex(RowOfEntry(FSession->SelectedIndex()));
  UpdateFilterButtons();
}

void TfrmMain::FollowFilter() {
  if (FSession->Filter().Listed() != FShownEntries) ShowEntries();
}

int TfrmMain::EntryOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(FShownEntries.size()) ? FShownEntries[static_cast<size_t>(row)]
                                                                  : -1;
}

int TfrmMain::RowOfEntry(int index) const {
  const auto it = std::lower_bound(FShownEntries.begin(), FShownEntries.end(), index);
  return index >= 0 && it != FShownEntries.end() && *it == index
             ? static_cast<int>(it - FShownEntries.begin())
             : -1;
}

void TfrmMain::UpdateFilterButtons() {
  TEntryFilter& filter = FSession->Filter();
  const auto& counts = filter.Counts();
  for (size_t i = 0; i < FilterButtons.size(); ++i) {
    QToolButton* button = FilterButtons[i];
    const auto kind = static_cast<TTopicComparison>(i);
    // Five switches share the list's width: a count of five digits or more
    // is shown in thousands (the tooltip has it exactly).
    const QString count = counts[i] < 10000
                              ? QString::number(counts[i])
                              : tr("%1k", "a count in thousands").arg(qRound(counts[i] / 1000.0));
    button->setText(
        tr("%1 %2", "a class's mark and count").arg(QString::fromUtf8(TopicClassTable[i].Mark), count));
    button->setChecked(filter.ClassShown(kind));
    // A class switched off is struck through, not only drawn raised.
    QFont font = button->font();
    font.setStrikeOut(!filter.ClassShown(kind));
    button->setFont(font);
    button->setToolTip((filter.ClassShown(kind) ? tr("%1 %2 topics listed; click to hide them")
                                                : tr("%1 %2 topics hidden; click to list them"))
                           .arg(counts[i])
                           .arg(CoreText(TopicClassTable[i].Words)));
  }
}

void TfrmMain::FilterButtonClick(int kind) {
  if (kind < 0 || kind >= static_cast<int>(FilterButtons.size())) return;
  FSession->Filter().SetClassShown(static_cast<TTopicComparison>(kind),
                                   FilterButtons[static_cast<size_t>(kind)]->isChecked());
  ShowEntries();
}

void TfrmMain::SearchTextChanged() {
  FSession->Filter().SetSearchText(SearchBox->text().toStdString());
  ShowEntries();
  FindInTexts();
  if (!SearchBox->text().isEmpty() && FShownEntries.empty())
    StatusBar1->ShowMessage(tr("No listed topic holds \"%1\"").arg(SearchBox->text()));
}

void TfrmMain::UpdateStatusBar() {
  for (int i = 0; i < TComparisonSession::StatusPanelCount; ++i)
    StatusBar1->SetPanelText(i, CoreText(FSession->StatusText(i)));
}

void TfrmMain::cbMatchChange() {
  FSession->SetMatchMode(MatchModeFromIndex(cbMatch->currentIndex()));
  OpenSettings()->setValue(kMatchKey, cbMatch->currentIndex());
  const QList<QAction*> modes = FMatchModes->actions();
  if (cbMatch->currentIndex() >= 0 && cbMatch->currentIndex() < modes.size())
    modes[cbMatch->currentIndex()]->setChecked(true);
}

void TfrmMain::SetMatchModeIndex(int index) {
  if (index >= 0 && index < cbMatch->count()) cbMatch->setCurrentIndex(index);
}

// --- Drawing ----------------------------------------------------------------------

void TfrmMain::lbTopicsDrawItem(TListBox* control, int index, QPainter& canvas, const QRect& rect,
                                bool selected) {
  const TStringList& items = control->Items();
  if (index < 0 || index >= items.Count()) return;
  canvas.fillRect(rect, canvas.background());
  const int indent = control->TextIndent();
  // The list's rows are the entries the filter lets through, in the same order.
  const int entry = EntryOfRow(index);
  if (entry >= 0) {
    const auto kind = static_cast<size_t>(FSession->ClassifiedEntry(entry).Class);
    if (!selected)
      canvas.setPen(ClassColor(static_cast<TTopicComparison>(kind), canvas.background().color()));
    canvas.drawText(QRect(rect.left() + 2, rect.top(), indent - 2, rect.height()),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    QString::fromUtf8(TopicClassTable[kind].Mark));
  }
  canvas.drawText(QRect(rect.left() + indent, rect.top(), rect.width() - indent, rect.height()),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ToQString(items[index]));
  // Texts that differ only in formatting carry a mark at the row's end, over the caption's tail.
  if (entry >= 0 && FSession->Filter().FormattingOnly(entry)) {
    const QString text = tr(kFormattingMark);
    const int width = canvas.fontMetrics().horizontalAdvance(text) + 4;
    const QRect mark(rect.right() - width, rect.top(), width, rect.height());
    canvas.fillRect(mark, canvas.background());
    if (!selected)
      canvas.setPen(qtbridge::ReadableOn(ToQColor(DifferenceColors(palette()).FormatMark),
                                         canvas.background().color()));
    canvas.drawText(mark, Qt::AlignCenter | Qt::TextSingleLine, text);
  }
}

void TfrmMain::StatusBar1DrawPanel(TStatusBar* statusBar, int panel, QPainter& canvas, const QRect& rect) {
  if (panel < 0 || panel >= TopicComparisonCount) return;
  canvas.fillRect(rect, canvas.background());
  canvas.setPen(ClassColor(static_cast<TTopicComparison>(panel), canvas.background().color()));
  canvas.drawText(QRect(rect.left() + 2, rect.top(), rect.width() - 2, rect.height()),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                  ElidedText(statusBar->Panel(panel).Text, canvas.fontMetrics(), rect.width() - 2));
}

// --- The selected pair -----------------------------------------------------------

void TfrmMain::lbTopicsClick() {
  const int index = EntryOfRow(lbTopics->ItemIndex());
  if (index < 0) return;
  FSession->Select(index);
}

void TfrmMain::ShowSelectedPair() {
  TQCTopic* orig = FSession->OrigTopic();
  TQCTopic* hist = FSession->HistTopic();
  // Each side shows its topic or nothing: never a topic of an earlier state.
  if (orig != nullptr) {
    LoadRichEditFromStrings(orig->Text(), *RichEdit1);
    dvDiffViewer1->SetSrc1Label(orig->Title());
  } else {
    RichEditClear(*RichEdit1);
    dvDiffViewer1->SetSrc1Label(hist != nullptr ? std::string() : FromQString(tr("Source 1")));
  }
  if (hist != nullptr) {
    LoadRichEditFromStrings(hist->Text(), *RichEdit2);
    dvDiffViewer1->SetSrc2Label(hist->Title());
  } else {
    // A topic without partner: that side is empty, caption included.
    RichEditClear(*RichEdit2);
    dvDiffViewer1->SetSrc2Label(orig != nullptr ? std::string() : FromQString(tr("Source 2")));
  }
  const std::vector<TRowFormatChange> formatChanges = FSession->SelectedFormatChanges();
  ShowFormatChanges(formatChanges);
  const std::string differences = DifferencesLine(FSession->SelectedFieldDifferences(), formatChanges);
  const QString strip =
      differences.empty() ? QString() : tr("Differences: %1").arg(QString::fromStdString(differences));
  DifferencesStrip->setToolTip(strip);
  DifferencesStrip->setText(
      DifferencesStrip->fontMetrics().elidedText(strip, Qt::ElideRight, std::max(Panel3->width() - 8, 40)));
  // Shown from the first open on, so the texts below do not jump with each pair.
  DifferencesStrip->setVisible(!FSession->LatestFileName().empty());
  UpdateStatusBar();
  FindInTexts();
}

void TfrmMain::ShowFormatChanges(const std::vector<TRowFormatChange>& changes) {
  std::vector<TdvRowNote> notes;
  notes.reserve(changes.size());
  for (const TRowFormatChange& change : changes) {
    TdvRowNote note;
    note.Row = change.Row;
    note.ToolTip = QString::fromStdString(FormatChangeToolTip(change.Change));
    // The two lines are the same text: the characters stand at the same bytes on both sides.
    for (const TFormatChangeItem& item : change.Change.Items)
      if (!item.Paragraph && item.End > item.Begin)
        note.Spans1.push_back(
            {static_cast<int32_t>(item.Begin), static_cast<int32_t>(item.End - item.Begin)});
    note.Spans2 = note.Spans1;
    notes.push_back(std::move(note));
  }
  dvDiffViewer1->SetRowNotes(std::move(notes));
}

void TfrmMain::FindInTexts() {
  QString text = SearchBox->text();
  text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
  FLatestMatches = RichEditFind(*RichEdit1, text, kMostSearchMarks);
  FHistoryMatches = RichEditFind(*RichEdit2, text, kMostSearchMarks);
  FMatchAt = -1;
  MarkSearchMatches();
}

void TfrmMain::MarkSearchMatches() {
  const int latest = static_cast<int>(FLatestMatches.size());
  RichEditMarkSpans(*RichEdit1, FLatestMatches, FMatchAt < latest ? FMatchAt : -1);
  RichEditMarkSpans(*RichEdit2, FHistoryMatches, FMatchAt >= latest ? FMatchAt - latest : -1);
}

void TfrmMain::StepSearchMatch(bool forward) {
  if (SearchBox->text().isEmpty()) return;
  const int count = static_cast<int>(FLatestMatches.size() + FHistoryMatches.size());
  // Within the texts shown first.
  if (count > 0) {
    const int next = FMatchAt < 0 ? (forward ? 0 : count - 1) : FMatchAt + (forward ? 1 : -1);
    if (next >= 0 && next < count) {
      FMatchAt = next;
      MarkSearchMatches();
      return;
    }
  }
  // Then in the next listed topic, at its first place (or its last one, going back).
  bool wrapped = false;
  const int from = FSession->SelectedIndex();
  const int entry = FSession->Filter().NextListed(from, forward, &wrapped);
  if (entry < 0) {
    StatusBar1->ShowMessage(tr("No listed topic holds \"%1\"").arg(SearchBox->text()));
    return;
  }
  lbTopics->SetItemIndex(RowOfEntry(entry));
  FSession->Select(entry);
  const int found = static_cast<int>(FLatestMatches.size() + FHistoryMatches.size());
  if (found > 0) {
    FMatchAt = forward ? 0 : found - 1;
    MarkSearchMatches();
  }
  if (wrapped && from >= 0)
    StatusBar1->ShowMessage(forward ? tr("Passed the last topic found; went on from the first")
                                    : tr("Passed the first topic found; went on from the last"));
}

void TfrmMain::LoadRichEditFromStrings(const TStringList& strings, TRichEdit& richEdit) {
  TMemoryStream stream;
  for (int i = 0; i < strings.Count(); ++i) {
    stream.WriteString(strings[i]);
    stream.WriteString("\r\n");
  }
  stream.SetPosition(0);
  RichEditLoadFromStream(richEdit, stream);
}

// --- Copy and save ------------------------------------------------------------------

void TfrmMain::CopyToOrigUpdate(QAction* action) {
  const TCopyKind kind = action == CopyToOrig       ? TCopyKind::ToLatest
                         : action == CopyTextToOrig ? TCopyKind::TextToLatest
                         : action == CopyToHist     ? TCopyKind::ToHistory
                                                    : TCopyKind::TextToHistory;
  action->setEnabled(FSession->CanCopy(kind));
}

void TfrmMain::UpdateActions() {
  for (QAction* action : {CopyToOrig, CopyTextToOrig, CopyToHist, CopyTextToHist}) CopyToOrigUpdate(action);
  const bool latestOpen = !FSession->LatestFileName().empty();
  const bool historyOpen = !FSession->HistoryFileName().empty();
  SaveAction->setEnabled(latestOpen && FSession->Latest().Modified());
  SaveHistoryAction->setEnabled(historyOpen && FSession->History().Modified());
  SaveHistoryAsAction->setEnabled(historyOpen);
  ExportReportAction->setEnabled(latestOpen);
  UndoAction->setEnabled(FUndo->canUndo());
  RedoAction->setEnabled(FUndo->canRedo());
  UndoAction->setText(FUndo->canUndo() ? tr("&Undo %1").arg(FUndo->undoText()) : tr("&Undo"));
  RedoAction->setText(FUndo->canRedo() ? tr("&Redo %1").arg(FUndo->redoText()) : tr("&Redo"));
}

// A copy runs only where the session allows it, even when called directly.
void TfrmMain::CopyToOrigExecute() { RunCopy(TCopyKind::ToLatest); }
void TfrmMain::CopyTextToOrigExecute() { RunCopy(TCopyKind::TextToLatest); }
void TfrmMain::CopyToHistExecute() { RunCopy(TCopyKind::ToHistory); }
void TfrmMain::CopyTextToHistExecute() { RunCopy(TCopyKind::TextToHistory); }

void TfrmMain::RunCopy(TCopyKind kind) {
  if (!FSession->CanCopy(kind)) return;
  const bool intoLatest = kind == TCopyKind::ToLatest || kind == TCopyKind::TextToLatest;
  const bool textOnly = kind == TCopyKind::TextToLatest || kind == TCopyKind::TextToHistory;
  // The topic the copy will change, when it changes one rather than adding one.
  TQCTopic* target = intoLatest ? OrigTopic() : HistTopic();
  std::unique_ptr<TQCTopic> before = target ? TCopyCommand::Snapshot(*target) : nullptr;
  TQCTopic* added = FSession->Copy(kind);
  TQCTopic& changed = added ? *added : *target;
  // Whole sentences, so that a translation may order them as its language needs.
  const QString text = (textOnly ? tr("Copy Topic Text '%1' to %2") : tr("Copy Topic '%1' to %2"))
                           .arg(ToQString(changed.Title()), intoLatest ? tr("Latest") : tr("History"));
  // States above the current step are dropped by the push: a save among them can no longer come back.
  if (FLatestSavedAt > FUndo->index()) FLatestSavedAt = -1;
  if (FHistorySavedAt > FUndo->index()) FHistorySavedAt = -1;
  FUndo->push(added ? new TCopyCommand(*FSession, *added, intoLatest, text)
                    : new TCopyCommand(*FSession, *target, std::move(before), intoLatest, text));
}

void TfrmMain::NextDifferenceExecute(bool forward) {
  bool wrapped = false;
  // From the topic selected in the list, or from the pair shown when the filter hides it.
  const int from = lbTopics->ItemIndex() >= 0 ? EntryOfRow(lbTopics->ItemIndex()) : FSession->SelectedIndex();
  const int next = FSession->Filter().NextDifferentListed(from, forward, &wrapped);
  if (next < 0) {
    StatusBar1->ShowMessage(FSession->Filter().Active() ? tr("Every listed topic is identical")
                                                        : tr("Every topic is identical"));
    return;
  }
  if (wrapped && from >= 0)
    StatusBar1->ShowMessage(forward ? tr("Passed the last topic; went on from the first")
                                    : tr("Passed the first topic; went on from the last"));
  lbTopics->SetItemIndex(RowOfEntry(next));
  lbTopicsClick();
}

void TfrmMain::NextChangeExecute(bool forward) {
  const int row = FSession->NextChangeRow(dvDiffViewer1->Pane1()->ItemIndex(), forward);
  if (row < 0) {
    StatusBar1->ShowMessage(forward ? tr("No further change in this topic")
                                    : tr("No earlier change in this topic"));
    return;
  }
  dvDiffViewer1->verticalScrollBar()->setValue(row);
  for (TdvListControl* pane : {dvDiffViewer1->Pane1(), dvDiffViewer1->Pane2()}) pane->SetItemIndex(row);
  // Shown even when the texts do not scroll with the difference.
  if (!ScrollTogetherAction->isChecked()) ScrollTextsToRow(row);
}

void TfrmMain::ScrollTextsToRow(int row) {
  const std::vector<TdvDiffRow>& rows = FSession->DiffEngine().Rows();
  if (rows.empty()) return;
  row = std::clamp(row, 0, static_cast<int>(rows.size()) - 1);
  // A filler has no line of its own: the nearest line above it stands for it.
  auto lineAt = [&](bool first) {
    for (int i = row; i >= 0; --i) {
      const TdvDiffRow& r = rows[static_cast<size_t>(i)];
      const int line = first ? r.Line1 : r.Line2;
      if (line >= 0) return line;
    }
    return 0;
  };
  RichEditScrollToLine(*RichEdit1, lineAt(true));
  RichEditScrollToLine(*RichEdit2, lineAt(false));
}

void TfrmMain::UndoExecute() {
  if (!FUndo->canUndo()) return;
  auto* step = static_cast<TCopyCommand*>(const_cast<QUndoCommand*>(FUndo->command(FUndo->index() - 1)));
  FUndo->undo();
  if (std::exception_ptr error = step->TakeError()) std::rethrow_exception(error);
}

void TfrmMain::RedoExecute() {
  if (!FUndo->canRedo()) return;
  auto* step = static_cast<TCopyCommand*>(const_cast<QUndoCommand*>(FUndo->command(FUndo->index())));
  FUndo->redo();
  if (std::exception_ptr error = step->TakeError()) std::rethrow_exception(error);
}

void TfrmMain::UpdateModified() {
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
  FSession->Latest().SetModified(dirty(FLatestSavedAt, true));
  FSession->History().SetModified(dirty(FHistorySavedAt, false));
  UpdateCaptions();
  UpdateActions();
}

void TfrmMain::UpdateCaptions() {
  const QString latest = QString::fromStdString(FSession->LatestFileName());
  const QString history = QString::fromStdString(FSession->HistoryFileName());
  const bool latestModified = FSession->Latest().Modified();
  const bool historyModified = FSession->History().Modified();
  if (!latest.isEmpty()) {
    ShowFileCaption(*GroupBox1, latest);
    if (latestModified) GroupBox1->SetCaption(QLatin1Char('*') + GroupBox1->Caption());
  }
  if (!history.isEmpty()) {
    ShowFileCaption(*GroupBox2, history);
    if (historyModified) GroupBox2->SetCaption(QLatin1Char('*') + GroupBox2->Caption());
  }
  // The version caption stays; with files open it follows their names, the
  // mark of unsaved changes first.
  if (latest.isEmpty()) {
    setWindowTitle(FVersionCaption);
  } else {
    QString names = QFileInfo(latest).fileName();
    if (!history.isEmpty()) names += QStringLiteral(", ") + QFileInfo(history).fileName();
    setWindowTitle(tr("[*]%1 - %2").arg(names, FVersionCaption));
  }
  setWindowModified(latestModified || historyModified);
}

// --- Saving and the unsaved changes ----------------------------------------------------

bool TfrmMain::SaveSide(bool latest, bool askForName) {
  TFileDialog& dialog = latest ? *SaveDialog1 : *SaveDialog2;
  QString fileName =
      QString::fromStdString(latest ? FSession->LatestFileName() : FSession->HistoryFileName());
  if (askForName || fileName.isEmpty()) {
    if (!dialog.Execute()) return false;
    fileName = dialog.FileName();
  }
  fileName = QFileInfo(fileName).absoluteFilePath();
  {
    // The watcher hears our own save as a change; it is not one to offer a reload for.
    FSavingOwnFile = true;
    toolkit::TScopeExit done([this] { FSavingOwnFile = false; });
    if (latest)
      FSession->SaveLatest(FileNameToCore(fileName));
    else
      FSession->SaveHistory(FileNameToCore(fileName));
  }
  dialog.SetFileName(fileName);
  (latest ? FLatestSavedAt : FHistorySavedAt) = FUndo->index();
  OpenSettings()->setValue(latest ? kLatestFolderKey : kHistoryFolderKey, QFileInfo(fileName).absolutePath());
  WatchFiles();
  UpdateModified();
  StatusBar1->ShowMessage(
      tr("%1 saved as %2").arg(latest ? tr("Latest") : tr("History"), QDir::toNativeSeparators(fileName)));
  return true;
}

bool TfrmMain::ConfirmDiscard(bool latest, bool history) {
  const struct {
    bool asked;
    bool isLatest;
    TQuillcrafterDoc& document;
    std::string fileName;
  } sides[] = {{latest, true, FSession->Latest(), FSession->LatestFileName()},
               {history, false, FSession->History(), FSession->HistoryFileName()}};
  for (const auto& side : sides) {
    if (!side.asked || !side.document.Modified()) continue;
    const QString name = side.fileName.empty() ? (side.isLatest ? tr("Latest") : tr("History"))
                                               : QFileInfo(QString::fromStdString(side.fileName)).fileName();
    switch (AskSaveChanges(name)) {
      case TSaveChoice::scSave:
        if (!SaveSide(side.isLatest, false)) return false;
        break;
      case TSaveChoice::scDiscard:
        break;
      case TSaveChoice::scCancel:
        return false;
    }
  }
  return true;
}

void TfrmMain::SaveExecute() { SaveSide(true, false); }
void TfrmMain::SaveHistoryExecute() { SaveSide(false, false); }
void TfrmMain::SaveHistoryAsExecute() { SaveSide(false, true); }

// Every class for now: the list shows them all. A filter of the list hands its classes here.
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

// --- After opening -----------------------------------------------------------------------

void TfrmMain::FilesOpened() {
  // The steps point at topics of the documents just replaced.
  FUndo->clear();
  FLatestSavedAt = 0;
  FHistorySavedAt = 0;
  FSession->Latest().SetModified(false);
  FSession->History().SetModified(false);
  const QString latest = QString::fromStdString(FSession->LatestFileName());
  const QString history = QString::fromStdString(FSession->HistoryFileName());
  AddRecentPair(latest, history);
  const std::unique_ptr<QSettings> settings = OpenSettings();
  settings->setValue(kLatestFolderKey, QFileInfo(latest).absolutePath());
  if (!history.isEmpty()) settings->setValue(kHistoryFolderKey, QFileInfo(history).absolutePath());
  WatchFiles();
  UpdateModified();
  // The search's texts are built while the window waits for the user.
  FPrepareTimer->start();
  // The topics are what one works through next.
  lbTopics->setFocus();
#if defined(__GLIBC__)
  // The pair just replaced was freed only after its successor was read:
  // the heap would otherwise keep room for two pairs for good.
  malloc_trim(0);
#endif
}

void TfrmMain::WatchFiles() {
  if (!FWatcher->files().isEmpty()) FWatcher->removePaths(FWatcher->files());
  for (const std::string& name : {FSession->LatestFileName(), FSession->HistoryFileName()})
    if (!name.empty()) FWatcher->addPath(QString::fromStdString(name));
}

void TfrmMain::FileChangedOnDisk(const QString& fileName) {
  if (FSavingOwnFile) return;
  const bool latest = fileName == QString::fromStdString(FSession->LatestFileName());
  const bool history = fileName == QString::fromStdString(FSession->HistoryFileName());
  if (!latest && !history) return;
  // A file replaced by renaming is no longer watched under its name.
  WatchFiles();
  if (!QFileInfo::exists(fileName)) return;
  if (!AskYesNo(tr("%1 has changed on disk. Read it again?").arg(QDir::toNativeSeparators(fileName)))) return;
  if (!ConfirmDiscard(latest, history && !latest)) return;
  if (latest)
    FSession->OpenFiles(FileNameToCore(fileName), std::nullopt);
  else
    FSession->OpenHistory(FileNameToCore(fileName));
  FilesOpened();
}

// --- Recent pairs and dropped files ----------------------------------------------------------

QStringList TfrmMain::RecentPairs() const { return FRecent; }

void TfrmMain::AddRecentPair(const QString& latest, const QString& history) {
  if (latest.isEmpty()) return;
  QString pair = QFileInfo(latest).absoluteFilePath();
  if (!history.isEmpty()) pair += QLatin1Char('\n') + QFileInfo(history).absoluteFilePath();
  // The bounded list of recent names, newest first; a pair opened again moves to the top.
  TRecentFiles recent;
  recent.SetMaxCount(RecentPairCount);
  for (qsizetype i = FRecent.size() - 1; i >= 0; --i) recent.AddFile(FRecent[i].toStdString());
  recent.AddFile(pair.toStdString());
  FRecent.clear();
  for (int i = 0; i < recent.Count(); ++i) FRecent << QString::fromStdString(recent[i]);
  OpenSettings()->setValue(kRecentKey, FRecent);
  FillRecentMenu();
}

void TfrmMain::FillRecentMenu() {
  RecentMenu->clear();
  for (qsizetype i = 0; i < FRecent.size(); ++i) {
    const QString pair = FRecent[i];
    QString label = QDir::toNativeSeparators(pair);
    label.replace(QLatin1Char('\n'), QStringLiteral("  \u2194  "));
    QAction* entry = RecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(label));
    connect(entry, &QAction::triggered, this, [this, pair] { Handle([this, pair] { OpenRecent(pair); }); });
  }
  RecentMenu->addSeparator();
  RecentMenu->addAction(ClearRecentAction);
  ClearRecentAction->setEnabled(!FRecent.isEmpty());
}

void TfrmMain::OpenRecent(const QString& pair) {
  const QStringList files = pair.split(QLatin1Char('\n'));
  for (const QString& file : files) {
    if (QFileInfo::exists(file)) continue;
    FRecent.removeAll(pair);
    OpenSettings()->setValue(kRecentKey, FRecent);
    FillRecentMenu();
    // The file name goes in as the file system's bytes, as the core reports names.
    std::string message = tr("%1 no longer exists; it is taken off the recent files.").toStdString();
    if (const size_t at = message.find("%1"); at != std::string::npos)
      message.replace(at, 2, FileNameToCore(file));
    throw EFOpenError(message);
  }
  OpenFiles(files.value(0), files.value(1));
}

void TfrmMain::ClearRecentExecute() {
  FRecent.clear();
  OpenSettings()->setValue(kRecentKey, FRecent);
  FillRecentMenu();
}

namespace {

QStringList ProjectFiles(const QMimeData* data) {
  QStringList files;
  if (data == nullptr || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile() && url.toLocalFile().endsWith(QStringLiteral(".qcp"), Qt::CaseInsensitive))
      files << url.toLocalFile();
  return files;
}

}  // namespace

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  const QStringList files = ProjectFiles(event->mimeData());
  if (files.size() == 1 || files.size() == 2) event->acceptProposedAction();
}

void TfrmMain::dropEvent(QDropEvent* event) {
  const QStringList files = ProjectFiles(event->mimeData());
  if (files.isEmpty() || files.size() > 2) return;
  // One file belongs to the side it lands on: right of the copy buttons is History.
  const QPoint at = event->position().toPoint();
  const bool onHistorySide = at.x() >= Panel5->mapTo(this, QPoint(Panel5->width() / 2, 0)).x();
  event->acceptProposedAction();
  Handle([&] { OpenDropped(files, onHistorySide); });
}

void TfrmMain::OpenDropped(const QStringList& files, bool onHistorySide) {
  if (files.size() == 2) {
    if (!ConfirmDiscard(true, true)) return;
    FSession->OpenFiles(FileNameToCore(files[0]), std::optional<std::string>(FileNameToCore(files[1])));
  } else if (onHistorySide) {
    if (!ConfirmDiscard(false, true)) return;
    FSession->OpenHistory(FileNameToCore(files[0]));
    SaveDialog2->SetFileName(QFileInfo(files[0]).absoluteFilePath());
  } else {
    if (!ConfirmDiscard(true, false)) return;
    FSession->OpenFiles(FileNameToCore(files[0]), std::nullopt);
  }
  if (files.size() == 2 || !onHistorySide) SaveDialog1->SetFileName(QFileInfo(files[0]).absoluteFilePath());
  if (files.size() == 2) SaveDialog2->SetFileName(QFileInfo(files[1]).absoluteFilePath());
  FilesOpened();
}

// The Latest side is the saved file from then on: its caption, the next
// Save and Save As, and the status bar say so.
void TfrmMain::btnSaveFileClick() { SaveSide(true, true); }

}  // namespace app
