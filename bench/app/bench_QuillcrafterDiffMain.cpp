// The whole window, offscreen: open two 20,000-topic project files and show
// the list; change the match mode; select a topic whose bodies have 3,000
// lines with 30 scattered edits until both texts and the difference are
// painted; copy a text and recount; reopen the pair and watch the memory;
// type into the search box and switch a class off and on over the 20,000
// topics.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolButton>
#include <fstream>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/QuillcrafterDiffMain.h"
#include "app/RichEditBridge.h"
#include "app/StatusBar.h"
#include "app/TopicListBox.h"
#include "compare/EntryFilter.h"
#include "compare/FormatDifferences.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffViewer.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "richtext/RichEdit.h"
#include "toolkit/Streams.h"

namespace {

constexpr int kTopics = 20000;
constexpr int kLongBody = 3000;

QApplication& App() {
  static int argc = 1;
  static char name[] = "app_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

std::vector<std::string> Body(int id, int lines, bool history) {
  std::vector<std::string> body{"{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil Arial;}}",
                                "\\viewkind4\\uc1\\pard\\f0\\fs20"};
  for (int i = 0; i < lines; ++i) {
    // Topic 1: one line in a hundred differs in History (30 edits). Others:
    // one line in fifty, in every third topic.
    const bool differs = history && (id == 1 ? i % 100 == 37 : id % 3 == 0 && i % 50 == 7);
    body.push_back("Line " + std::to_string(i) + " of topic " + std::to_string(id) +
                   (differs ? " (older wording)" : " with its usual text") + "\\par");
  }
  body.push_back("}");
  return body;
}

void WriteProject(const QString& fileName, bool history) {
  TQuillcrafterDoc doc;
  TStringList text;
  for (int id = 1; id <= kTopics; ++id) {
    if (history && id % 10 == 0) continue;  // new in Latest
    TQCTopic* topic = doc.Topics().Add();
    topic->SetTopicID(id);
    text.Clear();
    for (const std::string& line : Body(id, id == 1 ? kLongBody : 12, history)) text.Add(line);
    topic->SetText(text);
    topic->SetTitle("Topic number " + std::to_string(id));
  }
  doc.SaveToFile(app::FileNameToCore(fileName));
}

struct TFiles {
  QTemporaryDir dir;
  QString latest, history;
  TFiles() {
    latest = dir.filePath(QStringLiteral("Latest.qcp"));
    history = dir.filePath(QStringLiteral("History.qcp"));
    WriteProject(latest, false);
    WriteProject(history, true);
  }
};

const TFiles& Files() {
  static const TFiles files;
  return files;
}

template <class T>
T* Part(app::TfrmMain& form, const char* name) {
  return form.findChild<T*>(QLatin1String(name));
}

std::unique_ptr<app::TfrmMain> OpenWindow() {
  auto form = std::make_unique<app::TfrmMain>();
  form->show();
  QCoreApplication::processEvents();
  form->OpenFiles(Files().latest, Files().history);
  QCoreApplication::processEvents();
  return form;
}

void BM_OpenTwoFilesAndShowList(benchmark::State& state) {
  App();
  Files();
  auto form = OpenWindow();
  app::SetMessageBoxHandler([&](const QString&, const QString& message) {
    state.SkipWithError(message.toLocal8Bit().constData());
  });
  for (auto _ : state) {
    form->OpenFiles(Files().latest, Files().history);
    QCoreApplication::processEvents();
    Part<app::TListBox>(*form, "lbTopics")->viewport()->repaint();
  }
  app::SetMessageBoxHandler(nullptr);
  state.counters["topics"] = Part<app::TListBox>(*form, "lbTopics")->Count();
  state.counters["new"] = form->NewCount();
}
BENCHMARK(BM_OpenTwoFilesAndShowList)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ChangeMatchMode(benchmark::State& state) {
  App();
  auto form = OpenWindow();
  int mode = 0;
  for (auto _ : state) {
    mode = (mode + 1) % 3;
    Part<QComboBox>(*form, "cbMatch")->setCurrentIndex(mode);
    Part<app::TListBox>(*form, "lbTopics")->viewport()->repaint();
    Part<app::TStatusBar>(*form, "StatusBar1")->repaint();
  }
  state.counters["different"] = form->DifferentCount();
}
BENCHMARK(BM_ChangeMatchMode)->Unit(benchmark::kMillisecond);

// What a user waits for on a click: the pair selected through the list, both
// rich views and the difference updated and painted. A short topic is
// selected between the timed clicks, so every click loads the long pair anew.
void BM_ClickTopicWithLongBodies(benchmark::State& state) {
  App();
  auto form = OpenWindow();
  auto* list = Part<app::TListBox>(*form, "lbTopics");
  auto* viewer = Part<TdvDiffViewer>(*form, "dvDiffViewer1");
  auto* view1 = Part<TRichEdit>(*form, "RichEdit1");
  auto* view2 = Part<TRichEdit>(*form, "RichEdit2");
  for (auto _ : state) {
    state.PauseTiming();
    list->SetItemIndex(1);
    form->lbTopicsClick();
    QCoreApplication::processEvents();
    state.ResumeTiming();
    list->SetItemIndex(0);  // topic 1: 3,000 lines on each side
    form->lbTopicsClick();
    view1->viewport()->repaint();
    view2->viewport()->repaint();
    viewer->repaint();
  }
  state.counters["rows"] = form->Session().DiffEngine().Result1().Count();
}
BENCHMARK(BM_ClickTopicWithLongBodies)->Unit(benchmark::kMillisecond);

// From a new window to the topic list painted.
void BM_StartToListPainted(benchmark::State& state) {
  App();
  Files();
  for (auto _ : state) {
    auto form = std::make_unique<app::TfrmMain>();
    form->show();
    form->OpenFiles(Files().latest, Files().history);
    QCoreApplication::processEvents();
    Part<app::TListBox>(*form, "lbTopics")->viewport()->repaint();
    state.PauseTiming();
    form.reset();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_StartToListPainted)->Unit(benchmark::kMillisecond)->Iterations(5);

// A copy of one topic's text into History, with its recount and the pair
// shown again; undone untimed.
void BM_CopyTextAndRecount(benchmark::State& state) {
  App();
  auto form = OpenWindow();
  auto* list = Part<app::TListBox>(*form, "lbTopics");
  list->SetItemIndex(2);  // topic 3: its text differs
  form->lbTopicsClick();
  for (auto _ : state) {
    form->CopyExecute(TCopyKind::TextToHistory);
    list->viewport()->repaint();
    state.PauseTiming();
    form->UndoExecute();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["different"] = form->DifferentCount();
}
BENCHMARK(BM_CopyTextAndRecount)->Unit(benchmark::kMillisecond);

double ResidentMegabytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return static_cast<double>(resident) * 4096.0 / (1024.0 * 1024.0);
}

// The same pair opened ten times in one window: the resident size after the
// first open, the second (while a new pair is read the old one is still
// there, so the second open sets the level) and the tenth.
void BM_ReopenTenTimes(benchmark::State& state) {
  App();
  auto form = OpenWindow();
  double first = 0, second = 0, tenth = 0;
  for (auto _ : state) {
    first = ResidentMegabytes();
    for (int i = 1; i < 10; ++i) {
      form->OpenFiles(Files().latest, Files().history);
      QCoreApplication::processEvents();
      if (i == 1) second = ResidentMegabytes();
    }
    tenth = ResidentMegabytes();
  }
  state.counters["rss_first_MB"] = first;
  state.counters["rss_second_MB"] = second;
  state.counters["rss_tenth_MB"] = tenth;
}
BENCHMARK(BM_ReopenTenTimes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

namespace {

// The stages of a click on topic 1, one at a time: where the time goes.
void BM_ClickStages(benchmark::State& state) {
  App();
  auto form = OpenWindow();
  TQCTopic* topic = form->Session().Latest().Topics().Items(0);
  Part<app::TListBox>(*form, "lbTopics")->SetItemIndex(0);
  form->lbTopicsClick();
  TRichEdit* view = Part<TRichEdit>(*form, "RichEdit1");
  const std::string text1 = form->Session().PlainTextOf(form->LatestTopic());
  const std::string text2 = form->Session().PlainTextOf(form->HistoryTopic());
  TdvDiffEngine bareEngine;  // no viewer attached
  static const char* const kStages[] = {"load one RTF body into a view", "plain text of one topic",
                                        "line comparison only", "comparison shown in the viewer",
                                        "viewer paint"};
  state.SetLabel(kStages[state.range(0)]);
  for (auto _ : state) {
    switch (state.range(0)) {
      case 0: {
        TMemoryStream stream;
        stream.WriteString(topic->WholeText());
        stream.SetPosition(0);
        app::RichEditLoadFromStream(*view, stream);
        int laidOut = 0;
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
          if (block.layout() != nullptr && block.layout()->lineCount() > 0) ++laidOut;
        state.counters["blocks_laid_out"] = laidOut;
        break;
      }
      case 1:
        benchmark::DoNotOptimize(form->Session().PlainTextOf(topic));
        break;
      case 2:
        bareEngine.CompareStrings(text1, text2);
        break;
      case 3:
        form->Session().DiffEngine().CompareStrings(text1, text2);
        break;
      default:
        Part<TdvDiffViewer>(*form, "dvDiffViewer1")->repaint();
        break;
    }
  }
}
BENCHMARK(BM_ClickStages)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// Find and filter over the 20,000 topics, with the search's texts already
// built (as the window builds them while idle after an open).
std::unique_ptr<app::TfrmMain> OpenWindowWithSearchTexts() {
  auto form = OpenWindow();
  while (form->Session().Filter().Prepare(1000)) {
  }
  return form;
}

void TypeKey(QWidget* target, int key, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QCoreApplication::sendEvent(target, &release);
}

// One keystroke in the search box, list and texts shown: 0 a character
// that narrows the search ("topic 1" to "topic 17"), 1 a first character
// found nowhere (every text read to its end), 2 a backspace ("topic 17" to
// "topic 1", every topic searched again).
void BM_SearchKeystroke(benchmark::State& state) {
  App();
  auto form = OpenWindowWithSearchTexts();
  auto* search = form->findChild<QLineEdit*>(QStringLiteral("SearchBox"));
  auto* list = Part<app::TListBox>(*form, "lbTopics");
  static const char* const kCases[] = {"type '7' after 'topic 1'", "type 'q' into the empty box",
                                       "backspace from 'topic 17'"};
  const int which = static_cast<int>(state.range(0));
  state.SetLabel(kCases[which]);
  const QString before = which == 0   ? QStringLiteral("topic 1")
                         : which == 1 ? QString()
                                      : QStringLiteral("topic 17");
  int listed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    search->setText(before);
    search->end(false);
    QCoreApplication::processEvents();
    state.ResumeTiming();
    if (which == 0)
      TypeKey(search, Qt::Key_7, QStringLiteral("7"));
    else if (which == 1)
      TypeKey(search, Qt::Key_Q, QStringLiteral("q"));
    else
      TypeKey(search, Qt::Key_Backspace, QString());
    list->viewport()->repaint();
    listed = list->Count();
  }
  state.counters["listed"] = listed;
}
BENCHMARK(BM_SearchKeystroke)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// A click on a class switch, the list shown again: 0 without a search, 1
// with "topic 1" in the search box.
void BM_ToggleClassFilter(benchmark::State& state) {
  App();
  auto form = OpenWindowWithSearchTexts();
  auto* search = form->findChild<QLineEdit*>(QStringLiteral("SearchBox"));
  auto* list = Part<app::TListBox>(*form, "lbTopics");
  auto* button =
      form->findChild<QToolButton*>(QStringLiteral("FilterButton%1").arg(static_cast<int>(tcIdentical)));
  state.SetLabel(state.range(0) == 0 ? "no search" : "searching 'topic 1'");
  if (state.range(0) == 1) search->setText(QStringLiteral("topic 1"));
  for (auto _ : state) {
    button->click();
    list->viewport()->repaint();
  }
  state.counters["listed"] = list->Count();
}
BENCHMARK(BM_ToggleClassFilter)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Building the search's texts of all 40,000 topics at once: what the window
// spreads over its idle time after an open, and what a search typed before
// that has finished waits for.
void BM_BuildSearchTexts(benchmark::State& state) {
  App();
  auto form = OpenWindow();
  for (auto _ : state) {
    form->Session().Filter().Reset();
    while (form->Session().Filter().Prepare(1000)) {
    }
  }
}
BENCHMARK(BM_BuildSearchTexts)->Unit(benchmark::kMillisecond)->Iterations(3);

// The formatting compare of a selected pair of 2,000-line texts whose lines
// all read the same, every hundredth one in bold on one side only.
void BM_FormatChangesOfLongPair(benchmark::State& state) {
  std::string latest = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard\\f0 ";
  std::string history = latest;
  for (int i = 0; i < kLongBody; ++i) {
    const std::string line = "Line " + std::to_string(i) + " of a long topic with its usual text";
    latest += line + "\\par ";
    history += (i % 100 == 0 ? "\\b " + line + "\\b0" : line) + "\\par ";
  }
  latest += "}";
  history += "}";
  TdvDiffEngine engine;
  engine.CompareStrings(RtfPlainTextCrLf(latest, &qtbridge::CodePageToUtf8),
                        RtfPlainTextCrLf(history, &qtbridge::CodePageToUtf8));
  size_t rows = 0;
  for (auto _ : state)
    rows = RowFormatChanges(engine.Rows(), latest, history, &qtbridge::CodePageToUtf8).size();
  state.counters["marked rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_FormatChangesOfLongPair)->Unit(benchmark::kMillisecond);

}  // namespace
