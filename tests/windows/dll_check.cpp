// Loads kalpo.dll at run time, as a point-of-sale program does, and checks
// its binary interface: the export table with its ordinals, the version
// resource, the binding of the makers' libraries, the presets of every export
// through a registered message handler, Windows-1252 texts across the
// boundary, and the configuration file read through the profile functions.
// The program expects kalpo.dll and the makers' DLLs beside it.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "kalpo_api.h"
#include "support/presets.h"

namespace {

using namespace kalpo::windows_check;

int passed = 0;
int failed = 0;

bool check(bool ok, const std::string &what) {
  if (ok) {
    ++passed;
  } else {
    ++failed;
    std::printf("FAILED: %s\n", what.c_str());
  }
  return ok;
}

// Non-ASCII bytes shown as \xNN, line breaks as \r and \n.
std::string visible(const std::string &s) {
  std::string out;
  for (unsigned char c : s) {
    char hex[8];
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7F) {
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool check_text(const std::string &got, const std::string &expected, const std::string &what) {
  return check(got == expected, what + ": got \"" + visible(got) + "\", expected \"" + visible(expected) + "\"");
}

std::string program_folder() {
  char path[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/"));
}

// ---- The export table ----

struct NamedExport {
  const char *name;
  WORD ordinal;
};

const NamedExport kExports[] = {
#define KALPO_ROW(name, ordinal) {#name, ordinal},
    KALPO_EACH_EXPORT(KALPO_ROW)
#undef KALPO_ROW
};

constexpr WORD kSecondOpenCoupon = 43;  // KALPO_AbreCupom again, by ordinal only

bool bind(HMODULE module, Api &api) {
  const std::vector<const char *> missing = bind_exports(module, api);
  for (const char *name : missing) check(false, std::string(name) + " resolves by name");
  return check(missing.empty(), "every export resolves by name");
}

void check_ordinals(HMODULE module) {
  for (const NamedExport &e : kExports) {
    void *by_name = procedure<void *>(module, e.name);
    void *by_ordinal = procedure<void *>(module, MAKEINTRESOURCEA(e.ordinal));
    check(by_ordinal != nullptr && by_ordinal == by_name,
          std::string(e.name) + " answers at ordinal " + std::to_string(e.ordinal));
  }
  check(procedure<void *>(module, MAKEINTRESOURCEA(kSecondOpenCoupon)) == procedure<void *>(module, "KALPO_AbreCupom"),
        "ordinal 43 is KALPO_AbreCupom");
  check(procedure<void *>(module, MAKEINTRESOURCEA(45)) == nullptr, "nothing at ordinal 45");
}

// The export directory itself: ordinal base 1, 44 entries, 43 names, each
// name at its own ordinal and no other name.
void check_export_directory(HMODULE module) {
  auto base = reinterpret_cast<const unsigned char *>(module);
  auto dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
  auto nt = reinterpret_cast<const IMAGE_NT_HEADERS32 *>(base + dos->e_lfanew);
  check(nt->FileHeader.Machine == IMAGE_FILE_MACHINE_I386, "kalpo.dll is a 32-bit x86 DLL");
  const IMAGE_DATA_DIRECTORY &entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  auto directory = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY *>(base + entry.VirtualAddress);
  check(directory->Base == 1, "export ordinal base is 1");
  check(directory->NumberOfFunctions == 44, "44 export entries, got " + std::to_string(directory->NumberOfFunctions));
  check(directory->NumberOfNames == 43, "43 export names, got " + std::to_string(directory->NumberOfNames));
  auto names = reinterpret_cast<const DWORD *>(base + directory->AddressOfNames);
  auto ordinals = reinterpret_cast<const WORD *>(base + directory->AddressOfNameOrdinals);
  for (DWORD i = 0; i < directory->NumberOfNames; ++i) {
    std::string name = reinterpret_cast<const char *>(base + names[i]);
    WORD ordinal = static_cast<WORD>(ordinals[i] + directory->Base);
    bool known = false;
    for (const NamedExport &e : kExports) known = known || (name == e.name && ordinal == e.ordinal);
    check(known, "export " + name + " at ordinal " + std::to_string(ordinal) + " is expected");
  }
}

// ---- The version resource ----

void check_version_resource(const std::string &dll) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(dll.c_str(), &handle);
  if (!check(size > 0, "kalpo.dll has a version resource")) return;
  std::vector<char> data(size);
  if (!check(GetFileVersionInfoA(dll.c_str(), 0, size, data.data()) != 0, "the version resource reads")) return;

  VS_FIXEDFILEINFO *fixed = nullptr;
  UINT length = 0;
  if (check(VerQueryValueA(data.data(), "\\", reinterpret_cast<void **>(&fixed), &length) && fixed,
            "fixed file information")) {
    // The file version is the header's, KALPO_VERSION_*.
    check(fixed->dwFileVersionMS == ((KALPO_VERSION_MAJOR << 16) | KALPO_VERSION_MINOR) &&
              fixed->dwFileVersionLS == (KALPO_VERSION_PATCH << 16),
          "binary file version " KALPO_VERSION_TEXT ".0");
    check(fixed->dwProductVersionMS == 0x00010000 && fixed->dwProductVersionLS == 0, "binary product version 1.0.0.0");
  }

  WORD *translation = nullptr;
  if (!check(
          VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation), &length) &&
              length >= 4,
          "translation table")) {
    return;
  }
  char block[64];
  std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  const std::pair<const char *, const char *> strings[] = {
      {"FileDescription", "DLL para ECFs"},
      {"FileVersion", KALPO_VERSION_TEXT ".0"},
      {"ProductVersion", "1.0.0.0"},
      {"InternalName", "KALPO"},
      {"ProductName", "KALPO"},
      {"CompanyName", "Zantrello"},
      {"LegalCopyright", ""},
      {"LegalTrademarks", ""},
      {"OriginalFilename", ""},
      {"Comments", ""},
  };
  for (const auto &[key, expected] : strings) {
    char *value = nullptr;
    UINT chars = 0;
    std::string path = std::string(block) + key;
    bool found = VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void **>(&value), &chars) != 0;
    std::string got = found && value ? std::string(value, strnlen(value, chars)) : std::string();
    if (check(found || *expected == '\0', std::string("version entry ") + key + " is present")) {
      check_text(got, expected, std::string("version entry ") + key);
    }
  }
}

