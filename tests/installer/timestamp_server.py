#!/usr/bin/env python3
"""A local RFC 3161 time-stamp server for the release test: answers each
POSTed query with `openssl ts -reply`, signed by the test's time-stamping
certificate. Serves on 127.0.0.1 on a free port, which it writes to
PORT_FILE, until killed.

  timestamp_server.py OPENSSL_TS_CONFIG PORT_FILE"""
import subprocess
import sys
import tempfile
from http.server import BaseHTTPRequestHandler, HTTPServer
from pathlib import Path

config, port_file = sys.argv[1], Path(sys.argv[2])


class TimeStamps(BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.TemporaryDirectory() as scratch:
            (Path(scratch) / "query").write_bytes(query)
            made = subprocess.run(["openssl", "ts", "-reply", "-config", config,
                                   "-queryfile", f"{scratch}/query", "-out", f"{scratch}/reply"],
                                  capture_output=True)
            reply = (Path(scratch) / "reply").read_bytes() if made.returncode == 0 else b""
        if not reply:
            self.send_error(500, made.stderr.decode(errors="replace").splitlines()[0] if made.stderr else "no reply")
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *arguments):
        pass


server = HTTPServer(("127.0.0.1", 0), TimeStamps)
port_file.write_text(f"{server.server_address[1]}\n")
server.serve_forever()
