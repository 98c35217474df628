// The lines of several processes tracing to one file at once stay whole,
// however long (each goes out in one append).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "entry/trace.h"
#include "kalpo.h"
#include "support/fake.h"

namespace {

TEST(TraceAppend, LinesOfSeveralProcessesNeverTear) {
  constexpr int kProcesses = 4, kCalls = 150;
  const std::string path = ::testing::TempDir() + "kalpo_trace_append.jsonl";
  std::remove(path.c_str());
  setenv("KALPO_TRACE", path.c_str(), 1);
  const std::string text(6000, 'x');  // three of them make a line of 18 KB
  const std::string args = '"' + text + "\",\"" + text + "\",\"" + text + "\"]";
  pid_t children[kProcesses];
  for (pid_t &child : children) {
    child = fork();
    if (child != 0) continue;
    kalpo::entry::trace::mode = kalpo::entry::trace::Mode::unknown;
    kalpo::test::Fake fake;
    const char *number = nullptr;
    for (int i = 0; i < kCalls; ++i) KALPO_AbreCupom("NOTAFISCAL", &number, text.c_str(), text.c_str(), text.c_str());
    _exit(0);
  }
  for (pid_t child : children) waitpid(child, nullptr, 0);
  unsetenv("KALPO_TRACE");

  std::ifstream in(path);
  int headers = 0, records = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("{\"kalpo_trace\":2,") && line.ends_with("}")) {
      ++headers;
    } else {
      EXPECT_TRUE(line.starts_with("{\"time\":") && line.ends_with("}") && line.find(args) != std::string::npos)
          << "a torn line of " << line.size() << " bytes";
      ++records;
    }
  }
  EXPECT_EQ(headers, kProcesses);
  EXPECT_EQ(records, kProcesses * kCalls);
  std::remove(path.c_str());
}

// A trace file planted by another user, or one others may write, is not
// written; the call goes on.
TEST(TraceAppend, OnlyTheUsersOwnFile) {
  const std::string path = ::testing::TempDir() + "kalpo_trace_planted.jsonl";
  const struct {
    mode_t mode;
    uid_t owner;  // 0: the user's own
    const char *why;
  } cases[] = {
      {0600, 0, nullptr},
      {0666, 0, "may be written by other users"},
      {0620, 0, "may be written by other users"},
      {0600, 65534, "belongs to another user"},
  };
  for (const auto &c : cases) {
    if (c.owner && ::geteuid() != 0) continue;  // only root can give a file away
    std::remove(path.c_str());
    std::ofstream(path) << "";
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    if (c.owner) {
      ASSERT_EQ(::chown(path.c_str(), c.owner, c.owner), 0);
    }
    setenv("KALPO_TRACE", path.c_str(), 1);
    kalpo::entry::trace::mode = kalpo::entry::trace::Mode::unknown;
    kalpo::test::Fake fake;
    const char *number = nullptr;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(KALPO_AbreCupom("NOTAFISCAL", &number, "CLIENTE", "RUA", "123"), 1);
    const std::string said = ::testing::internal::GetCapturedStderr();
    unsetenv("KALPO_TRACE");
    kalpo::entry::trace::mode = kalpo::entry::trace::Mode::unknown;
    std::ifstream in(path);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (c.why) {
      EXPECT_EQ(written, "") << c.mode;
      EXPECT_NE(said.find(c.why), std::string::npos) << said;
    } else {
      EXPECT_NE(written.find("CLIENTE"), std::string::npos);
    }
  }
  std::remove(path.c_str());
}

}  // namespace
