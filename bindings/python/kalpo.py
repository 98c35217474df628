"""KALPO: one interface to every supported fiscal printer, from Python.

Copy this file beside your program.  The library is loaded from, in order:
the KALPO_LIBRARY environment variable (a file path), the folder of this
file, then the loader's path.  kalpo.dll (stdcall) on Windows, libkalpo.so
elsewhere.

Texts go in and come out as str (Windows-1252 on the wire), results are bool,
out texts come back in a tuple after the result (None when the library wrote
none).  `native` holds the exports as they are.  Calls must not overlap, and
every operator message is modal on the calling thread.
"""
import codecs
import ctypes
import os
import sys
from ctypes import POINTER, byref, c_char_p, c_double, c_int32, c_uint8, c_uint32, c_void_p

_WINDOWS = sys.platform == "win32"
_Library = ctypes.WinDLL if _WINDOWS else ctypes.CDLL
_FUNCTYPE = ctypes.WINFUNCTYPE if _WINDOWS else ctypes.CFUNCTYPE
_NAME = "kalpo.dll" if _WINDOWS else "libkalpo.so"

MSG_NOTICE, MSG_DIALOG, MSG_BOX = 0, 1, 2
BTN_OK, BTN_YES, BTN_NO = 1, 6, 7

TratadorMensagem = _FUNCTYPE(c_int32, c_void_p, c_int32, c_void_p, c_void_p, c_uint32)
GetText = _FUNCTYPE(c_void_p, c_void_p)
SetText = _FUNCTYPE(None, c_void_p, c_void_p)


class NativeTextControl(ctypes.Structure):
    _fields_ = [("context", c_void_p), ("get_text", GetText), ("set_text", SetText)]


_text, _out, _int_ref, _flag = c_char_p, POINTER(c_void_p), POINTER(c_int32), c_uint8
_control = POINTER(NativeTextControl)

# Every export of kalpo.h: result and argument types.
_EXPORTS = {
    "KALPO_DefineTratadorMensagens": (None, [TratadorMensagem, c_void_p]),
    "KALPO_Versao": (c_int32, [_out]),
    "KALPO_Versao_Number": (c_int32, [_out]),
    "KALPO_RetListaECFS": (c_int32, [_out]),
    "KALPO_IniciaDriver": (_flag, []),
    "KALPO_FechaDriver": (_flag, [_text]),
    "KALPO_GravaRegistro": (_flag, [_text]),
    "KALPO_retorna_impressora": (_flag, [_text]),
    "KALPO_Analisa_iRetorno": (_flag, [_text, c_int32]),
    "KALPO_Analisa_RetSigtronFS345": (_flag, [c_int32, c_void_p, c_int32, _int_ref]),
    "KALPO_AbreCupom": (_flag, [_text, _out, _text, _text, _text]),
    "KALPO_VendaItem": (_flag, [_text, _text, _text, _text, _text, c_double, c_int32, c_double, _text, c_double]),
    "KALPO_Inicia_Fechamento": (_flag, [_text, c_double]),
    "KALPO_desc_fechamento": (_flag, [_text, c_double]),
    "KALPO_forma_pagamento": (_flag, [_text, _text, c_double]),
    "KALPO_fecha_cupom": (_flag, [_text, _control]),
    "KALPO_Cancela_Item": (_flag, [_text, c_int32]),
    "KALPO_Cancela_Ultimo_Cupom": (_flag, [_text, c_void_p, c_void_p, _int_ref, _out, _out]),
    "KALPO_cupom_vinculado": (_flag, [_text, _text, _text, c_double]),
    "KALPO_usavinculado": (_flag, [_text, _text]),
    "KALPO_usavinculadotermica": (_flag, [_text, _control]),
    "KALPO_FechaCupomNaovinculado": (_flag, [_text]),
    "KALPO_AbreRelGerencial": (_flag, [_text, _text, _text]),
    "KALPO_FechaGerencial": (_flag, [_text]),
    "KALPO_Leiturax": (_flag, [_text, c_void_p, c_void_p, _int_ref]),
    "KALPO_Reducaoz": (_flag, [_text, c_void_p, c_void_p, c_void_p, _int_ref]),
    "KALPO_Abredia": (_flag, [_text]),
    "KALPO_HorarioVerao": (_flag, [_text, _text]),
    "KALPO_LeData": (None, [_text, _out]),
    "KALPO_LeituraMemFiscal": (_flag, [_text, _text, _text, _text]),
    "KALPO_GeraCotepe": (_flag, [_text, c_double]),
    "KALPO_ImpressaoBobina": (_flag, [_text]),
    "KALPO_MostraNumSerie": (_flag, [_text, _out]),
    "KALPO_FirmWare": (_flag, [_text, _out]),
    "KALPO_RetornaGT": (_flag, [_text, _out]),
    "KALPO_DataHoraEcf": (_flag, [_text, _out, _out]),
    "KALPO_NumeroCupom": (_flag, [_text, _out]),
    "KALPO_NumReducao": (_flag, [_text, _out]),
    "KALPO_ResumoAliq": (_flag, [_text]),
    "KALPO_TotalizadorParcial": (_flag, [_text, _out]),
    "KALPO_VerificaEstadoECF": (_flag, [_text, _int_ref, _int_ref, _int_ref]),
    "KALPO_Cupom_Aberto": (_flag, [_text]),
    "KALPO_AbreGaveta": (_flag, [_text]),
}


