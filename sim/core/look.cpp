// A look at a printer for tools and the service: it makes nothing, follows
// no link, writes nothing and waits for the printer no longer than asked.
#include <chrono>

#include "core/internal.h"

namespace ksim {

Inspection Printer::inspect(int wait_ms) {
  Impl &p = *impl_;
  Inspection out;
  const auto said = [&](Inspection::Kind kind, std::string reason) {
    out.kind = kind;
    out.reason = std::move(reason);
    return out;
  };
  if (p.folder.empty())
    return said(Inspection::Kind::unreadable, "there is no data folder (set KALPO_SIM_DIR, or HOME)");
  const std::string kind = files::path_kind(p.folder);
  if (kind.empty()) return out;
  if (kind != "folder") return said(Inspection::Kind::unreadable, p.folder + " is " + kind + ", not a folder");
  // This process's own turn first: a call running on another thread.
  std::unique_lock<std::recursive_timed_mutex> turn(p.mutex, std::defer_lock);
  if (!turn.try_lock_for(std::chrono::milliseconds(wait_ms)))
    return said(Inspection::Kind::busy, "busy: a call on this printer is running");
  const bool outermost = p.depth == 0;
  if (outermost) p.looking = true, p.wait_ms = wait_ms;
  auto session = std::make_shared<Session>(begin("inspect", Call::inspect));
  p.looking = false;
  if (!session->silent()) {
    out.kind = Inspection::Kind::sound;
    out.session = std::move(session);
    return out;
  }
  if (p.busy) return said(Inspection::Kind::busy, "busy: a call of another process holds its lock");
  if (!p.damage.empty()) return said(Inspection::Kind::damaged, "it refuses its journal: " + p.damage);
  return said(Inspection::Kind::unreadable,
              files::last_error().empty() ? "its files cannot be read" : files::last_error());
}

std::vector<FaultLine> Printer::fault_lines(int wait_ms, std::string *refused) {
  const Inspection look = inspect(wait_ms);
  if (!look.session) {
    if (refused && look.kind != Inspection::Kind::absent) *refused = look.reason;
    return {};
  }
  std::vector<FaultLine> lines = impl_->read_faults(refused);
  std::erase_if(lines, [](const FaultLine &line) { return line.name.empty(); });
  return lines;
}

Inspection Printer::accept_restore(int wait_ms) {
  Impl &p = *impl_;
  std::unique_lock<std::recursive_timed_mutex> turn(p.mutex, std::defer_lock);
  if (!turn.try_lock_for(std::chrono::milliseconds(wait_ms)) || p.depth > 0)
    return {Inspection::Kind::busy, "busy: a call on this printer is running", nullptr};
  p.reload();
  p.floor.reset();  // the operator accepts the printer as it is now
  p.lifted.clear();
  p.accepting_restore = true;
  { Session session = begin("restore", Call::inspect); }
  p.accepting_restore = false;
  return inspect(wait_ms);
}

}  // namespace ksim
