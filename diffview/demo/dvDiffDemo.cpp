// Shows a difference viewer with a map beside it on two texts: two files
// given on the command line, or two built-in sample texts.
//
//   dvDiffDemo [file1 file2] [--png out.png] [--size WxH] [--row N]
//
// With --png the window is rendered offscreen into the file and the program
// ends; --row makes row N current first (as a click on the map would).

#include <QApplication>
#include <QHBoxLayout>
#include <QPixmap>
#include <QStringList>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "diffview/dvDiff.h"

namespace {

const char* const kSample1 =
    "Open the Latest project file first.\n"
    "Then open the History project file.\n"
    "Every topic is matched by its ID.\n"
    "Topics are listed in the order of the file.\n"
    "Click a topic to see both texts.\n"
    "The difference is shown below them.\n"
    "Deleted lines stand on the left only.\n"
    "Copy a topic with the arrow buttons.\n"
    "Save the Latest file under a new name.\n"
    "The History file is never written.\n";

const char* const kSample2 =
    "Open the Latest project file first.\n"
    "Then open the History project file.\n"
    "Every topic is matched by its ID or by its title.\n"
    "Topics are listed in the order of the file.\n"
    "Click a topic to see both texts.\n"
    "The difference is shown below them.\n"
    "Copy a topic with the arrow buttons.\n"
    "Copy only its text with the other two.\n"
    "Save the Latest file under a new name.\n"
    "The History file is never written.\n";

std::string ReadFile(const char* name) {
  std::ifstream in(name, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("Cannot open file \"") + name + "\"");
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList files;
  QString png;
  int width = 760, height = 420, row = -1;
  const QStringList args = QCoreApplication::arguments();
  for (int i = 1; i < args.size(); ++i) {
    if (args[i] == QLatin1String("--png") && i + 1 < args.size()) {
      png = args[++i];
    } else if (args[i] == QLatin1String("--size") && i + 1 < args.size()) {
      const QStringList parts = args[++i].split(QLatin1Char('x'));
      if (parts.size() == 2) width = parts[0].toInt(), height = parts[1].toInt();
    } else if (args[i] == QLatin1String("--row") && i + 1 < args.size()) {
      row = args[++i].toInt();
    } else {
      files << args[i];
    }
  }
  std::string text1 = kSample1, text2 = kSample2;
  std::string label1 = "Sample 1", label2 = "Sample 2";
  try {
    if (files.size() == 2) {
      text1 = ReadFile(files[0].toLocal8Bit().constData());
      text2 = ReadFile(files[1].toLocal8Bit().constData());
      label1 = files[0].toLocal8Bit().toStdString();
      label2 = files[1].toLocal8Bit().toStdString();
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }

  QWidget window;
  window.setWindowTitle(QStringLiteral("Difference viewer"));
  auto* layout = new QHBoxLayout(&window);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* viewer = new TdvDiffViewer(&window);
  auto* map = new TdvDiffMap(&window);
  map->setFixedWidth(25);
  layout->addWidget(viewer, 1);
  layout->addWidget(map);
  viewer->SetSrc1Label(label1);
  viewer->SetSrc2Label(label2);

  TdvDiffEngine engine;
  engine.SetDiffOptions(kMainWindowDiffOptions);
  viewer->SetDiffEngine(&engine);
  viewer->SetDiffMap(map);
  engine.CompareStrings(text1, text2);

  window.resize(width, height);
  window.show();
  if (row >= 0) viewer->MapClick(map, row);
  if (png.isEmpty()) return app.exec();
  QApplication::processEvents();
  if (!window.grab().save(png)) {
    std::fprintf(stderr, "Cannot write \"%s\"\n", qPrintable(png));
    return 1;
  }
  return 0;
}
