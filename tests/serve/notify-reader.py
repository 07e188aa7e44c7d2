#!/usr/bin/env python3
"""A service manager's notify socket, for the server's readiness test.

Binds a datagram socket at PATH and prints every line sent to it; on
READY=1 it asks http://127.0.0.1:PORT/healthz at once and prints the
answer's status, so a READY=1 sent before the server answers shows. Ends
on STOPPING=1, or when nothing came for 20 s.
"""
import http.client
import socket
import sys

path, port = sys.argv[1], int(sys.argv[2])
notify = socket.socket(socket.AF_UNIX, socket.SOCK_DGRAM)
notify.bind(path)
notify.settimeout(20)
print("bound", flush=True)
while True:
    try:
        message = notify.recv(4096).decode()
    except socket.timeout:
        sys.exit(1)
    for line in message.splitlines():
        print(line, flush=True)
        if line == "READY=1":
            try:
                asked = http.client.HTTPConnection("127.0.0.1", port, timeout=2)
                asked.request("GET", "/healthz")
                print("healthz", asked.getresponse().status, flush=True)
            except OSError as error:
                print("healthz", type(error).__name__, flush=True)
        if line == "STOPPING=1":
            sys.exit(0)
