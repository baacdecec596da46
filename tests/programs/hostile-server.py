#!/usr/bin/env python3
"""A server that plays fair until the game has started, then turns hostile.

hostile-server.py PORT_FILE CASE SENT_FILE: listens on a free loopback port (written to
PORT_FILE), answers one client's version, registration and map query with a whole 100 x 100
map (two texts among its frames), then sends the stream CASE names and writes SENT_FILE. The
case "stalled-download" stops half-way through the map instead. It keeps the connection open,
sending nothing more, until the client closes it (or 60 s pass).
"""
import os
import random
import socket
import struct
import sys
import time


def frame(body):
    return struct.pack(">H", len(body) + 2) + body


def read_frame(conn):
    head = conn.recv(2, socket.MSG_WAITALL)
    if len(head) < 2:
        raise EOFError
    (length,) = struct.unpack(">H", head)
    return conn.recv(length - 2, socket.MSG_WAITALL) if length > 2 else b""


STREAMS = {
    # A length that promises more than follows.
    "length-0040": lambda: b"\x00\x40" + b"A" * 9,
    "length-ffff": lambda: b"\xff\xff" + b"B" * 100,
    # Half of a length.
    "half-length": lambda: b"\x00",
    # Noise that reads as frames of any length, the last one unfinished.
    "noise": lambda: random.Random(19).randbytes(65536),
}


def text(words):
    """A text from the server: tag and turn, player ID 0xFFFFFFFF, a reserved byte."""
    return frame(b"MSG0000" + b"\xff" * 4 + b"\x00" + words)


def serve(conn, case, sent_file):
    read_frame(conn)  # the version
    conn.sendall(frame(b"DNM0.26.20L\x00"))
    read_frame(conn)  # the registration
    conn.sendall(frame(b"REG0000OK_" + struct.pack(">I", 1)))
    while not read_frame(conn).startswith(b"MAP0000???"):
        pass
    terrain = b"MAP0000TER" + struct.pack(">HH", 100, 100) + bytes(100 * 100)
    if case == "stalled-download":  # half of the terrain, then nothing
        conn.sendall(frame(b"MAP0000SND") + frame(terrain)[:5000])
    else:
        conn.sendall(frame(b"MAP0000SND") + text(b"server: Welcome aboard") + frame(terrain)
                     + text(b"server: Two players online") + frame(b"MAP0000///"))
        conn.sendall(STREAMS[case]())
    with open(sent_file, "w") as f:
        f.write(case + "\n")
    conn.settimeout(60)
    while conn.recv(4096):
        pass


def main():
    port_file, case, sent_file = sys.argv[1:4]
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    with open(port_file + ".part", "w") as f:
        f.write(str(listener.getsockname()[1]))
    os.rename(port_file + ".part", port_file)
    listener.settimeout(60)
    conn, _ = listener.accept()
    try:
        serve(conn, case, sent_file)
    except (EOFError, OSError):
        pass
    time.sleep(0.1)


main()
