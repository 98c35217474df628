"""A sale through kalpo.Printer, as a Python point-of-sale program installed
from the wheel makes it; a refused call raises with the operator's message."""
import kalpo

printer = kalpo.Printer("BEMATECHMP20", raise_errors=True)
ok, numero = printer.abre_cupom("José da Silva", "Rua das Flores, 12", "")
printer.venda_item("42", "FEIJÃO", "01", "I", 2.0, 2, 4.5)
printer.inicia_fechamento(0.0)
printer.forma_pagamento("Dinheiro", 10.0)
printer.fecha_cupom("Volte sempre!")
try:
    printer.horario_verao("ENTRAR")
    raise SystemExit("horario_verao was not refused")
except kalpo.KalpoError as error:
    assert error.messages and "Modelo de Impressora Fiscal" in error.messages[0], error.messages
print(f"coupon {numero} sold through kalpo.Printer {kalpo.__version__}")
