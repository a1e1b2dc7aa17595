/// Tests the window end to end on text beyond Windows-1252: topics that
/// differ only in Greek and Japanese text show their changed rows in the
/// difference pane, with the letters the rich-text views show.

#include <QTest>

#include "AppTestSupport.h"
#include "app/RichEditBridge.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvListControl.h"
#include "qtbridge/QtText.h"

using namespace apptest;

class TestTextFidelity : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void nonLatinChangesShowInTheDifferencePane();
};

namespace {

// Text as an RTF writer puts it: every character past ASCII as \uN?.
std::string RtfEscaped(const QString& text) {
  std::string rtf;
  for (const QChar ch : text) {
    if (ch.unicode() < 0x80) {
      rtf += static_cast<char>(ch.unicode());
    } else {
      rtf += "\\u" + std::to_string(static_cast<int16_t>(ch.unicode())) + "?";
    }
  }
  return rtf;
}

// "kind text" for each row of a pane, its text read as the pane reads it.
QStringList PaneRows(const TdvListControl& pane) {
  QStringList rows;
  for (int i = 0; i < pane.Items().Count(); ++i) {
    const std::string& entry = pane.Items()[i];
    rows << QString::number(DiffEntryKind(entry)) + QLatin1Char(' ') +
                qtbridge::CoreTextToQString(DiffEntryText(entry));
  }
  return rows;
}

}  // namespace

void TestTextFidelity::nonLatinChangesShowInTheDifferencePane() {
  // Given two projects whose only topic differs in one Greek and one Japanese word
  THarness h;
  const QString shared = QStringLiteral("Shalom: \u05E9\u05DC\u05D5\u05DD");
  const QString greek1 =
      QStringLiteral("\u039A\u03B1\u03BB\u03B7\u03BC\u03AD\u03C1\u03B1 \u03BA\u03CC\u03C3\u03BC\u03B5");
  const QString greek2 =
      QStringLiteral("\u039A\u03B1\u03BB\u03B7\u03C3\u03C0\u03AD\u03C1\u03B1 \u03BA\u03CC\u03C3\u03BC\u03B5");
  const QString japanese1 = QStringLiteral("\u65E5\u672C\u8A9E\u306E\u30C6\u30AD\u30B9\u30C8");
  const QString japanese2 = QStringLiteral("\u65E5\u672C\u8A9E\u306E\u6587\u7AE0");
  auto topic = [&](const QString& greek, const QString& japanese) {
    return TTopicData{1, "Languages", {RtfEscaped(shared), RtfEscaped(greek), RtfEscaped(japanese)}, ""};
  };
  WriteProject(h.Path(QStringLiteral("Latest.qcp")), {topic(greek1, japanese1)});
  WriteProject(h.Path(QStringLiteral("History.qcp")), {topic(greek2, japanese2)});

  // When the user opens them and picks the topic
  h.Open(h.Path(QStringLiteral("Latest.qcp")), h.Path(QStringLiteral("History.qcp")));
  h.ClickTopic(h.RowOf(QStringLiteral("Languages (1)")));

  // Then it is different, the views show the letters, and the difference
  // pane pairs the two changed lines with the same letters
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("Different"));
  QCOMPARE(app::RichEditLines(*h.RichEdit1), (QStringList{shared, greek1, japanese1}));
  QCOMPARE(app::RichEditLines(*h.RichEdit2), (QStringList{shared, greek2, japanese2}));
  const QString same = QString::number(dkSame) + QLatin1Char(' ');
  const QString changed = QString::number(dkChanged) + QLatin1Char(' ');
  QCOMPARE(PaneRows(*h.dvDiffViewer1->Pane1()),
           (QStringList{same + shared, changed + greek1, changed + japanese1}));
  QCOMPARE(PaneRows(*h.dvDiffViewer1->Pane2()),
           (QStringList{same + shared, changed + greek2, changed + japanese2}));
}

QTEST_MAIN(TestTextFidelity)
#include "test_TextFidelity.moc"
