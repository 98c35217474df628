// The printer watch: every printer's state from its answers alone, the
// status query asked in turn with the calls, and a `status` event whenever
// what it says changes.
#include "serve/printer_watch.h"

#include <algorithm>
#include <tuple>

#include "exports.h"
#include "library.h"
#include "models.h"
#include "operator.h"
#include "runner.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

// Each maker family's cheap query that changes nothing: the status bytes
// where the maker hands them out, else the firmware version (a question the
// printer itself must answer).  The Sweda library's judgment of it reads
// the status too, and says when the paper ran out.  The Epson library has
// none that KALPO exports: its printers are seen through their calls alone.
struct Query {
  const char *library;
  const char *export_name;
  bool tells_paper_end;  // every answer of the family is judged on the status bytes
};
constexpr Query kQueries[] = {
    {"bemafi32", "KALPO_VerificaEstadoECF", true}, {"convecf", "KALPO_FirmWare", true},
    {"fs345_32", "KALPO_FirmWare", false},         {"daruma32", "KALPO_FirmWare", false},
    {"ecf32m", "KALPO_FirmWare", false},           {"dllg2", "KALPO_FirmWare", false},
};

const Query *query_of(const std::string &library) {
  for (const Query &q : kQueries)
    if (library == q.library) return &q;
  return nullptr;
}

// The Bematech status byte ST1: paper end, paper near its end, a coupon open.
constexpr int kPaperEnd = 128, kPaperLow = 64, kCouponOpen = 2;

bool has(const std::vector<std::string> &codes, const char *code) {
  return std::find(codes.begin(), codes.end(), code) != codes.end();
}

double unix_now() { return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count(); }

// What the answer tells, applied to the state.
void apply(PrinterState &s, const Observation &seen, double now) {
  const std::string name = seen.call ? seen.call->name : "";
  const bool query = !s.query.empty() && name == s.query;
  // A printer that says its paper ran out answered, whatever else is shown;
  // the status query fails only when the printer does not answer it.
  const bool silent = has(seen.codes, "printer_off") || has(seen.codes, "communication") || (query && !seen.ok);
  const bool answering = !silent || has(seen.codes, "paper_end");
  if (s.answering != answering) s.answering = answering, s.since = now;
  if (!seen.ok) s.last_failure = failure_code(seen.codes), s.last_failure_at = now;
  if (!answering) return;
  s.last_answer = now;
  if (seen.out.contains("st1") && seen.out["st1"].is_number()) {
    const int st1 = seen.out["st1"].get<int>();
    s.paper = st1 & kPaperEnd ? "out" : st1 & kPaperLow ? "low" : "ok";
    s.coupon_open = (st1 & kCouponOpen) != 0;
  } else if (has(seen.codes, "paper_end")) {
    s.paper = "out";
  } else if (has(seen.codes, "paper_low")) {
    s.paper = "low";
  } else if (const Query *q = query_of(s.library);
             q && q->tells_paper_end ? (query || s.paper == "out")
                                     : seen.ok && seen.call && seen.call->changes_printer && s.paper == "out") {
    // Where every answer is judged on the status, one without a paper end
    // says the paper is in; elsewhere a call that printed says so.
    s.paper = "ok";
  }
  if (has(seen.codes, "coupon_open")) s.coupon_open = true;
  if (has(seen.codes, "coupon_closed")) s.coupon_open = false;
  if (seen.ok && name == "KALPO_AbreCupom") s.coupon_open = true;
  if (seen.ok && (name == "KALPO_fecha_cupom" || name == "KALPO_Cancela_Ultimo_Cupom")) s.coupon_open = false;
  if (has(seen.codes, "reduction_due")) s.z_pending = true;
  if (seen.ok && name == "KALPO_Reducaoz") s.z_pending = false;
}

// What changes the state as a `status` event tells it: not the times of the
// last answer and failure, which change with every one.
auto told(const PrinterState &s) { return std::tie(s.answering, s.paper, s.coupon_open, s.z_pending, s.last_failure); }

nlohmann::json maybe(const std::optional<bool> &value) { return value ? nlohmann::json(*value) : nlohmann::json(); }

}  // namespace

// What a failed call reports: the first message that says why a call failed, past the generic "the
// command was not carried out" that some makers show first.
std::string failure_code(const std::vector<std::string> &codes) {
  for (const std::string &code : codes)
    if (code != "not_executed") return code;
  return codes.empty() ? "none" : codes.front();
}

std::string PrinterState::status() const {
  if (!answering) return "unknown";
  if (!*answering) return "down";
  return paper == "out" || paper == "low" || z_pending.value_or(false) ? "degraded" : "ok";
}

std::vector<std::string> PrinterState::warnings() const {
  std::vector<std::string> out;
  if (answering == false) out.emplace_back("printer_not_answering");
  if (paper == "out") out.emplace_back("paper_out");
  if (paper == "low") out.emplace_back("paper_low");
  if (z_pending.value_or(false)) out.emplace_back("reduction_due");
  return out;
}

