"""kalpo serve through a real HTTP client: who may call, bad requests, sales
on every model, clients at once, the event stream, a client gone mid-call."""
import concurrent.futures
import json
import os
import socket
import stat
import subprocess
import tempfile
import threading
import time
import unittest

from service import TOOL, Service, declared_exports, sell

ORIGIN = "https://pos.example"


def setUpModule():
    global service
    service = Service("--allow-origin", ORIGIN)


def tearDownModule():
    service.stop()


class Refusals(unittest.TestCase):
    def test_refused_requests_change_nothing(self):
        service.call("Abredia", ["BEMATECHMP20"])
        before = service.printer("bemafi32")
        port = service.port
        big = '{"args": ["' + "x" * 70000 + '"]}'
        cases = [
            # status, method, path, body, headers, token
            (401, "GET", "/v1/exports", None, {}, False),
            (401, "GET", "/v1/exports", None, {"Authorization": "Bearer wrong"}, False),
            (403, "GET", "/v1/exports", None, {"Host": "rebound.example:%d" % port}, True),
            (403, "GET", "/v1/exports", None, {"Host": "127.0.0.1:1"}, True),
            (403, "POST", "/v1/call/Versao", "{}", {"Origin": "https://evil.example"}, True),
            (403, "OPTIONS", "/v1/call/Versao", None, {"Origin": "https://evil.example"}, False),
            (400, "POST", "/v1/call/AbreCupom", '{"args": [', {}, True),
            (400, "POST", "/v1/call/AbreCupom", "[]", {}, True),
            (400, "POST", "/v1/call/AbreCupom", {"args": ["BEMATECHMP20", None, "", "", "", "x"]}, {}, True),
            (400, "POST", "/v1/call/Cancela_Item", {"args": ["BEMATECHMP20", "2"]}, {}, True),
            (400, "POST", "/v1/call/Cancela_Item", {"args": ["BEMATECHMP20", 2.5]}, {}, True),
            (400, "POST", "/v1/call/Cancela_Item", {"args": [7, 2]}, {}, True),
            (400, "POST", "/v1/call/Cancela_Item", {"args": ["BEMATECHMP20", True]}, {}, True),
            (400, "POST", "/v1/call/Cancela_Item", {"args": {"modelo": "BEMATECHMP20"}}, {}, True),
            (400, "POST", "/v1/call/Cancela_Item", {"args": {"modelo": "BEMATECHMP20", "itm": 1}}, {}, True),
            (400, "POST", "/v1/call/NumeroCupom", {"args": ["BEMATECHMP20", "000001"]}, {}, True),
            (400, "POST", "/v1/call/AbreCupom", {"args": ["BEMATECHMP20", None, "Zoë ☃", "", ""]}, {}, True),
            (400, "POST", "/v1/call/AbreCupom", {"args": ["BEMATECHMP20", None, "a\u0000b", "", ""]}, {}, True),
            (400, "POST", "/v1/call/Abredia", {"args": ["BEMATECHMP20"], "confirm": "maybe"}, {}, True),
            (400, "POST", "/v1/call/Abredia", {"args": ["BEMATECHMP20"], "confrim": "yes"}, {}, True),
            (400, "POST", "/v1/call/DefineTratadorMensagens", {"args": []}, {}, True),
            (400, "PUT", "/v1/printers/bemafi32/faults", {"faults": [{"name": "fire"}]}, {}, True),
            (400, "POST", "/v1/printers/bemafi32/clock", {"offset": "soon"}, {}, True),
            (404, "POST", "/v1/call/VendeTudo", {"args": []}, {}, True),
            (404, "GET", "/v1/nothing", None, {}, True),
            (404, "GET", "/v1/printers/nobody/tape", None, {}, True),
            (405, "GET", "/v1/call/Versao", None, {}, True),
            (405, "DELETE", "/v1/printers/bemafi32/faults", None, {}, True),
            (413, "POST", "/v1/call/AbreCupom", big, {}, True),
        ]
        for status, method, path, body, headers, token in cases:
            with self.subTest(method=method, path=path, body=str(body)[:80], headers=headers):
                got, answered, answer = service.request(method, path, body, headers, token)
                self.assertEqual(got, status, answer)
                self.assertEqual(answer["status"], status)
                self.assertTrue(answer["error"])
                self.assertTrue(answer["code"])
                self.assertNotIn("Access-Control-Allow-Origin", answered)
        self.assertEqual(service.printer("bemafi32"), before)

    def test_allowed_origin_and_panel_address(self):
        status, headers, _ = service.request("OPTIONS", "/v1/call/Versao", headers={"Origin": ORIGIN}, token=False)
        self.assertEqual((status, headers["Access-Control-Allow-Origin"]), (204, ORIGIN))
        self.assertIn("Authorization", headers["Access-Control-Allow-Headers"])
        status, headers, _ = service.request("POST", "/v1/call/Versao", {"args": []}, {"Origin": ORIGIN})
        self.assertEqual((status, headers["Access-Control-Allow-Origin"]), (200, ORIGIN))
        self.assertEqual(service.request("GET", "/?token=wrong", token=False)[0], 401)
        # An old address sends the browser on to the fragment, which no request carries.
        status, headers, _ = service.request("GET", "/?token=" + service.token, token=False)
        self.assertEqual((status, headers["Location"]), (303, "/#token=" + service.token))
        self.assertNotIn("Set-Cookie", headers)

    def test_token_file(self):
        with tempfile.TemporaryDirectory() as home:
            made = Service(token=None, home=home)
            path = os.path.join(home, ".kalpo", "serve-token")
            try:
                self.assertEqual(stat.S_IMODE(os.stat(path).st_mode), 0o600)
                with open(path) as file:
                    self.assertEqual(file.read().strip(), made.token)
                self.assertGreaterEqual(len(made.token), 32)
                self.assertEqual(made.request("GET", "/v1/exports")[0], 200)
            finally:
                made.stop()
            os.chmod(path, 0o644)
            with self.assertRaisesRegex(RuntimeError, "other users"):
                Service(token=None, home=home)


