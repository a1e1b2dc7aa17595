/// The window's first size on a screen smaller than that size, at 200 %
/// scale (the test runs with QT_SCALE_FACTOR=2 on the offscreen screen).

#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "AppTestSupport.h"

class TestSmallScreen : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void firstSizeFitsTheScreen();
  void rememberedSizeIsKeptWithinTheScreen();
};

void TestSmallScreen::firstSizeFitsTheScreen() {
  apptest::THarness h;
  app::TfrmMain& f = h.form;
  QCoreApplication::processEvents();
  const QRect free = f.screen()->availableGeometry();
  QVERIFY2(free.width() < 905 || free.height() < 729,
           "the screen must be smaller than the window's usual size");
  QVERIFY2(free.contains(f.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4 outside %5x%6")
                                                            .arg(f.frameGeometry().x())
                                                            .arg(f.frameGeometry().y())
                                                            .arg(f.frameGeometry().width())
                                                            .arg(f.frameGeometry().height())
                                                            .arg(free.width())
                                                            .arg(free.height())));
  // The buttons and the status bar are inside the window, not cut off below it.
  for (QWidget* w : {static_cast<QWidget*>(h.btnOpenFiles), static_cast<QWidget*>(h.btnSaveFile),
                     static_cast<QWidget*>(h.StatusBar1)}) {
    const QRect inWindow(w->mapTo(&f, QPoint(0, 0)), w->size());
    QVERIFY2(f.rect().contains(inWindow), qPrintable(w->objectName()));
  }
}

void TestSmallScreen::rememberedSizeIsKeptWithinTheScreen() {
  apptest::THarness h;
  // A run on a larger screen left a larger window behind.
  h.form.resize(1600, 1200);
  h.form.close();
  app::TfrmMain next;
  next.show();
  QVERIFY(QTest::qWaitForWindowExposed(&next));
  const QRect free = next.screen()->availableGeometry();
  QVERIFY2(free.contains(next.frameGeometry()),
           qPrintable(
               QStringLiteral("%1x%2").arg(next.frameGeometry().width()).arg(next.frameGeometry().height())));
}

QTEST_MAIN(TestSmallScreen)
#include "test_SmallScreen.moc"
