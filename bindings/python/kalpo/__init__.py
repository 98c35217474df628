"""KALPO: one interface to every supported fiscal printer, from Python.

Install the wheel (pip install kalpo-<version>-py3-none-any.whl) or copy the
kalpo folder beside your program.  The library is loaded from, in order: the
KALPO_LIBRARY environment variable (a file path), the folder of this package,
the folder holding it, then the loader's path.  kalpo.dll (stdcall, a 32-bit
Python) on Windows, libkalpo.so elsewhere.

Texts go in and come out as str (Windows-1252 on the wire), results are bool,
out texts come back in a tuple after the result (None when the library wrote
none).  `native` holds the exports as they are; `Printer` binds the functions
to one printer model and can raise KalpoError with the operator's messages
when a call fails.  Calls must not overlap, and every operator message is
modal on the calling thread.
"""
from __future__ import annotations

import codecs
import contextlib
import ctypes
import inspect
import os
import re
import sys
from ctypes import POINTER, byref, c_char_p, c_double, c_int32, c_uint8, c_uint32, c_void_p
from typing import Any, Callable, Concatenate, Generic, Iterator, ParamSpec, TypeVar

__version__ = "4.0.0"

_WINDOWS = sys.platform == "win32"
_Library: Any = ctypes.WinDLL if _WINDOWS else ctypes.CDLL  # type: ignore[attr-defined]
_FUNCTYPE: Any = ctypes.WINFUNCTYPE if _WINDOWS else ctypes.CFUNCTYPE  # type: ignore[attr-defined]
_NAME = "kalpo.dll" if _WINDOWS else "libkalpo.so.4"

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


_MAKERS = (["BEMAFI32.DLL", "CONVECF.dll", "fs345_32.dll", "Daruma32.dll", "ecf32m.dll", "DllG2.dll",
            "DLLG2_Gerador.dll", "InterfaceEpson.dll"] if _WINDOWS else
           [f"lib{name}.so" for name in ("bemafi32", "convecf", "fs345_32", "daruma32", "ecf32m", "dllg2",
                                         "dllg2_gerador", "interfaceepson")])
_HERE = os.path.dirname(os.path.abspath(__file__))

class LibraryMissing(OSError):
    """libkalpo could not be loaded, or the virtual printer was asked for where
    it is not: the message says where it was looked for.  (A maker library
    that is missing is libkalpo's to say: the call that needs it fails as a
    printer that does not answer, naming the library on standard error.)"""


def _places() -> list[str]:
    named = os.environ.get("KALPO_LIBRARY")
    if named:
        return [named]
    return [os.path.join(_HERE, _NAME), os.path.join(os.path.dirname(_HERE), _NAME), _NAME]


def _wants_virtual() -> bool:
    return os.environ.get("KALPO_VIRTUAL", "") not in ("", "0")


_virtual_loaded = False


def _load_virtual_printer() -> None:
    """The platform wheel's virtual printer, loaded by this module so that
    libkalpo, which loads each maker library when a call first needs it, takes
    these of the same names; only when asked for, and at any time before a
    call has needed a maker's library."""
    global _virtual_loaded
    if _virtual_loaded:
        return
    folder = os.path.join(_HERE, "virtual-printer")
    if not os.path.isdir(folder):
        raise LibraryMissing(f"KALPO: the virtual printer was asked for, but {folder} is missing: it comes with "
                             "the platform wheels only")
    for maker in _MAKERS:
        ctypes.CDLL(os.path.join(folder, maker), mode=ctypes.RTLD_GLOBAL)
    _virtual_loaded = True


def _load() -> Any:
    """The library from the first place that has it; LibraryMissing naming
    every place tried and why it failed otherwise."""
    tried = []
    for place in _places():
        if os.path.dirname(place) and not os.path.exists(place):
            tried.append(f"{place}: no such file")
            continue
        try:
            return _Library(place)
        except OSError as error:
            tried.append(f"{place}: {error}" if os.path.dirname(place) else f"{place} on the loader's path: {error}")
    raise LibraryMissing(f"KALPO: {_NAME} could not be loaded; tried:\n  " + "\n  ".join(tried) +
                         "\nSet KALPO_LIBRARY to the library's path.")


_library: Any = None


def _loaded(virtual: bool = False) -> Any:
    """libkalpo, loaded at the first call, its exports typed; the virtual
    printer loaded first when asked for, now or at an earlier call."""
    global _library
    if virtual or _wants_virtual():
        _load_virtual_printer()
    if _library is None:
        library = _load()
        for name, (restype, argtypes) in _EXPORTS.items():
            function = getattr(library, name)
            function.restype, function.argtypes = restype, argtypes
        _library = library
    return _library


