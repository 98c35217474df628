// kalpo: try any KALPO call on the virtual printer, script and replay a sale,
// look at the paper, the printer's state, its faults and clock, the
// configuration file and the call trace.
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// What the command line gave: each subcommand, and the values of its options.
struct Options {
  std::string dir;
  CLI::App *help = nullptr, *demo = nullptr, *call = nullptr, *run = nullptr;
  std::vector<std::string> help_words, demo_models;
  bool keep = false, list = false;
  std::string script, library;
  CLI::App *tape = nullptr, *state = nullptr, *check = nullptr, *printer = nullptr, *printer_restore = nullptr;
  std::int64_t last = 0;
  bool follow = false;
  CLI::App *fault = nullptr, *fault_set = nullptr, *fault_clear = nullptr, *fault_list = nullptr, *clock = nullptr;
  std::string fault_name, fault_value;
  bool once = false;
  std::optional<std::string> offset;
  CLI::App *config = nullptr, *config_show = nullptr, *config_set = nullptr, *trace = nullptr, *replay = nullptr;
  std::string key, value, trace_file, replay_file;
  bool against_printer = false, replay_here = false, replay_quiet = false;
  CLI::App *serve = nullptr;
  kt::ServeOptions served;
  std::string log_format = "json";
};

// help, demo, call and run.
void add_call_commands(CLI::App &app, Options &o) {
  o.help = app.add_subcommand("help", "This help, or a subcommand's: kalpo help fault set");
  o.help->add_option("subcommand", o.help_words, "The subcommand (and its subcommand)");

  o.demo = app.add_subcommand("demo", "A whole fiscal day on each printer model, on fresh printers of its own");
  o.demo->add_option("--model", o.demo_models, "Only these printer models (default: all ten)");
  o.demo->add_flag("--keep", o.keep, "Keep the demo's printers' folder");

  o.call = app.add_subcommand("call", "One export call: kalpo call EXPORT ARG... ('-' for out or unread)");
  o.call->add_flag("--list", o.list, "List the exports with their arguments");
  o.call->prefix_command();
  o.call->fallthrough(false);  // its arguments are its own, whatever they look like
  o.call->footer(
      "EXPORT: with or without KALPO_, any letter case.  ARGs in the export's order: texts as they are,\n"
      "numbers as numbers, '-' for an out or unread argument (trailing ones may be left out).");

  o.run = app.add_subcommand("run", "A session script or a call trace, line by line");
  o.run->add_option("file", o.script, "The script or trace")->required();
}

// tape, state, check, printer restore, fault and clock: the virtual printers.
void add_printer_commands(CLI::App &app, Options &o) {
  auto add_model = [&o](CLI::App *sub) {
    sub->add_option("--model", o.library, "Printer model or maker library (default: every printer)");
  };
  o.tape = app.add_subcommand("tape", "The virtual printer's paper");
  add_model(o.tape);
  // A count: negative or past any tape's length is refused, never wrapped.
  o.tape->add_option("--last", o.last, "Only the last N documents")
      ->check(CLI::Range(std::int64_t{0}, std::int64_t{1} << 31));
  o.tape->add_flag("--follow", o.follow, "Then show each new page as it prints, until interrupted");

  o.state = app.add_subcommand("state", "Counters, totals and the fiscal day per maker library");
  add_model(o.state);
  o.check = app.add_subcommand("check", "A printer verified from end to end: journal, checkpoints, paper, files");
  add_model(o.check);
  o.printer = app.add_subcommand("printer", "A printer's folder as a whole");
  o.printer_restore = o.printer->add_subcommand(
      "restore", "Accept a folder restored from a backup, whose counters are behind the highest it issued");
  add_model(o.printer_restore);

  o.fault = app.add_subcommand("fault", "Injected faults");
  o.fault->require_subcommand(0, 1);
  o.fault_set = o.fault->add_subcommand("set",
                                        "Inject a fault: paper_end, paper_near_end, off, refuse CODE, "
                                        "slow MS, unreadable, driver_start");
  o.fault_set->add_option("name", o.fault_name, "The fault")->required();
  o.fault_set->add_option("value", o.fault_value, "Its value (refuse: the maker's code; slow: milliseconds)");
  o.fault_set->add_flag("--once", o.once, "Used up by the next call it touches");
  add_model(o.fault_set);
  o.fault_clear = o.fault->add_subcommand("clear", "Clear one fault or all");
  o.fault_clear->add_option("name", o.fault_name, "The fault (default: all)");
  add_model(o.fault_clear);
  o.fault_list = o.fault->add_subcommand("list", "The faults set");
  add_model(o.fault_list);

  o.clock = app.add_subcommand("clock", "The virtual printer's clock offset");
  o.clock->add_option("--set", o.offset, "New offset: seconds, or with d/h/m (\"1d\", \"-2h\")");
  add_model(o.clock);
}

