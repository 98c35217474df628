"""A kalpo serve started on a free port of loopback, on fresh printers, and
a small HTTP client for it."""
import http.client
import json
import os
import re
import subprocess
import tempfile
import urllib.parse

TOOL = os.environ["KALPO_TOOL"]
# "wine" for kalpo.exe: its printers are in a fresh folder of the Wine
# prefix's drive C.
RUNNER = os.environ.get("KALPO_TOOL_RUNNER", "").split()
TOKEN = "t0ken-for-the-tests-of-kalpo"
HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "include", "kalpo.h")


def declared_exports():
    """The exports kalpo.h declares (their count is checked once, by tests/check_exports.cmake)."""
    with open(HEADER) as file:
        return set(re.findall(r"KALPO_CALL (KALPO_\w+)\(", file.read()))


class Service:
    def __init__(self, *args, token=TOKEN, home=None, limits=None, folder=None, env=None):
        # A folder given is kept: a second service on it finds the first one's data.
        self.folder = folder or tempfile.TemporaryDirectory(prefix="kalpo-serve-")
        self.kept = folder is not None
        extra_env = env
        env = dict(os.environ)
        if RUNNER:
            env["KALPO_SIM_DIR"] = "C:\\" + os.path.basename(self.folder.name)
        else:
            env.update(KALPO_SIM_DIR=os.path.join(self.folder.name, "sim"),
                       KALPO_DRIVE_C=os.path.join(self.folder.name, "c"), HOME=home or self.folder.name,
                       XDG_STATE_HOME=os.path.join(self.folder.name, "state"))
        env.pop("KALPO_SERVE_TOKEN", None)
        env.pop("KALPO_SERVE_LIMITS", None)
        if limits:
            env["KALPO_SERVE_LIMITS"] = ",".join("%s=%d" % item for item in limits.items())
        if token:
            env["KALPO_SERVE_TOKEN"] = token
        env.update(extra_env or {})
        # Standard error in a file: a pipe nobody reads would fill with the calls' log lines.
        self.log = tempfile.TemporaryFile(mode="w+")
        self.process = subprocess.Popen([*RUNNER, TOOL, "serve", "--port", "0", "--panel-url", *args], env=env,
                                        stdout=subprocess.PIPE, stderr=self.log, text=True)
        first = self.process.stdout.readline()
        if not first.startswith("kalpo serve: listening on http://127.0.0.1:"):
            self.process.wait(timeout=10)
            why = first + self.errors()
            self.stop()
            raise RuntimeError("kalpo serve did not start: " + why)
        self.port = int(first.rstrip().rstrip("/").rsplit(":", 1)[1])
        self.panel = self.process.stdout.readline().split("the panel: ")[1].strip()
        self.token = urllib.parse.parse_qs(urllib.parse.urlparse(self.panel).fragment)["token"][0]
        self.base = "http://127.0.0.1:%d" % self.port

    def stop(self):
        """What the service wrote on standard error."""
        self.process.terminate()
        self.process.wait(timeout=10)
        self.process.stdout.close()
        errors = self.errors()
        self.log.close()
        if not self.kept:
            self.folder.cleanup()
        return errors

    def errors(self):
        self.log.seek(0)
        return self.log.read()

    def request(self, method, path, body=None, headers=None, token=True):
        """(status, headers, decoded JSON or text)"""
        sent = {"Host": "127.0.0.1:%d" % self.port}
        if token:
            sent["Authorization"] = "Bearer " + self.token
        sent.update(headers or {})
        if body is not None and not isinstance(body, (bytes, str)):
            body = json.dumps(body)
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=30)
        connection.putrequest(method, path, skip_host=True)
        for name, value in sent.items():
            connection.putheader(name, value)
        data = body.encode() if isinstance(body, str) else body
        if data is not None:
            connection.putheader("Content-Length", str(len(data)))
        connection.endheaders(data)
        response = connection.getresponse()
        text = response.read().decode()
        connection.close()
        try:
            text = json.loads(text)
        except ValueError:
            pass
        return response.status, response.headers, text

    def call(self, export, args, **extra):
        status, _, answer = self.request("POST", "/v1/call/" + export, dict(args=args, **extra))
        assert status == 200, (export, args, status, answer)
        return answer

    def tape(self, library, last):
        return self.request("GET", "/v1/printers/%s/tape?last=%d" % (library, last))[2]["pages"]

    def printer(self, library):
        return next(p for p in self.request("GET", "/v1/printers")[2]["printers"] if p["library"] == library)


def sell(service, model, item="ARROZ TIPO 1 5KG"):
    """A whole coupon: one item, paid in cash.  The results of the five calls."""
    calls = [("AbreCupom", [model, None, "", "", ""]),
             ("VendaItem", [model, "1001", item, "FF", "F", 1, 2, 24.90, "$"]),
             ("Inicia_Fechamento", [model, 0]),
             ("forma_pagamento", [model, "Dinheiro", 24.90]),
             ("fecha_cupom", [model, "Obrigado pela preferência!"])]
    return [service.call(export, args)["result"] for export, args in calls]
