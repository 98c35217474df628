// A call on the printer: its lock, its faults, its clock, the lookups, and
// the running of one operation (checked on a copy of the state, journalled,
// then applied; the parts of the state that grow are shared, not copied).
#include "core/internal.h"

namespace ksim {

Session::Session(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Session::~Session() = default;
Session::Session(Session &&) noexcept = default;

Session::Impl::~Impl() {
  if (--printer->depth == 0) files::unlock(printer->lock);
}

const State &Session::state() const { return impl_->printer->state; }
const Faults &Session::faults() const { return impl_->faults; }
bool Session::silent() const { return impl_->silent; }
std::int64_t Session::now() const { return impl_->now(); }

std::int64_t Session::Impl::now() const {
  const State &s = printer->state;
  return files::wall_clock() + s.clock_offset + (s.daylight_saving ? 3600 : 0);
}

void Session::Impl::use_paper_end() {
  if (!paper_end_once) return;
  std::vector<FaultLine> lines = printer->read_faults();
  std::erase_if(lines, [](const FaultLine &line) { return line.name == "paper_end" && line.once; });
  printer->write_faults(lines);
  paper_end_once = false;
}

Outcome Session::Impl::run(std::string_view op, std::vector<std::string> args) {
  const Operation *operation = find_operation(op);
  if (silent || !operation) return Outcome::no_communication;
  if (faults.refuse_code) return Outcome::refused;
  if (operation->printing && faults.paper_end) {
    use_paper_end();
    return Outcome::paper_end;
  }
  Command command{function, std::string(op), now(), std::move(args)};
  State next = printer->state;
  Printout printout;
  if (Outcome outcome = operation->execute(next, printout, command); outcome != Outcome::ok) return outcome;
  if (!printer->journal(command)) return Outcome::no_communication;
  const bool new_document = next.coo != printer->state.coo;
  printer->state = std::move(next);
  printer->print(printout);
  if (printout.reduction)
    printer->write_checkpoint();
  else if (new_document)
    printer->write_mark(false, false);  // a restore from earlier in the day is caught too
  return Outcome::ok;
}

std::optional<std::string> Session::value(std::string_view name) const {
  const auto &values = impl_->printer->state.values;
  auto found = values.find(std::string(name));
  return found == values.end() ? std::nullopt : std::optional<std::string>(found->second);
}

// ---- Lookups ----

const Rate *Session::rate_by_code(std::string_view code) const {
  for (const Rate &rate : state().rates)
    if (lower_ascii(rate.code) == lower_ascii(code)) return &rate;
  return nullptr;
}

const Rate *Session::rate_by_index(int index) const {
  for (const Rate &rate : state().rates)
    if (rate.index != 0 && rate.index == index) return &rate;
  return nullptr;
}

const Rate *Session::rate_by_percent(int basis_points) const {
  for (const Rate &rate : state().rates)
    if (rate.index != 0 && rate.basis_points == basis_points) return &rate;
  return nullptr;
}

const PaymentForm *Session::form_by_name(std::string_view name) const {
  for (const PaymentForm &form : state().forms)
    if (lower_ascii(form.name) == lower_ascii(name)) return &form;
  return nullptr;
}

const PaymentForm *Session::form_by_initial(char initial) const {
  for (const PaymentForm &form : state().forms)
    if (!form.name.empty() && lower_ascii(form.name.substr(0, 1)) == lower_ascii(std::string(1, initial))) return &form;
  return nullptr;
}

const PaymentForm *Session::form_by_index(int index) const { return find_form(state(), index); }

}  // namespace ksim
