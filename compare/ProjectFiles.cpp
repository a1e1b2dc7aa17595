#include "compare/ProjectFiles.h"

#include <filesystem>
#include <system_error>

#include "document/QuillcrafterDoc.h"
#include "toolkit/SysUtils.h"

std::unique_ptr<TQuillcrafterDoc> ReadProjectDocument(const std::string& fileName) {
  auto document = std::make_unique<TQuillcrafterDoc>();
  document->ApplyStartSettings();
  document->LoadFromFile(fileName);
  return document;
}

void SaveProjectDocument(TQuillcrafterDoc& document, const std::string& fileName, bool backups) {
  // A failed save leaves nothing new on disk: a backup it made on the way goes again.
  const std::string backup = fileName + ".bak";
  std::error_code error;
  const bool hadBackup = !backups || std::filesystem::exists(backup, error) || error;
  try {
    document.SaveToFile(fileName, backups);
  } catch (...) {
    if (!hadBackup) std::filesystem::remove(backup, error);
    throw;
  }
}

TReadPair::TReadPair() = default;
TReadPair::TReadPair(TReadPair&&) noexcept = default;
TReadPair& TReadPair::operator=(TReadPair&&) noexcept = default;
TReadPair::~TReadPair() = default;

TProjectFiles::TProjectFiles()
    : FLatest(std::make_unique<TQuillcrafterDoc>()), FHistory(std::make_unique<TQuillcrafterDoc>()) {
  FLatest->ApplyStartSettings();
  FHistory->ApplyStartSettings();
}

TProjectFiles::~TProjectFiles() = default;

TReadPair TProjectFiles::Read(const std::string& latestFile,
                              const std::function<std::optional<std::string>()>& chooseHistory,
                              std::string* historyError) {
  TReadPair read;
  // History is chosen only once Latest has been read, so that a broken
  // Latest is reported before anyone is asked for History.
  read.Latest = ReadProjectDocument(latestFile);
  read.LatestFileName = latestFile;
  const std::optional<std::string> historyFile = chooseHistory ? chooseHistory() : std::nullopt;
  if (historyFile) {
    try {
      read.History = ReadProjectDocument(*historyFile);
      read.HistoryFileName = *historyFile;
    } catch (const Exception& error) {
      if (historyError == nullptr) throw;
      *historyError = error.Message();
    }
  }
  return read;
}

TReadPair TProjectFiles::ReadHistory(const std::string& historyFile) {
  TReadPair read;
  read.History = ReadProjectDocument(historyFile);
  read.HistoryFileName = historyFile;
  return read;
}

void TProjectFiles::Take(TReadPair read) {
  if (read.Latest) {
    FLatest = std::move(read.Latest);
    FLatestFileName = std::move(read.LatestFileName);
  }
  if (read.History) {
    FHistory = std::move(read.History);
    FHistoryFileName = std::move(read.HistoryFileName);
  }
}

void TProjectFiles::SaveLatest(const std::string& fileName) {
  SaveProjectDocument(*FLatest, fileName, FBackups);
  // Latest is that file now: a later save writes there.
  FLatestFileName = fileName;
}

void TProjectFiles::SaveHistory(const std::string& fileName) {
  SaveProjectDocument(*FHistory, fileName, FBackups);
  FHistoryFileName = fileName;
}
