#include "AppTestSupport.h"

#include <sys/resource.h>
#include <QSettings>
#include <csignal>

#include <QPushButton>
#include <QTest>

#include "app/AppText.h"
#include "app/Application.h"
#include "document/QuillcrafterDoc.h"

namespace apptest {

std::vector<std::string> RtfBody(const std::vector<std::string>& paragraphs) {
  std::vector<std::string> lines{
      "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}",
      "\\viewkind4\\uc1\\pard\\f0\\fs20"};
  for (const std::string& paragraph : paragraphs) {
    if (!paragraph.empty() && paragraph[0] == '*') {
      const size_t blank = paragraph.find(' ');
      lines.push_back("\\b " + paragraph.substr(1, blank - 1) + "\\b0 " +
                      (blank == std::string::npos ? "" : paragraph.substr(blank)) + "\\par");
    } else {
      lines.push_back(paragraph + "\\par");
    }
  }
  lines.push_back("}");
  return lines;
}

void WriteProject(const QString& fileName, const std::vector<TTopicData>& topics) {
  TQuillcrafterDoc doc;
  for (const TTopicData& def : topics) {
    TQCTopic* topic = doc.Topics().Add();
    topic->SetTopicID(def.id);
    TStringList text;
    for (const std::string& line : RtfBody(def.paragraphs)) text.Add(line);
    topic->SetText(text);
    topic->SetTitle(def.title);
    topic->SetKeywords(def.keywords);
  }
  doc.SaveToFile(app::FileNameToCore(fileName));
}

// Latest against History, by match mode (ID / title / ID or title):
//   1 Introduction     same everywhere                         Identical everywhere
//   2 Installing       one line differs                        Different everywhere
//   3 Licence          keywords differ                         Identical Text everywhere
//   4 New Feature      nowhere in History                      New everywhere
//   5 Moved            History has it as 50                    New / Identical Text / Identical Text
//   6 Renamed Latest   History 6 is "Renamed History"          Identical Text / New / Identical Text
//   7 (no title)       History 70 has no title, other text     New / Different / Different
//  12 Installing       text of Latest 2, title of History 2    New / Different / Different
// History 8 exists only in History.
std::vector<TTopicData> StandardLatest() {
  return {
      {1, "Introduction", {"Welcome to the product.", "Read on."}, ""},
      {2, "Installing", {"Step one: unpack.", "Step two: run setup.", "Step three: enjoy."}, ""},
      {3, "Licence", {"You may use this."}, "licence;terms"},
      {4, "New Feature", {"Brand new."}, ""},
      {5, "Moved", {"Moved text."}, ""},
      {6, "Renamed Latest", {"Renamed text."}, ""},
      {7, "", {"Untitled latest."}, ""},
      {12, "Installing", {"Step one: unpack.", "Step two: run setup.", "Step three: enjoy."}, ""},
  };
}

std::vector<TTopicData> StandardHistory() {
  return {
      {1, "Introduction", {"Welcome to the product.", "Read on."}, ""},
      {2, "Installing", {"Step one: unpack.", "Step two: run the installer.", "Step three: enjoy."}, ""},
      {3, "Licence", {"You may use this."}, "licence"},
      {6, "Renamed History", {"Renamed text."}, ""},
      {8, "Only in History", {"Gone from Latest."}, ""},
      {50, "Moved", {"Moved text."}, ""},
      {70, "", {"Untitled history."}, ""},
  };
}

namespace {
std::function<bool(app::TFileDialog&)> dialog_player(QStringList& answers, int& shown) {
  return [&answers, &shown](app::TFileDialog& dialog) {
    ++shown;
    const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
    if (answer.isEmpty()) return false;
    dialog.SetFileName(answer);
    return true;
  };
}
template <class T>
T* Part(const app::TfrmMain& form, const char* name) {
  T* part = form.findChild<T*>(QLatin1String(name));
  if (part == nullptr) qFatal("the window has no %s", name);
  return part;
}

}  // namespace

void WithFileSizeLimit(long bytes, const std::function<void()>& step) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &small);
  step();
  setrlimit(RLIMIT_FSIZE, &old);
}

TSettingsSandbox::TSettingsSandbox() {
  QSettings::setDefaultFormat(QSettings::IniFormat);
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FFolder.path());
}

