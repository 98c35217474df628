// kalpo: try any KALPO call on the virtual printer, script and replay a sale,
// look at the paper, the printer's state, its faults and clock, the
// configuration file and the call trace.
#include <iostream>
#include <string_view>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "exports.h"
#include "host.h"
#include "models.h"
#include "operator.h"
#include "output.h"
#include "replay/field_file.h"

#if defined(__SANITIZE_ADDRESS__)
// Under the address sanitizer, the tool checks memory errors but not leaks at
// its exit: the leak checker's tracer has crashed there on CI machines (never
// on a developer's).  The library's leaks are checked by the unit tests,
// which load it in their own process.
extern "C" const char *__asan_default_options() { return "detect_leaks=0"; }
#endif

namespace {

constexpr const char *kFooter =
    "--json, --yes and --no may come anywhere on the line.  kalpo help SUBCOMMAND tells more of one.\n"
    "Exit status: 0 done; 1 an export answered false, an expectation did not hold, a demo call did not\n"
    "succeed, or a printer cannot be read; 2 a bad command line or input, refused before anything happened.";

// The flags that may come anywhere, call's arguments included; the other
// words are left for the parser.
struct Flags {
  bool json = false, yes = false, no = false;
  std::vector<char *> rest;
};

Flags take_flags(int argc, char **argv) {
  Flags f;
  for (int i = 0; i < argc; ++i) {
    const std::string_view word = argv[i];
    bool *flag = i == 0             ? nullptr
                 : word == "--json" ? &f.json
                 : word == "--yes"  ? &f.yes
                 : word == "--no"   ? &f.no
                                    : nullptr;
    if (flag)
      *flag = true;
    else
      f.rest.push_back(argv[i]);
  }
  return f;
}

// kalpo help [SUBCOMMAND...]: the help of the app or of a subcommand.
int print_help(CLI::App &app, const std::vector<std::string> &words) {
  CLI::App *target = &app;
  std::string path = app.get_name();
  for (const std::string &word : words) {
    CLI::App *found = nullptr;
    for (CLI::App *sub : target->get_subcommands([](CLI::App *) { return true; }))
      if (sub->get_name() == word) found = sub;
    if (!found) throw kt::UsageError("help: '" + word + "' is not a subcommand of " + path);
    target = found;
    path += " " + word;
  }
  std::cout << target->get_formatter()->make_help(target, path, CLI::AppFormatMode::Normal);
  return kt::kExitDone;
}

}  // namespace

