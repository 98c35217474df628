// The platform's files outside Windows: flock, fsync, POSIX calls.  A
// printer's files are reached through its folder held open (openat), never
// through a link, opened without blocking, and must be regular files.
#if !defined(_WIN32)
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <thread>

#include "core/internal.h"

namespace ksim::files {
namespace {

thread_local std::string g_error;

// Records why `what` failed (errno), for last_error(); false.
bool fail(std::string_view what, int error = errno) {
  g_error = std::string(what) + ": " + std::strerror(error);
  return false;
}

bool fail_with(std::string_view what, std::string_view why) {
  g_error = std::string(what) + ": " + std::string(why);
  return false;
}

int folder_fd(const Folder &folder) { return static_cast<int>(folder.handle); }

const char *kind_of(mode_t mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISLNK(mode)) return "a link, not a file";
  if (S_ISFIFO(mode)) return "a FIFO, not a file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a file";
  if (S_ISDIR(mode)) return "a folder, not a file";
  if (S_ISSOCK(mode)) return "a socket, not a file";
  return "not a regular file";
}

// A file of folder `dir` opened without following a link and without
// blocking on a FIFO, then checked to be a regular file and `whose`; -1
// otherwise (ENOENT when absent).
int open_at(int dir, const char *name, int flags, Whose whose = Whose::own) {
  int fd = ::openat(dir, name, flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) {
    int error = errno;
    if (error == ELOOP)
      fail_with(name, "a link, not a file (links are not followed)");
    else if (error == ENXIO)
      fail_with(name, "a FIFO or device, not a file");
    else
      fail(name, error);
    errno = error;
    return -1;
  }
  struct stat st {};
  bool examined = ::fstat(fd, &st) == 0;
  const bool own = whose != Whose::anyone;
  const mode_t others = whose == Whose::secret ? S_IRGRP | S_IROTH : 0;
  const char *why = !examined                                   ? nullptr
                    : !S_ISREG(st.st_mode)                      ? kind_of(st.st_mode)
                    : own && st.st_uid != ::geteuid()           ? "owned by another user"
                    : own && (st.st_mode & (S_IWGRP | S_IWOTH)) ? "others may write the file"
                    : (st.st_mode & others)                     ? "the file may be read by other users"
                                                                : "";
  if (!why || *why) {
    why ? fail_with(name, why) : fail(name);
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

int open_file(const Folder &folder, const char *name, int flags) { return open_at(folder_fd(folder), name, flags); }

bool write_fd(int fd, std::string_view data, const char *name) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(name);
    if (n == 0) return fail(name, ENOSPC);
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool sync_folder(const Folder &folder) { return ::fsync(folder_fd(folder)) == 0 || fail(folder.path); }

// Writes `data` into `temporary` (open as `fd`, closed here), flushes it and
// renames it over `name`, both in folder `dir`; the temporary is removed when
// a step fails.
bool replace_with(int fd, int dir, const char *temporary, const char *name, std::string_view data,
                  bool durably = true) {
  bool ok = write_fd(fd, data, temporary) && (!durably || ::fsync(fd) == 0 || fail(temporary));
  ::close(fd);
  ok = ok && (::renameat(dir, temporary, dir, name) == 0 || fail(name));
  if (!ok) ::unlinkat(dir, temporary, 0);
  return ok;
}

Identity identity_of(const struct stat &st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

}  // namespace

const std::string &last_error() { return g_error; }

bool refuse(std::string_view what, std::string_view why) { return fail_with(what, why); }

bool make_folders(const std::string &path) {
  for (std::size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return fail(part);
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return fail(path);
  return S_ISDIR(st.st_mode) || fail_with(path, "not a folder");
}

// Why a folder above `path` lets another user change what is in it: each one
// up to the user's home (or to the root, for a path outside it) is to be the
// user's own or the system's, and not writable by others, unless it is sticky
// (as the system's temporary folder is) and the entry below it is the
// user's own.  Empty when none does.
static std::string exposed_above(const std::string &path) {
  char resolved[PATH_MAX];
  if (!::realpath(path.c_str(), resolved)) return {};  // examined when opened
  std::string home;
  if (const char *given = std::getenv("HOME"); given && *given) {
    char real_home[PATH_MAX];
    if (::realpath(given, real_home)) home = real_home;
  }
  std::string current = resolved;
  uid_t below = ::geteuid();  // the folder itself, checked by the caller
  while (current != "/" && current != home) {
    const std::size_t slash = current.find_last_of('/');
    current = slash == 0 || slash == std::string::npos ? "/" : current.substr(0, slash);
    struct stat st {};
    if (::stat(current.c_str(), &st) != 0) return current + " cannot be examined";
    if (st.st_uid != ::geteuid() && st.st_uid != 0) return current + ", above it, belongs to another user";
    if ((st.st_mode & (S_IWGRP | S_IWOTH)) && !((st.st_mode & S_ISVTX) && below == ::geteuid()))
      return "others may write in " + current + ", above it: they could replace it";
    below = st.st_uid;
  }
  return {};
}

bool open_folder(const std::string &path, Folder &folder, bool create) {
  auto slash = path.find_last_of('/');
  if (create && slash != std::string::npos && slash > 0 && !make_folders(path.substr(0, slash))) return false;
  const bool made = create && ::mkdir(path.c_str(), 0700) == 0;
  if (create && !made && errno != EEXIST) return fail(path);
  int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return errno == ELOOP || errno == ENOTDIR ? fail_with(path, "not a folder (a link?)") : fail(path);
  struct stat st {};
  const char *why = ::fstat(fd, &st) != 0                ? "the folder cannot be examined"
                    : st.st_uid != ::geteuid()           ? "the folder belongs to another user"
                    : (st.st_mode & (S_IWGRP | S_IWOTH)) ? "others may write in the folder"
                                                         : nullptr;
  if (why) {
    ::close(fd);
    return fail_with(path, why);
  }
  if (const std::string above = exposed_above(path); !above.empty()) {
    ::close(fd);
    return fail_with(path, above);
  }
  // A new folder's entry is made durable in its parent.
  if (made && slash != std::string::npos) {
    const int parent = ::open(slash == 0 ? "/" : path.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent >= 0) ::fsync(parent), ::close(parent);
  }
  folder = {fd, path, identity_of(st)};
  return true;
}

void close_folder(Folder &folder) {
  if (folder.handle != -1) ::close(folder_fd(folder));
  folder.handle = -1;
}

bool still_there(const Folder &folder) {
  struct stat st {};
  return folder.handle != -1 && ::lstat(folder.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         identity_of(st) == folder.identity;
}

std::string odd_kind(const Folder &folder, const char *name) {
  struct stat st {};
  if (::fstatat(folder_fd(folder), name, &st, AT_SYMLINK_NOFOLLOW) != 0) return {};
  return kind_of(st.st_mode);
}

Lock lock(const Folder &folder, const char *name) {
  int fd = open_file(folder, name, O_RDWR | O_CREAT);
  if (fd < 0) return {};
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      fail(name);
      ::close(fd);
      return {};
    }
  }
  return Lock{fd};
}

Lock try_lock(const Folder &folder, const char *name, int wait_ms, bool &busy) {
  busy = false;
  int fd = open_file(folder, name, O_RDWR);
  if (fd < 0 && errno == ENOENT) g_error.clear();  // absent: nothing to wait for
  if (fd < 0) return {};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
      busy = errno == EWOULDBLOCK;
      busy ? fail_with(name, "held by a call of another process") : fail(name);
      ::close(fd);
      return {};
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return Lock{fd};
}

void unlock(Lock &lock) {
  if (!lock.locked()) return;
  ::flock(static_cast<int>(lock.handle), LOCK_UN);
  ::close(static_cast<int>(lock.handle));
  lock.handle = -1;
}

bool stat_file(const Folder &folder, const char *name, std::uint64_t &size, Identity &identity) {
  g_error.clear();
  struct stat st {};
  if (::fstatat(folder_fd(folder), name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? false : fail(name);
  if (!S_ISREG(st.st_mode)) return fail_with(name, kind_of(st.st_mode));
  size = static_cast<std::uint64_t>(st.st_size);
  identity = identity_of(st);
  return true;
}

bool read_from(const Folder &folder, const char *name, std::uint64_t offset, std::string &data, std::uint64_t limit) {
  data.clear();
  int fd = open_file(folder, name, O_RDONLY);
  if (fd < 0) return errno == ENOENT;
  char buffer[65536];
  while (data.size() < limit) {
    std::size_t want = limit - data.size() < sizeof buffer ? limit - data.size() : sizeof buffer;
    ssize_t n = ::pread(fd, buffer, want, static_cast<off_t>(offset + data.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      fail(name);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

bool append(const Folder &folder, const char *name, std::string_view data, bool durably) {
  int fd = open_file(folder, name, O_WRONLY | O_APPEND | O_CREAT);
  if (fd < 0) return false;
  struct stat st {};
  bool created = ::fstat(fd, &st) == 0 && st.st_size == 0;
  bool ok = write_fd(fd, data, name) && (!durably || ::fsync(fd) == 0 || fail(name));
  ::close(fd);
  return ok && (!durably || !created || sync_folder(folder));
}

bool truncate(const Folder &folder, const char *name, std::uint64_t size) {
  int fd = open_file(folder, name, O_WRONLY);
  if (fd < 0) return false;
  bool ok = (::ftruncate(fd, static_cast<off_t>(size)) == 0 && ::fsync(fd) == 0) || fail(name);
  ::close(fd);
  return ok;
}

bool write_all(const Folder &folder, const char *name, std::string_view data, bool durably) {
  std::string temporary = std::string(name) + ".new";
  int dir = folder_fd(folder);
  ::unlinkat(dir, temporary.c_str(), 0);  // left by a process killed while writing it
  int fd = ::openat(dir, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return fail(temporary);
  return replace_with(fd, dir, temporary.c_str(), name, data, durably) && (!durably || sync_folder(folder));
}

bool rename(const Folder &folder, const char *from, const char *to) {
  int dir = folder_fd(folder);
  return ::renameat(dir, from, dir, to) == 0 || errno == ENOENT || fail(from);
}

std::vector<std::string> list_folder(const std::string &path) {
  std::vector<std::string> names;
  DIR *dir = ::opendir(path.c_str());
  if (!dir) return names;
  while (dirent *entry = ::readdir(dir)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(dir);
  return names;
}

std::string path_kind(const std::string &path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? "" : "unreadable";
  if (S_ISDIR(st.st_mode)) return "folder";
  return S_ISREG(st.st_mode) ? "a file" : kind_of(st.st_mode);
}

std::string environment(const char *name) {
  const char *value = std::getenv(name);
  return value ? value : "";
}

std::string home_folder() {
  std::string home = environment("HOME");
  if (!home.empty()) return home;
  if (passwd *user = ::getpwuid(::getuid()); user && user->pw_dir) return user->pw_dir;
  return {};
}

void sleep_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::int64_t wall_clock() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  return from_civil({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec});
}

}  // namespace ksim::files

namespace ksim {

const std::string &last_file_error() { return files::g_error; }

SafeFile::SafeFile(const std::string &path, Whose whose)
    : handle_(files::open_at(AT_FDCWD, path.c_str(), O_RDONLY, whose)), path_(path) {
  if (!open() && errno == ENOENT) files::g_error.clear();  // absent: no fault
}

SafeFile::~SafeFile() {
  if (open()) ::close(static_cast<int>(handle_));
}

std::int64_t SafeFile::read(char *into, std::size_t size) {
  for (;;) {
    const ssize_t got = ::read(static_cast<int>(handle_), into, size);
    if (got >= 0) return got;
    if (errno != EINTR) return files::fail(path_), -1;
  }
}

bool append_own_file(const std::string &path, std::string_view data) {
  const int fd = files::open_at(AT_FDCWD, path.c_str(), O_WRONLY | O_APPEND | O_CREAT);
  if (fd < 0) return false;
  const bool ok = files::write_fd(fd, data, path.c_str()) && (::fsync(fd) == 0 || files::fail(path));
  ::close(fd);
  return ok;
}

bool create_own_file(const std::string &path, std::string_view data, bool &exists) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
  exists = fd < 0 && errno == EEXIST;
  if (fd < 0) return files::fail(path);
  const bool ok = files::write_fd(fd, data, path.c_str()) && (::fsync(fd) == 0 || files::fail(path));
  ::close(fd);
  if (!ok) ::unlink(path.c_str());  // a file half made is not left to be read as whole
  return ok;
}

// A caller's folder is not the printer's: a partial file planted there (a
// link, a FIFO) is refused, not removed.
bool write_caller_file(const std::string &path, std::string_view data) {
  const std::string partial = path + ".part";
  const int fd = files::open_at(AT_FDCWD, partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC);
  return fd >= 0 && files::replace_with(fd, AT_FDCWD, partial.c_str(), path.c_str(), data);
}

bool append_log_line(const std::string &path, std::string_view line, std::uint64_t limit) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int fd = files::open_at(AT_FDCWD, path.c_str(), O_WRONLY | O_APPEND | O_CREAT);
    if (fd < 0) return false;
    // The lock keeps two processes from both turning the same file over.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat opened {};
    struct stat named {};
    const bool current = ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
                         opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
    const bool full = opened.st_size > 0 && static_cast<std::uint64_t>(opened.st_size) + line.size() > limit;
    if (current && !full) {
      const bool ok = files::write_fd(fd, line, path.c_str());
      ::close(fd);
      return ok;
    }
    // Turned over by another process since it was opened, or full now.
    if (current && ::rename(path.c_str(), (path + ".1").c_str()) != 0) limit = UINT64_MAX;
    ::close(fd);
  }
  return false;
}

}  // namespace ksim
#endif
