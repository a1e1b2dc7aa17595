#pragma once
// Whether two names lead to one file, so that nothing written is put in
// the place of a file that is being read. Qt-free.

#include <string>

/// True when both names exist and lead to the same file: the same device
/// and inode, so that a hard link, a symbolic link or another spelling of
/// the path counts as the same file. False when either does not exist.
bool IsSameFile(const std::string& a, const std::string& b);
