// The faults control file: one fault a line, "[once ]<name>[ <value>]".
// Lines it does not know (comments, blank lines) are kept as they are.
#include "core/internal.h"

namespace ksim {
namespace {

bool known(std::string_view name) {
  for (const FaultKind &kind : kFaultKinds)
    if (name == kind.name) return true;
  return false;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

FaultLine parse_line(std::string_view raw) {
  FaultLine line;
  std::string_view text = trim(raw);
  if (text.substr(0, 5) == "once ") {
    line.once = true;
    text = trim(text.substr(5));
  }
  std::size_t space = text.find_first_of(" \t");
  line.name = std::string(text.substr(0, space));
  if (space != std::string_view::npos) line.value = std::string(trim(text.substr(space)));
  if (!known(line.name)) return FaultLine{{}, std::string(raw), false};
  return line;
}

}  // namespace

std::vector<FaultLine> parse_faults(std::string_view text) {
  std::vector<FaultLine> lines;
  while (!text.empty()) {
    std::size_t end = text.find('\n');
    lines.push_back(parse_line(text.substr(0, end)));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

std::string faults_text(const std::vector<FaultLine> &lines) {
  std::string text;
  for (const FaultLine &line : lines) {
    if (line.name.empty())
      text += line.value;
    else
      text += (line.once ? "once " : "") + line.name + (line.value.empty() ? "" : " " + line.value);
    text += '\n';
  }
  return text;
}

Faults faults_of(const std::vector<FaultLine> &lines) {
  Faults faults;
  for (const FaultLine &line : lines) {
    std::int64_t ms = 0;
    if (line.name == "paper_end")
      faults.paper_end = true;
    else if (line.name == "paper_near_end")
      faults.paper_near_end = true;
    else if (line.name == "off")
      faults.off = true;
    else if (line.name == "refuse")
      faults.refuse_code = line.value;
    else if (line.name == "slow" && parse_int(line.value, ms) && ms > 0)
      faults.slow_ms = static_cast<int>(ms);
    else if (line.name == "unreadable")
      faults.unreadable = true;
    else if (line.name == "driver_start")
      faults.driver_start_refused = true;
  }
  return faults;
}

// The faults file is read up to a size no hand-written file reaches; what
// lies beyond is not read.
std::vector<FaultLine> Printer::Impl::read_faults(std::string *refused) {
  constexpr std::uint64_t kLimit = 64 * 1024;
  std::string text;
  if (!dir.open()) return {};
  if (!files::read_from(dir, kFaults, 0, text, kLimit)) {
    if (refused) *refused = files::last_error();
    return {};
  }
  return parse_faults(text);
}

void Printer::Impl::write_faults(const std::vector<FaultLine> &lines) {
  if (dir.open() && !files::write_all(dir, kFaults, faults_text(lines))) notice(files::last_error());
}

// Read without the lock (a caller may hold it through another instance of
// the core), as the file is only ever replaced whole.
Faults Printer::faults() const {
  std::lock_guard<std::recursive_timed_mutex> guard(impl_->mutex);
  if (!impl_->dir.open() && !impl_->folder.empty()) files::open_folder(impl_->folder, impl_->dir);
  return faults_of(impl_->read_faults());
}

void Printer::set_fault(std::string_view name, std::string_view value, bool one_shot) {
  if (!known(name)) return;
  Session session = begin("set_fault", Call::inspect);
  std::vector<FaultLine> lines = impl_->read_faults();
  std::erase_if(lines, [&](const FaultLine &line) { return line.name == name; });
  lines.push_back({std::string(name), std::string(value), one_shot});
  impl_->write_faults(lines);
}

void Printer::clear_fault(std::string_view name) {
  Session session = begin("clear_fault", Call::inspect);
  std::vector<FaultLine> lines = impl_->read_faults();
  std::erase_if(lines, [&](const FaultLine &line) { return line.name == name; });
  impl_->write_faults(lines);
}

void Printer::clear_faults() {
  Session session = begin("clear_faults", Call::inspect);
  impl_->write_faults({});
}

}  // namespace ksim