class _Native:
    """The exports as they are; libkalpo is loaded by the first one used, so
    that the module imports (and help() works) without it."""

    def __getattr__(self, name: str) -> Any:
        if name not in _EXPORTS:
            raise AttributeError(name)
        return getattr(_loaded(), name)

    def __dir__(self) -> list[str]:
        return list(_EXPORTS)


native: Any = _Native()

# ---- Windows-1252 ----
# The five bytes Windows-1252 leaves undefined stand for the same code point,
# both ways, so that no byte of a printer's answer is lost.
_UNDEFINED = {0x81, 0x8D, 0x8F, 0x90, 0x9D}


def _undefined_bytes(error: UnicodeError) -> tuple[str | bytes, int]:
    if isinstance(error, UnicodeDecodeError):
        return "".join(chr(b) for b in error.object[error.start:error.end]), error.end
    if not isinstance(error, UnicodeEncodeError):
        raise error
    text = error.object[error.start:error.end]
    if all(ord(c) in _UNDEFINED for c in text):
        return bytes(ord(c) for c in text), error.end
    raise ValueError(f"Windows-1252 has no character {text[0]!r} (position {error.start} of {error.object!r})")


codecs.register_error("kalpo.cp1252", _undefined_bytes)


def _encode(text: str | None) -> bytes | None:
    if text is None:
        return None
    if "\0" in text:
        raise ValueError(f"KALPO texts cannot hold a NUL character: {text!r}")
    return text.encode("cp1252", "kalpo.cp1252")


def _decode(pointer: int | None) -> str | None:
    return None if pointer is None else ctypes.string_at(pointer).decode("cp1252", "kalpo.cp1252")


# ---- Callbacks: an exception must not cross into C; it is kept and raised
# when the export returns. ----
_pending: list[BaseException] = []
_T = TypeVar("_T")


def _guard(body: Callable[[], _T], on_error: _T) -> _T:
    try:
        return body()
    except BaseException as error:  # noqa: B902 - re-raised after the export returns
        _pending.append(error)
        return on_error


def _done(result: _T) -> _T:
    if _pending:
        error = _pending[0]
        _pending.clear()
        raise error
    return result


def _call(name: str, *args: Any) -> Any:
    return _done(getattr(native, name)(*args))


def _flag_call(name: str, model: str, *args: Any) -> bool:
    return bool(_call(name, _encode(model), *args))


Handler = Callable[[int, "str | None", "str | None", int], int]
_handler: Handler | None = None  # the caller's; None: the library's default
_registered: Any = None  # the callback the library holds, kept alive
_collectors: list[list[str]] = []  # raising Printer calls gathering the messages


def _default_answer(form: int, flags: int) -> int:
    # As the library answers without a handler: No to a question, OK otherwise.
    return BTN_NO if form == MSG_DIALOG and flags & 0x0F == 0x04 else BTN_OK


def _relay(context: int | None, form: int, text: int | None, caption: int | None, flags: int) -> int:
    decoded = _decode(text)
    for messages in _collectors:
        messages.append(decoded or "")
    if _handler is None:
        return _default_answer(form, flags)
    handler: Handler = _handler
    return _guard(lambda: int(handler(form, decoded, _decode(caption), flags)), BTN_NO)


def _register() -> None:
    """Hands the library no callback (its default) when nobody listens, else
    the relay to the caller's handler and the collectors."""
    global _registered
    _registered = TratadorMensagem(_relay) if _handler or _collectors else TratadorMensagem()
    native.KALPO_DefineTratadorMensagens(_registered, None)


def define_tratador_mensagens(handler: Handler | None) -> None:
    """Routes every operator message to handler(form, text, caption, flags),
    which returns the button (BTN_OK, BTN_YES, BTN_NO); None restores the
    library's default.  A handler that raises answers No, and its exception is
    raised when the export returns."""
    global _handler
    _handler = handler
    _register()


@contextlib.contextmanager
def _collecting() -> Iterator[list[str]]:
    messages: list[str] = []
    _collectors.append(messages)
    _register()
    try:
        yield messages
    finally:
        _collectors.remove(messages)
        _register()


