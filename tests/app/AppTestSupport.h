#pragma once
// Helpers of the window tests: project files written through the document
// itself, and a window whose dialogs and message box are played by the test.

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QComboBox>
#include <QFrame>
#include <QPushButton>
#include <QToolButton>

#include "app/Application.h"
#include "app/QuillcrafterDiffMain.h"
#include "app/RichEditBridge.h"
#include "app/StatusBar.h"
#include "app/TopicListBox.h"
#include "app/WindowParts.h"
#include "diffview/dvDiffViewer.h"
#include "richtext/RichEdit.h"

namespace apptest {

/// One topic of a test project: its body is given as plain paragraphs and
/// written as RTF (a paragraph starting with '*' has its first word in bold).
struct TTopicData {
  int32_t id = 0;
  std::string title;
  std::vector<std::string> paragraphs;
  std::string keywords;
};

/// The RTF lines of a body with these paragraphs.
std::vector<std::string> RtfBody(const std::vector<std::string>& paragraphs);

/// Writes a project file with these topics (any order; the document sorts them).
void WriteProject(const QString& fileName, const std::vector<TTopicData>& topics);

/// The Latest and History topics of the standard pair (see the .cpp for the classes).
std::vector<TTopicData> StandardLatest();
std::vector<TTopicData> StandardHistory();

/// Runs Step with writes limited to Bytes per file, so that a save fails
/// part-way as on a full disk (also for root).
void WithFileSizeLimit(long bytes, const std::function<void()>& step);

/// Points the program's settings at a folder of the test's own for as long
/// as it lives: no test reads or writes the user's settings.
class TSettingsSandbox {
 public:
  TSettingsSandbox();
  QString Folder() const { return FFolder.path(); }

 private:
  QTemporaryDir FFolder;
};

/// The window under test, with the dialogs and the message box played by the
/// test, and settings of its own.
class THarness : public TSettingsSandbox {
 public:
  THarness();
  ~THarness();

  app::TfrmMain form;
  // The window's controls, found by their names as a user finds them on screen.
  QComboBox* cbMatch;
  app::TListBox* lbTopics;
  QPushButton* btnOpenFiles;
  QPushButton* btnSaveFile;
  app::TCaptionGroupBox* GroupBox1;
  app::TCaptionGroupBox* GroupBox2;
  TRichEdit* RichEdit1;
  TRichEdit* RichEdit2;
  QToolButton* SpeedButton1;
  QToolButton* SpeedButton2;
  QToolButton* SpeedButton3;
  QToolButton* SpeedButton4;
  app::TStatusBar* StatusBar1;
  TdvDiffViewer* dvDiffViewer1;
  app::TSplitter* Splitter1;
  app::TSplitter* Splitter2;
  QFrame* Panel1;
  QFrame* Panel2;
  QFrame* Panel4;
  QFrame* Panel5;
  QFrame* Panel6;
  app::TFocusMark* FocusMark;
  QTemporaryDir dir;
  /// What each dialog answers, in order: a file name, or an empty string for Cancel.
  QStringList latestAnswers, historyAnswers, saveAnswers;
  int latestShown = 0, historyShown = 0, saveShown = 0;
  /// The messages the message box showed.
  QStringList messages;
  /// The answers to "Save changes to ...?" in order (Cancel when none are left),
  /// and the file names it was asked for.
  QList<app::TSaveChoice> saveChoices;
  QStringList saveQuestions;
  /// The answers to yes-or-no questions (No when none are left), and the questions.
  QList<bool> yesNoAnswers;
  QStringList yesNoQuestions;

  QString Path(const QString& name) const { return dir.filePath(name); }
  /// Writes the standard pair into the temporary folder and opens it.
  void OpenStandardPair();
  /// Clicks "Open..." with the given answers.
  void Open(const QString& latest, const QString& history);
  void ClickOpen();
  void ClickSave(const QString& fileName);
  /// Clicks list row Row, as the user does.
  void ClickTopic(int row);
  /// Row of the entry whose text is Text, or -1.
  int RowOf(const QString& text) const;

  QStringList PanelTexts() const;
  QStringList ListTexts() const;
};

}  // namespace apptest