// ---- Binding of the makers' libraries ----

const char *const kMakerDlls[] = {
#define KALPO_MAKER_LIBRARY(name, file, dead) file,
#include "seam/maker_libraries.h"
};

std::string temp_folder(const std::string &name) {
  char base[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, base);
  std::string folder = std::string(base) + "kalpo_dll_check_" + std::to_string(GetCurrentProcessId()) + "_" + name;
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// Loads a DLL in a process of its own (this program run with --load), so
// that nothing a failed load leaves behind is reused by the next one.
// Returns 0 when it loads, otherwise the loader's error.
DWORD load_in_own_process(const std::string &dll) {
  char program[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  std::string command = "\"" + std::string(program) + "\" --load \"" + dll + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return GetLastError() ? GetLastError() : ERROR_GEN_FAILURE;
  }
  DWORD code = ERROR_TIMEOUT;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

// The child's side: the DLL's own folder and the system folder are searched,
// nothing else.
int load_only(const char *dll) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryExA(dll, nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? 0 : static_cast<int>(GetLastError());
}

// Loads kalpo.dll from a folder holding it and the makers' DLLs except
// `missing` (none: null).
DWORD load_from_copy(const std::string &from, const char *missing, const std::string &name) {
  std::string folder = temp_folder(name);
  std::vector<std::string> files{"kalpo.dll"};
  for (const char *maker : kMakerDlls) {
    if (!missing || std::strcmp(maker, missing) != 0) files.push_back(maker);
  }
  for (const std::string &file : files) CopyFileA((from + "\\" + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
  DWORD error = load_in_own_process(folder + "\\kalpo.dll");
  for (const std::string &file : files) DeleteFileA((folder + "\\" + file).c_str());
  RemoveDirectoryA(folder.c_str());
  return error;
}

// kalpo.dll loads with Windows alone: it loads each maker's DLL itself when a
// call first needs it.
void check_maker_binding(const std::string &from) {
  check(load_from_copy(from, nullptr, "all") == ERROR_SUCCESS,
        "kalpo.dll loads with the makers' DLLs and Windows alone");
  std::string folder = temp_folder("alone");
  CopyFileA((from + "\\kalpo.dll").c_str(), (folder + "\\kalpo.dll").c_str(), FALSE);
  const DWORD error = load_in_own_process(folder + "\\kalpo.dll");
  DeleteFileA((folder + "\\kalpo.dll").c_str());
  RemoveDirectoryA(folder.c_str());
  check(error == ERROR_SUCCESS, "kalpo.dll loads without any maker's DLL (error " + std::to_string(error) + ")");
}

// ---- Operator messages ----

struct Message {
  int32_t form;
  std::string text;
  bool has_caption;
  std::string caption;
  uint32_t flags;
};

// The operator's answer to a question.
int32_t question_answer = KALPO_BTN_NO;

int32_t KALPO_CALL record_message(void *context, int32_t form, const char *text, const char *caption, uint32_t flags) {
  static_cast<std::vector<Message> *>(context)->push_back(
      {form, text ? text : "", caption != nullptr, caption ? caption : "", flags});
  bool question = form == KALPO_MSG_DIALOG && (flags & 0x0F) == 0x04;
  return question ? question_answer : KALPO_BTN_OK;
}

std::string describe(const std::vector<Message> &messages) {
  std::string out;
  for (const Message &m : messages) {
    out += " [form " + std::to_string(m.form) + " flags " + std::to_string(m.flags) + "] " + visible(m.text);
  }
  return out.empty() ? " none" : out;
}

const char *KALPO_CALL control_text(void *) { return "Volte sempre!"; }
void KALPO_CALL control_set(void *, const char *) {}

// ---- Presets ----

// The caller's variables, set to markers before each call.
struct Outs {
  const char *text1, *text2, *text3;
  int32_t int1, int2, int3;
  KALPO_TextControl control{nullptr, control_text, control_set};
};
const char *const kUntouched = "untouched";
constexpr int32_t kUntouchedInt = -77;

// An export called with arguments of this check; its presets are those of
// the shared table (support/presets.h).
struct PresetRow {
  const char *name;
  std::function<int(const Api &, const char *, Outs &)> call;
  bool writes_outs;  // whether the out arguments may change on these paths
};

std::vector<PresetRow> preset_rows() {
  return {
      {"KALPO_AbreCupom",
       [](const Api &k, const char *m, Outs &o) {
         return int(k.KALPO_AbreCupom(m, &o.text1, "Fulano", "Rua A", "123"));
       },
       false},
      {"KALPO_VendaItem",
       [](const Api &k, const char *m, Outs &) {
         return int(k.KALPO_VendaItem(m, "7891", "Caf\xE9", "01", "I", 1.0, 2, 9.9, "$", 0.0));
       },
       false},
      {"KALPO_Inicia_Fechamento",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_Inicia_Fechamento(m, 1.5)); }, false},
      {"KALPO_desc_fechamento",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_desc_fechamento(m, 1.5)); }, false},
      {"KALPO_forma_pagamento",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_forma_pagamento(m, "Dinheiro", 10.0)); }, false},
      {"KALPO_fecha_cupom",
       [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_fecha_cupom(m, &o.control)); }, false},
      {"KALPO_Cancela_Item", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_Cancela_Item(m, 1)); },
       false},
      {"KALPO_Cancela_Ultimo_Cupom",
       [](const Api &k, const char *m, Outs &o) {
         return int(k.KALPO_Cancela_Ultimo_Cupom(m, nullptr, nullptr, &o.int1, &o.text1, &o.text2));
       },
       true},
      {"KALPO_cupom_vinculado",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_cupom_vinculado(m, "Cart\xE3o", "000123", 10.0)); },
       false},
      {"KALPO_usavinculado", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_usavinculado(m, "linha")); },
       false},
      {"KALPO_usavinculadotermica",
       [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_usavinculadotermica(m, &o.control)); }, false},
      {"KALPO_FechaCupomNaovinculado",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_FechaCupomNaovinculado(m)); }, false},
      {"KALPO_AbreRelGerencial",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_AbreRelGerencial(m, "texto", "01")); }, false},
      {"KALPO_FechaGerencial", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_FechaGerencial(m)); },
       false},
      {"KALPO_Leiturax",
       [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_Leiturax(m, nullptr, nullptr, &o.int1)); }, false},
      {"KALPO_Abredia", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_Abredia(m)); }, false},
      {"KALPO_LeituraMemFiscal",
       [](const Api &k, const char *m, Outs &) {
         return int(k.KALPO_LeituraMemFiscal(m, "01/12/2026", "07/12/2026", "D"));
       },
       false},
      {"KALPO_GeraCotepe", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_GeraCotepe(m, 46363.5)); },
       false},
      {"KALPO_ImpressaoBobina", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_ImpressaoBobina(m)); },
       false},
      {"KALPO_MostraNumSerie",
       [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_MostraNumSerie(m, &o.text1)); }, false},
      {"KALPO_FirmWare", [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_FirmWare(m, &o.text1)); },
       false},
      {"KALPO_RetornaGT", [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_RetornaGT(m, &o.text1)); },
       false},
      {"KALPO_DataHoraEcf",
       [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_DataHoraEcf(m, &o.text1, &o.text2)); }, false},
      {"KALPO_NumeroCupom", [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_NumeroCupom(m, &o.text1)); },
       false},
      {"KALPO_NumReducao", [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_NumReducao(m, &o.text1)); },
       false},
      {"KALPO_ResumoAliq", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_ResumoAliq(m)); }, false},
      {"KALPO_TotalizadorParcial",
       [](const Api &k, const char *m, Outs &o) { return int(k.KALPO_TotalizadorParcial(m, &o.text1)); }, false},
      {"KALPO_VerificaEstadoECF",
       [](const Api &k, const char *m, Outs &o) {
         return int(k.KALPO_VerificaEstadoECF(m, &o.int1, &o.int2, &o.int3));
       },
       false},
      {"KALPO_Cupom_Aberto", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_Cupom_Aberto(m)); }, false},
      {"KALPO_AbreGaveta", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_AbreGaveta(m)); }, false},
      {"KALPO_retorna_impressora",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_retorna_impressora(m)); }, false},
      {"KALPO_Analisa_iRetorno(1)",
       [](const Api &k, const char *m, Outs &) { return int(k.KALPO_Analisa_iRetorno(m, 1)); }, false},
      {"KALPO_FechaDriver", [](const Api &k, const char *m, Outs &) { return int(k.KALPO_FechaDriver(m)); }, false},
  };
}

