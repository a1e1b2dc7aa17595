#include "app/PairView.h"

#include <QBoxLayout>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/WindowLayout.h"
#include "app/WindowParts.h"
#include "compare/FieldDifferences.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffViewer.h"
#include "diffview/dvListControl.h"
#include "document/QuillcrafterDoc.h"
#include "toolkit/Streams.h"

namespace app {

namespace {

constexpr int kTopicAreaHeight = 320;
constexpr int kGroupBoxWidth = 304;
constexpr int kButtonPanelWidth = 65;
// The most places of the search text marked in one topic text.
constexpr int kMostSearchMarks = 2000;

void LoadTopicText(const TQCTopic& topic, TRichEdit& richEdit) {
  TMemoryStream stream;
  stream.WriteString(topic.WholeText());
  stream.SetPosition(0);
  RichEditLoadFromStream(richEdit, stream);
}

/// Captions a topic pane with a file's name, marked when it has unsaved
/// changes; the tooltip gives its whole path.
void ShowFileCaption(TCaptionGroupBox& group, const std::string& fileName, bool modified) {
  if (fileName.empty()) return;
  const QFileInfo file(QString::fromStdString(fileName));
  group.SetCaption(modified ? QLatin1Char('*') + file.fileName() : file.fileName());
  group.setToolTip(QDir::toNativeSeparators(file.absoluteFilePath()));
}

}  // namespace

TPairView::TPairView(TComparisonSession& session, QWidget* parent) : QFrame(parent), FSession(session) {
  setObjectName(QStringLiteral("Panel3"));
  QBoxLayout* right = NewBox(QBoxLayout::TopToBottom, this);
  // Which fields the selected pair differs in, above the texts.
  FDifferencesStrip = new QLabel(this);
  FDifferencesStrip->setObjectName(QStringLiteral("DifferencesStrip"));
  FDifferencesStrip->setTextFormat(Qt::PlainText);
  FDifferencesStrip->setContentsMargins(4, 2, 4, 2);
  FDifferencesStrip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  FDifferencesStrip->setAccessibleName(tr("Differences"));
  FDifferencesStrip->hide();
  right->addWidget(FDifferencesStrip);
  FSplitter = new TSplitter(Qt::Vertical, this);
  FSplitter->setObjectName(QStringLiteral("Splitter2"));
  FSplitter->setHandleWidth(kSplitterWidth);
  FSplitter->setChildrenCollapsible(false);
  right->addWidget(FSplitter);

  QFrame* textsPanel = NewPanel(FSplitter, "Panel4", false);
  QBoxLayout* texts = NewBox(QBoxLayout::LeftToRight, textsPanel);
  auto makeGroup = [textsPanel](const char* groupName, const char* editName, TRichEdit*& edit) {
    auto* group = new TCaptionGroupBox(tr("File"), textsPanel);
    group->setObjectName(QLatin1String(groupName));
    QBoxLayout* inside = NewBox(QBoxLayout::TopToBottom, group);
    inside->setContentsMargins(2, 2, 2, 2);
    edit = NewTopicRichEdit(group, editName);
    inside->addWidget(RichEditWidget(edit));
    return group;
  };
  // Latest keeps its design width and History takes the rest; once the
  // window is too narrow for that, both panes shrink alike.
  FLatestGroup = makeGroup("GroupBox1", "RichEdit1", FLatestText);
  FLatestGroup->setMaximumWidth(kGroupBoxWidth);
  texts->addWidget(FLatestGroup, 1);
  FButtonPanel = NewPanel(textsPanel, "Panel5", false);
  FButtonPanel->setFixedWidth(kButtonPanelWidth);
  texts->addWidget(FButtonPanel);
  FHistoryGroup = makeGroup("GroupBox2", "RichEdit2", FHistoryText);
  texts->addWidget(FHistoryGroup, 1);

  const struct {
    const char* name;
    int top;
    int height;
  } buttons[] = {{"SpeedButton1", 48, 22},
                 {"SpeedButton2", 72, 22},
                 {"SpeedButton3", 104, 22},
                 {"SpeedButton4", 128, 25}};
  for (size_t i = 0; i < FCopyButtons.size(); ++i) {
    auto* button = new QToolButton(FButtonPanel);
    button->setObjectName(QLatin1String(buttons[i].name));
    button->setGeometry(16, buttons[i].top, 33, buttons[i].height);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    FCopyButtons[i] = button;
  }

  FViewer = new TdvDiffViewer(FSplitter);
  FViewer->setObjectName(QStringLiteral("dvDiffViewer1"));
  FViewer->SetSrc1Label(FromQString(tr("Latest")));
  FViewer->SetSrc2Label(FromQString(tr("History")));
  FViewer->SetDiffEngine(&FSession.DiffEngine());

  // What assistive technology says of each part.
  const struct {
    QWidget* widget;
    const char* name;
    const char* description;
  } spoken[] = {
      {FLatestGroup, QT_TR_NOOP("Latest topic"), QT_TR_NOOP("The selected topic in the Latest file")},
      {FHistoryGroup, QT_TR_NOOP("History topic"), QT_TR_NOOP("The matching topic in the History file")},
      {RichEditWidget(FLatestText), QT_TR_NOOP("Latest text"), QT_TR_NOOP("The Latest topic's text")},
      {RichEditWidget(FHistoryText), QT_TR_NOOP("History text"), QT_TR_NOOP("The History topic's text")},
      {FViewer, QT_TR_NOOP("Line difference"), QT_TR_NOOP("The two texts line by line, changes marked")},
      {FViewer->Pane1(), QT_TR_NOOP("Latest lines"),
       QT_TR_NOOP("The Latest text's lines, aligned with History's")},
      {FViewer->Pane2(), QT_TR_NOOP("History lines"),
       QT_TR_NOOP("The History text's lines, aligned with Latest's")},
  };
  for (const auto& part : spoken) {
    part.widget->setAccessibleName(tr(part.name));
    part.widget->setAccessibleDescription(tr(part.description));
  }

  // Shift+click or Shift+arrows pick the rows a copy of lines takes.
  for (TdvListControl* pane : {FViewer->Pane1(), FViewer->Pane2()}) pane->SetMultiSelect(true);

  FSplitter->addWidget(textsPanel);
  FSplitter->addWidget(FViewer);
  FSplitter->setStretchFactor(0, 0);
  FSplitter->setStretchFactor(1, 1);
  FSplitter->setSizes({kTopicAreaHeight, kFormSize.height() - kTopicAreaHeight});

  // The texts follow the difference: its top row stands level with them.
  connect(FViewer->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int row) {
    if (FScrollTogether) RunHandler([this, row] { ScrollTextsToRow(row); });
  });
}

