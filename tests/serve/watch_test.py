"""The printer watch as a store sees it.  A printer goes healthy, off, paper
low, paper out and healthy again, once behind a maker library of the test's
own that keeps no folder (what a maker's real library is to the service) and
once behind the virtual printer's faults; each change shows within the watch's
interval in /v1/health, the gauges, a `status` event and the warnings of a
call.  The shipped alert rules are then unit-tested by promtool on the series
recorded from these runs."""
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from service import Service

LIBRARY_DIR = os.environ["KALPO_SCRIPTED_LIBRARY_DIR"]
RULES = os.path.join(os.path.dirname(__file__), "..", "..", "packaging", "prometheus", "kalpo-alerts.yml")
PROMTOOL = shutil.which("promtool")
INTERVAL = 0.5
# Generous against a loaded machine: what is checked is that the state
# follows the printer, not how fast (bench/ measures that).
PATIENCE = 20 * INTERVAL
MODEL, LIBRARY = "BEMATECHMP20", "bemafi32"

# Each step: what the printer is made to be, and what the service says then.
STEPS = [
    ("healthy", dict(status="ok", answering=True, paper="ok"), [], {"ok": 1}),
    ("off", dict(status="down", answering=False), ["printer_not_answering"], None),
    ("paper_low", dict(status="degraded", answering=True, paper="low"), ["paper_low"], {"low": 1}),
    ("paper_out", dict(status="degraded", answering=True, paper="out"), ["paper_out"], {"out": 1}),
    ("healthy", dict(status="ok", answering=True, paper="ok"), [], {"ok": 1}),
]
FAULTS = {"healthy": [], "off": ["off"], "paper_low": ["paper_near_end"], "paper_out": ["paper_end"]}


class Events(threading.Thread):
    """The event stream's `status` events, read as they come."""

    def __init__(self, service):
        super().__init__(daemon=True)
        self.stream = socket.create_connection(("127.0.0.1", service.port))
        self.stream.sendall(b"GET /v1/events HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nAuthorization: Bearer %s\r\n\r\n"
                            % (service.port, service.token.encode()))
        self.status = []
        self.start()

    def run(self):
        buffer = b""
        try:
            while True:
                piece = self.stream.recv(65536)
                if not piece:
                    return
                buffer += piece
                while b"\n\n" in buffer:
                    event, buffer = buffer.split(b"\n\n", 1)
                    lines = event.decode().splitlines()
                    if "event: status" in lines:
                        self.status.append(json.loads(next(l[6:] for l in lines if l.startswith("data: "))))
        except OSError:
            return


def gauges(text):
    """{(name, state or None): value} of the model's printer gauges."""
    found = {}
    for name, labels, value in re.findall(r"^(kalpo_printer_\w+)\{([^}]*)\} (\S+)$", text, re.M):
        if 'model="%s"' % MODEL in labels:
            state = re.search(r'state="(\w+)"', labels)
            found[(name, state.group(1) if state else None)] = float(value)
    return found


class Watch(unittest.TestCase):
    recorded = {}

    def follow(self, service, events, make, virtual):
        """Each step made by `make(step)`, then seen everywhere; the gauges
        recorded, one sample a step."""
        series = {}
        for number, (step, health, warnings, paper) in enumerate(STEPS):
            with self.subTest(step=number, printer=step):
                seen = len(events.status)
                make(step)
                deadline = time.monotonic() + PATIENCE
                while True:
                    state = service.request("GET", "/v1/health", token=False)[2]["printers"].get(MODEL, {})
                    told = [e for e in events.status[seen:] if e["model"] == MODEL and e["status"] == health["status"]]
                    if state.get("status") == health["status"] and told or time.monotonic() > deadline:
                        break
                    time.sleep(INTERVAL / 5)
                self.assertEqual({key: state.get(key) for key in health}, health, state)
                self.assertTrue(told or (number == 0 and events.status), events.status)
                self.assertEqual(state["library"], LIBRARY)
                metrics = gauges(service.request("GET", "/metrics")[2])
                self.assertEqual(metrics[("kalpo_printer_up", None)], 1.0 if health["answering"] else 0.0)
                # Which library answers: the scripted one is a maker's own.
                self.assertEqual((state["virtual"], metrics[("kalpo_printer_virtual", None)]),
                                 (virtual, float(virtual)), state)
                for paper_state, value in (paper or {}).items():
                    self.assertEqual(metrics[("kalpo_printer_paper", paper_state)], value)
                status, _, answer = service.request("POST", "/v1/call/NumeroCupom", {"args": [MODEL, None]})
                self.assertEqual(status, 200)
                self.assertEqual([w for w in answer["warnings"] if "'" not in w], warnings)
                for key, value in metrics.items():
                    series.setdefault(key, []).append(value)
        return series

    def run_with(self, name, service, make):
        events = Events(service)
        try:
            self.recorded[name] = self.follow(service, events, make, name == "virtual")
        finally:
            events.stream.close()
            log = service.stop()
        for line in log.splitlines():
            json.loads(line)  # every line of the log is one JSON object

    def test_a_maker_library_without_a_folder(self):
        script = tempfile.NamedTemporaryFile("w", delete=False)
        script.close()
        env = {"KALPO_SCRIPTED_PRINTER": script.name,
               "LD_LIBRARY_PATH": LIBRARY_DIR + os.pathsep + os.environ.get("LD_LIBRARY_PATH", "")}
        service = Service("--printer", MODEL, "--watch-interval", str(INTERVAL), env=env)

        def make(step):
            with open(script.name, "w") as file:
                file.write(step)

        try:
            self.run_with("scripted", service, make)
            # Nothing was looked for in a printer's folder: none was made.
            self.assertFalse(os.path.exists(os.path.join(service.folder.name, "sim", LIBRARY, "journal")))
        finally:
            os.unlink(script.name)

    def test_the_virtual_printers_faults(self):
        service = Service("--printer", MODEL, "--watch-interval", str(INTERVAL))
        self.run_with("virtual", service, lambda step: service.request(
            "PUT", "/v1/printers/%s/faults" % LIBRARY, {"faults": FAULTS[step]}))

    @classmethod
    def tearDownClass(cls):
        cls.rules_tested = rules_test(cls.recorded)


