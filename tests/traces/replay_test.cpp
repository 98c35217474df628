// The two places where a trace from a store meets a caller's memory and a
// support engineer's eyes: a replay maker library hands back no more than
// the caller's buffer holds, and a difference is marked under what differs.
#include <gtest/gtest.h>

#include <string>

#include "replay/answers.h"
#include "replay/trace_reader.h"
#include "replay_report.h"

namespace {

// The maker calls of a NumeroCupom record, as the replay hands them.
std::vector<kreplay::MakerCall> number_calls(const std::string &out, int size) {
  return kreplay::check_record(
      nlohmann::json::parse(R"({"export":"KALPO_NumeroCupom","args":["BEMATECHMP20",null],"steps":[)"
                            R"({"vendor":"Bematech_FI_NumeroCupom","kinds":"b","args":[{"out":")" +
                            out + R"(","size":)" + std::to_string(size) + R"(}],"return":1}],"result":1,"out":{}})"),
      2);
}

std::int32_t number(kreplay::Replay &replay, std::string &buffer) {
  return kreplay::answer<std::int32_t>(replay, "Bematech_FI_NumeroCupom", std::make_tuple(buffer.data()));
}

TEST(ReplayLibrary, HandsBackWithinTheCallersBuffer) {
  struct Row {
    const char *out;
    int recorded_size;
    std::size_t width;    // the caller's buffer: this many blanks, a zero, a guard byte
    std::int32_t result;  // -6: not the recorded call (another width), answered as a printer off
    std::string after;
  };
  const Row rows[] = {
      {"000042", 6, 6, 1, std::string("000042\0#", 8)},   {"42", 6, 6, 1, std::string("42\0   \0#", 8)},
      {"", 6, 6, 1, std::string("\0     \0#", 8)},        {"000042", 6, 4, -6, std::string("    \0#", 6)},
      {"0000420", 7, 6, -6, std::string("      \0#", 8)},
  };
  for (const Row &row : rows) {
    kreplay::Replay replay("bemafi32");
    replay.take(number_calls(row.out, row.recorded_size));
    std::string buffer(row.width, ' ');
    buffer += std::string("\0#", 2);
    EXPECT_EQ(number(replay, buffer), row.result) << row.out;
    EXPECT_EQ(buffer, row.after) << row.out;
  }
}

// A call more than its export call recorded is never answered from another
// record: as by a printer that is off, writing nothing.
TEST(ReplayLibrary, AnswersNoMoreCallsThanTheRecordHolds) {
  kreplay::Replay replay("bemafi32");
  replay.take(number_calls("000042", 6));
  std::string buffer("      \0", 7);
  ASSERT_EQ(number(replay, buffer), 1);
  buffer = std::string("      \0", 7);
  EXPECT_EQ(number(replay, buffer), -6);
  EXPECT_EQ(buffer, std::string("      \0", 7));
}

TEST(ReplayReport, MarksWhatDiffersUnderIt) {
  struct Row {
    std::string recorded, made;  // one step each ("" for none)
    std::string marked, note;
  };
  const std::string item = R"({"vendor":"DAR_LinhaX","kinds":"ti","args":["ABC",49],"return":0})";
  const Row rows[] = {
      {item, R"({"vendor":"DAR_LinhaX","kinds":"ti","args":["ABD",49],"return":-1})", R"("ABD")", "argument 1 (texto)"},
      {item, R"({"vendor":"DAR_LinhaX","kinds":"ti","args":["ABC",48],"return":-1})", "48", "argument 2 (modo)"},
      {item, R"({"vendor":"DAR_FechaX","kinds":"i","args":[49],"return":-1})", "DAR_FechaX", "another call"},
      {item, "", "(nothing: KALPO went no further)", "the recorded step was not made"},
      {R"({"message":{"form":0,"caption":null,"text":"Sem papel","flags":0,"button":1}})",
       R"({"message":{"form":0,"caption":null,"text":"Sem Papel","flags":0,"button":1}})", R"("Sem Papel")",
       "the text"},
  };
  kt::Export e;
  e.name = "KALPO_usavinculado";
  for (const Row &row : rows) {
    const auto record = [](const std::string &step) {
      return nlohmann::json::parse(R"({"export":"KALPO_usavinculado","args":["SIGTRONFS345","ABC"],"steps":[)" + step +
                                   R"(],"result":1,"out":{}})");
    };
    const std::optional<kt::Divergence> d = kt::compare_records(record(row.recorded), record(row.made), 7, e);
    ASSERT_TRUE(d) << row.made;
    EXPECT_EQ(d->made.substr(d->mark_at, d->mark_length), row.marked) << d->made;
    EXPECT_EQ(d->mark_note, row.note) << d->made;
    EXPECT_NE(kt::divergence_text(*d).find("line 7: KALPO_usavinculado(\"SIGTRONFS345\", \"ABC\")"), std::string::npos);
  }
}

}  // namespace
