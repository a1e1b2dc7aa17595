/// Tests for the self-contained parts of the comparison window: the version
/// caption, the button pictures, the dialogs' filters, the text conversion
/// at the Qt boundary, the status bar and the owner-drawn list box.

#include <QAction>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include "app/ActionTable.h"
#include "app/AppText.h"
#include "app/Application.h"
#include "app/ButtonImages.h"
#include "app/CoreTexts.h"
#include "app/FileDialogs.h"
#include "app/StatusBar.h"
#include "app/TopicListBox.h"
#include "app/VersionInfo.h"
#include "document/QuillcrafterDocTypes.h"
#include "document/TopicComparison.h"
#include "toolkit/SysUtils.h"

using namespace app;

class TestAppParts : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void versionCaption_data();
  void versionCaption();
  void versionFunctionsRefuseShortBuffers();
  void buttonPictures();
  void dialogFilters();
  void textConversion();
  void coreTextsAreTranslatable();
  void exceptionsEndHandlerAndShowMessage();
  void statusBarPanels();
  void listBoxPaintsOnlyVisibleRows();
  void listBoxClickAndKeyboard();
  void commandTableMakesActionsAndShortcutList();
};

void TestAppParts::versionCaption_data() {
  QTest::addColumn<bool>("hasRecord");
  QTest::addColumn<QStringList>("strings");  // key=value pairs
  QTest::addColumn<QString>("caption");
  QTest::newRow("no record") << false << QStringList() << QString();
  QTest::newRow("empty record") << true << QStringList() << QStringLiteral("Quillcrafter Journeyman");
  QTest::newRow("no product name") << true << QStringList{QStringLiteral("FileVersion=2.0")}
                                   << QStringLiteral("Quillcrafter Journeyman v2.0");
  QTest::newRow("name and copyright only")
      << true << QStringList{QStringLiteral("ProductName=P"), QStringLiteral("LegalCopyright=(c) X")}
      << QStringLiteral("P (c) X");
  QTest::newRow("empty values are found")
      << true << QStringList{QStringLiteral("ProductName="), QStringLiteral("FileVersion=")}
      << QStringLiteral(" v");
}

void TestAppParts::versionCaption() {
  QFETCH(bool, hasRecord);
  QFETCH(QStringList, strings);
  QFETCH(QString, caption);
  const std::string file = "/nonexistent/" + std::string(QTest::currentDataTag());
  if (hasRecord) {
    TVersionRecord record;
    for (const QString& pair : strings) {
      const qsizetype eq = pair.indexOf(QLatin1Char('='));
      record.Strings.emplace_back(FromQString(pair.left(eq)), FromQString(pair.mid(eq + 1)));
    }
    SetFileVersionRecord(file, record);
  } else {
    SetFileVersionRecord(file, std::nullopt);
  }
  QCOMPARE(ToQString(GetVersionCaption(file)), caption);
}

