#!/usr/bin/env python3
"""A typical AT client's session with a cellular module, as a terminal user or a
plain client library would run it: identify the module, check the SIM, the
registration and the packet attachment, read and set the clock, write, read,
find and delete a phonebook entry, send a message in PDU mode to the module's
own number, list, read and delete it, dial, hang up, and switch the radio off
and on.

    session.py --ulvsim build/ulvsim --family gsm|umts   starts ulvsim and talks to it
    session.py --port /dev/ttyUSB2                        talks to a module already there

Exits 0 when every reply is one a client accepts, 1 with the transcript's tail
otherwise, 2 on bad arguments. Standard library only.
"""

import argparse
import datetime
import os
import re
import select
import subprocess
import sys
import termios
import time
import tty

REPLY_TIMEOUT = 15.0  # seconds; generous, the machine may be busy
FINAL = re.compile(rb"^(OK|ERROR|NO CARRIER|BUSY|NO ANSWER|NO DIALTONE|\+CM[ES] ERROR: .*)$")


# Unsolicited results that never answer a command (+CREG: does, to AT+CREG?).
UNSOLICITED = ("+CMTI:", "+CDS:", "+CMT:", "RING", "+CLIP:")


class SessionError(Exception):
    pass


class Port:
    """A raw terminal end read with select(): every wait wakes on data."""

    def __init__(self, path):
        self.fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
        tty.setraw(self.fd, termios.TCSANOW)
        self.buffer = b""
        self.transcript = []

    def close(self):
        os.close(self.fd)

    def write(self, data):
        self.transcript.append(b">> " + data)
        while data:
            _, ready, _ = select.select([], [self.fd], [], REPLY_TIMEOUT)
            if not ready:
                raise SessionError("the port takes no more bytes")
            data = data[os.write(self.fd, data):]

    def _fill(self, deadline):
        left = deadline - time.monotonic()
        if left <= 0:
            return False
        ready, _, _ = select.select([self.fd], [], [], left)
        if not ready:
            return False
        try:
            chunk = os.read(self.fd, 4096)
        except BlockingIOError:
            return True
        if not chunk:
            raise SessionError("the line dropped")
        self.transcript.append(b"<< " + chunk)
        self.buffer += chunk
        return True

    def next_line(self, deadline):
        """The next non-empty line without its line end; None at the deadline."""
        while True:
            stripped = self.buffer.lstrip(b"\r\n")
            end = re.search(rb"\r\n|\r|\n", stripped)
            if end:
                self.buffer = stripped[end.end():]
                return stripped[:end.start()]
            self.buffer = stripped
            if not self._fill(deadline):
                return None

    def wait_prompt(self, deadline):
        while True:
            at = self.buffer.find(b"> ")
            if at >= 0:
                self.buffer = self.buffer[at + 2:]
                return
            if not self._fill(deadline):
                raise SessionError("no '> ' prompt")


