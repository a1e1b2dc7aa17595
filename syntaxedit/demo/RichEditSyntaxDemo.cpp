// A small window around the colouring rich edit, for trying it out and for
// screenshots: a language picker over a code view that colours as you type,
// and the built-in text macros applied to the selection of a topic text.
//
//   richeditsyntax_demo                 opens the window
//   richeditsyntax_demo --shots DIR     types Pascal, C++ and XML into it and
//                                       writes DIR/richeditsyntax-<lang>.png

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>
#include <QWidget>

#include "DemoMacros.h"
#include "qtbridge/QtText.h"
#include "syntax/hltConverters.h"
#include "syntaxedit/RichEditHighlight.h"
#include "toolkit/SysUtils.h"

namespace {

const char* const kLanguageCaptions[SyntaxTypeCount] = {"C++", "DFM",      "JScript", "SQL",
                                                        "VB",  "VBScript", "XML",     "Pascal"};

/// Runs Action; an error is shown in a message box instead of leaving the event loop.
template <class F>
void Guarded(QWidget* parent, F&& action) {
  try {
    action();
  } catch (const Exception& e) {
    QMessageBox::warning(parent, QStringLiteral("Rich edit demo"), qtbridge::CoreTextToQString(e.what()));
  }
}

class TDemoWindow : public QWidget {
 public:
  TDemoWindow() {
    setWindowTitle(QStringLiteral("Syntax colouring rich edit"));
    auto* layout = new QVBoxLayout(this);

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("Language:")));
    FLanguage = new QComboBox;
    for (const char* caption : kLanguageCaptions) FLanguage->addItem(QString::fromLatin1(caption));
    FLanguage->setCurrentIndex(stDelphi);
    bar->addWidget(FLanguage);
    auto* colourAll = new QPushButton(QStringLiteral("Colour all"));
    bar->addWidget(colourAll);
    bar->addStretch();
    layout->addLayout(bar);

    auto* splitter = new QSplitter(Qt::Vertical);
    FCode = new TRichEditSyntax;
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPointSize(10);
    FCode->setFont(mono);
    FCode->document()->setDefaultFont(mono);
    FCode->SetWordWrap(false);
    splitter->addWidget(FCode);

    auto* lower = new QWidget;
    auto* lowerLayout = new QHBoxLayout(lower);
    lowerLayout->setContentsMargins(0, 0, 0, 0);
    FTopic = new TRichEdit;
    lowerLayout->addWidget(FTopic, 3);
    auto* macroColumn = new QVBoxLayout;
    macroColumn->addWidget(new QLabel(QStringLiteral("Text macros (double-click to apply):")));
    FMacros = new QListWidget;
    FMacros->addItems(demo::BuiltInMacroNames());
    macroColumn->addWidget(FMacros);
    lowerLayout->addLayout(macroColumn, 1);
    splitter->addWidget(lower);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(splitter);

    connect(FLanguage, &QComboBox::currentIndexChanged, this, [this](int index) {
      Guarded(this, [&] {
        FCode->SetSyntaxType(static_cast<TSyntaxType>(index));
        FCode->HighlightAll();
      });
    });
    connect(colourAll, &QPushButton::clicked, this,
            [this] { Guarded(this, [&] { FCode->HighlightAll(); }); });
    connect(FMacros, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
      Guarded(this, [&] { demo::ApplyBuiltInMacro(FMacros->row(item), *FTopic); });
    });
    resize(820, 640);
  }

  TRichEditSyntax& Code() { return *FCode; }
  TRichEdit& Topic() { return *FTopic; }
  void SetLanguage(TSyntaxType language) { FLanguage->setCurrentIndex(language); }
  void ApplyMacro(const QString& name) { demo::ApplyBuiltInMacro(FMacros->row(FindMacro(name)), *FTopic); }

 private:
  QListWidgetItem* FindMacro(const QString& name) {
    const QList<QListWidgetItem*> found = FMacros->findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
  }

  QComboBox* FLanguage;
  TRichEditSyntax* FCode;
  TRichEdit* FTopic;
  QListWidget* FMacros;
};

