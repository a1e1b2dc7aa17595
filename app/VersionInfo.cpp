#include "app/VersionInfo.h"

#include <QCoreApplication>
#include <cstring>
#include <map>

namespace app {

const char* const VersionKeyNames[10] = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTradeMarks", "OriginalFileName", "ProductName", "ProductVersion", "Comments"};

const TVersionRecord& ProgramVersionRecord() {
  static const TVersionRecord record{{
      {"CompanyName", "Quillcrafter"},
      {"FileDescription", "Quillcrafter File Difference Utility"},
      {"FileVersion", "1.0.0.1"},
      {"InternalName", "QuillcrafterJourneymanDiff"},
      // \xA9 is the copyright sign in Windows-1252.
      {"LegalCopyright", "Copyright \xA9 2026 The Quillcrafter Journeyman Diff authors"},
      {"OriginalFileName", "QuillcrafterJourneymanDiff"},
      {"ProductName", "Quillcrafter Journeyman Diff"},
      {"ProductVersion", "1.0.0.0"},
  }};
  return record;
}

std::string ProgramFileName() {
  if (QCoreApplication::instance() == nullptr) return "QuillcrafterJourneymanDiff";
  const QByteArray path = QCoreApplication::applicationFilePath().toLocal8Bit();
  return std::string(path.constData(), static_cast<size_t>(path.size()));
}

namespace {

// Records given to files other than the program's own; a file mapped to
// std::nullopt has no record at all.
std::map<std::string, std::optional<TVersionRecord>>& Registry() {
  static std::map<std::string, std::optional<TVersionRecord>> registry;
  return registry;
}

const TVersionRecord* RecordOf(const std::string& fileName) {
  auto& registry = Registry();
  auto it = registry.find(fileName);
  if (it != registry.end()) return it->second ? &*it->second : nullptr;
  if (fileName == ProgramFileName()) return &ProgramVersionRecord();
  return nullptr;
}

// The version data: zero-terminated path and value pairs, then one more zero.
std::string Serialize(const TVersionRecord& record) {
  std::string data;
  for (const auto& [key, value] : record.Strings) {
    data += kVersionStringBlock;
    data += key;
    data += '\0';
    data += value;
    data += '\0';
  }
  data += '\0';
  return data;
}

}  // namespace

void SetFileVersionRecord(const std::string& fileName, std::optional<TVersionRecord> record) {
  Registry()[fileName] = std::move(record);
}

uint32_t GetFileVersionInfoSizeA(const std::string& fileName, uint32_t* handle) {
  if (handle != nullptr) *handle = 0;
  const TVersionRecord* record = RecordOf(fileName);
  return record == nullptr ? 0 : static_cast<uint32_t>(Serialize(*record).size());
}

bool GetFileVersionInfoA(const std::string& fileName, uint32_t /*handle*/, uint32_t len, void* data) {
  const TVersionRecord* record = RecordOf(fileName);
  if (record == nullptr || data == nullptr) return false;
  const std::string bytes = Serialize(*record);
  if (len < bytes.size()) return false;
  std::memcpy(data, bytes.data(), bytes.size());
  return true;
}

bool VerQueryValueA(const void* block, const std::string& subBlock, const char** buffer, uint32_t* len) {
  if (block == nullptr) return false;
  const char* p = static_cast<const char*>(block);
  while (*p != '\0') {
    const char* path = p;
    const char* value = path + std::strlen(path) + 1;
    if (subBlock == path) {
      if (buffer != nullptr) *buffer = value;
      if (len != nullptr) *len = static_cast<uint32_t>(std::strlen(value));
      return true;
    }
    p = value + std::strlen(value) + 1;
  }
  return false;
}

std::string GetVersionCaption(const std::string& fileName) {
  std::string caption;
  uint32_t handle = 0;
  const uint32_t size = GetFileVersionInfoSizeA(fileName, &handle);
  if (size == 0) return caption;
  std::string data(size, '\0');
  if (!GetFileVersionInfoA(fileName, handle, size, data.data())) return caption;

  auto query = [&](const char* key, std::string& value) {
    const char* buffer = nullptr;
    uint32_t len = 0;
    if (!VerQueryValueA(data.data(), std::string(kVersionStringBlock) + key, &buffer, &len)) return false;
    value.assign(buffer, len);
    return true;
  };
  std::string value;
  caption = query(VersionKeyNames[7], value) ? value : "Quillcrafter Journeyman";
  if (query(VersionKeyNames[2], value)) caption += " v" + value;
  if (query(VersionKeyNames[4], value)) caption += " " + value;
  return caption;
}

}  // namespace app
