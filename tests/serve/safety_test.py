"""kalpo serve against other programs on the workstation: idle sockets,
streams that never read, credentials in cookies, hostile token files,
requests with two meanings, and a printer held by another process.  Small
caps and short deadlines (KALPO_SERVE_LIMITS) keep it fast."""
import fcntl
import hashlib
import hmac
import json
import os
import socket
import stat
import subprocess
import tempfile
import time
import unittest

from service import TOOL, Service

ORIGIN = "https://pos.example"


def raw_request(port, text, timeout=5):
    """Sends one request as given; the whole answer, read to the close."""
    line, _, rest = text.partition("\r\n")
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as s:
        s.sendall((line + "\r\nConnection: close\r\n" + rest).encode())
        received = b""
        while True:
            piece = s.recv(65536)
            if not piece:
                return received.decode(errors="replace")
            received += piece


def open_stream(service, path="/v1/events", headers=None, read_buffer=None):
    """A socket with the event stream's request sent; the answer unread."""
    s = socket.socket()
    if read_buffer:
        s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, read_buffer)
    s.settimeout(5)
    s.connect(("127.0.0.1", service.port))
    sent = {"Host": "127.0.0.1:%d" % service.port, "Authorization": "Bearer " + service.token}
    sent.update(headers or {})
    s.sendall(("GET %s HTTP/1.1\r\n%s\r\n" % (path, "".join("%s: %s\r\n" % kv for kv in sent.items()))).encode())
    return s


def read_until(s, marker, seconds=5):
    received = b""
    deadline = time.time() + seconds
    while marker not in received and time.time() < deadline:
        piece = s.recv(65536)
        if not piece:
            break
        received += piece
    return received


def closed_within(s, seconds):
    """True when the peer closes the socket within `seconds` (what it sent is skipped)."""
    s.settimeout(seconds)
    try:
        while s.recv(65536):
            pass
        return True
    except (socket.timeout, ConnectionResetError):
        return False


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS:"))


class Admission(unittest.TestCase):
    def setUp(self):
        self.service = Service(limits=dict(unauthenticated=16, authenticated=4, authenticate_ms=600, streams=2))

    def tearDown(self):
        self.service.stop()

    def test_idle_sockets_cannot_keep_calls_out(self):
        idle = [socket.create_connection(("127.0.0.1", self.service.port)) for _ in range(120)]
        try:
            for _ in range(20):
                self.assertEqual(self.service.request("GET", "/v1/exports")[0], 200)
            # Past the cap the oldest went at once; the rest within the deadline.
            self.assertTrue(closed_within(idle[0], 0.1))
            self.assertTrue(closed_within(idle[-1], 2))
        finally:
            for s in idle:
                s.close()

    def test_authenticated_cap_closes_the_longest_idle(self):
        kept = []
        for _ in range(4):
            s = open_stream(self.service, "/v1/exports")
            read_until(s, b"]\n")
            kept.append(s)
        self.assertEqual(self.service.request("GET", "/v1/exports")[0], 200)
        self.assertTrue(closed_within(kept[0], 1))
        for s in kept:
            s.close()

    def test_stream_cap_and_a_closed_stream_frees_its_place(self):
        first, second = open_stream(self.service), open_stream(self.service)
        for s in (first, second):
            self.assertIn(b"kalpo events", read_until(s, b"kalpo events"))
        status, headers, answer = self.service.request("GET", "/v1/events")
        self.assertEqual((status, answer["status"]), (503, 503))
        self.assertTrue(headers["Retry-After"])
        first.close()
        time.sleep(0.1)
        third = open_stream(self.service)
        self.assertIn(b"200 OK", read_until(third, b"kalpo events"))
        second.close()
        third.close()


