"""A small JSON-RPC client of the language server, for the tests: it
starts `genera_scenario lsp`, frames the messages, and keeps what the
server sends on its own (diagnostics) apart from the answers."""

import json
import queue
import subprocess
import threading


class Client:
    def __init__(self, exe, cwd=None, timeout=60):
        self.proc = subprocess.Popen([exe, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, cwd=cwd)
        self.timeout = timeout
        self.next_id = 1
        self.messages = queue.Queue()
        self.pending = []  # what arrived while waiting for something else
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        out = self.proc.stdout
        while True:
            length = None
            while True:
                line = out.readline()
                if not line:
                    self.messages.put(None)
                    return
                line = line.strip()
                if not line:
                    break
                name, _, value = line.partition(b":")
                if name.strip().lower() == b"content-length":
                    length = int(value)
            body = out.read(length)
            self.messages.put(json.loads(body))

    def send_raw(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def notify(self, method, params=None):
        message = {"jsonrpc": "2.0", "method": method}
        if params is not None:
            message["params"] = params
        self.send(message)

    def request(self, method, params=None):
        self.send_request(method, params)
        return self.wait_response(self.next_id - 1)

    def send_request(self, method, params=None):
        message = {"jsonrpc": "2.0", "id": self.next_id, "method": method}
        if params is not None:
            message["params"] = params
        self.next_id += 1
        self.send(message)

    def _wait(self, match):
        for i, m in enumerate(self.pending):
            if match(m):
                return self.pending.pop(i)
        while True:
            m = self.messages.get(timeout=self.timeout)
            if m is None:
                raise EOFError("the server closed its output")
            if match(m):
                return m
            self.pending.append(m)

    def wait_response(self, request_id):
        return self._wait(lambda m: m.get("id") == request_id and "method" not in m)

    def wait_error_without_id(self):
        return self._wait(lambda m: "error" in m and m.get("id") is None)

    def wait_diagnostics(self, uri):
        return self._wait(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                          and m["params"]["uri"] == uri)["params"]

    def close(self):
        self.proc.stdin.close()
        return self.proc.wait(timeout=self.timeout)
