#pragma once
// An owner-drawn, single-selection list box of 8-bit strings, each with an
// attached object. Built on model/view with uniform item sizes, so that
// only the visible rows are ever measured or painted, however long the list.

#include <QAbstractListModel>
#include <QListView>
#include <functional>

#include "toolkit/Classes.h"

class QPainter;

namespace app {

/// The list's items as a model: the strings are converted for Qt only when a row is shown.
class TListBoxModel : public QAbstractListModel {
  Q_OBJECT
 public:
  using QAbstractListModel::QAbstractListModel;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  const TStringList& Items() const { return FItems; }
  /// Replaces all items at once (one reset, no per-row notices).
  void SetItems(const TStringList& items);
  void Clear();
  /// An item's description for the accessibility roles.
  std::function<QString(int index)> OnDescription;

 private:
  TStringList FItems;
};

class TListBox : public QListView {
  Q_OBJECT
 public:
  explicit TListBox(QWidget* parent = nullptr);

  const TStringList& Items() const { return FModel->Items(); }
  int Count() const { return FModel->Items().Count(); }
  void SetItems(const TStringList& items);
  void Clear();

  /// The selected row, or -1.
  int ItemIndex() const;
  /// Selects a row (-1: none) without firing OnClick, as setting the property does.
  void SetItemIndex(int index);

  /// Where an item's text starts, in pixels from the row's left edge (an
  /// owner may draw a marker before it); a row whose text is cut there
  /// shows it whole in its tooltip.
  int TextIndent() const { return FTextIndent; }
  void SetTextIndent(int value) { FTextIndent = value; }

  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int height);

  /// Draws one item. The painter is prepared: background and text colour of
  /// the item's state (highlight colours when selected), the list's font.
  std::function<void(TListBox* list, int index, QPainter& canvas, const QRect& rect, bool selected)>
      OnDrawItem;
  /// The user picked an item: by a click (also on the selected one) or by the keyboard.
  std::function<void(TListBox* list)> OnClick;
  /// What an item says to assistive technology and in its tooltip beyond its
  /// text (say its comparison class); nothing when unset.
  std::function<QString(int index)> OnItemDescription;
  /// More about an item for its tooltip (say why it differs); a row whose
  /// text is cut shows the whole text first.
  std::function<QString(int index)> OnItemToolTip;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  /// A row cut at the right edge shows its whole text as a tooltip.
  bool viewportEvent(QEvent* event) override;

 private:
  TListBoxModel* FModel;
  int FItemHeight = 13;
  int FTextIndent = 2;
};

}  // namespace app
