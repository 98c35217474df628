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
bool is_number(Kind kind) { return kind == Kind::integer || kind == Kind::var_integer || kind == Kind::real; }
bool is_text(Kind kind) { return kind == Kind::text || kind == Kind::control; }

std::string where(const Export &e, std::size_t i) {
  return "argument " + std::to_string(i + 1) + " (" + e.params[i].name + ") of " + e.name;
}

// Texts reach the library in Windows-1252: one it cannot hold, or with a
// NUL that would cut it short, is refused before the call.
void check_text(const std::string &at, const std::string &text, bool model) {
  const std::size_t longest = model ? kLongestModel : kLongestText;
  if (text.size() > longest)
    throw HttpError(400, at + ": " + std::to_string(text.size()) + " bytes, more than the " + std::to_string(longest) +
                             " a " + (model ? "model identifier" : "text") + " may have");
  if (text.find('\0') != std::string::npos) throw HttpError(400, at + ": a text may not hold a NUL character");
  namespace cp = kalpo::base::cp1252;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    if (cp::byte_of(cp::decode_utf8(text.data(), text.size(), i)) < 0)
      throw HttpError(
          400, at + ": '" + text.substr(start, i - start) + "' has no Windows-1252 character, which the printer takes");
  }
}

Value argument(const Export &e, std::size_t i, const nlohmann::json &given) {
  const Kind kind = e.params[i].kind;
  const std::string at = where(e, i);
  if (given.is_null()) {
    if (!may_be_absent(kind)) throw HttpError(400, at + ": null given, a number is due");
    return Value::absent();
  }
  if (!is_in(kind))
    throw HttpError(400, at + " is " + (kind == Kind::unread ? "unread" : "written by the call") + ": give null");
  if (given.is_string()) {
    const std::string text = given.get<std::string>();
    if (!is_text(kind)) throw HttpError(400, at + ": a number is due, a text was given" + comma_hint(text));
    check_text(at, text, e.params[i].name == "modelo");
    return Value::of_text(text);
  }
  if (given.is_number()) {
    if (!is_number(kind)) throw HttpError(400, at + ": a text is due, a number was given");
    return Value::of_number(given.get<double>());
  }
  throw HttpError(400, at + ": " + given.type_name() + " given, a text, a number or null is due");
}

// "args" as a list in the export's order, or an object by argument name.
std::vector<Value> arguments(const Export &e, const nlohmann::json &given) {
  std::vector<Value> args;
  if (given.is_array()) {
    if (given.size() > e.params.size())
      throw HttpError(400, e.name + " takes " + std::to_string(e.params.size()) + " arguments, " +
                               std::to_string(given.size()) + " given");
    for (std::size_t i = 0; i < given.size(); ++i) args.push_back(argument(e, i, given[i]));
    return args;
  }
  if (!given.is_object() && !given.is_null()) throw HttpError(400, "\"args\" is to be a list or an object");
  args.resize(e.params.size());
  const nlohmann::json fields = given.is_null() ? nlohmann::json::object() : given;
  for (const auto &[name, value] : fields.items()) {
    std::size_t i = 0;
    while (i < e.params.size() && e.params[i].name != name) ++i;
    if (i == e.params.size()) throw HttpError(400, e.name + " has no argument '" + name + "'");
    args[i] = argument(e, i, value);
  }
  for (std::size_t i = 0; i < e.params.size(); ++i)
    if (!may_be_absent(e.params[i].kind) && args[i].type == Value::Type::absent)
      throw HttpError(400, where(e, i) + " is missing (" + kind_name(e.params[i].kind) + ")");
  return args;
}

Answer confirmation(const nlohmann::json &body) {
  if (!body.contains("confirm")) return Answer::no;
  const nlohmann::json &confirm = body["confirm"];
  if (confirm == "yes") return Answer::yes;
  if (confirm == "no") return Answer::no;
  throw HttpError(400, "\"confirm\" is \"yes\" or \"no\"");
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
      throw HttpError(422, "the Idempotency-Key '" + key + "' came before with another request");
    case KeyStore::Claim::Kind::busy:
      throw HttpError(409, "the first request with the Idempotency-Key '" + key + "' is still running: try again");
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
  if (!e) throw HttpError(404, "unknown export '" + parts[0] + "' (GET /v1/exports lists them)");
  record.export_name = e->name;
  if (!e->callable()) throw HttpError(400, e->name + " is not called through the service: it keeps its own handler");
  const nlohmann::json body = body_object(r);
  for (const auto &[key, value] : body.items())
    if (key != "args" && key != "confirm") throw HttpError(400, "unknown key \"" + key + "\" (args, confirm)");
  std::vector<Value> args = arguments(*e, body.contains("args") ? body["args"] : nlohmann::json());
  try {
    args = check_args(*e, std::move(args));
  } catch (const UsageError &error) {
    // Its text speaks of the command line's '-' where JSON gives null.
    std::string why = error.what();
    for (std::size_t at = why.find("'-'"); at != std::string::npos; at = why.find("'-'", at))
      why.replace(at, 3, "null");
    throw HttpError(400, why);
  }
  const Answer answer = confirmation(body);
  std::optional<KeyClaim> claimed;
  if (r.has_header("Idempotency-Key")) {
    const std::string key = r.header("Idempotency-Key");
    if (const std::string why = KeyStore::invalid(key); !why.empty()) throw HttpError(400, why);
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
  in_turn(c, [&] {
    install_operator({answer, false, false});
    c.pages.around(printed_on(*e, args), [&] {
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
