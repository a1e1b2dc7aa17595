// Saving the document to a file without harming what is there.
//
// An ordinary file is replaced whole: the new file is written beside it
// (unnamed where the file system allows, so that a save killed half-way
// leaves nothing behind) and renamed over it only once it is complete,
// with the old file's permission bits, owner, group and extended
// attributes (ACLs among them). Two kinds of file cannot be replaced that
// way and are written in place instead: a file with several hard links (a
// new file would split them) and a file in a folder where no new file can
// be made. There the final size is reserved first, so that a full disk or
// a size limit fails before a byte is overwritten, and a complete copy of
// the old bytes is kept beside the file until the new ones are on the disk
// (in memory only where the folder takes no new file); a failed write puts
// them back. Devices and named pipes are never replaced: the document is
// written through them; block devices are refused. /dev/stdout, /dev/fd/N
// and their kind are the descriptors this process holds and are written as
// they are open (appending where they append), never truncated. A symbolic
// link is followed: the file it names is saved in its own folder and the
// link stays a link.
//
// A save holds an advisory lock on an existing target, so two saves onto
// one file run one after the other; one that cannot have the lock soon
// fails. The size limit's and a closed pipe's signals are held back while
// a save writes: each ends the save with its reason, not the program.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

#include "document/QuillcrafterDoc.h"

namespace {

using TWriteFunction = std::function<void(TStream&)>;

/// How long a save waits for another save of the same file to finish.
constexpr std::chrono::milliseconds kLockWait{2000};
/// Base names longer than this are cut for the names of temporaries, so
/// that a temporary of any valid name fits the file system's name limit.
constexpr size_t kTemporaryBaseLimit = 200;

[[noreturn]] void CreateError(const std::string& fileName, const std::string& reason) {
  throw EFCreateError(Format(rtl::SFCreateErrorEx, fileName.c_str(), reason.c_str()));
}

[[noreturn]] void WriteError(const std::string& fileName, int error) {
  throw EOSWriteError(Format(rtl::SFWriteErrorEx, fileName.c_str(), SysErrorMessage(error).c_str()), error);
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

/// The part of a base name that names its temporaries: all of it, or its
/// first bytes up to a character boundary when it is long.
std::string TemporaryBase(const std::string& base) {
  if (base.size() <= kTemporaryBaseLimit) return base;
  size_t cut = kTemporaryBaseLimit;
  while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) --cut;
  return base.substr(0, cut);
}

/// Temporaries are named TARGET.~PID-N.tmp, so that those of a process
/// that has gone can be told from those of a save still running.
std::string TemporaryName(const std::string& base, int pid, unsigned number) {
  return TemporaryBase(base) + Format(".~%d-%u.tmp", pid, number);
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

/// A name in the folder of Target that no file has yet. Any answer but "no
/// such file" about a candidate ends the search with that reason.
std::string TemporaryNameFor(const std::string& fileName, const std::string& target) {
  static std::atomic<unsigned> counter{0};
  const std::string folder = target.find('/') == std::string::npos ? std::string() : FolderOf(target);
  const std::string base = BaseNameOf(target);
  for (int tries = 0; tries < 10000; ++tries) {
    const std::string name = TemporaryName(base, static_cast<int>(getpid()), counter++);
    std::string path = folder.empty() ? name : InFolder(folder, name);
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0) continue;
    if (errno == ENOENT) return path;
    CreateError(fileName, SysErrorMessage(errno));
  }
  CreateError(fileName, "No unused name for a temporary file");
}

/// Removes what an earlier save of Target left when it was killed between
/// naming its temporary and renaming it (or, where the file system has no
/// unnamed files, anywhere in its write): the temporaries of processes that
/// are gone. Those of a save still running are left alone.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string base = TemporaryBase(BaseNameOf(target));
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

/// The descriptor a name of this process's own open files stands for
/// (/dev/stdout, /dev/fd/1, /proc/self/fd/1, /proc/PID/fd/1), or -1.
int OwnDescriptor(const std::string& name) {
  if (name == "/dev/stdin") return 0;
  if (name == "/dev/stdout") return 1;
  if (name == "/dev/stderr") return 2;
  const std::string own = "/proc/" + std::to_string(getpid()) + "/fd/";
  for (const std::string& prefix : {std::string("/dev/fd/"), std::string("/proc/self/fd/"), own}) {
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    int32_t descriptor = -1;
    if (TryStrToInt(std::string_view(name).substr(prefix.size()), descriptor) && descriptor >= 0 &&
        name.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
      return descriptor;
  }
  return -1;
}

/// Where a save writes: a link is followed to the file it names. A link
/// that names nothing is an error that says what is missing, since creating
/// that file would more likely hide a mistake than mend one.
struct TSaveTarget {
  std::string path;
  /// False for a link that only the system can follow (a /proc file that
  /// names no file): its file is written through or in place, never
  /// replaced, since a rename would put a file where the link is.
  bool replaceable = true;
  /// An open descriptor of this process the name leads to, or -1.
  int descriptor = -1;
};

TSaveTarget ResolveLinks(const std::string& fileName) {
  // A way through this process's own descriptors means the open file, not
  // whatever file the descriptor's link names.
  std::string hop = fileName;
  for (int hops = 0; hops < 40; ++hops) {
    if (const int descriptor = OwnDescriptor(hop); descriptor >= 0) return {fileName, false, descriptor};
    char next[PATH_MAX];
    const ssize_t length = ::readlink(hop.c_str(), next, sizeof next);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof next)) break;
    const std::string link(next, static_cast<size_t>(length));
    hop = link[0] == '/' ? link : FolderOf(hop) + "/" + link;
  }
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
  for (int hops = 0; hops < 40; ++hops) {
    char target[PATH_MAX];
    const ssize_t length = ::readlink(missing.c_str(), target, sizeof target);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof target)) break;
    std::string next(target, static_cast<size_t>(length));
    missing = next[0] == '/' ? next : FolderOf(missing) + "/" + next;
    if (::lstat(missing.c_str(), &info) != 0) break;
  }
  CreateError(fileName, Format("The link points to \"%s\", which does not exist", missing.c_str()));
}