/// Types Text into Widget as key presses, a line end as the Return key.
void Type(QWidget& widget, const QString& text) {
  for (const QChar ch : text) {
    if (ch == QLatin1Char('\n')) {
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
      QApplication::sendEvent(&widget, &press);
    } else {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(&widget, &press);
    }
  }
}

struct TSample {
  TSyntaxType Language;
  const char* File;
  const char* Code;
  const char* Macro;
};

const TSample kSamples[] = {
    {stDelphi, "pascal",
     "unit Totals;\n\n{ Sums the values from Start on. }\nfunction Sum(const Values: array of Integer;\n"
     "  Start: Integer): Int64;\nvar\n  I: Integer; // loop index\nbegin\n  Result := 0;\n"
     "  for I := Start to High(Values) do\n    Inc(Result, Values[I] * $10);\n"
     "  WriteLn('Total: ', Result);\nend;\n\ntype\n  TTotals = class\n"
     "    property Count: Integer read FCount write FCount;\n  end;\n",
     "*SourceCode"},
    {stCPlusPlus, "cpp",
     "#include <vector>\n\n/* Sums the values from start on. */\nlong long Sum(const std::vector<int>& "
     "values,\n"
     "              size_t start) {\n  long long result = 0;  // running total\n"
     "  for (size_t i = start; i < values.size(); ++i)\n    result += values[i] * 0x10 + 1.5e3;\n"
     "  printf(\"Total: %lld\\n\", result);\n  return result;\n}\n",
     "__C++SourceCode"},
    {stXML, "xml",
     "<?xml version=\"1.0\"?>\n<project name=\"Totals\" xmlns:q=\"urn:quill\">\n"
     "  <!-- the topics -->\n  <topic id=\"12\" q:status='Done'>\n    <title>Sum &amp; total</title>\n"
     "    <![CDATA[ raw <text> ]]>\n  </topic>\n</project>\n",
     "__XMLCode"},
};

int WriteShots(TDemoWindow& window, const QString& dir) {
  QDir().mkpath(dir);
  window.show();
  QApplication::processEvents();
  for (const TSample& sample : kSamples) {
    window.SetLanguage(sample.Language);
    TRichEditSyntax& code = window.Code();
    code.Clear();
    code.setFocus();
    Type(code, QString::fromLatin1(sample.Code));

    // The same code in a topic text, under a title, coloured by its syntax macro.
    TRichEdit& topic = window.Topic();
    topic.Clear();
    topic.SetSelText(std::string("Summing values\r\nThe routine adds the values up:\r\n") + sample.Code);
    topic.SetSelStart(0);
    topic.SetSelLength(14);
    window.ApplyMacro(QStringLiteral("*TopicTitle"));
    topic.SetSelStart(topic.LineIndex(1));
    topic.SetSelLength(topic.LineLength(1));
    window.ApplyMacro(QStringLiteral("*TopicText"));
    topic.SetSelStart(topic.LineIndex(2));
    topic.SetSelLength(topic.GetTextLen() - topic.LineIndex(2));
    window.ApplyMacro(QString::fromLatin1(sample.Macro));
    topic.SetSelStart(0);

    QApplication::processEvents();
    const QString file =
        dir + QStringLiteral("/richeditsyntax-") + QString::fromLatin1(sample.File) + QStringLiteral(".png");
    if (!window.grab().save(file)) return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TDemoWindow window;
  const QStringList args = QApplication::arguments();
  const qsizetype shots = args.indexOf(QStringLiteral("--shots"));
  if (shots >= 0 && shots + 1 < args.size()) {
    try {
      return WriteShots(window, args[shots + 1]);
    } catch (const Exception& e) {
      qWarning("%s", e.what());
      return 1;
    }
  }
  window.show();
  return QApplication::exec();
}