class Calls(unittest.TestCase):
    def test_exports_listed_from_the_tool_table(self):
        exports = service.request("GET", "/v1/exports")[2]
        self.assertEqual({e["name"] for e in exports}, declared_exports())
        venda = next(e for e in exports if e["name"] == "KALPO_VendaItem")
        self.assertEqual(venda["params"][1], {"name": "codigo", "kind": "text", "in": True, "out": False})

    def test_a_sale_on_every_model_prints_its_coupon(self):
        for printer in service.request("GET", "/v1/printers")[2]["printers"]:
            for model in printer["models"]:
                with self.subTest(model=model):
                    service.request("POST", "/v1/call/Abredia", {"args": [model]})
                    self.assertEqual(sell(service, model, "ITEM " + model), [1] * 5)
                    page = service.tape(printer["library"], 1)[0]
                    self.assertIn("CUPOM FISCAL", page["text"])
                    self.assertIn("ITEM " + model, page["text"])
                    self.assertEqual(service.printer(printer["library"])["open_document"], "none")

    def test_arguments_by_name_and_confirmation(self):
        answer = service.call("NumeroCupom", {"modelo": "BEMATECHMP20"})
        self.assertRegex(answer["out"]["numero_cupom"], r"^\d+$")
        self.assertEqual(service.call("Versao", [])["out"]["versao"][:5], "KALPO")

    def test_four_clients_at_once(self):
        models = {"BEMATECHMP20": "bemafi32", "DARUMA32": "daruma32", "SWEDA7000": "convecf",
                  "SIGTRONFS345": "fs345_32"}
        sales = 4
        before = {lib: service.printer(lib).get("coo", 0) for lib in models.values()}
        with concurrent.futures.ThreadPoolExecutor(4) as pool:
            results = list(pool.map(lambda m: [sell(service, m, "CLIENTE " + m) for _ in range(sales)], models))
        self.assertEqual(results, [[[1] * 5] * sales] * 4)
        for model, library in models.items():
            pages = service.tape(library, sales)
            self.assertEqual([p["coo"] for p in pages], list(range(before[library] + 1, before[library] + 1 + sales)))
            for page in pages:
                self.assertIn("CLIENTE " + model, page["text"])
                self.assertIn("24,90", page["text"])

    def test_a_full_queue_answers_503(self):
        service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": ["once slow 1500"]})
        slow = threading.Thread(target=service.call, args=("NumeroCupom", ["BEMATECHMP20"]))
        slow.start()
        time.sleep(0.3)
        with concurrent.futures.ThreadPoolExecutor(70) as pool:
            answers = list(pool.map(lambda _: service.request("POST", "/v1/call/Versao", {"args": []}), range(70)))
        slow.join()
        busy = [headers for status, headers, _ in answers if status == 503]
        self.assertEqual(len(answers) - len(busy), 64)
        self.assertTrue(all(h["Retry-After"] for h in busy))

    def test_a_client_gone_mid_call_does_not_stop_it(self):
        service.request("PUT", "/v1/printers/convecf/faults", {"faults": [{"name": "slow", "value": "600", "once": True}]})
        body = b'{"args": ["SWEDA7000", null, "", "", ""]}'
        with socket.create_connection(("127.0.0.1", service.port)) as raw:
            raw.sendall(b"POST /v1/call/AbreCupom HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nAuthorization: Bearer %s\r\n"
                        b"Content-Length: %d\r\n\r\n%s" % (service.port, service.token.encode(), len(body), body))
            time.sleep(0.1)
        # The coupon the dropped call opened is open: the sale goes on.
        self.assertEqual(service.call("VendaItem", ["SWEDA7000", "1", "DEIXADO", "FF", "F", 1, 2, 1.5, "$"])["result"], 1)
        self.assertEqual(service.call("Inicia_Fechamento", ["SWEDA7000", 0])["result"], 1)
        self.assertEqual(service.call("forma_pagamento", ["SWEDA7000", "Dinheiro", 1.5])["result"], 1)
        self.assertEqual(service.call("fecha_cupom", ["SWEDA7000", ""])["result"], 1)
        self.assertIn("DEIXADO", service.tape("convecf", 1)[0]["text"])

    def test_paper_end_fault(self):
        service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": [{"name": "paper_end"}]})
        answer = service.call("AbreCupom", ["BEMATECHMP20", None, "", "", ""])
        service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": []})
        self.assertEqual(answer["result"], 0)
        self.assertIn("Fim do Papel!", [m["text"] for m in answer["messages"]])