// config, trace, replay and serve.
void add_file_and_service_commands(CLI::App &app, Options &o) {
  o.config = app.add_subcommand("config", "The configuration file KALPO reads");
  o.config_show = o.config->add_subcommand("show", "Each key's value or the default it falls back to");
  o.config_set = o.config->add_subcommand("set", "Write a key");
  o.config_set->add_option("key", o.key, "PORTACOM, VELOCIDADE, PARIDADE, DESATIVAFACA or MENSAGEM")->required();
  o.config_set->add_option("value", o.value, "The value")->required();

  o.trace = app.add_subcommand("trace", "A call trace as readable text");
  o.trace->add_option("file", o.trace_file, "The trace file")->required();

  o.replay = app.add_subcommand("replay", "A call trace replayed with each maker library answering from it");
  o.replay->add_option("file", o.replay_file, "The trace")->required();
  o.replay->add_flag("--against-printer", o.against_printer, "Run the trace's calls on the virtual printer instead");
  o.replay->add_flag("--quiet", o.replay_quiet, "The verdict alone, without each call");
  o.replay->add_flag("--here", o.replay_here)->group("");  // the replay's own child process
  o.replay->footer(
      "Each export call is shown as kalpo run shows it (the call, the operator's messages, the result and\n"
      "the out values), then the verdict: exit status 0 when every maker call, message, result and out\n"
      "value is as recorded; 1 at the first difference, shown with the recorded and the made side by side.");

  o.serve = app.add_subcommand("serve", "KALPO's calls over HTTP on 127.0.0.1, and the printer panel");
  o.serve->add_option("--port", o.served.port, "The port (0: a free one)")->check(CLI::Range(0, 65535));
  o.serve->add_option("--allow-origin", o.served.origins,
                      "A web origin allowed to call (repeatable): https://pos.example");
  o.serve->add_option("--log-format", o.log_format, "Standard error's lines: json (default, one object a line) or text")
      ->check(CLI::IsMember({"json", "text"}));
  o.serve->add_option("--printer", o.served.printers,
                      "A printer model to watch from the start (repeatable); the models calls use are watched too");
  o.serve
      ->add_option("--watch-interval", o.served.watch_seconds,
                   "Seconds between a printer's status queries while no call waits (default 3; 0: none)")
      ->check(CLI::Range(0.0, 3600.0));
  o.serve->add_flag("--panel-url", o.served.panel_url,
                    "Print the panel's address with the token even when standard output is not a terminal");
  o.serve->set_config("--config", "", "A file of these options, one 'name = value' a line: printer = [\"EPSON\"]");
  o.serve->footer(kt::serve_help());
}

// The subcommand given, run.
int dispatch(CLI::App &app, Options &o, const kt::Global &g) {
  if (!o.library.empty()) o.library = kt::library_for(o.library);
  if (*o.help) return print_help(app, o.help_words);
  if (*o.demo) return kt::cmd_demo(g, o.demo_models, o.keep);
  if (*o.call) {
    if (o.list) return kt::cmd_list(g);
    std::vector<std::string> words = o.call->remaining();
    if (words.empty()) throw kt::UsageError("call: the export is missing (kalpo call --list shows them)");
    const std::string name = words.front();
    words.erase(words.begin());
    return kt::cmd_call(g, name, words);
  }
  if (*o.run) return kt::cmd_run(g, o.script);
  if (*o.tape) return kt::cmd_tape(g, o.library, static_cast<std::size_t>(o.last), o.follow);
  if (*o.state) return kt::cmd_state(g, o.library);
  if (*o.check) return kt::cmd_check(g, o.library);
  if (*o.printer_restore) return kt::cmd_printer_restore(g, o.library);
  if (*o.printer) throw kt::UsageError("printer: restore is needed (kalpo help printer)");
  if (*o.fault_set) return kt::cmd_fault_set(g, o.library, o.fault_name, o.fault_value, o.once);
  if (*o.fault_clear) return kt::cmd_fault_clear(g, o.library, o.fault_name);
  if (*o.fault_list) return kt::cmd_fault_list(g, o.library);
  if (*o.clock) return kt::cmd_clock(g, o.library, o.offset);
  if (*o.config_set) return kt::cmd_config_set(g, o.key, o.value);
  if (*o.config_show || *o.config) return kt::cmd_config_show(g);
  if (*o.trace) return kt::cmd_trace(g, o.trace_file);
  if (*o.replay) return kt::cmd_replay(g, o.replay_file, o.against_printer, o.replay_here, o.replay_quiet);
  if (*o.serve) {
    o.served.log_json = o.log_format == "json";
    return kt::cmd_serve(g, o.served);
  }
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
  Options o;
  // Taken before parsing (take_flags); declared for the help.
  bool shown = false;
  app.add_flag("--json", shown, "Machine-readable output, errors included");
  app.add_flag("--yes", shown, "Answer Yes to every confirmation");
  app.add_flag("--no", shown, "Answer No to every confirmation");
  app.add_option("--dir", o.dir, "The virtual printers' data folder (KALPO_SIM_DIR)");
  app.set_version_flag(
      "--version", [&g] { return kt::version_text(g); }, "The library's version and KALPO_Versao's text");
  add_call_commands(app, o);
  add_printer_commands(app, o);
  add_file_and_service_commands(app, o);

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
    if (*o.fault && o.fault->get_subcommands().empty())
      throw kt::UsageError("fault: set, clear or list is needed (kalpo help fault)");
    if (flags.yes && flags.no) throw kt::UsageError("--yes and --no exclude each other");
    if (*o.replay) kt::refuse_tracing_into(o.replay_file);
    g.dir_given = !o.dir.empty();
    if (g.dir_given) kt::set_environment("KALPO_SIM_DIR", o.dir);
    kt::OperatorOptions screen;
    screen.answer = flags.yes ? kt::Answer::yes : flags.no ? kt::Answer::no : kt::Answer::ask;
    screen.echo = !g.json && !(*o.replay && o.replay_quiet);
    if (*o.demo && !flags.no) screen.answer = kt::Answer::yes;  // the demo's operator confirms the reduction
    kt::install_operator(screen);
    return dispatch(app, o, g);
  } catch (const kt::UsageError &e) {
    return kt::fail(e.what(), kt::kExitUsage);
  } catch (const kreplay::FieldFileError &e) {
    return kt::fail(e.what(), kt::kExitUsage);
  } catch (const std::exception &e) {
    return kt::fail(e.what(), kt::kExitFailed);
  }
}

int main(int argc, char **argv) {
  kt::prepare_output();
  kt::guard_output();
  return kt::finish_output(kalpo_main(argc, argv));
}
