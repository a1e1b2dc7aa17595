#include "app/WindowParts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include "app/AppText.h"

namespace app {

// --- TCaptionGroupBox -----------------------------------------------------------

namespace {
// Room the style keeps beside a caption: its indent and the frame's corners.
constexpr int kCaptionMargin = 16;
constexpr int kNarrowestBox = 48;
}  // namespace

TCaptionGroupBox::TCaptionGroupBox(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {
  FCaption = caption;
}

void TCaptionGroupBox::SetCaption(const QString& caption) {
  if (caption == FCaption) return;
  FCaption = caption;
  ElideCaption();
}

QSize TCaptionGroupBox::minimumSizeHint() const {
  return QSize(kNarrowestBox, QGroupBox::minimumSizeHint().height());
}

QSize TCaptionGroupBox::sizeHint() const {
  QSize hint = QGroupBox::sizeHint();
  hint.setWidth(std::max(kNarrowestBox, layout() ? layout()->sizeHint().width() : kNarrowestBox));
  return hint;
}

void TCaptionGroupBox::resizeEvent(QResizeEvent* event) {
  QGroupBox::resizeEvent(event);
  ElideCaption();
}

void TCaptionGroupBox::ElideCaption() {
  const QString shown =
      fontMetrics().elidedText(FCaption, Qt::ElideMiddle, std::max(0, width() - kCaptionMargin));
  if (shown != title()) setTitle(shown);
}

// --- TSplitter ---------------------------------------------------------------------

namespace {

class TRidgeHandle : public QSplitterHandle {
 public:
  using QSplitterHandle::QSplitterHandle;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, ToQColor(clBtnFace));
    const bool across = orientation() == Qt::Horizontal;  // the handle stands upright
    // A light and a dark edge: the raised ridge between two panes.
    painter.setPen(ToQColor(clBtnHighlight));
    if (across)
      painter.drawLine(r.topLeft(), r.bottomLeft());
    else
      painter.drawLine(r.topLeft(), r.topRight());
    painter.setPen(ToQColor(clBtnShadow));
    if (across)
      painter.drawLine(r.topRight(), r.bottomRight());
    else
      painter.drawLine(r.bottomLeft(), r.bottomRight());
    // A grip of five dots in the middle.
    painter.setPen(ToQColor(clBtnText));
    const QPoint centre = r.center();
    for (int i = -2; i <= 2; ++i) {
      const QPoint dot =
          across ? QPoint(centre.x(), centre.y() + 4 * i) : QPoint(centre.x() + 4 * i, centre.y());
      painter.drawPoint(dot);
    }
  }
};

}  // namespace

TSplitter::TSplitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent) {}

QSplitterHandle* TSplitter::createHandle() { return new TRidgeHandle(orientation(), this); }

// --- TFocusMark -----------------------------------------------------------------------

namespace {
constexpr int kMarkWidth = 2;
}

TFocusMark::TFocusMark(QWidget* window) : QWidget(window) {
  setObjectName(QStringLiteral("FocusMark"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  hide();
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Follow(now); });
}

void TFocusMark::Follow(QWidget* widget) {
  // Only controls of this window; the mark itself and the window are none.
  if (widget != nullptr && (widget == parentWidget() || !parentWidget()->isAncestorOf(widget)))
    widget = nullptr;
  if (widget == FTarget) return;
  Watch(false);
  FTarget = widget;
  Watch(true);
  Place();
}

void TFocusMark::Watch(bool on) {
  // The control moves when it or any of its parents does (a splitter drag).
  for (QWidget* w = FTarget; w != nullptr && w != parentWidget(); w = w->parentWidget()) {
    if (on)
      w->installEventFilter(this);
    else
      w->removeEventFilter(this);
  }
}

bool TFocusMark::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
      Place();
      break;
    default:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void TFocusMark::Place() {
  if (FTarget == nullptr || !FTarget->isVisible()) {
    hide();
    return;
  }
  // Drawn on the control's own outer pixels, where its frame is: never cut
  // off by a parent that leaves no room around it.
  const QRect area(FTarget->mapTo(parentWidget(), QPoint(0, 0)), FTarget->size());
  setGeometry(area);
  const QRegion outer(rect());
  setMask(outer.subtracted(QRegion(rect().adjusted(kMarkWidth, kMarkWidth, -kMarkWidth, -kMarkWidth))));
  raise();
  show();
  update();
}

void TFocusMark::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(clHighlight));
}

// --- TSearchBox ---------------------------------------------------------------------

TSearchBox::TSearchBox(QWidget* parent) : QLineEdit(parent) { setClearButtonEnabled(true); }

void TSearchBox::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (OnStep) OnStep(!(event->modifiers() & Qt::ShiftModifier));
    event->accept();
    return;
  }
  if (key == Qt::Key_Escape && !text().isEmpty()) {
    clear();
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace app