def rules_test(recorded):
    """The alert rules tested on the series recorded, each step held ten
    minutes: the printer is off from 10m, low from 20m, out from 30m."""
    if not PROMTOOL or not recorded:
        return
    series = next(iter(recorded.values()))
    labels = 'model="%s",library="%s",job="kalpo",instance="127.0.0.1:8123",store="0042"' % (MODEL, LIBRARY)

    def values(key):
        samples = series.get(key, [])
        return " ".join("%gx9" % v for v in samples)

    def name(key):
        return key[0] + "{" + labels + (',state="%s"' % key[1] if key[1] else "") + "}"

    inputs = [{"series": name(key), "values": values(key)} for key in series if key[0] in (
        "kalpo_printer_up", "kalpo_printer_paper")]
    inputs.append({"series": 'up{job="kalpo",instance="127.0.0.1:8123",store="0042"}', "values": "1x49"})
    inputs.append({"series": 'kalpo_queue_refusals_total{job="kalpo",instance="127.0.0.1:8123",store="0042"}',
                   "values": "0x44 0 3 9 9 9"})
    printer = {"model": MODEL, "library": LIBRARY, "job": "kalpo", "instance": "127.0.0.1:8123", "store": "0042"}

    def alert(name, severity, summary, **extra):
        return {"exp_labels": dict(printer, alertname=name, severity=severity, **extra),
                "exp_annotations": {"summary": summary}}

    tests = [{"interval": "1m", "input_series": inputs, "alert_rule_test": [
        {"eval_time": "5m", "alertname": "KalpoPrinterNotAnswering", "exp_alerts": []},
        {"eval_time": "15m", "alertname": "KalpoPrinterNotAnswering", "exp_alerts": [
            alert("KalpoPrinterNotAnswering", "critical",
                  "The printer BEMATECHMP20 (bemafi32) at store 0042 does not answer")]},
        {"eval_time": "15m", "alertname": "KalpoPaperLow", "exp_alerts": []},
        {"eval_time": "28m", "alertname": "KalpoPaperLow", "exp_alerts": [
            alert("KalpoPaperLow", "info", "The printer BEMATECHMP20 (bemafi32) at store 0042 is running out of paper",
                  state="low")]},
        {"eval_time": "35m", "alertname": "KalpoPaperOut", "exp_alerts": [
            alert("KalpoPaperOut", "warning", "The printer BEMATECHMP20 (bemafi32) at store 0042 is out of paper",
                  state="out")]},
        {"eval_time": "45m", "alertname": "KalpoPaperOut", "exp_alerts": []},
        {"eval_time": "48m", "alertname": "KalpoCallsRefused", "exp_alerts": [
            {"exp_labels": {"alertname": "KalpoCallsRefused", "severity": "warning", "job": "kalpo",
                            "instance": "127.0.0.1:8123", "store": "0042"},
             "exp_annotations": {"summary": "kalpo serve at store 0042 refuses calls: its call queue is full"}}]},
    ]}]
    folder = tempfile.mkdtemp(prefix="kalpo-rules-")
    try:
        shutil.copy(RULES, folder)
        path = os.path.join(folder, "kalpo-alerts-test.yml")
        with open(path, "w") as file:
            json.dump({"rule_files": [os.path.basename(RULES)], "evaluation_interval": "1m", "tests": tests}, file)
        checked = subprocess.run([PROMTOOL, "test", "rules", path], text=True, capture_output=True)
        if checked.returncode != 0:
            print(checked.stdout + checked.stderr, file=sys.stderr)
            raise AssertionError("promtool test rules failed on the recorded series")
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    unittest.main()
