#include "base/message_codes.h"

namespace kalpo::base {
namespace {

using C = MessageCode;

constexpr MessageCodeName kCodes[] = {
    {C::no_error, "no_error", "the maker reports success"},
    {C::paper_low, "paper_low", "the paper is running out"},
    {C::paper_end, "paper_end", "the paper ran out, or the paper or its cover is in the way"},
    {C::printer_off, "printer_off", "the printer does not answer: off, disconnected, or its port cannot be opened"},
    {C::communication, "communication",
     "the exchange with the printer failed: a checksum, a frame, an overflow or an answer that cannot be read"},
    {C::printer_error, "printer_error", "the printer reports a fault of its own: mechanism, memory, power"},
    {C::intervention, "intervention", "the printer is in, or needs, technical intervention or maintenance mode"},
    {C::coupon_open, "coupon_open", "a coupon or document is open, and the command is not taken while it is"},
    {C::coupon_closed, "coupon_closed", "no coupon or document is open, and the command needs one"},
    {C::sequence, "sequence", "a step out of the document's order: items, discounts, total, payments, closing"},
    {C::item, "item", "the item is unknown, not sold in this coupon, or cancelled already"},
    {C::discount, "discount", "a discount or surcharge is not allowed, wrong, or done already"},
    {C::reduction_due, "reduction_due", "a Z reduction is due before the printer sells again"},
    {C::day_closed, "day_closed", "the day's Z reduction is done already: no more sales today"},
    {C::day_open, "day_open", "the fiscal day is open: the change is taken only after its Z reduction"},
    {C::day_not_open, "day_not_open", "the fiscal day is not open, or has no sales yet"},
    {C::fiscal_memory, "fiscal_memory", "the fiscal memory is full, missing, or failed"},
    {C::detail_memory, "detail_memory", "the electronic detail tape memory is full, missing, or failed"},
    {C::limit_reached, "limit_reached", "a count or memory of the printer is exhausted: items, lines, users, reports"},
    {C::clock, "clock", "the printer's clock, date or time is wrong, or refuses the change"},
    {C::tax_rate, "tax_rate", "a tax rate is not programmed, wrong, or the rates are full"},
    {C::payment, "payment", "a form of payment is unknown, not programmed, or the amount paid is wrong"},
    {C::transaction, "transaction", "an electronic payment transaction was refused, cancelled or not finished"},
    {C::cancel_refused, "cancel_refused", "the cancellation is not allowed, or there is nothing to cancel"},
    {C::invalid_command, "invalid_command", "the printer does not know the command, or not in this state"},
    {C::invalid_parameter, "invalid_parameter", "an argument is wrong: its kind, count, range or text"},
    {C::printer_setup, "printer_setup",
     "the printer lacks data it must be programmed with: owner, header, reports, departments"},
    {C::auxiliary_device, "auxiliary_device", "the cheque printer, scanner or another auxiliary device refused"},
    {C::unsupported, "unsupported", "the printer model or KALPO does not offer this operation"},
    {C::configuration, "configuration", "a configuration or data file is missing, unreadable or not written"},
    {C::not_executed, "not_executed", "the command was not carried out; the messages beside it say why"},
    {C::aborted, "aborted", "the operator declined the operation"},
    {C::library_error, "library_error", "an internal error of KALPO"},
    {C::information, "information", "information for the operator, not a fault"},
    {C::question, "question", "a question to the operator"},
    {C::other, "other", "any other message"},
};
static_assert(std::size(kCodes) == static_cast<std::size_t>(C::other) + 1);

constexpr bool in_order() {
  for (std::size_t i = 0; i < std::size(kCodes); ++i)
    if (static_cast<std::size_t>(kCodes[i].code) != i) return false;
  return true;
}
static_assert(in_order());

}  // namespace

std::span<const MessageCodeName> message_codes() { return kCodes; }

std::string_view code_name(MessageCode code) {
  const auto at = static_cast<std::size_t>(code);
  return at < std::size(kCodes) ? kCodes[at].name : kCodes[std::size(kCodes) - 1].name;
}

}  // namespace kalpo::base
