#!/usr/bin/python3
"""Runs the Windows link's test program under wine against a pseudo-terminal that wine shows as a
COM port, and plays the instrument on the other end of it.

  run-serial-link-test.py --exe Win32SerialLinkTest.exe --work-dir DIR [--dll-dir DIR]...
                          [--prefix WINEPREFIX] [-- test arguments]

The pseudo-terminal's slave is linked as $WINEPREFIX/dosdevices/comN (the first free N from 7 on);
the test learns the port from RQX_TEST_PORT. Wine's temporary folders go into the work folder.
The status is the test program's, or 1 when the instrument saw something it did not expect. Set
RQX_SERIAL_SEED to replay the instrument's pieces."""

import argparse
import os
import random
import select
import subprocess
import sys
import termios
import threading
import time

SPEEDS = {getattr(termios, "B%d" % s): s for s in (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)}
DEADLINE_S = 20


class Instrument(threading.Thread):
    """The master side of the pseudo-terminal: answers the test's commands."""

    def __init__(self, master, keeper, seed):
        super().__init__(daemon=True)
        self.master = master
        self.keeper = keeper  # the slave held open between the test's openings
        self.random = random.Random(seed)
        self.seed = seed
        self.buffer = b""
        self.problems = []
        self.expected = None
        self.stop = threading.Event()

    def read_some(self):
        while not self.stop.is_set():
            ready, _, _ = select.select([self.master], [], [], 0.1)
            if ready:
                try:
                    data = os.read(self.master, 4096)
                except OSError:
                    data = b""
                if data:
                    self.buffer += data
                    return True
        return False

    def take_line(self):
        while b"\n" not in self.buffer:
            if not self.read_some():
                return None
        line, self.buffer = self.buffer.split(b"\n", 1)
        return line.decode("ascii", "replace").strip()

    def take(self, count):
        while len(self.buffer) < count:
            if not self.read_some():
                return None
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        return data

    def send_in_pieces(self, data):
        at = 0
        while at < len(data):
            size = self.random.randint(1, 40)
            os.write(self.master, data[at:at + size])
            at += size
            time.sleep(self.random.uniform(0.001, 0.015))

    def line_settings(self):
        iflag, oflag, cflag, lflag, ispeed, ospeed, cc = termios.tcgetattr(self.keeper)
        bits = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}[cflag & termios.CSIZE]
        parity = "N" if not cflag & termios.PARENB else ("O" if cflag & termios.PARODD else "E")
        stop = 2 if cflag & termios.CSTOPB else 1
        raw = not (lflag & (termios.ICANON | termios.ECHO | termios.ISIG)) and not (oflag & termios.OPOST) \
            and not (iflag & (termios.ICRNL | termios.INLCR | termios.IGNCR | termios.IXON | termios.ISTRIP))
        text = "%s %d%s%d%s" % (SPEEDS.get(ospeed, ospeed), bits, parity, stop, " raw" if raw else " cooked")
        if cflag & termios.CRTSCTS:
            text += " crtscts"
        return text

    def run(self):
        while not self.stop.is_set():
            line = self.take_line()
            if line is None:
                return
            words = line.split()
            if not words:
                continue
            command = words[0]
            if command == "STTY":
                os.write(self.master, (self.line_settings() + "\n").encode())
            elif command == "ECHO":
                data = self.take(int(words[1]))
                if data is not None:
                    self.send_in_pieces(data)
            elif command == "SEND":
                self.send_in_pieces(bytes((i * 7 + 3) % 256 for i in range(int(words[1]))))
            elif command == "EXPECT":
                data = self.take(int(words[1]))
                self.expected = data
            elif command == "REPORT":
                data = self.expected or b""
                os.write(self.master, b"GOT %d %d\n" % (len(data), sum(data)))
            elif command == "HANGUP":
                os.close(self.master)
                os.close(self.keeper)
                return
            else:
                self.problems.append("unexpected line %r (seed %d)" % (line, self.seed))


def claim_port(prefix, slave):
    dosdevices = os.path.join(prefix, "dosdevices")
    os.makedirs(dosdevices, exist_ok=True)
    for number in range(7, 100):
        link = os.path.join(dosdevices, "com%d" % number)
        try:
            os.symlink(slave, link)
            return number, link
        except FileExistsError:
            continue
    sys.exit("no free COM port in %s" % dosdevices)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--work-dir", required=True)
    parser.add_argument("--dll-dir", action="append", default=[])
    parser.add_argument("--prefix", default=os.environ.get("WINEPREFIX"))
    parser.add_argument("arguments", nargs="*")
    options = parser.parse_args()

    work = os.path.abspath(options.work_dir)
    os.makedirs(work, exist_ok=True)
    prefix = os.path.abspath(options.prefix or os.path.join(work, "wineprefix"))
    env = dict(os.environ)
    env.update({"WINEPREFIX": prefix, "TMPDIR": work, "WINEDEBUG": env.get("WINEDEBUG", "-all"),
                "WINEDLLOVERRIDES": env.get("WINEDLLOVERRIDES", "mscoree,mshtml=")})
    if options.dll_dir:
        env["WINEPATH"] = ";".join(options.dll_dir)
    if not os.path.isdir(os.path.join(prefix, "dosdevices")):
        subprocess.run(["wineboot", "--init"], env=env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

    master, slave_fd = os.openpty()
    slave = os.ttyname(slave_fd)
    attributes = termios.tcgetattr(slave_fd)
    # The terminal starts raw, as a serial device does; the program sets the rest.
    attributes[0] = attributes[1] = attributes[3] = 0
    termios.tcsetattr(slave_fd, termios.TCSANOW, attributes)
    number, link = claim_port(prefix, slave)
    seed = int(os.environ.get("RQX_SERIAL_SEED", random.randrange(1 << 30)))
    instrument = Instrument(master, slave_fd, seed)
    instrument.start()
    env["RQX_TEST_PORT"] = "COM%d" % number
    print("COM%d is %s; instrument seed %d (RQX_SERIAL_SEED)" % (number, slave, seed), flush=True)
    # Wine's own messages (and the wine server's, which dumps its objects when the terminal it holds
    # hangs up) go to a file of their own.
    wine_log = open(os.path.join(work, "wine-stderr.txt"), "w")
    try:
        status = subprocess.run(["wine", options.exe] + options.arguments, env=env, timeout=300,
                                stderr=wine_log).returncode
    except subprocess.TimeoutExpired:
        print("the test program did not end within 300 s")
        status = 1
    finally:
        instrument.stop.set()
        instrument.join(DEADLINE_S)
        os.unlink(link)
        wine_log.close()
    if status:
        print("wine's messages: " + wine_log.name)
    for problem in instrument.problems:
        print("instrument: " + problem)
    sys.exit(status or (1 if instrument.problems else 0))


main()
