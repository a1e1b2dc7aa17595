#pragma once
// File dialogs with fixed settings (title, filter, default extension,
// options) and a chosen file name, shown by Execute(). A test replaces the
// dialog by setting ExecuteHandler, which plays the user.

#include <QString>
#include <QWidget>
#include <functional>

namespace app {

enum class TOpenOption : unsigned {
  ofOverwritePrompt = 1,
  ofHideReadOnly = 2,
  ofFileMustExist = 4,
  ofEnableSizing = 8,
};

class TFileDialog {
 public:
  enum class TKind { dkOpen, dkSave };

  TFileDialog(QWidget* owner, TKind kind) : FOwner(owner), FKind(kind) {}

  const QString& Title() const { return FTitle; }
  void SetTitle(const QString& title) { FTitle = title; }
  /// Description-bar-pattern pairs: "Quillcrafter File (*.qcp)|*.qcp".
  const QString& Filter() const { return FFilter; }
  void SetFilter(const QString& filter) { FFilter = filter; }
  const QString& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const QString& ext) { FDefaultExt = ext; }
  const QString& FileName() const { return FFileName; }
  void SetFileName(const QString& fileName) { FFileName = fileName; }
  unsigned Options() const { return FOptions; }
  void SetOptions(unsigned options) { FOptions = options; }
  bool HasOption(TOpenOption option) const { return (FOptions & static_cast<unsigned>(option)) != 0; }
  TKind Kind() const { return FKind; }

  /// The name filters as Qt's dialog takes them, one per description-pattern pair.
  QStringList NameFilters() const;

  /// Shows the dialog; true and FileName set when the user chose a file.
  bool Execute();

  /// Plays the dialog instead of showing it (tests, start-up files).
  std::function<bool(TFileDialog& dialog)> ExecuteHandler;

 private:
  QWidget* FOwner;
  TKind FKind;
  QString FTitle;
  QString FFilter;
  QString FDefaultExt;
  QString FFileName;
  unsigned FOptions = 0;
};

inline unsigned operator|(TOpenOption a, TOpenOption b) {
  return static_cast<unsigned>(a) | static_cast<unsigned>(b);
}
inline unsigned operator|(unsigned a, TOpenOption b) { return a | static_cast<unsigned>(b); }

}  // namespace app