static int kalpo_main(int argc, char **argv) {
  Flags flags = take_flags(argc, argv);
  kt::set_json_output(flags.json);
  CLI::App app{"kalpo: KALPO's calls on the virtual fiscal printer", "kalpo"};
  app.require_subcommand(0, 1);
  app.footer(kFooter);
  // --dir may also come after the subcommand.
  app.fallthrough();
  kt::Global g;
  g.json = flags.json;
  std::string dir;
  // Taken before parsing (take_flags); declared for the help.
  bool shown = false;
  app.add_flag("--json", shown, "Machine-readable output, errors included");
  app.add_flag("--yes", shown, "Answer Yes to every confirmation");
  app.add_flag("--no", shown, "Answer No to every confirmation");
  app.add_option("--dir", dir, "The virtual printers' data folder (KALPO_SIM_DIR)");
  app.set_version_flag(
      "--version", [&g] { return kt::version_text(g); }, "The library's version and KALPO_Versao's text");

  auto *help = app.add_subcommand("help", "This help, or a subcommand's: kalpo help fault set");
  std::vector<std::string> help_words;
  help->add_option("subcommand", help_words, "The subcommand (and its subcommand)");

  auto *demo = app.add_subcommand("demo", "A whole fiscal day on each printer model, on fresh printers of its own");
  std::vector<std::string> demo_models;
  bool keep = false;
  demo->add_option("--model", demo_models, "Only these printer models (default: all ten)");
  demo->add_flag("--keep", keep, "Keep the demo's printers' folder");

  auto *call = app.add_subcommand("call", "One export call: kalpo call EXPORT ARG... ('-' for out or unread)");
  bool list = false;
  call->add_flag("--list", list, "List the exports with their arguments");
  call->prefix_command();
  call->fallthrough(false);  // its arguments are its own, whatever they look like
  call->footer(
      "EXPORT: with or without KALPO_, any letter case.  ARGs in the export's order: texts as they are,\n"
      "numbers as numbers, '-' for an out or unread argument (trailing ones may be left out).");

  auto *run = app.add_subcommand("run", "A session script or a call trace, line by line");
  std::string script;
  run->add_option("file", script, "The script or trace")->required();

  std::string library;
  auto add_model = [&library](CLI::App *sub) {
    sub->add_option("--model", library, "Printer model or maker library (default: every printer)");
  };
  auto *tape = app.add_subcommand("tape", "The virtual printer's paper");
  std::int64_t last = 0;
  bool follow = false;
  add_model(tape);
  // A count: negative or past any tape's length is refused, never wrapped.
  tape->add_option("--last", last, "Only the last N documents")
      ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 31));
  tape->add_flag("--follow", follow, "Then show each new page as it prints, until interrupted");

  auto *state = app.add_subcommand("state", "Counters, totals and the fiscal day per maker library");
  add_model(state);
  auto *check = app.add_subcommand("check", "A printer verified from end to end: journal, checkpoints, paper, files");
  add_model(check);
  auto *printer = app.add_subcommand("printer", "A printer's folder as a whole");
  auto *printer_restore = printer->add_subcommand(
      "restore", "Accept a folder restored from a backup, whose counters are behind the highest it issued");
  add_model(printer_restore);

  auto *fault = app.add_subcommand("fault", "Injected faults");
  fault->require_subcommand(0, 1);
  auto *fault_set = fault->add_subcommand("set",
                                          "Inject a fault: paper_end, paper_near_end, off, refuse CODE, "
                                          "slow MS, unreadable, driver_start");
  std::string fault_name, fault_value;
  bool once = false;
  fault_set->add_option("name", fault_name, "The fault")->required();
  fault_set->add_option("value", fault_value, "Its value (refuse: the maker's code; slow: milliseconds)");
  fault_set->add_flag("--once", once, "Used up by the next call it touches");
  add_model(fault_set);
  auto *fault_clear = fault->add_subcommand("clear", "Clear one fault or all");
  fault_clear->add_option("name", fault_name, "The fault (default: all)");
  add_model(fault_clear);
  auto *fault_list = fault->add_subcommand("list", "The faults set");
  add_model(fault_list);

  auto *clock = app.add_subcommand("clock", "The virtual printer's clock offset");
  std::optional<std::string> offset;
  clock->add_option("--set", offset, "New offset: seconds, or with d/h/m (\"1d\", \"-2h\")");
  add_model(clock);

  auto *config = app.add_subcommand("config", "The configuration file KALPO reads");
  auto *config_show = config->add_subcommand("show", "Each key's value or the default it falls back to");
  auto *config_set = config->add_subcommand("set", "Write a key");
  std::string key, value;
  config_set->add_option("key", key, "PORTACOM, VELOCIDADE, PARIDADE, DESATIVAFACA or MENSAGEM")->required();
  config_set->add_option("value", value, "The value")->required();

  auto *trace = app.add_subcommand("trace", "A call trace as readable text");
  std::string trace_file;
  trace->add_option("file", trace_file, "The trace file")->required();

  auto *replay = app.add_subcommand("replay", "A call trace replayed with each maker library answering from it");
  std::string replay_file;
  bool against_printer = false, replay_here = false, replay_quiet = false;
  replay->add_option("file", replay_file, "The trace")->required();
  replay->add_flag("--against-printer", against_printer, "Run the trace's calls on the virtual printer instead");
  replay->add_flag("--quiet", replay_quiet, "The verdict alone, without each call");
  replay->add_flag("--here", replay_here)->group("");  // the replay's own child process
  replay->footer(
      "Each export call is shown as kalpo run shows it (the call, the operator's messages, the result and\n"
      "the out values), then the verdict: exit status 0 when every maker call, message, result and out\n"
      "value is as recorded; 1 at the first difference, shown with the recorded and the made side by side.");

  auto *serve = app.add_subcommand("serve", "KALPO's calls over HTTP on 127.0.0.1, and the printer panel");
  int port = 8123;
  std::vector<std::string> origins;
  serve->add_option("--port", port, "The port (0: a free one)")->check(CLI::Range(0, 65535));
  serve->add_option("--allow-origin", origins, "A web origin allowed to call (repeatable): https://pos.example");
  std::string log_format = "json";
  serve->add_option("--log-format", log_format, "One line per call on standard error: json (default) or text")
      ->check(CLI::IsMember({"json", "text"}));
  serve->footer(kt::serve_help());

  try {
    app.parse(static_cast<int>(flags.rest.size()), flags.rest.data());
  } catch (const CLI::Success &e) {
    return app.exit(e);  // --help, --version
  } catch (const CLI::ParseError &e) {
    return kt::fail(std::string(e.what()) + " (kalpo help shows the usage)", kt::kExitUsage);
  }

  try {
    // Checked here, not by the parser, which would say so before naming an unknown option.
    if (app.get_subcommands().empty()) throw kt::UsageError("a subcommand is needed (kalpo help lists them)");
    if (*fault && fault->get_subcommands().empty())
      throw kt::UsageError("fault: set, clear or list is needed (kalpo help fault)");
    if (flags.yes && flags.no) throw kt::UsageError("--yes and --no exclude each other");
    if (*replay) kt::refuse_tracing_into(replay_file);
    g.dir_given = !dir.empty();
    if (g.dir_given) kt::set_environment("KALPO_SIM_DIR", dir);
    kt::OperatorOptions screen;
    screen.answer = flags.yes ? kt::Answer::yes : flags.no ? kt::Answer::no : kt::Answer::ask;
    screen.echo = !g.json && !(*replay && replay_quiet);
    if (*demo && !flags.no) screen.answer = kt::Answer::yes;  // the demo's operator confirms the reduction
    kt::install_operator(screen);

    if (!library.empty()) library = kt::library_for(library);
    if (*help) return print_help(app, help_words);
    if (*demo) return kt::cmd_demo(g, demo_models, keep);
    if (*call) {
      if (list) return kt::cmd_list(g);
      std::vector<std::string> words = call->remaining();
      if (words.empty()) throw kt::UsageError("call: the export is missing (kalpo call --list shows them)");
      const std::string name = words.front();
      words.erase(words.begin());
      return kt::cmd_call(g, name, words);
    }
    if (*run) return kt::cmd_run(g, script);
    if (*tape) return kt::cmd_tape(g, library, static_cast<std::size_t>(last), follow);
    if (*state) return kt::cmd_state(g, library);
    if (*check) return kt::cmd_check(g, library);
    if (*printer_restore) return kt::cmd_printer_restore(g, library);
    if (*printer) throw kt::UsageError("printer: restore is needed (kalpo help printer)");
    if (*fault_set) return kt::cmd_fault_set(g, library, fault_name, fault_value, once);
    if (*fault_clear) return kt::cmd_fault_clear(g, library, fault_name);
    if (*fault_list) return kt::cmd_fault_list(g, library);
    if (*clock) return kt::cmd_clock(g, library, offset);
    if (*config_set) return kt::cmd_config_set(g, key, value);
    if (*config_show || *config) return kt::cmd_config_show(g);
    if (*trace) return kt::cmd_trace(g, trace_file);
    if (*replay) return kt::cmd_replay(g, replay_file, against_printer, replay_here, replay_quiet);
    if (*serve) return kt::cmd_serve(g, port, origins, log_format == "json");
  } catch (const kt::UsageError &e) {
    return kt::fail(e.what(), kt::kExitUsage);
  } catch (const kreplay::FieldFileError &e) {
    return kt::fail(e.what(), kt::kExitUsage);
  } catch (const std::exception &e) {
    return kt::fail(e.what(), kt::kExitFailed);
  }
  return kt::kExitDone;
}

int main(int argc, char **argv) {
  kt::prepare_output();
  kt::guard_output();
  return kt::finish_output(kalpo_main(argc, argv));
}