void TestAppParts::versionFunctionsRefuseShortBuffers() {
  uint32_t handle = 99;
  const uint32_t size = GetFileVersionInfoSizeA(ProgramFileName(), &handle);
  QCOMPARE(handle, 0u);
  QVERIFY(size > 0);
  std::string data(size, '\0');
  QVERIFY(!GetFileVersionInfoA(ProgramFileName(), 0, size - 1, data.data()));
  QVERIFY(GetFileVersionInfoA(ProgramFileName(), 0, size, data.data()));
  const char* value = nullptr;
  uint32_t len = 0;
  QVERIFY(VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\ProductVersion", &value, &len));
  QCOMPARE(std::string(value, len), std::string("1.0.0.0"));
  QVERIFY(!VerQueryValueA(data.data(), "\\StringFileInfo\\040904E4\\Comments", &value, &len));
  QVERIFY(!VerQueryValueA(data.data(), "\\StringFileInfo\\040704E4\\ProductName", &value, &len));
  // The program's own caption: product, " v", file version, " ", copyright with its 1252 sign.
  QCOMPARE(ToQString(GetVersionCaption(ProgramFileName())),
           QStringLiteral("Quillcrafter Journeyman Diff v1.0.0.1 Copyright \u00A9 2026 The Quillcrafter "
                          "Journeyman Diff authors"));
}

void TestAppParts::buttonPictures() {
  const QRgb blue = qRgb(0, 0, 255);
  for (int i = 0; i < biCount; ++i) {
    const QImage image = ButtonBitmap(static_cast<TButtonImage>(i));
    QCOMPARE(image.size(), QSize(16, 16));
    QCOMPARE(image.pixel(0, 0), kTransparentColor);
    QCOMPARE(image.pixel(15, 15), kTransparentColor);
    const QImage icon = ButtonIcon(static_cast<TButtonImage>(i)).pixmap(16, 16).toImage();
    QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);  // magenta became transparent
  }
  // Left and right are mirror images of each other.
  QCOMPARE(ButtonBitmap(biHandLeft), ButtonBitmap(biHandRight).mirrored(true, false));
  QCOMPARE(ButtonBitmap(biArrowLeft), ButtonBitmap(biArrowRight).mirrored(true, false));
  // Arrowheads are blue; hands are not.
  auto count = [](const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) n += image.pixel(x, y) == colour ? 1 : 0;
    return n;
  };
  QVERIFY(count(ButtonBitmap(biArrowRight), blue) > 10);
  QCOMPARE(count(ButtonBitmap(biHandRight), blue), 0);
  // The arrowhead's point and the finger tip are on the side they point to.
  const QImage arrowRight = ButtonBitmap(biArrowRight);
  QVERIFY(arrowRight.pixel(10, 8) != kTransparentColor && arrowRight.pixel(5, 8) != kTransparentColor);
  QCOMPARE(arrowRight.pixel(5, 3) != kTransparentColor, true);
  QCOMPARE(arrowRight.pixel(10, 3), kTransparentColor);
  // The curled fingers lie below the wrist side, away from where the finger points.
  QVERIFY(ButtonBitmap(biHandRight).pixel(0, 10) != kTransparentColor);
  QCOMPARE(ButtonBitmap(biHandRight).pixel(15, 10), kTransparentColor);
  QCOMPARE(ButtonBitmap(biHandLeft).pixel(0, 10), kTransparentColor);
}

void TestAppParts::dialogFilters() {
  TFileDialog dialog(nullptr, TFileDialog::TKind::dkOpen);
  dialog.SetFilter(QStringLiteral("Quillcrafter File (*.qcp)|*.qcp"));
  QCOMPARE(dialog.NameFilters(), QStringList{QStringLiteral("Quillcrafter File (*.qcp)")});
  dialog.SetFilter(QStringLiteral("Texts|*.txt;*.rtf|All|*"));
  QCOMPARE(dialog.NameFilters(),
           (QStringList{QStringLiteral("Texts (*.txt *.rtf)"), QStringLiteral("All (*)")}));
  // A replaced dialog plays the user.
  dialog.ExecuteHandler = [](TFileDialog& d) {
    d.SetFileName(QStringLiteral("/tmp/x.qcp"));
    return true;
  };
  QVERIFY(dialog.Execute());
  QCOMPARE(dialog.FileName(), QStringLiteral("/tmp/x.qcp"));
}

void TestAppParts::textConversion() {
  // Every byte of the code page survives the trip to Qt and back.
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  QCOMPARE(FromQString(ToQString(all)), all);
  QCOMPARE(ToQString("\x80 \x93q\x94"), QStringLiteral("\u20AC \u201Cq\u201D"));
  QCOMPARE(FromQString(QStringLiteral("\u4E2D")), std::string("?"));
  // Messages carrying a UTF-8 file name read as UTF-8; others as Windows-1252.
  QCOMPARE(MessageToQString("Cannot open file \"/tmp/\xC3\xA9t\xC3\xA9.qcp\"."),
           QStringLiteral("Cannot open file \"/tmp/\u00E9t\u00E9.qcp\"."));
  QCOMPARE(MessageToQString("Caf\xE9"), QStringLiteral("Caf\u00E9"));
  QCOMPARE(ToQColor(clRed), QColor(255, 0, 0));
  QCOMPARE(ToQColor(clOlive), QColor(128, 128, 0));
}