class TextControl:
    """The caller's text-holding control: override get_text/set_text to bind
    a user-interface control, or use the text attribute."""

    def __init__(self, text: str = "") -> None:
        self.text = text
        self._held: ctypes.Array[ctypes.c_char] | None = None
        self._native = NativeTextControl(None, GetText(self._get), SetText(self._set))

    def get_text(self) -> str:
        return self.text

    def set_text(self, text: str) -> None:
        self.text = text

    def _get(self, context: int | None) -> int | None:
        def body() -> int:
            # Held until the next read: the library reads it during the call.
            held = ctypes.create_string_buffer(_encode(self.get_text() or "") or b"")
            self._held = held
            return ctypes.addressof(held)
        return _guard(body, None)

    def _set(self, context: int | None, text: int | None) -> None:
        _guard(lambda: self.set_text(_decode(text) or ""), None)


def _control_of(control: TextControl | str | None) -> Any:
    if isinstance(control, str):
        control = TextControl(control)
    return None if control is None else byref(control._native)


def _out_call(name: str, model: str, count: int) -> tuple[Any, ...]:
    outs = [c_void_p() for _ in range(count)]
    ok = _flag_call(name, model, *(byref(o) for o in outs))
    return (ok, *(_decode(o.value) for o in outs))


# ---- Frame ----
def _constant_text(name: str) -> str | None:
    text = c_void_p()
    getattr(native, name)(byref(text))
    return _decode(text.value)


def versao() -> str | None:
    return _constant_text("KALPO_Versao")


def versao_number() -> str | None:
    return _constant_text("KALPO_Versao_Number")


def ret_lista_ecfs() -> str | None:
    return _constant_text("KALPO_RetListaECFS")


def inicia_driver() -> bool:
    return bool(native.KALPO_IniciaDriver())


def fecha_driver(model: str) -> bool:
    return _flag_call("KALPO_FechaDriver", model)


def grava_registro(porta: str) -> bool:
    return _flag_call("KALPO_GravaRegistro", porta)


# ---- Return analysis ----
def retorna_impressora(model: str) -> bool:
    return _flag_call("KALPO_retorna_impressora", model)


def analisa_iretorno(model: str, codigo: int) -> bool:
    return _flag_call("KALPO_Analisa_iRetorno", model, codigo)


def analisa_ret_sigtron_fs345(codigo: int) -> tuple[bool, str | None, int]:
    """Returns (ok, answer, answer count)."""
    buffer, count = ctypes.create_string_buffer(256), c_int32(0)
    ok = bool(_call("KALPO_Analisa_RetSigtronFS345", codigo, buffer, len(buffer), byref(count)))
    return ok, _decode(ctypes.addressof(buffer)), count.value


# ---- Fiscal coupon ----
def abre_cupom(model: str, nome: str = "", endereco: str = "", documento: str = "") -> tuple[bool, str | None]:
    """Returns (ok, coupon number or None)."""
    numero = c_void_p()
    ok = _flag_call("KALPO_AbreCupom", model, byref(numero), _encode(nome), _encode(endereco), _encode(documento))
    return ok, _decode(numero.value)


def venda_item(model: str, codigo: str, descricao: str, aliquota: str, tipo_quantidade: str, quantidade: float,
               casas_decimais: int, valor_unitario: float, tipo_desconto: str = "") -> bool:
    return _flag_call("KALPO_VendaItem", model, _encode(codigo), _encode(descricao), _encode(aliquota),
                      _encode(tipo_quantidade), quantidade, casas_decimais, valor_unitario, _encode(tipo_desconto), 0.0)


def inicia_fechamento(model: str, desconto: float) -> bool:
    return _flag_call("KALPO_Inicia_Fechamento", model, desconto)


def desc_fechamento(model: str, desconto: float) -> bool:
    return _flag_call("KALPO_desc_fechamento", model, desconto)


def forma_pagamento(model: str, forma: str, valor: float) -> bool:
    return _flag_call("KALPO_forma_pagamento", model, _encode(forma), valor)


def fecha_cupom(model: str, mensagem: TextControl | str | None) -> bool:
    """mensagem: the promotional text, in a TextControl to get the text back."""
    return _flag_call("KALPO_fecha_cupom", model, _control_of(mensagem))


def cancela_item(model: str, item: int) -> bool:
    return _flag_call("KALPO_Cancela_Item", model, item)


def cancela_ultimo_cupom(model: str) -> tuple[bool, int, str | None, str | None]:
    """Returns (ok, answer count, coupon number, document state)."""
    count, numero, estado = c_int32(0), c_void_p(), c_void_p()
    ok = _flag_call("KALPO_Cancela_Ultimo_Cupom", model, None, None, byref(count), byref(numero), byref(estado))
    return ok, count.value, _decode(numero.value), _decode(estado.value)


