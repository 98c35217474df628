#include "replay/answers.h"

#include <cstdio>
#include <cstdlib>

#include "replay/field_file.h"
#include "replay/trace_reader.h"

namespace kreplay {
namespace {

bool same(const Arg &recorded, const Passed &made) {
  switch (recorded.kind) {
    case 't': return made.text ? !recorded.null && recorded.text == made.text : recorded.null;
    case 'i': return recorded.number == made.number;
    case 'c': return recorded.text.size() == 1 && recorded.text[0] == made.character;
    case 'v': return recorded.null || made.variable;
    default: return recorded.size == made.width && (recorded.null || made.buffer);
  }
}

}  // namespace

const MakerCall *Replay::match(const char *name, const std::vector<Passed> &passed) {
  if (diverged_ || !load_next()) {
    diverged_ = true;
    return nullptr;
  }
  current_ = std::move(pending_[next_++]);
  bool same_call = current_.function->name == name && current_.args.size() == passed.size();
  for (std::size_t i = 0; same_call && i < passed.size(); ++i)
    same_call = current_.args[i].kind == passed[i].kind && same(current_.args[i], passed[i]);
  diverged_ = !same_call;
  return same_call ? &current_ : nullptr;
}

void Replay::write_back(const MakerCall &call, const std::vector<Passed> &passed) {
  for (std::size_t i = 0; i < passed.size(); ++i) {
    const Arg &a = call.args[i];
    const Passed &p = passed[i];
    if (a.null) continue;
    if (a.kind == 'v') {
      *p.variable = static_cast<std::int32_t>(a.number);
    } else if (a.kind == 'b') {
      const std::size_t n = std::min(a.text.size(), p.width);
      std::memcpy(p.buffer, a.text.data(), n);
      if (n < p.width) p.buffer[n] = '\0';
    } else if (a.kind == 'p') {
      const std::size_t n = std::min(a.text.size(), kPrefixedSize - 1);
      p.buffer[0] = static_cast<char>(n);
      std::memcpy(p.buffer + 1, a.text.data(), n);
    }
  }
}

const char *Replay::keep(const std::optional<std::string> &text) {
  kept_ = text;
  return kept_ ? kept_->c_str() : nullptr;
}

// Reads on to the next record with calls of this library.
bool Replay::load_next() {
  if (next_ < pending_.size()) return true;
  if (!opened_) {
    opened_ = true;
    const char *path = std::getenv("KALPO_REPLAY");
    if (!path || !*path) {
      std::fprintf(stderr, "%s (replay): KALPO_REPLAY names no trace; every call answers as a printer that is off\n",
                   library_.c_str());
      return false;
    }
    if (const char *lines = std::getenv("KALPO_REPLAY_LINES"))
      if (std::sscanf(lines, "%d-%d", &first_line_, &last_line_) != 2) first_line_ = 1, last_line_ = 0;
    try {
      file_ = std::make_unique<FieldFile>(path);
    } catch (const FieldFileError &e) {
      std::fprintf(stderr, "%s (replay): %s\n", library_.c_str(), e.what());
      return false;
    }
    stream_ = std::make_unique<std::istream>(file_.get());
    lines_ = std::make_unique<LineReader>(*stream_);
  }
  if (!lines_) return false;
  pending_.clear();
  next_ = 0;
  std::string text;
  while (pending_.empty()) {
    try {
      if (!lines_->next(text)) break;
      if (lines_->number() < first_line_) continue;
      if (last_line_ > 0 && lines_->number() > last_line_) break;
      const Line line = parse_line(text, lines_->number());
      if (line.kind != LineKind::record) continue;
      for (MakerCall &call : check_record(line.json, lines_->number()))
        if (call.function->library == library_) pending_.push_back(std::move(call));
    } catch (const std::exception &e) {
      std::fprintf(stderr, "%s (replay): %s\n", library_.c_str(), e.what());
      lines_.reset();
      return false;
    }
  }
  return !pending_.empty();
}

}  // namespace kreplay