def _load():
    path = os.environ.get("KALPO_LIBRARY")
    if not path:
        here = os.path.join(os.path.dirname(os.path.abspath(__file__)), _NAME)
        path = here if os.path.exists(here) else _NAME
    return _Library(path)


native = _load()
for _name, (_restype, _argtypes) in _EXPORTS.items():
    _function = getattr(native, _name)
    _function.restype, _function.argtypes = _restype, _argtypes

# ---- Windows-1252 ----
# The five bytes Windows-1252 leaves undefined stand for the same code point,
# both ways, so that no byte of a printer's answer is lost.
_UNDEFINED = {0x81, 0x8D, 0x8F, 0x90, 0x9D}


def _undefined_bytes(error):
    if isinstance(error, UnicodeDecodeError):
        return "".join(chr(b) for b in error.object[error.start:error.end]), error.end
    text = error.object[error.start:error.end]
    if all(ord(c) in _UNDEFINED for c in text):
        return bytes(ord(c) for c in text), error.end
    raise ValueError(f"Windows-1252 has no character {text[0]!r} (position {error.start} of {error.object!r})")


codecs.register_error("kalpo.cp1252", _undefined_bytes)


def _encode(text):
    if text is None:
        return None
    if "\0" in text:
        raise ValueError(f"KALPO texts cannot hold a NUL character: {text!r}")
    return text.encode("cp1252", "kalpo.cp1252")


def _decode(pointer):
    return None if pointer is None else ctypes.string_at(pointer).decode("cp1252", "kalpo.cp1252")


# ---- Callbacks: an exception must not cross into C; it is kept and raised
# when the export returns. ----
_pending = []


def _guard(body, on_error):
    try:
        return body()
    except BaseException as error:  # noqa: B902 - re-raised after the export returns
        _pending.append(error)
        return on_error


def _done(result):
    if _pending:
        error = _pending[0]
        _pending.clear()
        raise error
    return result


def _call(name, *args):
    return _done(getattr(native, name)(*args))


def _flag_call(name, model, *args):
    return bool(_call(name, _encode(model), *args))


_handler = None  # kept alive while registered


