#include "app/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace app {

QStringList TFileDialog::NameFilters() const {
  QStringList filters;
  const QStringList parts = FFilter.split(QLatin1Char('|'));
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& description = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    // Qt reads the patterns from the parentheses of the description.
    if (description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
      filters << description;
    else
      filters << description + QStringLiteral(" (") + patterns + QLatin1Char(')');
  }
  return filters;
}

bool TFileDialog::Execute() {
  if (ExecuteHandler) return ExecuteHandler(*this);

  QFileDialog dialog(FOwner, FTitle);
  dialog.setAcceptMode(FKind == TKind::dkSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(FKind == TKind::dkOpen && HasOption(TOpenOption::ofFileMustExist)
                         ? QFileDialog::ExistingFile
                         : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !HasOption(TOpenOption::ofOverwritePrompt));
  dialog.setNameFilters(NameFilters());
  dialog.setDefaultSuffix(FDefaultExt);
  dialog.setSizeGripEnabled(HasOption(TOpenOption::ofEnableSizing));
  if (!FFileName.isEmpty()) {
    const QFileInfo info(FFileName);
    dialog.setDirectory(info.absolutePath());
    dialog.selectFile(info.fileName());
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  FFileName = dialog.selectedFiles().constFirst();
  return true;
}

}  // namespace app
