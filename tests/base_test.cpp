// The base helpers shared by libkalpo and the kalpo tool: Windows-1252 texts
// and the configuration file, which both must read alike.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/answer_lines.h"
#include "base/cp1252.h"
#include "base/ini.h"
#include "frame/config.h"
#include "platform/platform.h"

#if defined(KALPO_TOOL) && __has_include(<nlohmann/json.hpp>)
#include <nlohmann/json.hpp>
#define KALPO_TOOL_READABLE 1
#endif

namespace {

namespace cp1252 = kalpo::base::cp1252;
namespace ini = kalpo::base::ini;

TEST(Cp1252, MalformedUtf8GivesOneQuestionMarkPerMaximalSubpart) {
  const std::vector<std::pair<std::string, std::string>> rows = {
      {"\xE2\x82(", "?("},  // a lead byte and its one valid continuation
      {"\xE2\x82", "?"},    // cut short at the end
      {"a\x80"
       "b",
       "a?b"},                               // a stray continuation byte
      {"\xC0\xAF", "??"},                    // an overlong form: no valid lead
      {"\xED\xA0\x80", "???"},               // a surrogate
      {"\xF4\x90\x80\x80", "????"},          // above U+10FFFF
      {"\xF0\x9F\x98\x80", "?"},             // well formed, without a Windows-1252 byte
      {"\xE2\x82\xAC\xC3\xA7", "\x80\xE7"},  // euro sign and c cedilla
      {"\xC2\x81", "\x81"},                  // an undefined byte maps to its C1 control
  };
  for (const auto &[utf8, expected] : rows) EXPECT_EQ(cp1252::from_utf8(utf8), expected) << utf8;
  std::string every_byte;
  for (int b = 1; b < 256; ++b) every_byte += static_cast<char>(b);
  EXPECT_EQ(cp1252::from_utf8(cp1252::to_utf8(every_byte)), every_byte);
}

// The replay's answers file: what the tool writes, libkalpo reads back
// field for field, whatever bytes a field holds.
TEST(AnswerLines, EveryFieldReadsBackAsWritten) {
  using kalpo::base::AnswerLine;
  const AnswerLine rows[] = {
      {"clock", {"2024", "03", "10", "09", "00", "00"}},
      {"regional", {",", ".", "dd/MM/yyyy"}},
      {"read_file", {std::string("a\tb\nc\rd\\e\0f", 11)}},
      {"exists", {""}},
      {"ticks", {}},
      {"read_file", {"\\", "\\t", "\xE7\x80"}},
  };
  for (const AnswerLine &row : rows) {
    const std::string line = kalpo::base::answer_line(row);
    ASSERT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    ASSERT_EQ(line.back(), '\n');
    const AnswerLine back = kalpo::base::parse_answer_line(std::string_view(line).substr(0, line.size() - 1));
    EXPECT_EQ(back.kind, row.kind);
    EXPECT_EQ(back.fields, row.fields) << line;
  }
}

TEST(Ini, SetChangesOneLineAndReadsBack) {
  struct Row {
    std::string contents, key, value;
    std::optional<std::string> expected;
  };
  const std::vector<Row> rows = {
      {"", "PORTACOM", "COM2", "[ECF]\r\nPORTACOM=COM2\r\n"},
      {"[ECF]\r\nportacom = COM1 ; x\r\nMENSAGEM=Oi\r\n", "PORTACOM", "COM2",
       "[ECF]\r\nPORTACOM=COM2\r\nMENSAGEM=Oi\r\n"},
      {"[ECF] ; serial\nVELOCIDADE=9600\n\n[Outra]\nX=1\n", "PORTACOM", "COM2",
       "[ECF] ; serial\nVELOCIDADE=9600\nPORTACOM=COM2\n\n[Outra]\nX=1\n"},
      {"[ECF]\r\nVELOCIDADE=9600", "PORTACOM", "COM2", "[ECF]\r\nVELOCIDADE=9600\r\nPORTACOM=COM2\r\n"},
      {"[Outra]\r\nX=1", "PORTACOM", "COM2", "[Outra]\r\nX=1\r\n\r\n[ECF]\r\nPORTACOM=COM2\r\n"},
      {"[ECF\r\nPORTACOM=COM1\r\n", "PORTACOM", "COM2", "[ECF\r\nPORTACOM=COM1\r\n\r\n[ECF]\r\nPORTACOM=COM2\r\n"},
      {"[ECF]\r\n", "MENSAGEM", "Volte\r\nsempre", std::nullopt},
      {"[ECF]\r\n", "A=B", "1", std::nullopt},
      {"[ECF]\r\n", " PORTACOM", "COM2", std::nullopt},
  };
  for (const Row &row : rows) {
    const std::optional<std::string> written = ini::set(row.contents, "ECF", row.key, row.value);
    EXPECT_EQ(written, row.expected) << row.contents;
    std::string read;
    if (written) {
      EXPECT_TRUE(ini::lookup(*written, "ECF", row.key, read) && read == row.value) << *written;
    }
  }
}

#ifdef KALPO_TOOL_READABLE
// The same file through libkalpo's configuration reading and through
// `kalpo config show`.
TEST(Ini, LibraryAndToolReadTheSameValues) {
  struct Row {
    const char *contents;
    const char *portacom, *mensagem;  // as read; the key's default when absent
  };
  const std::vector<Row> rows = {
      {"[ECF]\r\nPORTACOM='COM2'\r\n", "COM2", ""},
      {"[ECF] ; serial\r\nPORTACOM=COM3\r\n", "COM3", ""},
      {"[ecf]\nportacom = COM4 \nMENSAGEM=\"Volte sempre!\"\n", "COM4", "Volte sempre!"},
      {"[ECF]\rPORTACOM=COM5\rMENSAGEM=Promo\xE7\xE3o\r", "COM5", "Promo\xE7\xE3o"},
      {"[ECF\r\nPORTACOM=COM6\r\n", "COM1", ""},
      {"[Outra]\r\nPORTACOM=COM7\r\n[ECF]\r\nMENSAGEM=Oi\r\n[ECF]\r\nPORTACOM=COM8\r\n", "COM8", "Oi"},
  };
  std::string pattern = (std::filesystem::temp_directory_path() / "kalpo-base-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const std::filesystem::path drive_c = pattern;
  std::filesystem::create_directories(drive_c / "zantrello" / "configs");
  setenv("KALPO_DRIVE_C", drive_c.c_str(), 1);
  kalpo::platform::install(nullptr);
  for (const Row &row : rows) {
    std::ofstream(drive_c / "zantrello" / "configs" / "kalpo.ini", std::ios::binary | std::ios::trunc) << row.contents;
    EXPECT_EQ(kalpo::frame::config::read("PORTACOM", "COM1"), row.portacom) << row.contents;
    EXPECT_EQ(kalpo::frame::config::read("MENSAGEM", ""), row.mensagem) << row.contents;

    const std::string command = "KALPO_DRIVE_C='" + drive_c.string() + "' " KALPO_TOOL " config show --json";
    std::string output;
    if (FILE *pipe = popen(command.c_str(), "r")) {
      char buffer[4096];
      for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, n);
      pclose(pipe);
    }
    const nlohmann::json shown = nlohmann::json::parse(output, nullptr, false);
    ASSERT_FALSE(shown.is_discarded()) << output;
    EXPECT_EQ(shown["keys"]["PORTACOM"]["value"], row.portacom) << row.contents;
    EXPECT_EQ(shown["keys"]["MENSAGEM"]["value"], cp1252::to_utf8(row.mensagem)) << row.contents;
  }
  unsetenv("KALPO_DRIVE_C");
  std::filesystem::remove_all(drive_c);
}
#endif

}  // namespace