// Identifiers that no branch takes: only the exact upper-case texts match.
const char *const kUnrecognised[] = {"XYZ", "", nullptr, "bematechmp20", "BEMATECHMP20 ", " EPSON", "ecfzantrello"};

void check_presets(const Api &api, std::vector<Message> &messages) {
  for (const PresetRow &row : preset_rows()) {
    const std::string name(row.name, std::strcspn(row.name, "("));
    const KalpoPreset *preset = kalpo_preset(name.c_str());
    if (!check(preset != nullptr, name + " has a row in support/presets.h")) continue;
    std::vector<std::pair<const char *, int>> runs = {{"ECFZANTRELLO", preset->without_printer},
                                                      {"NOTAFISCAL", preset->without_printer}};
    for (const char *other : kUnrecognised) runs.push_back({other, preset->without_branch});
    for (const auto &[model, expected] : runs) {
      std::string what = std::string(row.name) + " with " + (model ? "\"" + std::string(model) + "\"" : "null");
      Outs outs{kUntouched, kUntouched, kUntouched, kUntouchedInt, kUntouchedInt, kUntouchedInt};
      messages.clear();
      int result = row.call(api, model, outs);
      check(result == expected, what + " returns " + std::to_string(expected) + ", got " + std::to_string(result));
      check(messages.empty(), what + " shows nothing; shown:" + describe(messages));
      if (!row.writes_outs) {
        check(outs.text1 == kUntouched && outs.text2 == kUntouched && outs.int1 == kUntouchedInt &&
                  outs.int2 == kUntouchedInt && outs.int3 == kUntouchedInt,
              what + " leaves the caller's variables alone");
      }
    }
  }
}

