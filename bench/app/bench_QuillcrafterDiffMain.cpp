// The whole window, offscreen: open two 20,000-topic project files and show
// the list; change the match mode; click a topic whose bodies have 2,000
// lines until the viewer has painted the result.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/QuillcrafterDiffMain.h"
#include "app/RichEditBridge.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffViewer.h"
#include "document/QuillcrafterDoc.h"
#include "richtext/RichEdit.h"
#include "toolkit/Streams.h"

namespace {

constexpr int kTopics = 20000;
constexpr int kLongBody = 2000;

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
    // One line in fifty differs in History; every third topic differs at all.
    const bool differs = history && id % 3 == 0 && i % 50 == 7;
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

void BM_ClickTopicWithLongBodies(benchmark::State& state) {
  App();
  auto form = OpenWindow();
  for (auto _ : state) {
    Part<app::TListBox>(*form, "lbTopics")->SetItemIndex(0);  // topic 1: 2,000 lines on each side
    form->lbTopicsClick();
    Part<TdvDiffViewer>(*form, "dvDiffViewer1")->repaint();
  }
  state.counters["rows"] = form->Session().DiffEngine().Result1().Count();
}
BENCHMARK(BM_ClickTopicWithLongBodies)->Unit(benchmark::kMillisecond);

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
  const std::string text1 = form->Session().PlainTextOf(form->OrigTopic());
  const std::string text2 = form->Session().PlainTextOf(form->HistTopic());
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