class Client:
    def __init__(self, port):
        self.port = port
        self.urcs = []  # unsolicited lines seen while waiting for answers

    def command(self, text, accept=(b"OK",)):
        """Sends text; returns (information lines, final result). The final
        result must start with one of accept."""
        self.port.write(text.encode("latin-1") + b"\r")
        return self.collect(text, accept)

    def collect(self, text, accept=(b"OK",)):
        deadline = time.monotonic() + REPLY_TIMEOUT
        lines = []
        while True:
            line = self.port.next_line(deadline)
            if line is None:
                raise SessionError("%s: no final result code" % text)
            if FINAL.match(line):
                if not any(line.startswith(a) for a in accept):
                    raise SessionError("%s: %s" % (text, line.decode("latin-1")))
                return [l.decode("latin-1") for l in lines], line.decode("latin-1")
            decoded = line.decode("latin-1")
            if decoded.strip() == text:
                continue  # an echo left on
            if decoded.startswith(UNSOLICITED):
                # Arrived while an answer was awaited: kept for unsolicited().
                self.urcs.append(decoded)
                if decoded.startswith(("+CDS:", "+CMT:")):
                    pdu = self.port.next_line(deadline)
                    self.urcs.append((pdu or b"").decode("latin-1"))
                continue
            lines.append(line)

    def ok(self, text):
        return self.command(text)[0]

    def query(self, text, prefix):
        """The value after 'prefix: ' in the answer to text."""
        for line in self.ok(text):
            if line.startswith(prefix + ":"):
                return line[len(prefix) + 1:].strip()
        raise SessionError("%s: no %s line" % (text, prefix))

    def unsolicited(self, prefix, lines=1):
        """Waits for an unsolicited result starting with prefix (and the lines
        that belong to it)."""
        deadline = time.monotonic() + REPLY_TIMEOUT
        while True:
            for i, line in enumerate(self.urcs):
                if line.startswith(prefix):
                    got = self.urcs[i:i + lines]
                    if len(got) == lines:
                        del self.urcs[i:i + lines]
                        return got
            line = self.port.next_line(deadline)
            if line is None:
                raise SessionError("no unsolicited %s" % prefix)
            self.urcs.append(line.decode("latin-1"))


# --- PDUs (3GPP TS 23.040) for the GSM default alphabet's ASCII subset -------

def semi_octets(digits):
    if len(digits) % 2:
        digits += "F"
    return "".join(digits[i + 1] + digits[i] for i in range(0, len(digits), 2))


def from_semi_octets(hexdigits):
    out = "".join(hexdigits[i + 1] + hexdigits[i] for i in range(0, len(hexdigits), 2))
    return out.rstrip("Ff")


def pack_septets(text):
    bits = 0
    count = 0
    out = bytearray()
    for ch in text:
        bits |= (ord(ch) & 0x7F) << count
        count += 7
        while count >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        out.append(bits & 0xFF)
    return out


def unpack_septets(data, count):
    value = int.from_bytes(data, "little")
    return "".join(chr((value >> (7 * i)) & 0x7F) for i in range(count))


def address_field(number):
    digits = number.lstrip("+")
    kind = "91" if number.startswith("+") else "81"
    return "%02X%s%s" % (len(digits), kind, semi_octets(digits))


def submit_pdu(number, text, report):
    """SMS-SUBMIT with the default service centre and a relative validity; the
    first octet asks for a status report when report is set."""
    first = 0x11 | (0x20 if report else 0)
    ud = pack_septets(text)
    tpdu = "%02X00%s0000AA%02X%s" % (first, address_field(number), len(text), ud.hex().upper())
    return "00" + tpdu, len(tpdu) // 2


