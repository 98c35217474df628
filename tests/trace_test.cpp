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
  const char *date = nullptr;
  KALPO_LeData("DATAREGISQUICK", &date);

  const std::vector<std::string> lines = trace.lines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].find("{\"kalpo_trace\":2,\"kalpo\":\"" KALPO_VERSION_TEXT "\",\"platform\":"), 0u) << lines[0];
  for (const char *part : {"\"export\":\"KALPO_NumeroCupom\"", "\"args\":[\"BEMATECHMP20\",null]",
                           "{\"vendor\":\"Bematech_FI_NumeroCupom\",\"kinds\":\"b\",\"args\":[{\"out\":\"000042\","
                           "\"size\":6}],\"return\":1}",
                           "\"result\":1", "\"out\":{\"1\":\"000042\"}", "\"ms\":"})
    EXPECT_NE(lines[1].find(part), std::string::npos) << part << " in " << lines[1];
  for (const char *part : {"\"args\":[\"BEMATECHMP20\",null,null,null,5]", "\"text\":\"A Redu\xC3\xA7\xC3\xA3o Z",
                           "\"flags\":36,\"button\":7", "\"result\":0", "\"out\":{\"4\":5}"})
    EXPECT_NE(lines[2].find(part), std::string::npos) << part << " in " << lines[2];
  for (const char *part : {"{\"platform\":\"clock\",\"return\":\"2026-12-07T14:05:09\"}",
                           "{\"platform\":\"regional\",\"return\":{\"decimal\":\",\",\"thousands\":\".\","
                           "\"short_date\":\"dd/MM/yyyy\"}}",
                           "\"out\":{\"1\":\"07/12/2026\"}"})
    EXPECT_NE(lines[3].find(part), std::string::npos) << part << " in " << lines[3];
}

// In a replay the workstation answers from the answers file, each kind of
// reading in its order; what it does not answer is as on an empty
// workstation (here the fake's clock and regional settings), and nothing on
// the workstation is removed.
TEST(Trace, AReplayAnswersTheWorkstationFromItsAnswersFile) {
  struct Row {
    const char *answers;
    const char *date;     // KALPO_LeData on DATAREGISQUICK
    bool marker_handled;  // KALPO_Cancela_Ultimo_Cupom on BEMATECHMP20 saw c:\canc.txt
  };
  const Row rows[] = {
      {"clock\t2031\t01\t02\t03\t04\t05\nregional\t,\t.\tyyyy-MM-dd\n", "2031-01-02", false},
      {"regional\t.\t,\tM/d/yy\nclock\t2030\t11\t9\t0\t0\t0\nfile_exists\t1\nprofile\tS\nremove_file\t1\n", "11/9/30",
       true},
      {"", "07/12/2026", false},
  };
  const std::string answers = temp_path("kalpo_trace_answers.txt");
  for (const Row &row : rows) {
    Fake fake;
    fake.files["c:\\canc.txt"] = "";
    std::ofstream(answers, std::ios::binary) << row.answers;
    set_variable("KALPO_REPLAY_WORKSTATION", answers.c_str());
    {
      TraceTo trace(temp_path("kalpo_trace_answered.jsonl"));
      const char *date = nullptr;
      KALPO_LeData("DATAREGISQUICK", &date);
      EXPECT_STREQ(date, row.date) << row.answers;
      std::ofstream(answers, std::ios::binary) << row.answers;
      fake.clear();
      const char *number = nullptr, *state = nullptr;
      KALPO_Cancela_Ultimo_Cupom("BEMATECHMP20", nullptr, nullptr, nullptr, &number, &state);
      const auto &t = fake.transcript();
      EXPECT_EQ(std::find(t.begin(), t.end(), "Bematech_FI_LinhasEntreCupons(15)") != t.end(), row.marker_handled)
          << row.answers;
      EXPECT_EQ(fake.files.count("c:\\canc.txt"), 1u) << row.answers;
    }
    set_variable("KALPO_REPLAY_WORKSTATION", nullptr);
  }
  std::remove(answers.c_str());
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
