// Windows paths on this machine: the library and the virtual printer map
// each path of one table to the same file, by Windows' own rules.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

#include "core/printer.h"
#include "platform/posix.h"

namespace {

namespace fs = std::filesystem;

TEST(DriveCPaths, TheLibraryAndThePrinterMapEveryPathAlike) {
  const fs::path root = fs::temp_directory_path() / ("kalpo-paths-" + std::to_string(::getpid()));
  fs::create_directories(root / "Zantrello" / "NFP");
  setenv("KALPO_DRIVE_C", root.c_str(), 1);
  const std::string r = root.string();
  const std::pair<const char *, std::string> rows[] = {
      {"C:\\RETORNO.TXT", r + "/RETORNO.TXT"},
      {"c:\\zantrello\\nfp\\dia.txt", r + "/Zantrello/NFP/dia.txt"},  // any letter case
      {"C:/ZANTRELLO//Nfp/", r + "/Zantrello/NFP"},
      {"C:\\Zantrello\\.\\NFP\\..\\a.txt", r + "/Zantrello/a.txt"},
      {"C:\\..\\..\\etc\\passwd", r + "/etc/passwd"},  // ".." stops at the root
      {"c:\\zantrello\\nfp\\..\\..\\..\\..\\x", r + "/x"},
      {"C:a.txt", r + "/a.txt"},
      {"\\zantrello\\b.txt", r + "/Zantrello/b.txt"},  // no drive letter: drive C
      {"relativo\\a.txt", r + "/relativo/a.txt"},
      {"..\\..\\a.txt", r + "/a.txt"},
      {"D:\\RETORNO.TXT", ""},  // another drive: no file
      {"d:a.txt", ""},
      {"\\\\servidor\\c\\a.txt", ""},  // a network path
      {"//servidor/c/a.txt", ""},
  };
  for (const auto &[windows, local] : rows) {
    EXPECT_EQ(kalpo::platform::posix_path(windows), local) << "library: " << windows;
    EXPECT_EQ(ksim::windows_path(windows), local) << "printer: " << windows;
  }
  unsetenv("KALPO_DRIVE_C");
  fs::remove_all(root);
}

}  // namespace
