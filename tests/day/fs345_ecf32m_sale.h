// The sales of the whole-day tests of SIGTRONFS345 and DIGIARTE1E, through
// the real exports of libkalpo.
#pragma once

#include <string>
#include <vector>

#include "harness.h"

namespace kalpo::day {

struct SaleItem {
  const char *code, *description, *rate;
  double quantity, price;
};

struct SalePayment {
  const char *form;
  double amount;
};

struct Sale {
  std::vector<SaleItem> items;
  double discount = 0;
  std::vector<SalePayment> payments;
  int cancel_item = 0;  // an item cancelled before the closing (0: none)
};

// The caller's text control holding the promotional message.
struct MessageControl {
  std::string text;
  KALPO_TextControl control{this, &get, &set};
  static const char *KALPO_CALL get(void *self) { return static_cast<MessageControl *>(self)->text.c_str(); }
  static void KALPO_CALL set(void *self, const char *text) { static_cast<MessageControl *>(self)->text = text; }
};

inline bool sell(const char *model, const SaleItem &i) {
  return KALPO_VendaItem(model, i.code, i.description, i.rate, "", i.quantity, 2, i.price, "", 0) == 1;
}

// The rest of a sale, the coupon open, from its item `first` on; every call
// expected to succeed.
inline void finish_sale(const char *model, const Sale &sale, std::size_t first = 0) {
  for (std::size_t i = first; i < sale.items.size(); ++i) EXPECT_TRUE(sell(model, sale.items[i])) << i;
  if (sale.cancel_item) {
    EXPECT_EQ(KALPO_Cancela_Item(model, sale.cancel_item), 1);
  }
  EXPECT_EQ(KALPO_Inicia_Fechamento(model, sale.discount), 1);
  for (const SalePayment &p : sale.payments) EXPECT_EQ(KALPO_forma_pagamento(model, p.form, p.amount), 1) << p.form;
  MessageControl message{"VOLTE SEMPRE"};
  EXPECT_EQ(KALPO_fecha_cupom(model, &message.control), 1);
}

// Runs one sale; the coupon number handed back at the opening.
inline std::string run_sale(const char *model, const Sale &sale) {
  const char *number = "";
  EXPECT_EQ(KALPO_AbreCupom(model, &number, "", "", ""), 1);
  const std::string coupon = number ? number : "";
  finish_sale(model, sale);
  return coupon;
}

// The titles of the pages of a tape.
inline std::vector<std::string> titles(const std::vector<ksim::Page> &tape) {
  std::vector<std::string> out;
  for (const ksim::Page &page : tape) out.push_back(page.title);
  return out;
}

// Whether a message holding this text was shown.
inline bool shown(const std::vector<Message> &messages, std::string_view text) {
  for (const Message &m : messages)
    if (m.text.find(text) != std::string::npos) return true;
  return false;
}

struct FaultCase {
  const char *fault, *value;
  bool once;
  const char *message;  // a part of the message KALPO shows
};

struct RefusedItem {
  SaleItem item;
  const char *message;
};

class SaleDay : public DayTest {
 protected:
  // For each fault, in a fresh printer: a sale's second item meets it and
  // fails with the message; with the fault gone the sale completes, the
  // first item kept and the grand total `total`.
  void faults_lose_nothing(const char *model, const char *library, const Sale &sale, ksim::Cents total,
                           const std::vector<FaultCase> &cases) {
    for (const FaultCase &c : cases) {
      SCOPED_TRACE(c.fault);
      fresh_folders();
      const char *number = nullptr;
      ASSERT_EQ(KALPO_AbreCupom(model, &number, "", "", ""), 1);
      ASSERT_TRUE(sell(model, sale.items[0]));
      set_fault(library, c.fault, c.value, c.once);
      EXPECT_FALSE(sell(model, sale.items[1]));
      EXPECT_TRUE(shown(take_messages(), c.message));
      clear_faults(library);
      ASSERT_TRUE(state(library).coupon.has_value());
      EXPECT_EQ(state(library).coupon->items.size(), 1u);
      finish_sale(model, sale, 1);
      EXPECT_TRUE(take_messages().empty());
      EXPECT_EQ(state(library).ccf, 1u);
      EXPECT_EQ(state(library).grand_total, total);
    }
  }

  // Opens a coupon; each item is refused with its message.
  void items_refused(const char *model, const std::vector<RefusedItem> &cases) {
    const char *number = nullptr;
    ASSERT_EQ(KALPO_AbreCupom(model, &number, "", "", ""), 1);
    for (const RefusedItem &c : cases) {
      EXPECT_FALSE(sell(model, c.item));
      EXPECT_TRUE(shown(take_messages(), c.message)) << c.message;
    }
  }
};

}  // namespace kalpo::day