# ---- Linked vouchers and management reports ----
def cupom_vinculado(model: str, forma: str, numero_cupom: str, valor: float) -> bool:
    return _flag_call("KALPO_cupom_vinculado", model, _encode(forma), _encode(numero_cupom), valor)


def usa_vinculado(model: str, texto: str) -> bool:
    return _flag_call("KALPO_usavinculado", model, _encode(texto))


def usa_vinculado_termica(model: str, texto: TextControl | str | None) -> bool:
    return _flag_call("KALPO_usavinculadotermica", model, _control_of(texto))


def fecha_cupom_nao_vinculado(model: str) -> bool:
    return _flag_call("KALPO_FechaCupomNaovinculado", model)


def abre_rel_gerencial(model: str, texto: str, codigo: str) -> bool:
    return _flag_call("KALPO_AbreRelGerencial", model, _encode(texto), _encode(codigo))


def fecha_gerencial(model: str) -> bool:
    return _flag_call("KALPO_FechaGerencial", model)


# ---- Day reports and fiscal memory ----
def leitura_x(model: str) -> tuple[bool, int]:
    """Returns (ok, answer count)."""
    count = c_int32(0)
    return _flag_call("KALPO_Leiturax", model, None, None, byref(count)), count.value


def reducao_z(model: str) -> tuple[bool, int]:
    """Returns (ok, answer count)."""
    count = c_int32(0)
    return _flag_call("KALPO_Reducaoz", model, None, None, None, byref(count)), count.value


def abre_dia(model: str) -> bool:
    return _flag_call("KALPO_Abredia", model)


def horario_verao(model: str, acao: str) -> bool:
    return _flag_call("KALPO_HorarioVerao", model, _encode(acao))


def le_data(model: str) -> str | None:
    data = c_void_p()
    _call("KALPO_LeData", _encode(model), byref(data))
    return _decode(data.value)


def leitura_mem_fiscal(model: str, inicio: str, fim: str, tipo: str) -> bool:
    return _flag_call("KALPO_LeituraMemFiscal", model, _encode(inicio), _encode(fim), _encode(tipo))


def gera_cotepe(model: str, dia: float) -> bool:
    """dia: days since 30 December 1899, the fraction being the time of day."""
    return _flag_call("KALPO_GeraCotepe", model, dia)


def impressao_bobina(model: str) -> bool:
    return _flag_call("KALPO_ImpressaoBobina", model)


# ---- Queries and device utilities ----
def _query(name: str, doc: str = "Returns (ok, text or None).", outs: int = 1) -> Callable[[str], tuple[Any, ...]]:
    def query(model: str) -> tuple[Any, ...]:
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


def resumo_aliq(model: str) -> bool:
    return _flag_call("KALPO_ResumoAliq", model)


def verifica_estado_ecf(model: str) -> tuple[bool, int, int, int]:
    """Returns (ok, acknowledgement, status byte 1, status byte 2)."""
    values = [c_int32(0) for _ in range(3)]
    ok = _flag_call("KALPO_VerificaEstadoECF", model, *(byref(v) for v in values))
    return ok, values[0].value, values[1].value, values[2].value


def cupom_aberto(model: str) -> bool:
    return _flag_call("KALPO_Cupom_Aberto", model)


def abre_gaveta(model: str) -> bool:
    return _flag_call("KALPO_AbreGaveta", model)


# ---- One printer ----
class KalpoError(Exception):
    """A failed call of a Printer made with raise_errors: the call, the model
    and the operator's messages the library gave during it."""

    def __init__(self, call: str, model: str, messages: list[str]) -> None:
        self.call, self.model, self.messages = call, model, messages
        told = " | ".join(" ".join(m.split()) for m in messages) or "no message"
        super().__init__(f"{call} on {model} failed: {told}")


_P = ParamSpec("_P")
_R = TypeVar("_R")


class _ModelBound(Generic[_P, _R]):
    """A function whose first argument is the model, as a method of Printer."""

    def __init__(self, function: Callable[Concatenate[str, _P], _R]) -> None:
        self._function = function
        self._name = function.__name__
        self.__doc__ = function.__doc__
        # The function's own parameters less the model, for help() and editors.
        signature = inspect.signature(function)
        self._signature = signature.replace(parameters=list(signature.parameters.values())[1:])

    def __set_name__(self, owner: type, name: str) -> None:
        self._name = name

    def __get__(self, printer: Printer, owner: type | None = None) -> Callable[_P, _R]:
        def call(*args: _P.args, **kwargs: _P.kwargs) -> _R:
            return printer._run(self._name, self._function, *args, **kwargs)

        call.__name__, call.__doc__ = self._name, self.__doc__
        call.__signature__ = self._signature  # type: ignore[attr-defined]
        return call


