#pragma once
// The two project files a comparison works on: their documents and names,
// reading them with the start settings, opening the pair all or nothing,
// and saving with backups. Qt-free.

#include <functional>
#include <memory>
#include <optional>
#include <string>

class TQuillcrafterDoc;

/// A document read from FileName, with the start settings; raises when it
/// cannot be read.
std::unique_ptr<TQuillcrafterDoc> ReadProjectDocument(const std::string& fileName);

/// Writes Document to FileName. With Backups the file it replaces is first
/// kept as NAME.bak; a backup that cannot be written stops the save.
void SaveProjectDocument(TQuillcrafterDoc& document, const std::string& fileName, bool backups);

/// Files read for a pair, not yet taking the place of the documents shown.
struct TReadPair {
  std::unique_ptr<TQuillcrafterDoc> Latest;   // none: Latest stays
  std::unique_ptr<TQuillcrafterDoc> History;  // none: History stays
  std::string LatestFileName;
  std::string HistoryFileName;
  TReadPair();
  TReadPair(TReadPair&&) noexcept;
  TReadPair& operator=(TReadPair&&) noexcept;
  ~TReadPair();
};

class TProjectFiles {
 public:
  /// Two empty documents with the start settings.
  TProjectFiles();
  ~TProjectFiles();
  TProjectFiles(const TProjectFiles&) = delete;
  TProjectFiles& operator=(const TProjectFiles&) = delete;

  TQuillcrafterDoc& Latest() { return *FLatest; }
  TQuillcrafterDoc& History() { return *FHistory; }
  const TQuillcrafterDoc& Latest() const { return *FLatest; }
  const TQuillcrafterDoc& History() const { return *FHistory; }
  const std::string& LatestFileName() const { return FLatestFileName; }
  const std::string& HistoryFileName() const { return FHistoryFileName; }

  /// Reads Latest and then, when ChooseHistory names one, History; raises
  /// when either cannot be read, and changes nothing either way. With
  /// HistoryError given, a History that cannot be read is no failure: its
  /// message goes there and only Latest is read.
  static TReadPair Read(const std::string& latestFile,
                        const std::function<std::optional<std::string>()>& chooseHistory,
                        std::string* historyError = nullptr);
  /// Only History.
  static TReadPair ReadHistory(const std::string& historyFile);
  /// The documents read take the place of the ones held (the others stay).
  void Take(TReadPair read);

  /// Writes Latest to FileName, which becomes LatestFileName; a failed save
  /// leaves the old file, the name and the Modified flag.
  void SaveLatest(const std::string& fileName);
  /// The same for History.
  void SaveHistory(const std::string& fileName);
  /// Whether a save first keeps the file it replaces as NAME.bak (on by default).
  bool Backups() const { return FBackups; }
  void SetBackups(bool value) { FBackups = value; }

 private:
  std::unique_ptr<TQuillcrafterDoc> FLatest;
  std::unique_ptr<TQuillcrafterDoc> FHistory;
  std::string FLatestFileName;
  std::string FHistoryFileName;
  bool FBackups = true;
};