class Streams(unittest.TestCase):
    def test_a_stream_that_never_reads_is_dropped_and_its_memory_freed(self):
        service = Service(limits=dict(stream_bytes=65536))
        try:
            reader = open_stream(service)
            read_until(reader, b"kalpo events")
            stalled = [open_stream(service, read_buffer=4096) for _ in range(3)]
            pid = service.process.pid
            before = resident_kib(pid)
            big = "X" * 8000  # the longest text a call takes is 8192 bytes
            started = time.time()
            for _ in range(400):
                sale = {"args": ["BEMATECHMP20", "1", big, "FF", "F", 1, 2, 1.0, "$"]}
                self.assertEqual(service.request("POST", "/v1/call/VendaItem", sale)[0], 200)
                # The reading client keeps up, the others fall behind.
                reader.settimeout(0.001)
                try:
                    reader.recv(1 << 20)
                except socket.timeout:
                    pass
            self.assertLess(time.time() - started, 120)  # stalled streams holding calls would take 400 write deadlines
            for s in stalled:
                self.assertTrue(closed_within(s, 3))
                s.close()
            reader.close()
            time.sleep(0.3)
            if not os.environ.get("KALPO_SANITIZED"):  # the address sanitizer keeps what is freed
                # Each stalled stream holding every event would be over 3 MiB.
                self.assertLess(resident_kib(pid) - before, 6 * 1024)
        finally:
            service.stop()

    def test_ids_resume_and_reset(self):
        service = Service(limits=dict(backlog_events=4))
        try:
            for _ in range(3):
                service.call("Versao", [])
            s = open_stream(service, headers={"Last-Event-ID": "1"})
            got = read_until(s, b"id: 3\n").decode()
            s.close()
            self.assertEqual([line for line in got.splitlines() if line.startswith("id: ")], ["id: 2", "id: 3"])
            for _ in range(6):
                service.call("Versao", [])
            s = open_stream(service, headers={"Last-Event-ID": "2"})
            got = read_until(s, b"event: reset").decode()
            s.close()
            self.assertIn("id: 9\nevent: reset", got)
        finally:
            service.stop()

    def test_a_ticket_reopens_the_stream_after_a_restart(self):
        service = Service("--allow-origin", ORIGIN, folder=tempfile.TemporaryDirectory(prefix="kalpo-serve-"))
        folder = service.folder
        try:
            status, headers, answer = service.request("POST", "/v1/events/ticket", headers={"Origin": ORIGIN})
            self.assertEqual((status, headers["Access-Control-Allow-Origin"]), (200, ORIGIN))
            path = "/v1/events?ticket=" + answer["ticket"]
            # Signed with the token: HMAC-SHA-256 of its lapse time and nonce.
            lapses, nonce, signature = answer["ticket"].split(".")
            self.assertEqual(signature, hmac.new(service.token.encode(), ("kalpo events ticket %s.%s" % (
                lapses, nonce)).encode(), hashlib.sha256).hexdigest())
            self.assertAlmostEqual(int(lapses) - time.time(), 12 * 3600, delta=60)
            for _ in range(2):  # the browser's reconnection uses the same address
                s = open_stream(service, path, headers={"Authorization": "", "Origin": ORIGIN})
                head = read_until(s, b"kalpo events")
                s.close()
                self.assertIn(b"200 OK", head)
                self.assertIn(b"Access-Control-Allow-Origin: " + ORIGIN.encode(), head)
            forged = path[:-1] + ("0" if path[-1] != "0" else "1")
            status, _, refused = service.request("GET", forged, token=False)
            self.assertEqual(status, 401)
            self.assertIn("not one this service gave", refused["error"])
        finally:
            service.stop()
        again = Service(folder=folder)  # a restart, with the same token
        try:
            s = open_stream(again, path, headers={"Authorization": ""})
            self.assertIn(b"200 OK", read_until(s, b"kalpo events"))
            s.close()
        finally:
            again.stop()
            folder.cleanup()
        other = Service(token="another-token-for-the-tests")
        try:
            self.assertEqual(other.request("GET", path, token=False)[0], 401)  # a new token voids it
        finally:
            other.stop()


