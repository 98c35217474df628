// The state as fields of a record: the checkpoint written at each Z
// reduction (the state and the journal position it stands for), and the
// lines of the detail memory (a coupon each) and of the fiscal memory (a
// reduction each).  One visit per structure
// serves both writing and reading, so the two cannot drift apart.
#include <type_traits>

#include "core/internal.h"

namespace ksim {
namespace {

constexpr const char *kCheckpointMark = "kalpo checkpoint 2";

class Writer {
 public:
  std::vector<std::string> fields;

  void operator()(const std::string &value) { fields.push_back(value); }
  template <class N>
  requires std::is_arithmetic_v<N> || std::is_enum_v<N>
  void operator()(const N &value) { fields.push_back(number(static_cast<std::int64_t>(value))); }
  template <class C, class F>
  void list(const C &items, F each) {
    (*this)(items.size());
    for (const auto &item : items) each(item);
  }
  template <class T, class F>
  void maybe(const std::optional<T> &value, F each) {
    (*this)(value.has_value());
    if (value) each(*value);
  }
};

class Reader {
 public:
  explicit Reader(const std::vector<std::string> &fields, std::size_t first) : fields_(fields), next_(first) {}
  bool ok() const { return ok_ && next_ == fields_.size(); }

  void operator()(std::string &value) {
    if (next_ < fields_.size())
      value = fields_[next_++];
    else
      ok_ = false;
  }
  template <class N>
  requires std::is_arithmetic_v<N> || std::is_enum_v<N>
  void operator()(N &value) {
    std::int64_t read = 0;
    if (next_ < fields_.size() && parse_int(fields_[next_++], read))
      value = static_cast<N>(read);
    else
      ok_ = false;
  }
  template <class C, class F>
  void list(C &items, F each) {
    std::size_t count = 0;
    (*this)(count);
    items.clear();
    for (std::size_t i = 0; ok_ && i < count && next_ < fields_.size(); ++i) {
      typename C::value_type item{};
      each(item);
      items.push_back(std::move(item));
    }
  }
  template <class T, class F>
  void maybe(std::optional<T> &value, F each) {
    bool present = false;
    (*this)(present);
    value.reset();
    if (!present) return;
    T item{};
    each(item);
    value = std::move(item);
  }

