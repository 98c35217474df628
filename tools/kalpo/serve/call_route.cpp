// GET /v1/exports and POST /v1/call/<Export>: the tool's table of exports
// over JSON, calls made one at a time.
#include <chrono>
#include <optional>

#include "base/cp1252.h"
#include "models.h"
#include "operator.h"
#include "runner.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

bool is_in(Kind kind) { return kind != Kind::out_text && kind != Kind::answer && kind != Kind::unread; }

std::string where(const Export &e, std::size_t i) {
  return "argument " + std::to_string(i + 1) + " (" + e.params[i].name + ") of " + e.name;
}

// One argument as JSON gives it: null, a text or a number; its kind is
// checked with the others by check_args, a text's characters by check_text.
Value argument(const Export &e, std::size_t i, const nlohmann::json &given) {
  if (given.is_null()) return Value::absent();
  if (given.is_number()) return Value::of_number(given.get<double>());
  const std::string &name = e.params[i].name;
  if (!given.is_string())
    throw HttpError(400, where(e, i) + ": " + given.type_name() + " given, a text, a number or null is due",
                    "wrong_kind", name);
  const std::string text = given.get<std::string>();
  check_text(e, i, text);
  return Value::of_text(text);
}

// "args" as a list in the export's order, or an object by argument name,
// which names every argument the export requires (null for none).
std::vector<Value> arguments(const Export &e, const nlohmann::json &given) {
  std::vector<Value> args;
  if (given.is_array()) {
    for (std::size_t i = 0; i < given.size(); ++i)
      args.push_back(i < e.params.size() ? argument(e, i, given[i]) : Value::absent());  // too many: check_args
    return check_args(e, std::move(args));
  }
  if (!given.is_object() && !given.is_null())
    throw HttpError(400, "\"args\" is to be a list or an object", "wrong_kind", "args");
  args.resize(e.params.size());
  std::vector<bool> named(e.params.size());
  const nlohmann::json fields = given.is_null() ? nlohmann::json::object() : given;
  for (const auto &[name, value] : fields.items()) {
    std::size_t i = 0;
    while (i < e.params.size() && e.params[i].name != name) ++i;
    if (i == e.params.size())
      throw HttpError(400, e.name + " has no argument '" + name + "'", "unknown_argument", name);
    args[i] = argument(e, i, value);
    named[i] = true;
  }
  for (std::size_t i = 0; i < e.params.size(); ++i)
    if (is_required(e.params[i].kind) && !named[i])
      throw HttpError(400, where(e, i) + " is missing (" + kind_name(e.params[i].kind) + "; null for none)",
                      "missing_argument", e.params[i].name);
  return check_args(e, std::move(args));
}

Answer confirmation(const nlohmann::json &body) {
  if (!body.contains("confirm")) return Answer::no;
  const nlohmann::json &confirm = body["confirm"];
  if (confirm == "yes") return Answer::yes;
  if (confirm == "no") return Answer::no;
  throw HttpError(400, "\"confirm\" is \"yes\" or \"no\"", "bad_confirm", "confirm");
}

// The printers whose paper the call may print on: its model's.
std::vector<std::string> printed_on(const Export &e, const std::vector<Value> &args) {
  for (std::size_t i = 0; i < e.params.size() && i < args.size(); ++i)
    if (e.params[i].name == "modelo" && args[i].type == Value::Type::text)
      if (const Model *model = find_model(args[i].text)) return {model->library};
  return {};
}

nlohmann::json messages(const nlohmann::json &shown) {
  nlohmann::json out = nlohmann::json::array();
  for (const auto &m : shown)
    out.push_back({{"form", m["form"]},
                   {"caption", m["caption"]},
                   {"text", m["text"]},
                   {"code", m["code"]},
                   {"answer", m["button"]}});
  return out;
}

// Whole numbers of the integer kinds as JSON integers, not as the double
// the tool's values hold.
nlohmann::json typed(const nlohmann::json &value, Kind kind) {
  if ((kind == Kind::integer || kind == Kind::var_integer) && value.is_number())
    return static_cast<std::int64_t>(value.get<double>());
  return value;
}

double milliseconds(std::chrono::steady_clock::duration d) {
  const double ms = std::chrono::duration<double, std::milli>(d).count();
  return static_cast<double>(static_cast<long long>(ms * 1000)) / 1000;
}

// The claim on a request's Idempotency-Key, given up unless the call's
// answer is kept.
class KeyClaim {
 public:
  KeyClaim(KeyStore &keys, std::string key) : keys_(keys), key_(std::move(key)) {}
  KeyClaim(const KeyClaim &) = delete;
  KeyClaim &operator=(const KeyClaim &) = delete;
  ~KeyClaim() {
    if (!kept_) keys_.abandon(key_);
  }
  void keep(const nlohmann::json &answer) {
    keys_.finish(key_, answer.dump());
    kept_ = true;
  }

 private:
  KeyStore &keys_;
  std::string key_;
  bool kept_ = false;
};

// The answer kept for the request's key, when it has one; otherwise the
// key is claimed for this request.
std::optional<Response> kept_answer(KeyStore &keys, const std::string &key, const std::string &fingerprint) {
  const KeyStore::Claim claim = keys.claim(key, fingerprint);
  switch (claim.kind) {
    case KeyStore::Claim::Kind::mine: return std::nullopt;
    case KeyStore::Claim::Kind::reused:
      throw HttpError(422, "the Idempotency-Key '" + key + "' came before with another request", "key_reused",
                      "Idempotency-Key");
    case KeyStore::Claim::Kind::busy:
      throw HttpError(409, "the first request with the Idempotency-Key '" + key + "' is still running: try again",
                      "key_running", "Idempotency-Key");
    case KeyStore::Claim::Kind::replay: break;
  }
  nlohmann::json answer;
  if (json_over_bounds(claim.answer, kJsonDepth, kJsonValues).empty())
    answer = nlohmann::json::parse(claim.answer, nullptr, false);
  if (!answer.is_object()) throw HttpError(500, "the answer kept for the Idempotency-Key is unreadable");
  answer["replayed"] = true;
  return json_response(200, answer);
}

