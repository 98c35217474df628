"""kalpo serve as a store's systems use it: the answer's codes, warnings and
integers, the version, the OpenAPI document against kalpo.h, retries with
an Idempotency-Key (a lost answer, a restart), health without the token,
the metrics (checked by promtool when it is installed) and the log lines."""
import json
import os
import re
import shutil
import subprocess
import tempfile
import threading
import time
import unittest

from service import HEADER, RUNNER, TOOL, Service, declared_exports, sell

PROMTOOL = shutil.which("promtool")


def setUpModule():
    global service
    service = Service()


def tearDownModule():
    service.stop()


def keyed(export, args, key, timeout=30):
    return service.request("POST", "/v1/call/" + export, {"args": args}, {"Idempotency-Key": key})


def metric(text, name, **labels):
    wanted = ",".join('%s="%s"' % item for item in sorted(labels.items()))
    for line in text.splitlines():
        sample, _, value = line.rpartition(" ")
        if sample.split("{")[0] == name and ",".join(sorted(re.findall(r'\w+="[^"]*"', sample))) == wanted:
            return float(value)
    return 0.0


class Answers(unittest.TestCase):
    def test_codes_warnings_and_integers(self):
        service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": ["paper_end"]})
        try:
            paper = service.call("AbreCupom", {"modelo": "BEMATECHMP20", "nome": "", "endereco": "", "documento": ""})
            state = service.call("VerificaEstadoECF", {"modelo": "BEMATECHMP20"})
        finally:
            service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": []})
        self.assertIs(paper["ok"], False)
        self.assertIn({"text": "Fim do Papel!", "code": "paper_end"},
                      [{"text": m["text"], "code": m["code"]} for m in paper["messages"]])
        self.assertIsInstance(state["out"]["st1"], int)
        self.assertGreaterEqual(paper["queue_ms"], 0)
        self.assertIn("ms", paper)
        wrong = service.call("NumeroCupom", {"modelo": "bematechmp20"})
        self.assertIs(wrong["ok"], False)
        self.assertTrue(any("BEMATECHMP20" in w for w in wrong["warnings"]), wrong)
        self.assertEqual(service.call("NumeroCupom", {"modelo": "BEMATECHMP20"})["warnings"], [])

    def test_version(self):
        status, _, version = service.request("GET", "/v1/version")
        self.assertEqual(status, 200)
        self.assertRegex(version["kalpo"], r"^\d+\.\d+")
        self.assertRegex(version["api"], r"^\d+\.\d+\.\d+$")
        self.assertTrue(version["platform"])


class Document(unittest.TestCase):
    def test_every_export_of_the_header_is_described(self):
        declared = declared_exports()
        self.assertEqual(service.request("GET", "/v1/openapi.json", token=False)[0], 401)
        status, _, document = service.request("GET", "/v1/openapi.json")
        self.assertEqual(status, 200)
        self.assertEqual(document["openapi"], "3.1.0")
        described = {path.split("/")[-1] for path in document["paths"] if path.startswith("/v1/call/")}
        self.assertEqual(described | set(document["x-kalpo-not-callable"]), declared)
        venda = document["paths"]["/v1/call/KALPO_VendaItem"]["post"]
        args = venda["requestBody"]["content"]["application/json"]["schema"]["properties"]["args"]
        self.assertEqual(args["properties"]["quantidade"]["type"], "number")
        self.assertEqual(args["properties"]["nao_lido"]["x-kalpo-direction"], "unread")
        self.assertIn("paper_end", document["components"]["schemas"]["MessageCode"]["enum"])


    def test_every_route_of_the_table_is_described(self):
        # The help lists the service's table of routes, one a line.
        help_text = subprocess.run(RUNNER + [TOOL, "serve", "--help"], capture_output=True, text=True, timeout=30).stdout
        routes = re.findall(r"^  ([A-Z]+(?:, [A-Z]+)*) +(/\S+)", help_text, re.M)
        self.assertGreaterEqual(len(routes), 10, help_text)
        paths = service.request("GET", "/v1/openapi.json")[2]["paths"]
        covered = set()
        for methods, pattern in routes:
            prefix = pattern.split("{export}")[0] if "{export}" in pattern else None
            described = [p for p in paths if p.startswith(prefix)] if prefix else [pattern] if pattern in paths else []
            self.assertTrue(described, pattern)
            for path in described:
                covered.add(path)
                for method in methods.split(", "):
                    self.assertIn(method.lower(), paths[path], "%s %s" % (method, path))
        self.assertEqual(set(paths) - covered, set())