/// Copies the extended attributes of the file at Path (its ACLs among
/// them) to the file Handle; those this process may not set stay behind.
void CopyExtendedAttributes(const std::string& path, int handle) {
  const ssize_t size = ::listxattr(path.c_str(), nullptr, 0);
  if (size <= 0) return;
  std::string names(static_cast<size_t>(size), '\0');
  const ssize_t got = ::listxattr(path.c_str(), names.data(), names.size());
  if (got <= 0) return;
  names.resize(static_cast<size_t>(got));
  for (size_t at = 0; at < names.size();) {
    const std::string name = names.c_str() + at;
    at += name.size() + 1;
    const ssize_t length = ::getxattr(path.c_str(), name.c_str(), nullptr, 0);
    if (length < 0) continue;
    std::string value(static_cast<size_t>(length), '\0');
    const ssize_t read = ::getxattr(path.c_str(), name.c_str(), value.data(), value.size());
    if (read < 0) continue;
    if (::fsetxattr(handle, name.c_str(), value.data(), static_cast<size_t>(read), 0) != 0) {
      // A system or trusted attribute this process may not set.
    }
  }
}

/// The old file's permission bits, its owner and group where this process
/// may give them (owner and group first: a change of owner clears the
/// set-ID bits), then its extended attributes (an ACL after the mode, which
/// it refines).
void TakeOverAttributes(int handle, const std::string& path, const struct stat& old) {
  if (::fchown(handle, old.st_uid, old.st_gid) != 0 &&
      ::fchown(handle, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // The new file keeps this process's owner and group.
  }
  if (::fchmod(handle, old.st_mode & 07777) != 0) {
    // The new file keeps the bits it was created with.
  }
  CopyExtendedAttributes(path, handle);
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

/// Runs Write on Stream; a stream error caused by the system gets its
/// reason ("No space left on device", "File too large") and the file's name.
void WriteWithReason(const std::string& fileName, TFileStream& stream, const TWriteFunction& write) {
  try {
    write(stream);
  } catch (const EOSWriteError&) {
    throw;
  } catch (const EStreamError&) {
    if (stream.LastError() != 0) WriteError(fileName, stream.LastError());
    throw;
  }
}

void FlushWithReason(const std::string& fileName, TFileStream& stream) {
  if (::fsync(stream.Handle()) != 0 && errno != EINVAL && errno != EROFS) WriteError(fileName, errno);
}

/// Writes Bytes at Offset of Handle; false (errno set) when not all were taken.
bool WriteAllAt(int handle, const char* bytes, size_t count, off_t offset) {
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::pwrite(handle, bytes + done, count - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

/// All the bytes of the open file Handle, from its start.
std::string ReadAllOf(const std::string& fileName, int handle) {
  std::string bytes;
  char buffer[65536];
  for (off_t offset = 0;;) {
    const ssize_t n = ::pread(handle, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) CreateError(fileName, SysErrorMessage(errno));
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
    offset += n;
  }
  return bytes;
}

/// A complete copy of a file's old bytes in a temporary beside Target,
/// synced, with the old file's owner, mode and attributes; removed when
/// the object goes unless Keep() or Commit() was called.
class TCopyBeside {
 public:
  /// Writes the copy; on failure throws the system's reason through Fail.
  TCopyBeside(const std::string& fileName, const std::string& target, const std::string& source,
              const struct stat& old, const std::string& bytes, const std::function<void(int)>& fail) {
    FName = TemporaryNameFor(fileName, target);
    const int handle = ::open(FName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (handle < 0) {
      FName.clear();
      fail(errno);
    }
    TakeOverAttributes(handle, source, old);
    const bool written = WriteAllAt(handle, bytes.data(), bytes.size(), 0) && ::fsync(handle) == 0;
    const int error = errno;
    ::close(handle);
    if (!written) {
      ::unlink(FName.c_str());
      FName.clear();
      fail(error);
    }
  }
  ~TCopyBeside() {
    if (!FName.empty()) ::unlink(FName.c_str());
  }
  TCopyBeside(const TCopyBeside&) = delete;
  TCopyBeside& operator=(const TCopyBeside&) = delete;

  const std::string& Name() const { return FName; }
  /// Leaves the copy where it is.
  void Keep() { FName.clear(); }
  /// Renames the copy to Name; errno is set when it returns false.
  bool Commit(const std::string& name) {
    if (::rename(FName.c_str(), name.c_str()) != 0) return false;
    FName.clear();
    return true;
  }

 private:
  std::string FName;
};

/// The backup NAME.bak of a target that is about to be replaced or
/// overwritten: written complete beside it first, then put in place of the
/// previous backup by a rename, so that a failure keeps the previous one.
class TBackup {
 public:
  TBackup(const std::string& path, const struct stat& old) : FName(path + ".bak") {
    RemoveStaleTemporaries(FName);
    const int source = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) Fail(errno);
    const TFileStream closer(source, path);
    const std::string bytes = ReadAllOf(FName, source);
    FCopy = std::make_unique<TCopyBeside>(FName, FName, path, old, bytes, [this](int error) { Fail(error); });
  }
  /// Puts the new backup in place.
  void Commit() {
    if (!FCopy->Commit(FName)) Fail(errno);
  }

 private:
  [[noreturn]] void Fail(int error) {
    throw EOSWriteError(
        Format("Cannot write the backup %s: %s", FName.c_str(), SysErrorMessage(error).c_str()), error);
  }

  std::string FName;
  std::unique_ptr<TCopyBeside> FCopy;
};

/// Writes a complete new file beside Path and renames it over Path. Returns
/// 0, or the error that kept the new file from being created (nothing was
/// written then); later failures are thrown and leave Path untouched.
int ReplaceWhole(const std::string& fileName, const std::string& path, const struct stat* old,
                 TBackup* backup, const TWriteFunction& write, const std::function<void()>& created) {
  RemoveStaleTemporaries(path);
  const std::string folder = FolderOf(path);
  std::string temporary;  // the new file's name while it is not yet in Path's place
  int handle = OpenUnnamed(folder);
  const bool unnamed = handle >= 0;
  while (handle < 0) {
    temporary = TemporaryNameFor(fileName, path);
    handle = ::open(temporary.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (handle < 0 && errno != EEXIST) return errno;
  }
  TFileStream stream(handle, unnamed ? path : temporary);
  try {
    if (old != nullptr) TakeOverAttributes(handle, path, *old);
    created();
    WriteWithReason(fileName, stream, write);
    FlushWithReason(fileName, stream);
    if (unnamed) {
      const std::string name = TemporaryNameFor(fileName, path);
      if (!GiveName(handle, name)) WriteError(fileName, errno);
      temporary = name;
    }
    if (backup != nullptr) backup->Commit();
    if (std::rename(temporary.c_str(), path.c_str()) != 0) WriteError(fileName, errno);
  } catch (...) {
    if (!temporary.empty()) std::remove(temporary.c_str());
    throw;
  }
  SyncFolder(folder);
  return 0;
}

/// Writes the document over Path's own bytes: its links stay joined and no
/// new file is needed in its folder.
void WriteInPlace(const std::string& fileName, const std::string& path, const struct stat& info,
                  TBackup* backup, const TWriteFunction& write, const std::function<void()>& opened) {
  const int handle = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (handle < 0) CreateError(fileName, SysErrorMessage(errno));
  TFileStream file(handle, path);
  const std::string old = ReadAllOf(fileName, handle);
  opened();
  // The whole document first, so that only the device can fail while the file is changing.
  TMemoryStream bytes;
  write(bytes);
  const std::string& data = bytes.DataString();
  // The final size is taken before a byte changes: a full disk or a size
  // limit fails here, with the file as it was.
  if (data.size() > old.size() && ::fallocate(handle, 0, 0, static_cast<off_t>(data.size())) != 0) {
    const int error = errno;
    if (error != EOPNOTSUPP && error != ENOSYS) {
      if (::ftruncate(handle, static_cast<off_t>(old.size())) != 0) {
        // Reserving added no byte that a reader would take for data.
      }
      WriteError(fileName, error);
    }
  }
  // A complete copy of the old bytes beside the file while it changes: a
  // save killed half-way leaves it there. A folder that takes no new file
  // keeps them in memory only; any other failure stops the save here.
  std::unique_ptr<TCopyBeside> copy;
  if (backup != nullptr) {
    // The backup is that copy.
    backup->Commit();
  } else {
    try {
      copy = std::make_unique<TCopyBeside>(fileName, path + ".old", path, info, old, [&](int error) {
        if (error == EACCES || error == EPERM || error == EROFS) throw error;
        WriteError(fileName, error);
      });
    } catch (int) {
      // In memory only.
    }
  }
  if (WriteAllAt(handle, data.data(), data.size(), 0) &&
      ::ftruncate(handle, static_cast<off_t>(data.size())) == 0 && ::fsync(handle) == 0)
    return;
  const int error = errno;
  if (!WriteAllAt(handle, old.data(), old.size(), 0) ||
      ::ftruncate(handle, static_cast<off_t>(old.size())) != 0 || ::fsync(handle) != 0) {
    if (copy) {
      const std::string kept = copy->Name();
      copy->Keep();
      throw EOSWriteError(
          Format("%s; the old contents are in \"%s\"",
                 Format(rtl::SFWriteErrorEx, fileName.c_str(), SysErrorMessage(error).c_str()).c_str(),
                 kept.c_str()),
          error);
    }
  }
  WriteError(fileName, error);
}

/// Writing into a pipe whose reader has gone raises SIGPIPE, and writing
/// past the file size limit SIGXFSZ, either of which would end the whole
/// program: while a save writes, both are held back and taken, so that the
/// failed write is an ordinary write error with its reason.
class TSignalHold {
 public:
  TSignalHold() {
    sigemptyset(&FHeld);
    sigset_t pending;
    sigpending(&pending);
    for (const int signal : {SIGPIPE, SIGXFSZ})
      if (sigismember(&pending, signal) != 1) sigaddset(&FHeld, signal);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGPIPE);
    sigaddset(&blocked, SIGXFSZ);
    pthread_sigmask(SIG_BLOCK, &blocked, &FOld);
  }
  ~TSignalHold() {
    const timespec now{0, 0};
    while (sigtimedwait(&FHeld, nullptr, &now) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &FOld, nullptr);
  }
  TSignalHold(const TSignalHold&) = delete;
  TSignalHold& operator=(const TSignalHold&) = delete;

 private:
  sigset_t FHeld;
  sigset_t FOld;
};

/// A character device, a named pipe or an open descriptor takes the
/// document as a stream of bytes, where it stands; it is never replaced.
void WriteThroughHandle(const std::string& fileName, int handle, const TWriteFunction& write,
                        const std::function<void()>& opened) {
  TFileStream stream(handle, fileName);
  opened();
  WriteWithReason(fileName, stream, write);
}

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
  const int flags = ::fcntl(handle, F_GETFL);
  if (flags != -1) ::fcntl(handle, F_SETFL, flags & ~O_NONBLOCK);
  WriteThroughHandle(fileName, handle, write, opened);
}

/// An advisory lock on an existing file, held while it is saved. The lock
/// belongs to the file, not to the name: once another save has replaced
/// the file, the new one under the name is locked instead.
class TTargetLock {
 public:
  TTargetLock(const std::string& fileName, const std::string& path) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
      FHandle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      if (FHandle < 0 && errno == EACCES) FHandle = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (FHandle < 0) return;  // gone or out of reach: the save itself says why
      if (::flock(FHandle, LOCK_EX | LOCK_NB) == 0) {
        struct stat locked, named;
        if (::fstat(FHandle, &locked) != 0 || ::stat(path.c_str(), &named) != 0 ||
            (locked.st_dev == named.st_dev && locked.st_ino == named.st_ino))
          return;
      } else if (errno != EWOULDBLOCK && errno != EINTR) {
        return;  // a file system without locks
      }
      ::close(FHandle);
      FHandle = -1;
      if (std::chrono::steady_clock::now() >= deadline)
        throw EFCreateError(Format("%s is being saved by another program", fileName.c_str()));
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  ~TTargetLock() {
    if (FHandle >= 0) ::close(FHandle);
  }
  TTargetLock(const TTargetLock&) = delete;
  TTargetLock& operator=(const TTargetLock&) = delete;

 private:
  int FHandle = -1;
};

}  // namespace

void SaveFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write,
                    const std::function<void()>& opened, const TSaveOptions& options) {
  const std::function<void()> record = opened ? opened : [] {};
  TSignalHold hold;
  const TSaveTarget target = ResolveLinks(fileName);
  if (target.descriptor >= 0) {
    const int handle = ::fcntl(target.descriptor, F_DUPFD_CLOEXEC, 3);
    if (handle < 0) CreateError(fileName, SysErrorMessage(errno));
    WriteThroughHandle(fileName, handle, write, record);
    return;
  }
  const std::string& path = target.path;
  // A read-only target or a folder stays as it is, exactly as when it could not be truncated.
  struct stat info;
  bool exists = ::stat(path.c_str(), &info) == 0;
  if (exists && (S_ISDIR(info.st_mode) || ::access(path.c_str(), W_OK) != 0))
    CreateError(fileName, SysErrorMessage(S_ISDIR(info.st_mode) ? EISDIR : errno));
  if (exists && !S_ISREG(info.st_mode)) {
    WriteThrough(fileName, path, info, write, record);
    return;
  }
  std::unique_ptr<TTargetLock> lock;
  if (exists) {
    lock = std::make_unique<TTargetLock>(fileName, path);
    // The file as it stands now that no other save changes it.
    exists = ::stat(path.c_str(), &info) == 0;
  }
  std::unique_ptr<TBackup> backup;
  if (exists && options.KeepBackup) backup = std::make_unique<TBackup>(path, info);
  if (exists && (info.st_nlink > 1 || !target.replaceable)) {
    WriteInPlace(fileName, path, info, backup.get(), write, record);
  } else if (const int error =
                 ReplaceWhole(fileName, path, exists ? &info : nullptr, backup.get(), write, record);
             error != 0) {
    // A folder that takes no new file still lets its writable files be written.
    if (!exists || (error != EACCES && error != EPERM)) CreateError(fileName, SysErrorMessage(error));
    WriteInPlace(fileName, path, info, nullptr, write, record);
  }
}

void TQuillcrafterDoc::SaveToFile(const std::string& fileName, bool keepBackup) {
  // The name is recorded once the file is open, before anything is written.
  TSaveOptions options;
  options.KeepBackup = keepBackup;
  SaveFileSafely(
      fileName, [this](TStream& stream) { WriteDocument(stream); },
      [this, &fileName] { FRecentFiles->AddFile(fileName); }, options);
  FModified = false;
}