THarness::THarness()
    : cbMatch(Part<QComboBox>(form, "cbMatch")),
      lbTopics(Part<app::TListBox>(form, "lbTopics")),
      btnOpenFiles(Part<QPushButton>(form, "btnOpenFiles")),
      btnSaveFile(Part<QPushButton>(form, "btnSaveFile")),
      GroupBox1(Part<app::TCaptionGroupBox>(form, "GroupBox1")),
      GroupBox2(Part<app::TCaptionGroupBox>(form, "GroupBox2")),
      RichEdit1(Part<TRichEdit>(form, "RichEdit1")),
      RichEdit2(Part<TRichEdit>(form, "RichEdit2")),
      SpeedButton1(Part<QToolButton>(form, "SpeedButton1")),
      SpeedButton2(Part<QToolButton>(form, "SpeedButton2")),
      SpeedButton3(Part<QToolButton>(form, "SpeedButton3")),
      SpeedButton4(Part<QToolButton>(form, "SpeedButton4")),
      StatusBar1(Part<app::TStatusBar>(form, "StatusBar1")),
      dvDiffViewer1(Part<TdvDiffViewer>(form, "dvDiffViewer1")),
      Splitter1(Part<app::TSplitter>(form, "Splitter1")),
      Splitter2(Part<app::TSplitter>(form, "Splitter2")),
      Panel1(Part<QFrame>(form, "Panel1")),
      Panel2(Part<QFrame>(form, "Panel2")),
      Panel4(Part<QFrame>(form, "Panel4")),
      Panel5(Part<QFrame>(form, "Panel5")),
      Panel6(Part<QFrame>(form, "Panel6")),
      FocusMark(Part<app::TFocusMark>(form, "FocusMark")) {
  form.OpenDialog1->ExecuteHandler = dialog_player(latestAnswers, latestShown);
  form.OpenDialog2->ExecuteHandler = dialog_player(historyAnswers, historyShown);
  form.SaveDialog1->ExecuteHandler = dialog_player(saveAnswers, saveShown);
  app::SetMessageBoxHandler([this](const QString&, const QString& message) { messages << message; });
  app::SetSaveQuestionHandler([this](const QString& fileName) {
    saveQuestions << fileName;
    return saveChoices.isEmpty() ? app::TSaveChoice::scCancel : saveChoices.takeFirst();
  });
  app::SetYesNoHandler([this](const QString& question) {
    yesNoQuestions << question;
    return !yesNoAnswers.isEmpty() && yesNoAnswers.takeFirst();
  });
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) qWarning("window not exposed");
}

THarness::~THarness() {
  app::SetMessageBoxHandler(nullptr);
  app::SetSaveQuestionHandler(nullptr);
  app::SetYesNoHandler(nullptr);
}

void THarness::OpenStandardPair() {
  WriteProject(Path(QStringLiteral("Latest.qcp")), StandardLatest());
  WriteProject(Path(QStringLiteral("History.qcp")), StandardHistory());
  Open(Path(QStringLiteral("Latest.qcp")), Path(QStringLiteral("History.qcp")));
}

void THarness::Open(const QString& latest, const QString& history) {
  latestAnswers = QStringList{latest};
  historyAnswers = QStringList{history};
  ClickOpen();
}

void THarness::ClickOpen() { QTest::mouseClick(btnOpenFiles, Qt::LeftButton); }

void THarness::ClickSave(const QString& fileName) {
  saveAnswers = QStringList{fileName};
  QTest::mouseClick(btnSaveFile, Qt::LeftButton);
}

void THarness::ClickTopic(int row) {
  const QModelIndex index = lbTopics->model()->index(row, 0);
  lbTopics->scrollTo(index);
  QTest::mouseClick(lbTopics->viewport(), Qt::LeftButton, {}, lbTopics->visualRect(index).center());
}

int THarness::RowOf(const QString& text) const { return static_cast<int>(ListTexts().indexOf(text)); }

QStringList THarness::PanelTexts() const {
  QStringList texts;
  for (int i = 0; i < StatusBar1->PanelCount(); ++i) texts << StatusBar1->Panel(i).Text;
  return texts;
}

QStringList THarness::ListTexts() const {
  QStringList texts;
  const TStringList& items = lbTopics->Items();
  for (int i = 0; i < items.Count(); ++i) texts << app::ToQString(items[i]);
  return texts;
}

}  // namespace apptest
