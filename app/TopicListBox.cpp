#include "app/TopicListBox.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QToolTip>

#include "app/AppText.h"

namespace app {

int TListBoxModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : FItems.Count(); }

QVariant TListBoxModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= FItems.Count()) return {};
  if (role == Qt::DisplayRole) return ToQString(FItems[index.row()]);
  if (role == Qt::AccessibleTextRole || role == Qt::AccessibleDescriptionRole) {
    const QString description = OnDescription ? OnDescription(index.row()) : QString();
    if (role == Qt::AccessibleDescriptionRole) return description;
    const QString text = ToQString(FItems[index.row()]);
    return description.isEmpty() ? text : text + QStringLiteral(", ") + description;
  }
  return {};
}

void TListBoxModel::SetItems(const TStringList& items) {
  beginResetModel();
  // Room for all at once: tens of thousands of rows would otherwise be
  // moved again at every growth of the list.
  FItems.Clear();
  FItems.SetCapacity(items.Count());
  FItems.Assign(items);
  endResetModel();
}

void TListBoxModel::Clear() {
  beginResetModel();
  FItems.Clear();
  endResetModel();
}

namespace {

// Prepares the canvas the way the list box does before an owner draws an
// item, hands the item to the owner, then adds the focus rectangle.
class TOwnerDrawDelegate : public QStyledItemDelegate {
 public:
  explicit TOwnerDrawDelegate(TListBox* list) : QStyledItemDelegate(list), FList(list) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& /*index*/) const override {
    return QSize(option.rect.width(), FList->ItemHeight());
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->setFont(FList->font());
    painter->setPen(ToQColor(selected ? clHighlightText : clWindowText));
    painter->setBackground(ToQColor(selected ? clHighlight : clWindow));
    painter->setBackgroundMode(Qt::OpaqueMode);
    painter->setClipRect(option.rect);
    if (FList->OnDrawItem) {
      FList->OnDrawItem(FList, index.row(), *painter, option.rect, selected);
    } else {
      painter->fillRect(option.rect, painter->background());
      painter->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                        index.data().toString());
    }
    painter->restore();
    if ((option.state & QStyle::State_HasFocus) != 0 && FList->hasFocus()) {
      painter->save();
      QPen dotted(ToQColor(selected ? clHighlightText : clWindowText));
      dotted.setStyle(Qt::DotLine);
      painter->setPen(dotted);
      painter->setBrush(Qt::NoBrush);
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
      painter->restore();
    }
  }

 private:
  TListBox* FList;
};

}  // namespace

TListBox::TListBox(QWidget* parent) : QListView(parent), FModel(new TListBoxModel(this)) {
  FModel->OnDescription = [this](int index) {
    return OnItemDescription ? OnItemDescription(index) : QString();
  };
  setModel(FModel);
  setItemDelegate(new TOwnerDrawDelegate(this));
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSpacing(0);
  connect(this, &QListView::clicked, this, [this](const QModelIndex&) {
    if (OnClick) OnClick(this);
  });
}

void TListBox::SetItems(const TStringList& items) { FModel->SetItems(items); }

void TListBox::Clear() { FModel->Clear(); }

int TListBox::ItemIndex() const {
  const QModelIndexList rows = selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.constFirst().row();
}

void TListBox::SetItemIndex(int index) {
  if (index < 0 || index >= Count()) {
    selectionModel()->clearSelection();
    return;
  }
  const QModelIndex row = FModel->index(index);
  selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
  scrollTo(row);
}

void TListBox::SetItemHeight(int height) {
  if (height <= 0 || height == FItemHeight) return;
  FItemHeight = height;
  // Uniform sizes are cached by the view; a new item height needs a fresh layout.
  doItemsLayout();
}

bool TListBox::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QListView::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QModelIndex row = indexAt(help->pos());
  const QString text = row.isValid() ? row.data().toString() : QString();
  // A row that fits needs no repeating; what the owner adds is always said.
  QStringList tip;
  if (!text.isEmpty() && FTextIndent + QFontMetrics(font()).horizontalAdvance(text) > viewport()->width())
    tip << text;
  if (row.isValid() && OnItemToolTip) {
    const QString more = OnItemToolTip(row.row());
    if (!more.isEmpty()) tip << more;
  }
  if (!tip.isEmpty()) {
    QToolTip::showText(help->globalPos(), tip.join(QLatin1Char('\n')), viewport(), visualRect(row));
  } else {
    QToolTip::hideText();
    event->ignore();
  }
  return true;
}

void TListBox::keyPressEvent(QKeyEvent* event) {
  const int before = ItemIndex();
  // With nothing picked yet, the first arrow key picks the first topic; the
  // view would step past it from the current row focus gave it.
  const bool arrow = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
  if (before < 0 && arrow && event->modifiers() == Qt::NoModifier && Count() > 0) {
    SetItemIndex(0);
    if (OnClick) OnClick(this);
    return;
  }
  QListView::keyPressEvent(event);
  if (ItemIndex() != before && OnClick) OnClick(this);
}

}  // namespace app
