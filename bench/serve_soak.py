#!/usr/bin/env python3
"""kalpo serve under load, for the figures the README quotes (not a test).

  bench/serve_soak.py BUILD_FOLDER [CALLS]

1. Calls per second, one run, the same call (KALPO_NumeroCupom on
   BEMATECHMP20's virtual printer): straight into libkalpo (ctypes), through
   the service (one kept-alive connection, and a connection per call), and
   `kalpo call` started once per call.
2. The soak: CALLS (10,000) calls through the service, a connection per
   call, first whole sales of five calls, then queries that print nothing:
   every call answered, the service's resident memory after each thousand
   calls and its open file descriptors; for comparison, the growth of this
   process over the same sales made straight into libkalpo."""
import ctypes
import http.client
import json
import os
import subprocess
import sys
import tempfile
import time

build = os.path.abspath(sys.argv[1])
soak_calls = int(sys.argv[2]) if len(sys.argv) > 2 else 10000
os.environ["KALPO_TOOL"] = os.path.join(build, "bin", "kalpo")
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "serve"))
from service import Service  # noqa: E402

MODEL = "BEMATECHMP20"


def rate(count, action):
    started = time.perf_counter()
    for _ in range(count):
        action()
    return count / (time.perf_counter() - started)


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


def open_fds(pid):
    return len(os.listdir("/proc/%d/fd" % pid))


service = Service()
# The library and the tool in this process and in `kalpo call` use the same printers.
os.environ.update(KALPO_SIM_DIR=os.path.join(service.folder.name, "sim"),
                  KALPO_DRIVE_C=os.path.join(service.folder.name, "c"))
body = json.dumps({"args": [MODEL]})
headers = {"Host": "127.0.0.1:%d" % service.port, "Authorization": "Bearer " + service.token}


def call_on(connection, export=None, args=None):
    payload = body if export is None else json.dumps({"args": args})
    connection.request("POST", "/v1/call/" + (export or "NumeroCupom"), payload, headers)
    response = connection.getresponse()
    answer = json.loads(response.read())
    return response.status, answer


def new_connection_call(export=None, args=None):
    connection = http.client.HTTPConnection("127.0.0.1", service.port)
    try:
        return call_on(connection, export, args)
    finally:
        connection.close()


try:
    library = ctypes.CDLL(os.path.join(build, "lib", "libkalpo.so"))
    library.KALPO_NumeroCupom.argtypes = [ctypes.c_char_p, ctypes.POINTER(ctypes.c_char_p)]
    library.KALPO_NumeroCupom.restype = ctypes.c_uint8
    number = ctypes.c_char_p()
    assert library.KALPO_NumeroCupom(MODEL.encode(), ctypes.byref(number)) == 1
    kept = http.client.HTTPConnection("127.0.0.1", service.port)
    assert call_on(kept)[1]["result"] == 1
    figures = {
        "direct": rate(3000, lambda: library.KALPO_NumeroCupom(MODEL.encode(), ctypes.byref(number))),
        "service, kept-alive connection": rate(3000, lambda: call_on(kept)),
        "service, a connection per call": rate(1000, new_connection_call),
        "kalpo call": rate(200, lambda: subprocess.run([os.environ["KALPO_TOOL"], "call", "NumeroCupom", MODEL, "-"],
                                                       stdout=subprocess.DEVNULL, check=True)),
    }
    kept.close()
    print("Calls per second (KALPO_NumeroCupom, %s):" % MODEL)
    for name, value in figures.items():
        print("  %-34s %8.0f" % (name, value))

    pid = service.process.pid
    sale = [("AbreCupom", [MODEL, None, "", "", ""]),
            ("VendaItem", [MODEL, "1001", "ARROZ TIPO 1 5KG", "FF", "F", 1, 2, 24.90, "$"]),
            ("Inicia_Fechamento", [MODEL, 0]), ("forma_pagamento", [MODEL, "Dinheiro", 24.90]),
            ("fecha_cupom", [MODEL, "Obrigado"])]
    queries = [("NumeroCupom", [MODEL]), ("Cupom_Aberto", [MODEL]), ("VerificaEstadoECF", [MODEL]),
               ("RetornaGT", [MODEL]), ("DataHoraEcf", [MODEL])]
    fds_before = open_fds(pid)
    for name, calls, expected in (("sales", sale, 1), ("queries", queries, None)):
        memory = []
        failed = 0
        started = time.perf_counter()
        for i in range(soak_calls):
            export, args = calls[i % len(calls)]
            status, answer = new_connection_call(export, args)
            failed += status != 200 or (expected is not None and answer["result"] != expected)
            if (i + 1) % 1000 == 0:
                memory.append(resident_kib(pid))
        elapsed = time.perf_counter() - started
        print("Soak, %s: %d calls in %.1f s (%.0f a second), %d not answered as expected"
              % (name, soak_calls, elapsed, soak_calls / elapsed, failed))
        print("  resident memory after each 1,000 calls (KiB): " + ", ".join(map(str, memory)))
        print("  growth after the first 1,000: %d KiB" % (max(memory[1:] or memory) - memory[0]))
    time.sleep(0.5)
    print("  open file descriptors of the service: %d before, %d after" % (fds_before, open_fds(pid)))

    # The same sales straight into libkalpo, on a printer of their own.
    os.environ["KALPO_SIM_DIR"] = os.path.join(service.folder.name, "direct")
    text, double, int32, pointer = ctypes.c_char_p, ctypes.c_double, ctypes.c_int32, ctypes.c_void_p
    direct = [("AbreCupom", [text, ctypes.POINTER(text), text, text, text], [ctypes.byref(number), b"", b"", b""]),
              ("VendaItem", [text] * 5 + [double, int32, double, text, pointer],
               [b"1001", b"ARROZ TIPO 1 5KG", b"FF", b"F", 1, 2, 24.90, b"$", None]),
              ("Inicia_Fechamento", [text, double], [0]),
              ("forma_pagamento", [text, text, double], [b"Dinheiro", 24.90]),
              ("fecha_cupom", [text, pointer], [None])]
    for export, argtypes, _ in direct:
        getattr(library, "KALPO_" + export).argtypes = argtypes
    memory = []
    for i in range(soak_calls):
        export, _, args = direct[i % len(direct)]
        assert getattr(library, "KALPO_" + export)(MODEL.encode(), *args) == 1
        if (i + 1) % 1000 == 0:
            memory.append(resident_kib(os.getpid()))
    print("The same sales straight into libkalpo: this process's growth after the first 1,000 calls: %d KiB"
          % (max(memory[1:]) - memory[0]))
finally:
    service.stop()