void TestAppParts::exceptionsEndHandlerAndShowMessage() {
  QStringList shown;
  SetMessageBoxHandler([&](const QString&, const QString& message) { shown << message; });
  bool after = false;
  RunHandler([&] {
    throw EFOpenError("Cannot open file \"x\". No such file or directory");
    after = true;
  });
  RunHandler([] { throw std::runtime_error("plain"); });
  RunHandler([] { throw 42; });
  SetMessageBoxHandler(nullptr);
  QVERIFY(!after);
  QCOMPARE(shown, (QStringList{QStringLiteral("Cannot open file \"x\". No such file or directory"),
                               QStringLiteral("plain"), QStringLiteral("Unknown error")}));
}

void TestAppParts::statusBarPanels() {
  TStatusBar bar;
  bar.resize(900, 19);
  bar.AddPanel(QStringLiteral("A"), 160, TStatusPanelStyle::psOwnerDraw);
  bar.AddPanel(QStringLiteral("B"), 50, TStatusPanelStyle::psText);
  QList<int> drawn;
  bar.OnDrawPanel = [&](TStatusBar*, int panel, QPainter& canvas, const QRect& rect) {
    drawn << panel;
    canvas.fillRect(rect, Qt::green);
  };
  const QImage image = bar.grab().toImage();
  QCOMPARE(drawn, QList<int>{0});
  QCOMPARE(bar.height(), 19);
  QCOMPARE(image.pixelColor(bar.PanelRect(0).center()), QColor(Qt::green));
  // The last panel reaches the right edge.
  QCOMPARE(bar.PanelRect(1).right(), 900 - 2);
  QVERIFY(bar.PanelRect(0).right() < bar.PanelRect(1).left());
}

void TestAppParts::listBoxPaintsOnlyVisibleRows() {
  TListBox list;
  list.resize(200, 13 * 20 + 4);
  TStringList items;
  for (int i = 0; i < 20000; ++i) items.Add(Format("Topic (%d)", i));
  list.SetItems(items);
  QSet<int> drawn;
  list.OnDrawItem = [&](TListBox*, int index, QPainter&, const QRect& rect, bool) {
    drawn.insert(index);
    QCOMPARE(rect.height(), 13);
  };
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  drawn.clear();
  list.grab();
  QVERIFY(!drawn.isEmpty());
  QVERIFY2(drawn.size() <= 22, qPrintable(QString::number(drawn.size())));
  QVERIFY(drawn.contains(0) && !drawn.contains(100));
}

void TestAppParts::listBoxClickAndKeyboard() {
  TListBox list;
  list.resize(200, 200);
  TStringList items;
  for (int i = 0; i < 5; ++i) items.Add(Format("T%d", i));
  list.SetItems(items);
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  int clicks = 0;
  list.OnClick = [&](TListBox*) { ++clicks; };
  QCOMPARE(list.ItemIndex(), -1);
  const QRect row2 = list.visualRect(list.model()->index(2, 0));
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row2.center());
  QCOMPARE(list.ItemIndex(), 2);
  QCOMPARE(clicks, 1);
  // A click on the selected item is a click too.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, row2.center());
  QCOMPARE(clicks, 2);
  QTest::keyClick(list.viewport(), Qt::Key_Down);
  QCOMPARE(list.ItemIndex(), 3);
  QCOMPARE(clicks, 3);
  // Setting the index is not a click; clearing the items leaves no selection.
  list.SetItemIndex(0);
  QCOMPARE(clicks, 3);
  list.Clear();
  QCOMPARE(list.ItemIndex(), -1);
}

