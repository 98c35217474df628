"""The JavaScript client (clients/js): the OpenAPI document linted by
@redocly/cli, its types regenerated and equal to the committed ones, a wrong
call failing tsc, a whole sale in Node, and the same client in headless
Chromium from a page on another origin.  Skipped (77) without Node or the
client's development packages (npm ci in clients/js); the browser part is
skipped without Chromium, its driver or Selenium."""
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest

from service import Service

CLIENT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "clients", "js")
BIN = os.path.join(CLIENT, "node_modules", ".bin")
NODE = shutil.which("node")
if not NODE or not os.path.isdir(BIN):
    print("skipped: node or clients/js/node_modules is missing (npm ci in clients/js)")
    sys.exit(77)


def run(*command, **options):
    done = subprocess.run(command, cwd=CLIENT, capture_output=True, text=True, timeout=120, **options)
    return done.returncode, done.stdout + done.stderr


class Client(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.service = Service()
        cls.folder = tempfile.TemporaryDirectory(prefix="kalpo-client-")
        cls.document = os.path.join(cls.folder.name, "openapi.json")
        with open(cls.document, "w") as file:
            json.dump(cls.service.request("GET", "/v1/openapi.json")[2], file)

    @classmethod
    def tearDownClass(cls):
        cls.service.stop()
        cls.folder.cleanup()

    def test_the_document_lints_clean_and_the_types_match_it(self):
        status, output = run(os.path.join(BIN, "redocly"), "lint", "--format", "stylish", self.document)
        self.assertEqual(status, 0, output)
        fresh = os.path.join(self.folder.name, "api.d.ts")
        status, output = run(os.path.join(BIN, "openapi-typescript"), self.document, "-o", fresh)
        self.assertEqual(status, 0, output)
        with open(fresh) as made, open(os.path.join(CLIENT, "src", "api.d.ts")) as committed:
            self.assertEqual(made.read(), committed.read(), "src/api.d.ts is stale: npm run generate")
        status, output = run(os.path.join(BIN, "tsc"), "--noEmit", "-p", ".")
        self.assertEqual(status, 0, output)

    def test_the_types_under_every_resolution(self):
        # A program that installed the client, compiled under each of
        # TypeScript's module resolutions: every export keeps its types.
        consumer = os.path.join(self.folder.name, "consumer")
        os.makedirs(os.path.join(consumer, "node_modules", "@kalpo"))
        os.symlink(os.path.abspath(CLIENT), os.path.join(consumer, "node_modules", "@kalpo", "client"))
        with open(os.path.join(consumer, "package.json"), "w") as file:
            json.dump({"name": "consumer", "type": "module", "private": True}, file)
        with open(os.path.join(consumer, "pos.ts"), "w") as file:
            file.write('import { KalpoClient, type Health } from "@kalpo/client";\n'
                       'export async function number(client: KalpoClient): Promise<string | null | undefined> {\n'
                       '  const answer = await client.NumeroCupom({ modelo: "BEMATECHMP20" });\n'
                       '  const warnings: string[] = answer.warnings;\n'
                       '  // @ts-expect-error: no such argument\n'
                       '  await client.NumeroCupom({ modelo: "BEMATECHMP20", cupom: 1 });\n'
                       '  return warnings.length ? null : answer.out.numero_cupom;\n'
                       '}\n'
                       'export type Printers = Health["printers"];\n')
        for resolution, module in (("NodeNext", "NodeNext"), ("Node16", "Node16"), ("Bundler", "ES2022"),
                                   ("Node10", "CommonJS")):
            with self.subTest(resolution=resolution):
                config = os.path.join(consumer, "tsconfig.%s.json" % resolution)
                with open(config, "w") as file:
                    json.dump({"compilerOptions": {"target": "ES2022", "module": module,
                                                   "moduleResolution": resolution, "lib": ["ES2022", "DOM"],
                                                   "strict": True, "noEmit": True, "types": []},
                               "files": ["pos.ts"]}, file)
                status, output = run(os.path.join(BIN, "tsc"), "-p", config)
                self.assertEqual(status, 0, output)

    def test_a_sale_in_node(self):
        env = dict(os.environ, KALPO_URL=self.service.base, KALPO_TOKEN=self.service.token)
        status, output = run(NODE, "test/sale.mjs", env=env)
        self.assertEqual(status, 0, output)
        sale = json.loads(output.strip().splitlines()[-1])
        self.assertEqual(sale["results"], [1] * 6)
        self.assertRegex(sale["coupon"], r"^\d+$")
        self.assertEqual(sale["refused"], {"status": 400, "name": "KalpoError"})
        self.assertEqual(sale["events"][:6], ["KALPO_Abredia", "KALPO_AbreCupom", "KALPO_VendaItem",
                                              "KALPO_Inicia_Fechamento", "KALPO_forma_pagamento",
                                              "KALPO_fecha_cupom"])
        self.assertEqual(sale["ids"], sorted(set(sale["ids"])))
        # A key goes with the calls that change the printer, never with a query.
        self.assertEqual({name: sale["keyed"][name] for name in ("KALPO_Abredia", "KALPO_VendaItem",
                                                                 "KALPO_Cancela_Item", "KALPO_NumeroCupom")},
                         {"KALPO_Abredia": True, "KALPO_VendaItem": True, "KALPO_Cancela_Item": True,
                          "KALPO_NumeroCupom": False})
        self.assertIn("NODE ARROZ", self.service.tape("bemafi32", 2)[0]["text"])
        # The item the impatient client sent twice is on the paper once.
        self.assertEqual(sale["retried"], {"result": 1, "replayed": True})
        self.assertEqual(self.service.tape("bemafi32", 1)[0]["text"].count("UMA VEZ SO"), 1)


class Browser(unittest.TestCase):
    def test_a_sale_from_a_page_on_another_origin(self):
        try:
            from selenium import webdriver
            from selenium.webdriver.chrome.service import Service as DriverService
            from selenium.webdriver.support.ui import WebDriverWait
        except ImportError:
            self.skipTest("Selenium is missing")
        driver = shutil.which("chromedriver")
        if not driver or not shutil.which("chromium"):
            self.skipTest("Chromium or its driver is missing")
        with tempfile.TemporaryDirectory(prefix="kalpo-page-") as site:
            for name in ("src/index.js", "test/sale.js", "test/page.html"):
                shutil.copy(os.path.join(CLIENT, name), site)
            handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=site)
            handler.log_message = lambda *args: None
            pages = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
            threading.Thread(target=pages.serve_forever, daemon=True).start()
            origin = "http://127.0.0.1:%d" % pages.server_address[1]
            service = Service("--allow-origin", origin)
            options = webdriver.ChromeOptions()
            for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                         "--disable-dev-shm-usage", "--user-data-dir=" + os.path.join(site, "profile")):
                options.add_argument(flag)
            options.binary_location = shutil.which("chromium")
            browser = webdriver.Chrome(service=DriverService(executable_path=driver), options=options)
            try:
                browser.get(origin + "/page.html#" + service.base + "|" + service.token)
                WebDriverWait(browser, 20).until(lambda b: b.title != "pending")
                self.assertTrue(browser.title.startswith("done "), browser.title)
                sale = json.loads(browser.title[5:])
                self.assertEqual((sale["results"], sale["refused"]["status"]), ([1] * 6, 400))
                self.assertIn("CHROMIUM ARROZ", service.tape("bemafi32", 1)[0]["text"])
            finally:
                browser.quit()
                service.stop()
                pages.shutdown()


if __name__ == "__main__":
    unittest.main()
