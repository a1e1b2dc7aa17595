#pragma once
// Helpers of the window tests: project files written through the document
// itself, and a window whose dialogs and message box are played by the test.

#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "app/QuillcrafterDiffMain.h"

namespace apptest {

/// One topic of a test project: its body is given as plain paragraphs and
/// written as RTF (a paragraph starting with '*' has its first word in bold).
struct TTopicSpec {
  int32_t id = 0;
  std::string title;
  std::vector<std::string> paragraphs;
  std::string keywords;
};

/// The RTF lines of a body with these paragraphs.
std::vector<std::string> RtfBody(const std::vector<std::string>& paragraphs);

/// Writes a project file with these topics (any order; the document sorts them).
void WriteProject(const QString& fileName, const std::vector<TTopicSpec>& topics);

/// The Latest and History topics of the standard pair (see the .cpp for the classes).
std::vector<TTopicSpec> StandardLatest();
std::vector<TTopicSpec> StandardHistory();

/// The window under test, with the dialogs and the message box played by the test.
class THarness {
 public:
  THarness();
  ~THarness();

  app::TfrmMain form;
  QTemporaryDir dir;
  /// What each dialog answers, in order: a file name, or an empty string for Cancel.
  QStringList latestAnswers, historyAnswers, saveAnswers;
  int latestShown = 0, historyShown = 0, saveShown = 0;
  /// The messages the message box showed.
  QStringList messages;

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
