// replay: a call trace replayed through libkalpo's exports with every maker
// library answering from the trace.  The trace is checked whole first; then a
// child process in a temporary folder, whose libkalpo is bound to the replay
// maker libraries, makes the recorded export calls in order, each with the
// recorded readings of the workstation and the operator's recorded buttons,
// and traces them itself.  Each replayed call is printed as `kalpo run`
// prints a call (unless quiet) and compared with its record: the maker calls
// made and their arguments, the messages, the result and the out values.
// The first difference stops the replay (exit status 1).
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>

#include "base/answer_lines.h"
#include "commands.h"
#include "core/safe_file.h"
#include "host.h"
#include "operator.h"
#include "output.h"
#include "replay/cp1252.h"
#include "replay/field_file.h"
#include "replay/trace_reader.h"
#include "replay_host.h"
#include "replay_report.h"
#include "runner.h"
#include "script.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace kt {
namespace {

struct Replayable {
  const Export *target = nullptr;  // null: a call the tool does not make (the handler's registration)
  ScriptLine call;
  std::vector<kreplay::MakerCall> makers;  // its maker calls, for the replay libraries to answer
};

// A record checked as a call the replay can make.
Replayable replayable(const json &record, int number) {
  Replayable r;
  r.makers = kreplay::check_record(record, number);
  const std::string name = record["export"].get<std::string>();
  const Export *e = find_export(name);
  if (!e || e->name != name) throw kreplay::TraceError(number, "unknown export \"" + name + "\"");
  if (!e->callable()) return r;
  r.target = e;
  try {
    r.call = trace_line(record, number);
  } catch (const std::exception &err) {
    throw kreplay::TraceError(number, name + ": " + err.what());
  }
  return r;
}

// Every line of the trace from `first` to `last`, in order, each parsed once:
// each header's line number to `header`, each record to `record`; a trace
// error names the line.
template <typename Header, typename Record>
void read_trace(const std::string &file, Header header, Record record, int first = 1,
                int last = std::numeric_limits<int>::max()) {
  kreplay::FieldFile source(file);
  std::istream in(&source);
  kreplay::LineReader lines(in);
  bool headed = false;
  for (std::string text; lines.next(text);) {
    const int number = lines.number();
    if (number < first) continue;
    if (number > last) break;
    const kreplay::Line line = kreplay::parse_line(text, number);
    if (line.kind == kreplay::LineKind::blank) continue;
    if (line.kind == kreplay::LineKind::header) {
      kreplay::check_header(line.json, number);
      headed = true;
      header(number);
      continue;
    }
    if (!headed)
      throw kreplay::TraceError(number,
                                "the trace has no header line: it was written by an older KALPO, whose traces lack "
                                "what a replay needs (kalpo trace shows it; kalpo replay --against-printer runs it)");
    record(line.json, number);
  }
}

// The lines of one recorded process: a header and the records after it.
struct Part {
  int first = 0, last = 0;
  std::size_t calls = 0;
};

// A recorded text in Windows-1252, as libkalpo reads it.
std::string cp1252_text(const json &text) {
  return kreplay::cp1252_of(text.is_string() ? text.get<std::string>() : std::string()).value_or("");
}

// The recorded readings of the workstation, in the answers file's format
// (base/answer_lines.h).
std::string answer_line(const json &step) {
  kalpo::base::AnswerLine line{step["platform"].get<std::string>(), {}};
  const json &answer = step.contains("return") ? step["return"] : json();
  if (line.kind == "clock") {
    const std::string t = answer.get<std::string>();
    for (const auto &[at, length] : {std::pair{0, 4}, {5, 2}, {8, 2}, {11, 2}, {14, 2}, {17, 2}})
      line.fields.push_back(t.substr(at, length));
  } else if (line.kind == "regional") {
    for (const char *field : {"decimal", "thousands", "short_date"}) line.fields.push_back(cp1252_text(answer[field]));
  } else if (answer.is_boolean()) {
    line.fields.push_back(answer.get<bool>() ? "1" : "0");
  } else if (answer.is_number()) {
    line.fields.push_back(answer.dump());
  } else if (answer.is_string()) {
    line.fields.push_back(cp1252_text(answer));
  }
  return kalpo::base::answer_line(line);
}

void write_answers(const std::string &path, const json &record) {
  std::string all;
  for (const json &step : record["steps"])
    if (step.contains("platform")) all += answer_line(step);
  if (!ksim::write_caller_file(path, all)) throw std::runtime_error("replay: cannot write " + ksim::last_file_error());
}

std::vector<std::int32_t> recorded_buttons(const json &record) {
  std::vector<std::int32_t> buttons;
  for (const json &step : record["steps"])
    if (step.contains("message")) buttons.push_back(step["message"]["button"].get<std::int32_t>());
  return buttons;
}

// The record the replayed call appended to the replay's own trace.
json replayed_record(const std::string &path, std::uintmax_t &offset, int number) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset));
  kreplay::LineReader lines(in);
  json record;
  for (std::string text; lines.next(text);) {
    offset += text.size() + 1;
    const kreplay::Line line = kreplay::parse_line(text, lines.number());
    if (line.kind == kreplay::LineKind::record) record = line.json;
  }
  if (record.is_null()) throw std::runtime_error("line " + std::to_string(number) + ": KALPO traced no replayed call");
  return record;
}

