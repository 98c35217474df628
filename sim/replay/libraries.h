// The replay maker libraries, one row each: the library's name (as the seam's
// list of maker functions gives it to KALPO_MAKER_OF), its file on Windows,
// and what each of its functions answers as a printer that is off.  The build
// makes one library per row from these rows.
//   KALPO_REPLAY_LIBRARY(name, file, dead)
// No include guard: each includer defines KALPO_REPLAY_LIBRARY first.
KALPO_REPLAY_LIBRARY(bemafi32, "BEMAFI32.DLL", -6)
KALPO_REPLAY_LIBRARY(convecf, "CONVECF.dll", -6)
KALPO_REPLAY_LIBRARY(fs345_32, "fs345_32.dll", -1)
KALPO_REPLAY_LIBRARY(daruma32, "Daruma32.dll", 0)
KALPO_REPLAY_LIBRARY(ecf32m, "ecf32m.dll", -99)  // its time-out
KALPO_REPLAY_LIBRARY(dllg2, "DllG2.dll", -1)
KALPO_REPLAY_LIBRARY(dllg2_gerador, "DLLG2_Gerador.dll", -3)
KALPO_REPLAY_LIBRARY(interfaceepson, "InterfaceEpson.dll", 1)
#undef KALPO_REPLAY_LIBRARY
