// The management report ("RELATORIO GERENCIAL"), and the free lines of the
// open voucher or report.
#include "core/internal.h"

namespace ksim {

Outcome ops::open_report(State &s, Printout &, const Command &c) {
  if (Outcome o = can_start_document(s, c.when); o != Outcome::ok) return o;
  open_day_if_needed(s, c.when);
  NonFiscal report;
  report.kind = Document::report;
  report.coo = begin_document(s);
  report.title = arg_text(c, 0);
  s.nonfiscal = std::move(report);
  s.open = Document::report;
  ++s.gnf;
  ++s.grg;
  return Outcome::ok;
}

Outcome ops::print_line(State &s, Printout &, const Command &c) {
  if (s.open != Document::voucher && s.open != Document::report)
    return s.open == Document::none ? Outcome::no_coupon_open : Outcome::wrong_document;
  // A text of several lines is printed line by line.
  std::string_view text = c.args.empty() ? std::string_view() : std::string_view(c.args[0]);
  do {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    s.nonfiscal->lines.emplace_back(line);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  } while (!text.empty());
  return Outcome::ok;
}

Outcome ops::close_report(State &s, Printout &out, const Command &c) {
  if (Outcome o = nonfiscal_is_open(s, Document::report); o != Outcome::ok) return o;
  const NonFiscal &report = *s.nonfiscal;
  PageBuilder page(s, "RELATORIO GERENCIAL", report.coo);
  page.header(c.when);
  if (!report.title.empty()) page.center(report.title);
  page.rule();
  for (const std::string &line : report.lines) page.text(line);
  page.footer();
  out.pages.push_back(page.finish());
  s.open = Document::none;
  return Outcome::ok;
}

Outcome Session::open_report(std::string_view title) { return impl_->run("open_report", {std::string(title)}); }

Outcome Session::print_line(std::string_view text) { return impl_->run("print_line", {std::string(text)}); }

Outcome Session::close_report() { return impl_->run("close_report", {}); }

}  // namespace ksim