// The model a call names, as a label: "unknown" for one KALPO does not know,
// so that the labels stay few whatever clients send.
std::string model_label(const Export &e, const std::vector<Value> &args) {
  for (std::size_t i = 0; i < e.params.size() && i < args.size(); ++i)
    if (e.params[i].name == "modelo")
      return args[i].type == Value::Type::text && find_model(args[i].text) ? args[i].text : "unknown";
  return {};
}

}  // namespace

Response list_exports(Context &, const Request &, const std::vector<std::string> &) {
  nlohmann::json out = nlohmann::json::array();
  for (const Export &e : exports()) {
    nlohmann::json params = nlohmann::json::array();
    for (const Param &p : e.params)
      params.push_back({{"name", p.name}, {"kind", kind_name(p.kind)}, {"in", is_in(p.kind)}, {"out", is_out(p.kind)}});
    out.push_back({{"name", e.name},
                   {"params", params},
                   {"result", result_name(e.result)},
                   {"callable", e.callable()},
                   {"changes_printer", e.changes_printer}});
  }
  return json_response(200, out);
}

namespace {

// The call, with what the log line and the counters tell of it in `record`.
Response make_call(Context &c, const Request &r, const std::vector<std::string> &parts, CallRecord &record) {
  const Export *e = find_export(parts.at(0));
  if (!e) throw HttpError(404, "unknown export '" + parts[0] + "' (GET /v1/exports lists them)", "unknown_export");
  record.export_name = e->name;
  if (!e->callable())
    throw HttpError(400, e->name + " is not called through the service: it keeps its own handler", "not_callable");
  const nlohmann::json body = body_object(r);
  for (const auto &[key, value] : body.items())
    if (key != "args" && key != "confirm")
      throw HttpError(400, "unknown key \"" + key + "\" (args, confirm)", "unknown_key", key);
  const std::vector<Value> args = arguments(*e, body.contains("args") ? body["args"] : nlohmann::json());
  const Answer answer = confirmation(body);
  std::optional<KeyClaim> claimed;
  if (r.has_header("Idempotency-Key")) {
    const std::string key = r.header("Idempotency-Key");
    if (const std::string why = KeyStore::invalid(key); !why.empty())
      throw HttpError(400, why, "bad_idempotency_key", "Idempotency-Key");
    record.key = key;
    if (std::optional<Response> kept = kept_answer(c.keys, key, request_fingerprint(e->name, body.dump()))) {
      record.replayed = true;
      return *kept;
    }
    claimed.emplace(c.keys, key);
  }

  record.model = model_label(*e, args);
  nlohmann::json warnings = nlohmann::json::array();
  for (const auto &[given, warning] : model_warnings(*e, args)) warnings.push_back(warning);

  // The answer, and the `call` event: the answer with the export and its arguments.
  nlohmann::json out;
  const auto queued = r.arrived;
  on_call_thread(c, [&] {
    install_operator({answer, false, false});
    c.pages.call_then_publish(printed_on(*e, args), [&] {
      const auto started = std::chrono::steady_clock::now();
      const nlohmann::json step = call_export(*e, args, true);
      const double ms = milliseconds(std::chrono::steady_clock::now() - started);
      nlohmann::json outs = nlohmann::json::object();
      nlohmann::json given = nlohmann::json::array();
      for (std::size_t i = 0; i < e->params.size(); ++i) {
        const Param &p = e->params[i];
        if (step["out"].contains(p.name)) outs[p.name] = typed(step["out"][p.name], p.kind);
        given.push_back(typed(step["args"].at(i), p.kind));
      }
      // What the answer tells of the printer, and the warnings its state gives.
      Observation seen{e, e->result != ResultKind::flag || step["result"] != 0, {}, outs};
      for (const auto &m : step["messages"]) seen.codes.push_back(m["code"]);
      c.printers.answered(record.model, seen);
      for (const std::string &code : c.printers.warnings(record.model)) warnings.push_back(code);
      out = {{"result", step["result"]}, {"out", outs}, {"messages", messages(step["messages"])},
             {"warnings", warnings},     {"ms", ms},    {"queue_ms", milliseconds(started - queued)}};
      if (e->result == ResultKind::flag) out["ok"] = step["result"] != 0;
      record.result = e->result != ResultKind::flag ? "done" : step["result"] != 0 ? "ok" : "failed";
      for (const auto &m : out["messages"]) record.codes.push_back(m["code"]);
      record.ms = ms;
      record.queue_ms = out["queue_ms"];
      nlohmann::json event = out;
      event["export"] = e->name;
      event["args"] = given;
      c.hub.publish("call", event);
    });
  });
  if (claimed) claimed->keep(out);
  return json_response(200, out);
}

}  // namespace

Response call_export_route(Context &c, const Request &r, const std::vector<std::string> &parts) {
  CallRecord record;
  record.request_id = r.id;
  try {
    Response response = make_call(c, r, parts, record);
    record.status = response.status;
    record_call(c, record);
    return response;
  } catch (const HttpError &e) {
    record.status = e.status;
    record_call(c, record);
    throw;
  } catch (const UsageError &) {
    record.status = 400;
    record_call(c, record);
    throw;
  } catch (...) {
    record_call(c, record);
    throw;
  }
}

}  // namespace kt::serve
