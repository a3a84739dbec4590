"""A headless Chromium driven as a visitor drives it: the DevTools protocol
over the browser's own pipe (--remote-debugging-pipe), so nothing beyond
Python and Debian's chromium is needed. Clicks and keys are real input
events at the places the page shows, not scripted value changes."""

import contextlib
import json
import os
import queue
import socket
import shutil
import subprocess
import sys
import tempfile
import threading
import time


class BrowserError(Exception):
    pass


def tools_folder():
    """The folder scripts/install-test-tools.sh installs the judging clients in:
    the test's second argument, else $QUENFORT_TEST_TOOLS, else
    ~/.cache/quenfort-test-tools."""
    if len(sys.argv) > 2:
        return sys.argv[2]
    return os.environ.get("QUENFORT_TEST_TOOLS") or os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"),
        "quenfort-test-tools")


def free_port():
    """A port of 127.0.0.1 that nothing listens on."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


@contextlib.contextmanager
def php_server(folder, port):
    """php -S serving `folder` on 127.0.0.1:`port` while the block runs,
    waited for until it answers (at most 20 s), stopped afterwards."""
    server = subprocess.Popen(["php", "-S", "127.0.0.1:%d" % port, "-t", folder],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                break
            except OSError:
                time.sleep(0.1)
        yield port
    finally:
        server.terminate()
        server.wait(timeout=10)


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    raise BrowserError("no Chromium found (Debian's chromium package)")


class Browser:
    """One headless browser with one page. Use as a context manager."""

    def __init__(self, width=1024, height=768):
        self._profile = tempfile.mkdtemp(prefix="browser-profile-")
        commands_read, self._commands = os.pipe()
        self._answers, answers_write = os.pipe()

        def pipes_as_3_and_4():
            # Either end may already be 3 or 4: move both out of the way first.
            commands, answers = os.dup(commands_read), os.dup(answers_write)
            os.dup2(commands, 3)
            os.dup2(answers, 4)

        self._process = subprocess.Popen(
            [find_chromium(), "--headless=new", "--remote-debugging-pipe", "--no-sandbox",
             "--disable-gpu", "--no-first-run", "--no-default-browser-check",
             "--disable-extensions", "--user-data-dir=" + self._profile,
             "--window-size=%d,%d" % (width, height), "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            close_fds=False, preexec_fn=pipes_as_3_and_4)
        os.close(commands_read)
        os.close(answers_write)
        self._next_id = 0
        self._replies = {}
        self._events = queue.Queue()
        self._lock = threading.Condition()
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        self._session = None
        targets = self.send("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self._session = self.send("Target.attachToTarget", targetId=page["targetId"],
                                  flatten=True, session=False)["sessionId"]
        self.send("Page.enable")
        self.send("Runtime.enable")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        try:
            self.send("Browser.close", session=False, timeout=5)
        except BrowserError:
            pass
        try:
            self._process.wait(10)
        except subprocess.TimeoutExpired:
            self._process.kill()
            self._process.wait()
        os.close(self._commands)
        shutil.rmtree(self._profile, ignore_errors=True)

    def _read(self):
        pending = b""
        while True:
            chunk = os.read(self._answers, 65536)
            if not chunk:
                break
            pending += chunk
            while b"\0" in pending:
                message, pending = pending.split(b"\0", 1)
                data = json.loads(message)
                if "id" in data:
                    with self._lock:
                        self._replies[data["id"]] = data
                        self._lock.notify_all()
                else:
                    self._events.put(data)
        with self._lock:
            self._replies[None] = None  # the browser went away
            self._lock.notify_all()

    def send(self, method, session=True, timeout=30, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session and self._session:
            message["sessionId"] = self._session
        os.write(self._commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        with self._lock:
            while self._next_id not in self._replies:
                if None in self._replies:
                    raise BrowserError("the browser ended while " + method + " ran")
                left = deadline - time.monotonic()
                if left <= 0:
                    raise BrowserError(method + " had no answer")
                self._lock.wait(left)
            reply = self._replies.pop(self._next_id)
        if "error" in reply:
            raise BrowserError(method + ": " + reply["error"].get("message", ""))
        return reply.get("result", {})

    def wait_for_event(self, method, timeout=30):
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise BrowserError("no " + method)
            try:
                event = self._events.get(timeout=left)
            except queue.Empty:
                continue
            if event.get("method") == method:
                return event.get("params", {})

    def go(self, url):
        """Opens `url` and waits until it has loaded."""
        while not self._events.empty():
            self._events.get()
        self.send("Page.navigate", url=url)
        self.wait_for_event("Page.loadEventFired")

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise BrowserError("script failed: " + json.dumps(result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_until(self, expression, timeout=15):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if self.evaluate(expression):
                    return
            except BrowserError:
                pass  # a page being replaced
            time.sleep(0.1)
        raise BrowserError("never true: " + expression)

    def click(self, selector):
        """Clicks the middle of the element `selector` as the mouse would."""
        box = self.evaluate(
            "(() => { const e = document.querySelector(%s); if (!e) return null;"
            " e.scrollIntoView({block: 'center'}); const r = e.getBoundingClientRect();"
            " return [r.left + r.width / 2, r.top + r.height / 2, r.width, r.height]; })()"
            % json.dumps(selector))
        if not box:
            raise BrowserError("nothing on the page is " + selector)
        if box[2] <= 0 or box[3] <= 0:
            raise BrowserError(selector + " takes no room on the page")
        x, y = box[0], box[1]
        self.send("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                      clickCount=1)

    def type(self, text):
        """Types `text` into whatever has the focus, key by key."""
        for character in text:
            self.send("Input.dispatchKeyEvent", type="keyDown", text=character, key=character,
                      unmodifiedText=character)
            self.send("Input.dispatchKeyEvent", type="keyUp", key=character)

    KEYS = {"ArrowDown": 40, "ArrowUp": 38, "Enter": 13, "Tab": 9, "Space": 32}

    def press(self, key):
        """Presses a named key (ArrowDown, Enter, ...)."""
        code = self.KEYS[key]
        for kind in ("rawKeyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", type=kind, key=key, code=key,
                      windowsVirtualKeyCode=code, nativeVirtualKeyCode=code)

    def screenshot(self, path):
        import base64
        data = self.send("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))
