// The platform layer: everything KALPO needs of the workstation besides the
// makers' libraries.  Real on Windows and POSIX; tests install their own.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kalpo::platform {

struct DateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
  int millisecond = 0;
};

// The workstation's regional settings.  short_date is a Windows date picture
// such as "dd/MM/yyyy" (d, dd, M, MM, yy, yyyy; anything else literal).
struct Regional {
  std::string decimal = ",";
  std::string thousands = ".";
  std::string short_date = "dd/MM/yyyy";
};

class Platform {
 public:
  virtual ~Platform() = default;

  // INI profile reading with Windows semantics: a missing file, section or
  // key gives the default; a present but empty key gives "".  Names match
  // without regard to case.  file is a Windows path.
  virtual std::string profile_string(std::string_view file, std::string_view section, std::string_view key,
                                     std::string_view fallback) = 0;

  // The span of one export call.  Within it a platform may answer every key
  // of a profile file from one reading of that file; the next call reads the
  // file afresh, so that an edited file takes effect at once.
  virtual void begin_call() {}
  virtual void end_call() {}

  // The workstation's local date and time.
  virtual DateTime now() = 0;
  // Valid until the next call of regional().
  virtual const Regional &regional() = 0;

  // Shows an operator message when no handler is registered; returns the
  // button (1 OK, 6 Yes, 7 No).  form/flags as KALPO_MSG_* and Win32 styles.
  virtual int32_t show_message(int32_t form, std::string_view text, const char *caption, uint32_t flags) = 0;
  // Releases a keyboard and mouse block that the host program may have set.
  virtual void release_input_block() = 0;

  // Files, named by Windows paths ("c:\canc.txt").
  virtual bool file_exists(std::string_view path) = 0;
  virtual bool remove_file(std::string_view path) = 0;
  // Reads a whole file; false when missing or unreadable.
  virtual bool read_file(std::string_view path, std::string &contents) = 0;
  virtual bool create_directories(std::string_view path) = 0;
  // Size in bytes, or -1 when the file is missing.
  virtual int64_t file_size(std::string_view path) = 0;

  // A setting named as an environment variable: the process's own variable,
  // else (on Windows) the user's or the system's as the registry keeps them,
  // so that a store's support can set it without touching the point-of-sale
  // program; "" when none is set.
  virtual std::string setting(std::string_view name);

  virtual void sleep_ms(uint32_t ms) = 0;
  // A monotonic clock in milliseconds, for bounded waits.
  virtual uint64_t ticks_ms() = 0;
};

// The platform in use.
Platform &get();

// Marks one export call on the platform in use, for its whole scope.
class CallScope {
 public:
  CallScope() : platform_(get()) { platform_.begin_call(); }
  ~CallScope() { platform_.end_call(); }
  CallScope(const CallScope &) = delete;
  CallScope &operator=(const CallScope &) = delete;

 private:
  Platform &platform_;
};
// Installs a platform; nullptr restores the real one.
void install(Platform *platform);

}  // namespace kalpo::platform
