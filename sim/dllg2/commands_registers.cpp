// The printer's registers, read with "LeInteiro", "LeTexto" and "LeData" and
// written with "EscreveInteiro".
#include <cstdio>

#include "dllg2/commands.h"
#include "dllg2/values.h"

namespace dllg2 {
namespace {

using ksim::Session;

enum class Kind { integer, text, date };

struct Register {
  std::string_view name;
  Kind kind;
  std::string (*read)(const Session &);
  int (*write)(Session &, std::int64_t) = nullptr;  // null: read only
};

constexpr std::string_view spacing_value = "EspacamentoDocumentos";
constexpr std::int64_t max_spacing = 99 * dots_per_line;

std::string number(std::uint64_t n) { return std::to_string(n); }

// "dd/mm/aaaa" of a "YYYY-MM-DD" day, "00/00/0000" for none.
std::string day_text(std::string_view iso) { return common::slashed_date(iso, "00/00/0000"); }

std::string spacing(const Session &s) {
  return s.value(spacing_value).value_or(number(s.state().lines_between_documents * dots_per_line));
}

int write_spacing(Session &s, std::int64_t dots) {
  if (dots < 0 || dots > max_spacing) return code::bad_value;
  if (auto outcome = s.set_value(spacing_value, number(dots)); outcome != ksim::Outcome::ok)
    return code_for(s, outcome);
  return code_for(s, s.set_lines_between_documents(static_cast<int>(dots / dots_per_line)));
}

const Register registers[] = {
    {"Coo", Kind::integer, [](const Session &s) { return number(s.state().coo); }},
    {"Ccf", Kind::integer, [](const Session &s) { return number(s.state().ccf); }},
    {"Crz", Kind::integer, [](const Session &s) { return number(s.state().crz); }},
    {"Cro", Kind::integer, [](const Session &s) { return number(s.state().cro); }},
    {"Gnf", Kind::integer, [](const Session &s) { return number(s.state().gnf); }},
    {"Grg", Kind::integer, [](const Session &s) { return number(s.state().grg); }},
    {"Cdc", Kind::integer, [](const Session &s) { return number(s.state().ccdc); }},
    {"EspacamentoDocumentos", Kind::integer, spacing, write_spacing},
    {"NumeroSerieECF", Kind::text, [](const Session &s) { return s.state().identity.serial; }},
    {"VersaoSW", Kind::text, [](const Session &s) { return s.state().identity.firmware; }},
    {"CNPJ", Kind::text, [](const Session &s) { return s.state().identity.cnpj; }},
    {"IE", Kind::text, [](const Session &s) { return s.state().identity.ie; }},
    {"Data", Kind::date, [](const Session &s) { return day_text(ksim::date_text(s.now())); }},
    {"DataUltimaReducao", Kind::date,
     [](const Session &s) {
       const auto &memory = s.state().fiscal_memory;
       return day_text(memory.empty() ? std::string() : memory.back().date);
     }},
};

// The register a name parameter names, or the code why none.
const Register *find_register(std::string_view name, Kind kind, int &error) {
  for (const Register &r : registers) {
    if (r.name != name) continue;
    error = r.kind == kind ? code::none : code::bad_register_type;
    return error ? nullptr : &r;
  }
  error = code::bad_register_name;
  return nullptr;
}

int read_register(Context &c, Kind kind, std::string_view param, std::string_view answer) {
  int error = 0;
  const Register *r = find_register(c.args.get(param), kind, error);
  if (!r) return error;
  c.returns.push_back({std::string(answer), r->read(c.session), kind != Kind::text});
  return code::none;
}

int read_integer(Context &c) { return read_register(c, Kind::integer, "NomeInteiro", "ValorInteiro"); }
int read_text(Context &c) { return read_register(c, Kind::text, "NomeTexto", "ValorTexto"); }
int read_date(Context &c) { return read_register(c, Kind::date, "NomeData", "ValorData"); }

int write_integer(Context &c) {
  int error = 0;
  const Register *r = find_register(c.args.get("NomeInteiro"), Kind::integer, error);
  if (!r) return error;
  if (!r->write) return code::read_only_register;
  return r->write(c.session, whole(c.args.get("ValorInteiro")).value_or(-1));
}

const std::vector<Command> register_table = {
    {"LeInteiro", {{"NomeInteiro", type::text, Form::text, true}}, ksim::Call::query, false, read_integer},
    {"LeTexto", {{"NomeTexto", type::text, Form::text, true}}, ksim::Call::query, false, read_text},
    {"LeData", {{"NomeData", type::text, Form::text, true}}, ksim::Call::query, false, read_date},
    {"EscreveInteiro",
     {{"NomeInteiro", type::text, Form::text, true}, {"ValorInteiro", type::number, Form::whole, true}},
     ksim::Call::command,
     false,
     write_integer},
};

}  // namespace

std::span<const Command> register_commands() { return register_table; }

}  // namespace dllg2