void TestAppParts::coreTextsAreTranslatable() {
  // The catalogue lists the very texts the core writes.
  const auto catalogue = CoreTextCatalogue();
  auto listed = [&](const std::string& text) {
    return std::find(catalogue.begin(), catalogue.end(), text) != catalogue.end();
  };
  for (const char* text :
       {qcmsg::SMissingIdentifier, qcmsg::SUnknownVersion, qcmsg::SUnexpectedEnd, rtl::SFOpenErrorEx,
        rtl::SFCreateErrorEx, rtl::SFReadErrorEx, rtl::SInvalidInteger, rtl::SReadError, rtl::SWriteError,
        rtl::SRichEditLoadFail, SPairIdentical, SPairDifferent})
    QVERIFY2(listed(text), text);
  for (const TMatchModeInfo& mode : MatchModeTable) QVERIFY2(listed(mode.Name), mode.Name);
  for (const TTopicClassInfo& info : TopicClassTable) {
    QVERIFY2(listed(std::string(info.PanelText) + "%d"), info.PanelText);
    QVERIFY2(listed(info.Words), info.Words);
  }

  // A translation of a template keeps the message's values, in the order it puts them.
  struct TGerman : QTranslator {
    bool isEmpty() const override { return false; }
    QString translate(const char* context, const char* source, const char*, int) const override {
      if (qstrcmp(context, "core") != 0) return {};
      if (qstrcmp(source, rtl::SFOpenErrorEx) == 0)
        return QStringLiteral("Datei \"%s\" lässt sich nicht öffnen. %s");
      if (qstrcmp(source, "New Topics: %d") == 0) return QStringLiteral("Neue Themen: %d");
      return {};
    }
  } german;
  QCOMPARE(CoreText(Format(rtl::SFOpenErrorEx, "/tmp/a \"b\".qcp", "No such file")),
           QStringLiteral("Cannot open file \"/tmp/a \"b\".qcp\". No such file"));
  QVERIFY(QCoreApplication::installTranslator(&german));
  QCOMPARE(CoreText(Format(rtl::SFOpenErrorEx, "/tmp/a \"b\".qcp", "No such file")),
           QStringLiteral("Datei \"/tmp/a \"b\".qcp\" lässt sich nicht öffnen. No such file"));
  QCOMPARE(CoreText("New Topics: 12"), QStringLiteral("Neue Themen: 12"));
  QCOMPARE(CoreText("New Topics: twelve"), QStringLiteral("New Topics: twelve"));
  QCOMPARE(CoreText(qcmsg::SMissingIdentifier), QLatin1String(qcmsg::SMissingIdentifier));
  QCOMPARE(CoreText("Something else entirely"), QStringLiteral("Something else entirely"));
  // A message built from a huge line is matched by its template and quotes the line's start
  const std::string huge(1 << 20, 'x');
  QCOMPARE(CoreText(Format(rtl::SFOpenErrorEx, huge.c_str(), "No such file")),
           QStringLiteral("Datei \"%1...\" lässt sich nicht öffnen. No such file")
               .arg(QString(200, QLatin1Char('x'))));
  QVERIFY(CoreText(huge + " unknown").size() < 1000);
  QCoreApplication::removeTranslator(&german);
}

// One table makes the actions and the F1 list: every command with keys is
// listed once, in the order a user learns them, and no two share keys.
void TestAppParts::commandTableMakesActionsAndShortcutList() {
  QWidget window;
  app::TActionTable table(&window, [](const std::function<void()>& handler) { handler(); });
  QStringList names;
  for (const QString& line : table.ShortcutsText().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
    names << line.section(QLatin1Char('\t'), 1);
  const char* const expected[] = {"Open Files...",
                                  "Save",
                                  "Save As...",
                                  "Save History",
                                  "Undo",
                                  "Redo",
                                  "Copy Entire Topic to Latest",
                                  "Copy Topic Text to Latest",
                                  "Copy Entire Topic to History",
                                  "Copy Topic Text to History",
                                  "Next Difference",
                                  "Previous Difference",
                                  "Next Change",
                                  "Previous Change",
                                  "Copy Change to Latest",
                                  "Copy Change to History",
                                  "Copy Change to Latest and Go to Next",
                                  "Copy Change to History and Go to Next",
                                  "Find Topics...",
                                  "Quit"};
  QStringList expectedNames;
  for (const char* name : expected) expectedNames << QLatin1String(name);
  QCOMPARE(names, expectedNames);
  QSet<QString> keys;
  for (QAction* action : window.actions()) {
    QVERIFY(!action->objectName().isEmpty());
    if (action->shortcut().isEmpty()) continue;
    QVERIFY2(!keys.contains(action->shortcut().toString()), qPrintable(action->shortcut().toString()));
    keys << action->shortcut().toString();
  }
  bool ran = false;
  table.OnTriggered(app::TCommand::Redo, [&ran] { ran = true; });
  table.Action(app::TCommand::Redo)->trigger();
  QVERIFY(ran);
  QVERIFY(table.Action(app::TCommand::RecentFiles) == nullptr);
}

QTEST_MAIN(TestAppParts)
#include "test_AppParts.moc"