class Reader:
    def __init__(self, hexdigits):
        self.hex = hexdigits
        self.pos = 0

    def octet(self):
        value = int(self.hex[self.pos:self.pos + 2], 16)
        self.pos += 2
        return value

    def take(self, chars):
        part = self.hex[self.pos:self.pos + chars]
        if len(part) != chars:
            raise SessionError("PDU ends early: " + self.hex)
        self.pos += chars
        return part

    def skip_sca(self):
        self.take(self.octet() * 2)

    def address(self):
        digits = self.octet()
        kind = self.octet()
        number = from_semi_octets(self.take((digits + 1) // 2 * 2))
        return ("+" if kind == 0x91 else "") + number


def decode_deliver(pdu):
    r = Reader(pdu)
    r.skip_sca()
    if r.octet() & 0x03 != 0x00:
        raise SessionError("not an SMS-DELIVER: " + pdu)
    sender = r.address()
    r.octet()  # protocol identifier
    if r.octet() != 0x00:
        raise SessionError("not the default alphabet: " + pdu)
    r.take(14)  # service centre time stamp
    length = r.octet()
    return sender, unpack_septets(bytes.fromhex(r.hex[r.pos:]), length)


def decode_status_report(pdu):
    r = Reader(pdu)
    r.skip_sca()
    if r.octet() & 0x03 != 0x02:
        raise SessionError("not an SMS-STATUS-REPORT: " + pdu)
    reference = r.octet()
    recipient = r.address()
    r.take(28)  # time stamps
    return reference, recipient, r.octet()


# --- the session -------------------------------------------------------------

def expect(condition, what):
    if not condition:
        raise SessionError(what)


CLOCK = re.compile(r'"(\d\d/\d\d/\d\d,\d\d:\d\d:\d\d)([+-]\d\d)?"')


def module_time(client):
    """The module's clock as a datetime, and its zone text ("" when it gives none)."""
    text = client.query("AT+CCLK?", "+CCLK")
    m = CLOCK.fullmatch(text)
    expect(m, "clock: %s" % text)
    return datetime.datetime.strptime(m.group(1), "%y/%m/%d,%H:%M:%S"), m.group(2) or ""


def check_attachment_clock_and_phonebook(client, log):
    # Network information: the packet service is attached.
    expect(client.query("AT+CGATT=?", "+CGATT") == "(0,1)", "attachment states")
    expect(client.query("AT+CGATT?", "+CGATT") == "1", "not attached to the packet service")

    # The clock: set it to what it says (a real module keeps its time) and
    # read it back running from there.
    now, zone = module_time(client)
    client.ok('AT+CCLK="%s%s"' % (now.strftime("%y/%m/%d,%H:%M:%S"), zone))
    again, zone_again = module_time(client)
    expect(zone_again == zone and now <= again < now + datetime.timedelta(seconds=REPLY_TIMEOUT),
           "clock set to %s%s reads %s%s" % (now, zone, again, zone_again))

    # The SIM phonebook: write to a free place, read, find and delete it.
    client.ok('AT+CPBS="SM"')
    counts = re.fullmatch(r'"SM",(\d+),(\d+)', client.query("AT+CPBS?", "+CPBS"))
    expect(counts, "phonebook counts")
    used = int(counts.group(1))
    limits = re.match(r"\((\d+)-(\d+)\),(\d+),(\d+)", client.query("AT+CPBR=?", "+CPBR"))
    expect(limits, "phonebook limits")
    first, last = int(limits.group(1)), int(limits.group(2))
    taken = set()
    for line in client.ok("AT+CPBR=%d,%d" % (first, last)):
        m = re.match(r"\+CPBR: (\d+),", line)
        expect(m, "phonebook entry: %s" % line)
        taken.add(int(m.group(1)))
    expect(len(taken) == used, "%d entries listed, %d counted" % (len(taken), used))
    free = next((i for i in range(first, last + 1) if i not in taken), None)
    expect(free is not None, "the phonebook is full")
    entry = '%d,"10086",129,"Ulv test"' % free
    client.ok("AT+CPBW=" + entry)
    expect(client.ok("AT+CPBR=%d" % free) == ["+CPBR: " + entry], "phonebook entry read back")
    expect("+CPBF: " + entry in client.ok('AT+CPBF="ulv t"'), "phonebook entry not found")
    expect(client.query("AT+CPBS?", "+CPBS") == '"SM",%d,%s' % (used + 1, counts.group(2)), "count after write")
    client.ok("AT+CPBW=%d" % free)
    expect(client.ok("AT+CPBR=%d" % free) == [], "phonebook entry left after delete")
    found, _ = client.command('AT+CPBF="Ulv test"', accept=(b"OK", b"+CME ERROR: 22"))
    expect("+CPBF: " + entry not in found, "phonebook entry found after delete")
    log("attached; clock %s%s; phonebook place %d written, read, found and emptied" % (again, zone, free))


def run_session(client, log):
    # Synchronise, echo off, numeric extended errors.
    client.ok("AT")
    client.ok("ATE0")
    client.ok("AT+CMEE=1")

    # Identify.
    info = client.ok("ATI")
    maker = client.ok("AT+CGMI")
    model = client.ok("AT+CGMM")
    revision = client.ok("AT+CGMR")
    imei = client.ok("AT+CGSN")
    expect(maker and model and revision, "identification without text")
    expect(len(imei) == 1 and re.fullmatch(r"\d{15}", imei[0]), "IMEI: %r" % imei)
    log("module: %s %s %s, IMEI %s (%s)" % (maker[0], model[0], revision[0], imei[0], " / ".join(info)))
    expect(client.query("AT+CFUN?", "+CFUN") == "1", "the module is not fully functional")
    client.ok("AT+CHUP=?")
    client.ok("AT+CFUN=1")

    # SIM and subscriber.
    expect(client.query("AT+CPIN?", "+CPIN") == "READY", "SIM not ready")
    imsi = client.ok("AT+CIMI")
    expect(len(imsi) == 1 and re.fullmatch(r"\d{6,15}", imsi[0]), "IMSI: %r" % imsi)
    own = re.fullmatch(r'[^,]*,"(\+?\d+)",(\d+)', client.query("AT+CNUM", "+CNUM"))
    expect(own, "own number not given")
    own_number = own.group(1)

    # Signal and registration.
    rssi, ber = (int(v) for v in client.query("AT+CSQ", "+CSQ").split(","))
    expect(0 <= rssi <= 31, "no usable signal: %d" % rssi)
    client.ok("AT+CREG=2")
    creg = client.query("AT+CREG?", "+CREG").split(",")
    expect(creg[0] == "2" and creg[1] in ("1", "5"), "not registered: %s" % creg)
    expect(len(creg) >= 4 and re.fullmatch(r'"[0-9A-F]{4}"', creg[2]), "no location area: %s" % creg)
    cgreg = client.query("AT+CGREG?", "+CGREG").split(",")
    expect(cgreg[1] in ("1", "5"), "not attached: %s" % cgreg)
    client.ok("AT+COPS=3,2")
    cops = client.query("AT+COPS?", "+COPS").split(",")
    expect(len(cops) >= 3 and re.fullmatch(r'"\d{5,6}"', cops[2]), "operator: %s" % cops)
    client.ok("AT+COPS=3,0")
    log("registered: stat %s, cell %s/%s, operator %s, rssi %d" % (creg[1], creg[2], creg[3], cops[2], rssi))
    check_attachment_clock_and_phonebook(client, log)

    # Messages in PDU mode: send one to the own number with a status report.
    client.ok("AT+CMGF=0")
    client.ok('AT+CSCS="GSM"')
    storage = client.query('AT+CPMS="SM","SM","SM"', "+CPMS").split(",")
    expect(len(storage) == 6, "storage counts: %s" % storage)
    indexes = re.match(r"\((\d+)-(\d+)\)", client.query("AT+CMGD=?", "+CMGD"))
    expect(indexes, "no index range")
    client.ok("AT+CMGD=%s,4" % indexes.group(1))
    client.ok("AT+CNMI=2,1,0,1,0")
    text = "Hello from a plain AT client"
    pdu, length = submit_pdu(own_number, text, report=True)
    client.port.write(b"AT+CMGS=%d\r" % length)
    client.port.wait_prompt(time.monotonic() + REPLY_TIMEOUT)
    client.port.write(pdu.encode() + b"\x1a")
    sent, _ = client.collect("AT+CMGS")
    reference = int(re.fullmatch(r"\+CMGS: (\d+)", sent[-1]).group(1))
    index = int(re.fullmatch(r'\+CMTI: "SM",(\d+)', client.unsolicited("+CMTI:")[0]).group(1))
    cds = client.unsolicited("+CDS:", lines=2)
    report = decode_status_report(cds[1])
    expect(int(cds[0].split(":")[1]) == len(cds[1]) // 2 - int(cds[1][:2], 16) - 1, "status report length")
    expect(report[0] == reference and report[2] == 0, "status report: %s for reference %d" % (report, reference))
    log("sent reference %d, delivered (report), arrived at index %d" % (reference, index))

    # List, read, delete.
    listed = client.ok("AT+CMGL=4")
    entries = {}
    for header, body in zip(listed[0::2], listed[1::2]):
        m = re.fullmatch(r"\+CMGL: (\d+),(\d),[^,]*,(\d+)", header)
        expect(m, "list entry: %s" % header)
        entries[int(m.group(1))] = (int(m.group(2)), body)
    expect(index in entries and entries[index][0] == 0, "the new message is not listed unread: %s" % listed)
    expect(decode_deliver(entries[index][1]) == (own_number, text), "listed message differs")
    read = client.ok("AT+CMGR=%d" % index)
    expect(len(read) == 2 and re.fullmatch(r"\+CMGR: 1,[^,]*,\d+", read[0]), "read: %s" % read)
    expect(decode_deliver(read[1]) == (own_number, text), "read message differs")
    client.ok("AT+CMGD=%d" % index)
    expect(client.ok("AT+CMGR=%d" % index) == [], "deleted message still there")
    expect(client.ok("AT+CMGL=4") == [], "store not empty after delete")

    # Calls: dial, watch it go active, hang up; dial again, end with +CHUP.
    client.ok("AT+CLIP=1")
    client.ok("ATD10086;")
    stat = None
    for _ in range(10):
        calls = client.ok("AT+CLCC")
        expect(len(calls) == 1, "calls: %s" % calls)
        m = re.fullmatch(r'\+CLCC: 1,0,(\d),0,0,"10086",129', calls[0])
        expect(m, "call entry: %s" % calls[0])
        stat = m.group(1)
        if stat == "0":
            break
        expect(stat in ("2", "3"), "call state %s" % stat)
    expect(stat == "0", "the call never became active")
    client.ok("ATH")
    expect(client.ok("AT+CLCC") == [], "call left after ATH")
    client.ok("ATD10086;")
    client.ok("AT+CHUP")
    expect(client.ok("AT+CLCC") == [], "call left after AT+CHUP")
    log("call to 10086 dialled, active, hung up")

    # Radio off and on: registration goes and comes back.
    client.ok("AT+CFUN=4")
    client.unsolicited("+CREG: 0")
    expect(client.query("AT+CREG?", "+CREG").startswith("2,0"), "still registered with the radio off")
    client.command("ATD10086;", accept=(b"NO CARRIER", b"+CME ERROR"))
    client.ok("AT+CFUN=1")
    back = client.unsolicited("+CREG: ")[0]
    expect(re.match(r"\+CREG: [15],", back), "not registered again: %s" % back)
    log("radio off and on again")


def start_ulvsim(path, family):
    proc = subprocess.Popen([path, "--family", family], stdout=subprocess.PIPE)
    ready, _, _ = select.select([proc.stdout], [], [], REPLY_TIMEOUT)
    line = proc.stdout.readline().decode().strip() if ready else ""
    if not line:
        proc.kill()
        raise SessionError("ulvsim printed no terminal path")
    return proc, line


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--ulvsim", help="the ulvsim program to start")
    where.add_argument("--port", help="a terminal with a module already on it")
    parser.add_argument("--family", choices=("gsm", "umts"), default="gsm")
    parser.add_argument("--quiet", action="store_true")
    args = parser.parse_args()

    def log(text):
        if not args.quiet:
            print(text, flush=True)

    proc = None
    port = None
    try:
        if args.ulvsim:
            proc, path = start_ulvsim(args.ulvsim, args.family)
            log("ulvsim on " + path)
        else:
            path = args.port
        port = Port(path)
        run_session(Client(port), log)
        log("session passed")
        status = 0
    except (SessionError, OSError) as e:
        print("session failed: %s" % e, file=sys.stderr)
        if port:
            for entry in port.transcript[-12:]:
                print("  " + repr(entry)[2:-1], file=sys.stderr)
        status = 1
    finally:
        if port:
            port.close()
        if proc:
            proc.terminate()
            if proc.wait(timeout=REPLY_TIMEOUT) != 0 and status == 0:
                print("ulvsim did not end cleanly", file=sys.stderr)
                status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
