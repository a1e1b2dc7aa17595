/// File → Export Report...: the comparison the window shows goes out as CSV
/// or HTML by the file's type, the window then offers to open it, and a
/// report that cannot be written leaves the old file and says why.

#include <unistd.h>
#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "AppTestSupport.h"
#include "app/ExportReport.h"

using namespace apptest;

namespace {

QByteArray bytes_of(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestExportReport : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void csvAndHtmlByTypeThenOfferToOpen();
  void failedExportKeepsTheOldReport();
  void aReportNeverReplacesACompareFileByAnyName();
};

void TestExportReport::csvAndHtmlByTypeThenOfferToOpen() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  QVERIFY(f.Action(app::TCommand::ExportReport)->isEnabled());
  app::TReportExporter& exporter = *f.ReportExporter;
  QStringList offered;
  QString answer = h.Path(QStringLiteral("pair.csv"));
  exporter.Dialog().ExecuteHandler = [&](app::TFileDialog& dialog) {
    offered << dialog.FileName();
    dialog.SetFileName(answer);
    return true;
  };
  QList<QUrl> opened;
  exporter.OpenUrlHandler = [&opened](const QUrl& url) {
    opened << url;
    return true;
  };

  h.yesNoAnswers = {true};
  f.Action(app::TCommand::ExportReport)->trigger();
  QVERIFY2(h.messages.isEmpty(), qPrintable(h.messages.join(QLatin1Char('\n'))));
  // The first time, the dialog proposes a name beside Latest.
  QCOMPARE(offered.value(0), h.Path(QStringLiteral("Latest-report.html")));
  const QList<QByteArray> lines = bytes_of(answer).split('\n');
  // A header, one row per entry of the list, and the empty rest after the last CR LF.
  QCOMPARE(lines.size(), h.ListTexts().size() + 2);
  QVERIFY(lines[0].startsWith("class,latest_id,history_id,title,"));
  QCOMPARE(h.yesNoQuestions.size(), 1);
  QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(answer)});

  // Another type gives another format; No leaves it unopened.
  answer = h.Path(QStringLiteral("pair.html"));
  h.yesNoAnswers = {false};
  f.Action(app::TCommand::ExportReport)->trigger();
  const QByteArray page = bytes_of(answer);
  QVERIFY(page.startsWith("<!DOCTYPE html>"));
  QCOMPARE(page.count("<tr id=\"list-"), h.ListTexts().size());
  QCOMPARE(opened.size(), 1);
  QCOMPARE(h.yesNoQuestions.size(), 2);
  QVERIFY(!page.contains("unsaved"));

  // From unsaved data, the page and the CSV say so rather than give the file's date.
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  f.Action(app::TCommand::CopyTextToHistory)->trigger();
  answer = h.Path(QStringLiteral("unsaved.html"));
  h.yesNoAnswers = {false, false};
  f.Action(app::TCommand::ExportReport)->trigger();
  QCOMPARE(bytes_of(answer).count("includes unsaved changes"), 1);
  answer = h.Path(QStringLiteral("unsaved.csv"));
  f.Action(app::TCommand::ExportReport)->trigger();
  QVERIFY(bytes_of(answer).endsWith("note,,,History includes unsaved changes,,,\r\n"));
  f.Action(app::TCommand::Undo)->trigger();
  h.yesNoQuestions.clear();

  // With classes switched off and a search, the report lists what the list shows.
  const int before = h.ListTexts().size();
  f.findChild<QToolButton*>(QStringLiteral("FilterButton%1").arg(static_cast<int>(tcIdentical)))->click();
  f.findChild<QLineEdit*>(QStringLiteral("SearchBox"))->setText(QStringLiteral("in"));
  QCoreApplication::processEvents();
  QVERIFY(h.ListTexts().size() < before && !h.ListTexts().isEmpty());
  answer = h.Path(QStringLiteral("found.csv"));
  h.yesNoAnswers = {false};
  f.Action(app::TCommand::ExportReport)->trigger();
  const QList<QByteArray> found = bytes_of(answer).split('\n');
  QCOMPARE(found.size(), h.ListTexts().size() + 2);
  QVERIFY(!bytes_of(answer).startsWith("identical,") && !bytes_of(answer).contains("\nidentical,"));

  // Cancelling the dialog writes nothing and asks nothing.
  exporter.Dialog().ExecuteHandler = [](app::TFileDialog&) { return false; };
  f.Action(app::TCommand::ExportReport)->trigger();
  QCOMPARE(h.yesNoQuestions.size(), 1);
}

void TestExportReport::failedExportKeepsTheOldReport() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  const QString report = h.Path(QStringLiteral("old.html"));
  {
    QFile file(report);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("the report of last week");
  }
  f.ReportExporter->Dialog().ExecuteHandler = [&report](app::TFileDialog& dialog) {
    dialog.SetFileName(report);
    return true;
  };
  // The page is larger than the limit, so the write fails part-way as on a full disk.
  WithFileSizeLimit(512, [&f] { f.Action(app::TCommand::ExportReport)->trigger(); });
  QCOMPARE(h.messages.size(), 1);
  QVERIFY(h.yesNoQuestions.isEmpty());
  QCOMPARE(bytes_of(report), QByteArray("the report of last week"));
}

void TestExportReport::aReportNeverReplacesACompareFileByAnyName() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  const QString latest = h.Path(QStringLiteral("Latest.qcp"));
  const QByteArray before = bytes_of(latest);
  // A hard link shares the file but not its path; a symbolic link has a path of its own too.
  const QString hard = h.Path(QStringLiteral("hard-link.html"));
  QVERIFY(::link(QFile::encodeName(latest).constData(), QFile::encodeName(hard).constData()) == 0);
  const QString soft = h.Path(QStringLiteral("soft-link.html"));
  QVERIFY(QFile::link(latest, soft));
  int refused = 0;
  for (const QString& name : {hard, soft, latest}) {
    f.ReportExporter->Dialog().ExecuteHandler = [&name](app::TFileDialog& dialog) {
      dialog.SetFileName(name);
      return true;
    };
    f.Action(app::TCommand::ExportReport)->trigger();
    QCOMPARE(h.messages.size(), ++refused);
    QCOMPARE(bytes_of(latest), before);
  }
  QVERIFY(h.yesNoQuestions.isEmpty());
}

QTEST_MAIN(TestExportReport)
#include "test_ExportReport.moc"
