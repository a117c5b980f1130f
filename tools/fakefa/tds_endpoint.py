#!/usr/bin/env python3
"""A scripted Microsoft SQL Server endpoint for trying and testing the core banking import.

It speaks enough of TDS 7.4 for the FreeTDS ODBC driver to log in and run plain command batches,
and answers every batch from a table of canned replies. Standard library only.

    tds_endpoint.py --answers ANSWERS.json [--port 0]

It prints "PORT <n>" on its first output line once it listens on 127.0.0.1 and serves until it is
ended. ANSWERS.json holds {"login": {"user": ..., "password": ...}, "answers": {...}}; without
"login" any user and password are accepted (a password is never given on the command line).
"answers" maps a command text, exactly as sent, to a reply: a list of items, each one of
    {"columns": [[name, type], ...], "rows": [[value, ...], ...]}   a result set
    {"count": n}                                                      a statement that returns no rows
    {"error": text, "number": n}                                      an error raised by the server
    {"delay": seconds}                                                a pause before what follows
Types: "nvarchar" (up to 4,000 characters), "nvarchar(max)", "bigint", "int", "datetime"
("yyyy-mm-dd" or "yyyy-mm-dd hh:mm:ss"), "money" (a number). A value null is a database NULL.
"""

import argparse
import datetime
import json
import select
import socketserver
import struct
import sys

TDS74 = 0x74000004
PACKET_TABULAR, PACKET_BATCH, PACKET_ATTENTION, PACKET_LOGIN7, PACKET_PRELOGIN = 0x04, 0x01, 0x06, 0x10, 0x12
STATUS_EOM = 0x01
DONE_MORE, DONE_ERROR, DONE_COUNT, DONE_ATTN = 0x01, 0x02, 0x10, 0x20
# Latin1_General_CI_AS: what a server on a Western installation reports.
COLLATION = bytes([0x09, 0x04, 0xD0, 0x00, 0x34])
EPOCH = datetime.datetime(1900, 1, 1)


