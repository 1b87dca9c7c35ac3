#!/usr/bin/env python3
"""A local stand-in for the product API, for tests, benchmarks and the demo.

HTTPS on 127.0.0.1 at ephemeral ports (one with a certificate from the test CA, one with a
certificate from a CA nobody trusts). It answers the probe GET of a base URL, the package request
POST /wpapi/version/getClientZipUrl (checking the form body and its signature on its own terms) and
the package files. Replies use the API envelope {"code", "message", "data"} with "data" =
base64(XXTEA(10 characters + payload JSON)).

Faults are chosen by the base URL itself, so parallel tests never share state: a base URL
https://127.0.0.1:PORT/s/<switch>,<switch>,... carries switches, for example
  probe=404        the probe GET of the base answers 404
  status=500       the API request answers this status (302 is sent without a Location)
  empty            the API request answers 200 with an empty body
  reply=notjson | refuse | codestr | badb64 | badlen | short | nofields | emptydata | fieldobj |
        emptyurl | emptymd5 | badmd5
  md5=upper | wrong   how the announced digest is written
  vnum             "version_code" as a number
  dl=404 | empty | trunc | stall   how the package file is served
  size=N           package size in bytes (default 4096)
  name=TEXT        package file name in the URL (percent-encoded)
  pkg=client       the package is the file given by --client-package (default name tovik-client.zip)
Other paths: GET /_xxtea?hex=HEX gives base64(XXTEA(bytes)) with the signing key; GET /big serves
the file given by --big-file.
"""
import argparse
import base64
import hashlib
import json
import os
import random
import signal
import socket
import ssl
import struct
import sys
import threading
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

SIGNING_KEY = b"Hx4nPq9WcL2tRb6Z"
SUCCESS = 100100
API_PATH = "/wpapi/version/getClientZipUrl"
DELTA = 0x9E3779B9
MASK = 0xFFFFFFFF


