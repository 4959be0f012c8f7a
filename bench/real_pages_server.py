#!/usr/bin/env python3
"""Loopback server for bench/real_pages.sh.

Serves one page's tree (--root) and the shared scripts (--js, at /javascript/), and
answers for the pictures that the page takes from other sites: the page's absolute
addresses were rewritten to /_ext/HOST/PATH on this server. A picture that is not in
the tree (the packages leave most of them out) is made here: an image of the type its
extension names, or for an address without a picture extension (an image CDN's, a
resizing service's) a JPEG, or an SVG where the address is a badge's; an address the
browser loads as a frame or a script is not a picture. Each made picture holds its
own address, so no two are byte-equal.

Every request is logged as a line: PATH<TAB>STATUS<TAB>CONTENT-TYPE.
"""
import argparse
import base64
import mimetypes
import os
import struct
import sys
import threading
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import unquote, urlsplit

PICTURE_TYPES = {
    ".jpg": "image/jpeg", ".jpeg": "image/jpeg", ".png": "image/png",
    ".gif": "image/gif", ".webp": "image/webp", ".avif": "image/avif",
    ".bmp": "image/bmp", ".svg": "image/svg+xml", ".ico": "image/x-icon",
}
GIF_1X1 = base64.b64decode("R0lGODlhAQABAAAAACH5BAEKAAEALAAAAAABAAEAAAICTAEAOw==")


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(
        ">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def make_png(tag):
    head = png_chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0))
    pixels = png_chunk(b"IDAT", zlib.compress(b"\x00\x80\x80\x80"))
    text = png_chunk(b"tEXt", b"Comment\x00" + tag)
    return b"\x89PNG\r\n\x1a\n" + head + text + pixels + png_chunk(b"IEND", b"")


def make_jpeg(base, tag):
    # A comment segment right after SOI: the base picture, told apart by its address.
    comment = tag[:65000]
    return base[:2] + b"\xff\xfe" + struct.pack(">H", len(comment) + 2) + comment + base[2:]


def make_picture(kind, tag, base_jpeg):
    if kind == "image/png" or kind == "image/x-icon":
        return make_png(tag)
    if kind == "image/gif":
        return GIF_1X1[:-1] + b"\x21\xfe" + bytes([min(len(tag), 255)]) + tag[:255] + b"\x00;"
    if kind == "image/svg+xml":
        return (b'<svg xmlns="http://www.w3.org/2000/svg" width="90" height="20"><!-- ' +
                tag.replace(b"--", b"__") + b' --><rect width="90" height="20"/></svg>')
    return make_jpeg(base_jpeg, tag)  # JPEG, and the types a browser may not show


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def answer(self, status, kind, body):
        with self.server.log_lock:
            self.server.log.write("%s\t%d\t%s\n" % (self.path, status, kind))
            self.server.log.flush()
        self.send_response(status)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD":
            self.wfile.write(body)

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        path = unquote(urlsplit(self.path).path)
        if path.startswith("/javascript/"):
            for js in self.server.js_dirs:
                file = os.path.normpath(os.path.join(js, path[len("/javascript/"):]))
                if file.startswith(js) and os.path.isfile(file):
                    return self.send_file(file)
            return self.answer(404, "text/plain", b"not here\n")
        if not path.startswith("/_ext/"):
            file = os.path.normpath(os.path.join(self.server.root, path.lstrip("/")))
            if file.startswith(self.server.root) and os.path.isdir(file):
                file = os.path.join(file, "index.html")
            if file.startswith(self.server.root) and os.path.isfile(file):
                return self.send_file(file)
        if path == "/favicon.ico":  # asked by the browser alone: not one of the page's
            return self.answer(404, "text/plain", b"not here\n")
        extension = os.path.splitext(path)[1].lower()
        kind = PICTURE_TYPES.get(extension)
        if kind is None and path.startswith("/_ext/") and (
                extension in ("", ".php", ".asp", ".aspx", ".cgi", ".jsp") or "/" in extension):
            kind = self.made_type()
        if kind is None or kind == "text/html":
            return self.answer(404, "text/plain", b"not here\n")
        self.answer(200, kind, make_picture(kind, self.path.encode(), self.server.base_jpeg))

    def made_type(self):
        # What an address without a picture extension is: a picture (an SVG for a badge),
        # unless the browser asked for it as something else (a frame, a script); the
        # first answer for an address holds for every client after it.
        with self.server.log_lock:
            known = self.server.made_types.get(self.path)
            if known is None:
                destination = self.headers.get("Sec-Fetch-Dest", "image")
                if destination not in ("image", "empty"):
                    known = "text/html"
                elif "badge" in self.path.lower():
                    known = "image/svg+xml"
                else:
                    known = "image/jpeg"
                self.server.made_types[self.path] = known
            return known

    def send_file(self, file):
        kind = PICTURE_TYPES.get(os.path.splitext(file)[1].lower()) or \
            mimetypes.guess_type(file)[0] or "application/octet-stream"
        with open(file, "rb") as f:
            self.answer(200, kind, f.read())


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--js", action="append", default=[])
    parser.add_argument("--jpeg", help="a JPEG to make the missing JPEGs from")
    parser.add_argument("--log", required=True)
    parser.add_argument("--port-file", required=True)
    args = parser.parse_args()
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root = os.path.realpath(args.root)
    server.js_dirs = [os.path.realpath(j) for j in args.js]
    server.log = open(args.log, "a")
    server.log_lock = threading.Lock()
    server.made_types = {}
    base = b""
    if args.jpeg and os.path.isfile(args.jpeg):
        with open(args.jpeg, "rb") as f:
            base = f.read()
    server.base_jpeg = base if base.startswith(b"\xff\xd8") else b"\xff\xd8\xff\xd9"
    with open(args.port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.rename(args.port_file + ".tmp", args.port_file)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