def b_varchar(text):
    data = text.encode("utf-16-le")
    return bytes([len(data) // 2]) + data


def us_varchar(text):
    data = text.encode("utf-16-le")
    return struct.pack("<H", len(data) // 2) + data


def done(status, count=0, token=0xFD):
    # From TDS 7.2 on the row count is eight bytes wide.
    return struct.pack("<BHHQ", token, status, 0xC1, count)


def error_token(number, text, severity=16, state=1):
    body = struct.pack("<iBB", number, state, severity) + us_varchar(text) + b_varchar("FAKEFA") + b_varchar("")
    body += struct.pack("<i", 1)
    return struct.pack("<BH", 0xAA, len(body)) + body


def env_change(kind, new, old=b"\x00"):
    body = bytes([kind]) + new + old
    return struct.pack("<BH", 0xE3, len(body)) + body


class Column:
    """One column of a result set: its metadata and how a value is written in a row."""

    def __init__(self, name, kind):
        self.name, self.kind = name, kind.lower()
        if self.kind not in ("nvarchar", "nvarchar(max)", "bigint", "int", "datetime", "money"):
            raise ValueError("unknown column type " + kind)

    def metadata(self):
        head = struct.pack("<IH", 0, 0x0001 | 0x0008)  # user type; nullable, updateable unknown
        if self.kind == "nvarchar":
            info = bytes([0xE7]) + struct.pack("<H", 8000) + COLLATION
        elif self.kind == "nvarchar(max)":
            info = bytes([0xE7]) + struct.pack("<H", 0xFFFF) + COLLATION
        elif self.kind in ("bigint", "int"):
            info = bytes([0x26, 8 if self.kind == "bigint" else 4])
        elif self.kind == "datetime":
            info = bytes([0x6F, 8])
        else:
            info = bytes([0x6E, 8])
        return head + info + b_varchar(self.name)

    def value(self, v):
        if self.kind == "nvarchar":
            if v is None:
                return b"\xff\xff"
            data = str(v).encode("utf-16-le")
            return struct.pack("<H", len(data)) + data
        if self.kind == "nvarchar(max)":
            if v is None:
                return struct.pack("<Q", 0xFFFFFFFFFFFFFFFF)
            data = str(v).encode("utf-16-le")
            chunks = b"".join(struct.pack("<I", len(data[i:i + 4000])) + data[i:i + 4000]
                              for i in range(0, len(data), 4000))
            return struct.pack("<Q", len(data)) + chunks + struct.pack("<I", 0)
        if v is None:
            return b"\x00"
        if self.kind == "bigint":
            return b"\x08" + struct.pack("<q", int(v))
        if self.kind == "int":
            return b"\x04" + struct.pack("<i", int(v))
        if self.kind == "datetime":
            moment = datetime.datetime.fromisoformat(str(v))
            delta = moment - EPOCH
            ticks = round((delta.seconds + delta.microseconds / 1e6) * 300)
            return b"\x08" + struct.pack("<iI", delta.days, ticks)
        scaled = round(float(v) * 10000)  # money: the high half first
        return b"\x08" + struct.pack("<iI", scaled >> 32, scaled & 0xFFFFFFFF)


def result_set(item):
    columns = [Column(name, kind) for name, kind in item["columns"]]
    out = struct.pack("<BH", 0x81, len(columns)) + b"".join(c.metadata() for c in columns)
    for row in item.get("rows", []):
        out += b"\xD1" + b"".join(c.value(v) for c, v in zip(columns, row))
    return out, len(item.get("rows", []))


class Answers:
    """The canned replies, looked up by the exact command text; a callable may answer the rest."""

    def __init__(self, table=None, fallback=None):
        self.table, self.fallback = table or {}, fallback

    def reply(self, command):
        if command in self.table:
            return self.table[command]
        if self.fallback:
            found = self.fallback(command)
            if found is not None:
                return found
        lowered = command.strip().lower()
        if lowered.startswith(("set ", "use ")) or not lowered:
            return []
        return [{"error": "Could not find a canned answer for: " + command, "number": 2812}]


class Session(socketserver.BaseRequestHandler):
    """One client connection: pre-login, login, then command batches until the client leaves."""

    def setup(self):
        self.packet_size = 4096
        self.pending = b""

    def read_packet(self, timeout=None):
        while len(self.pending) < 8 or len(self.pending) < struct.unpack(">H", self.pending[2:4])[0]:
            if timeout is not None:
                ready, _, _ = select.select([self.request], [], [], timeout)
                if not ready:
                    return None
            data = self.request.recv(65536)
            if not data:
                raise ConnectionError("client left")
            self.pending += data
        length = struct.unpack(">H", self.pending[2:4])[0]
        packet, self.pending = self.pending[:length], self.pending[length:]
        return packet[0], packet[1], packet[8:]

    def read_message(self):
        kind, payload = None, b""
        while True:
            kind, status, data = self.read_packet()
            payload += data
            if status & STATUS_EOM:
                return kind, payload

    def send(self, payload, kind=PACKET_TABULAR):
        room = self.packet_size - 8
        pieces = [payload[i:i + room] for i in range(0, len(payload), room)] or [b""]
        for number, piece in enumerate(pieces, 1):
            status = STATUS_EOM if number == len(pieces) else 0
            header = struct.pack(">BBHHBB", kind, status, len(piece) + 8, 0, number % 256, 0)
            self.request.sendall(header + piece)

    def handle(self):
        try:
            kind, _ = self.read_message()
            if kind != PACKET_PRELOGIN:
                return
            self.send(self.prelogin_reply())
            kind, login = self.read_message()
            if kind != PACKET_LOGIN7 or not self.login(login):
                return
            while True:
                kind, payload = self.read_message()
                if kind == PACKET_BATCH:
                    self.run_batch(payload)
                elif kind == PACKET_ATTENTION:
                    self.send(done(DONE_ATTN))
        except (ConnectionError, OSError):
            pass

    @staticmethod
    def prelogin_reply():
        options = [(0x00, bytes([15, 0, 0x07, 0xD0, 0, 0])),  # version 15.0.2000
                   (0x01, bytes([0x02])),                     # encryption not supported
                   (0x02, b"\x00"), (0x03, b""), (0x04, b"\x00")]
        offset = len(options) * 5 + 1
        head, body = b"", b""
        for token, data in options:
            head += struct.pack(">BHH", token, offset + len(body), len(data))
            body += data
        return head + b"\xFF" + body

    def login(self, data):
        def field(at):
            offset, length = struct.unpack("<HH", data[at:at + 4])
            return data[offset:offset + 2 * length]

        user = field(40).decode("utf-16-le")
        scrambled = field(44)
        password = bytes((((b ^ 0xA5) << 4) & 0xF0) | ((b ^ 0xA5) >> 4) for b in scrambled).decode("utf-16-le")
        database = field(68).decode("utf-16-le") or "FA"
        self.packet_size = max(512, min(32767, struct.unpack("<I", data[8:12])[0] or 4096))
        config = self.server.config
        if (config.user is not None and user != config.user) or (config.password is not None
                                                                  and password != config.password):
            self.send(error_token(18456, "Login failed for user '%s'." % user, severity=14) + done(DONE_ERROR))
            return False
        out = env_change(1, b_varchar(database), b_varchar("master"))
        out += env_change(7, bytes([len(COLLATION)]) + COLLATION)
        out += env_change(4, b_varchar(str(self.packet_size)), b_varchar("4096"))
        ack = bytes([1]) + struct.pack(">I", TDS74) + b_varchar("Microsoft SQL Server") + bytes([15, 0, 7, 0xD0])
        out += struct.pack("<BH", 0xAD, len(ack)) + ack
        if data[27] & 0x10:  # the client sent a feature extension block: acknowledge none of it
            out += b"\xAE\xFF"
        self.send(out + done(0))
        return True

    def run_batch(self, payload):
        headers = struct.unpack("<I", payload[:4])[0] if len(payload) >= 4 else 0
        command = payload[headers:].decode("utf-16-le", errors="replace")
        items = self.server.config.answers.reply(command)
        out = b""
        for index, item in enumerate(items):
            status = DONE_MORE if index + 1 < len(items) else 0
            if "delay" in item:
                # Nothing is sent before the pause, so a cancelled reply leaves nothing half-read.
                attention = self.read_packet(timeout=float(item["delay"]))
                if attention is not None:
                    self.answer_attention(attention)
                    return
                if status == 0:
                    out += done(0)
            elif "error" in item:
                out += error_token(int(item.get("number", 50000)), item["error"]) + done(status | DONE_ERROR)
            elif "count" in item:
                out += done(status | DONE_COUNT, int(item["count"]))
            else:
                rows, count = result_set(item)
                out += rows + done(status | DONE_COUNT, count)
        self.send(out or done(0))

    def answer_attention(self, packet):
        kind, status, _ = packet
        while kind != PACKET_ATTENTION or not status & STATUS_EOM:
            kind, status, _ = self.read_packet()
        self.send(done(DONE_ATTN))


class Endpoint(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, config, port=0):
        self.config = config
        super().__init__(("127.0.0.1", port), Session)


class Config:
    def __init__(self, answers, user=None, password=None):
        self.answers, self.user, self.password = answers, user, password


def serve(config, port=0, ready=None):
    endpoint = Endpoint(config, port)
    if ready:
        ready(endpoint.server_address[1])
    print("PORT %d" % endpoint.server_address[1], flush=True)
    try:
        endpoint.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        endpoint.server_close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--answers", required=True, help="JSON file of canned replies")
    parser.add_argument("--port", type=int, default=0, help="port on 127.0.0.1; 0 picks a free one")
    args = parser.parse_args()
    with open(args.answers, encoding="utf-8") as f:
        script = json.load(f)
    login = script.get("login", {})
    serve(Config(Answers(script.get("answers", {})), login.get("user"), login.get("password")), args.port)


if __name__ == "__main__":
    sys.exit(main())
