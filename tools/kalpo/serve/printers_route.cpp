// The virtual printers: GET /v1/printers, and per maker library its tape,
// faults and clock.
#include <charconv>

#include "exports.h"
#include "models.h"
#include "paper.h"
#include "printer_view.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

std::string library_of(const std::string &given) {
  try {
    return library_for(given);
  } catch (const UsageError &) {
    throw HttpError(404, "no printer '" + given + "' (a model or maker library: " + model_list() + ")",
                    "unknown_printer", "library");
  }
}

nlohmann::json printer_entry(const std::string &library) {
  const PrinterView l = view_printer(library);
  nlohmann::json models = nlohmann::json::array();
  for (const Model &m : kt::models())
    if (m.library == library) models.push_back(m.id);
  nlohmann::json entry = {
      {"library", library}, {"models", models}, {"folder", l.folder}, {"exists", !l.absent()}, {"damaged", l.damaged}};
  if (l.session) entry.update(state_entry(l));
  if (!l.refusal.empty()) entry["error"] = l.refusal;
  entry["faults"] = fault_entries(library);
  return entry;
}

// {"name": ..., "value": ..., "once": ...}, or a line as the control file
// holds it: "[once ]<name>[ <value>]".
FaultLine wanted_fault(const nlohmann::json &f) {
  if (f.is_string()) return fault_line(f.get<std::string>());
  if (!f.is_object() || !f.contains("name") || !f["name"].is_string() ||
      (f.contains("value") && !f["value"].is_string()) || (f.contains("once") && !f["once"].is_boolean()))
    throw HttpError(400,
                    "a fault is \"[once ]name[ value]\" or {\"name\": text, \"value\": text, \"once\": true or false}",
                    "wrong_kind", "faults");
  return {f["name"], f.value("value", ""), f.value("once", false)};
}

std::int64_t clock_seconds(const nlohmann::json &offset) {
  constexpr const char *kOffset = "\"offset\" is whole seconds, or a text such as \"1d\", \"-2h\", \"30m\"";
  try {
    if (offset.is_string()) return parse_offset(offset.get<std::string>());
    if (offset.is_number_integer()) return parse_offset(std::to_string(offset.get<std::int64_t>()));
  } catch (const UsageError &) {
    // Its text names the command line's option.
  }
  throw HttpError(400, kOffset, "bad_offset", "offset");
}

// The fault checked: "faults[1] (slow): ...".
void check_wanted(const FaultLine &f, std::size_t index) {
  const FaultRefusal refused = fault_refusal(f.name, f.value);
  const std::string at = "faults[" + std::to_string(index) + "]";
  if (!refused.code.empty()) throw HttpError(400, at + " (" + f.name + "): " + refused.why, refused.code, at);
}

// last=N: a whole number from 1 to `most`; `fallback` when absent.
std::size_t pages_wanted(const Request &r, std::size_t fallback, std::size_t most) {
  if (!r.has_query("last")) return fallback;
  const std::string given = r.query("last");
  std::size_t last = 0;
  const auto [end, error] = std::from_chars(given.data(), given.data() + given.size(), last);
  if (given.empty() || error != std::errc() || end != given.data() + given.size() || last == 0 || last > most)
    throw HttpError(400, "last: a number of pages from 1 to " + std::to_string(most) + " is due", "bad_last", "last");
  return last;
}

}  // namespace

nlohmann::json pages_with_text(const std::vector<ksim::Page> &pages) {
  nlohmann::json out = pages_json(pages);
  for (nlohmann::json &page : out) {
    std::string text;
    for (const auto &line : page["lines"]) text += line.get<std::string>() + '\n';
    page["text"] = text;
  }
  return out;
}

Response list_printers(Context &, const Request &, const std::vector<std::string> &) {
  nlohmann::json printers = nlohmann::json::array();
  for (const std::string &library : printer_libraries()) printers.push_back(printer_entry(library));
  return json_response(200, {{"data_folder", ksim::data_dir()}, {"printers", printers}});
}

Response printer_tape(Context &c, const Request &r, const std::vector<std::string> &parts) {
  const std::string library = library_of(parts.at(0));
  const std::size_t last = pages_wanted(r, c.limits.tape_default, c.limits.tape_most);
  // The lock waited for within the request's deadline, so that the reason a
  // held printer gives is the one answered.
  ksim::Printer &printer = ksim::Printer::of(library);
  const ksim::Inspection seen = printer.inspect(static_cast<int>(c.limits.printer_read.count() * 4 / 5));
  if (seen.kind == ksim::Inspection::Kind::busy) throw HttpError(503, library + ": " + seen.reason);
  if (!seen.session && seen.kind != ksim::Inspection::Kind::absent)
    throw HttpError(500, library + " cannot be read: " + seen.reason);
  const std::vector<ksim::Page> pages = seen.session ? printer.tape(last) : std::vector<ksim::Page>{};
  return json_response(200, {{"library", library}, {"pages", pages_with_text(pages)}});
}

Response printer_faults(Context &c, const Request &r, const std::vector<std::string> &parts) {
  const std::string library = library_of(parts.at(0));
  if (r.method == "PUT") {
    const nlohmann::json body = body_object(r);
    if (!body.contains("faults") || !body["faults"].is_array())
      throw HttpError(400,
                      "the body is {\"faults\": [\"paper_end\", \"once slow 500\", {\"name\": ..., \"value\": ..., "
                      "\"once\": ...}, ...]}",
                      "missing_argument", "faults");
    std::vector<FaultLine> wanted;
    for (const nlohmann::json &f : body["faults"]) {
      wanted.push_back(wanted_fault(f));
      check_wanted(wanted.back(), wanted.size() - 1);
    }
    on_call_thread(c, [&] {
      // One change: the printer's lock is held across it, so no call of
      // another program sees the faults half replaced.
      ksim::Printer &printer = ksim::Printer::of(library);
      const ksim::Session held = printer.begin("replace_faults", ksim::Call::inspect);
      printer.clear_faults();
      for (const FaultLine &f : wanted) printer.set_fault(f.name, f.value, f.once);
    });
  }
  return json_response(200, {{"library", library}, {"faults", fault_entries(library)}});
}

Response printer_clock(Context &c, const Request &r, const std::vector<std::string> &parts) {
  const std::string library = library_of(parts.at(0));
  std::optional<std::int64_t> seconds;
  if (r.method == "POST") {
    const nlohmann::json body = body_object(r);
    if (!body.contains("offset"))
      throw HttpError(400, "the body is {\"offset\": seconds or \"1d\", \"-2h\", ...}", "missing_argument", "offset");
    seconds = clock_seconds(body["offset"]);
  }
  nlohmann::json entry;
  std::string refusal;
  on_call_thread(c, [&] {
    const ClockReading reading = clock_of(library, seconds);
    entry = reading.entry;
    refusal = reading.look.refusal;
  });
  if (!refusal.empty()) throw HttpError(500, library + " cannot be read: " + refusal);
  if (entry.is_null()) return json_response(200, {{"library", library}, {"exists", false}});
  entry["library"] = library;
  return json_response(200, entry);
}

}  // namespace kt::serve
