#!/usr/bin/env python3
"""A helpdesk viewer in listening mode, reduced to what a test checks: it
accepts one reverse connection on 127.0.0.1, reads the server's protocol
greeting, goes through the handshake up to the server's desktop size and
name, and writes what it saw to RESULT as key=value lines.

usage: rfb_listener.py PORT_FILE RESULT TIMEOUT_SECONDS
"""
import os
import re
import socket
import struct
import sys


def read_exactly(conn, n):
    data = b""
    while len(data) < n:
        chunk = conn.recv(n - len(data))
        if not chunk:
            raise ConnectionError(f"closed after {len(data)} of {n} bytes")
        data += chunk
    return data


def handshake(conn):
    seen = {}
    greeting = read_exactly(conn, 12)
    seen["greeting"] = greeting.decode("latin-1").rstrip("\n")
    if not re.fullmatch(rb"RFB 003\.00\d\n", greeting):
        return seen
    # Answer as a 3.8 viewer and ask for no authentication.
    conn.sendall(b"RFB 003.008\n")
    count = read_exactly(conn, 1)[0]
    if count == 0:
        length = struct.unpack(">I", read_exactly(conn, 4))[0]
        seen["refused"] = read_exactly(conn, length).decode("latin-1")
        return seen
    types = list(read_exactly(conn, count))
    seen["security"] = ",".join(map(str, types))
    if 1 not in types:
        return seen
    conn.sendall(b"\x01")
    seen["security_result"] = struct.unpack(">I", read_exactly(conn, 4))[0]
    conn.sendall(b"\x01")  # ClientInit: shared
    width, height = struct.unpack(">HH", read_exactly(conn, 4))
    read_exactly(conn, 16)  # pixel format
    length = struct.unpack(">I", read_exactly(conn, 4))[0]
    seen["desktop"] = f"{width}x{height}"
    seen["name"] = read_exactly(conn, length).decode("latin-1")
    return seen


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    port_file, result, timeout = argv[1], argv[2], float(argv[3])
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as server:
        server.bind(("127.0.0.1", 0))
        server.listen(1)
        server.settimeout(timeout)
        with open(port_file + ".tmp", "w") as f:
            f.write(str(server.getsockname()[1]))
        # Renamed into place, so a reader never sees half a number.
        os.replace(port_file + ".tmp", port_file)
        try:
            conn, peer = server.accept()
        except socket.timeout:
            seen = {"error": "no connection"}
        else:
            with conn:
                conn.settimeout(timeout)
                seen = {"peer": peer[0]}
                try:
                    seen.update(handshake(conn))
                except (OSError, ConnectionError) as e:
                    seen["error"] = str(e)
    with open(result, "w") as f:
        for key, value in seen.items():
            f.write(f"{key}={value}\n")


if __name__ == "__main__":
    main(sys.argv)
