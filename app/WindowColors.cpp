// The window's colour scheme: the View menu's choice between the desktop's
// palette, a light and a dark one, remembered between runs, and the colours
// that follow whichever palette is in use.

#include <QActionGroup>
#include <QEvent>
#include <QMenu>
#include <QSettings>
#include <QToolButton>

#include "app/Application.h"
#include "app/ColorScheme.h"
#include "app/QuillcrafterDiffMain.h"
#include "app/RichEditBridge.h"
#include "diffview/dvDiffViewer.h"
#include "qtbridge/QtGraphics.h"

namespace app {

namespace {

const QString kColorSchemeKey = QStringLiteral("view/colorScheme");

}  // namespace

void TfrmMain::CreateColorSchemeMenu(QMenu& view) {
  QMenu* colors = view.addMenu(tr("&Colours"));
  colors->setObjectName(QStringLiteral("ColorSchemeMenu"));
  FColorSchemes = new QActionGroup(this);
  const char* const names[] = {QT_TR_NOOP("Follow the &Desktop"), QT_TR_NOOP("&Light"), QT_TR_NOOP("Dar&k")};
  for (int scheme = 0; scheme < 3; ++scheme) {
    QAction* action = colors->addAction(tr(names[scheme]));
    action->setCheckable(true);
    action->setChecked(scheme == static_cast<int>(TColorScheme::FollowDesktop));
    action->setData(scheme);
    FColorSchemes->addAction(action);
    connect(action, &QAction::triggered, this, [this, scheme] {
      RunHandler([this, scheme] {
        SetColorScheme(scheme);
        OpenSettings()->setValue(kColorSchemeKey, scheme);
      });
    });
  }
  ApplyPaletteColors();
}

void TfrmMain::RestoreColorScheme(QSettings& settings) {
  const int scheme = settings.value(kColorSchemeKey, 0).toInt();
  // The desktop's palette is already in place: setting it again would only
  // stop Qt from following the desktop's changes.
  if (scheme != static_cast<int>(TColorScheme::FollowDesktop)) SetColorScheme(scheme);
}

void TfrmMain::SetColorScheme(int scheme) {
  if (scheme < 0 || scheme > static_cast<int>(TColorScheme::Dark)) scheme = 0;
  const QList<QAction*> actions = FColorSchemes->actions();
  actions[scheme]->setChecked(true);
  ApplyColorScheme(static_cast<TColorScheme>(scheme));
  ApplyPaletteColors();
}

void TfrmMain::ApplyPaletteColors() {
  const TDifferenceColors colors = DifferenceColors(palette());
  dvDiffViewer1->SetChangedTextColor(colors.Text);
  dvDiffViewer1->SetDeletedTextColor(colors.Text);
  dvDiffViewer1->SetInsertedTextColor(colors.Text);
  dvDiffViewer1->SetDiffBGColor(colors.Changed);
  dvDiffViewer1->SetWordBGColor(colors.Words);
  dvDiffViewer1->SetEmptyBGColor(colors.Filler);
  dvDiffViewer1->SetFormatBGColor(colors.FormatLine);
  dvDiffViewer1->SetFormatSpanColor(colors.FormatSpan);
  dvDiffViewer1->SetFormatMarkColor(colors.FormatMark);
  // Each class switch says its class in the class's colour.
  for (size_t i = 0; i < FilterButtons.size(); ++i) {
    if (FilterButtons[i] == nullptr) continue;
    QPalette colours;
    colours.setColor(QPalette::ButtonText,
                     ClassColor(static_cast<TTopicComparison>(i), palette().color(QPalette::Button)));
    FilterButtons[i]->setPalette(colours);
  }
  // The topics' own colours (a blue heading, black body text) are those of
  // the published page: the texts are shown on paper in every scheme rather
  // than recoloured, so that what they look like is what is compared.
  QPalette paper;
  if (qtbridge::IsDarkPalette(palette())) {
    paper = LightPalette();
    paper.setColor(QPalette::Base, Qt::white);
    paper.setColor(QPalette::Text, Qt::black);
  }
  for (TRichEdit* edit : {RichEdit1, RichEdit2}) RichEditWidget(edit)->setPalette(paper);
  update();
}

void TfrmMain::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // A new application palette (the menu's choice, or the desktop switching
  // between dark and light) reaches every widget as a palette change.
  if (event->type() == QEvent::PaletteChange && dvDiffViewer1 != nullptr)
    RunHandler([this] { ApplyPaletteColors(); });
}

}  // namespace app