TPairView::~TPairView() {
  // Not left registered with the session's engine.
  delete FViewer;
  FViewer = nullptr;
}

void TPairView::ShowSelectedPair() {
  const TQCTopic* latest = FSession.LatestTopic();
  const TQCTopic* history = FSession.HistoryTopic();
  // Each side shows its topic or nothing: never a topic of an earlier state.
  if (latest != nullptr) {
    LoadTopicText(*latest, *FLatestText);
    FViewer->SetSrc1Label(latest->Title());
  } else {
    RichEditClear(*FLatestText);
    FViewer->SetSrc1Label(history != nullptr ? std::string() : FromQString(tr("Latest")));
  }
  if (history != nullptr) {
    LoadTopicText(*history, *FHistoryText);
    FViewer->SetSrc2Label(history->Title());
  } else {
    // A topic without partner: that side is empty, caption included.
    RichEditClear(*FHistoryText);
    FViewer->SetSrc2Label(latest != nullptr ? std::string() : FromQString(tr("History")));
  }
  const std::vector<TRowFormatChange> formatChanges = FSession.SelectedFormatChanges();
  ShowFormatChanges(formatChanges);
  ShowCopyArrows();
  const std::string differences = DifferencesLine(FSession.SelectedFieldDifferences(), formatChanges);
  const QString strip =
      differences.empty() ? QString() : tr("Differences: %1").arg(QString::fromStdString(differences));
  FDifferencesStrip->setToolTip(strip);
  FDifferencesStrip->setText(
      FDifferencesStrip->fontMetrics().elidedText(strip, Qt::ElideRight, std::max(width() - 8, 40)));
  // Shown from the first open on, so the texts below do not jump with each pair.
  FDifferencesStrip->setVisible(!FSession.LatestFileName().empty());
}

void TPairView::ShowFileNames() {
  ShowFileCaption(*FLatestGroup, FSession.LatestFileName(), FSession.Latest().Modified());
  ShowFileCaption(*FHistoryGroup, FSession.HistoryFileName(), FSession.History().Modified());
}

