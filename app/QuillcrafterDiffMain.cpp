#include "app/QuillcrafterDiffMain.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QToolButton>
#include <algorithm>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/ButtonImages.h"
#include "app/RichEditBridge.h"
#include "app/VersionInfo.h"
#include "compare/ComparisonSession.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffViewer.h"
#include "document/QuillcrafterDoc.h"

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

const QString kQcpFilter = QStringLiteral("Quillcrafter File (*.qcp)|*.qcp");

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
  ConnectHandlers();
  FormCreate();
}

TfrmMain::~TfrmMain() {
  // The viewer is a child widget and dies after the engine otherwise; it
  // must not be left registered with a dead engine, nor the documents
  // calling back into a half-destroyed window.
  // The list's entries point into the Latest document, which goes first.
  if (QuillcrafterDoc1) QuillcrafterDoc1->OnTopicChange = nullptr;
  if (QuillcrafterDoc2) QuillcrafterDoc2->OnTopicChange = nullptr;
  lbTopics->OnClick = nullptr;
  lbTopics->OnDrawItem = nullptr;
  lbTopics->Clear();
  StatusBar1->OnDrawPanel = nullptr;
  delete dvDiffViewer1;
  dvDiffViewer1 = nullptr;
  FMatcher.reset();
}

template <class F>
void TfrmMain::Handle(F&& handler) {
  RunHandler(std::forward<F>(handler));
  RunHandler([this] { UpdateActions(); });
}

// --- Design -------------------------------------------------------------------

void TfrmMain::CreateComponents() {
  QuillcrafterDoc1 = std::make_unique<TQuillcrafterDoc>();
  QuillcrafterDoc2 = std::make_unique<TQuillcrafterDoc>();
  // The settings both documents carry until a file is loaded, as the
  // comparison model gives them.
  TComparisonSession::ApplyDefaultSettings(*QuillcrafterDoc1);
  TComparisonSession::ApplyDefaultSettings(*QuillcrafterDoc2);
  FMatcher = std::make_unique<TTopicMatcher>(QuillcrafterDoc2->Topics());

  OpenDialog1 = std::make_unique<TFileDialog>(this, TFileDialog::TKind::dkOpen);
  OpenDialog1->SetTitle(QStringLiteral("Open Latest Quillcrafter File"));
  OpenDialog2 = std::make_unique<TFileDialog>(this, TFileDialog::TKind::dkOpen);
  OpenDialog2->SetTitle(QStringLiteral("Open Quillcrafter History File"));
  for (TFileDialog* dialog : {OpenDialog1.get(), OpenDialog2.get()}) {
    dialog->SetFilter(kQcpFilter);
    dialog->SetDefaultExt(QStringLiteral("qcp"));
    dialog->SetOptions(TOpenOption::ofFileMustExist | TOpenOption::ofHideReadOnly |
                       TOpenOption::ofEnableSizing);
  }
  SaveDialog1 = std::make_unique<TFileDialog>(this, TFileDialog::TKind::dkSave);
  SaveDialog1->SetTitle(QStringLiteral("Save Latest File As..."));
  SaveDialog1->SetFilter(kQcpFilter);
  SaveDialog1->SetDefaultExt(QStringLiteral("qcp"));
  SaveDialog1->SetOptions(TOpenOption::ofOverwritePrompt | TOpenOption::ofHideReadOnly |
                          TOpenOption::ofEnableSizing);

  dvDiffEngine1 = std::make_unique<TdvDiffEngine>();
  dvDiffEngine1->SetDiffOptions({fdoCaseSensitive, fdoIgnoreTrailingWhiteSpace, fdoIgnoreLeadingWhiteSpace});

  ImageList1 = {ButtonIcon(biHandLeft), ButtonIcon(biHandRight), ButtonIcon(biArrowLeft),
                ButtonIcon(biArrowRight)};
}