nlohmann::json PrinterState::json() const {
  const auto or_null = [](double t) { return t > 0 ? nlohmann::json(t) : nlohmann::json(); };
  const auto text_or_null = [](const std::string &t) { return t.empty() ? nlohmann::json() : nlohmann::json(t); };
  return {{"model", model},
          {"library", library},
          {"status", status()},
          {"answering", maybe(answering)},
          {"since", or_null(since)},
          {"last_answer", or_null(last_answer)},
          {"paper", paper},
          {"coupon_open", maybe(coupon_open)},
          {"z_pending", maybe(z_pending)},
          {"last_failure", text_or_null(last_failure)},
          {"last_failure_at", or_null(last_failure_at)},
          {"query", text_or_null(query)},
          {"file", text_or_null(file)},
          {"virtual", maybe(is_virtual)}};
}

PrinterWatch::PrinterWatch(EventHub &hub, WorkQueue &calls) : hub_(hub), calls_(calls) {}

PrinterWatch::~PrinterWatch() { stop(); }

bool PrinterWatch::add(const std::string &id) {
  const Model *model = find_model(id);
  if (!model || model->library.empty()) return false;
  std::lock_guard lock(mutex_);
  if (printers_.contains(id)) return true;
  PrinterState &s = printers_[id];
  s.model = id;
  s.library = model->library;
  const Query *query = query_of(model->library);
  s.query = query ? query->export_name : "";
  return true;
}

void PrinterWatch::start(std::chrono::milliseconds interval) {
  interval_ = interval;
  if (interval.count() <= 0) return;
  thread_ = std::thread([this] {
    const auto tick = std::min(interval_, std::chrono::milliseconds(250));
    std::unique_lock lock(mutex_);
    while (!wake_.wait_for(lock, tick, [this] { return stopping_; })) {
      const auto now = std::chrono::steady_clock::now();
      for (const auto &[model, state] : printers_) {
        if (state.query.empty() || pending_[model]) continue;
        if (const auto at = asked_.find(model); at != asked_.end() && now - at->second < interval_) continue;
        // Only while no call waits: the watch never makes a call wait.
        if (calls_.waiting() > 0) break;
        pending_[model] = true;
        asked_[model] = now;
        const std::string id = model;
        calls_.post([this, id] { ask(id); },
                    [this, id] {
                      std::lock_guard dropped(mutex_);
                      pending_[id] = false;
                    },
                    false);
      }
    }
  });
}

void PrinterWatch::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void PrinterWatch::ask(const std::string &model) {
  std::string query;
  {
    std::lock_guard lock(mutex_);
    pending_[model] = false;
    query = printers_.at(model).query;
  }
  const Export &e = export_named(query);
  Observation seen;
  seen.call = &e;
  try {
    install_operator({Answer::no, false, false});
    const nlohmann::json step = call_export(e, {Value::of_text(model)}, true);
    seen.ok = step["result"] != 0;
    for (const auto &m : step["messages"]) seen.codes.push_back(m["code"]);
    seen.out = step["out"];
  } catch (const std::exception &) {
    // libkalpo or the maker library cannot be loaded: nothing answers.
    seen.codes = {"printer_off"};
  }
  answered(model, seen);
}

void PrinterWatch::answered(const std::string &model, const Observation &seen) {
  if (!add(model)) return;
  // Which file answers, looked for once it is loaded (on the calls' thread,
  // beside the calls): libkalpo loads it when a call first needs it.
  std::string library;
  {
    std::lock_guard lock(mutex_);
    const PrinterState &s = printers_.at(model);
    if (s.file.empty()) library = s.library;
  }
  const MakerFile found = library.empty() ? MakerFile{} : maker_file(library);
  std::optional<nlohmann::json> changed;
  {
    std::lock_guard lock(mutex_);
    PrinterState &s = printers_.at(model);
    const PrinterState before = s;
    if (!found.file.empty()) s.file = found.file, s.is_virtual = found.virtual_printer;
    apply(s, seen, unix_now());
    asked_[model] = std::chrono::steady_clock::now();
    if (told(s) != told(before)) changed = s.json();
  }
  if (changed) hub_.publish("status", *changed);
}

std::vector<std::string> PrinterWatch::warnings(const std::string &model) {
  std::lock_guard lock(mutex_);
  const auto found = printers_.find(model);
  return found == printers_.end() ? std::vector<std::string>{} : found->second.warnings();
}

std::vector<PrinterState> PrinterWatch::states() {
  std::lock_guard lock(mutex_);
  std::vector<PrinterState> out;
  for (const auto &[model, state] : printers_) out.push_back(state);
  return out;
}

}  // namespace kt::serve
