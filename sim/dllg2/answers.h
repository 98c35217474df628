// The command driver's answer conventions: what DLLG2_ExecutaComando returns,
// the error code DLLG2_ObtemCodErro reports for each outcome of the fiscal
// core, and the returned values of a command.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/printer.h"

namespace dllg2 {

// DLLG2_ExecutaComando: the printer answered (with or without an error code),
// or the exchange did not complete (no answer, time-out, unknown handle).
inline constexpr std::int32_t answered = 1;
inline constexpr std::int32_t not_answered = -1;
// What the other exports answer for an unknown handle, a name not found, a
// driver that would not start and an argument out of range.
inline constexpr std::int32_t no_instance = -1, not_found = -1, refused_start = -1, bad_argument = -2;

// The error codes this driver reports, by what their texts say.
namespace code {
inline constexpr int none = 0;
inline constexpr int paper_out = 7003;      // no paper to print
inline constexpr int paper_ran_out = 7004;  // paper ran out while printing
inline constexpr int out_of_sequence = 8000;
inline constexpr int bad_product_code = 8001;
inline constexpr int bad_description = 8002;
inline constexpr int bad_quantity = 8003;
inline constexpr int bad_rate_index = 8004;
inline constexpr int rate_not_loaded = 8005;
inline constexpr int zero_total = 8007;
inline constexpr int bad_form_index = 8011;
inline constexpr int coupon_total_zero = 8013;
inline constexpr int form_not_defined = 8014;
inline constexpr int day_without_movement = 8016;
inline constexpr int paid_below_total = 8017;
inline constexpr int report_not_defined = 8018;
inline constexpr int report_out_of_range = 8019;
inline constexpr int daylight_after_z = 8023;
inline constexpr int item_not_sold = 8026;
inline constexpr int too_many_message_lines = 8039;
inline constexpr int clock_already_so = 8040;
inline constexpr int bad_surcharge = 8041;
inline constexpr int bad_linked_coo = 8043;
inline constexpr int discount_over_100 = 8046;
inline constexpr int no_value_nor_percent = 8048;
inline constexpr int cancelled_item = 8049;
inline constexpr int bad_adjustment_cancel = 8050;
inline constexpr int bad_adjustment = 8051;
inline constexpr int voucher_parameter_missing = 8056;
inline constexpr int rate_missing = 8058;
inline constexpr int form_missing = 8059;
inline constexpr int voucher_value_missing = 8066;
inline constexpr int form_not_in_coupon = 8068;
inline constexpr int one_adjustment_per_coupon = 8078;
inline constexpr int price_too_long = 8080;
inline constexpr int discount_too_big = 8082;
inline constexpr int surcharge_over_999 = 8083;
inline constexpr int surcharge_too_long = 8084;
inline constexpr int bad_cancel = 8086;
inline constexpr int bad_clock_state = 8092;
inline constexpr int bad_parameter = 11000;
inline constexpr int parameter_syntax = 11001;
inline constexpr int bad_value = 11002;
inline constexpr int bad_characters = 11003;
inline constexpr int repeated_parameter = 11004;
inline constexpr int missing_parameter = 11005;
inline constexpr int unknown_command = 11006;
inline constexpr int timed_out = 11010;
inline constexpr int bad_register_name = 11011;
inline constexpr int bad_register_type = 11012;
inline constexpr int read_only_register = 11013;
inline constexpr int day_closed = 15007;
inline constexpr int reduction_pending = 15009;
inline constexpr int document_already_ended = 15012;
inline constexpr int no_dtr = 15013;  // nothing answers on the line
}  // namespace code

// Context-specific codes that replace the general one for some outcomes.
using Overrides = std::initializer_list<std::pair<ksim::Outcome, int>>;

// The error code of an outcome of the fiscal core; `refused` gives the code
// injected through the faults file.
int code_for(const ksim::Session &session, ksim::Outcome outcome, Overrides overrides = {});

// One returned value of a command ("ValorInteiro" = "12").  Numeric values
// are spoilt by the "unreadable" fault.
struct Return {
  std::string name, value;
  bool numeric = false;
};
using Returns = std::vector<Return>;

// The text DLLG2_ObtemRetornos hands out: Name="value" pairs joined by ';'
// (a quote inside a value is doubled), only `filter` when it is not empty.
std::string returns_text(const Returns &returns, std::string_view filter);

// Every digit of the numeric returns made unreadable.
void spoil_numbers(Returns &returns);

}  // namespace dllg2
