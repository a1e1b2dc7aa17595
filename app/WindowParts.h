#pragma once
// Small widgets that make the window behave well at any size and with the
// keyboard: a group box whose caption elides, a splitter whose handle can be
// seen, a focus mark that shows where the keyboard is in any style, and a
// search field that steps through its matches from the keyboard.

#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QSplitter>
#include <functional>

namespace app {

/// A group box captioned with a name that is cut with an ellipsis when the
/// box is narrow, instead of widening the box; the whole caption stays
/// available (and is the tooltip's first line when the owner sets none).
class TCaptionGroupBox : public QGroupBox {
  Q_OBJECT
 public:
  explicit TCaptionGroupBox(const QString& caption, QWidget* parent = nullptr);

  QString Caption() const { return FCaption; }
  void SetCaption(const QString& caption);

  /// Narrow enough for any window: the caption never sets the width.
  QSize minimumSizeHint() const override;
  QSize sizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void ElideCaption();
  QString FCaption;
};

/// A splitter whose handle is drawn as a ridge with a grip in its middle,
/// so that it can be found without hovering over it.
class TSplitter : public QSplitter {
  Q_OBJECT
 public:
  explicit TSplitter(Qt::Orientation orientation, QWidget* parent = nullptr);

 protected:
  QSplitterHandle* createHandle() override;
};

/// A frame in the highlight colour around the window's focused control,
/// drawn above the control whatever the style draws itself. It follows the
/// focus and the control's moves and sizes; it never takes input.
class TFocusMark : public QWidget {
  Q_OBJECT
 public:
  explicit TFocusMark(QWidget* window);

  /// The control framed now, or null.
  QWidget* Target() const { return FTarget; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Follow(QWidget* widget);
  void Place();
  void Watch(bool on);
  QPointer<QWidget> FTarget;
};

/// A one-line search field: Enter asks for the next match, Shift+Enter for
/// the one before; Escape empties the field.
class TSearchBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit TSearchBox(QWidget* parent = nullptr);

  std::function<void(bool forward)> OnStep;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace app
