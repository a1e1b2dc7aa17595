// Saving the document to a file without harming what is there.
//
// An ordinary file is replaced whole: the new file is written beside it
// (unnamed where the file system allows, so that a save killed half-way
// leaves nothing behind) and renamed over it only once it is complete,
// with the old file's permission bits, owner and group. Two kinds of file
// cannot be replaced that way and are written in place instead, after
// their old bytes were read so that a failed write puts them back: a file
// with several hard links (a new file would split them) and a file in a
// folder where no new file can be made. Devices and named pipes are never
// replaced: the document is written through them, so /dev/null takes it
// and a full device fails with the stream's write error; block devices are
// refused. A symbolic link is followed: the file it names is saved in its
// own folder and the link stays a link.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "document/QuillcrafterDoc.h"

namespace {

using TWriteFunction = std::function<void(TStream&)>;

[[noreturn]] void CreateError(const std::string& fileName, const std::string& reason) {
  throw EFCreateError(Format(rtl::SFCreateErrorEx, fileName.c_str(), reason.c_str()));
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// Temporaries are named TARGET.~PID-N.tmp, so that those of a process
/// that has gone can be told from those of a save still running.
std::string TemporaryName(const std::string& target, int pid, unsigned number) {
  return target + Format(".~%d-%u.tmp", pid, number);
}

/// A name in the folder of Target that no file has yet.
std::string TemporaryNameFor(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    std::string name = TemporaryName(target, static_cast<int>(getpid()), counter++);
    struct stat info;
    if (::lstat(name.c_str(), &info) != 0 && errno == ENOENT) return name;
  }
}

/// Removes what an earlier save of Target left when it was killed between
/// naming its temporary and renaming it (or, where the file system has no
/// unnamed files, anywhere in its write): the temporaries of processes that
/// are gone. Those of a save still running are left alone.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string base = BaseNameOf(target);
  DIR* folder = ::opendir(FolderOf(target).c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.size() <= base.size() + 2 || name.compare(0, base.size() + 2, base + ".~") != 0) continue;
    int pid = 0;
    unsigned number = 0;
    if (std::sscanf(name.c_str() + base.size(), ".~%d-%u.tmp", &pid, &number) != 2) continue;
    // Only the exact shape this code gives its temporaries.
    if (name != TemporaryName(base, pid, number) || pid <= 0 || pid == getpid()) continue;
    if (::kill(pid, 0) == 0 || errno != ESRCH) continue;
    ::unlinkat(::dirfd(folder), entry->d_name, 0);
  }
  ::closedir(folder);
}

/// Where a save writes: a link is followed to the file it names. A link
/// that names nothing is an error that says what is missing, since creating
/// that file would more likely hide a mistake than mend one.
struct TSaveTarget {
  std::string path;
  /// False for a link that only the system can follow (/dev/stdout to a
  /// pipe, /proc/self/fd/N): its file is written through or in place, never
  /// replaced, since a rename would put a file where the link is.
  bool replaceable = true;
};

TSaveTarget ResolveLinks(const std::string& fileName) {
  struct stat info;
  if (::lstat(fileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return {fileName};
  if (char* resolved = ::realpath(fileName.c_str(), nullptr)) {
    std::string path = resolved;
    std::free(resolved);
    return {path};
  }
  if (errno != ENOENT) CreateError(fileName, SysErrorMessage(errno));
  if (::stat(fileName.c_str(), &info) == 0) return {fileName, false};
  std::string missing = fileName;
  for (int hop = 0; hop < 40; ++hop) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(missing.c_str(), target, sizeof target);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof target)) break;
    std::string next(target, static_cast<size_t>(length));
    missing = next[0] == '/' ? next : FolderOf(missing) + "/" + next;
    if (::lstat(missing.c_str(), &info) != 0) break;
  }
  CreateError(fileName, Format("The link points to \"%s\", which does not exist", missing.c_str()));
}