 private:
  const std::vector<std::string> &fields_;
  std::size_t next_;
  bool ok_ = true;
};

// Each structure's fields, in order.  S is the structure, const when written.
template <class A, class S>
void visit_pair(A &a, S &pair) {
  a(pair.first);
  a(pair.second);
}

template <class A, class S>
void visit_pairs(A &a, S &pairs) {
  a.list(pairs, [&](auto &pair) { visit_pair(a, pair); });
}

template <class A, class S>
void visit_item(A &a, S &i) {
  a(i.number), a(i.code), a(i.description), a(i.unit), a(i.rate);
  a(i.quantity), a(i.unit_price), a(i.discount), a(i.total), a(i.cancelled);
  a(i.quantity_decimals), a(i.price_decimals);
}

template <class A, class S>
void visit_coupon(A &a, S &c) {
  a(c.coo), a(c.ccf), a(c.customer_name), a(c.customer_address), a(c.customer_document);
  a.list(c.items, [&](auto &item) { visit_item(a, item); });
  a(c.adjustment);
  a.list(c.payments, [&](auto &p) { a(p.form), a(p.amount), a(p.vouchered); });
  a(c.phase), a(c.message), a(c.closed), a(c.cancelled), a(c.day);
}

template <class A, class S>
void visit_reduction(A &a, S &r) {
  a(r.crz), a(r.coo), a(r.cro), a(r.date), a(r.when);
  a(r.grand_total), a(r.gross), a(r.cancellations), a(r.discounts), a(r.surcharges);
  visit_pairs(a, r.per_rate);
}

template <class A, class S>
void visit_nonfiscal(A &a, S &n) {
  a(n.kind), a(n.coo), a(n.form), a(n.amount), a(n.coupon_coo), a(n.title);
  a.list(n.lines, [&](auto &line) { a(line); });
}

template <class A, class S>
void visit_state(A &a, S &s) {
  a(s.identity.serial), a(s.identity.firmware), a(s.identity.store_name);
  a(s.identity.cnpj), a(s.identity.ie), a(s.identity.address);
  a.list(s.rates, [&](auto &r) { a(r.code), a(r.index), a(r.basis_points); });
  a.list(s.forms, [&](auto &f) { a(f.index), a(f.name); });
  a(s.coo), a(s.ccf), a(s.gnf), a(s.crz), a(s.cro), a(s.ccdc), a(s.grg), a(s.grand_total);
  a(s.day), a(s.last_reduction_day);
  a(s.day_gross), a(s.day_cancellations), a(s.day_discounts), a(s.day_surcharges);
  visit_pairs(a, s.day_per_rate);
  a(s.open);
  a.maybe(s.coupon, [&](auto &c) { visit_coupon(a, c); });
  a(s.last_document_is_coupon);
  a(s.clock_offset), a(s.daylight_saving), a(s.lines_between_documents), a(s.cut_next), a(s.drawer_openings);
  a.maybe(s.nonfiscal, [&](auto &n) { visit_nonfiscal(a, n); });
  a(s.day_supplies);
  visit_pairs(a, s.day_per_form);
  // The settings, as name and value pairs.
  if constexpr (std::is_const_v<S>) {
    a.list(s.values, [&](auto &value) { visit_pair(a, value); });
  } else {
    std::vector<std::pair<std::string, std::string>> values;
    visit_pairs(a, values);
    s.values = {values.begin(), values.end()};
  }
  a(s.cuts), a(s.fed_lines);
}

template <class A, class P>
void visit_position(A &a, P &p) {
  a(p.offset), a(p.records), a(p.last_start), a(p.last_crc), a(p.tape_bytes), a(p.detail_bytes), a(p.reduction_bytes);
}

}  // namespace

std::string checkpoint_text(const Position &position, const State &state) {
  Writer writer;
  writer(std::string(kCheckpointMark));
  visit_position(writer, position);
  visit_state(writer, state);
  writer(state.fiscal_memory.size());
  std::optional<Reduction> last;
  if (!state.fiscal_memory.empty()) last = state.fiscal_memory.back();
  writer.maybe(last, [&](auto &r) { visit_reduction(writer, r); });
  return encode_fields(writer.fields);
}

std::string read_checkpoint(std::string_view text, Checkpoint &checkpoint) {
  if (text.empty()) return "empty";
  if (text.back() != '\n') return "cut short";
  std::vector<std::string> fields;
  if (std::string why = decode_fields(text.substr(0, text.size() - 1), fields); !why.empty()) return why;
  if (fields.empty() || fields[0] != kCheckpointMark) return "not a checkpoint";
  Reader reader(fields, 1);
  Checkpoint read;
  visit_position(reader, read.at);
  visit_state(reader, read.state);
  reader(read.reductions);
  reader.maybe(read.last, [&](auto &r) { visit_reduction(reader, r); });
  if (!reader.ok() || (read.reductions > 0) != read.last.has_value()) return "bad fields";
  checkpoint = std::move(read);
  return {};
}

std::string detail_text(const Detail &detail) {
  Writer writer;
  writer(detail.coupon.day);
  writer(detail.when);
  visit_coupon(writer, detail.coupon);
  return encode_fields(writer.fields);
}

bool read_detail(std::string_view line, Detail &detail) {
  std::vector<std::string> fields;
  if (!decode_fields(line, fields).empty()) return false;
  Reader reader(fields, 0);
  std::string day;
  reader(day);
  reader(detail.when);
  visit_coupon(reader, detail.coupon);
  return reader.ok() && day == detail.coupon.day;
}

std::string reduction_text(const Reduction &reduction) {
  Writer writer;
  visit_reduction(writer, reduction);
  return encode_fields(writer.fields);
}

bool read_reduction(std::string_view line, Reduction &reduction) {
  std::vector<std::string> fields;
  if (!decode_fields(line, fields).empty()) return false;
  Reader reader(fields, 0);
  visit_reduction(reader, reduction);
  return reader.ok();
}

}  // namespace ksim