// The daylight-saving switch answers every model but one with a dialog.
void check_daylight_saving(const Api &api, std::vector<Message> &messages) {
  const std::string text =
      "Modelo de Impressora Fiscal n\xE3o prepara ainda para o programa!\r\n"
      "Por favor, utilize o utilit\xE1rio do fabricante!";
  for (const char *model : {"ECFZANTRELLO", "NOTAFISCAL", "XYZ"}) {
    messages.clear();
    int result = api.KALPO_HorarioVerao(model, "ENTRAR");
    std::string what = std::string("KALPO_HorarioVerao with ") + model;
    check(result == 0, what + " returns 0");
    if (check(messages.size() == 1, what + " shows one message; shown:" + describe(messages))) {
      const Message &m = messages[0];
      check(m.form == KALPO_MSG_DIALOG && m.flags == 0x40 && !m.has_caption,
            what + " shows an information dialog with OK");
      check_text(m.text, text, what + " text");
    }
  }
}

// The Z reduction asks first, whatever the identifier; the answer crosses the
// handler's boundary.
void check_reduction(const Api &api, std::vector<Message> &messages) {
  const std::string question =
      "A Redu\xE7\xE3o Z impossibilitar\xE1 novas impress\xF5"
      "es\rde Cupons Fiscais!\r\rContinua ?";
  struct Case {
    const char *model;
    int32_t answer;
    int expected;
  };
  const Case cases[] = {{"ECFZANTRELLO", KALPO_BTN_YES, 1},
                        {"NOTAFISCAL", KALPO_BTN_YES, 1},
                        {"XYZ", KALPO_BTN_YES, 0},
                        {"ECFZANTRELLO", KALPO_BTN_NO, 0},
                        {"NOTAFISCAL", KALPO_BTN_NO, 0}};
  for (const Case &c : cases) {
    std::string what = std::string("KALPO_Reducaoz with ") + c.model + (c.answer == KALPO_BTN_YES ? ", Yes" : ", No");
    messages.clear();
    question_answer = c.answer;
    int32_t count = kUntouchedInt;
    int result = api.KALPO_Reducaoz(c.model, nullptr, nullptr, nullptr, &count);
    question_answer = KALPO_BTN_NO;
    check(result == c.expected, what + " returns " + std::to_string(c.expected));
    check(count == kUntouchedInt, what + " leaves the answer count alone");
    size_t expected_messages = c.answer == KALPO_BTN_YES ? 1 : 2;
    if (!check(messages.size() == expected_messages, what + ": shown" + describe(messages))) continue;
    check(messages[0].form == KALPO_MSG_DIALOG && messages[0].flags == 0x24, what + " asks Yes or No");
    check_text(messages[0].text, question, what + " question");
    if (expected_messages == 2) {
      check(messages[1].form == KALPO_MSG_DIALOG && messages[1].flags == 0x40, what + " then informs");
      check_text(messages[1].text, "Emiss\xE3o de Redu\xE7\xE3o Abortada!", what + " abort notice");
    }
  }
}

