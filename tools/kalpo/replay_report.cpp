#include "replay_report.h"

#include <algorithm>

#include "replay/makers.h"

namespace kt {
namespace {

using nlohmann::json;

std::string dump(const json &j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

// A step as one line of text in pieces, so that the differing piece can be
// found and marked: head(arg, arg) tail, or head arg arg tail.
struct Rendered {
  std::string head;
  std::vector<std::string> args;
  std::string tail;
  bool parenthesised = true;

  // The line; `starts` gets where each argument and the tail begin.
  std::string text(std::vector<std::size_t> *starts = nullptr) const {
    std::string out = head + (parenthesised ? "(" : args.empty() ? "" : " ");
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (i) out += parenthesised ? ", " : " ";
      if (starts) starts->push_back(out.size());
      out += args[i];
    }
    if (parenthesised) out += ")";
    if (starts) starts->push_back(out.size());
    return out + tail;
  }
};

std::string maker_arg(char kind, const json &a) {
  if (kind == 'v') return "&var";
  if (kind == 'b' || kind == 'p') return "buffer[" + (a.is_object() ? dump(a.value("size", json())) : "?") + "]";
  return dump(a);
}

const char *button_name(const json &button) {
  const int b = button.is_number_integer() ? button.get<int>() : 0;
  return b == 6 ? "Yes" : b == 7 ? "No" : b == 1 ? "OK" : "?";
}

Rendered render(const json &step, const char *none) {
  Rendered r;
  if (step.is_null()) {
    r.head = none;
    r.parenthesised = false;
  } else if (step.contains("vendor")) {
    r.head = step["vendor"].is_string() ? step["vendor"].get<std::string>() : dump(step["vendor"]);
    const std::string kinds = step.value("kinds", std::string());
    const json args = step.value("args", json::array());
    for (std::size_t i = 0; i < args.size(); ++i)
      r.args.push_back(maker_arg(i < kinds.size() ? kinds[i] : 't', args[i]));
    r.tail = " -> " + dump(step.value("return", json()));
  } else if (step.contains("platform")) {
    r.head =
        "workstation " + (step["platform"].is_string() ? step["platform"].get<std::string>() : dump(step["platform"]));
    for (const json &a : step.value("args", json::array())) r.args.push_back(dump(a));
    if (step.contains("return")) r.tail = " -> " + dump(step["return"]);
  } else {
    const json m = step.value("message", json::object());
    const int form = m.value("form", 0);
    std::string kind = std::string("[") + (form == 0 ? "notice" : form == 1 ? "dialog" : "box");
    if (m.contains("caption") && !m["caption"].is_null()) kind += " " + dump(m["caption"]);
    r.head = "message";
    r.parenthesised = false;
    r.args = {kind + " flags " + dump(m.value("flags", json())) + "]", dump(m.value("text", json()))};
    r.tail = std::string(" -> ") + button_name(m.value("button", json()));
  }
  return r;
}

// The piece of `made` that differs from `recorded`, and what it is.
std::ptrdiff_t differing_piece(const json &recorded, const json &made, const Rendered &r, const Rendered &m) {
  if (recorded.is_null() || made.is_null() || r.head != m.head || r.args.size() != m.args.size()) return -1;
  const json recorded_args = recorded.contains("message") ? json::array() : recorded.value("args", json::array());
  const json made_args = made.contains("message") ? json::array() : made.value("args", json::array());
  for (std::size_t i = 0; i < m.args.size(); ++i) {
    const bool raw_differs = i < recorded_args.size() && i < made_args.size() && recorded_args[i] != made_args[i];
    if (r.args[i] != m.args[i] || raw_differs) return static_cast<std::ptrdiff_t>(i);
  }
  return static_cast<std::ptrdiff_t>(m.args.size());
}

std::string piece_note(const json &recorded, const json &made, std::ptrdiff_t piece, std::size_t args) {
  if (made.is_null()) return "the recorded step was not made";
  if (recorded.is_null()) return "a step the trace does not have";
  if (piece < 0) return "another call";
  const json &step = made;
  if (static_cast<std::size_t>(piece) >= args) return step.contains("message") ? "the button" : "the answer";
  if (step.contains("message")) return piece == 0 ? "the kind of message" : "the text";
  std::string note = "argument " + std::to_string(piece + 1);
  if (step.contains("vendor") && step["vendor"].is_string())
    if (const kreplay::MakerFunction *f = kreplay::find_maker_function(step["vendor"].get<std::string>());
        f && static_cast<std::size_t>(piece) < f->params.size())
      note += " (" + f->params[static_cast<std::size_t>(piece)] + ")";
  return note;
}

std::string call_text(const json &record, const Export &e) {
  std::string out = e.name + "(";
  const json args = record.value("args", json::array());
  for (std::size_t i = 0; i < args.size(); ++i) out += (i ? ", " : "") + (args[i].is_null() ? "-" : dump(args[i]));
  return out + ")";
}

Divergence whole(const json &recorded, const json &made, std::string where) {
  Divergence d;
  d.where = std::move(where);
  d.recorded = recorded.is_null() ? "(none)" : dump(recorded);
  d.made = made.is_null() ? "(none)" : dump(made);
  d.mark_length = d.made.size();
  return d;
}

std::optional<Divergence> compare_steps(const json &recorded, const json &replayed) {
  const json none;
  const json r_steps = recorded.value("steps", json::array()), m_steps = replayed.value("steps", json::array());
  const std::size_t count = std::max(r_steps.size(), m_steps.size());
  for (std::size_t i = 0; i < count; ++i) {
    const json &r = i < r_steps.size() ? r_steps[i] : none;
    const json &m = i < m_steps.size() ? m_steps[i] : none;
    if (r == m) continue;
    const Rendered rr = render(r, "(no more recorded steps)");
    Rendered mr = render(m, "(nothing: KALPO went no further)");
    const std::ptrdiff_t piece = differing_piece(r, m, rr, mr);
    // What the replay answered to a call that was not the recorded one is
    // no answer of the trace's: it is not shown.
    if (piece < static_cast<std::ptrdiff_t>(mr.args.size()) && m.contains("vendor")) mr.tail.clear();
    Divergence d;
    d.where = "step " + std::to_string(i + 1) + " of " + std::to_string(r_steps.size());
    d.recorded = rr.text();
    std::vector<std::size_t> starts;
    d.made = mr.text(&starts);
    const std::size_t n = mr.args.size();
    if (piece < 0) {
      d.mark_length = mr.head.size();
    } else if (static_cast<std::size_t>(piece) < n) {
      d.mark_at = starts[static_cast<std::size_t>(piece)];
      d.mark_length = mr.args[static_cast<std::size_t>(piece)].size();
    } else {
      d.mark_at = starts[n];
      d.mark_length = d.made.size() - d.mark_at;
    }
    d.mark_length = std::max<std::size_t>(d.mark_length, 1);
    d.mark_note = piece_note(r, m, piece, mr.args.size());
    return d;
  }
  return std::nullopt;
}

std::optional<Divergence> compare_outs(const json &recorded, const json &replayed, const Export &e) {
  const json r_outs = recorded.value("out", json::object()), m_outs = replayed.value("out", json::object());
  for (std::size_t i = 0; i < e.params.size(); ++i) {
    const std::string key = std::to_string(i);
    const json r = r_outs.contains(key) ? r_outs[key] : json(), m = m_outs.contains(key) ? m_outs[key] : json();
    if (r != m) return whole(r, m, "out value " + e.params[i].name);
  }
  return std::nullopt;
}

}  // namespace

std::optional<Divergence> compare_records(const json &recorded, const json &replayed, int line, const Export &e) {
  std::optional<Divergence> d = compare_steps(recorded, replayed);
  const json r_result = recorded.value("result", json()), m_result = replayed.value("result", json());
  if (!d && r_result != m_result) d = whole(r_result, m_result, "the result");
  if (!d) d = compare_outs(recorded, replayed, e);
  if (d) {
    d->line = line;
    d->call = call_text(recorded, e);
  }
  return d;
}

std::string divergence_text(const Divergence &d) {
  std::string out = "line " + std::to_string(d.line) + ": " + d.call + "\n  differs at " + d.where + ":\n";
  out += "    recorded  " + d.recorded + "\n";
  out += "    made      " + d.made + "\n";
  if (d.mark_length) {
    out += std::string(14 + d.mark_at, ' ') + std::string(d.mark_length, '^');
    if (!d.mark_note.empty()) out += " " + d.mark_note;
    out += "\n";
  }
  return out;
}

json divergence_json(const Divergence &d) {
  return {{"line", d.line},         {"call", d.call}, {"where", d.where},
          {"recorded", d.recorded}, {"made", d.made}, {"differs", d.mark_note}};
}

}  // namespace kt
