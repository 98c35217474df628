#include <gtest/gtest.h>

#include "kalpo.h"
#include "support/fake.h"

TEST(Smoke, Loads) {
  kalpo::test::Fake fake;
  EXPECT_EQ(KALPO_AbreCupom("ECFZANTRELLO", nullptr, "", "", ""), 1);
}
