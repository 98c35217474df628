#include "entry/trace.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "base/cp1252.h"
#include "entry/trace_json.h"
#include "frame/messages.h"
#include "platform/platform.h"
#include "seam/seam.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace kalpo::entry::trace {

Mode mode = Mode::unknown;

struct Record {
  std::string line;       // the JSON line up to the arguments' closing bracket
  std::string steps;      // maker calls and messages, comma-separated
  std::string outs;       // out values, comma-separated members
  std::string libraries;  // the maker libraries looked for: the file found, or where it was not
  std::optional<std::int32_t> result;
  std::chrono::steady_clock::time_point start;
  std::size_t args = 0;
  // What each out-text variable held before the call (by argument index),
  // so that only the texts the call handed out are recorded.
  std::vector<std::pair<std::size_t, const char *>> texts_before;
};

// The workstation beneath a replay's answers (trace_platform.cpp).
platform::Platform &workstation();

namespace {

std::string g_path;
Record g_record;
bool g_active = false;
unsigned long g_header_process = 0;  // the process that wrote its header line
const seam::Api *g_inner = nullptr;
platform::Platform *g_platform = nullptr;  // the platform in use when the record began

// The time of a line: the workstation's own clock, never a replayed answer.
std::string local_time_now() {
  const platform::DateTime t = workstation().now();
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  return text;
}

unsigned long this_process() {
#if defined(_WIN32)
  return GetCurrentProcessId();
#else
  return static_cast<unsigned long>(getpid());
#endif
}

// The first line a process writes: the trace format, KALPO's version, the
// platform and the process.
std::string header_line(unsigned long process) {
#if defined(_WIN32)
  const char *system = "windows";
#else
  const char *system = "posix";
#endif
  return "{\"kalpo_trace\":2,\"kalpo\":\"" KALPO_VERSION_TEXT "\",\"platform\":\"" + std::string(system) +
         "\",\"process\":" + std::to_string(process) + ",\"time\":" + json::string(local_time_now()) + "}\n";
}

// Each line goes out whole in one append, so that the lines of several
// processes tracing to one file never tear one another.  The trace holds
// customers' names and documents: it is made readable by its owner alone,
// and it is never reached through a link, a pipe or a device, nor waited on,
// nor written when another user owns it or may write it.  The same rules as
// the virtual printer's and the tool's safe opener (sim/core/safe_file.h),
// written again here because libkalpo shares no code with the virtual
// printer, and this append is the library's one file it writes.
// Returns why the file was not written, "" when it was.
#if defined(_WIN32)
std::string append_whole(const std::string &text) {
  const HANDLE file =
      CreateFileA(g_path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "cannot be opened";
  BY_HANDLE_FILE_INFORMATION info{};
  const bool regular = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &info) &&
                       !(info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY));
  DWORD written = 0;
  const bool ok = regular && WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
                  written == text.size();
  if (CloseHandle(file) == 0 || !ok) return regular ? "cannot be written" : "is a link, a pipe or a device";
  return {};
}
#else
// A file another user owns, or others may write, may have been put there
// for the customers' data: it is not written.
std::string append_whole(const std::string &text) {
  const int fd =
      ::open(g_path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0600);
  if (fd < 0) return "cannot be opened (or is a link)";
  struct stat st {};
  std::string why;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    why = "is a pipe or a device";
  else if (st.st_uid != ::geteuid())
    why = "belongs to another user";
  else if (st.st_mode & (S_IWGRP | S_IWOTH))
    why = "may be written by other users";
  ssize_t written = -1;
  if (why.empty()) {
    do {
      written = ::write(fd, text.data(), text.size());
    } while (written < 0 && errno == EINTR);
  }
  if (::close(fd) != 0 || (why.empty() && written != static_cast<ssize_t>(text.size()))) why = "cannot be written";
  return why;
}
#endif

void append_line(const std::string &line) {
  const unsigned long process = this_process();
  const std::string why = append_whole(g_header_process == process ? line : header_line(process) + line);
  if (why.empty()) {
    g_header_process = process;
    return;
  }
  std::fprintf(stderr, "KALPO: the trace file %s %s; tracing is off\n", g_path.c_str(), why.c_str());
  mode = Mode::off;
}

void separate(std::string &list) {
  if (!list.empty()) list += ',';
}

void next_arg(Record &r) {
  if (r.args++) r.line += ',';
}

void out_member(Record &r, std::size_t index) {
  separate(r.outs);
  r.outs += '"' + std::to_string(index) + "\":";
}

// A maker library looked for during the call: its file, or that it is
// missing and where it was looked for.
void library_looked(std::string_view library, const seam::FoundLibrary &found) {
  if (!g_active) return;
  try {
    separate(g_record.libraries);
    g_record.libraries += "{\"library\":" + json::string(std::string(library)) +
                          ",\"name\":" + json::string(seam::maker_file_name(library)) +
                          ",\"file\":" + (found.handle ? json::string(found.file) : "null") +
                          (found.handle ? ",\"virtual\":" + std::string(found.virtual_printer ? "true" : "false")
                                        : ",\"looked\":" + json::string(found.looked)) +
                          "}";
  } catch (...) {
  }
}

}  // namespace

