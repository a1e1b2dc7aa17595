#pragma once
// File → Export Report...: the window's comparison as a report that needs
// no program to read, an HTML page or a CSV table, chosen by the file's
// type. It is written as the window saves (complete beside the target, then
// put in its place); afterwards the window offers to open it.

#include <QCoreApplication>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

#include "app/FileDialogs.h"
#include "compare/Report.h"

class QWidget;
class TComparisonSession;

namespace app {

class TReportExporter {
  Q_DECLARE_TR_FUNCTIONS(app::TReportExporter)

 public:
  explicit TReportExporter(QWidget* owner);

  /// Where the report goes; tests play it through its ExecuteHandler.
  TFileDialog& Dialog() { return *FDialog; }
  /// Opens the written report in the program the desktop chooses
  /// (QDesktopServices by default); false when nothing could open it.
  std::function<bool(const QUrl& url)> OpenUrlHandler;

  /// The format a file name asks for: CSV for *.csv, HTML for anything else.
  static TReportFormat FormatOf(const QString& fileName);

  /// Asks for the file (next to Latest, named after it, the first time),
  /// writes the report of Session with the classes Classes (what the list
  /// shows), then asks whether to open it. Raises when the report cannot
  /// be written; the file that was there then stays as it was.
  /// Entries, when set, further narrows the listed topics (the search), and
  /// EntriesNote says how, on the page.
  void Execute(TComparisonSession& session, TReportClasses classes, std::function<bool(int)> entries = {},
               std::string entriesNote = {});

 private:
  QWidget* FOwner;
  std::unique_ptr<TFileDialog> FDialog;
};

}  // namespace app
