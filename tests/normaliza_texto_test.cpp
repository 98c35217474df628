#include <gtest/gtest.h>

#include <set>

#include "coupon/normaliza_texto.h"
#include "support/fake.h"

namespace kalpo::test {
namespace {

TEST(NormalizaTexto, Table) {
  struct Row {
    std::string in, out;  // UTF-8
  };
  const std::vector<Row> rows = {
      {"ÇçÁÀÉÈÍÌÓÒÚÙáàéèíìóòúüÜ", "CcAAEEIIOOUUaaeeiioouuU"},
      {"ãÃõÕÊêÔôöÖÂâ¦§ºª", "aAoOEeOooOAaaooa"},
      {"'^~\"/\\", "      "},
      {"Promoção: 10% à vista / cartão", "Promocao: 10% a vista   cartao"},
      {"ÄäËëÏïÎîÛûÑñ", "ÄäËëÏïÎîÛûÑñ"},
      {"Ñú", "Ñu"},
      {"linha 1\r\nlinha 2\rfim\n", "linha 1\r\nlinha 2\rfim\n"},
      {"Obrigado, volte sempre!", "Obrigado, volte sempre!"},
      {"", ""},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.in);
    std::string in = cp(row.in);
    std::string out = coupon::normaliza_texto(in);
    EXPECT_EQ(out, cp(row.out));
    EXPECT_EQ(out.size(), in.size());
  }
}

// Every byte outside the table passes unchanged, zero bytes included.
TEST(NormalizaTexto, OtherBytesUnchanged) {
  std::set<unsigned char> mapped = {'\'', '^', '~', '"', '/', '\\'};
  for (char c : cp("ÇçÁÀÉÈÍÌÓÒÚÙáàéèíìóòúüÜãÃõÕÊêÔôöÖÂâ¦§ºª")) mapped.insert(static_cast<unsigned char>(c));
  ASSERT_EQ(mapped.size(), 45u);
  for (int b = 0; b < 256; ++b) {
    if (mapped.count(static_cast<unsigned char>(b))) continue;
    std::string one(1, static_cast<char>(b));
    EXPECT_EQ(coupon::normaliza_texto(one), one) << "byte " << b;
  }
}

}  // namespace
}  // namespace kalpo::test
