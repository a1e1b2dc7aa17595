// Program start: the application object, the one main window, the event
// loop. Two optional arguments name a Latest and a History project file,
// opened at start as if chosen in the two open dialogs.

#include <QTextStream>

#include "app/Application.h"
#include "app/QuillcrafterDiffMain.h"

int main(int argc, char** argv) {
  app::TApplication application(argc, argv);
  const QStringList arguments = QCoreApplication::arguments().mid(1);
  if (arguments.size() > 2) {
    QTextStream(stderr) << "usage: QuillcrafterJourneymanDiff [LATEST.qcp [HISTORY.qcp]]\n";
    return 2;
  }
  app::TfrmMain frmMain;
  frmMain.show();
  if (!arguments.isEmpty()) frmMain.OpenFiles(arguments.value(0), arguments.value(1));
  return application.exec();
}
