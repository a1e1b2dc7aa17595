#pragma once
// The window's design measures and the two helpers its parts are laid out with.

#include <QBoxLayout>
#include <QFrame>
#include <QLatin1String>
#include <QPoint>
#include <QSize>

namespace app {

// The window's design, in pixels at 96 pixels per inch.
constexpr QPoint kFormPosition(192, 127);
constexpr QSize kFormSize(905, 729);
constexpr int kLeftPaneWidth = 217;
constexpr int kSplitterWidth = 3;
constexpr int kToolPanelHeight = 41;

/// A named panel, flat or with a raised bevel.
inline QFrame* NewPanel(QWidget* parent, const char* name, bool raised) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(QLatin1String(name));
  if (raised) {
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(1);
  }
  return panel;
}

/// A box without margins or spacing: the parts set their own.
inline QBoxLayout* NewBox(QBoxLayout::Direction direction, QWidget* parent) {
  auto* box = new QBoxLayout(direction, parent);
  box->setContentsMargins(0, 0, 0, 0);
  box->setSpacing(0);
  return box;
}

}  // namespace app