// Without a branch the date is the workstation's, in its short date format.
void check_date(const Api &api, std::vector<Message> &messages) {
  for (const char *model : {"ECFZANTRELLO", "XYZ"}) {
    messages.clear();
    const char *date = kUntouched;
    api.KALPO_LeData(model, &date);
    char today[64] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, today, sizeof today);
    check_text(date ? date : "", today, std::string("KALPO_LeData with ") + model);
    check(messages.empty(), std::string("KALPO_LeData with ") + model + " shows nothing");
  }
}

void check_frame(const Api &api, std::vector<Message> &messages) {
  messages.clear();
  const char *first = nullptr;
  const char *second = nullptr;
  check(api.KALPO_Versao(&first) == 0 && api.KALPO_Versao(&second) == 0, "KALPO_Versao returns 0");
  check(first != nullptr && first == second, "KALPO_Versao hands back the same text each time");
  // The version crosses the boundary in Windows-1252: "ã" is the one byte E3.
  check_text(first ? first : "", "KALPO_DLL Vers\xE3o 3.60", "KALPO_Versao");

  const char *number = nullptr;
  check(api.KALPO_Versao_Number(&number) == 0, "KALPO_Versao_Number returns 0");
  check_text(number ? number : "", "3.60", "KALPO_Versao_Number");

  const char *list = nullptr;
  check(api.KALPO_RetListaECFS(&list) == 0, "KALPO_RetListaECFS returns 0");
  check_text(list ? list : "",
             "[ BEMATECH ] Modelo MP20\r[ SIGTRON ] Modelo FS-345\r[ DARUMA ] Modelo FS-345\r"
             "[ DIGIARTE ] Modelo 1E\r[ ELGIN ] Modelo FIT/LOGGER\r[ DATAREGIS ] Modelo QUICK USB\r"
             "[ DATAREGIS ] Modelo QUICK Serial\r[ EPSON ] Modelo Serial",
             "KALPO_RetListaECFS");

  check(api.KALPO_IniciaDriver() == 1, "KALPO_IniciaDriver returns 1");
  check(api.KALPO_GravaRegistro("COM2") == 1, "KALPO_GravaRegistro returns 1");
  check(api.KALPO_FechaDriver("SWEDA7000") == 1, "KALPO_FechaDriver with SWEDA7000 returns 1");
  check(messages.empty(), "the frame exports show nothing; shown:" + describe(messages));

  // Null out pointers are tolerated.
  check(api.KALPO_Versao(nullptr) == 0, "KALPO_Versao with a null out pointer");
}