def define_tratador_mensagens(handler):
    """Routes every operator message to handler(form, text, caption, flags),
    which returns the button (BTN_OK, BTN_YES, BTN_NO); None restores the
    library's default.  A handler that raises answers No, and its exception is
    raised when the export returns."""
    global _handler

    def relay(context, form, text, caption, flags):
        return _guard(lambda: int(handler(form, _decode(text), _decode(caption), flags)), BTN_NO)

    native_handler = TratadorMensagem(relay) if handler else TratadorMensagem()
    native.KALPO_DefineTratadorMensagens(native_handler, None)
    _handler = native_handler


class TextControl:
    """The caller's text-holding control: override get_text/set_text to bind
    a user-interface control, or use the text attribute."""

    def __init__(self, text=""):
        self.text = text
        self._held = None
        self._native = NativeTextControl(None, GetText(self._get), SetText(self._set))

    def get_text(self):
        return self.text

    def set_text(self, text):
        self.text = text

    def _get(self, context):
        def body():
            # Held until the next read: the library reads it during the call.
            self._held = ctypes.create_string_buffer(_encode(self.get_text() or ""))
            return ctypes.addressof(self._held)
        return _guard(body, None)

    def _set(self, context, text):
        _guard(lambda: self.set_text(_decode(text) or ""), None)


def _out_call(name, model, count):
    outs = [c_void_p() for _ in range(count)]
    ok = _flag_call(name, model, *(byref(o) for o in outs))
    return (ok, *(_decode(o.value) for o in outs))


# ---- Frame ----
def _constant_text(name):
    text = c_void_p()
    getattr(native, name)(byref(text))
    return _decode(text.value)


def versao():
    return _constant_text("KALPO_Versao")


def versao_number():
    return _constant_text("KALPO_Versao_Number")


def ret_lista_ecfs():
    return _constant_text("KALPO_RetListaECFS")


def inicia_driver():
    return bool(native.KALPO_IniciaDriver())


def fecha_driver(model):
    return _flag_call("KALPO_FechaDriver", model)


def grava_registro(porta):
    return _flag_call("KALPO_GravaRegistro", porta)


# ---- Return analysis ----
def retorna_impressora(model):
    return _flag_call("KALPO_retorna_impressora", model)


def analisa_iretorno(model, codigo):
    return _flag_call("KALPO_Analisa_iRetorno", model, codigo)


def analisa_ret_sigtron_fs345(codigo):
    """Returns (ok, answer, answer count)."""
    buffer, count = ctypes.create_string_buffer(256), c_int32(0)
    ok = bool(_call("KALPO_Analisa_RetSigtronFS345", codigo, buffer, len(buffer), byref(count)))
    return ok, _decode(ctypes.addressof(buffer)), count.value


# ---- Fiscal coupon ----
def abre_cupom(model, nome="", endereco="", documento=""):
    """Returns (ok, coupon number or None)."""
    numero = c_void_p()
    ok = _flag_call("KALPO_AbreCupom", model, byref(numero), _encode(nome), _encode(endereco), _encode(documento))
    return ok, _decode(numero.value)


def venda_item(model, codigo, descricao, aliquota, tipo_quantidade, quantidade, casas_decimais, valor_unitario,
               tipo_desconto=""):
    return _flag_call("KALPO_VendaItem", model, _encode(codigo), _encode(descricao), _encode(aliquota),
                      _encode(tipo_quantidade), quantidade, casas_decimais, valor_unitario, _encode(tipo_desconto), 0.0)


def inicia_fechamento(model, desconto):
    return _flag_call("KALPO_Inicia_Fechamento", model, desconto)


def desc_fechamento(model, desconto):
    return _flag_call("KALPO_desc_fechamento", model, desconto)


def forma_pagamento(model, forma, valor):
    return _flag_call("KALPO_forma_pagamento", model, _encode(forma), valor)


def fecha_cupom(model, mensagem):
    return _flag_call("KALPO_fecha_cupom", model, byref(mensagem._native))


def cancela_item(model, item):
    return _flag_call("KALPO_Cancela_Item", model, item)


