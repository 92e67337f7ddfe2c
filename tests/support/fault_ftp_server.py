#!/usr/bin/env python3
"""A small scriptable FTP server on 127.0.0.1 that serves one file and misbehaves on request.

Prints "PORT <n>" once it listens; stops when its standard input closes or after --lifetime
seconds. Faults (--fault):
  none         serve the file normally
  missing      SIZE, MDTM and RETR answer 550
  cut          the data connection closes after --cut bytes, then 426
  refuse-retr  RETR answers 550 (SIZE and MDTM work)
  no-greeting  accept the connection and close it without a word
  silent       greet, then never answer
  silent-size  answer everything but SIZE, which is never answered
  no-size      SIZE is not implemented (502); MDTM and RETR work
  size-550     SIZE answers 550 although the file exists; MDTM and RETR work
  slow         send the file at --rate bytes per second
Every wait is bounded by --lifetime.
"""
import argparse
import os
import socket
import sys
import threading
import time


def serve_session(conn, args, data):
    f = conn.makefile("rwb", buffering=0)

    def reply(line):
        f.write((line + "\r\n").encode())

    if args.fault == "no-greeting":
        conn.close()
        return
    reply("220 fault server ready")
    pasv = None
    while time.monotonic() < args.deadline:
        try:
            raw = f.readline()
        except OSError:
            return
        if not raw:
            return
        if args.fault == "silent":
            continue
        parts = raw.decode("latin-1").strip().split(" ", 1)
        cmd, arg = parts[0].upper(), (parts[1] if len(parts) > 1 else "")
        if cmd == "USER":
            reply("331 any password")
        elif cmd == "PASS":
            reply("230 logged in")
        elif cmd == "PWD":
            reply('257 "/" is the current directory')
        elif cmd == "CWD":
            reply("250 ok")
        elif cmd == "TYPE":
            reply("200 type set")
        elif cmd in ("EPSV", "PASV"):
            pasv = socket.socket()
            pasv.bind(("127.0.0.1", 0))
            pasv.listen(1)
            pasv.settimeout(10)
            port = pasv.getsockname()[1]
            if cmd == "EPSV":
                reply("229 Entering extended passive mode (|||%d|)" % port)
            else:
                reply("227 Entering passive mode (127,0,0,1,%d,%d)" % (port >> 8, port & 255))
        elif cmd == "SIZE":
            if args.fault == "silent-size":
                continue
            if args.fault == "no-size":
                reply("502 command not implemented")
            elif args.fault in ("missing", "size-550"):
                reply("550 no such file")
            else:
                reply("213 %d" % len(data))
        elif cmd == "MDTM":
            if args.fault == "missing":
                reply("550 no such file")
            else:
                reply("213 " + time.strftime("%Y%m%d%H%M%S", time.gmtime(args.mtime)))
        elif cmd == "REST":
            reply("350 restarting at %s" % arg)
        elif cmd == "RETR":
            if args.fault in ("missing", "refuse-retr") or pasv is None:
                reply("550 cannot open file")
                continue
            reply("150 opening binary data connection")
            try:
                dconn, _ = pasv.accept()
            except OSError:
                reply("425 no data connection")
                continue
            payload = data[: args.cut] if args.fault == "cut" else data
            step = max(1, args.rate // 10) if args.fault == "slow" else 4096
            try:
                for i in range(0, len(payload), step):
                    if time.monotonic() >= args.deadline:
                        break
                    dconn.sendall(payload[i:i + step])
                    if args.fault == "slow":
                        time.sleep(step / args.rate)
            except OSError:
                pass
            dconn.close()
            pasv.close()
            pasv = None
            reply("426 connection closed; transfer aborted" if args.fault == "cut" else "226 done")
        elif cmd == "QUIT":
            reply("221 bye")
            return
        else:
            reply("502 not implemented")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("file")
    ap.add_argument("--fault", default="none")
    ap.add_argument("--mtime", type=int, default=int(time.time()))
    ap.add_argument("--cut", type=int, default=100)
    ap.add_argument("--rate", type=int, default=2)
    ap.add_argument("--lifetime", type=float, default=30.0)
    args = ap.parse_args()
    args.deadline = time.monotonic() + args.lifetime
    with open(args.file, "rb") as fh:
        data = fh.read()
    srv = socket.socket()
    srv.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    srv.bind(("127.0.0.1", 0))
    srv.listen(4)
    srv.settimeout(0.1)
    print("PORT %d" % srv.getsockname()[1], flush=True)
    stop = threading.Event()
    threading.Thread(target=lambda: (sys.stdin.read(), stop.set()), daemon=True).start()
    deadline = time.monotonic() + args.lifetime
    while not stop.is_set() and time.monotonic() < deadline:
        try:
            conn, _ = srv.accept()
        except socket.timeout:
            continue
        conn.settimeout(args.lifetime)
        threading.Thread(target=serve_session, args=(conn, args, data), daemon=True).start()
    srv.close()


if __name__ == "__main__":
    main()
