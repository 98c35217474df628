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
  for (std::string &line : split_lines(arg_text(c, 0))) s.nonfiscal->lines.push_back(std::move(line));
  return Outcome::ok;
}

void close_nonfiscal(State &s, Printout &out, std::int64_t when, std::string title,
                     const std::function<void(PageBuilder &)> &head) {
  PageBuilder page(s, std::move(title), s.nonfiscal->coo);
  page.header(when);
  head(page);
  page.rule();
  for (const std::string &line : s.nonfiscal->lines) page.text(line);
  page.footer();
  out.pages.push_back(page.finish());
  s.open = Document::none;
}

Outcome ops::close_report(State &s, Printout &out, const Command &c) {
  if (Outcome o = nonfiscal_is_open(s, Document::report); o != Outcome::ok) return o;
  close_nonfiscal(s, out, c.when, "RELATORIO GERENCIAL", [&](PageBuilder &page) {
    if (!s.nonfiscal->title.empty()) page.center(s.nonfiscal->title);
  });
  return Outcome::ok;
}

Outcome Session::open_report(std::string_view title) { return impl_->run("open_report", {std::string(title)}); }

Outcome Session::print_line(std::string_view text) { return impl_->run("print_line", {std::string(text)}); }

Outcome Session::close_report() { return impl_->run("close_report", {}); }

}  // namespace ksim