def cancela_ultimo_cupom(model):
    """Returns (ok, answer count, coupon number, document state)."""
    count, numero, estado = c_int32(0), c_void_p(), c_void_p()
    ok = _flag_call("KALPO_Cancela_Ultimo_Cupom", model, None, None, byref(count), byref(numero), byref(estado))
    return ok, count.value, _decode(numero.value), _decode(estado.value)


# ---- Linked vouchers and management reports ----
def cupom_vinculado(model, forma, numero_cupom, valor):
    return _flag_call("KALPO_cupom_vinculado", model, _encode(forma), _encode(numero_cupom), valor)


def usa_vinculado(model, texto):
    return _flag_call("KALPO_usavinculado", model, _encode(texto))


def usa_vinculado_termica(model, texto):
    return _flag_call("KALPO_usavinculadotermica", model, byref(texto._native))


def fecha_cupom_nao_vinculado(model):
    return _flag_call("KALPO_FechaCupomNaovinculado", model)


def abre_rel_gerencial(model, texto, codigo):
    return _flag_call("KALPO_AbreRelGerencial", model, _encode(texto), _encode(codigo))


def fecha_gerencial(model):
    return _flag_call("KALPO_FechaGerencial", model)


# ---- Day reports and fiscal memory ----
def leitura_x(model):
    """Returns (ok, answer count)."""
    count = c_int32(0)
    return _flag_call("KALPO_Leiturax", model, None, None, byref(count)), count.value


def reducao_z(model):
    """Returns (ok, answer count)."""
    count = c_int32(0)
    return _flag_call("KALPO_Reducaoz", model, None, None, None, byref(count)), count.value


def abre_dia(model):
    return _flag_call("KALPO_Abredia", model)


def horario_verao(model, acao):
    return _flag_call("KALPO_HorarioVerao", model, _encode(acao))


def le_data(model):
    data = c_void_p()
    _call("KALPO_LeData", _encode(model), byref(data))
    return _decode(data.value)


def leitura_mem_fiscal(model, inicio, fim, tipo):
    return _flag_call("KALPO_LeituraMemFiscal", model, _encode(inicio), _encode(fim), _encode(tipo))


def gera_cotepe(model, dia):
    """dia: days since 30 December 1899, the fraction being the time of day."""
    return _flag_call("KALPO_GeraCotepe", model, dia)


def impressao_bobina(model):
    return _flag_call("KALPO_ImpressaoBobina", model)


# ---- Queries and device utilities ----
def _query(name, doc="Returns (ok, text or None).", outs=1):
    def query(model):
        return _out_call(name, model, outs)
    query.__doc__ = doc
    return query


mostra_num_serie = _query("KALPO_MostraNumSerie", "Returns (ok, serial number or None).")
firmware = _query("KALPO_FirmWare", "Returns (ok, firmware version or None).")
retorna_gt = _query("KALPO_RetornaGT", "Returns (ok, grand total or None).")
data_hora_ecf = _query("KALPO_DataHoraEcf", "Returns (ok, date or None, time or None).", 2)
numero_cupom = _query("KALPO_NumeroCupom", "Returns (ok, coupon number or None).")
num_reducao = _query("KALPO_NumReducao", "Returns (ok, reduction counter or None).")
totalizador_parcial = _query("KALPO_TotalizadorParcial", "Returns (ok, partial totals or None).")


def resumo_aliq(model):
    return _flag_call("KALPO_ResumoAliq", model)


def verifica_estado_ecf(model):
    """Returns (ok, acknowledgement, status byte 1, status byte 2)."""
    values = [c_int32(0) for _ in range(3)]
    ok = _flag_call("KALPO_VerificaEstadoECF", model, *(byref(v) for v in values))
    return (ok, *(v.value for v in values))


def cupom_aberto(model):
    return _flag_call("KALPO_Cupom_Aberto", model)


def abre_gaveta(model):
    return _flag_call("KALPO_AbreGaveta", model)
