"""A time-stamping authority on 127.0.0.1 for the signing proof: answers
each RFC 3161 request POSTed to it over HTTP with `openssl ts -reply`, under
the openssl config CONFIG. Writes the port it took to PORTFILE once it
listens, and serves until it is ended.

    python3 tests/timestamp_server.py CONFIG PORTFILE
"""
import http.server
import os
import subprocess
import sys
import tempfile

config, portfile = sys.argv[1], sys.argv[2]


class TimestampHandler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        with tempfile.TemporaryDirectory() as folder:
            query_file, reply_file = os.path.join(folder, "query"), os.path.join(folder, "reply")
            with open(query_file, "wb") as f:
                f.write(query)
            made = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", query_file,
                                   "-out", reply_file], stdout=subprocess.DEVNULL, stderr=sys.stderr)
            reply = b""
            if made.returncode == 0:
                with open(reply_file, "rb") as f:
                    reply = f.read()
        self.send_response(200 if reply else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimestampHandler)
with open(portfile + ".part", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(portfile + ".part", portfile)
server.serve_forever()