void TPairView::ShowFormatChanges(const std::vector<TRowFormatChange>& changes) {
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
  // Rows that read the same but for their blanks get the same thin mark, on the blanks themselves.
  for (const TSelectedPair::TBlankRow& blank : FSession.Selection().BlankRows()) {
    auto it =
        std::find_if(notes.begin(), notes.end(), [&](const TdvRowNote& n) { return n.Row == blank.Row; });
    if (it == notes.end()) {
      notes.push_back({});
      it = notes.end() - 1;
      it->Row = blank.Row;
    }
    const QString tip = blank.Blanks.AtStart ? tr("Blanks at the line's start or end differ")
                                             : tr("Blanks at the line's end differ");
    it->ToolTip = it->ToolTip.isEmpty() ? tip : it->ToolTip + QLatin1Char('\n') + tip;
    for (const auto& [begin, length] : blank.Blanks.Spans1) it->Spans1.push_back({begin, length});
    for (const auto& [begin, length] : blank.Blanks.Spans2) it->Spans2.push_back({begin, length});
  }
  FViewer->SetRowNotes(std::move(notes));
}

void TPairView::FindInTexts(const QString& search) {
  QString text = search;
  text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
  FLatestMatches = RichEditFind(*FLatestText, text, kMostSearchMarks);
  FHistoryMatches = RichEditFind(*FHistoryText, text, kMostSearchMarks);
  FMatchAt = -1;
  MarkSearchMatches();
}

void TPairView::MarkSearchMatches() {
  const int latest = static_cast<int>(FLatestMatches.size());
  RichEditMarkSpans(*FLatestText, FLatestMatches, FMatchAt < latest ? FMatchAt : -1);
  RichEditMarkSpans(*FHistoryText, FHistoryMatches, FMatchAt >= latest ? FMatchAt - latest : -1);
}

bool TPairView::StepMatch(bool forward) {
  const int count = MatchCount();
  if (count == 0) return false;
  const int next = FMatchAt < 0 ? (forward ? 0 : count - 1) : FMatchAt + (forward ? 1 : -1);
  if (next < 0 || next >= count) return false;
  FMatchAt = next;
  MarkSearchMatches();
  return true;
}

void TPairView::EnterMatches(bool forward) {
  const int count = MatchCount();
  if (count == 0) return;
  FMatchAt = forward ? 0 : count - 1;
  MarkSearchMatches();
}

bool TPairView::NextChange(bool forward) {
  return ShowChangeRow(FSession.NextChangeRow(FViewer->Pane1()->ItemIndex(), forward));
}

bool TPairView::EnterChanges(bool forward) {
  const int rows = static_cast<int>(FSession.DiffEngine().Rows().size());
  return ShowChangeRow(FSession.NextChangeRow(forward ? -1 : rows, forward));
}

bool TPairView::ShowChangeRow(int row) {
  if (row < 0) return false;
  FViewer->verticalScrollBar()->setValue(row);
  for (TdvListControl* pane : {FViewer->Pane1(), FViewer->Pane2()}) pane->SetItemIndex(row);
  // Shown even when the texts do not scroll with the difference.
  if (!FScrollTogether) ScrollTextsToRow(row);
  return true;
}

TdvHunk TPairView::CopyRows() const {
  const TdvListControl* pane = FViewer->Pane1();
  if (pane->SelLength() > 0) return {pane->SelStart(), pane->SelLength() + 1};
  const std::vector<TdvDiffRow>& rows = FSession.DiffEngine().Rows();
  const std::vector<TdvHunk> hunks = FindDiffHunks(rows);
  const int row = pane->ItemIndex();
  for (const TdvHunk& hunk : hunks)
    if (row >= hunk.FirstRow && row < hunk.EndRow()) return hunk;
  return {std::max(row, 0), 0};
}

void TPairView::SetLockedSides(bool latest, bool history) {
  FLatestLocked = latest;
  FHistoryLocked = history;
  ShowCopyArrows();
}

void TPairView::ShowCopyArrows() {
  std::vector<int32_t> rows;
  const bool both = FSession.LatestTopic() != nullptr && FSession.HistoryTopic() != nullptr;
  if (both)
    for (const TdvHunk& hunk : FindDiffHunks(FSession.DiffEngine().Rows())) rows.push_back(hunk.FirstRow);
  FViewer->SetCopyArrows(std::move(rows), !FLatestLocked, !FHistoryLocked);
}

int TPairView::CurrentRow() const { return FViewer->Pane1()->ItemIndex(); }

void TPairView::ShowRow(int row) {
  const int count = static_cast<int>(FSession.DiffEngine().Rows().size());
  if (count == 0) return;
  row = std::clamp(row, 0, count - 1);
  for (TdvListControl* pane : {FViewer->Pane1(), FViewer->Pane2()}) pane->SetItemIndex(row);
  if (!FScrollTogether) ScrollTextsToRow(row);
}

void TPairView::ScrollTextsToRow(int row) {
  const std::vector<TdvDiffRow>& rows = FSession.DiffEngine().Rows();
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
  RichEditScrollToLine(*FLatestText, lineAt(true));
  RichEditScrollToLine(*FHistoryText, lineAt(false));
}

}  // namespace app