class Events(unittest.TestCase):
    def test_the_stream_carries_a_sale(self):
        stream = socket.create_connection(("127.0.0.1", service.port), timeout=10)
        stream.sendall(b"GET /v1/events HTTP/1.1\r\nHost: 127.0.0.1:%d\r\nAuthorization: Bearer %s\r\n\r\n"
                       % (service.port, service.token.encode()))
        received = b""
        while b"kalpo events" not in received:
            received += stream.recv(4096)
        # Each page told once, after the call that printed it.
        sell(service, "ELGINFIT", "EVENTO 1")
        sell(service, "ELGINFIT", "EVENTO 2")
        deadline = time.time() + 5
        while b"EVENTO 2" not in received.split(b"event: page")[-1] and time.time() < deadline:
            received += stream.recv(65536)
        time.sleep(1.2)  # the watch's next look finds nothing new
        stream.settimeout(0.2)
        try:
            received += stream.recv(65536)
        except socket.timeout:
            pass
        stream.close()
        events = [json.loads(line[6:]) for line in received.decode().splitlines() if line.startswith("data: ")]
        sale = ["AbreCupom", "VendaItem", "Inicia_Fechamento", "forma_pagamento", "fecha_cupom"]
        self.assertEqual([e["export"][6:] for e in events if "export" in e], sale * 2)
        pages = [e for e in events if "library" in e and "text" in e]  # not the `status` events
        self.assertEqual([("EVENTO %d" % n) in p["text"] for n, p in enumerate(pages, 1)], [True, True])
        self.assertEqual(pages[1]["coo"], pages[0]["coo"] + 1)
        self.assertLess(received.index(b"KALPO_fecha_cupom"), received.index(b"event: page"))


if __name__ == "__main__":
    unittest.main()
