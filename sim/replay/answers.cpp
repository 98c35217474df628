#include "replay/answers.h"

#include <cstdio>

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

void Replay::take(std::vector<MakerCall> calls) {
  handed_ = true;
  pending_ = std::move(calls);
  next_ = 0;
}

const MakerCall *Replay::match(const char *name, const std::vector<Passed> &passed) {
  if (!handed_ && !diverged_)
    std::fprintf(stderr, "%s (replay): no trace was handed to this library; it answers as a printer that is off\n",
                 library_.c_str());
  if (diverged_ || next_ >= pending_.size()) {
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

}  // namespace kreplay
