#include "app/TopicListPane.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <algorithm>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/ColorScheme.h"
#include "app/CoreTexts.h"
#include "app/TopicListBox.h"
#include "app/WindowLayout.h"
#include "app/WindowParts.h"
#include "app/WindowSettings.h"
#include "compare/EntryFilter.h"
#include "qtbridge/QtGraphics.h"

namespace app {

namespace {

constexpr int kListItemHeight = 13;
// The mark of a list entry whose texts differ only in formatting, in the
// viewer's colour for such rows.
const char* const kFormattingMark = QT_TRANSLATE_NOOP("app::TTopicListPane", "Aa");

}  // namespace

QString ClassWord(TTopicComparison kind) { return CoreText(ClassInfo(kind).Words); }

TTopicListPane::TTopicListPane(TComparisonSession& session, THandle handle, QWidget* parent)
    : QFrame(parent), FSession(session) {
  setObjectName(QStringLiteral("Panel1"));
  QBoxLayout* left = NewBox(QBoxLayout::TopToBottom, this);
  QFrame* matchPanel = NewPanel(this, "Panel6", true);
  matchPanel->setFixedHeight(kToolPanelHeight);
  QBoxLayout* matchBox = NewBox(QBoxLayout::LeftToRight, matchPanel);
  // cbMatch at 8, 8 and 193 wide in a 217-wide panel: it keeps 16 to the right edge.
  // Positions count from the panel's outer edge, bevel included.
  const int bevel = matchPanel->frameWidth();
  matchBox->setContentsMargins(8 - bevel, 8 - bevel, kLeftPaneWidth - 8 - 193 - bevel, 0);
  FMatch = new QComboBox(matchPanel);
  FMatch->setObjectName(QStringLiteral("cbMatch"));
  FMatch->setEditable(false);
  for (const TMatchModeInfo& mode : MatchModeTable) FMatch->addItem(CoreText(mode.Name));
  FMatch->setCurrentIndex(0);
  matchBox->addWidget(FMatch, 1, Qt::AlignTop);
  left->addWidget(matchPanel);

  // Which classes the list shows, each switch with its count, and the search.
  QFrame* filterPanel = NewPanel(this, "FilterPanel", false);
  QBoxLayout* filters = NewBox(QBoxLayout::TopToBottom, filterPanel);
  filters->setContentsMargins(4, 4, 4, 4);
  filters->setSpacing(3);
  QBoxLayout* switches = NewBox(QBoxLayout::LeftToRight, nullptr);
  switches->setSpacing(2);
  for (size_t i = 0; i < FFilterButtons.size(); ++i) {
    auto* button = new QToolButton(filterPanel);
    button->setObjectName(QStringLiteral("FilterButton%1").arg(i));
    button->setCheckable(true);
    button->setChecked(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setAccessibleName(tr("Show %1 topics").arg(CoreText(TopicClassTable[i].Words)));
    switches->addWidget(button);
    FFilterButtons[i] = button;
    connect(button, &QToolButton::clicked, this,
            [this, i, handle] { handle([this, i] { FilterButtonClick(i); }); });
  }
  filters->addLayout(switches);
  FSearchBox = new TSearchBox(filterPanel);
  FSearchBox->setObjectName(QStringLiteral("SearchBox"));
  FSearchBox->setPlaceholderText(tr("Find topics (Ctrl+F)"));
  filters->addWidget(FSearchBox);
  left->addWidget(filterPanel);

  FList = new TListBox(this);
  FList->setObjectName(QStringLiteral("lbTopics"));
  // At least the classic row height, more where the font needs it (a larger
  // system font, a scaled screen's font substitute).
  FList->SetItemHeight(std::max(kListItemHeight, FList->fontMetrics().height()));
  int widestMark = 0;
  for (const TTopicClassInfo& info : TopicClassTable)
    widestMark = std::max(widestMark, FList->fontMetrics().horizontalAdvance(QString::fromUtf8(info.Mark)));
  FList->SetTextIndent(2 + widestMark + 4);
  left->addWidget(FList, 1);

  QFrame* buttonPanel = NewPanel(this, "Panel2", true);
  buttonPanel->setFixedHeight(kToolPanelHeight);
  QBoxLayout* buttonBox = NewBox(QBoxLayout::LeftToRight, buttonPanel);
  // Open at 8, 8; Save at 128, 8, keeping its 14 pixels to the right edge.
  buttonBox->setContentsMargins(8 - bevel, 8 - bevel, kLeftPaneWidth - 128 - 75 - bevel, 0);
  FOpenButton = new QPushButton(tr("Open..."), buttonPanel);
  FOpenButton->setObjectName(QStringLiteral("btnOpenFiles"));
  FOpenButton->setFixedSize(75, 25);
  FSaveButton = new QPushButton(tr("Save As..."), buttonPanel);
  FSaveButton->setObjectName(QStringLiteral("btnSaveFile"));
  FSaveButton->setFixedSize(75, 25);
  buttonBox->addWidget(FOpenButton, 0, Qt::AlignTop);
  buttonBox->addStretch(1);
  buttonBox->addWidget(FSaveButton, 0, Qt::AlignTop);
  left->addWidget(buttonPanel);

  // What assistive technology says of each control.
  const struct {
    QWidget* widget;
    const char* name;
    const char* description;
  } spoken[] = {
      {FMatch, QT_TR_NOOP("Match mode"), QT_TR_NOOP("How Latest topics find their History topics")},
      {FList, QT_TR_NOOP("Topics"), QT_TR_NOOP("The Latest topics, each with its comparison class")},
      {FSearchBox, QT_TR_NOOP("Find topics"),
       QT_TR_NOOP("Lists only the topics whose ID, title or text holds these words")},
      {FOpenButton, QT_TR_NOOP("Open"), QT_TR_NOOP("Open a Latest and a History project file")},
      {FSaveButton, QT_TR_NOOP("Save Latest as"), QT_TR_NOOP("Save the Latest project file under a name")},
  };
  for (const auto& part : spoken) {
    part.widget->setAccessibleName(tr(part.name));
    part.widget->setAccessibleDescription(tr(part.description));
  }

  connect(FMatch, &QComboBox::currentIndexChanged, this, [this, handle] {
    handle([this] {
      const int index = FMatch->currentIndex();
      FSession.SetMatchMode(MatchModeFromIndex(index));
      TWindowSettings::SetValue(TSetting::MatchMode, index);
      const QList<QAction*> modes = FMatchModes != nullptr ? FMatchModes->actions() : QList<QAction*>();
      if (index >= 0 && index < modes.size()) modes[index]->setChecked(true);
    });
  });
  connect(FSearchBox, &QLineEdit::textChanged, this, [this, handle] {
    handle([this] {
      FSession.Filter().SetSearchText(FSearchBox->text().toStdString());
      ShowEntries();
      if (OnSearchChanged) OnSearchChanged();
    });
  });
  FSearchBox->OnStep = [this, handle](bool forward) {
    handle([this, forward] {
      if (OnSearchStep) OnSearchStep(forward);
    });
  };
  // Remembered as a topic, so that the list can come back to it however the entries move.
  connect(FList->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
    const TComparisonEntry top = FSession.ClassifiedEntry(EntryOfRow(FList->indexAt(QPoint(0, 0)).row()));
    FTopTopic = top.Latest != nullptr ? top.Latest : top.History;
  });
  FList->OnItemToolTip = [this](int row) {
    const int index = EntryOfRow(row);
    if (index < 0) return QString();
    QString tip = QString::fromStdString(FSession.EntryToolTip(index));
    if (static_cast<size_t>(index) < FDoubts.Notes.size() &&
        !FDoubts.Notes[static_cast<size_t>(index)].empty())
      tip +=
          QLatin1Char('\n') +
          tr("Doubtful pairing: %1").arg(QString::fromStdString(FDoubts.Notes[static_cast<size_t>(index)]));
    return tip;
  };
  FList->OnItemDescription = [this](int row) {
    const int index = EntryOfRow(row);
    return index < 0 ? QString() : ClassWord(FSession.EntryClass(index));
  };
  FList->OnDrawItem = [this](TListBox* list, int index, QPainter& canvas, const QRect& rect, bool selected) {
    RunPainter([&] { DrawItem(list, index, canvas, rect, selected); });
  };
}

TTopicListPane::~TTopicListPane() {
  // The list's entries point into the Latest document.
  FSearchBox->OnStep = nullptr;
  FList->OnClick = nullptr;
  FList->OnDrawItem = nullptr;
  FList->Clear();
}

void TTopicListPane::ShowEntries() {
  const int topRow = FList->indexAt(QPoint(0, 0)).row();
  const int topEntry = FSession.EntryIndexOf(FTopTopic);
  FShownEntries = FSession.Filter().Listed();
  TStringList items;
  items.SetCapacity(static_cast<int>(FShownEntries.size()));
  for (int index : FShownEntries) items.Add(FSession.EntryCaption(index));
  FList->SetItems(items);
  // The list stays where it was: the topic at the top stays there (or the
  // first one listed after it), and the selected topic stays selected.
  int top = topRow;
  if (topEntry >= 0)
    top = static_cast<int>(std::lower_bound(FShownEntries.begin(), FShownEntries.end(), topEntry) -
                           FShownEntries.begin());
  if (top >= 0 && top < items.Count())
    FList->scrollTo(FList->model()->index(top, 0), QAbstractItemView::PositionAtTop);
  FList->SetItemIndex(RowOfEntry(FSession.SelectedIndex()));
  UpdateFilterButtons();
}

void TTopicListPane::FollowFilter() {
  if (FSession.Filter().Listed() != FShownEntries) ShowEntries();
}

void TTopicListPane::RedrawEntry(int index) {
  if (index < 0) {
    // Entries take their class when drawn.
    FList->viewport()->update();
    return;
  }
  const int row = RowOfEntry(index);
  if (row >= 0) FList->viewport()->update(FList->visualRect(FList->model()->index(row, 0)));
}

void TTopicListPane::AddMatchModes(QMenu& menu) {
  FMatchModes = new QActionGroup(this);
  for (int i = 0; i < FMatch->count(); ++i) {
    QAction* mode = menu.addAction(FMatch->itemText(i));
    mode->setCheckable(true);
    mode->setChecked(i == FMatch->currentIndex());
    FMatchModes->addAction(mode);
    connect(mode, &QAction::triggered, this, [this, i] { FMatch->setCurrentIndex(i); });
  }
}

void TTopicListPane::ShowSelected(int index) { FList->SetItemIndex(RowOfEntry(index)); }

int TTopicListPane::EntryOfRow(int row) const {
  return row >= 0 && row < static_cast<int>(FShownEntries.size()) ? FShownEntries[static_cast<size_t>(row)]
                                                                  : -1;
}

int TTopicListPane::RowOfEntry(int index) const {
  const auto it = std::lower_bound(FShownEntries.begin(), FShownEntries.end(), index);
  return index >= 0 && it != FShownEntries.end() && *it == index
             ? static_cast<int>(it - FShownEntries.begin())
             : -1;
}

int TTopicListPane::SelectedEntry() const { return EntryOfRow(FList->ItemIndex()); }

QString TTopicListPane::Caption(int index) const {
  QString text = ToQString(FSession.EntryCaption(index));
  const int32_t partner = FSession.PartnerIDIfOther(index);
  if (partner >= 0 && text.endsWith(QLatin1Char(')'))) {
    text.chop(1);
    text += QStringLiteral(" \u2194 %1)").arg(partner);
  }
  return text;
}

void TTopicListPane::UpdateDoubts() {
  FDoubts = FSession.PairingDoubts();
  FList->viewport()->update();
}

void TTopicListPane::UpdateFilterButtons() {
  TEntryFilter& filter = FSession.Filter();
  std::array<int32_t, TopicComparisonCount> counts = filter.Counts();
  // Topics only in History that are not listed are still counted, as any class switched off is.
  if (!FSession.ShowDeleted() && filter.SearchText().empty())
    counts[tcDeleted] = FSession.Pair().UnmatchedHistoryCount();
  for (size_t i = 0; i < FFilterButtons.size(); ++i) {
    QToolButton* button = FFilterButtons[i];
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

void TTopicListPane::FilterButtonClick(size_t kind) {
  if (kind >= FFilterButtons.size()) return;
  FSession.Filter().SetClassShown(static_cast<TTopicComparison>(kind), FFilterButtons[kind]->isChecked());
  ShowEntries();
}

void TTopicListPane::DrawItem(TListBox* list, int index, QPainter& canvas, const QRect& rect, bool selected) {
  const TStringList& items = list->Items();
  if (index < 0 || index >= items.Count()) return;
  canvas.fillRect(rect, canvas.background());
  const int indent = list->TextIndent();
  // The list's rows are the entries the filter lets through, in the same order.
  const int entry = EntryOfRow(index);
  if (entry >= 0) {
    const auto kind = static_cast<size_t>(FSession.ClassifiedEntry(entry).Class);
    if (!selected)
      canvas.setPen(ClassColor(static_cast<TTopicComparison>(kind), canvas.background().color()));
    canvas.drawText(QRect(rect.left() + 2, rect.top(), indent - 2, rect.height()),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    QString::fromUtf8(TopicClassTable[kind].Mark));
  }
  // The topic as it is now: a copy may have changed its title since the rows were made.
  QString caption = entry >= 0 ? Caption(entry) : ToQString(items[index]);
  if (entry >= 0 && static_cast<size_t>(entry) < FDoubts.Notes.size() &&
      !FDoubts.Notes[static_cast<size_t>(entry)].empty())
    caption = QStringLiteral("\u26A0 ") + caption;
  canvas.drawText(QRect(rect.left() + indent, rect.top(), rect.width() - indent, rect.height()),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption);
  // Texts that differ only in formatting carry a mark at the row's end, over the caption's tail.
  if (entry >= 0 && FSession.Filter().FormattingOnly(entry)) {
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

}  // namespace app
