/// How the window looks: readable colours on the light and the dark
/// palette, the colour scheme chosen in the View menu, sharp pictures on a
/// scaled screen, and screenshots of it all for review (left in the build
/// folder's screenshots/; this test also runs at 200 %).

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTest>

#include "AppTestSupport.h"
#include "app/ButtonImages.h"
#include "app/ColorScheme.h"
#include "qtbridge/QtGraphics.h"

using namespace app;

class TestAppearance : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void cleanup() { ApplyColorScheme(TColorScheme::FollowDesktop); }
  void everyMeaningfulColourIsReadable();
  void schemeIsChosenAndRemembered();
  void picturesAreSharpWhenScaled();
  void screenshots();
  void focusFollowsTheLayout();
};

namespace {

QString Ratio(const char* what, int index, const QColor& fore, const QColor& back) {
  return QStringLiteral("%1 %2: %3 on %4 is %5:1")
      .arg(QLatin1String(what))
      .arg(index)
      .arg(fore.name(), back.name())
      .arg(qtbridge::ContrastRatio(fore, back), 0, 'f', 2);
}

QAction* SchemeAction(QWidget& form, int scheme) {
  auto* menu = form.findChild<QMenu*>(QStringLiteral("ColorSchemeMenu"));
  return menu == nullptr ? nullptr : menu->actions().value(scheme);
}

}  // namespace

void TestAppearance::everyMeaningfulColourIsReadable() {
  for (const QPalette& palette : {LightPalette(), DarkPalette()}) {
    QApplication::setPalette(palette);
    // Class colours on the list (Base) and on the status panels (Button).
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Button}) {
      const QColor back = palette.color(role);
      for (int kind = 0; kind < TopicComparisonCount; ++kind) {
        const QColor fore = ClassColor(static_cast<TTopicComparison>(kind), back);
        QVERIFY2(qtbridge::ContrastRatio(fore, back) >= qtbridge::kReadableContrast,
                 qPrintable(Ratio("class", kind, fore, back)));
        // A light text on a dark background and the other way round, not
        // merely a colour pushed to the edge of readable.
        const QColor text = palette.color(QPalette::Text);
        QVERIFY2(qtbridge::ContrastRatio(fore, text) < qtbridge::ContrastRatio(fore, back),
                 qPrintable(Ratio("class (against text)", kind, fore, text)));
      }
    }
    // The difference's text on its changed lines and on the changed words.
    const TDifferenceColors diff = DifferenceColors(palette);
    const QColor text = qtbridge::ToQColor(diff.Text);
    int i = 0;
    for (TColor back : {diff.Changed, diff.Words, diff.Filler, clWindow, diff.FormatLine, diff.FormatSpan}) {
      QVERIFY2(qtbridge::ContrastRatio(text, qtbridge::ToQColor(back)) >= qtbridge::kReadableContrast,
               qPrintable(Ratio("difference background", i, text, qtbridge::ToQColor(back))));
      ++i;
    }
    const QColor mark = qtbridge::ToQColor(diff.FormatMark);
    QVERIFY2(qtbridge::ContrastRatio(mark, palette.color(QPalette::Base)) >= qtbridge::kReadableContrast,
             qPrintable(Ratio("formatting mark", 0, mark, palette.color(QPalette::Base))));
  }
  // Where the classic colours read well they are kept.
  QCOMPARE(ClassColor(tcNew, Qt::white), QColor(0, 0, 255));
  QCOMPARE(ClassColor(tcIdentical, Qt::white), QColor(0, 0, 0));
  // The two palettes are what they say.
  QVERIFY(!qtbridge::IsDarkPalette(LightPalette()));
  QVERIFY(qtbridge::IsDarkPalette(DarkPalette()));
}

void TestAppearance::schemeIsChosenAndRemembered() {
  apptest::THarness h;
  QAction* dark = SchemeAction(h.form, static_cast<int>(TColorScheme::Dark));
  QVERIFY(dark != nullptr);
  QVERIFY(SchemeAction(h.form, static_cast<int>(TColorScheme::FollowDesktop))->isChecked());
  dark->trigger();
  QVERIFY(qtbridge::IsDarkPalette(QApplication::palette()));
  QVERIFY(qtbridge::IsDarkPalette(h.lbTopics->palette()));
  // The system colours the parts paint with follow the palette.
  QCOMPARE(qtbridge::ToQColor(clWindow), QApplication::palette().color(QPalette::Base));
  QCOMPARE(h.dvDiffViewer1->DiffBGColor(), DifferenceColors(DarkPalette()).Changed);

  // The next run starts dark; back to the desktop's palette it is light again.
  h.form.close();
  {
    ApplyColorScheme(TColorScheme::FollowDesktop);
    TfrmMain next;
    QVERIFY(qtbridge::IsDarkPalette(QApplication::palette()));
    QVERIFY(SchemeAction(next, static_cast<int>(TColorScheme::Dark))->isChecked());
    SchemeAction(next, static_cast<int>(TColorScheme::FollowDesktop))->trigger();
    QVERIFY(!qtbridge::IsDarkPalette(QApplication::palette()));
    QCOMPARE(next.findChild<TdvDiffViewer*>(QStringLiteral("dvDiffViewer1"))->DiffBGColor(),
             DifferenceColors(LightPalette()).Changed);
  }
}

