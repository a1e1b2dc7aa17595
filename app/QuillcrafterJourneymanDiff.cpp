// Program start: the command line, the application object, the one main
// window, the event loop. Two optional arguments name a Latest and a History
// project file, opened at start as if chosen in the two open dialogs.

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/MergeWindow.h"
#include "app/QuillcrafterDiffMain.h"
#include "app/VersionInfo.h"
#include "document/QuillcrafterDoc.h"
#include "document/TopicComparison.h"

namespace {

/// A side of a difftool's pair: the file itself, or for /dev/null (a file
/// added or deleted) an empty project in Folder, named as the repository's
/// file and read-only on disk, so that nothing is saved where git reads no more.
QString DiffSide(const QString& file, const QString& label, const QTemporaryDir& folder, const char* side) {
  if (file != QStringLiteral("/dev/null")) return file;
  const QString name = label.isEmpty() ? QStringLiteral("empty.qcp") : QFileInfo(label).fileName();
  QDir(folder.path()).mkpath(QString::fromLatin1(side));
  const QString path = folder.filePath(QString::fromLatin1(side) + QLatin1Char('/') + name);
  TQuillcrafterDoc().SaveToFile(QFile::encodeName(path).toStdString());
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  // The command line is read before the application object exists, so that
  // --version and --help work without a display (scripts, package checks).
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QCoreApplication::translate("app", "Compares the topics of two help project files side by side."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption match(
      QStringLiteral("match"),
      QCoreApplication::translate("app", "Match topics by MODE: id, title or id-or-title."),
      QCoreApplication::translate("app", "MODE"));
  parser.addOption(match);
  const QCommandLineOption diff(
      QStringLiteral("diff"),
      QCoreApplication::translate("app",
                                  "As git difftool: LOCAL.qcp REMOTE.qcp follow, LOCAL as History, "
                                  "REMOTE as Latest; /dev/null is an empty project."));
  parser.addOption(diff);
  const QCommandLineOption label(
      QStringLiteral("label"),
      QCoreApplication::translate("app", "The name the caption shows for the pair (a repository path)."),
      QCoreApplication::translate("app", "NAME"));
  parser.addOption(label);
  // A merge for version-control tools: BASE (or /dev/null) with OURS and THEIRS as the two arguments.
  const QCommandLineOption merge(
      QStringLiteral("merge"),
      QCoreApplication::translate("app",
                                  "Merge OURS and THEIRS (the two arguments) changed from BASE into OUT."),
      QCoreApplication::translate("app", "BASE"));
  parser.addOption(merge);
  const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                  QCoreApplication::translate("app", "The merged file --merge writes."),
                                  QCoreApplication::translate("app", "OUT"));
  parser.addOption(output);
  parser.addPositionalArgument(QStringLiteral("latest"),
                               QCoreApplication::translate("app", "The Latest project file (*.qcp)."),
                               QStringLiteral("[LATEST.qcp"));
  parser.addPositionalArgument(QStringLiteral("history"),
                               QCoreApplication::translate("app", "The History project file (*.qcp)."),
                               QStringLiteral("[HISTORY.qcp]]"));
  QTextStream out(stdout);
  QTextStream err(stderr);
  // Without an application object the parser cannot know the program's name.
  const QString usage = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                  QStringLiteral("QuillcrafterJourneymanDiff"));
  if (!parser.parse(arguments)) {
    err << parser.errorText() << '\n' << usage;
    return 2;
  }
  if (parser.isSet(version)) {
    out << app::ToQString(app::GetVersionCaption(app::ProgramFileName())) << '\n';
    return 0;
  }
  if (parser.isSet(help)) {
    out << usage;
    return 0;
  }
  QStringList files = parser.positionalArguments();
  const std::optional<TTopicMatchMode> mode =
      parser.isSet(match) ? MatchModeFromToken(parser.value(match).toStdString()) : TTopicMatchMode::tmByID;
  if (files.size() > 2 || !mode || (parser.isSet(diff) && files.size() != 2)) {
    err << (!mode ? QCoreApplication::translate("app", "Unknown match mode: %1\n").arg(parser.value(match))
                  : QString())
        << usage;
    return 2;
  }
  const bool merging = parser.isSet(merge);
  if (merging && (files.size() != 2 || !parser.isSet(output))) {
    err << QCoreApplication::translate("app", "--merge BASE needs OURS and THEIRS and -o OUT\n") << usage;
    return 2;
  }
  err.flush();

  app::TApplication application(argc, argv);
  if (merging) {
    // Exit status 0 only when OUT was saved with no conflict left.
    app::TfrmMerge frmMerge;
    frmMerge.show();
    bool opened = false;
    app::RunHandler([&] {
      frmMerge.OpenMerge(parser.value(merge), files.value(0), files.value(1), parser.value(output));
      opened = true;
    });
    if (!opened) return 1;
    application.exec();
    return frmMerge.ExitStatus();
  }
  app::TfrmMain frmMain;
  if (parser.isSet(match)) frmMain.SetMatchModeIndex(static_cast<int>(*mode));
  frmMain.show();
  // The empty sides live as long as the window.
  QTemporaryDir emptySides;
  if (parser.isSet(diff)) {
    const QString name = parser.value(label);
    files = {DiffSide(files[1], name, emptySides, "Latest"), DiffSide(files[0], name, emptySides, "History")};
    if (!name.isEmpty()) frmMain.SetCaptionLabel(name);
  }
  if (!files.isEmpty()) frmMain.OpenFiles(files.value(0), files.value(1));
  return application.exec();
}
