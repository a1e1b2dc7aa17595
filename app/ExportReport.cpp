#include "app/ExportReport.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

#include "app/Application.h"
#include "compare/ComparisonSession.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"
#include "toolkit/FileIdentity.h"
#include "toolkit/ScopeGuard.h"

namespace app {

TReportExporter::TReportExporter(QWidget* owner)
    : FOwner(owner), FDialog(std::make_unique<TFileDialog>(owner, TFileDialog::TKind::dkSave)) {
  FDialog->SetTitle(tr("Export Report"));
  FDialog->SetFilter(tr("Web Page (*.html)|*.html|CSV Table (*.csv)|*.csv"));
  FDialog->SetDefaultExt(QStringLiteral("html"));
  FDialog->SetOptions(TOpenOption::ofOverwritePrompt | TOpenOption::ofHideReadOnly |
                      TOpenOption::ofEnableSizing);
  OpenUrlHandler = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

TReportFormat TReportExporter::FormatOf(const QString& fileName) {
  return QFileInfo(fileName).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0
             ? TReportFormat::Csv
             : TReportFormat::Html;
}

void TReportExporter::Execute(TComparisonSession& session, TReportClasses classes,
                              std::function<bool(int)> entries, std::string entriesNote) {
  if (FDialog->FileName().isEmpty() && !session.LatestFileName().empty()) {
    const QFileInfo latest(QFile::decodeName(session.LatestFileName().c_str()));
    FDialog->SetFileName(
        latest.absoluteDir().filePath(latest.completeBaseName() + tr("-report") + QStringLiteral(".html")));
  }
  if (!FDialog->Execute()) return;
  const QString fileName = FDialog->FileName();
  // The report must not take the place of a file it compares.
  for (const std::string& compared : {session.LatestFileName(), session.HistoryFileName()}) {
    if (IsSameFile(qtbridge::FileNameToCore(fileName), compared))
      throw std::runtime_error(tr("%1 is one of the files compared; the report needs another name.")
                                   .arg(QDir::toNativeSeparators(fileName))
                                   .toStdString());
  }

  TReportOptions options;
  options.MatchMode = session.MatchMode();
  options.IncludeDeleted = session.ShowDeleted();
  options.Classes = classes;
  options.Entries = std::move(entries);
  options.EntriesNote = std::move(entriesNote);
  options.Decode = &qtbridge::CodePageToUtf8;
  const TReportFormat format = FormatOf(fileName);
  {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    toolkit::TScopeExit restoreCursor([] { QApplication::restoreOverrideCursor(); });
    SaveFileSafely(qtbridge::FileNameToCore(fileName), [&](TStream& stream) {
      WriteReport(session, format, options, [&stream](std::string_view bytes) {
        stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
      });
    });
  }
  if (!AskYesNo(tr("The report was written to %1.\n\nOpen it now?").arg(QDir::toNativeSeparators(fileName))))
    return;
  if (!OpenUrlHandler || !OpenUrlHandler(QUrl::fromLocalFile(QFileInfo(fileName).absoluteFilePath())))
    throw std::runtime_error(
        tr("No program could open %1.").arg(QDir::toNativeSeparators(fileName)).toStdString());
}

}  // namespace app