/// The old file's permission bits, and its owner and group where this
/// process may give them (owner and group first: a change of owner clears
/// the set-ID bits).
void TakeOverAttributes(int handle, const struct stat& old) {
  if (::fchown(handle, old.st_uid, old.st_gid) != 0 &&
      ::fchown(handle, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // The new file keeps this process's owner and group.
  }
  if (::fchmod(handle, old.st_mode & 07777) != 0) {
    // The new file keeps the bits it was created with.
  }
}

void SyncFolder(const std::string& folder) {
  const int handle = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return;
  if (::fsync(handle) != 0) {
    // The rename happened; only its durability is left to the system.
  }
  ::close(handle);
}

/// An unnamed file in Folder, or -1 where the file system cannot make one.
int OpenUnnamed(const std::string& folder) {
#ifdef O_TMPFILE
  return ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
#else
  (void)folder;
  return -1;
#endif
}

/// Gives the unnamed file Handle the name Name; false (errno set) when it cannot.
bool GiveName(int handle, const std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(handle);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  return ::linkat(handle, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0;
}

/// Writes a complete new file beside Path and renames it over Path. Returns
/// 0, or the error that kept the new file from being created (nothing was
/// written then); later failures are thrown and leave Path untouched.
int ReplaceWhole(const std::string& fileName, const std::string& path, const struct stat* old,
                 const TWriteFunction& write, const std::function<void()>& created) {
  RemoveStaleTemporaries(path);
  const std::string folder = FolderOf(path);
  std::string temporary;  // the new file's name while it is not yet in Path's place
  int handle = OpenUnnamed(folder);
  const bool unnamed = handle >= 0;
  while (handle < 0) {
    temporary = TemporaryNameFor(path);
    handle = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle < 0 && errno != EEXIST) return errno;
  }
  TFileStream stream(handle, unnamed ? path : temporary);
  try {
    if (old != nullptr) TakeOverAttributes(handle, *old);
    created();
    write(stream);
    stream.FlushToDisk();
    if (unnamed) {
      const std::string name = TemporaryNameFor(path);
      if (!GiveName(handle, name))
        throw EWriteError(Format(rtl::SFCreateErrorEx, fileName.c_str(), SysErrorMessage(errno).c_str()));
      temporary = name;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0)
      throw EWriteError(Format(rtl::SFCreateErrorEx, fileName.c_str(), SysErrorMessage(errno).c_str()));
  } catch (...) {
    if (!temporary.empty()) std::remove(temporary.c_str());
    throw;
  }
  SyncFolder(folder);
  return 0;
}

/// Writes the document over Path's own bytes: its links stay joined and no
/// new file is needed in its folder. The old bytes are read first and put
/// back when the write fails.
void WriteInPlace(const std::string& fileName, const std::string& path, const TWriteFunction& write,
                  const std::function<void()>& opened) {
  const int handle = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (handle < 0) CreateError(fileName, SysErrorMessage(errno));
  TFileStream file(handle, path);
  std::string old;
  for (char buffer[65536];;) {
    const ssize_t n = ::read(handle, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) CreateError(fileName, SysErrorMessage(errno));
    if (n == 0) break;
    old.append(buffer, static_cast<size_t>(n));
  }
  opened();
  // The whole document first, so that only the device can fail while the file is changing.
  TMemoryStream bytes;
  write(bytes);
  try {
    file.SetPosition(0);
    file.WriteBuffer(bytes.Memory(), bytes.Size());
    file.SetSize(bytes.Size());
    file.FlushToDisk();
  } catch (...) {
    try {
      file.SetPosition(0);
      file.WriteBuffer(old.data(), static_cast<int64_t>(old.size()));
      file.SetSize(static_cast<int64_t>(old.size()));
      file.FlushToDisk();
    } catch (...) {
      // Nothing more can be done; the first error is the one to report.
    }
    throw;
  }
}

/// Writing into a pipe whose reader has gone raises SIGPIPE, which would
/// end the whole program: while the document goes through a pipe, the
/// signal is held back and taken, so that the failed write is an ordinary
/// write error.
class TPipeSignalHold {
 public:
  TPipeSignalHold() {
    sigemptyset(&FPipe);
    sigaddset(&FPipe, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    FWasPending = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &FPipe, &FOld);
  }
  ~TPipeSignalHold() {
    if (!FWasPending) {
      const timespec now{0, 0};
      while (sigtimedwait(&FPipe, nullptr, &now) == SIGPIPE) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &FOld, nullptr);
  }
  TPipeSignalHold(const TPipeSignalHold&) = delete;
  TPipeSignalHold& operator=(const TPipeSignalHold&) = delete;

 private:
  sigset_t FPipe;
  sigset_t FOld;
  bool FWasPending = false;
};

/// A character device or a named pipe takes the document as a stream of
/// bytes; it is never replaced. A block device is a disk and is refused.
void WriteThrough(const std::string& fileName, const std::string& path, const struct stat& info,
                  const TWriteFunction& write, const std::function<void()>& opened) {
  if (S_ISBLK(info.st_mode)) CreateError(fileName, "A block device is not written to");
  // Without a reader, a named pipe would keep the open waiting for ever.
  const int handle = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (handle < 0) {
    if (errno == ENXIO && S_ISFIFO(info.st_mode))
      CreateError(fileName, "No process reads from the named pipe");
    CreateError(fileName, SysErrorMessage(errno));
  }
  TFileStream stream(handle, path);
  const int flags = ::fcntl(handle, F_GETFL);
  if (flags != -1) ::fcntl(handle, F_SETFL, flags & ~O_NONBLOCK);
  opened();
  TPipeSignalHold hold;
  write(stream);
}

}  // namespace

void SaveFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write,
                    const std::function<void()>& opened) {
  const std::function<void()> record = opened ? opened : [] {};
  const TSaveTarget target = ResolveLinks(fileName);
  const std::string& path = target.path;
  // A read-only target or a folder stays as it is, exactly as when it could not be truncated.
  struct stat info;
  const bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && (S_ISDIR(info.st_mode) || ::access(path.c_str(), W_OK) != 0))
    CreateError(fileName, SysErrorMessage(S_ISDIR(info.st_mode) ? EISDIR : errno));
  if (exists && !S_ISREG(info.st_mode)) {
    WriteThrough(fileName, path, info, write, record);
  } else if (exists && (info.st_nlink > 1 || !target.replaceable)) {
    WriteInPlace(fileName, path, write, record);
  } else if (const int error = ReplaceWhole(fileName, path, exists ? &info : nullptr, write, record);
             error != 0) {
    // A folder that takes no new file still lets its writable files be written.
    if (!exists || (error != EACCES && error != EPERM)) CreateError(fileName, SysErrorMessage(error));
    WriteInPlace(fileName, path, write, record);
  }
}

void TQuillcrafterDoc::SaveToFile(const std::string& fileName) {
  // The name is recorded once the file is open, before anything is written.
  SaveFileSafely(
      fileName, [this](TStream& stream) { WriteDocument(stream); },
      [this, &fileName] { FRecentFiles->AddFile(fileName); });
  FModified = false;
}
