"""A whole sale through kalpo.py, as a Python point-of-sale program makes it.
The model comes from KALPO_BINDING_MODEL (by default BEMATECHMP20)."""
import os

import pytest

import kalpo

MODEL = os.environ.get("KALPO_BINDING_MODEL") or "BEMATECHMP20"
PRINTER = MODEL not in ("ECFZANTRELLO", "NOTAFISCAL")


class Promo(kalpo.TextControl):
    def __init__(self):
        super().__init__("Obrigado pela preferência!")
        self.reads = 0

    def get_text(self):
        self.reads += 1
        return super().get_text()


@pytest.fixture
def messages():
    received = []

    def handler(form, text, caption, flags):
        received.append((form, text, caption, flags))
        return kalpo.BTN_OK

    kalpo.define_tratador_mensagens(handler)
    yield received
    kalpo.define_tratador_mensagens(None)


def test_whole_sale(messages):
    assert kalpo.versao() == "KALPO_DLL Versão 3.60"
    ok, numero = kalpo.abre_cupom(MODEL, "José da Silva", "Rua das Flores, 12", "12345678909")
    assert ok
    if PRINTER:
        assert numero is not None and len(numero) == 6 and int(numero) > 0
    else:
        assert numero is None
    assert kalpo.venda_item(MODEL, "7891000100103", "CAFE TORRADO 500G", "01", "I", 1.5, 2, 2.99)
    assert kalpo.venda_item(MODEL, "42", "PAO DE QUEIJO", "01", "I", 2.0, 2, 4.5)
    assert kalpo.inicia_fechamento(MODEL, 0.0)
    assert kalpo.forma_pagamento(MODEL, "Dinheiro", 20.0)
    promo = Promo()
    assert kalpo.fecha_cupom(MODEL, promo)
    assert promo.reads == (1 if PRINTER else 0)
    assert messages == []

    # A refusal reaches the handler as a typed dialog.
    assert not kalpo.horario_verao(MODEL, "ENTRAR")
    assert messages == [(kalpo.MSG_DIALOG, "Modelo de Impressora Fiscal não prepara ainda para o programa!\r\n"
                         "Por favor, utilize o utilitário do fabricante!", None, 0x40)]


def test_handler_exception_comes_back_from_the_export(messages):
    def failing(form, text, caption, flags):
        raise RuntimeError("boom")

    kalpo.define_tratador_mensagens(failing)
    with pytest.raises(RuntimeError, match="boom"):
        kalpo.horario_verao(MODEL, "ENTRAR")


@pytest.mark.parametrize("text", ["中", "a\0b"])
def test_text_the_wire_cannot_carry_is_refused(text):
    with pytest.raises(ValueError):
        kalpo.usa_vinculado(MODEL, text)


@pytest.mark.parametrize("raise_errors", [False, True])
def test_printer_binds_the_model_and_raises_with_the_messages(messages, raise_errors):
    printer = kalpo.Printer(MODEL, raise_errors=raise_errors)
    if not raise_errors:
        assert printer.horario_verao("ENTRAR") is False
    else:
        with pytest.raises(kalpo.KalpoError) as raised:
            printer.horario_verao("ENTRAR")
        assert (raised.value.call, raised.value.model) == ("horario_verao", MODEL)
        assert raised.value.messages == [messages[0][1]]
    # The caller's handler receives the message either way.
    assert len(messages) == 1 and messages[0][0] == kalpo.MSG_DIALOG
    assert printer.le_data() == kalpo.le_data(MODEL)


@pytest.mark.parametrize("library, said", [
    ("missing", "no such file"),  # no libkalpo at all
    ("alone", "the maker library libbemafi32.so is missing"),  # libkalpo without maker libraries
])
def test_the_module_imports_without_a_library_and_says_why_at_the_first_call(tmp_path, library, said):
    import shutil, subprocess, sys
    path = tmp_path / "libkalpo.so.4"
    if library == "alone":
        shutil.copy(os.environ["KALPO_LIBRARY"], path)
    # Without maker libraries libkalpo loads, and a model's call fails as a
    # printer that does not answer, naming the library.
    code = ("import kalpo, pydoc\n"
            "assert 'raise_errors' in pydoc.render_doc(kalpo.Printer)\n"
            "try:\n    assert kalpo.versao()\n    print(kalpo.leitura_x('BEMATECHMP20'))\n"
            "except kalpo.LibraryMissing as error:\n    print(error)\n")
    run = subprocess.run([sys.executable, "-c", code], env=dict(os.environ, KALPO_LIBRARY=str(path)),
                         capture_output=True, text=True, timeout=60)
    assert run.returncode == 0, run.stderr
    assert said in run.stdout + run.stderr
