// The printer of one maker library in this process, and the start of a call.
#include <map>

#include "core/internal.h"

namespace ksim {
namespace {

std::string folder_for(std::string_view library) {
  std::string root = data_dir();
  return root.empty() ? std::string() : root + kSlash + std::string(library);
}

// Whether a call of this kind is touched by the fault of this name.
bool touches(Call call, const std::string &fault) {
  if (call == Call::inspect || fault == "paper_end") return false;
  if (fault == "refuse") return call == Call::command;
  if (fault == "driver_start") return call == Call::start;
  return true;
}

}  // namespace

Printer::Printer(std::string library) : impl_(std::make_unique<Impl>()) {
  impl_->library = std::move(library);
  impl_->folder = folder_for(impl_->library);
}

Printer::~Printer() = default;

// One printer per library; a new data folder (tests give each test its
// own) gives the printer of that folder, with fresh local state.
Printer &Printer::of(std::string_view library) {
  static std::mutex mutex;
  static std::map<std::string, std::unique_ptr<Printer>, std::less<>> printers;
  static std::vector<std::unique_ptr<Impl>> retired;  // may still be in use by a Session
  std::lock_guard<std::mutex> guard(mutex);
  auto found = printers.find(library);
  if (found == printers.end())
    found = printers.emplace(std::string(library), std::unique_ptr<Printer>(new Printer(std::string(library)))).first;
  Printer &printer = *found->second;
  std::string folder = folder_for(library);
  if (printer.impl_->folder != folder) {
    if (printer.impl_->depth == 0) files::close_folder(printer.impl_->dir);
    retired.push_back(std::move(printer.impl_));
    printer.impl_ = std::make_unique<Impl>();
    printer.impl_->library = std::string(library);
    printer.impl_->folder = folder;
  }
  return printer;
}

Session Printer::begin(std::string_view function) { return begin(function, Call::command); }

Session Printer::begin(std::string_view function, Call call) {
  auto session = std::make_unique<Session::Impl>();
  Impl &p = *impl_;
  session->printer = &p;
  session->guard = std::unique_lock<std::recursive_timed_mutex>(p.mutex);
  session->function = std::string(function);
  session->call = call;
  if (p.depth++ == 0) {
    p.enter();
    if (p.usable) p.catch_up();
    if (p.usable) p.lift_refusal();
  }
  if (!p.usable) {
    session->silent = true;
    return Session(std::move(session));
  }
  // This call's faults; the one-shot ones it touches are used up now,
  // a one-shot paper end by the printing operation that meets it.
  std::vector<FaultLine> lines = p.read_faults(), kept, applying;
  for (FaultLine &line : lines) {
    bool touched = touches(call, line.name);
    if (touched || line.name == "paper_end") applying.push_back(line);
    if (line.name == "paper_end" && line.once) session->paper_end_once = true;
    if (!(touched && line.once)) kept.push_back(std::move(line));
  }
  if (kept.size() != lines.size()) p.write_faults(kept);
  session->faults = faults_of(applying);
  session->silent = !p.damage.empty() || session->faults.off;
  return Session(std::move(session));
}

std::string Printer::folder() const { return impl_->folder; }

State Printer::state() {
  Session session = begin("state", Call::inspect);
  return impl_->state;
}

std::shared_ptr<void> &Printer::local_slot(std::type_index type) { return impl_->locals[type]; }

}  // namespace ksim