class Refusals(unittest.TestCase):
    def test_each_refusal_says_what_by_code_and_which_argument(self):
        cases = [  # body, headers: code, argument
            ('{"args": [', {}, "not_json", None),
            ('{"args": [], "args": []}', {}, "duplicate_key", "args"),
            ({"args": ["BEMATECHMP20", "2"]}, {}, "wrong_kind", "item"),
            ({"args": ["BEMATECHMP20", True]}, {}, "wrong_kind", "item"),
            ({"args": ["BEMATECHMP20", None]}, {}, "null_not_allowed", "item"),
            ({"args": ["BEMATECHMP20", 1, 2]}, {}, "too_many_arguments", None),
            ({"args": {"item": 1}}, {}, "missing_argument", "modelo"),
            ({"args": {"modelo": "BEMATECHMP20", "itm": 1}}, {}, "unknown_argument", "itm"),
            ({"args": ["Zo\u00eb \u2603", 1]}, {}, "not_windows_1252", "modelo"),
            ({"args": ["a\u0000b", 1]}, {}, "nul_in_text", "modelo"),
            ({"args": ["BEMATECHMP20", 1], "confrim": "yes"}, {}, "unknown_key", "confrim"),
            ({"args": ["BEMATECHMP20", 1]}, {"Idempotency-Key": "tab\there"}, "bad_idempotency_key", "Idempotency-Key"),
        ]
        for body, headers, code, argument in cases:
            with self.subTest(body=str(body)[:60], headers=headers):
                status, _, answer = service.request("POST", "/v1/call/Cancela_Item", body, headers)
                self.assertEqual((status, answer["code"], answer.get("argument")), (400, code, argument), answer)
        # A refusal of the HTTP layer carries its status's code.
        status, _, answer = service.request("GET", "/v1/nothing")
        self.assertEqual((status, answer["code"]), (404, "not_found"))
        # The document requires by name every argument the export requires.
        paths = service.request("GET", "/v1/openapi.json")[2]["paths"]
        args = paths["/v1/call/KALPO_Cancela_Item"]["post"]["requestBody"]["content"]["application/json"]["schema"]
        self.assertEqual(args["properties"]["args"]["required"], ["modelo", "item"])


class Retries(unittest.TestCase):
    def test_the_same_key_sells_once(self):
        service.call("Abredia", ["DARUMA32"])
        self.assertEqual(service.call("AbreCupom", ["DARUMA32", None, "", "", ""])["result"], 1)
        item = ["DARUMA32", "7", "UMA VEZ SO", "FF", "F", 1, 2, 3.5, "$"]
        # The first attempt is held by a slow printer; the client gives up
        # on it and retries with the same key while it runs.
        service.request("PUT", "/v1/printers/daruma32/faults", {"faults": ["once slow 1200"]})
        first = threading.Thread(target=keyed, args=("VendaItem", item, "sale-1-item-1"))
        first.start()
        time.sleep(0.3)
        status, _, retried = keyed("VendaItem", item, "sale-1-item-1")
        first.join()
        self.assertEqual((status, retried["result"], retried.get("replayed")), (200, 1, True))
        self.assertEqual(keyed("VendaItem", item, "sale-1-item-1")[2]["result"], 1)
        cases = [  # key, body's item: status
            ("sale-1-item-1", "OUTRO", 422),
            ("x" * 129, "OUTRO", 400),
            ("tab\there", "OUTRO", 400),
        ]
        for key, text, expected in cases:
            with self.subTest(key=key[:20]):
                self.assertEqual(keyed("VendaItem", item[:2] + [text] + item[3:], key)[0], expected)
        for export, args in [("Inicia_Fechamento", ["DARUMA32", 0]), ("forma_pagamento", ["DARUMA32", "Dinheiro", 3.5]),
                             ("fecha_cupom", ["DARUMA32", ""])]:
            self.assertEqual(service.call(export, args)["result"], 1)
        self.assertEqual(service.tape("daruma32", 1)[0]["text"].count("UMA VEZ SO"), 1)

    def test_keys_are_kept_across_a_restart(self):
        folder = tempfile.TemporaryDirectory(prefix="kalpo-serve-")
        try:
            first = Service(folder=folder)
            status, _, answer = first.request("POST", "/v1/call/Versao", {"args": []}, {"Idempotency-Key": "k"})
            first.stop()
            self.assertEqual(status, 200)
            journal = os.path.join(folder.name, "sim", "serve-keys.jsonl")
            self.assertEqual(os.stat(journal).st_mode & 0o077, 0)
            # Lines that are not entries are left out; the others still count.
            with open(journal, "a") as file:
                file.write('not json\n{"key": "%s", "fingerprint": "f", "answer": "{}", "at": 1}\n[]\n' % ("x" * 200))
            second = Service(folder=folder)
            again = second.request("POST", "/v1/call/Versao", {"args": []}, {"Idempotency-Key": "k"})[2]
            self.assertIn("3 unreadable line(s) left out", second.stop())
            self.assertEqual((again["out"], again["replayed"]), (answer["out"], True))
            # A journal others may write is not read: the keys stay in memory.
            os.chmod(journal, 0o666)
            third = Service(folder=folder)
            fresh = third.request("POST", "/v1/call/Versao", {"args": []}, {"Idempotency-Key": "k"})[2]
            self.assertIn("serve-keys.jsonl", third.stop())
            self.assertNotIn("replayed", fresh)
        finally:
            folder.cleanup()