std::uintmax_t size_of(const std::string &path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(path, ec);
  return ec ? 0 : size;
}

// The replay of one recorded process, in this process: the child's side.
// Each call is printed as it is made unless `quiet`; the outcome, with the
// steps as `kalpo run --json` gives them, goes to outcome.json in the
// replay's folder.
int replay_here(const std::string &file, bool quiet) {
  const char *trace = std::getenv("KALPO_TRACE");
  const char *answers = std::getenv("KALPO_REPLAY_WORKSTATION");
  const char *lines = std::getenv("KALPO_REPLAY_LINES");
  Part part;
  if (!trace || !answers || !lines || std::sscanf(lines, "%d-%d", &part.first, &part.last) != 2)
    throw UsageError("replay --here is the replay's own child process");
  const fs::path folder = fs::path(answers).parent_path();
  const std::vector<LoadedLibrary> libraries = loaded_maker_libraries();
  for (const LoadedLibrary &library : libraries) {
    std::error_code ec;
    if (!library.take || !fs::equivalent(fs::path(library.file).parent_path(), folder, ec))
      throw std::runtime_error("replay: the maker library " + library.file + " is not a replay library");
  }
  // Each replay library is handed the record's calls of its own.
  const auto hand = [&libraries](const std::vector<kreplay::MakerCall> &calls) {
    for (const LoadedLibrary &library : libraries) {
      std::vector<kreplay::MakerCall> own;
      for (const kreplay::MakerCall &call : calls)
        if (call.function->library == library.name) own.push_back(call);
      library.take(own.data(), own.size());
    }
  };
  install_operator({Answer::no, !quiet, true});

  Runner runner(quiet);
  std::uintmax_t offset = size_of(trace);
  std::optional<Divergence> divergence;
  const auto each = [&](const json &record, int number) {
    if (divergence) return;
    Replayable r = replayable(record, number);
    if (!r.target) return;
    write_answers(answers, record);
    hand(r.makers);
    // Every message takes its recorded button; compare_records, not an
    // expectation, checks the call against its record.
    r.call.answers = recorded_buttons(record);
    r.call.expect.reset();
    runner.execute(r.call);
    divergence = compare_records(record, replayed_record(trace, offset, number), number, *r.target);
  };
  read_trace(
      file, [](int) {}, each, part.first, part.last);

  json outcome = {{"ok", !divergence}, {"steps", runner.steps()}};
  if (divergence) outcome["divergence"] = divergence_json(*divergence), outcome["text"] = divergence_text(*divergence);
  std::ofstream((folder / "outcome.json").string(), std::ios::binary) << json_line(outcome) << '\n';
  return divergence ? 1 : 0;
}

