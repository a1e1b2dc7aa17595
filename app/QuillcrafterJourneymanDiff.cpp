// Program start: the application object, the one main window, the event
// loop. Two optional arguments name a Latest and a History project file,
// opened at start as if chosen in the two open dialogs.

#include <QTextStream>
#include <cstring>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/QuillcrafterDiffMain.h"
#include "app/VersionInfo.h"

namespace {

const char* const kUsage = "usage: QuillcrafterJourneymanDiff [LATEST.qcp [HISTORY.qcp]]\n";

}  // namespace

int main(int argc, char** argv) {
  // --version and --help are answered before the application object exists,
  // so they work without a display (scripts, package checks).
  if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "--help") == 0 ||
                    std::strcmp(argv[1], "-h") == 0)) {
    QTextStream out(stdout);
    if (std::strcmp(argv[1], "--version") == 0)
      out << app::ToQString(app::GetVersionCaption(app::ProgramFileName())) << '\n';
    else
      out << kUsage << "Compares the topics of two help project files side by side.\n";
    return 0;
  }
  app::TApplication application(argc, argv);
  const QStringList arguments = QCoreApplication::arguments().mid(1);
  if (arguments.size() > 2) {
    QTextStream(stderr) << kUsage;
    return 2;
  }
  app::TfrmMain frmMain;
  frmMain.show();
  if (!arguments.isEmpty()) frmMain.OpenFiles(arguments.value(0), arguments.value(1));
  return application.exec();
}
