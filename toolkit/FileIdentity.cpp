#include "toolkit/FileIdentity.h"

#include <sys/stat.h>

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  if (a.empty() || b.empty()) return false;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}