# ---- XXTEA with a length word, written from the algorithm's published description ----
def _words(data):
    data = data + b"\0" * (-len(data) % 4)
    return list(struct.unpack("<%dI" % (len(data) // 4), data))


def xxtea_encrypt(plain, key=SIGNING_KEY, length_word=None):
    v = _words(plain) + [len(plain) if length_word is None else length_word]
    k = _words(key[:16].ljust(16, b"\0"))
    n = len(v)
    rounds = 6 + 52 // n
    total = 0
    z = v[n - 1]
    for _ in range(rounds):
        total = (total + DELTA) & MASK
        e = (total >> 2) & 3
        for p in range(n):
            y = v[(p + 1) % n]
            mx = ((((z >> 5) ^ (y << 2) & MASK) + ((y >> 3) ^ (z << 4) & MASK)) & MASK) ^ \
                 (((total ^ y) + (k[(p & 3) ^ e] ^ z)) & MASK)
            v[p] = (v[p] + mx) & MASK
            z = v[p]
    return struct.pack("<%dI" % n, *v)


# ---- signing, as the API checks it ----
def url_encode(raw):
    keep = b"0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ-_."
    out = []
    for b in raw:
        if b in keep:
            out.append(chr(b))
        elif b == 0x20:
            out.append("+")
        else:
            out.append("%%%02X" % b)
    return "".join(out)


def check_form(body):
    """Returns (params in order, problem text or None)."""
    text = body.decode("ascii", "replace")
    pairs = [p.split("=", 1) if "=" in p else [p, ""] for p in text.split("&")]
    if not pairs or pairs[-1][0] != "sign":
        return [], "no sign field last"
    sign = pairs[-1][1]
    params = pairs[:-1]
    names = [n for n, _ in params]
    if [n.encode() for n in names] != sorted(n.encode() for n in names):
        return params, "parameters not in name order"
    sign_text = []
    for name, encoded in params:
        value = urllib.parse.unquote_to_bytes(encoded.replace("+", " "))
        if url_encode(value) != encoded:
            return params, "value of %s not in canonical form encoding" % name
        sign_text.append(name + "=" + url_encode(value).lower())
    expected = hashlib.md5(("&".join(sign_text)).encode() + SIGNING_KEY).hexdigest()
    if sign != expected:
        return params, "sign mismatch"
    return params, None


def envelope_data(payload_text):
    prefix = "".join(random.choice("abcdefghijklmnopqrstuvwxyz0123456789") for _ in range(10))
    return base64.b64encode(xxtea_encrypt((prefix + payload_text).encode("utf-8"))).decode()


def package_bytes(size, seed):
    block = hashlib.sha256(seed.encode()).digest() * 64
    reps = size // len(block) + 1
    return (block * reps)[:size]


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "ApiStandin/1"

    def log_message(self, fmt, *args):
        if self.server.verbose:
            sys.stderr.write("standin: " + (fmt % args) + "\n")

    # -- helpers --
    def split_switches(self):
        path = urllib.parse.urlsplit(self.path).path
        switches = {}
        prefix = ""
        if path.startswith("/s/"):
            rest = path[3:]
            head, _, tail = rest.partition("/")
            prefix = "/s/" + head
            for item in head.split(","):
                if item:
                    key, _, value = item.partition("=")
                    switches[key] = urllib.parse.unquote(value)
            path = "/" + tail
        return prefix, path, switches

    def send(self, status, body=b"", content_type="text/plain; charset=utf-8", extra=None):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for k, v in (extra or {}).items():
            self.send_header(k, v)
        self.end_headers()
        if body:
            self.wfile.write(body)

    def base_url(self):
        return "https://127.0.0.1:%d" % self.server.server_address[1]

    # -- routes --
    def do_GET(self):
        prefix, path, sw = self.split_switches()
        if path in ("", "/"):
            status = int(sw.get("probe", "200"))
            return self.send(status, b"standin")
        if path == "/_xxtea":
            query = urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)
            plain = bytes.fromhex(query.get("hex", [""])[0])
            length = query.get("len")
            data = xxtea_encrypt(plain, length_word=int(length[0]) if length else None)
            return self.send(200, base64.b64encode(data))
        if path.startswith("/files/"):
            return self.serve_package(sw)
        if path == "/big" and self.server.big_file:
            return self.serve_big()
        return self.send(404, b"not found")

    def serve_package(self, sw):
        mode = sw.get("dl", "")
        if mode == "404":
            return self.send(404, b"no such package")
        data = b"" if mode == "empty" else self.package_data(sw)
        if mode in ("trunc", "stall"):
            self.send_response(200)
            self.send_header("Content-Type", "application/zip")
            self.send_header("Content-Length", str(len(data)))
            self.end_headers()
            self.wfile.write(data[: len(data) // 2])
            self.wfile.flush()
            if mode == "stall":
                time.sleep(float(sw.get("stallfor", "30")))
            self.close_connection = True
            return
        self.send(200, data, "application/zip")

    def package_data(self, sw):
        if sw.get("pkg") == "client" and self.server.client_package:
            with open(self.server.client_package, "rb") as f:
                return f.read()
        return package_bytes(int(sw.get("size", "4096")), sw.get("seed", "pkg"))

    def serve_big(self):
        size = os.path.getsize(self.server.big_file)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size))
        self.end_headers()
        with open(self.server.big_file, "rb") as f:
            while True:
                chunk = f.read(1 << 20)
                if not chunk:
                    break
                self.wfile.write(chunk)

    def do_POST(self):
        prefix, path, sw = self.split_switches()
        length = int(self.headers.get("Content-Length", "0"))
        body = self.rfile.read(length) if length else b""
        if path != API_PATH:
            return self.send(404, b"unknown API")
        if "status" in sw:
            return self.send(int(sw["status"]), b"<html>moved or broken</html>" if sw["status"] != "300" else
                             self.reply_bytes(prefix, sw, body), "text/html")
        if "empty" in sw:
            return self.send(200, b"", "application/json")
        self.send(200, self.reply_bytes(prefix, sw, body), "application/json")

    def reply_bytes(self, prefix, sw, body):
        params, problem = check_form(body)
        if problem:
            return json.dumps({"code": 100401, "message": "签名错误: " + problem, "data": ""}).encode()
        if self.headers.get("Content-Type", "") != "application/x-www-form-urlencoded":
            return json.dumps({"code": 100402, "message": "bad content type", "data": ""}).encode()
        reply = sw.get("reply", "")
        if reply == "notjson":
            return b"<html>gateway error</html>"
        if reply == "refuse":
            return json.dumps({"code": 100500, "message": "版本已停用", "data": ""}).encode()
        if reply == "codestr":
            return json.dumps({"code": "100100", "message": "", "data": ""}).encode()
        if reply == "fieldobj":
            return json.dumps({"code": SUCCESS, "message": "", "data": {"x": 1}}).encode()
        if reply == "emptydata":
            return json.dumps({"code": SUCCESS, "message": "", "data": ""}).encode()
        if reply == "badb64":
            return json.dumps({"code": SUCCESS, "message": "", "data": "!!!!"}).encode()
        if reply == "badlen":
            data = base64.b64encode(xxtea_encrypt(b"0123456789{}", length_word=999)).decode()
            return json.dumps({"code": SUCCESS, "message": "", "data": data}).encode()
        if reply == "short":
            data = base64.b64encode(xxtea_encrypt(b"abc")).decode()
            return json.dumps({"code": SUCCESS, "message": "", "data": data}).encode()
        payload = self.payload(prefix, sw, body)
        return json.dumps({"code": SUCCESS, "message": "", "data": envelope_data(payload)}).encode()

    def payload(self, prefix, sw, body):
        reply = sw.get("reply", "")
        if reply == "nofields":
            return "{}"
        name = sw.get("name", "tovik-client.zip" if sw.get("pkg") == "client" else "client_pkg.zip")
        data = self.package_data(sw)
        digest = hashlib.md5(data).hexdigest()
        if sw.get("md5") == "upper":
            digest = digest.upper()
        elif sw.get("md5") == "wrong":
            digest = hashlib.md5(data + b"x").hexdigest()
        url = self.base_url() + prefix + "/files/" + urllib.parse.quote(name, safe="%?#=&")
        fields = {
            "version_code": 105 if "vnum" in sw else "1.0.5",
            "file_url": "" if reply == "emptyurl" else url,
            "file_md5": "" if reply == "emptymd5" else ("abc123" if reply == "badmd5" else digest),
            "served_by": prefix,
            "headers": [[k, v] for k, v in self.headers.items()],
            "body": body.decode("ascii", "replace"),
        }
        return json.dumps(fields, ensure_ascii=False)


class Server(ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, cert, key, big_file, verbose):
        super().__init__(("127.0.0.1", 0), Handler)
        self.context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        self.context.load_cert_chain(cert, key)
        self.big_file = big_file
        self.client_package = ""
        self.verbose = verbose

    def get_request(self):
        sock, addr = self.socket.accept()
        # The handshake happens on the handler's thread, so one slow client holds up no other.
        return self.context.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), addr

    def handle_error(self, request, client_address):
        if self.verbose:
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--certs", required=True, help="folder with server.pem/server.key, rogue.pem/rogue.key")
    parser.add_argument("--state", required=True, help="JSON file to write the ports and pid to")
    parser.add_argument("--big-file", default="")
    parser.add_argument("--client-package", default="", help="ZIP file served under the switch pkg=client")
    parser.add_argument("--lifetime", type=float, default=3600, help="seconds before the stand-in stops itself")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()

    trusted = Server(os.path.join(args.certs, "server.pem"), os.path.join(args.certs, "server.key"),
                     args.big_file, args.verbose)
    rogue = Server(os.path.join(args.certs, "rogue.pem"), os.path.join(args.certs, "rogue.key"),
                   args.big_file, args.verbose)
    # A port nothing listens on: bound and closed again, so connections to it are refused.
    probe = socket.socket()
    probe.bind(("127.0.0.1", 0))
    closed_port = probe.getsockname()[1]
    probe.close()
    for server in (trusted, rogue):
        server.client_package = args.client_package
        threading.Thread(target=server.serve_forever, daemon=True).start()
    state = {"port": trusted.server_address[1], "rogue_port": rogue.server_address[1],
             "closed_port": closed_port, "pid": os.getpid()}
    tmp = args.state + ".tmp"
    with open(tmp, "w") as f:
        json.dump(state, f)
    os.replace(tmp, args.state)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait(args.lifetime)
    trusted.shutdown()
    rogue.shutdown()


if __name__ == "__main__":
    main()
