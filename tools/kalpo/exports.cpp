#include "exports.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

#include "base/cp1252.h"
#include "kalpo.h"
#include "library.h"
#include "output.h"

namespace kt {

using kalpo::base::cp1252::from_utf8;
using kalpo::base::cp1252::to_utf8;
namespace {

// The storage behind one argument during a call.
struct Slot {
  bool present = false;
  std::string text;  // Windows-1252: a text argument or the control's text
  std::int32_t integer = 0;
  double real = 0;
  const char *out_text = nullptr;
  std::array<char, 257> answer{};
  KALPO_TextControl control{};
};

const char *KALPO_CALL control_get(void *context) { return static_cast<Slot *>(context)->text.c_str(); }
void KALPO_CALL control_set(void *context, const char *text) { static_cast<Slot *>(context)->text = text ? text : ""; }

template <typename T>
constexpr Kind kind_of() {
  if constexpr (std::is_same_v<T, const char *>)
    return Kind::text;
  else if constexpr (std::is_same_v<T, const char **>)
    return Kind::out_text;
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return Kind::integer;
  else if constexpr (std::is_same_v<T, std::int32_t *>)
    return Kind::var_integer;
  else if constexpr (std::is_same_v<T, double>)
    return Kind::real;
  else if constexpr (std::is_same_v<T, KALPO_TextControl *>)
    return Kind::control;
  else if constexpr (std::is_same_v<T, const void *>)
    return Kind::unread;
  else if constexpr (std::is_same_v<T, char *>)
    return Kind::answer;
  else if constexpr (std::is_same_v<T, KALPO_TratadorMensagem>)
    return Kind::handler;
  else if constexpr (std::is_same_v<T, void *>)
    return Kind::context;
  else
    static_assert(sizeof(T) == 0, "an argument type the table does not know");
}

template <typename T>
T pass(Slot &s) {
  if constexpr (std::is_same_v<T, const char *>)
    return s.present ? s.text.c_str() : nullptr;
  else if constexpr (std::is_same_v<T, const char **>)
    return &s.out_text;
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return s.integer;
  else if constexpr (std::is_same_v<T, std::int32_t *>)
    return &s.integer;
  else if constexpr (std::is_same_v<T, double>)
    return s.real;
  else if constexpr (std::is_same_v<T, KALPO_TextControl *>)
    return s.present ? &s.control : nullptr;
  else if constexpr (std::is_same_v<T, char *>)
    return s.answer.data();
  else
    return nullptr;  // unread, handler, context
}

void fill(Slot &s, const Value &v, Kind kind) {
  s.present = v.type != Value::Type::absent;
  s.text = from_utf8(v.text);
  s.real = v.number;
  // check_args has kept integers within 32 bits.
  if (kind == Kind::integer || kind == Kind::var_integer) s.integer = static_cast<std::int32_t>(v.number);
  if (kind == Kind::control) s.control = {&s, control_get, control_set};
}

Value out_value(const Slot &s, Kind kind) {
  switch (kind) {
    case Kind::out_text: return s.out_text ? Value::of_text(to_utf8(s.out_text)) : Value::absent();
    case Kind::var_integer: return Value::of_number(s.integer);
    case Kind::control: return s.present ? Value::of_text(to_utf8(s.text)) : Value::absent();
    case Kind::answer: return Value::of_text(to_utf8(std::string_view(s.answer.data(), strnlen(s.answer.data(), 256))));
    default: return {};
  }
}

// The export's type from kalpo.h; its address from libkalpo, looked up at the
// call, so that the table is there without the library.
template <typename R, typename... A>
Export make(std::string name, R(KALPO_CALL *)(A...), std::vector<std::string> names) {
  using Function = R(KALPO_CALL *)(A...);
  Export e;
  e.name = std::move(name);
  constexpr std::array<Kind, sizeof...(A)> kinds{kind_of<A>()...};
  // Arguments the export accepts and never reads are named nao_lido.
  for (std::size_t i = 0; i < kinds.size(); ++i)
    e.params.push_back({names.at(i), names.at(i).starts_with("nao_lido") ? Kind::unread : kinds[i]});
  e.result = std::is_void_v<R> ? ResultKind::none : std::is_same_v<R, uint8_t> ? ResultKind::flag : ResultKind::integer;
  e.invoke = [name = e.name, params = e.params](const std::vector<Value> &args) {
    const Function fn = library_export<Function>(name.c_str());
    std::vector<Slot> slots(sizeof...(A));
    for (std::size_t i = 0; i < slots.size(); ++i) fill(slots[i], args.at(i), params[i].kind);
    Returned back;
    [&]<std::size_t... I>(std::index_sequence<I...>) {
      if constexpr (std::is_void_v<R>)
        fn(pass<A>(slots[I])...);
      else
        back.result = static_cast<std::int32_t>(fn(pass<A>(slots[I])...));
    }
    (std::index_sequence_for<A...>{});
    for (std::size_t i = 0; i < slots.size(); ++i)
      if (is_out(params[i].kind)) back.outs.emplace_back(params[i].name, out_value(slots[i], params[i].kind));
    return back;
  };
  return e;
}

Export query(Export e) {
  e.changes_printer = false;
  return e;
}

#define KT_EXPORT(name, ...) make(#name, static_cast<decltype(&name)>(nullptr), {__VA_ARGS__})
// An export that only reads: the printer and the workstation are left as they were.
#define KT_QUERY(name, ...) query(KT_EXPORT(name, __VA_ARGS__))

std::vector<Export> build_table() {
  return {
      KT_EXPORT(KALPO_DefineTratadorMensagens, "handler", "context"),
      KT_QUERY(KALPO_Versao, "versao"),
      KT_QUERY(KALPO_Versao_Number, "versao"),
      KT_QUERY(KALPO_RetListaECFS, "lista"),
      KT_QUERY(KALPO_IniciaDriver),
      KT_EXPORT(KALPO_FechaDriver, "modelo"),
      KT_EXPORT(KALPO_GravaRegistro, "porta"),
      KT_QUERY(KALPO_retorna_impressora, "modelo"),
      KT_QUERY(KALPO_Analisa_iRetorno, "modelo", "codigo"),
      KT_QUERY(KALPO_Analisa_RetSigtronFS345, "codigo", "resposta", "tamanho", "contagem"),
      KT_EXPORT(KALPO_AbreCupom, "modelo", "numero_cupom", "nome", "endereco", "documento"),
      KT_EXPORT(KALPO_VendaItem, "modelo", "codigo", "descricao", "aliquota", "tipo_quantidade", "quantidade",
                "casas_decimais", "valor_unitario", "tipo_desconto", "nao_lido"),
      KT_EXPORT(KALPO_Inicia_Fechamento, "modelo", "desconto"),
      KT_EXPORT(KALPO_desc_fechamento, "modelo", "desconto"),
      KT_EXPORT(KALPO_forma_pagamento, "modelo", "forma", "valor"),
      KT_EXPORT(KALPO_fecha_cupom, "modelo", "mensagem"),
      KT_EXPORT(KALPO_Cancela_Item, "modelo", "item"),
      KT_EXPORT(KALPO_Cancela_Ultimo_Cupom, "modelo", "nao_lido1", "nao_lido2", "contagem", "numero_cupom",
                "estado_documento"),
      KT_EXPORT(KALPO_cupom_vinculado, "modelo", "forma", "numero_cupom", "valor"),
      KT_EXPORT(KALPO_usavinculado, "modelo", "texto"),
      KT_EXPORT(KALPO_usavinculadotermica, "modelo", "texto"),
      KT_EXPORT(KALPO_FechaCupomNaovinculado, "modelo"),
      KT_EXPORT(KALPO_AbreRelGerencial, "modelo", "texto", "codigo"),
      KT_EXPORT(KALPO_FechaGerencial, "modelo"),
      KT_EXPORT(KALPO_Leiturax, "modelo", "nao_lido1", "nao_lido2", "contagem"),
      KT_EXPORT(KALPO_Reducaoz, "modelo", "nao_lido1", "nao_lido2", "nao_lido3", "contagem"),
      KT_EXPORT(KALPO_Abredia, "modelo"),
      KT_EXPORT(KALPO_HorarioVerao, "modelo", "acao"),
      KT_QUERY(KALPO_LeData, "modelo", "data"),
      KT_EXPORT(KALPO_LeituraMemFiscal, "modelo", "inicio", "fim", "tipo"),
      KT_EXPORT(KALPO_GeraCotepe, "modelo", "dia"),
      KT_EXPORT(KALPO_ImpressaoBobina, "modelo"),
      KT_QUERY(KALPO_MostraNumSerie, "modelo", "numero_serie"),
      KT_QUERY(KALPO_FirmWare, "modelo", "versao"),
      KT_QUERY(KALPO_RetornaGT, "modelo", "grande_total"),
      KT_QUERY(KALPO_DataHoraEcf, "modelo", "data", "hora"),
      KT_QUERY(KALPO_NumeroCupom, "modelo", "numero_cupom"),
      KT_EXPORT(KALPO_NumReducao, "modelo", "contador"),
      KT_QUERY(KALPO_ResumoAliq, "modelo"),
      KT_QUERY(KALPO_TotalizadorParcial, "modelo", "totais"),
      KT_QUERY(KALPO_VerificaEstadoECF, "modelo", "ack", "st1", "st2"),
      KT_QUERY(KALPO_Cupom_Aberto, "modelo"),
      KT_EXPORT(KALPO_AbreGaveta, "modelo"),
  };
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char &c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string describe(const Export &e, std::size_t index) {
  return "argument " + std::to_string(index + 1) + " (" + e.params[index].name + ") of " + e.name;
}

bool integral(double n) { return std::isfinite(n) && std::floor(n) == n && n >= -2147483648.0 && n <= 2147483647.0; }

// KALPO passes a real on as hundredths or thousandths in 64 bits: a
// magnitude beyond this cannot be passed on.
constexpr double kLargestReal = 9.2e15;

// Why a value is not the number that an argument of this kind needs, or
// nothing when it is.
std::optional<std::string> not_a_number(const Value &v, Kind kind) {
  const bool integer = kind == Kind::integer || kind == Kind::var_integer;
  if (v.type == Value::Type::text || (integer && !integral(v.number)))
    return std::string(integer ? "expected a whole number of 32 bits, got " : "expected a number, got ") + show(v) +
           (v.type == Value::Type::text ? comma_hint(v.text) : "");
  if (!integer && !(std::fabs(v.number) <= kLargestReal))
    return "expected a number between -9.2e15 and 9.2e15 (KALPO passes it on in 64-bit thousandths), got " + show(v);
  return std::nullopt;
}

}  // namespace

bool Export::callable() const { return name != "KALPO_DefineTratadorMensagens"; }

bool is_out(Kind kind) {
  return kind == Kind::out_text || kind == Kind::var_integer || kind == Kind::control || kind == Kind::answer;
}

bool is_required(Kind kind) {
  return kind != Kind::out_text && kind != Kind::var_integer && kind != Kind::unread && kind != Kind::answer;
}

bool may_be_absent(Kind kind) {
  return kind == Kind::out_text || kind == Kind::var_integer || kind == Kind::unread || kind == Kind::answer ||
         kind == Kind::control || kind == Kind::text || kind == Kind::handler || kind == Kind::context;
}

const char *result_name(ResultKind result) {
  return result == ResultKind::flag ? "flag" : result == ResultKind::integer ? "integer" : "none";
}

const char *kind_name(Kind kind) {
  switch (kind) {
    case Kind::text: return "text";
    case Kind::out_text: return "out text";
    case Kind::integer: return "integer";
    case Kind::var_integer: return "var integer";
    case Kind::real: return "real";
    case Kind::control: return "text control";
    case Kind::unread: return "unread";
    case Kind::answer: return "answer buffer";
    case Kind::handler: return "message handler";
    case Kind::context: return "context";
  }
  return "?";
}

const std::vector<Export> &exports() {
  static const std::vector<Export> table = build_table();
  return table;
}

const Export *find_export(std::string_view name) {
  std::string wanted = lower(name);
  if (!wanted.starts_with("kalpo_")) wanted = "kalpo_" + wanted;
  for (const Export &e : exports())
    if (lower(e.name) == wanted) return &e;
  return nullptr;
}

const Export &export_named(std::string_view name) {
  const Export *e = find_export(name);
  if (!e) throw UsageError("unknown export '" + std::string(name) + "' (kalpo call --list shows them)");
  if (!e->callable()) throw UsageError(e->name + " is not called by the tool: it keeps its own operator screen");
  return *e;
}

std::vector<Value> check_args(const Export &e, std::vector<Value> args) {
  if (args.size() > e.params.size())
    throw ArgumentError(
        "too_many_arguments", "",
        e.name + " takes " + std::to_string(e.params.size()) + " arguments, " + std::to_string(args.size()) + " given");
  const std::size_t given = args.size();
  for (std::size_t i = 0; i < given; ++i) {
    const Kind kind = e.params[i].kind;
    const Value &v = args[i];
    const bool absent = v.type == Value::Type::absent;
    const bool text = v.type == Value::Type::text;
    if (absent && !may_be_absent(kind))
      throw ArgumentError(
          "null_not_allowed", e.params[i].name,
          describe(e, i) + ": no value ('-', null) given, a " + std::string(kind_name(kind)) + " is needed");
    if (absent) continue;
    if ((kind == Kind::text || kind == Kind::control) && !text)
      throw ArgumentError("wrong_kind", e.params[i].name, describe(e, i) + ": expected a quoted text, got " + show(v));
    if (kind == Kind::integer || kind == Kind::var_integer || kind == Kind::real)
      if (const auto why = not_a_number(v, kind))
        throw ArgumentError("wrong_kind", e.params[i].name, describe(e, i) + ": " + *why);
    if (kind == Kind::out_text || kind == Kind::unread || kind == Kind::answer)
      throw ArgumentError("not_an_input", e.params[i].name,
                          describe(e, i) + " is " + (kind == Kind::unread ? "unread" : "written by the call") +
                              ": give no value ('-', null), not " + show(v));
  }
  for (std::size_t i = given; i < e.params.size(); ++i) {
    const Kind kind = e.params[i].kind;
    if (is_required(kind))
      throw ArgumentError("missing_argument", e.params[i].name,
                          describe(e, i) + " is missing (" + kind_name(kind) + ")");
    args.push_back(Value::absent());
  }
  return args;
}

Value word_value(const std::string &word, Kind kind) {
  if (word == "-") return Value::absent();
  if (kind == Kind::text || kind == Kind::control) return Value::of_text(as_utf8(word));
  double number = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (error != std::errc() || end != word.data() + word.size()) return Value::of_text(as_utf8(word));
  return Value::of_number(number);
}

void check_text(const Export &e, std::size_t index, const std::string &text) {
  const std::string &name = e.params.at(index).name;
  const bool model = name == "modelo";
  const std::size_t longest = model ? kLongestModel : kLongestText;
  if (text.size() > longest)
    throw ArgumentError("too_long", name,
                        describe(e, index) + ": " + std::to_string(text.size()) + " bytes, more than the " +
                            std::to_string(longest) + " a " + (model ? "model identifier" : "text") + " may have");
  if (text.find('\0') != std::string::npos)
    throw ArgumentError("nul_in_text", name, describe(e, index) + ": a text may not hold a NUL character");
  namespace cp = kalpo::base::cp1252;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t start = i;
    if (cp::byte_of(cp::decode_utf8(text.data(), text.size(), i)) < 0)
      throw ArgumentError("not_windows_1252", name,
                          describe(e, index) + ": '" + text.substr(start, i - start) +
                              "' has no Windows-1252 character, which the printer takes");
  }
}

std::string comma_hint(std::string_view text) {
  const std::size_t comma = text.find(',');
  const auto digits = [](std::string_view part) {
    return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
  };
  std::string_view whole = text.substr(0, comma);
  if (whole.starts_with('-')) whole.remove_prefix(1);
  if (comma == std::string_view::npos || !digits(whole) || !digits(text.substr(comma + 1))) return {};
  std::string point(text);
  point[comma] = '.';
  return " (a decimal point, not a comma: " + point + ")";
}

std::string show(const Value &v) {
  switch (v.type) {
    case Value::Type::absent: return "-";
    case Value::Type::number: {
      char digits[32];
      const auto [end, error] = std::to_chars(digits, digits + sizeof digits, v.number);
      return error == std::errc() ? std::string(digits, end) : "?";
    }
    case Value::Type::text: break;
  }
  std::string out = "\"";
  for (char c : v.text) {
    if (c == '"' || c == '\\')
      out += '\\', out += c;
    else if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\t')
      out += "\\t";
    else
      out += c;
  }
  return out + '"';
}

}  // namespace kt
