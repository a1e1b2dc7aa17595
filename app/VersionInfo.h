#pragma once
// The program's version record and the version-information functions that
// read it. The record is compiled into the program; the three functions
// below stand in for the platform's version-information interface and keep
// its shape (size, fetch, query by path), so GetVersionCaption reads the
// record exactly the way a program reads its own resource.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace app {

/// One version record: the strings of its U.S. English / code page 1252
/// string block, in Windows-1252 bytes.
struct TVersionRecord {
  std::vector<std::pair<std::string, std::string>> Strings;
};

/// The string block every lookup goes to (language 0409, code page 04E4 = 1252).
inline constexpr const char* kVersionStringBlock = "\\StringFileInfo\\040904E4\\";

/// The ten standard key names of a version string block, in their usual order.
extern const char* const VersionKeyNames[10];

/// The record compiled into this program.
const TVersionRecord& ProgramVersionRecord();
/// The path of the running program's file, to which the compiled-in record belongs.
std::string ProgramFileName();

/// Gives a file a version record (or takes it away with std::nullopt).
/// The running program's file has the compiled-in record from the start.
void SetFileVersionRecord(const std::string& fileName, std::optional<TVersionRecord> record);

/// Size in bytes of the file's version data, 0 when it has none. Handle is set to 0.
uint32_t GetFileVersionInfoSizeA(const std::string& fileName, uint32_t* handle);
/// Copies the file's version data into Data (Len bytes at most); false when it has none or Len is short.
bool GetFileVersionInfoA(const std::string& fileName, uint32_t handle, uint32_t len, void* data);
/// Finds SubBlock ("\StringFileInfo\040904E4\ProductName") in version data; Buffer gets the
/// value and Len its length without the terminating zero. False when the entry is missing.
bool VerQueryValueA(const void* block, const std::string& subBlock, const char** buffer, uint32_t* len);

/// The window caption from a file's version record: the product name (or
/// "Quillcrafter Journeyman" when the record lacks one), " v" and the file
/// version, " " and the copyright; empty when the file has no record.
std::string GetVersionCaption(const std::string& fileName);

}  // namespace app
