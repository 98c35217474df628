// GET /v1/openapi.json: the service described in OpenAPI 3.1, built from
// the export table that /v1/exports and `kalpo call` use, so that the
// description cannot drift from what the service takes and answers.
#include "base/message_codes.h"
#include "exports.h"
#include "serve/service.h"

namespace kt::serve {
namespace {

using nlohmann::json;

json ref(const std::string &name) { return {{"$ref", "#/components/" + name}}; }

// Whether the call reads the argument, writes it, both, or neither.
const char *direction(Kind kind) {
  switch (kind) {
    case Kind::var_integer:
    case Kind::control: return "read and written";
    case Kind::out_text:
    case Kind::answer: return "written";
    case Kind::unread: return "unread";
    default: return "read";
  }
}

// What the argument takes in "args": null for what the call writes or never reads.
json argument_schema(const Param &p) {
  json schema;
  switch (p.kind) {
    case Kind::integer:
    case Kind::var_integer:
      schema = {{"type", "integer"}, {"minimum", -2147483648LL}, {"maximum", 2147483647LL}};
      break;
    case Kind::real: schema = {{"type", "number"}}; break;
    case Kind::text:
    case Kind::control: schema = {{"type", "string"}, {"maxLength", 65536}}; break;
    default: schema = {{"type", "null"}}; break;
  }
  if (p.kind != Kind::integer && p.kind != Kind::real && schema["type"] != "null")
    schema["type"] = json::array({schema["type"], "null"});
  schema["description"] = std::string(kind_name(p.kind)) + ", " + direction(p.kind) + " by the call";
  schema["x-kalpo-kind"] = kind_name(p.kind);
  schema["x-kalpo-direction"] = direction(p.kind);
  return schema;
}

json out_schema(const Param &p) {
  const bool number = p.kind == Kind::var_integer;
  return {{"type", json::array({number ? "integer" : "string", "null"})},
          {"description", std::string(kind_name(p.kind)) + " handed back by the call"}};
}

json error_answer(const std::string &why) {
  return {{"description", why}, {"content", {{"application/json", {{"schema", ref("schemas/Error")}}}}}};
}

json json_answer(const std::string &why, const json &schema) {
  return {{"description", why}, {"content", {{"application/json", {{"schema", schema}}}}}};
}

// The refusals every endpoint under /v1/ may answer.
json with_refusals(json responses) {
  responses["401"] = ref("responses/Unauthorized");
  responses["403"] = ref("responses/Forbidden");
  return responses;
}

json call_operation(const Export &e) {
  json properties = json::object();
  json required = json::array();
  json outs = json::object();
  for (const Param &p : e.params) {
    properties[p.name] = argument_schema(p);
    if (is_required(p.kind)) required.push_back(p.name);
    if (is_out(p.kind)) outs[p.name] = out_schema(p);
  }
  json args = {{"type", "object"}, {"properties", properties}, {"additionalProperties", false}};
  if (!required.empty()) args["required"] = required;
  json body = {{"type", "object"},
               {"properties",
                {{"args", args},
                 {"confirm",
                  {{"enum", {"yes", "no"}},
                   {"description", "the operator's answer to a confirmation the call asks (default no)"}}}}},
               {"additionalProperties", false}};
  if (!required.empty()) body["required"] = {"args"};

  json answer = ref("schemas/CallAnswer");
  answer = {{"allOf", json::array({answer,
                                   {{"type", "object"},
                                    {"properties", {{"out", {{"type", "object"}, {"properties", outs}}}}}}})}};
  json responses = with_refusals({{"200", json_answer("the call made: its result, out values and messages", answer)},
                                  {"400", ref("responses/BadRequest")},
                                  {"413", ref("responses/TooLarge")},
                                  {"409", ref("responses/KeyBusy")},
                                  {"422", ref("responses/KeyReused")},
                                  {"503", ref("responses/Busy")}});
  return {{"operationId", e.name},
          {"summary", "Calls " + e.name},
          {"description", e.name + " with its arguments by name; its result is " + result_name(e.result) + ". " +
                              (e.changes_printer ? "It changes the printer: send an Idempotency-Key, so that a retry "
                                                   "never makes the call twice."
                                                 : "A query: it changes nothing, and a retry needs no key.")},
          {"tags", {"exports"}},
          {"x-kalpo-result", result_name(e.result)},
          {"x-kalpo-changes-printer", e.changes_printer},
          {"parameters", {ref("parameters/IdempotencyKey")}},
          {"requestBody", {{"required", true}, {"content", {{"application/json", {{"schema", body}}}}}}},
          {"responses", responses}};
}

json get_operation(const std::string &id, const std::string &summary, json answer, const std::string &tag) {
  return {{"operationId", id},
          {"summary", summary},
          {"tags", {tag}},
          {"responses", with_refusals({{"200", std::move(answer)}})}};
}

json schemas() {
  json codes = json::array();
  std::string meanings = "What an operator message reports, one list for all makers:";
  for (const auto &c : kalpo::base::message_codes()) {
    codes.push_back(c.name);
    meanings += "\n- `" + std::string(c.name) + "`: " + std::string(c.meaning);
  }
  const json text = {{"type", "string"}};
  const json nullable_text = {{"type", json::array({"string", "null"})}};
  return {
      {"Error",
       {{"type", "object"},
        {"required", {"error", "status", "code"}},
        {"properties",
         {{"error", {{"type", "string"}, {"description", "what is wrong, for a person"}}},
          {"status", {{"type", "integer"}}},
          {"code",
           {{"type", "string"},
            {"description",
             "what is wrong, for a program: the status's own (bad_request, unauthorized, forbidden, not_found, "
             "method_not_allowed, key_running, too_large, key_reused, internal, unavailable) or one more precise "
             "(not_json, not_an_object, duplicate_key, unknown_key, unknown_argument, missing_argument, "
             "too_many_arguments, null_not_allowed, wrong_kind, not_an_input, not_windows_1252, nul_in_text, "
             "bad_confirm, bad_idempotency_key, unknown_export, not_callable, unknown_printer, unknown_fault, "
             "bad_fault_value, bad_offset, bad_last, bad_last_event_id)"}}},
          {"argument",
           {{"type", "string"}, {"description", "the argument, field, header or parameter the refusal concerns"}}}}}}},
      {"MessageCode", {{"type", "string"}, {"enum", codes}, {"description", meanings}}},
      {"Message",
       {{"type", "object"},
        {"required", {"form", "text", "code", "answer"}},
        {"properties",
         {{"form", text},
          {"caption", nullable_text},
          {"text", {{"type", "string"}, {"description", "as the operator sees it, in Portuguese"}}},
          {"code", ref("schemas/MessageCode")},
          {"answer", text}}}}},
      {"CallAnswer",
       {{"type", "object"},
        {"required", {"result", "out", "messages", "warnings", "ms", "queue_ms"}},
        {"properties",
         {{"result",
           {{"type", json::array({"integer", "null"})}, {"description", "the export's result; null when it has none"}}},
          {"ok", {{"type", "boolean"}, {"description", "for exports whose result is a flag: whether it is 1"}}},
          {"out", {{"type", "object"}}},
          {"messages", {{"type", "array"}, {"items", ref("schemas/Message")}}},
          {"warnings",
           {{"type", "array"},
            {"items", text},
            {"description",
             "what the call was given that KALPO answers as unknown (a model, with the closest), and "
             "the printer's state as codes: printer_not_answering, paper_out, paper_low, "
             "reduction_due"}}},
          {"ms", {{"type", "number"}, {"description", "the call's own time in milliseconds"}}},
          {"queue_ms", {{"type", "number"}, {"description", "the time it waited for its turn, in milliseconds"}}},
          {"replayed",
           {{"type", "boolean"}, {"description", "true when the answer is the one kept for its Idempotency-Key"}}}}}}},
      {"PrinterState",
       {{"type", "object"},
        {"required", {"model", "library", "status", "answering", "paper"}},
        {"properties",
         {{"model", text},
          {"library", text},
          {"status",
           {{"enum", {"ok", "degraded", "down", "unknown"}},
            {"description",
             "down: it does not answer; degraded: paper out or low, or a Z reduction due; unknown "
             "before its first answer"}}},
          {"answering", {{"type", json::array({"boolean", "null"})}}},
          {"since", {{"type", json::array({"number", "null"})}, {"description", "Unix seconds: since when answering"}}},
          {"last_answer", {{"type", json::array({"number", "null"})}, {"description", "Unix seconds"}}},
          {"paper", {{"enum", {"ok", "low", "out", "unknown"}}}},
          {"coupon_open", {{"type", json::array({"boolean", "null"})}}},
          {"z_pending", {{"type", json::array({"boolean", "null"})}}},
          {"last_failure", {{"type", json::array({"string", "null"})}, {"description", "the last failed call's code"}}},
          {"last_failure_at", {{"type", json::array({"number", "null"})}}},
          {"query",
           {{"type", json::array({"string", "null"})},
            {"description", "the status query the watch asks; null: the printer is seen through its calls alone"}}},
          {"file",
           {{"type", json::array({"string", "null"})},
            {"description", "the maker library's file that answers; null until one is loaded"}}},
          {"virtual",
           {{"type", json::array({"boolean", "null"})},
            {"description", "true: the virtual printer answers, not a fiscal printer; null until loaded"}}}}}}},
      {"Health",
       {{"type", "object"},
        {"required", {"status", "printers"}},
        {"properties",
         {{"status", {{"const", "ok"}}},
          {"watch_interval_s", {{"type", "number"}}},
          {"printers", {{"type", "object"}, {"additionalProperties", ref("schemas/PrinterState")}}}}}}},
      {"Version",
       {{"type", "object"},
        {"required", {"kalpo", "api", "platform"}},
        {"properties", {{"kalpo", text}, {"versao", text}, {"api", text}, {"platform", text}}}}},
  };
}

json responses() {
  json busy = error_answer("64 calls are waiting, or the service is stopping: try again after Retry-After seconds");
  busy["headers"] = {{"Retry-After", {{"schema", {{"type", "integer"}}}, {"description", "seconds"}}}};
  json key_busy = error_answer("the first request with the Idempotency-Key is still running: try again");
  key_busy["headers"] = busy["headers"];
  json unauthorized = error_answer("the token is missing or wrong");
  unauthorized["headers"] = {{"WWW-Authenticate", {{"schema", {{"type", "string"}}}}}};
  return {{"BadRequest", error_answer("the request is malformed: the message names what")},
          {"Unauthorized", unauthorized},
          {"Forbidden", error_answer("the Host or Origin header is not one the service answers")},
          {"NotFound", error_answer("no such export, printer or path")},
          {"TooLarge", error_answer("the body is over 64 KiB")},
          {"KeyReused", error_answer("the Idempotency-Key was used before with another body")},
          {"KeyBusy", key_busy},
          {"Busy", busy}};
}

json document() {
  json paths = json::object();
  json not_callable = json::array();
  for (const Export &e : exports()) {
    if (e.callable())
      paths["/v1/call/" + e.name] = {{"post", call_operation(e)}};
    else
      not_callable.push_back(e.name);
  }
  const json any = {{"type", "object"}};
  const json list = {{"type", "array"}, {"items", any}};
  paths["/v1/exports"] = {{"get", get_operation("listExports", "The exports with their arguments' kinds",
                                                json_answer("the export table", list), "exports")}};
  paths["/v1/version"] = {{"get", get_operation("getVersion", "KALPO's version, the API's version and the platform",
                                                json_answer("the versions", ref("schemas/Version")), "service")}};
  paths["/v1/openapi.json"] = {
      {"get", get_operation("getOpenApi", "This document", json_answer("the OpenAPI document", any), "service")}};
  paths["/v1/printers"] = {{"get", get_operation("listPrinters", "The virtual printers with their state and faults",
                                                 json_answer("the printers", list), "printers")}};
  const json library = {{"name", "library"},
                        {"in", "path"},
                        {"required", true},
                        {"schema", {{"type", "string"}}},
                        {"description", "a maker library's name or a model"}};
  json tape =
      get_operation("getTape", "The pages a virtual printer printed", json_answer("the pages", any), "printers");
  tape["parameters"] = {library,
                        {{"name", "last"}, {"in", "query"}, {"schema", {{"type", "integer"}, {"minimum", 0}}}}};
  tape["responses"]["404"] = ref("responses/NotFound");
  paths["/v1/printers/{library}/tape"] = {{"get", tape}};
  for (const char *what : {"faults", "clock"}) {
    const std::string name = what == std::string("faults") ? "Faults" : "Clock";
    json get = get_operation("get" + name, "A virtual printer's " + std::string(what),
                             json_answer("the printer's " + std::string(what), any), "printers");
    json set = get_operation((what == std::string("faults") ? "put" : "set") + name,
                             "Changes a virtual printer's " + std::string(what),
                             json_answer("the printer's " + std::string(what), any), "printers");
    set["requestBody"] = {{"required", true}, {"content", {{"application/json", {{"schema", any}}}}}};
    for (json *op : {&get, &set}) {
      (*op)["parameters"] = {library};
      (*op)["responses"]["404"] = ref("responses/NotFound");
      (*op)["responses"]["400"] = ref("responses/BadRequest");
    }
    paths["/v1/printers/{library}/" + std::string(what)] = {{"get", get},
                                                            {what == std::string("faults") ? "put" : "post", set}};
  }
  json events =
      get_operation("events", "The event stream",
                    {{"description",
                      "server-sent events, each with an id: `call` (export, args, result, out, messages, warnings, "
                      "ms, queue_ms), `page` (library, coo, title, text, lines), `status` (a printer's state changed: "
                      "PrinterState), `reset` (the backlog no longer holds what came after Last-Event-ID) and "
                      "`lagged` (the client fell behind and is dropped)"},
                     {"content", {{"text/event-stream", {{"schema", {{"type", "string"}}}}}}}},
                    "events");
  events["x-kalpo-events"] = {"call", "page", "status", "reset", "lagged"};
  events["parameters"] = {
      {{"name", "ticket"},
       {"in", "query"},
       {"schema", {{"type", "string"}}},
       {"description",
        "a ticket from POST /v1/events/ticket, for EventSource, instead of the token: it opens the stream as often as "
        "asked until it lapses (12 hours), after a restart of the service too, unless the token changed"}},
      {{"name", "last_event_id"},
       {"in", "query"},
       {"schema", {{"type", "string"}}},
       {"description", "as Last-Event-ID, for a new EventSource; the header wins when both are given"}},
      {{"name", "Last-Event-ID"},
       {"in", "header"},
       {"schema", {{"type", "string"}}},
       {"description", "the last event's id: the stream resumes after it"}}};
  events["security"] = json::array({{{"token", json::array()}}, json::object()});
  paths["/v1/events"] = {{"get", events}};
  json ticket = get_operation("eventTicket", "A ticket that opens the event stream, and reopens it, for 12 hours",
                              json_answer("the ticket", any), "events");
  paths["/v1/events/ticket"] = {{"post", ticket}};
  json health = get_operation("getHealth",
                              "Whether the service answers, and each printer's state by model, from its own "
                              "answers (the printer watch)",
                              json_answer("the service answers", ref("schemas/Health")), "service");
  health["security"] = json::array({json::object(), {{"token", json::array()}}});
  health["description"] = "May be asked without the token: the service listens on the loopback address alone.";
  paths["/v1/health"] = {{"get", health}};
  paths["/metrics"] = {{"get", get_operation("getMetrics", "Counters and gauges in the Prometheus text format",
                                             {{"description",
                                               "calls by export, model and result, failures and operator messages by "
                                               "code, call durations, the queue, and each printer's state"},
                                              {"content", {{"text/plain", {{"schema", {{"type", "string"}}}}}}}},
                                             "service")}};

  return {{"openapi", "3.1.0"},
          {"info",
           {{"title", "kalpo serve"},
            {"version", kApiVersion},
            {"summary", "KALPO's exports and the virtual printers over HTTP on loopback"},
            {"description",
             "Every export of KALPO is POST /v1/call/<Export>, with its arguments by name.  Calls run one at a time, "
             "in the order they come.  Every request carries the token: Authorization: Bearer <token>."},
            {"license", {{"name", "Proprietary: see the LICENSE file"}, {"identifier", "LicenseRef-KALPO"}}}}},
          {"servers",
           {{{"url", "http://127.0.0.1:{port}"},
             {"description", "the service on this workstation"},
             {"variables", {{"port", {{"default", "8123"}}}}}}}},
          {"security", {{{"token", json::array()}}}},
          {"tags",
           {{{"name", "exports"}, {"description", "KALPO's exports"}},
            {{"name", "printers"}, {"description", "the virtual printers"}},
            {{"name", "events"}, {"description", "what happens, as it happens"}},
            {{"name", "service"}, {"description", "the service itself"}}}},
          {"paths", paths},
          {"x-kalpo-not-callable", not_callable},
          {"components",
           {{"securitySchemes",
             {{"token",
               {{"type", "http"},
                {"scheme", "bearer"},
                {"description", "the service's token: KALPO_SERVE_TOKEN or the token file"}}}}},
            {"parameters",
             {{"IdempotencyKey",
               {{"name", "Idempotency-Key"},
                {"in", "header"},
                {"required", false},
                {"schema", {{"type", "string"}, {"minLength", 1}, {"maxLength", 128}}},
                {"description",
                 "a retry with the same key and body gets the first answer again without a "
                 "second call; the same key with another body gets 422"}}}}},
            {"schemas", schemas()},
            {"responses", responses()}}}};
}

}  // namespace

Response openapi_document(Context &, const Request &, const std::vector<std::string> &) {
  static const json kDocument = document();
  return json_response(200, kDocument);
}

}  // namespace kt::serve
