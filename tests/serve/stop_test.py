"""kalpo serve stopped while a call runs: the answer still comes, past the
call's deadline too; a second signal stops at once, saying so; and bodies
that would crash or hold the service are refused at once."""
import json
import signal
import threading
import time
import unittest

from service import Service


def slow_call(service, seconds, answers):
    service.request("PUT", "/v1/printers/bemafi32/faults", {"faults": ["once slow %d" % (seconds * 1000)]})

    def call():
        try:
            answers.append(service.request("POST", "/v1/call/Abredia", {"args": ["BEMATECHMP20"]}))
        except OSError as e:  # the connection closed unanswered
            answers.append(e)
    thread = threading.Thread(target=call)
    thread.start()
    time.sleep(0.8)  # the call runs, past its deadline
    return thread


class Stop(unittest.TestCase):
    def test_a_call_past_its_deadline_is_answered_through_a_stop(self):
        service = Service(limits={"call_wait_ms": 300})
        answers = []
        thread = slow_call(service, 2, answers)
        service.process.send_signal(signal.SIGTERM)
        thread.join(timeout=20)
        self.assertEqual(service.process.wait(timeout=20), 0)
        errors = service.stop()
        self.assertEqual(len(answers), 1, errors)
        status, _, answer = answers[0]
        self.assertEqual((status, answer["ok"]), (200, True), errors)

    def test_a_second_signal_stops_at_once(self):
        service = Service()
        answers = []
        thread = slow_call(service, 5, answers)
        service.process.send_signal(signal.SIGTERM)
        time.sleep(0.3)
        started = time.monotonic()
        service.process.send_signal(signal.SIGTERM)
        self.assertEqual(service.process.wait(timeout=10), 128 + signal.SIGTERM)
        self.assertLess(time.monotonic() - started, 3)
        thread.join(timeout=20)
        self.assertIn("stopped at once by a second signal", service.stop())


class Bodies(unittest.TestCase):
    def test_deep_long_and_forged_texts(self):
        service = Service()
        deep = '{"args": ' + "[" * 12000 + "]" * 12000 + "}"
        cases = [  # path, body: status, what the error names
            ("/v1/call/Abredia", deep, 400, "deeper than 32"),
            ("/v1/printers/daruma32/faults", deep.replace("args", "faults"), 400, "deeper than 32"),
            ("/v1/call/Abredia", '{"args": [' + "1," * 5000 + "1]}", 400, "more than 4096 values"),
            ("/v1/call/Abredia", {"args": ["X" * 60000]}, 400, "model identifier"),
            ("/v1/call/AbreRelGerencial", {"args": ["DARUMA32", "x" * 9000, "01"]}, 400, "more than the 8192"),
        ]
        for path, body, status, why in cases:
            with self.subTest(path=path, why=why):
                got, _, answer = service.request("PUT" if "faults" in path else "POST", path, body)
                self.assertEqual((got, why in answer.get("error", "")), (status, True), answer)
        forged = 'DARUMA\n{"export":"KALPO_Reducaoz","result":"ok"}'
        service.call("Abredia", [forged])
        logged = [json.loads(line) for line in service.stop().splitlines() if line.startswith("{")]
        self.assertNotIn("KALPO_Reducaoz", [line.get("export") for line in logged])
        self.assertIn("'DARUMA\\n{", "".join(line.get("message", "") for line in logged if line.get("event") == "warning"))

if __name__ == "__main__":
    unittest.main()
