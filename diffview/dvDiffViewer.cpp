#include "diffview/dvDiffViewer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "diffview/dvLibrary.h"
#include "qtbridge/QtText.h"
#include "toolkit/ScopeGuard.h"

namespace {

/// Sets a flag for the lifetime of the object, also when an exception leaves.
class TFlagGuard {
 public:
  explicit TFlagGuard(bool& flag) : FFlag(flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = false; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

 private:
  bool& FFlag;
};

}  // namespace

// ---------------------------------------------------------------------------
// TdvCustomDiffViewer

TdvCustomDiffViewer::TdvCustomDiffViewer(QWidget* parent) : QAbstractScrollArea(parent) { resize(250, 150); }

TdvCustomDiffViewer::~TdvCustomDiffViewer() {
  // The map must not call back into a viewer that is gone.
  if (FDiffMap) FDiffMap->OnMapClick = nullptr;
  SetDiffEngine(nullptr);
}

TdvCustomDiffEngine* TdvCustomDiffViewer::DiffEngine() const {
  const auto& engines = RegisteredEngines();
  return engines.empty() ? nullptr : engines.back();
}

void TdvCustomDiffViewer::SetDiffEngine(TdvCustomDiffEngine* value) {
  if (value != nullptr && RegisteredEngines().size() == 1 && DiffEngine() == value) return;
  // Copy: unregistering edits the list.
  const auto engines = RegisteredEngines();
  for (auto* engine : engines) engine->UnregisterViewer(this);
  if (value) value->RegisterViewer(this);
}

void TdvCustomDiffViewer::SetDiffMap(TdvDiffMap* value) {
  if (value == FDiffMap) return;
  if (FDiffMap) FDiffMap->OnMapClick = nullptr;
  FDiffMap = value;
  if (!FDiffMap) return;
  FDiffMap->SetMapData(MapData());
  QPointer<TdvCustomDiffViewer> self(this);
  FDiffMap->OnMapClick = [self](TdvDiffMap* sender, int32_t indicatorPos) {
    if (self) self->MapClick(sender, indicatorPos);
  };
}

std::string TdvCustomDiffViewer::MapData() const {
  std::string data;
  if (!DiffEngine()) return data;
  const std::vector<TdvDiffRow>& rows = DiffEngine()->LineRows();
  data.reserve(rows.size());
  for (const TdvDiffRow& row : rows) {
    switch (row.Kind1) {
      case dkDeleted:
        data.push_back(static_cast<char>(mkDeleted));
        break;
      case dkChanged:
        data.push_back(static_cast<char>(mkModified));
        break;
      case dkFiller:
        data.push_back(static_cast<char>(mkInserted));
        break;
      default:
        data.push_back(static_cast<char>(mkSame));
        break;
    }
  }
  return data;
}

void TdvCustomDiffViewer::DiffChanged() {
  if (FDiffMap) FDiffMap->SetMapData(MapData());
}

void TdvCustomDiffViewer::SetEmptyBGColor(TColor value) {
  FEmptyBGColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetDiffBGColor(TColor value) {
  FDiffBGColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetWordBGColor(TColor value) {
  FWordBGColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetFormatBGColor(TColor value) {
  FFormatBGColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetFormatSpanColor(TColor value) {
  FFormatSpanColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetFormatMarkColor(TColor value) {
  FFormatMarkColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetSimpleDiffViewer(bool value) {
  FSimpleDiffViewer = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetInsertedTextColor(TColor value) {
  FInsertedTextColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetDeletedTextColor(TColor value) {
  FDeletedTextColor = value;
  viewport()->update();
}

void TdvCustomDiffViewer::SetChangedTextColor(TColor value) {
  FChangedTextColor = value;
  viewport()->update();
}

// ---------------------------------------------------------------------------
// TdvDiffViewer

TdvDiffViewer::TdvDiffViewer(QWidget* parent) : TdvCustomDiffViewer(parent) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  setFocusPolicy(Qt::NoFocus);  // the panes take the focus, not the viewer
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAutoFillBackground(false);

  FHeader = new QFrame(viewport());
  FHeader->setFrameStyle(QFrame::Panel | QFrame::Raised);
  FCaption1 = new QLabel(QStringLiteral("Source 1"), FHeader);
  FCaption1->setAlignment(Qt::AlignCenter);
  FCaption2 = new QLabel(QStringLiteral("Source 2"), FHeader);
  FCaption2->setAlignment(Qt::AlignCenter);
  FPane1 = CreatePane("s1");
  FSeparator = new QFrame(viewport());
  FSeparator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
  FSeparator->setLineWidth(1);
  FPane2 = CreatePane("s2");
  FGutter = new TdvCopyGutter(this, viewport());
  FGutter->hide();

  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { BarAction(1, action); });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { BarAction(0, action); });
  LayoutChildren();
}

TdvDiffViewer::~TdvDiffViewer() {
  // The panes outlive this body (the viewport deletes them later); they
  // must not call back into a half-destroyed viewer.
  for (TdvListControl* pane : {FPane1, FPane2}) {
    pane->OnScroll = nullptr;
    pane->OnFormatDrawing = nullptr;
    pane->OnItemToolTip = nullptr;
  }
}

TdvListControl* TdvDiffViewer::CreatePane(const char* name) {
  auto* pane = new TdvListControl(viewport());
  pane->setObjectName(QLatin1String(name));
  pane->setFont(font());
  pane->setFocusPolicy(Qt::StrongFocus);
  pane->OnScroll = [this](TdvCustomScrollableControl* sender, int32_t scrollBar) {
    PaneScroll(sender, scrollBar);
  };
  pane->OnFormatDrawing = [this](TdvListControl* sender, TdvCanvas& canvas, bool selected, std::string& str) {
    FormatDrawing(sender, canvas, selected, str);
  };
  pane->OnItemToolTip = [this](int32_t index) {
    const TdvRowNote* note = RowNote(index);
    return note != nullptr ? note->ToolTip : QString();
  };
  return pane;
}

std::string TdvDiffViewer::Src1Label() const { return qtbridge::QStringToAnsi(FCaption1->text()); }
std::string TdvDiffViewer::Src2Label() const { return qtbridge::QStringToAnsi(FCaption2->text()); }
void TdvDiffViewer::SetSrc1Label(const std::string& value) { FCaption1->setText(dvToQString(value)); }
void TdvDiffViewer::SetSrc2Label(const std::string& value) { FCaption2->setText(dvToQString(value)); }

int TdvDiffViewer::ClientWidth() const { return viewport()->width(); }

int TdvDiffViewer::HeaderHeight() const { return QFontMetrics(font()).height() + 4; }

void TdvDiffViewer::LayoutChildren() {
  const int width = ClientWidth();
  const int height = viewport()->height();
  const int header = HeaderHeight();
  FHeader->setGeometry(0, 0, width, header);
  const int half = width / 2;
  FCaption1->setGeometry(0, 0, half, header);
  FCaption2->setGeometry(half, 0, width - half, header);
  // Pane 2 takes the odd pixel.
  const bool arrows = !FArrowRows.empty();
  const int separator = arrows ? GutterWidth() : kSeparatorWidth;
  const int panes = std::max(width - separator, 0);
  const int width1 = panes / 2;
  const int width2 = width1 + panes % 2;
  const int paneHeight = std::max(height - header, 0);
  FPane1->setGeometry(0, header, width1, paneHeight);
  FSeparator->setGeometry(width1, header, kSeparatorWidth, paneHeight);
  FSeparator->setVisible(!arrows);
  FGutter->setGeometry(width1, header, separator, paneHeight);
  FGutter->setVisible(arrows);
  FPane2->setGeometry(width1 + separator, header, width2, paneHeight);
  UpdateScrollBars();
}

int TdvDiffViewer::GutterWidth() const { return 2 * std::max(FPane1->ItemHeight(), 12) + 4; }

void TdvDiffViewer::SetCopyArrows(std::vector<int32_t> firstRows, bool toLatest, bool toHistory) {
  if (!toLatest && !toHistory) firstRows.clear();
  const bool relayout = firstRows.empty() != FArrowRows.empty();
  FArrowRows = std::move(firstRows);
  FArrowsToLatest = toLatest;
  FArrowsToHistory = toHistory;
  if (relayout) LayoutChildren();
  FGutter->update();
}

QRect TdvDiffViewer::CopyArrowRect(int32_t row, bool toLatest) const {
  if (!FGutter->isVisible() || !(toLatest ? FArrowsToLatest : FArrowsToHistory)) return {};
  if (!std::binary_search(FArrowRows.begin(), FArrowRows.end(), row)) return {};
  const int itemHeight = std::max(FPane1->ItemHeight(), 1);
  const int y = (row - FPane1->TopIndex()) * itemHeight;
  if (y < 0 || y >= FGutter->height()) return {};
  const int half = FGutter->width() / 2;
  const QRect inGutter(toLatest ? 0 : half, y, half, itemHeight);
  return inGutter.translated(FGutter->mapTo(this, QPoint(0, 0)));
}

TdvCopyGutter::TdvCopyGutter(TdvDiffViewer* viewer, QWidget* parent) : QWidget(parent), FViewer(viewer) {
  setObjectName(QStringLiteral("CopyGutter"));
  setMouseTracking(true);
}

void TdvCopyGutter::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(width() / 2, 0, width() / 2, height());
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor arrow = palette().color(QPalette::Highlight);
  for (int32_t row : FViewer->FArrowRows)
    for (bool toLatest : {true, false}) {
      QRect box = FViewer->CopyArrowRect(row, toLatest);
      if (box.isEmpty()) continue;
      box.translate(-mapTo(FViewer, QPoint(0, 0)));
      const QRectF r = QRectF(box).adjusted(3, 2, -3, -2);
      // A triangle pointing at the side the block goes to.
      QPolygonF triangle;
      if (toLatest)
        triangle << QPointF(r.left(), r.center().y()) << r.topRight() << r.bottomRight();
      else
        triangle << r.topLeft() << r.bottomLeft() << QPointF(r.right(), r.center().y());
      painter.setPen(Qt::NoPen);
      painter.setBrush(box.contains(FHover) ? arrow.darker(140) : arrow);
      painter.drawPolygon(triangle);
    }
}

void TdvCopyGutter::mouseMoveEvent(QMouseEvent* event) {
  FHover = event->position().toPoint();
  update();
}

void TdvCopyGutter::leaveEvent(QEvent*) {
  FHover = QPoint(-1, -1);
  update();
}

void TdvCopyGutter::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = mapTo(FViewer, event->position().toPoint());
  for (int32_t row : FViewer->FArrowRows)
    for (bool toLatest : {true, false})
      if (FViewer->CopyArrowRect(row, toLatest).contains(at)) {
        // The handler compares again and sets new arrows: the loop ends here.
        if (FViewer->OnCopyArrow) FViewer->OnCopyArrow(row, toLatest);
        return;
      }
}

void TdvDiffViewer::resizeEvent(QResizeEvent*) { LayoutChildren(); }

void TdvDiffViewer::changeEvent(QEvent* event) {
  TdvCustomDiffViewer::changeEvent(event);
  if (event->type() == QEvent::FontChange && FPane1) {
    FPane1->setFont(font());
    FPane2->setFont(font());
    ShareContentWidth();
    LayoutChildren();
  }
}

void TdvDiffViewer::wheelEvent(QWheelEvent* event) {
  // A wheel turned over the header or a bar scrolls the rows.
  QCoreApplication::sendEvent(FPane1->viewport(), event);
}

void TdvDiffViewer::UpdateVertBar() {
  if (FGutter) FGutter->update();
  const TFlagGuard guard(FUpdatingBars);
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, FPane1->MaxTopIndex());
  bar->setPageStep(std::max(FPane1->GetPageItems(), 1));
  bar->setValue(FPane1->TopIndex());
}

void TdvDiffViewer::UpdateHorzBar() {
  if (FIndependantHorzControl) return;
  const TFlagGuard guard(FUpdatingBars);
  QScrollBar* bar = horizontalScrollBar();
  bar->setRange(0, FPane1->MaxHorzOffset());
  bar->setPageStep(std::max(FPane1->ClientWidth(), 1));
  bar->setValue(FPane1->HorzOffset());
}

void TdvDiffViewer::UpdateScrollBars() {
  if (!FPane2) return;
  UpdateVertBar();
  UpdateHorzBar();
}

void TdvDiffViewer::BarAction(int32_t scrollBar, int action) {
  if (scrollBar == 0 && FIndependantHorzControl) return;
  TScrollCode code;
  if (!dvScrollCodeFromAction(action, code)) return;
  QScrollBar* bar = scrollBar == 1 ? verticalScrollBar() : horizontalScrollBar();
  FPane1->ScrollRequest(scrollBar, code, bar->sliderPosition());
  if (scrollBar == 1)
    UpdateVertBar();
  else
    UpdateHorzBar();
}

void TdvDiffViewer::scrollContentsBy(int, int) {
  // A bar value changed by other means than an action (its own wheel
  // handling, say) still moves pane 1.
  if (FUpdatingBars || !FPane2) return;
  if (verticalScrollBar()->value() != FPane1->TopIndex())
    FPane1->ScrollRequest(1, TScrollCode::scPosition, verticalScrollBar()->value());
  if (!FIndependantHorzControl && horizontalScrollBar()->value() != FPane1->HorzOffset())
    FPane1->ScrollRequest(0, TScrollCode::scPosition, horizontalScrollBar()->value());
  UpdateScrollBars();
}

void TdvDiffViewer::PaneScroll(TdvCustomScrollableControl* sender, int32_t scrollBar) {
  if (FSyncing || !FPane2) return;
  const TFlagGuard guard(FSyncing);
  if (scrollBar == 0 && FIndependantHorzControl) return;
  TdvListControl* source = sender == FPane1 ? FPane1 : FPane2;
  TdvListControl* target = source == FPane1 ? FPane2 : FPane1;
  if (scrollBar == 0) {
    target->SetHorzOffset(source->HorzOffset());
    UpdateHorzBar();
  } else {
    if (FLockSelectedIndex) {
      target->SetItemIndex(source->ItemIndex());
      target->SetSelLength(source->SelLength());
    }
    target->ScrollTopIndex(source->TopIndex());
    UpdateVertBar();
  }
}

void TdvDiffViewer::FormatDrawing(TdvListControl* sender, TdvCanvas& canvas, bool selected,
                                  std::string& str) {
  const uint8_t kind = DiffEntryKind(str);
  if (!str.empty()) str.erase(0, 1);
  canvas.FontColor = clWindowText;
  switch (kind) {
    case dkSame:
      canvas.BrushColor = clWindow;
      MarkFormatting(sender, canvas);
      break;
    case dkDeleted:
      canvas.BrushColor = DiffBGColor();
      canvas.FontColor = SimpleDiffViewer() ? ChangedTextColor() : DeletedTextColor();
      break;
    case dkInserted:
      canvas.BrushColor = DiffBGColor();
      canvas.FontColor = SimpleDiffViewer() ? ChangedTextColor() : InsertedTextColor();
      break;
    case dkChanged:
      canvas.BrushColor = DiffBGColor();
      canvas.FontColor = ChangedTextColor();
      MarkChanges(sender, canvas, str);
      break;
    case dkFiller:
      canvas.BrushColor = EmptyBGColor();
      break;
    default:
      canvas.BrushColor = sender->Color();
      break;
  }
  // The current row keeps its kind's colours under a tint and a frame: a
  // solid highlight would hide whether the line changed.
  if (selected) {
    canvas.BrushColor = dvTintedColor(canvas.BrushColor, clHighlight);
    canvas.MarkColor = dvTintedColor(canvas.MarkColor, clHighlight);
    canvas.Framed = true;
  }
}

void TdvDiffViewer::MarkChanges(TdvListControl* sender, TdvCanvas& canvas, const std::string& str) const {
  // Spans are worked out here, row by row as they come into view, rather
  // than for the whole result when it arrives. A pane's items are a copy of
  // the engine's result and may be of an earlier one while a run goes on:
  // the row must still hold the very text drawn.
  const TdvCustomDiffEngine* engine = DiffEngine();
  if (engine == nullptr || canvas.Index < 0 || canvas.Index >= engine->RowCount()) return;
  const TdvDiffRow& row = engine->Row(canvas.Index);
  if (row.Kind1 != dkChanged || row.Kind2 != dkChanged) return;
  const bool first = sender == FPane1;
  if ((first ? row.Text1 : row.Text2) != str) return;
  canvas.Marks = first ? &row.Spans1 : &row.Spans2;
  canvas.MarkColor = WordBGColor();
}

bool TdvDiffViewer::MarkFormatting(TdvListControl* sender, TdvCanvas& canvas) const {
  const TdvRowNote* note = RowNote(canvas.Index);
  if (note == nullptr) return false;
  canvas.BrushColor = FormatBGColor();
  canvas.Edge = true;
  canvas.EdgeColor = FormatMarkColor();
  canvas.Marks = sender == FPane1 ? &note->Spans1 : &note->Spans2;
  canvas.MarkColor = FormatSpanColor();
  return true;
}

void TdvDiffViewer::SetRowNotes(std::vector<TdvRowNote> notes) {
  std::stable_sort(notes.begin(), notes.end(),
                   [](const TdvRowNote& a, const TdvRowNote& b) { return a.Row < b.Row; });
  FRowNotes = std::move(notes);
  FPane1->viewport()->update();
  FPane2->viewport()->update();
}

const TdvRowNote* TdvDiffViewer::RowNote(int32_t row) const {
  const auto it = std::lower_bound(FRowNotes.begin(), FRowNotes.end(), row,
                                   [](const TdvRowNote& note, int32_t value) { return note.Row < value; });
  return it != FRowNotes.end() && it->Row == row ? &*it : nullptr;
}

void TdvDiffViewer::ShareContentWidth() {
  // Each pane measures its own items once after they change (or after a
  // font change); the shared width is the wider of the two.
  const int32_t widest = std::max(FPane1->ContentWidth(), FPane2->ContentWidth());
  FPane1->SetMaxWidth(widest);
  FPane2->SetMaxWidth(widest);
  // A new result may be narrower than where the panes were scrolled to.
  FPane1->UpdateHorzScrollBar();
  FPane2->UpdateHorzScrollBar();
}

void TdvDiffViewer::DiffChanged() {
  TdvCustomDiffViewer::DiffChanged();
  // The notes counted rows of the result before.
  FRowNotes.clear();
  {
    // The panes keep the engine's entries as their items (kind byte first,
    // which FormatDrawing reads): copying strings is all a list needs.
    // Pane 1 ends its update first, as it leads the other.
    const toolkit::TUpdateBracket update2(FPane2->Items());
    const toolkit::TUpdateBracket update1(FPane1->Items());
    if (DiffEngine()) {
      FPane1->SetItems(DiffEngine()->Result1());
      FPane2->SetItems(DiffEngine()->Result2());
    } else {
      FPane1->Items().Clear();
      FPane2->Items().Clear();
    }
    UpdateScrollBars();
  }
  ShareContentWidth();
  UpdateScrollBars();
  viewport()->update();
}

void TdvDiffViewer::SetDiffMap(TdvDiffMap* value) {
  if (value == DiffMap()) return;
  TdvCustomDiffViewer::SetDiffMap(value);
  if (value) value->SetShowIndicator(false);
}

void TdvDiffViewer::MapClick(TdvDiffMap*, int32_t indicatorPos) {
  for (TdvListControl* pane : {FPane1, FPane2}) {
    pane->ScrollTopIndex(indicatorPos);
    pane->SetItemIndex(indicatorPos);
  }
  UpdateVertBar();
}

void TdvDiffViewer::SetIndependantHorzControl(bool value) {
  if (value == FIndependantHorzControl) return;
  FIndependantHorzControl = value;
  const TScrollStyle paneBars = value ? TScrollStyle::ssHorizontal : TScrollStyle::ssNone;
  FPane1->SetScrollBars(paneBars);
  FPane2->SetScrollBars(paneBars);
  setHorizontalScrollBarPolicy(value ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  if (!value) FPane2->SetHorzOffset(FPane1->HorzOffset());
  UpdateScrollBars();
}

void TdvDiffViewer::SetLockSelectedIndex(bool value) {
  if (value == FLockSelectedIndex) return;
  FLockSelectedIndex = value;
  if (!value) return;
  // Pane 1 leads: pane 2 follows without sending anything back. The
  // current item goes first, as its scrolling into view would otherwise
  // undo the top row just taken over.
  const TFlagGuard guard(FSyncing);
  FPane2->SetItemIndex(FPane1->ItemIndex());
  FPane2->ScrollTopIndex(FPane1->TopIndex());
}
