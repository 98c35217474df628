// The Windows platform layer against the workstation's own services: profile
// functions, regional settings, files and folders, message boxes.  Runs in
// the Windows build of the unit tests (under Wine on the build machine).
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/ini.h"
#include "frame/config.h"
#include "kalpo.h"
#include "platform/dates.h"
#include "platform/platform.h"
#include "platform/windows.h"
#include "support/fake.h"

namespace kalpo::platform {
Platform &real();
}

namespace {

using namespace kalpo;
using namespace kalpo::frame;
using platform::Platform;

Platform &windows() { return platform::real(); }

void write_file(const std::string &path, std::string_view contents) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
  ASSERT_TRUE(out.good()) << path;
}

std::optional<std::string> slurp(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder under the temporary folder, removed with its contents.
class TempFolder {
 public:
  TempFolder() {
    char base[MAX_PATH + 1] = {};
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    path_ = std::string(base) + "kalpo_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string operator/(std::string_view name) const { return path_ + "\\" + std::string(name); }
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

// Puts a file in place for the test's lifetime and restores what was there.
class FileInPlace {
 public:
  FileInPlace(std::string path, std::string_view contents) : path_(std::move(path)), before_(slurp(path_)) {
    windows().create_directories(path_.substr(0, path_.find_last_of('\\')));
    write_file(path_, contents);
  }
  ~FileInPlace() {
    if (before_) {
      write_file(path_, *before_);
    } else {
      DeleteFileA(path_.c_str());
    }
  }

 private:
  std::string path_;
  std::optional<std::string> before_;
};

const char kIni[] =
    "[ECF]\r\n"
    "PORTACOM=COM2:19200,e,8,1\r\n"
    "VAZIO=\r\n"
    "ASPAS=\"Volte sempre!\"\r\n"
    "APOSTROFOS='entre apóstrofos'\r\n"
    "  ESPACOS  =  com brancos  \r\n"
    "minusculo=abc\r\n"
    "DUPLA=primeira\r\n"
    "DUPLA=segunda\r\n"
    "MENSAGEM=Obrigado pela preferência\r\n"
    "\r\n"
    "[Outra]\r\n"
    "PORTACOM=COM9\r\n";

struct ProfileCase {
  const char *section;
  const char *key;
  const char *fallback;
  const char *expected;  // UTF-8
};

// The Windows profile functions and the reader of the other platforms give
// the same answers for the same file.
TEST(WindowsProfile, ReadsAsTheSharedReaderDoes) {
  TempFolder folder;
  const std::string file = folder / "kalpo.ini";
  const std::string contents = test::cp(kIni);
  write_file(file, contents);
  const ProfileCase cases[] = {
      {"ECF", "PORTACOM", "COM1", "COM2:19200,e,8,1"},
      {"ecf", "portacom", "COM1", "COM2:19200,e,8,1"},
      {"ECF", "VAZIO", "N", ""},
      {"ECF", "ASPAS", "", "Volte sempre!"},
      {"ECF", "APOSTROFOS", "", "entre apóstrofos"},
      {"ECF", "ESPACOS", "", "com brancos"},
      {"ECF", "MINUSCULO", "", "abc"},
      {"ECF", "DUPLA", "", "primeira"},
      {"ECF", "MENSAGEM", "", "Obrigado pela preferência"},
      {"ECF", "AUSENTE", "COM1", "COM1"},
      {"ECF", "AUSENTE", "", ""},
      {"Nenhuma", "PORTACOM", "COM1:9600,n,8,1", "COM1:9600,n,8,1"},
      {"Outra", "PORTACOM", "COM1", "COM9"},
  };
  for (const ProfileCase &c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    const std::string expected = test::cp(c.expected);
    EXPECT_EQ(windows().profile_string(file, c.section, c.key, c.fallback), expected);
    std::string shared;
    if (!base::ini::lookup(contents, c.section, c.key, shared)) shared = c.fallback;
    EXPECT_EQ(shared, expected);
  }
  EXPECT_EQ(windows().profile_string(folder / "nenhum.ini", "ECF", "PORTACOM", "COM1"), "COM1");
}

TEST(WindowsProfile, LongValuesAreReadWhole) {
  TempFolder folder;
  const std::string file = folder / "longo.ini";
  const std::string value(3000, 'x');
  write_file(file, "[ECF]\r\nMENSAGEM=" + value + "\r\n");
  EXPECT_EQ(windows().profile_string(file, "ECF", "MENSAGEM", ""), value);
}

struct ConfigCase {
  const char *ini;
  const char *portacom;  // config::read("PORTACOM", "COM1")
  int32_t velocidade;    // config::read_int("VELOCIDADE", 115200)
  bool paper_handling;   // "DESATIVAFACA" is "S"
};

// The library's own configuration file, read through the profile functions.
TEST(WindowsProfile, ConfigurationFileOfTheLibrary) {
  const ConfigCase cases[] = {
      {"[ECF]\r\nPORTACOM=COM3\r\nVELOCIDADE=9600\r\nDESATIVAFACA=S\r\n", "COM3", 9600, true},
      {"[ECF]\r\nPORTACOM=\r\nVELOCIDADE=rápida\r\nDESATIVAFACA=s\r\n", "", 115200, false},
      {"[ECF]\r\nVELOCIDADE=\r\n", "COM1", 115200, false},
      {"[OUTRA]\r\nPORTACOM=COM4\r\n", "COM1", 115200, false},
  };
  for (const ConfigCase &c : cases) {
    SCOPED_TRACE(c.ini);
    FileInPlace ini(std::string(config::kFile), test::cp(c.ini));
    EXPECT_EQ(config::read("PORTACOM", "COM1"), c.portacom);
    EXPECT_EQ(config::read_int("VELOCIDADE", 115200), c.velocidade);
    EXPECT_EQ(config::paper_handling_on(), c.paper_handling);
  }
}

// Sets the user's regional settings for the test's lifetime.
class RegionalSettings {
 public:
  RegionalSettings(const char *decimal, const char *thousands, const char *short_date) {
    for (auto &[item, value] : saved_) value = read(item);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, short_date);
  }
  ~RegionalSettings() {
    for (auto &[item, value] : saved_) SetLocaleInfoA(LOCALE_USER_DEFAULT, item, value.c_str());
  }

 private:
  static std::string read(LCTYPE item) {
    char buffer[96] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, sizeof buffer);
    return buffer;
  }
  std::pair<LCTYPE, std::string> saved_[3] = {{LOCALE_SDECIMAL, ""}, {LOCALE_STHOUSAND, ""}, {LOCALE_SSHORTDATE, ""}};
};

TEST(WindowsRegional, FollowsTheUserSettings) {
  const platform::Regional cases[] = {
      {",", ".", "dd/MM/yyyy"},
      {".", ",", "M/d/yyyy"},
      {",", " ", "yyyy-MM-dd"},
      {",", ".", "d.M.yy"},
  };
  for (const platform::Regional &c : cases) {
    SCOPED_TRACE(c.short_date);
    RegionalSettings settings(c.decimal.c_str(), c.thousands.c_str(), c.short_date.c_str());
    platform::Regional r = windows().regional();
    EXPECT_EQ(r.decimal, c.decimal);
    EXPECT_EQ(r.thousands, c.thousands);
    EXPECT_EQ(r.short_date, c.short_date);
    // Today's date in that picture is what Windows itself writes.
    char today[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, today, sizeof today);
    EXPECT_EQ(platform::format_date(windows().now(), r.short_date), today);
  }
}

TEST(WindowsFiles, FoldersAndFiles) {
  TempFolder folder;
  const std::string nested = folder / "Zantrello\\NFP\\";
  const std::string file = folder / "Zantrello\\NFP\\canc.txt";
  const std::string bytes = std::string("linha 1\r\nNão\0fim", 16);

  EXPECT_FALSE(windows().file_exists(file));
  EXPECT_EQ(windows().file_size(file), -1);
  std::string contents = "unchanged";
  EXPECT_FALSE(windows().read_file(file, contents));
  EXPECT_EQ(contents, "unchanged");
  EXPECT_FALSE(windows().remove_file(file));

  EXPECT_TRUE(windows().create_directories(nested));
  EXPECT_TRUE(windows().create_directories(nested));  // already there
  EXPECT_FALSE(windows().file_exists(nested));        // a folder is not a file
  EXPECT_EQ(windows().file_size(folder / "Zantrello"), -1);

  write_file(file, bytes);
  EXPECT_TRUE(windows().file_exists(file));
  EXPECT_TRUE(windows().file_exists(folder / "ZANTRELLO\\nfp\\CANC.TXT"));
  EXPECT_EQ(windows().file_size(file), 16);
  EXPECT_TRUE(windows().read_file(file, contents));
  EXPECT_EQ(contents, bytes);

  // A folder cannot be made below a file.
  EXPECT_FALSE(windows().create_directories(file + "\\sub"));

  EXPECT_TRUE(windows().remove_file(file));
  EXPECT_FALSE(windows().file_exists(file));
}

TEST(WindowsFiles, EmptyFileReadsEmpty) {
  TempFolder folder;
  const std::string file = folder / "vazio.txt";
  write_file(file, "");
  std::string contents = "x";
  EXPECT_TRUE(windows().read_file(file, contents));
  EXPECT_EQ(contents, "");
  EXPECT_EQ(windows().file_size(file), 0);
}

TEST(WindowsClock, SleepAdvancesTheTicks) {
  uint64_t before = windows().ticks_ms();
  windows().sleep_ms(100);
  uint64_t after = windows().ticks_ms();
  EXPECT_GE(after - before, 70u);  // the tick counter moves in steps
  EXPECT_LT(after - before, 5000u);
}

struct BoxCase {
  int32_t form;
  const char *caption;
  uint32_t flags;
  const char *expected_caption;  // UTF-8
  uint32_t expected_style;
};

TEST(WindowsMessages, CaptionAndStyleOfEachForm) {
  const BoxCase cases[] = {
      {KALPO_MSG_NOTICE, nullptr, 0, "PDV", MB_OK},       {KALPO_MSG_DIALOG, nullptr, 0x40, "Information", 0x40},
      {KALPO_MSG_DIALOG, nullptr, 0x24, "Confirm", 0x24}, {KALPO_MSG_BOX, "Atenção", 0x40, "Atenção", 0x40},
      {KALPO_MSG_BOX, "Erro", 0x10, "Erro", 0x10},        {KALPO_MSG_BOX, nullptr, 0x10, "", 0x10},
  };
  for (const BoxCase &c : cases) {
    SCOPED_TRACE(c.expected_caption);
    std::string caption = c.caption ? test::cp(c.caption) : std::string();
    platform::MessageBoxRequest box =
        platform::message_box_for(c.form, c.caption ? caption.c_str() : nullptr, c.flags, "PDV");
    EXPECT_EQ(box.caption, test::cp(c.expected_caption));
    EXPECT_EQ(box.style, c.expected_style);
  }
  EXPECT_EQ(platform::application_title(), "kalpo_tests");
}

// Without a desktop no box can be shown: a question then counts as answered
// No, so that nothing that needs the operator's consent goes ahead.
TEST(WindowsMessages, UnansweredQuestionIsNo) {
  HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe) {
    DestroyWindow(probe);
    GTEST_SKIP() << "a desktop is present: the box would wait for an operator";
  }
  EXPECT_EQ(windows().show_message(KALPO_MSG_DIALOG, "Confirma?", nullptr, 0x24), KALPO_BTN_NO);
  EXPECT_EQ(windows().show_message(KALPO_MSG_DIALOG, "Aviso", nullptr, 0x40), KALPO_BTN_OK);
  EXPECT_EQ(windows().show_message(KALPO_MSG_NOTICE, "Aviso", nullptr, 0), KALPO_BTN_OK);
}

}  // namespace
