#include "app/StatusBar.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "app/AppText.h"

namespace app {

namespace {
constexpr int kBarHeight = 19;
constexpr int kPanelGap = 2;  // between two panels' bevels
}  // namespace

TStatusBar::TStatusBar(QWidget* parent) : QWidget(parent) {
  setFixedHeight(kBarHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
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
  int left = 0;
  for (int i = 0; i < index; ++i) left += FPanels[static_cast<size_t>(i)].Width;
  int right = left + FPanels[static_cast<size_t>(index)].Width - kPanelGap;
  if (index == PanelCount() - 1) right = std::max(right, width() - 1);
  // One pixel of bevel on every side; the bar keeps two pixels above the panels.
  return QRect(QPoint(left + 1, 3), QPoint(right - 1, height() - 2));
}

QSize TStatusBar::sizeHint() const { return QSize(400, kBarHeight); }

void TStatusBar::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QColor face = ToQColor(clBtnFace);
  painter.fillRect(event->rect(), face);
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
                       panel.Text);
    }
    painter.restore();
  }
}

}  // namespace app
