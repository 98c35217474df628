// The ten printer models, the maker library each is served by, and what of
// a fiscal day each one's branch of KALPO does.
#pragma once

#include <string>
#include <vector>

namespace kt {

struct Model {
  std::string id;              // "BEMATECHMP20"
  std::string library;         // the maker library whose virtual printer serves it
  bool opening;                // KALPO_Abredia
  bool cancel_item;            // KALPO_Cancela_Item
  bool voucher;                // KALPO_cupom_vinculado and the rest
  bool report;                 // KALPO_AbreRelGerencial, KALPO_FechaGerencial
  bool command_driver;         // the discount through KALPO_desc_fechamento; KALPO_LeData
  bool identity;               // KALPO_MostraNumSerie, KALPO_FirmWare
  bool counters;               // the Bematech queries (KALPO_NumeroCupom and the rest)
  std::string rate;            // the printer's code of the 18 % rate, passed through unchanged
  std::string decimals = "2";  // decimal places of the item texts
};

const std::vector<Model> &models();
const Model *find_model(const std::string &id);
// The maker libraries with a printer of their own.
const std::vector<std::string> &printer_libraries();
// A model identifier or library name as a library name; UsageError otherwise.
std::string library_for(const std::string &given);

// Stands in the day's script for the number of the coupon just sold.
inline constexpr const char *kCouponNumber = "{COO}";

// A whole fiscal day on one model, as session-script text: the first sale,
// then the rest of the day (which names the sale's coupon by kCouponNumber).
std::vector<std::string> day_script(const Model &m);

}  // namespace kt
