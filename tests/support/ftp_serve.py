#!/usr/bin/env python3
"""Anonymous read-only FTP server on 127.0.0.1 for the live-update tests.

Prints "PORT <n>" once it listens, then serves DIR until its standard input closes or
--lifetime seconds have passed, whichever comes first. Uses the Debian FTP server library."""
import argparse
import sys
import threading
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("root")
    ap.add_argument("--lifetime", type=float, default=30.0)
    args = ap.parse_args()
    auth = DummyAuthorizer()
    auth.add_anonymous(args.root)
    handler = FTPHandler
    handler.authorizer = auth
    handler.passive_ports = None
    handler.use_gmt_times = True
    import logging
    logging.basicConfig(level=logging.CRITICAL)
    server = FTPServer(("127.0.0.1", 0), handler)
    print("PORT %d" % server.socket.getsockname()[1], flush=True)
    stop = threading.Event()

    def watch_stdin():
        sys.stdin.read()
        stop.set()

    threading.Thread(target=watch_stdin, daemon=True).start()
    deadline = time.monotonic() + args.lifetime
    while not stop.is_set() and time.monotonic() < deadline:
        server.serve_forever(timeout=0.1, blocking=False)
    server.close_all()


if __name__ == "__main__":
    main()
