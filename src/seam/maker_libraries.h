// The makers' libraries, one row each: the library's name (as the build names
// it and as maker_list.h gives it to KALPO_MAKER_OF; lib<name>.so elsewhere),
// its file on Windows, and what each of its functions answers as a printer
// that is off (the replay's answer where the trace holds none).
//   KALPO_MAKER_LIBRARY(name, file, dead)
// Every list of the libraries is made from these rows: the virtual printer's
// and the replay's libraries (sim/CMakeLists.txt and sim/replay/ read them),
// the tool's search for a missing one, and the tests' and packaging checks'.
// Adding a maker library is one row here, its functions in maker_list.h and
// its code in sim/<name>/.
// No include guard: each includer defines KALPO_MAKER_LIBRARY first.
KALPO_MAKER_LIBRARY(bemafi32, "BEMAFI32.DLL", -6)
KALPO_MAKER_LIBRARY(convecf, "CONVECF.dll", -6)
KALPO_MAKER_LIBRARY(fs345_32, "fs345_32.dll", -1)
KALPO_MAKER_LIBRARY(daruma32, "Daruma32.dll", 0)
KALPO_MAKER_LIBRARY(ecf32m, "ecf32m.dll", -99)  // its time-out
KALPO_MAKER_LIBRARY(dllg2, "DllG2.dll", -1)
KALPO_MAKER_LIBRARY(dllg2_gerador, "DLLG2_Gerador.dll", -3)
KALPO_MAKER_LIBRARY(interfaceepson, "InterfaceEpson.dll", 1)
#undef KALPO_MAKER_LIBRARY