const seam::Api &traced_table();
const seam::Api *inner_table() { return g_inner ? g_inner : &seam::native(); }
platform::Platform &recording_platform(platform::Platform &inner);
void answer_workstation_from(const char *answers_file);

Record *begin(const char *export_name) {
  try {
    if (mode == Mode::unknown) {
      g_path = platform::get().setting("KALPO_TRACE");
      mode = g_path.empty() ? Mode::off : Mode::on;
      if (const char *answers = std::getenv("KALPO_REPLAY_WORKSTATION"); mode == Mode::on && answers && *answers)
        answer_workstation_from(answers);
    }
    if (mode != Mode::on || g_active) return nullptr;
    g_record = Record{};
    g_record.start = std::chrono::steady_clock::now();
    g_record.line =
        "{\"time\":" + json::string(local_time_now()) + ",\"export\":" + json::string(export_name) + ",\"args\":[";
    g_active = true;
    g_inner = &seam::api();
    seam::install(&traced_table());
    frame::msg::listen(&message);
    seam::listen_loads(&library_looked);
    g_platform = &platform::get();
    platform::install(&recording_platform(*g_platform));
    return &g_record;
  } catch (...) {
    return nullptr;
  }
}

void discard(Record *record) noexcept {
  if (!record) return;
  seam::install(g_inner);
  frame::msg::listen(nullptr);
  seam::listen_loads(nullptr);
  platform::install(g_platform);
  g_active = false;
}

void end(Record *record) noexcept {
  if (!record) return;
  discard(record);
  try {
    const auto elapsed = std::chrono::steady_clock::now() - record->start;
    const double ms = std::chrono::duration<double, std::milli>(elapsed).count();
    std::string &line = record->line;
    line += "],\"steps\":[" + record->steps + "],";
    if (!record->libraries.empty()) line += "\"libraries\":[" + record->libraries + "],";
    line += "\"result\":";
    line += record->result ? std::to_string(*record->result) : "null";
    line += ",\"out\":{" + record->outs + "},\"ms\":" + json::number(ms) + "}\n";
    append_line(line);
  } catch (...) {
  }
}

void result(std::int32_t value) {
  if (g_active) g_record.result = value;
}

void no_result() {
  if (g_active) g_record.result.reset();
}

void message(std::int32_t form, std::string_view text, const char *caption, std::uint32_t flags, std::int32_t button) {
  if (!g_active) return;
  try {
    separate(g_record.steps);
    g_record.steps += "{\"message\":{\"form\":" + std::to_string(form) +
                      ",\"caption\":" + (caption ? json::text(caption) : "null") + ",\"text\":" + json::text(text) +
                      ",\"flags\":" + std::to_string(flags) + ",\"button\":" + std::to_string(button) + "}}";
  } catch (...) {
  }
}

// A maker call, already written as its JSON object.
void maker_step(const std::string &step) {
  if (!g_active) return;
  separate(g_record.steps);
  g_record.steps += step;
}

void arg(Record &r, const char *text) {
  next_arg(r);
  r.line += text ? json::text(text) : "null";
}
void arg(Record &r, const char **out_text) {
  if (out_text) r.texts_before.emplace_back(r.args, *out_text);
  next_arg(r);
  r.line += "null";
}
void arg(Record &r, char *) {
  next_arg(r);
  r.line += "null";
}
void arg(Record &r, std::int32_t value) {
  next_arg(r);
  r.line += std::to_string(value);
}
void arg(Record &r, std::int32_t *var) {
  next_arg(r);
  r.line += var ? std::to_string(*var) : "null";
}
void arg(Record &r, double value) {
  next_arg(r);
  r.line += json::number(value);
}
void arg(Record &r, KALPO_TextControl *control) {
  next_arg(r);
  const char *text = control && control->get_text ? control->get_text(control->context) : nullptr;
  r.line += text ? json::text(text) : "null";
}
void arg(Record &r, const void *) {
  next_arg(r);
  r.line += "null";
}
void arg(Record &r, void *) {
  next_arg(r);
  r.line += "null";
}
void arg(Record &r, KALPO_TratadorMensagem handler) {
  next_arg(r);
  r.line += handler ? "true" : "false";
}

void out(Record &r, std::size_t index, const char **out_text) {
  if (!out_text || !*out_text) return;
  for (const auto &[at, before] : r.texts_before)
    if (at == index && before == *out_text) return;
  out_member(r, index);
  r.outs += json::text(*out_text);
}
void out(Record &r, std::size_t index, char *answer) {
  if (!answer) return;
  out_member(r, index);
  // The caller's answer buffer holds at least 100 bytes.
  r.outs += json::text(std::string_view(answer, strnlen(answer, 100)));
}
void out(Record &r, std::size_t index, std::int32_t *var) {
  if (!var) return;
  out_member(r, index);
  r.outs += std::to_string(*var);
}
void out(Record &r, std::size_t index, KALPO_TextControl *control) {
  if (!control || !control->get_text) return;
  const char *text = control->get_text(control->context);
  out_member(r, index);
  r.outs += text ? json::text(text) : "null";
}

}  // namespace kalpo::entry::trace