def _failed(result: object) -> bool:
    return (result[0] if isinstance(result, tuple) else result) is False


class Printer:
    """One printer model: the module's functions without their model argument.

    With raise_errors=True a call that fails raises KalpoError carrying the
    operator's messages given during it; a registered message handler still
    receives them, and without one they are not shown and a question is
    answered No.  Otherwise results are returned as by the functions.

    virtual=True loads the platform wheel's virtual printer, whatever was
    called before, as long as no call has yet needed a maker's library
    (KALPO_VIRTUAL=1 does the same for a program that cannot change its
    code); otherwise the makers' own libraries answer."""

    def __init__(self, model: str, raise_errors: bool = False, virtual: bool = False) -> None:
        self.model = model
        self.raise_errors = raise_errors
        if virtual:
            _loaded(virtual=True)

    def __repr__(self) -> str:
        return f"kalpo.Printer({self.model!r}, raise_errors={self.raise_errors})"

    def _run(self, name: str, function: Callable[..., _R], *args: Any, **kwargs: Any) -> _R:
        if not self.raise_errors:
            return function(self.model, *args, **kwargs)
        with _collecting() as messages:
            result = function(self.model, *args, **kwargs)
        if _failed(result):
            raise KalpoError(name, self.model, messages)
        return result

    fecha_driver = _ModelBound(fecha_driver)
    retorna_impressora = _ModelBound(retorna_impressora)
    analisa_iretorno = _ModelBound(analisa_iretorno)
    abre_cupom = _ModelBound(abre_cupom)
    venda_item = _ModelBound(venda_item)
    inicia_fechamento = _ModelBound(inicia_fechamento)
    desc_fechamento = _ModelBound(desc_fechamento)
    forma_pagamento = _ModelBound(forma_pagamento)
    fecha_cupom = _ModelBound(fecha_cupom)
    cancela_item = _ModelBound(cancela_item)
    cancela_ultimo_cupom = _ModelBound(cancela_ultimo_cupom)
    cupom_vinculado = _ModelBound(cupom_vinculado)
    usa_vinculado = _ModelBound(usa_vinculado)
    usa_vinculado_termica = _ModelBound(usa_vinculado_termica)
    fecha_cupom_nao_vinculado = _ModelBound(fecha_cupom_nao_vinculado)
    abre_rel_gerencial = _ModelBound(abre_rel_gerencial)
    fecha_gerencial = _ModelBound(fecha_gerencial)
    leitura_x = _ModelBound(leitura_x)
    reducao_z = _ModelBound(reducao_z)
    abre_dia = _ModelBound(abre_dia)
    horario_verao = _ModelBound(horario_verao)
    le_data = _ModelBound(le_data)
    leitura_mem_fiscal = _ModelBound(leitura_mem_fiscal)
    gera_cotepe = _ModelBound(gera_cotepe)
    impressao_bobina = _ModelBound(impressao_bobina)
    mostra_num_serie = _ModelBound(mostra_num_serie)
    firmware = _ModelBound(firmware)
    retorna_gt = _ModelBound(retorna_gt)
    data_hora_ecf = _ModelBound(data_hora_ecf)
    numero_cupom = _ModelBound(numero_cupom)
    num_reducao = _ModelBound(num_reducao)
    totalizador_parcial = _ModelBound(totalizador_parcial)
    resumo_aliq = _ModelBound(resumo_aliq)
    verifica_estado_ecf = _ModelBound(verifica_estado_ecf)
    cupom_aberto = _ModelBound(cupom_aberto)
    abre_gaveta = _ModelBound(abre_gaveta)


def _document_exports() -> None:
    """Gives each function without a docstring one naming the export it
    calls (its manual page: man KALPO_Name)."""
    for name, function in list(globals().items()):
        if name.startswith("_") or not inspect.isfunction(function) or function.__doc__:
            continue
        try:
            called = sorted(set(re.findall(r"KALPO_\w+", inspect.getsource(function))))
        except (OSError, TypeError):
            called = []
        function.__doc__ = (f"Calls {', '.join(called)} for the model (man {called[0]}); True when it succeeded."
                            if called else "Calls the export of this name; True when it succeeded.")
        bound = Printer.__dict__.get(name)
        if isinstance(bound, _ModelBound):
            bound.__doc__ = function.__doc__


_document_exports()
