#include "output.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <streambuf>

#include <nlohmann/json.hpp>

#include "base/cp1252.h"
#include "host.h"

namespace kt {

using kalpo::base::cp1252::to_utf8;
namespace {

bool g_json = false;

// A standard stream with the controls a terminal obeys written as '?', and
// so is each byte that is not part of valid UTF-8 (a lone 0x9B is a control
// to some terminals): whatever text a file gave, the terminal only shows it.
class Visible final : public std::streambuf {
 public:
  explicit Visible(std::streambuf *to) : to_(to) {}
  bool failed() const { return failed_; }

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) put(static_cast<unsigned char>(c));
    return failed_ ? traits_type::eof() : traits_type::not_eof(c);
  }
  // A whole text reaches the stream in one piece: standard error is not
  // buffered, and a byte at a time would be a system call each.
  std::streamsize xsputn(const char *text, std::streamsize n) override {
    pending_ = &batch_;
    for (std::streamsize i = 0; i < n; ++i) put(static_cast<unsigned char>(text[i]));
    pending_ = nullptr;
    const auto size = static_cast<std::streamsize>(batch_.size());
    if (size > 0 && to_->sputn(batch_.data(), size) != size) failed_ = true;
    batch_.clear();
    return failed_ ? 0 : n;
  }
  int sync() override {
    if (!sequence_.empty()) emit('?'), sequence_.clear();
    return to_->pubsync() == 0 && !failed_ ? 0 : -1;
  }

 private:
  // The length of the UTF-8 sequence `lead` begins, 0 when none.
  static std::size_t sequence_length(unsigned char lead) {
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 0;
  }
  // Whether `c` may follow the bytes of `sequence_`: a continuation byte,
  // neither overlong nor a surrogate nor past U+10FFFF.
  bool continues(unsigned char c) const {
    if ((c & 0xC0) != 0x80) return false;
    if (sequence_.size() != 1) return true;
    const auto lead = static_cast<unsigned char>(sequence_[0]);
    return !(lead == 0xE0 && c < 0xA0) && !(lead == 0xED && c >= 0xA0) && !(lead == 0xF0 && c < 0x90) &&
           !(lead == 0xF4 && c >= 0x90);
  }
  void put(unsigned char c) {
    if (!sequence_.empty()) {
      if (continues(c)) {
        sequence_ += static_cast<char>(c);
        if (sequence_.size() < sequence_length(static_cast<unsigned char>(sequence_[0]))) return;
        // U+0080..U+009F (C2 80..9F) are controls too.
        if (static_cast<unsigned char>(sequence_[0]) == 0xC2 && static_cast<unsigned char>(sequence_[1]) <= 0x9F)
          emit('?');
        else
          for (const char byte : sequence_) emit(static_cast<unsigned char>(byte));
        sequence_.clear();
        return;
      }
      emit('?');  // a sequence cut short
      sequence_.clear();
    }
    if (c >= 0x80) {
      if (sequence_length(c) == 0) return emit('?');
      sequence_ = static_cast<char>(c);
      return;
    }
    emit((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F ? '?' : c);
  }
  void emit(unsigned char c) {
    if (pending_)
      pending_->push_back(static_cast<char>(c));
    else if (traits_type::eq_int_type(to_->sputc(static_cast<char>(c)), traits_type::eof()))
      failed_ = true;
  }

  std::streambuf *to_;
  std::string batch_;
  std::string *pending_ = nullptr;  // set while a text is gathered into batch_
  std::string sequence_;            // a UTF-8 sequence begun
  bool failed_ = false;
};

// Never destroyed: the standard streams are flushed once more after the
// program's static objects are gone, and must still find their buffers.
Visible *g_out = nullptr, *g_err = nullptr;

std::string dump(const nlohmann::json &value, int indent) {
  return value.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool is_utf8(std::string_view text) {
  namespace cp = kalpo::base::cp1252;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    // Malformed input decodes as U+FFFD too, but never as the three bytes
    // EF BF BD that write U+FFFD itself.
    if (cp::decode_utf8(text.data(), text.size(), i) == cp::kReplacement &&
        !(i - start == 3 && static_cast<unsigned char>(text[start]) == 0xEF))
      return false;
  }
  return true;
}

}  // namespace

void guard_output() {
  keep_standard_streams();
  if (g_out) return;
  g_out = new Visible(std::cout.rdbuf());
  g_err = new Visible(std::cerr.rdbuf());
  std::cout.rdbuf(g_out);
  std::cerr.rdbuf(g_err);
}

int finish_output(int status) {
  std::cout.flush();
  const bool out_lost = !std::cout || (g_out && g_out->failed()) || std::fflush(stdout) != 0 || std::ferror(stdout);
  if (out_lost) std::cerr << "kalpo: standard output could not be written\n";
  std::cerr.flush();
  const bool err_lost = !std::cerr || (g_err && g_err->failed()) || std::fflush(stderr) != 0 || std::ferror(stderr);
  return (out_lost || err_lost) && status == kExitDone ? kExitFailed : status;
}

void set_json_output(bool json) { g_json = json; }

std::string json_text(const nlohmann::json &value) { return dump(value, 2); }

std::string json_line(const nlohmann::json &value) { return dump(value, -1); }

void print_json(const nlohmann::json &value) { std::cout << json_text(value) << '\n' << std::flush; }

namespace {
std::function<void(const std::string &)> g_warning_sink;
}

void route_warnings(std::function<void(const std::string &)> sink) { g_warning_sink = std::move(sink); }

// One write per line: the service's threads write theirs beside it.
void warn(const std::string &text) {
  if (g_warning_sink)
    g_warning_sink(text);
  else
    std::cerr << (g_json ? json_line({{"warning", text}}) : "kalpo: warning: " + text) + '\n' << std::flush;
}

int fail(const std::string &text, int status) {
  std::cout << std::flush;
  if (g_json)
    print_json({{"error", text}, {"exit_status", status}});
  else
    std::cerr << "kalpo: " << text << '\n';
  return status;
}

std::string as_utf8(std::string_view text) { return is_utf8(text) ? std::string(text) : to_utf8(text); }

}  // namespace kt