void TestAppearance::picturesAreSharpWhenScaled() {
  // At twice the density the picture has twice the pixels, drawn for that
  // size: not the small picture magnified, whose pixels come in 2 x 2 blocks.
  for (int i = 0; i < biCount; ++i) {
    const QIcon icon = ButtonIcon(static_cast<TButtonImage>(i));
    const QImage small = icon.pixmap(QSize(16, 16), 1.0).toImage();
    const QImage large = icon.pixmap(QSize(16, 16), 2.0).toImage();
    QCOMPARE(large.size(), QSize(32, 32));
    QVERIFY(qAlpha(small.pixel(0, 0)) == 0 && qAlpha(large.pixel(0, 0)) == 0);
    int unlikeNeighbours = 0;
    for (int y = 0; y < 32; y += 2)
      for (int x = 0; x < 32; x += 2)
        unlikeNeighbours += large.pixel(x, y) != large.pixel(x + 1, y + 1) ? 1 : 0;
    QVERIFY2(unlikeNeighbours > 8, qPrintable(QString::number(unlikeNeighbours)));
  }
  // Left and right point away from each other: the right arrow's tip is on the right.
  const QImage right = ButtonIcon(biArrowRight).pixmap(QSize(16, 16), 2.0).toImage();
  const QImage left = ButtonIcon(biArrowLeft).pixmap(QSize(16, 16), 2.0).toImage();
  QVERIFY(qAlpha(right.pixel(20, 16)) > 0 && qAlpha(right.pixel(11, 16)) > 0);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      QVERIFY(std::abs(qAlpha(left.pixel(x, y)) - qAlpha(right.pixel(31 - x, y))) < 64);
  QVERIFY(!ProgramIcon().pixmap(QSize(64, 64)).isNull());
}

void TestAppearance::screenshots() {
  // The example pair, a different topic selected, in the light and the dark
  // scheme, at the scale the test runs with.
  apptest::THarness h;
  const QString examples = QStringLiteral(QC_SOURCE_DIR "/examples/");
  h.Open(examples + QStringLiteral("Latest.qcp"), examples + QStringLiteral("History.qcp"));
  QVERIFY(h.lbTopics->Count() > 0);
  for (int row = 0; row < h.lbTopics->Count(); ++row) {
    if (h.form.Session().EntryClass(row) == tcDifferent) {
      h.ClickTopic(row);
      break;
    }
  }
  const QString folder = QDir::currentPath() + QStringLiteral("/screenshots");
  QVERIFY(QDir().mkpath(folder));
  const QString scale = QString::number(qRound(h.form.devicePixelRatioF() * 100));
  for (int scheme : {static_cast<int>(TColorScheme::Light), static_cast<int>(TColorScheme::Dark)}) {
    SchemeAction(h.form, scheme)->trigger();
    QCoreApplication::processEvents();
    const QPixmap shot = h.form.grab();
    QCOMPARE(shot.devicePixelRatio(), h.form.devicePixelRatioF());
    const QString name = QStringLiteral("%1/window-%2-%3.png")
                             .arg(folder,
                                  scheme == static_cast<int>(TColorScheme::Dark) ? QStringLiteral("dark")
                                                                                 : QStringLiteral("light"),
                                  scale);
    QVERIFY(shot.save(name));
  }
}

void TestAppearance::focusFollowsTheLayout() {
  // Tab goes down the left column, then through the two texts and the
  // difference, as the eye reads the window; each stop tells assistive
  // technology what it is and what it is for.
  apptest::THarness h;
  h.OpenStandardPair();
  QStringList chain;
  QWidget* w = h.cbMatch;
  do {
    if (w->isVisibleTo(&h.form) && (w->focusPolicy() & Qt::TabFocus) != 0 && w->isEnabled()) {
      chain << w->objectName();
      QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(w);
      QVERIFY2(spoken != nullptr && !spoken->text(QAccessible::Name).isEmpty() &&
                   !spoken->text(QAccessible::Description).isEmpty(),
               qPrintable(w->objectName()));
    }
    w = w->nextInFocusChain();
  } while (w != h.cbMatch && chain.size() < 60);
  QCOMPARE(chain,
           (QStringList{
               QStringLiteral("cbMatch"), QStringLiteral("FilterButton0"), QStringLiteral("FilterButton1"),
               QStringLiteral("FilterButton2"), QStringLiteral("FilterButton3"),
               QStringLiteral("FilterButton4"), QStringLiteral("SearchBox"), QStringLiteral("lbTopics"),
               QStringLiteral("btnOpenFiles"), QStringLiteral("btnSaveFile"), QStringLiteral("RichEdit1"),
               QStringLiteral("RichEdit2"), QStringLiteral("s1"), QStringLiteral("s2")}));
}

QTEST_MAIN(TestAppearance)
#include "test_Appearance.moc"