class Monitoring(unittest.TestCase):
    def test_health_without_the_token(self):
        service.call("Abredia", ["EPSON"])
        service.request("PUT", "/v1/printers/interfaceepson/faults", {"faults": ["paper_end"]})
        try:
            # The Epson library has no status query: its calls' answers alone tell.
            service.request("POST", "/v1/call/Leiturax", {"args": ["EPSON"]})
            status, _, health = service.request("GET", "/v1/health", token=False)
        finally:
            service.request("PUT", "/v1/printers/interfaceepson/faults", {"faults": []})
        self.assertEqual((status, health["status"]), (200, "ok"))
        epson = health["printers"]["EPSON"]
        self.assertEqual({k: epson[k] for k in ("library", "status", "answering", "paper", "last_failure", "query")},
                         {"library": "interfaceepson", "status": "degraded", "answering": True, "paper": "out",
                          "last_failure": "printer_off", "query": None})
        self.assertEqual(service.request("GET", "/v1/health", headers={"Host": "evil.example"}, token=False)[0], 403)

    def test_metrics_count_a_sale(self):
        self.assertEqual(service.request("GET", "/metrics", token=False)[0], 401)
        before = service.request("GET", "/metrics")[2]
        self.assertEqual(sell(service, "BEMATECHMP20"), [1] * 5)
        time.sleep(1.1)  # past the cached look at the printers
        status, headers, after = service.request("GET", "/metrics")
        self.assertEqual(status, 200)
        self.assertTrue(headers["Content-Type"].startswith("text/plain; version=0.0.4"))
        labels = dict(export="KALPO_VendaItem", model="BEMATECHMP20", result="ok")
        self.assertEqual(metric(after, "kalpo_calls_total", **labels) - metric(before, "kalpo_calls_total", **labels), 1)
        count = "kalpo_call_duration_seconds_count"
        self.assertEqual(metric(after, count) - metric(before, count), 5)
        self.assertEqual(metric(after, "kalpo_printer_coupon_open", model="BEMATECHMP20", library="bemafi32"), 0)
        self.assertEqual(metric(after, "kalpo_build_info", version="4.0.0", api="1.2.0"), 1)
        self.assertGreater(metric(after, "process_resident_memory_bytes"), 0)
        self.assertGreater(metric(after, "process_open_fds"), 0)
        self.assertGreater(metric(after, "kalpo_http_responses_total", route="/v1/call/{export}", status="200"), 4)
        self.assertGreaterEqual(metric(after, "kalpo_connections_open"), 1)  # this request's own
        if PROMTOOL:
            checked = subprocess.run([PROMTOOL, "check", "metrics"], input=after, text=True, capture_output=True)
            self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)

    @unittest.skipUnless(PROMTOOL, "promtool is missing")
    def test_a_failure_is_counted_by_what_it_reports(self):
        before = service.request("GET", "/metrics")[2]
        service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": ["off"]})
        try:
            drawer = service.call("AbreGaveta", {"modelo": "BEMATECHMP20"})
        finally:
            service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": []})
        self.assertEqual([m["code"] for m in drawer["messages"]], ["not_executed", "printer_off"])
        after = service.request("GET", "/metrics")[2]
        name = "kalpo_maker_failures_total"
        self.assertEqual(metric(after, name, code="printer_off") - metric(before, name, code="printer_off"), 1)

    def test_a_flood_of_refusals_is_summarised(self):
        flooded = Service()
        try:
            for _ in range(200):
                status, headers, _ = flooded.request("GET", "/v1/exports", token=False,
                                                     headers={"X-Request-Id": "flood-1"})
                self.assertEqual((status, headers["X-Request-Id"]), (401, "flood-1"))
            status, headers, _ = flooded.request("GET", "/v1/exports", headers={"X-Request-Id": "bad id\u00e9"})
            self.assertRegex(headers["X-Request-Id"], r"^[0-9a-f]{8}-\d+$")  # not sane: one of the service's
            metrics = flooded.request("GET", "/metrics")[2]
        finally:
            log = [json.loads(line) for line in flooded.stop().splitlines()]
        self.assertEqual(metric(metrics, "kalpo_http_responses_total", route="/v1/exports", status="401"), 200)
        refusals = [line for line in log if line["event"] in ("refusal", "refusals")]
        self.assertLess(len(refusals), 20, refusals)  # a line a second at most
        self.assertEqual(refusals[0]["request_id"], "flood-1")
        self.assertEqual(sum(line.get("unlogged", 0) + line.get("unlogged_before", 0) for line in refusals) +
                         sum(line["event"] == "refusal" for line in refusals), 200)

    def test_the_token_on_standard_output_only_on_a_terminal(self):
        import pty
        with tempfile.TemporaryDirectory() as folder:
            env = dict(os.environ, KALPO_SERVE_TOKEN="a-token-nobody-may-log-0123", KALPO_SIM_DIR=folder, HOME=folder)
            for terminal in (False, True):
                with self.subTest(terminal=terminal):
                    reader, writer = pty.openpty() if terminal else os.pipe()
                    started = subprocess.Popen([os.environ["KALPO_TOOL"], "serve", "--port", "0"], env=env,
                                               stdout=writer, stderr=subprocess.PIPE)
                    os.close(writer)
                    with os.fdopen(reader, "rb", buffering=0) as out:
                        text = b""
                        while text.count(b"\n") < (2 if terminal else 1):
                            text += out.read(4096)
                        started.terminate()
                        errors = started.communicate(timeout=10)[1]
                        try:
                            text += out.read(4096)
                        except OSError:
                            pass  # the terminal closed
                    self.assertEqual(b"a-token-nobody-may-log-0123" in text, terminal, text)
                    self.assertNotIn(b"a-token-nobody-may-log-0123", errors)

    @unittest.skipUnless(PROMTOOL, "promtool is missing")
    def test_the_shipped_rules_and_scrape_configuration(self):
        shipped = os.path.join(os.path.dirname(HEADER), "..", "packaging", "prometheus")
        with open(os.path.join(shipped, "kalpo-alerts.yml")) as file, \
                open(os.path.join(shipped, "..", "..", "README.md")) as readme:
            self.assertIn(file.read(), readme.read())
        with tempfile.TemporaryDirectory() as folder:
            for name in ("kalpo-alerts.yml", "kalpo-scrape.yml"):
                shutil.copy(os.path.join(shipped, name), folder)
            with open(os.path.join(folder, "kalpo-serve-token"), "w") as token:
                token.write("t0ken-for-the-tests-of-kalpo")
            for check in (["rules", "kalpo-alerts.yml"], ["config", "kalpo-scrape.yml"]):
                checked = subprocess.run([PROMTOOL, "check", *check], cwd=folder, text=True, capture_output=True)
                self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)

    def test_log_lines(self):
        for form, check in (("json", json.loads), ("text", str)):
            with self.subTest(form=form):
                logged = Service("--log-format", form)
                logged.call("AbreCupom", {"modelo": "BEMATECHMP20", "nome": "", "endereco": "",
                                          "documento": "123.456.789-09"})
                logged.request("POST", "/v1/call/Versao", {"args": []}, {"Idempotency-Key": "log-key"})
                log = logged.stop().splitlines()
                if form == "json":
                    self.assertEqual([json.loads(line)["event"] for line in log], ["start", "call", "call", "stop"])
                lines = [line for line in log if "KALPO_" in line and " start " not in line and '"start"' not in line]
                self.assertEqual(len(lines), 2, lines)
                self.assertNotIn("123.456.789-09", "\n".join(lines))
                self.assertNotIn(logged.token, "\n".join(lines))
                self.assertIn("log-key", lines[1])
                if form == "json":
                    self.assertEqual({k: json.loads(lines[0])[k] for k in ("export", "model", "result", "status")},
                                     {"export": "KALPO_AbreCupom", "model": "BEMATECHMP20", "result": "ok",
                                      "status": 200})


if __name__ == "__main__":
    unittest.main()