// The trace checked whole, and cut into the parts of its processes.
std::vector<Part> plan(const std::string &file, std::size_t &maker_calls) {
  std::vector<Part> parts;
  read_trace(
      file,
      [&](int number) {
        parts.push_back({number, number, 0});
      },
      [&](const json &record, int number) {
        parts.back().last = number;
        if (!replayable(record, number).target) return;
        ++parts.back().calls;
        for (const json &step : record["steps"]) maker_calls += step.contains("vendor");
      });
  std::erase_if(parts, [](const Part &p) { return p.calls == 0; });
  return parts;
}

json read_outcome(const fs::path &file, int status) {
  std::ifstream in(file, std::ios::binary);
  json outcome = json::parse(in, nullptr, false);
  if (outcome.is_object()) return outcome;
  return {{"ok", false},
          {"text", "the replay stopped without an outcome (exit status " + std::to_string(status) + ")\n"},
          {"divergence", nullptr}};
}

}  // namespace

void refuse_tracing_into(const std::string &file) {
  const char *trace = std::getenv("KALPO_TRACE");
  std::error_code ec;
  if (trace && *trace && fs::equivalent(trace, file, ec))
    throw UsageError(file + ": KALPO_TRACE names the trace being replayed; trace into another file");
}

int cmd_replay(const Global &g, const std::string &file, bool against_printer, bool here, bool quiet) {
  if (against_printer) return cmd_run(g, file, quiet);
  std::vector<Part> parts;
  std::size_t maker_calls = 0;
  try {
    if (here) return replay_here(file, quiet);
    parts = plan(file, maker_calls);
  } catch (const kreplay::TraceError &e) {
    throw UsageError(file + ": " + e.what());
  }
  if (parts.empty()) throw UsageError(file + ": a trace with no export call to replay (empty, or headers alone)");

  const Interruption interruption;
  const std::string folder = prepare_replay_folder();
  struct Removal {
    std::string folder;
    ~Removal() {
      std::error_code ec;
      fs::remove_all(folder, ec);
    }
  } removal{folder};
  const fs::path at(folder);
  set_environment("KALPO_TRACE", (at / "replayed.jsonl").string());
  set_environment("KALPO_REPLAY_WORKSTATION", (at / "workstation.txt").string());
  set_environment("KALPO_DRIVE_C", (at / "drive_c").string());
  set_environment("KALPO_SIM_DIR", (at / "sim").string());
  // The replay's printers leave no copy of their counters marks behind.
  set_environment("XDG_STATE_HOME", (at / "state").string());
  std::size_t calls = 0;
  json outcome = {{"ok", true}}, steps = json::array();
  // The child prints the calls itself; with --json they come in the steps.
  std::vector<std::string> child = {"replay", "--here", fs::absolute(file).string()};
  if (quiet || g.json) child.insert(child.begin() + 2, "--quiet");
  std::cout << std::flush;
  const auto stop_if_interrupted = [&] {
    if (interruption.signal()) throw std::runtime_error("replay: interrupted; its temporary folder is removed");
  };
  for (const Part &part : parts) {
    stop_if_interrupted();
    set_environment("KALPO_REPLAY_LINES", std::to_string(part.first) + "-" + std::to_string(part.last));
    std::error_code ec;
    fs::remove(at / "outcome.json", ec);
    const int status = run_from(folder, child);
    stop_if_interrupted();
    outcome = read_outcome(at / "outcome.json", status);
    for (json &step : outcome.value("steps", json::array())) steps.push_back(std::move(step));
    if (!outcome.value("ok", false)) break;
    calls += part.calls;
  }
  const bool ok = outcome.value("ok", false);
  if (g.json) {
    print_json({{"file", as_utf8(file)},
                {"ok", ok},
                {"calls", calls},
                {"steps", steps},
                {"divergence", outcome.value("divergence", json())}});
  } else if (ok) {
    std::cout << file << ": " << calls << " export call(s) and " << maker_calls
              << " maker call(s) replayed; every maker call, message, result and out value as recorded\n";
  } else {
    std::cout << file << ": the replay differs from the trace\n" << outcome.value("text", std::string());
  }
  return ok ? 0 : 1;
}

}  // namespace kt
