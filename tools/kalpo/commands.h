// The subcommands of `kalpo`.  Each returns the process's exit status and
// throws UsageError for a bad argument.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace kt {

struct Global {
  bool json = false;
  bool dir_given = false;  // --dir: the printers' folder chosen by the user
};

int cmd_call(const Global &g, const std::string &name, const std::vector<std::string> &words);
int cmd_list(const Global &g);
// Each call printed as it runs unless `quiet`, then the verdict.
int cmd_run(const Global &g, const std::string &file, bool quiet = false);
int cmd_demo(const Global &g, const std::vector<std::string> &models, bool keep);
int cmd_tape(const Global &g, const std::string &library, std::size_t last, bool follow);
int cmd_state(const Global &g, const std::string &library);
int cmd_check(const Global &g, const std::string &library);
int cmd_printer_restore(const Global &g, const std::string &library);
int cmd_fault_set(const Global &g, const std::string &library, const std::string &name, const std::string &value,
                  bool once);
int cmd_fault_clear(const Global &g, const std::string &library, const std::string &name);
int cmd_fault_list(const Global &g, const std::string &library);
int cmd_clock(const Global &g, const std::string &library, const std::optional<std::string> &offset);
int cmd_config_show(const Global &g);
int cmd_config_set(const Global &g, const std::string &key, const std::string &value);
int cmd_trace(const Global &g, const std::string &file);
// UsageError when KALPO_TRACE names the trace to be replayed: checked before
// the tool's first export call, which would be traced into it.
void refuse_tracing_into(const std::string &trace);
int cmd_replay(const Global &g, const std::string &file, bool against_printer, bool here, bool quiet);
struct ServeOptions {
  int port = 8123;  // 0 picks a free one
  std::vector<std::string> origins;
  bool log_json = true;
  std::vector<std::string> printers;  // models watched from the start
  double watch_seconds = 3;           // the status query's interval; 0: calls alone
  bool panel_url = false;             // print the panel's address with its token
};
// Until interrupted.
int cmd_serve(const Global &g, const ServeOptions &options);
// kalpo serve --help's text, its routes from the service's table.
std::string serve_help();

// The library's version (the header's) and KALPO_Versao's text.
std::string version_text(const Global &g);
// KALPO_Versao's text in UTF-8, or "(not loaded: why)" when libkalpo or a
// maker library it needs is missing.
std::string library_versao();

// The file's contents; UsageError naming it when it cannot be read, is a
// folder or is larger than any script or trace.
std::string read_file(const std::string &path);

}  // namespace kt
