// Non-fiscal documents: the credit/debit voucher linked to a payment of the
// last coupon, management reports, and their free text.
#include <algorithm>

#include "dllg2/commands.h"
#include "dllg2/spellings.h"
#include "dllg2/values.h"

namespace dllg2 {
namespace {

using ksim::Outcome;

// The management reports programmed in the printer, by index (1 to 20).
struct Report {
  int index;
  std::string_view title;
};
constexpr Report programmed_reports[] = {{1, "RELATORIO GERENCIAL"}, {2, "TEF"}, {3, "CONTROLE DE CAIXA"}};
constexpr int max_report_index = 20;

// Why the core refused the voucher, in the driver's terms.
int voucher_refusal(const ksim::Session &s, std::uint32_t coo, int form) {
  const auto &last = s.state().coupon;
  if (!last || last->coo != coo || last->cancelled || !last->closed || last->day != s.state().day)
    return code::bad_linked_coo;
  const bool paid =
      std::any_of(last->payments.begin(), last->payments.end(), [&](const ksim::Payment &p) { return p.form == form; });
  if (!paid) return code::form_not_in_coupon;
  return code::bad_value;  // more than the payment still allows
}

int open_voucher(Context &c) {
  ksim::Session &s = c.session;
  const auto form = find_form(s, c.args.get("CodMeioPagamento"), c.args.get("NomeMeioPagamento"));
  if (!form.found) return form.error;
  const auto coo = whole(c.args.get("COO"));
  if (!coo || *coo <= 0 || *coo > 999'999'999) return code::bad_linked_coo;
  const auto amount = fixed_point(c.args.get("Valor"), 2);
  if (!amount || *amount <= 0) return code::bad_value;
  const auto number = static_cast<std::uint32_t>(*coo);
  const Outcome outcome = s.open_voucher(form.found->index, *amount, number);
  if (outcome == Outcome::voucher_not_allowed) return voucher_refusal(s, number, form.found->index);
  return code_for(s, outcome);
}

// Each line of the text (CR LF, LF or CR ends a line) into the open voucher
// or report.
int print_text(Context &c) {
  ksim::Session &s = c.session;
  const std::string text = c.args.get("TextoLivre");
  std::size_t start = 0;
  bool printed = false;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    const Outcome outcome = s.print_line(std::string_view(text).substr(start, end - start));
    if (outcome != Outcome::ok)
      return code_for(s, outcome, {{Outcome::paper_end, printed ? code::paper_ran_out : code::paper_out}});
    printed = true;
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return code::none;
}

int open_report(Context &c) {
  const std::string text = c.args.get("CodGerencial");
  if (text.empty()) return code::report_not_defined;
  const common::Number digits = common::digits(text, 1, 2);
  if (!digits) return code::report_out_of_range;
  const int index = int(*digits);
  if (index < 1 || index > max_report_index) return code::report_out_of_range;
  const auto *report = std::find_if(std::begin(programmed_reports), std::end(programmed_reports),
                                    [&](const Report &r) { return r.index == index; });
  if (report == std::end(programmed_reports)) return code::report_not_defined;
  return code_for(c.session, c.session.open_report(report->title));
}

const std::vector<Command> nonfiscal_table = {
    {"AbreCreditoDebito",
     {{"CodMeioPagamento", type::code, Form::code, true, code::voucher_parameter_missing},
      {"NomeMeioPagamento", type::text, Form::text},
      {"COO", type::integer, Form::whole, true, code::voucher_parameter_missing},
      {"Valor", type::decimal, Form::decimal, true, code::voucher_value_missing}},
     ksim::Call::command,
     true,
     open_voucher},
    {"ImprimeTexto", {{"TextoLivre", type::text, Form::text, true}}, ksim::Call::command, false, print_text},
    {"AbreGerencial",
     {{"CodGerencial", type::code, Form::code, true, code::report_not_defined}},
     ksim::Call::command,
     true,
     open_report},
};

}  // namespace

std::span<const Command> nonfiscal_commands() { return nonfiscal_table; }

}  // namespace dllg2
