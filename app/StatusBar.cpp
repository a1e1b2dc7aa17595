#include "app/StatusBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cstdint>

#include "app/AppText.h"

namespace app {

namespace {
constexpr int kBarHeight = 19;
constexpr int kPanelGap = 2;  // between two panels' bevels
}  // namespace

QString ElidedText(const QString& text, const QFontMetrics& metrics, int width) {
  return metrics.elidedText(text, Qt::ElideRight, std::max(width, 0));
}

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
  setFixedHeight(kBarHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Narrow windows shrink the panels rather than pushing them off the edge.
  setMinimumWidth(0);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  FMessageTimer.setSingleShot(true);
  connect(&FMessageTimer, &QTimer::timeout, this, &TStatusBar::ClearMessage);
}

void TStatusBar::ShowMessage(const QString& text, int milliseconds) {
  FMessage = text;
  FMessageTimer.start(std::max(milliseconds, 0));
  update();
}

void TStatusBar::ClearMessage() {
  FMessageTimer.stop();
  if (FMessage.isEmpty()) return;
  FMessage.clear();
  update();
}

void TStatusBar::AddPanel(const QString& text, int width, TStatusPanelStyle style) {
  FPanels.push_back({text, width, style});
  update();
}

void TStatusBar::SetPanelText(int index, const QString& text) {
  if (index < 0 || index >= PanelCount()) return;
  TStatusPanel& panel = FPanels[static_cast<size_t>(index)];
  if (panel.Text == text) return;
  panel.Text = text;
  update(PanelRect(index).adjusted(-1, -1, 1, 1));
}

QRect TStatusBar::PanelRect(int index) const {
  int total = 0;
  for (const TStatusPanel& panel : FPanels) total += panel.Width;
  // Below the panels' own widths every panel gives up the same share.
  auto edge = [&](int panels) {
    int sum = 0;
    for (int i = 0; i < panels; ++i) sum += FPanels[static_cast<size_t>(i)].Width;
    return total > width() && total > 0 ? static_cast<int>(static_cast<int64_t>(sum) * width() / total) : sum;
  };
  const int left = edge(index);
  int right = edge(index + 1) - kPanelGap;
  if (index == PanelCount() - 1) right = std::max(right, width() - 1);
  // One pixel of bevel on every side; the bar keeps two pixels above the panels.
  return QRect(QPoint(left + 1, 3), QPoint(right - 1, height() - 2));
}

QSize TStatusBar::sizeHint() const { return QSize(400, kBarHeight); }

void TStatusBar::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QColor face = ToQColor(clBtnFace);
  painter.fillRect(event->rect(), face);
  if (!FMessage.isEmpty()) {
    painter.setFont(font());
    painter.setPen(ToQColor(clBtnText));
    const QRect text = rect().adjusted(4, 2, -4, -1);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     ElidedText(FMessage, painter.fontMetrics(), text.width()));
    return;
  }
  for (int i = 0; i < PanelCount(); ++i) {
    const QRect inner = PanelRect(i);
    if (!inner.adjusted(-1, -1, 1, 1).intersects(event->rect())) continue;
    // The sunken bevel of a panel.
    const QRect outer = inner.adjusted(-1, -1, 1, 1);
    painter.setPen(ToQColor(clBtnShadow));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(ToQColor(clBtnHighlight));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());

    painter.save();
    painter.setClipRect(inner);
    painter.setFont(font());
    painter.setPen(ToQColor(clBtnText));
    painter.setBackground(face);
    const TStatusPanel& panel = FPanels[static_cast<size_t>(i)];
    if (panel.Style == TStatusPanelStyle::psOwnerDraw && OnDrawPanel) {
      OnDrawPanel(this, i, painter, inner);
    } else {
      painter.fillRect(inner, face);
      painter.drawText(inner.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       ElidedText(panel.Text, painter.fontMetrics(), inner.width() - 2));
    }
    painter.restore();
  }
}

}  // namespace app