class OneMeaning(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.service = Service("--allow-origin", ORIGIN)

    @classmethod
    def tearDownClass(cls):
        cls.service.stop()

    def test_refusals(self):
        s = self.service
        host = "Host: 127.0.0.1:%d\r\n" % s.port
        auth = "Authorization: Bearer %s\r\n" % s.token
        cases = [
            # (status, raw request, a text the error may not hold)
            (400, "GET /v1/exports HTTP/1.1\r\n%sHost: evil.example\r\n%s\r\n" % (host, auth), None),
            (400, "GET /v1/exports HTTP/1.1\r\n%sOrigin: %s\r\nOrigin: https://evil.example\r\n%s\r\n"
             % (host, ORIGIN, auth), None),
            (400, "GET /v1/printers/bemafi32/tape?last=1&last=2 HTTP/1.1\r\n%s%s\r\n" % (host, auth), None),
            (400, "GET /v1/printers/bemafi32/tape?last=%%00 HTTP/1.1\r\n%s%s\r\n" % (host, auth), "last="),
            (400, "GET /v1/printers/bemafi32/tape?last=100000 HTTP/1.1\r\n%s%s\r\n" % (host, auth), None),
            (401, "POST /v1/call/Abredia HTTP/1.1\r\n%sContent-Type: text/plain\r\nCookie: kalpo_token_%d=%s\r\n"
                  "Content-Length: 28\r\n\r\n{\"args\": [\"BEMATECHMP20\"]}  " % (host, s.port, s.token), None),
        ]
        bodies = [
            ('{"args": ["BEMATECHMP20"], "args": []}', "/v1/call/NumeroCupom", None),
            ("not json", "/v1/call/NumeroCupom", "json.exception"),
            ('{"offset": "1d\\n"}', "/v1/printers/bemafi32/clock", "--set"),
            ('{"faults": ["slow x"]}', "/v1/printers/bemafi32/faults", "fault set"),
        ]
        for body, path, hidden in bodies:
            method = "PUT" if path.endswith("faults") else "POST"
            cases.append((400, "%s %s HTTP/1.1\r\n%s%sContent-Length: %d\r\n\r\n%s"
                          % (method, path, host, auth, len(body), body), hidden))
        for status, text, hidden in cases:
            with self.subTest(request=text.splitlines()[0], body=text[-40:]):
                answer = raw_request(s.port, text)
                head, _, body = answer.partition("\r\n\r\n")
                self.assertIn(" %d " % status, head.splitlines()[0])
                error = json.loads(body)
                self.assertEqual(error["status"], status)
                if hidden:
                    self.assertNotIn(hidden, error["error"])

    def test_bearer_in_any_case(self):
        for scheme in ("bearer", "BEARER", "Bearer"):
            with self.subTest(scheme=scheme):
                status = self.service.request("GET", "/v1/exports", headers={
                    "Authorization": scheme + " " + self.service.token})[0]
                self.assertEqual(status, 200)

    def test_cors_on_every_answer_and_private_network(self):
        s = self.service
        big = "x" * 70000
        for status, method, path, body, token in [(401, "GET", "/v1/exports", None, False),
                                                  (404, "GET", "/v1/nothing", None, True),
                                                  (413, "POST", "/v1/call/Versao", big, True)]:
            with self.subTest(status=status):
                got, headers, _ = s.request(method, path, body, {"Origin": ORIGIN}, token)
                self.assertEqual((got, headers["Access-Control-Allow-Origin"]), (status, ORIGIN))
                self.assertIn("Retry-After", headers["Access-Control-Expose-Headers"])
        status, headers, _ = s.request("OPTIONS", "/v1/call/Versao", headers={
            "Origin": ORIGIN, "Access-Control-Request-Private-Network": "true"}, token=False)
        self.assertEqual((status, headers["Access-Control-Allow-Private-Network"]), (204, "true"))
        for name in ("Authorization", "Content-Type", "Idempotency-Key", "Last-Event-ID"):
            self.assertIn(name, headers["Access-Control-Allow-Headers"])


class HeldPrinter(unittest.TestCase):
    def test_a_held_printer_answers_503_and_others_go_on(self):
        service = Service(limits=dict(printer_read_ms=400))
        try:
            service.call("NumeroCupom", ["BEMATECHMP20"])
            with open(os.path.join(service.folder.name, "sim", "bemafi32", "lock"), "a") as lock:
                fcntl.flock(lock, fcntl.LOCK_EX)
                started = time.time()
                status, _, answer = service.request("GET", "/v1/printers/bemafi32/tape")
                self.assertEqual(status, 503, answer)
                self.assertLess(time.time() - started, 3)
                self.assertEqual(service.request("POST", "/v1/call/NumeroCupom", {"args": ["DARUMA32"]})[0], 200)
            self.assertEqual(service.request("GET", "/v1/printers/bemafi32/tape")[0], 200)
        finally:
            service.stop()

    def test_stops_normally(self):
        service = Service()
        service.process.terminate()
        self.assertEqual(service.process.wait(timeout=10), 0)
        self.assertIn("stopped", service.process.stdout.read())
        service.process.stdout.close()
        service.log.close()
        service.folder.cleanup()


class TokenFile(unittest.TestCase):
    def start(self, home, token=None):
        env = dict(os.environ, HOME=home, KALPO_SIM_DIR=os.path.join(home, "sim"))
        env.pop("KALPO_SERVE_TOKEN", None)
        if token is not None:
            env["KALPO_SERVE_TOKEN"] = token
        return subprocess.run([TOOL, "serve", "--port", "0"], env=env, capture_output=True, text=True, timeout=5)

    def test_refused_with_the_true_reason(self):
        def short(home):
            os.mkdir(os.path.join(home, ".kalpo"), 0o700)
            with open(os.open(os.path.join(home, ".kalpo", "serve-token"), os.O_CREAT | os.O_WRONLY, 0o600), "w") as f:
                f.write("abc\n")

        def fifo(home):
            os.mkdir(os.path.join(home, ".kalpo"), 0o700)
            os.mkfifo(os.path.join(home, ".kalpo", "serve-token"), 0o600)

        def open_folder(home):
            os.mkdir(os.path.join(home, ".kalpo"))
            os.chmod(os.path.join(home, ".kalpo"), 0o777)

        def linked_folder(home):
            shared = os.path.join(home, "shared")
            os.mkdir(shared)
            os.chmod(shared, 0o777)
            os.symlink(shared, os.path.join(home, ".kalpo"))

        def readable(home):
            short(home)
            path = os.path.join(home, ".kalpo", "serve-token")
            with open(path, "w") as f:
                f.write("0123456789abcdef0123456789abcdef\n")
            os.chmod(path, 0o644)

        def foreign(home):
            readable(home)
            os.chmod(os.path.join(home, ".kalpo", "serve-token"), 0o600)
            os.chown(os.path.join(home, ".kalpo", "serve-token"), 65534, 65534)

        def two_lines(home):
            short(home)
            with open(os.path.join(home, ".kalpo", "serve-token"), "w") as f:
                f.write("0123456789abcdef0123456789abcdef\nsecond\n")

        cases = [(short, "fewer than 128 bits"), (fifo, "a FIFO"), (open_folder, "written by other users"),
                 (linked_folder, "link"), (readable, "read by other users"), (two_lines, "more than one line")]
        if os.geteuid() == 0:
            cases.append((foreign, "owned by another user"))
        for make, reason in cases:
            with self.subTest(case=make.__name__), tempfile.TemporaryDirectory() as home:
                make(home)
                started = time.time()
                result = self.start(home)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(reason, result.stderr)
                self.assertLess(time.time() - started, 3)
                self.assertFalse(os.path.exists(os.path.join(home, "shared", "serve-token")))
        for token, reason in [("a", "fewer than 128 bits"), ("0123456789abcdef0123456789abcde", "fewer than 128 bits"),
                              ("Q" * 32, "repeated"), ("abab" * 8, "repeated"), ("qqqqqqqwwwwwwweeeeeeerrrr", "different characters only")]:
            with self.subTest(token=token), tempfile.TemporaryDirectory() as home:
                result = self.start(home, token=token)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(reason, result.stderr)


if __name__ == "__main__":
    unittest.main()
