// The call trace: one JSON line per export call, with the maker calls,
// messages, result and out values; never a changed result.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "entry/trace.h"
#include "kalpo.h"
#include "support/fake.h"

namespace {

using kalpo::test::Fake;

void set_variable(const char *name, const char *value) {
#if defined(_WIN32)
  _putenv_s(name, value ? value : "");
#else
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
#endif
}

// KALPO_TRACE naming `path` for the length of a test.
class TraceTo {
 public:
  explicit TraceTo(std::string path) : path_(std::move(path)) {
    std::remove(path_.c_str());
    set_variable("KALPO_TRACE", path_.c_str());
    kalpo::entry::trace::mode = kalpo::entry::trace::Mode::unknown;
  }
  ~TraceTo() {
    set_variable("KALPO_TRACE", nullptr);
    kalpo::entry::trace::mode = kalpo::entry::trace::Mode::unknown;
    std::remove(path_.c_str());
  }
  std::vector<std::string> lines() const {
    std::ifstream in(path_);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
  }

 private:
  std::string path_;
};

std::string temp_path(const char *name) { return ::testing::TempDir() + name; }

TEST(Trace, OneLinePerCallWithMakerCallsMessagesResultAndOuts) {
  TraceTo trace(temp_path("kalpo_trace_test.jsonl"));
  Fake fake;
  fake.writes("Bematech_FI_NumeroCupom", 0, "000042", 1);
  const char *number = nullptr;
  ASSERT_EQ(KALPO_NumeroCupom("BEMATECHMP20", &number), 1);
  fake.confirm_answer = KALPO_BTN_NO;
  int32_t count = 5;
  ASSERT_EQ(KALPO_Reducaoz("BEMATECHMP20", nullptr, nullptr, nullptr, &count), 0);

  const std::vector<std::string> lines = trace.lines();
  ASSERT_EQ(lines.size(), 2u);
  for (const char *part : {"\"export\":\"KALPO_NumeroCupom\"", "\"args\":[\"BEMATECHMP20\",null]",
                           "{\"vendor\":\"Bematech_FI_NumeroCupom\",\"args\":[{\"out\":\"000042\"}],\"return\":1}",
                           "\"result\":1", "\"out\":{\"1\":\"000042\"}", "\"ms\":"})
    EXPECT_NE(lines[0].find(part), std::string::npos) << part << " in " << lines[0];
  for (const char *part : {"\"args\":[\"BEMATECHMP20\",null,null,null,5]", "\"text\":\"A Redu\xC3\xA7\xC3\xA3o Z",
                           "\"flags\":36,\"button\":7", "\"result\":0", "\"out\":{\"4\":5}"})
    EXPECT_NE(lines[1].find(part), std::string::npos) << part << " in " << lines[1];
}

TEST(Trace, AnUnwritableFileChangesNoResultAndNoMakerCall) {
  const std::vector<std::string> expected = [] {
    Fake fake;
    fake.writes("Bematech_FI_NumeroCupom", 0, "000042", 1);
    const char *number = nullptr;
    EXPECT_EQ(KALPO_NumeroCupom("BEMATECHMP20", &number), 1);
    EXPECT_STREQ(number, "000042");
    return fake.lines;
  }();
  TraceTo trace("/nonexistent-folder/kalpo.jsonl");
  Fake fake;
  fake.writes("Bematech_FI_NumeroCupom", 0, "000042", 1);
  const char *number = nullptr;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(KALPO_NumeroCupom("BEMATECHMP20", &number), 1);
  EXPECT_EQ(KALPO_NumeroCupom("BEMATECHMP20", &number), 1);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_STREQ(number, "000042");
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(fake.lines.size(), 2 * expected.size());
  EXPECT_EQ(kalpo::entry::trace::mode, kalpo::entry::trace::Mode::off);
}

}  // namespace
