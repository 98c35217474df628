"""The panel in headless Chromium: the coupon of a sale made through the API
appears on its paper, the paper-end switch makes the next sale fail, and
without the token it shows no printer data.  Skipped (77) without Chromium,
its driver or Selenium."""
import os
import shutil
import sys
import tempfile
import time
import unittest

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service as DriverService
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    sys.exit(77)
DRIVER = shutil.which("chromedriver")
if not DRIVER or not shutil.which("chromium"):
    sys.exit(77)

from service import Service, sell

SCREENSHOT = os.environ.get("KALPO_PANEL_SCREENSHOT", "panel.png")


def browser(profile):
    options = webdriver.ChromeOptions()
    for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                 "--disable-background-networking", "--disable-component-update", "--disable-sync",
                 "--disable-dev-shm-usage", "--window-size=1280,900", "--user-data-dir=" + profile):
        options.add_argument(flag)
    options.binary_location = shutil.which("chromium")
    return webdriver.Chrome(service=DriverService(executable_path=DRIVER), options=options)


class Panel(unittest.TestCase):
    def setUp(self):
        self.service = Service()
        self.profile = tempfile.TemporaryDirectory(prefix="kalpo-chromium-")
        self.browser = browser(self.profile.name)

    def tearDown(self):
        self.browser.quit()
        self.profile.cleanup()
        self.service.stop()

    def pages(self):
        return self.browser.find_elements(By.CSS_SELECTOR, "#tape .page")

    def test_the_panel_follows_the_printer(self):
        service, page = self.service, self.browser
        service.call("Abredia", ["BEMATECHMP20"])
        page.get(service.panel)
        WebDriverWait(page, 5).until(lambda b: b.find_element(By.ID, "live").text == "live")
        before = len(self.pages())
        self.assertEqual(sell(service, "BEMATECHMP20", "PANEL ARROZ"), [1] * 5)
        started = time.time()
        WebDriverWait(page, 2).until(lambda b: len(self.pages()) > before)
        coupon = self.pages()[-1].text
        self.assertLess(time.time() - started, 2)
        self.assertIn("CUPOM FISCAL", coupon)
        self.assertIn("PANEL ARROZ", coupon)

        page.find_element(By.CSS_SELECTOR, 'input[data-fault="paper_end"]').click()
        WebDriverWait(page, 2).until(lambda b: service.printer("bemafi32")["faults"])
        answer = service.call("AbreCupom", ["BEMATECHMP20", None, "", "", ""])
        self.assertEqual(answer["result"], 0)
        self.assertIn("Fim do Papel!", [m["text"] for m in answer["messages"]])
        WebDriverWait(page, 2).until(lambda b: "Fim do Papel!" in b.find_element(By.ID, "calls").text)
        page.save_screenshot(SCREENSHOT)

    def test_without_the_token_no_printer_data(self):
        sell(self.service, "BEMATECHMP20")
        self.browser.get(self.service.base + "/")
        notice = WebDriverWait(self.browser, 5).until(lambda b: b.find_element(By.ID, "no-token"))
        WebDriverWait(self.browser, 5).until(lambda b: notice.is_displayed())
        self.assertFalse(self.browser.find_element(By.ID, "panel").is_displayed())
        self.assertEqual(self.pages(), [])
        self.assertNotIn("CUPOM", self.browser.page_source)


if __name__ == "__main__":
    unittest.main()