void TfrmMain::CreateLayout() {
  QFont formFont(QStringLiteral("MS Sans Serif"));
  formFont.setPixelSize(11);
  formFont.setStyleHint(QFont::SansSerif);
  setFont(formFont);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, ToQColor(clBtnFace));
  pal.setColor(QPalette::Button, ToQColor(clBtnFace));
  pal.setColor(QPalette::WindowText, ToQColor(clWindowText));
  pal.setColor(QPalette::Highlight, ToQColor(clHighlight));
  pal.setColor(QPalette::HighlightedText, ToQColor(clHighlightText));
  setPalette(pal);
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
  StatusBar1->AddPanel(QStringLiteral("Different Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(QStringLiteral("Identical Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(QStringLiteral("Identical Text Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(QStringLiteral("New Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(QStringLiteral("Deleted Topics:"), 160, TStatusPanelStyle::psOwnerDraw);
  StatusBar1->AddPanel(QStringLiteral("Different"), 50, TStatusPanelStyle::psText);
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
  for (const char* name : MatchModeNames) cbMatch->addItem(QLatin1String(name));
  cbMatch->setCurrentIndex(0);
  matchBox->addWidget(cbMatch, 1, Qt::AlignTop);
  left->addWidget(Panel6);

  lbTopics = new TListBox(Panel1);
  lbTopics->setObjectName(QStringLiteral("lbTopics"));
  lbTopics->SetItemHeight(kListItemHeight);
  left->addWidget(lbTopics, 1);

  Panel2 = NewPanel(Panel1, "Panel2", true);
  Panel2->setFixedHeight(kToolPanelHeight);
  QBoxLayout* buttonBox = NewBox(QBoxLayout::LeftToRight, Panel2);
  // Open at 8, 8; Save at 128, 8, keeping its 14 pixels to the right edge.
  buttonBox->setContentsMargins(8 - bevel, 8 - bevel, kLeftPaneWidth - 128 - 75 - bevel, 0);
  btnOpenFiles = new QPushButton(QStringLiteral("Open..."), Panel2);
  btnOpenFiles->setObjectName(QStringLiteral("btnOpenFiles"));
  btnOpenFiles->setFixedSize(75, 25);
  btnSaveFile = new QPushButton(QStringLiteral("Save As..."), Panel2);
  btnSaveFile->setObjectName(QStringLiteral("btnSaveFile"));
  btnSaveFile->setFixedSize(75, 25);
  buttonBox->addWidget(btnOpenFiles, 0, Qt::AlignTop);
  buttonBox->addStretch(1);
  buttonBox->addWidget(btnSaveFile, 0, Qt::AlignTop);
  left->addWidget(Panel2);

  // Right part: the two topic texts with the copy buttons, the viewer below.
  Panel3 = NewPanel(Splitter1, "Panel3", false);
  QBoxLayout* right = NewBox(QBoxLayout::TopToBottom, Panel3);
  Splitter2 = new TSplitter(Qt::Vertical, Panel3);
  Splitter2->setObjectName(QStringLiteral("Splitter2"));
  Splitter2->setHandleWidth(kSplitterWidth);
  Splitter2->setChildrenCollapsible(false);
  right->addWidget(Splitter2);

  Panel4 = NewPanel(Splitter2, "Panel4", false);
  QBoxLayout* texts = NewBox(QBoxLayout::LeftToRight, Panel4);
  auto makeGroup = [this](const char* groupName, const char* editName, TRichEdit*& edit) {
    auto* group = new TCaptionGroupBox(QStringLiteral("File"), Panel4);
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
  dvDiffViewer1->SetChangedTextColor(clBlack);
  dvDiffViewer1->SetDeletedTextColor(clBlack);
  dvDiffViewer1->SetInsertedTextColor(clBlack);
  dvDiffViewer1->SetSrc1Label("Source 1");
  dvDiffViewer1->SetSrc2Label("Source 2");
  dvDiffViewer1->SetDiffEngine(dvDiffEngine1.get());

  FocusMark = new TFocusMark(this);

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
      {CopyToOrig, "CopyToOrig", "Copy ENTIRE Topic from History to Original",
       QKeySequence(Qt::CTRL | Qt::Key_E), biHandLeft, SpeedButton1},
      {CopyTextToOrig, "CopyTextToOrig", "Copy Topic TEXT ONLY from History to Original",
       QKeySequence(Qt::CTRL | Qt::Key_T), biArrowLeft, SpeedButton2},
      {CopyToHist, "CopyToHist", "Copy ENTIRE Topic from Original To History",
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E), biHandRight, SpeedButton4},
      {CopyTextToHist, "CopyTextToHist", "Copy Topic TEXT ONLY from Original to History",
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T), biArrowRight, SpeedButton3},
  };
  for (const TActionDesign& design : designs) {
    auto* action = new QAction(ImageList1[static_cast<size_t>(design.image)], QString(), this);
    action->setObjectName(QLatin1String(design.name));
    action->setToolTip(QStringLiteral("%1 (%2)").arg(QLatin1String(design.hint),
                                                     design.shortcut.toString(QKeySequence::NativeText)));
    action->setStatusTip(QLatin1String(design.hint));
    action->setShortcut(design.shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setEnabled(false);
    addAction(action);
    design.button->setDefaultAction(action);
    design.action = action;
  }
}

void TfrmMain::ConnectHandlers() {
  connect(btnOpenFiles, &QPushButton::clicked, this, [this] { Handle([this] { btnOpenFilesClick(); }); });
  connect(btnSaveFile, &QPushButton::clicked, this, [this] { Handle([this] { btnSaveFileClick(); }); });
  connect(cbMatch, &QComboBox::currentIndexChanged, this, [this] { Handle([this] { cbMatchChange(); }); });
  connect(CopyToOrig, &QAction::triggered, this, [this] { Handle([this] { CopyToOrigExecute(); }); });
  connect(CopyTextToOrig, &QAction::triggered, this, [this] { Handle([this] { CopyTextToOrigExecute(); }); });
  connect(CopyToHist, &QAction::triggered, this, [this] { Handle([this] { CopyToHistExecute(); }); });
  connect(CopyTextToHist, &QAction::triggered, this, [this] { Handle([this] { CopyTextToHistExecute(); }); });
  lbTopics->OnClick = [this](TListBox*) { Handle([this] { lbTopicsClick(); }); };
  // Painting must never throw out of a paint event, nor open a message box
  // in the middle of one (which would paint again): an item or panel whose
  // drawing fails keeps the colours the control prepared.
  lbTopics->OnDrawItem = [this](TListBox* list, int index, QPainter& canvas, const QRect& rect,
                                bool selected) {
    try {
      lbTopicsDrawItem(list, index, canvas, rect, selected);
    } catch (...) {
    }
  };
  StatusBar1->OnDrawPanel = [this](TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect) {
    try {
      StatusBar1DrawPanel(bar, panel, canvas, rect);
    } catch (...) {
    }
  };
  // A document raises its topic-change event inside the handler that changed
  // the topic, so an error here ends that handler like any other.
  QuillcrafterDoc1->OnTopicChange = [this](TObject* sender, TQCTopic* topic) {
    QuillcrafterDoc1TopicChange(sender, topic);
  };
  QuillcrafterDoc2->OnTopicChange = [this](TObject* sender, TQCTopic* topic) {
    QuillcrafterDoc2TopicChange(sender, topic);
  };
}

QRect TfrmMain::FirstFrameGeometry() const {
  const QScreen* where = screen();
  if (where == nullptr) return QRect(kFormPosition, kFormSize);
  const QRect free = where->availableGeometry();
  const QSize size = kFormSize.boundedTo(free.size());
  // The design's place, moved in just far enough to show the whole window.
  const int x = std::clamp(kFormPosition.x(), free.left(), free.left() + free.width() - size.width());
  const int y = std::clamp(kFormPosition.y(), free.top(), free.top() + free.height() - size.height());
  return QRect(QPoint(x, y), size);
}

void TfrmMain::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (FOuterSizeApplied) return;
  FOuterSizeApplied = true;
  // The first geometry is the outer one; the frame is known only once shown.
  const QRect outer = FirstFrameGeometry();
  const QSize frame = frameGeometry().size() - geometry().size();
  if (!frame.isEmpty()) resize(outer.size() - frame);
  move(outer.topLeft());
}

// --- Start and open -------------------------------------------------------------

void TfrmMain::FormCreate() {
  setWindowTitle(ToQString(GetVersionCaption(ProgramFileName())));
  // The keyboard starts in the list: a first arrow key picks a topic rather
  // than silently switching the match mode.
  lbTopics->setFocus();
}

void TfrmMain::ShowFileCaption(TCaptionGroupBox& group, const QString& fileName) {
  const QFileInfo file(fileName);
  group.SetCaption(file.fileName());
  group.setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
}

TTopicMatchMode TfrmMain::MatchMode() const { return MatchModeFromIndex(cbMatch->currentIndex()); }

void TfrmMain::btnOpenFilesClick() {
  if (!OpenDialog1->Execute()) return;
  lbTopics->Clear();
  FOrigTopic = nullptr;
  FHistTopic = nullptr;
  QuillcrafterDoc1->LoadFromFile(FileNameToCore(OpenDialog1->FileName()));
  ShowFileCaption(*GroupBox1, OpenDialog1->FileName());
  SaveDialog1->SetFileName(QFileInfo(OpenDialog1->FileName()).absoluteFilePath());
  if (OpenDialog2->Execute()) {
    QuillcrafterDoc2->LoadFromFile(FileNameToCore(OpenDialog2->FileName()));
    ShowFileCaption(*GroupBox2, OpenDialog2->FileName());
  }
  TStringList items;
  items.Assign(QuillcrafterDoc1->Topics());
  lbTopics->SetItems(items);
  RecountTopics();
  // The topics are what one works through next.
  lbTopics->setFocus();
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

TQCTopic* TfrmMain::FindMatchingTopic(TQCTopic* topic) {
  if (topic == nullptr) return nullptr;
  return FMatcher->FindMatchingTopic(*topic, MatchMode());
}

TTopicComparison TfrmMain::CompareTopic(TQCTopic* topic) {
  return FMatcher->CompareTopic(*topic, MatchMode());
}

void TfrmMain::RecountTopics() {
  FCounters = TTopicCounters{};
  FCounters = FMatcher->RecountTopics(QuillcrafterDoc1->Topics(), MatchMode());
  UpdateStatusBar();
}

void TfrmMain::UpdateStatusBar() {
  for (int i = 0; i < TopicComparisonCount; ++i)
    StatusBar1->SetPanelText(i, ToQString(StatusPanelText(FCounters, i)));
  StatusBar1->SetPanelText(5, QLatin1String(PairStateText(FOrigTopic, FHistTopic)));
}

void TfrmMain::cbMatchChange() {
  RecountTopics();
  lbTopics->viewport()->update();
  update();
}

// --- Drawing ----------------------------------------------------------------------

void TfrmMain::lbTopicsDrawItem(TListBox* control, int index, QPainter& canvas, const QRect& rect,
                                bool selected) {
  const TStringList& items = control->Items();
  if (index < 0 || index >= items.Count()) return;
  auto* topic = dynamic_cast<TQCTopic*>(items.Objects(index));
  if (!selected && topic != nullptr)
    canvas.setPen(ToQColor(ComparisonColors[static_cast<size_t>(CompareTopic(topic))]));
  canvas.fillRect(rect, canvas.background());
  canvas.drawText(QRect(rect.left() + 2, rect.top(), rect.width() - 2, rect.height()),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, ToQString(items[index]));
}

void TfrmMain::StatusBar1DrawPanel(TStatusBar* statusBar, int panel, QPainter& canvas, const QRect& rect) {
  if (panel < 0 || panel >= TopicComparisonCount) return;
  canvas.setPen(ToQColor(ComparisonColors[static_cast<size_t>(panel)]));
  canvas.fillRect(rect, canvas.background());
  canvas.drawText(QRect(rect.left() + 2, rect.top(), rect.width() - 2, rect.height()),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                  ElidedText(statusBar->Panel(panel).Text, canvas.fontMetrics(), rect.width() - 2));
}

// --- The selected pair -----------------------------------------------------------

void TfrmMain::lbTopicsClick() {
  const int index = lbTopics->ItemIndex();
  if (index < 0) return;
  FOrigTopic = dynamic_cast<TQCTopic*>(lbTopics->Items().Objects(index));
  // Every entry carries its topic; should one not, there is no pair to show.
  FHistTopic = nullptr;
  if (FOrigTopic == nullptr) {
    UpdateStatusBar();
    return;
  }
  LoadRichEditFromStrings(FOrigTopic->Text(), *RichEdit1);
  dvDiffViewer1->SetSrc1Label(FOrigTopic->Title());
  FHistTopic = FindMatchingTopic(FOrigTopic);
  if (FHistTopic != nullptr) {
    LoadRichEditFromStrings(FHistTopic->Text(), *RichEdit2);
    dvDiffViewer1->SetSrc2Label(FHistTopic->Title());
  } else {
    RichEditClear(*RichEdit2);
  }
  CompareTopicTexts();
  UpdateStatusBar();
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

void TfrmMain::CompareTopicTexts() {
  // The topics' own plain texts, as UTF-8, through the function qctool uses
  // too: a letter outside the file's code page still counts as a change.
  auto plain = [](const TQCTopic* topic) {
    return topic ? RtfPlainTextCrLf(topic->WholeText()) : std::string();
  };
  dvDiffEngine1->CompareStrings(plain(FOrigTopic), plain(FHistTopic));
}

void TfrmMain::QuillcrafterDoc1TopicChange(TObject* /*sender*/, TQCTopic* topic) {
  if (FOrigTopic != nullptr && topic == FOrigTopic) {
    LoadRichEditFromStrings(FOrigTopic->Text(), *RichEdit1);
    CompareTopicTexts();
  }
}

void TfrmMain::QuillcrafterDoc2TopicChange(TObject* /*sender*/, TQCTopic* topic) {
  if (FHistTopic != nullptr && topic == FHistTopic) {
    LoadRichEditFromStrings(FHistTopic->Text(), *RichEdit2);
    CompareTopicTexts();
  }
}

// --- Copy and save ------------------------------------------------------------------

bool TfrmMain::PairDiffers() const {
  return FOrigTopic != nullptr && FHistTopic != nullptr && !FOrigTopic->IsEqual(FHistTopic);
}

void TfrmMain::CopyToOrigUpdate(QAction* action) { action->setEnabled(PairDiffers()); }

void TfrmMain::UpdateActions() {
  for (QAction* action : {CopyToOrig, CopyTextToOrig, CopyToHist, CopyTextToHist}) CopyToOrigUpdate(action);
}

// A copy runs only on a pair that enables the actions, even when called
// directly: without a pair there is nothing to copy from or into.
void TfrmMain::CopyToOrigExecute() {
  if (!PairDiffers()) return;
  FOrigTopic->Assign(*FHistTopic);
  CopiedIntoPair();
}

void TfrmMain::CopyTextToOrigExecute() {
  if (!PairDiffers()) return;
  FOrigTopic->SetText(FHistTopic->Text());
  CopiedIntoPair();
}

void TfrmMain::CopyToHistExecute() {
  if (!PairDiffers()) return;
  FHistTopic->Assign(*FOrigTopic);
  CopiedIntoPair();
}

void TfrmMain::CopyTextToHistExecute() {
  if (!PairDiffers()) return;
  FHistTopic->SetText(FOrigTopic->Text());
  CopiedIntoPair();
}

void TfrmMain::CopiedIntoPair() {
  RecountTopics();
  // Entries take their class when drawn; redraw the visible ones now rather
  // than leave a stale colour until the list happens to repaint.
  lbTopics->viewport()->update();
}

void TfrmMain::btnSaveFileClick() {
  if (!SaveDialog1->Execute()) return;
  const QString fileName = QFileInfo(SaveDialog1->FileName()).absoluteFilePath();
  QuillcrafterDoc1->SaveToFile(FileNameToCore(fileName));
  // The Latest side is that file now: its caption, the next Save As and the
  // status bar say so.
  SaveDialog1->SetFileName(fileName);
  ShowFileCaption(*GroupBox1, fileName);
  StatusBar1->ShowMessage(QStringLiteral("Latest saved as %1").arg(QDir::toNativeSeparators(fileName)));
}

}  // namespace app