// ---- The configuration file ----

const char kConfigFile[] = "c:\\zantrello\\configs\\kalpo.ini";

// Writes the configuration file for a check, keeping what was there.
class ConfigFile {
 public:
  ConfigFile() {
    HANDLE file = CreateFileA(kConfigFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      char buffer[65536];
      DWORD got = 0;
      existed_ = ReadFile(file, buffer, sizeof buffer, &got, nullptr) != 0;
      before_.assign(buffer, got);
      CloseHandle(file);
    }
  }
  ~ConfigFile() {
    if (existed_) {
      write(before_);
    } else {
      DeleteFileA(kConfigFile);
    }
  }
  void write(const std::string &contents) {
    CreateDirectoryA("c:\\zantrello", nullptr);
    CreateDirectoryA("c:\\zantrello\\configs", nullptr);
    HANDLE file = CreateFileA(kConfigFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
      WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
      CloseHandle(file);
    }
    check(written == contents.size(), "the configuration file is written");
  }
  void remove() { DeleteFileA(kConfigFile); }

 private:
  bool existed_ = false;
  std::string before_;
};

void check_configuration(const Api &api, std::vector<Message> &messages) {
  ConfigFile config;
  struct PortCase {
    const char *ini;  // null: no file
    const char *shown;
  };
  // The SIGTRONFS345 X reading shows the port setting before it reads.
  const PortCase sigtron[] = {
      {"[ECF]\r\nPORTACOM=COM2:19200,e,8,1\r\n", "COM2:19200,e,8,1"},
      {"[ecf]\r\nportacom=COM3\r\n", "COM3"},
      {"[ECF]\r\nVELOCIDADE=9600\r\n", "COM1:9600,n,8,1"},
      {nullptr, "COM1:9600,n,8,1"},
  };
  for (const PortCase &c : sigtron) {
    if (c.ini) {
      config.write(c.ini);
    } else {
      config.remove();
    }
    messages.clear();
    int32_t count = 0;
    api.KALPO_Leiturax("SIGTRONFS345", nullptr, nullptr, &count);
    std::string what = std::string("KALPO_Leiturax with SIGTRONFS345 and ") + (c.ini ? visible(c.ini) : "no file");
    if (check(!messages.empty(), what + " shows the port")) {
      check(messages[0].form == KALPO_MSG_NOTICE, what + ": the port is a notice");
      check_text(messages[0].text, c.shown, what);
    }
  }

  // An EPSON port setting without a port number stops the opening of the day.
  config.write("[ECF]\r\nPORTACOM=XYZ\r\n");
  messages.clear();
  int result = api.KALPO_Abredia("EPSON");
  check(result == 0, "KALPO_Abredia with EPSON and PORTACOM=XYZ returns 0");
  if (check(messages.size() == 1, "KALPO_Abredia with PORTACOM=XYZ shows one message; shown:" + describe(messages))) {
    check_text(messages[0].text, "Porta de comunica\xE7\xE3o inv\xE1lida em PORTACOM: \"XYZ\"",
               "KALPO_Abredia with PORTACOM=XYZ");
  }
}

}  // namespace

int main(int argc, char **argv) {
  if (argc == 3 && std::strcmp(argv[1], "--load") == 0) return load_only(argv[2]);
  const std::string folder = program_folder();
  const DWORD started = GetTickCount();

  check_maker_binding(folder);

  HMODULE module = LoadLibraryA("kalpo.dll");
  if (check(module != nullptr, "LoadLibrary(\"kalpo.dll\")")) {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    check_version_resource(path);
    check_export_directory(module);
    check_ordinals(module);
    Api api;
    if (bind(module, api)) {
      std::vector<Message> messages;
      api.KALPO_DefineTratadorMensagens(record_message, &messages);
      check_frame(api, messages);
      check_presets(api, messages);
      check_daylight_saving(api, messages);
      check_reduction(api, messages);
      check_date(api, messages);
      check_configuration(api, messages);
      api.KALPO_DefineTratadorMensagens(nullptr, nullptr);
    }
    FreeLibrary(module);
  }

  std::printf("kalpo.dll checks: %lu ms\n", static_cast<unsigned long>(GetTickCount() - started));
  std::printf("%d passed, %d failed\n", passed, failed);
  return failed == 0 ? 0 : 1;
}
