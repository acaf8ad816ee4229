# SPDX-License-Identifier: GPL-3.0-or-later
"""The listeners and the comparisons of tools/check-udp-feeds.

Each subcommand reads what a receiver this project did not write made of a
replay (udp_daemon's output, Tlf's log, the dummy radio's state) and compares
it with the stand-in's own ADIF log, contact by contact:

  check_feeds.py listen-xml PORT OUT       parse each contactinfo or RadioInfo datagram, one JSON line each
  check_feeds.py listen-raw PORT OUT       keep each datagram as a JSON string line
  check_feeds.py listen-wsjtx PORT OUT     decode each WSJT-X datagram's type and DX call, one JSON line each
  check_feeds.py udp ADIF DAEMON XML RAW WSJTX
                                           WSJT-X, contactinfo and plain ADIF against the log, and the
                                           live session: a Status and a RadioInfo before each contact
  check_feeds.py watch-radio ADIF PORT OUT after each contact logged, read the radio from rigctld
  check_feeds.py tlf-radio ADIF TLFLOG RADIO  Tlf's log and the radio readings against the log

and for tools/check-tlf-network:

  check_feeds.py cut-cabrillo LOG MINUTES OUT     the first MINUTES minutes of a Cabrillo log
  check_feeds.py tlf-network OUT ADIF0 ADIF1 TLFA TLFB  both stations' contacts in both Tlf logs, in
                                                  contest-time order (OUT: ardenix-stations' lines)
"""
import ast
import collections
import datetime
import json
import os
import re
import socket
import struct
import sys
import time
import xml.etree.ElementTree as ElementTree

# Tlf 1.4.1's bands and modes, as its log writes them.
TLF_BANDS = {"160m": "160", "80m": " 80", "60m": " 60", "40m": " 40", "30m": " 30",
             "20m": " 20", "17m": " 17", "15m": " 15", "12m": " 12", "10m": " 10"}
TLF_MODES = {"CW": "CW ", "SSB": "SSB", "RTTY": "DIG"}
# The received exchange when there is no SRX_STRING, in this order.
EXCHANGE_FIELDS = ["SRX", "PRECEDENCE", "CHECK", "CLASS", "ARRL_SECT", "NAME", "STATE", "CQZ", "ITUZ"]
# How long after a contact is logged the radio is read: the stand-in sets it
# before EnterQso, and the next contact comes 200 ms later at "5/sec".
RADIO_SETTLE_S = 0.08


def fields(record):
    """The fields of one ADIF record, by upper-case name; lengths count UTF-8 bytes."""
    found, at = {}, 0
    data = record.encode()
    while True:
        match = re.compile(rb"<([A-Za-z0-9_]+):(\d+)>").search(data, at)
        if not match:
            return found
        start = match.end()
        found[match.group(1).decode().upper()] = data[start:start + int(match.group(2))].decode()
        at = start + int(match.group(2))


def adif_records(path):
    """The record lines after <EOH>, with their fields."""
    lines = open(path, encoding="utf-8").read().split("\n")
    header_end = next(i for i, line in enumerate(lines) if "<EOH>" in line)
    records = [line for line in lines[header_end + 1:] if line]
    return records, [fields(record) for record in records]


class Problems:
    def __init__(self, script="check-udp-feeds"):
        self.script = script
        self.found = []

    def check(self, what, got, expected):
        if got != expected:
            self.found.append(f"{what}: got {got!r}, expected {expected!r}")

    def end(self, summary):
        for problem in self.found[:20]:
            print("  " + problem)
        if self.found:
            sys.exit(f"{self.script}: {len(self.found)} problem(s)")
        print("  " + summary)


def listen(port, out_path, convert):
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    sock.bind(("127.0.0.1", int(port)))
    with open(out_path, "w", encoding="utf-8") as out:
        while True:
            data, _ = sock.recvfrom(65535)
            out.write(json.dumps(convert(data)) + "\n")
            out.flush()


def contactinfo(data):
    root = ElementTree.fromstring(data)
    return {"root": root.tag, **{child.tag: child.text or "" for child in root}}


def wsjtx(data):
    """The type of a WSJT-X datagram, and the DX call of a Status (1) or QSO Logged (5)."""
    def utf8(at):
        (length,) = struct.unpack_from(">I", data, at)
        length = 0 if length == 0xFFFFFFFF else length
        return data[at + 4:at + 4 + length].decode("utf-8"), at + 4 + length
    kind = struct.unpack_from(">I", data, 8)[0]
    _, at = utf8(12)
    call = ""
    if kind == 1:
        call, _ = utf8(utf8(at + 8)[1])  # after the dial frequency and the mode
    elif kind == 5:
        call, _ = utf8(at + 13)  # after the time off
    return {"type": kind, "call": call}


def check_live_session(logged, radio_infos, contact_infos, wsjtx_path, problems):
    """Before each contact, a RadioInfo with its frequencies, and a WSJT-X Status with its call."""
    messages = [json.loads(line) for line in open(wsjtx_path, encoding="utf-8")]
    calls, selected, unannounced = [], None, 0
    for message in messages:
        if message["type"] == 1:
            selected = message["call"]
        elif message["type"] == 5:
            calls.append(message["call"])
            unannounced += selected != message["call"]
    problems.check("QSO Logged at the second WSJT-X listener", calls, [record.get("CALL", "") for record in logged])
    problems.check("QSO Logged without a Status for its call before it", unannounced, 0)
    problems.check("RadioInfo datagrams", len(radio_infos), len(contact_infos))
    for i, (radio, contact) in enumerate(zip(radio_infos, contact_infos)):
        problems.check(f"contact {i + 1} RadioInfo Freq", radio["Freq"], contact["rxfreq"])
        problems.check(f"contact {i + 1} RadioInfo TXFreq", radio["TXFreq"], contact["txfreq"])
    return sum(message["type"] == 1 for message in messages)


def check_udp(adif_path, daemon_path, xml_path, raw_path, wsjtx_path):
    records, logged = adif_records(adif_path)
    daemon = open(daemon_path, encoding="utf-8").read()
    qsos = re.findall(r'time_on: QDateTime\((\S+ \S+) UTC Qt::UTC\) time_off: QDateTime\((\S+ \S+) UTC Qt::UTC\) '
                      r'dx_call: "([^"]*)" grid: "[^"]*" freq: (\d+) mode: "([^"]*)" rpt_sent: "([^"]*)" '
                      r'rpt_rcvd: "([^"]*)"', daemon)
    # udp_daemon prints the text's bytes as Latin-1 letters (and escapes), so UTF-8 comes back from that.
    adif_texts = [ast.literal_eval(text).encode("latin-1").decode("utf-8")
                  for text in re.findall(r'^ADIF: (".*")$', daemon, re.M)]
    documents = [json.loads(line) for line in open(xml_path, encoding="utf-8")]
    xml = [document for document in documents if document["root"] == "contactinfo"]
    radio_infos = [document for document in documents if document["root"] == "RadioInfo"]
    plain = [json.loads(line) for line in open(raw_path, encoding="utf-8")]

    problems = Problems()
    statuses = check_live_session(logged, radio_infos, xml, wsjtx_path, problems)
    if "Dial frequency changed to" not in daemon:
        problems.found.append("udp_daemon decoded no Status")
    problems.check("QSO Logged messages", len(qsos), len(logged))
    problems.check("Logged ADIF messages", len(adif_texts), len(logged))
    problems.check("contactinfo datagrams", len(xml), len(logged))
    problems.check("plain ADIF datagrams", len(plain), len(logged))
    for i, record in enumerate(logged):
        if i >= min(len(qsos), len(adif_texts), len(xml), len(plain)):
            break
        time_on, time_off, call, hertz, mode, sent, received = qsos[i]
        stamp = record["QSO_DATE"] + record["TIME_ON"]
        what = f"contact {i + 1}"
        problems.check(f"{what} call", call, record.get("CALL", ""))
        problems.check(f"{what} Hz", int(hertz), round(float(record.get("FREQ", "0")) * 1e6))
        problems.check(f"{what} time on", re.sub(r"[-:]", "", time_on).replace(" ", "")[:14], stamp)
        problems.check(f"{what} time off", time_off, time_on)
        problems.check(f"{what} mode", mode, record.get("MODE", ""))
        problems.check(f"{what} report sent", sent, record.get("RST_SENT", ""))
        problems.check(f"{what} report received", received, record.get("RST_RCVD", ""))
        problems.check(f"{what} ADIF text", adif_texts[i].split("<EOH>\n", 1)[-1], records[i] + "\n")
        problems.check(f"{what} plain ADIF datagram", plain[i], adif_texts[i])
        problems.check(f"{what} XML call", xml[i]["call"], record.get("CALL", ""))
        problems.check(f"{what} XML txfreq", int(xml[i]["txfreq"]), round(float(record.get("FREQ", "0")) * 1e5))
        problems.check(f"{what} XML timestamp", re.sub(r"[-: ]", "", xml[i]["timestamp"]), stamp)
        problems.check(f"{what} XML snt", xml[i]["snt"], record.get("RST_SENT", ""))
        problems.check(f"{what} XML rcv", xml[i]["rcv"], record.get("RST_RCVD", ""))
    if "Removed WSJT-X instance: vantrel-standin" not in daemon:
        problems.found.append("udp_daemon saw no Close")
    problems.end(f"{len(logged)} contacts logged; udp_daemon decoded {len(qsos)} QSO Logged and {len(adif_texts)} "
                 f"Logged ADIF, the XML listener parsed {len(xml)} contactinfo datagrams, the ADIF listener got "
                 f"{len(plain)} datagrams: all in order and equal to the ADIF log; before each contact a "
                 f"RadioInfo with its frequencies and a Status with its call ({statuses} Status in all)")


def rigctld(port, commands):
    """Answers of rigctld to get commands, one value per line."""
    with socket.create_connection(("127.0.0.1", int(port)), timeout=5) as sock:
        sock.sendall("".join(command + "\n" for command in commands).encode())
        wanted = {"f": 1, "m": 2, "s": 2, "i": 1}
        lines, data = [], b""
        while len(lines) < sum(wanted[command] for command in commands):
            chunk = sock.recv(4096)
            if not chunk:
                break
            data += chunk
            *complete, data = data.split(b"\n")
            lines += [line.decode() for line in complete]
    values, at = {}, 0
    for command in commands:
        values[command] = lines[at:at + wanted[command]]
        at += wanted[command]
    return values


def watch_radio(adif_path, port, out_path):
    """After each contact the stand-in logs, the radio's frequency, mode, split and split frequency."""
    seen = 0
    with open(out_path, "w", encoding="utf-8") as out:
        while True:
            count = 0
            if os.path.exists(adif_path):
                count = open(adif_path, encoding="utf-8").read().count("<EOR>")
            while seen < count:
                time.sleep(RADIO_SETTLE_S)
                out.write(json.dumps(rigctld(port, ["f", "m", "s", "i"])) + "\n")
                out.flush()
                seen += 1
            time.sleep(0.01)


def printable(text):
    return "".join(c if " " <= c <= "~" else "?" for c in text)


def expected_exchange(record):
    text = record.get("SRX_STRING", "")
    if not text:
        text = " ".join(record[name].strip() for name in EXCHANGE_FIELDS if record.get(name, "").strip())
    return printable(text)[:14].rstrip()


def expected_number(record, number):
    serial = record.get("STX", "").strip()
    return f"{int(serial):04d}" if serial.isdigit() and int(serial) <= 9999 else f"{number % 10000:04d}"


def check_tlf_radio(adif_path, tlf_log_path, radio_path):
    _, logged = adif_records(adif_path)
    tlf_lines = [line for line in open(tlf_log_path, encoding="latin-1").read().split("\n") if line]
    radio = [json.loads(line) for line in open(radio_path, encoding="utf-8")]

    problems = Problems()
    kept = [(i, record) for i, record in enumerate(logged)
            if record.get("BAND", "") in TLF_BANDS and record.get("MODE", "") in TLF_MODES]
    problems.check("contacts in Tlf's log", len(tlf_lines), len(kept))
    for (i, record), line in zip(kept, tlf_lines):
        what = f"contact {i + 1} in Tlf's log"
        when = datetime.datetime.strptime(record["QSO_DATE"] + record["TIME_ON"][:4], "%Y%m%d%H%M")
        problems.check(f"{what}, length", len(line), 87)
        problems.check(f"{what}, band", line[0:3], TLF_BANDS[record["BAND"]])
        problems.check(f"{what}, mode", line[3:6], TLF_MODES[record["MODE"]])
        problems.check(f"{what}, date and time", line[7:22], when.strftime("%d-%b-%y %H:%M"))
        problems.check(f"{what}, QSO number", line[23:27], expected_number(record, i + 1))
        problems.check(f"{what}, call", line[29:43].rstrip(), printable(record.get("CALL", ""))[:14])
        problems.check(f"{what}, report sent", line[44:47].rstrip(), record.get("RST_SENT", "")[:3])
        problems.check(f"{what}, report received", line[49:52].rstrip(), record.get("RST_RCVD", "")[:3])
        problems.check(f"{what}, exchange", line[54:68].rstrip(), expected_exchange(record))
        problems.check(f"{what}, kHz", line[80:87].strip(), f"{float(record['FREQ']) * 1000:.1f}")

    problems.check("radio readings", len(radio), len(logged))
    splits = 0
    for i, (record, reading) in enumerate(zip(logged, radio)):
        what = f"the radio after contact {i + 1}"
        split = "FREQ_RX" in record
        splits += split
        tx_hertz = round(float(record.get("FREQ", "0")) * 1e6)
        problems.check(f"{what}, split", reading["s"], ["1", "VFOB"] if split else ["0", "VFOA"])
        problems.check(f"{what}, frequency", int(reading["f"][0]),
                       round(float(record["FREQ_RX"]) * 1e6) if split else tx_hertz)
        if split:
            problems.check(f"{what}, transmit frequency", int(reading["i"][0]), tx_hertz)
        if "MODE" in record:
            mode = record.get("SUBMODE", "") if record["MODE"] == "SSB" else record["MODE"]
            problems.check(f"{what}, mode", reading["m"][0], mode)
    problems.end(f"{len(logged)} contacts logged; Tlf's log holds the {len(tlf_lines)} it can (call, band, mode, "
                 f"time, number, reports, exchange and kHz as logged); after each contact the dummy radio had its "
                 f"frequency, mode and split ({splits} split)")


def cut_cabrillo(path, minutes, out_path):
    """The header, the QSO: lines of the first MINUTES minutes of contest time, and END-OF-LOG:."""
    kept, first = [], None
    for line in open(path, encoding="latin-1").read().splitlines():
        tag = line.split(":", 1)[0].strip().upper()
        if tag == "QSO":
            fields = line.split()
            when = datetime.datetime.strptime(fields[3] + fields[4], "%Y-%m-%d%H%M")
            first = first or when
            if when < first + datetime.timedelta(minutes=int(minutes)):
                kept.append(line)
        elif tag not in ("X-QSO", "END-OF-LOG") and line.strip():
            kept.append(line)
    with open(out_path, "w", encoding="latin-1") as out:
        out.write("\n".join(kept + ["END-OF-LOG:"]) + "\n")


def tlf_contact(band, mode, call, khz):
    """A contact as Tlf's log line shows it: band, mode, call and kHz."""
    return band, mode, call, khz


def check_tlf_network(stations_out, adif0_path, adif1_path, *tlf_log_paths):
    """Both Tlf logs hold every contact of both stations, and the contacts of
    different minutes stand in the order of their contest time. The stand-ins
    log with their own clock, so each contact's contest time comes from the
    line ardenix-stations printed for it, in the same order as the station's
    ADIF log."""
    printed = {"0": [], "1": []}
    for line in open(stations_out, encoding="utf-8"):
        match = re.match(r"station (\d+): \d+/\d+ (\S+ \d\d:\d\d):\d\d (\S+)", line)
        if match and match.group(1) in printed:
            printed[match.group(1)].append(datetime.datetime.strptime(match.group(2), "%Y-%m-%d %H:%M"))
    contest_times = collections.defaultdict(collections.deque)  # by contact, in the order logged
    expected = []
    problems = Problems("check-tlf-network")
    for station, path in (("0", adif0_path), ("1", adif1_path)):
        records = adif_records(path)[1]
        problems.check(f"station {station}: contact lines", len(printed[station]), len(records))
        for record, when in zip(records, printed[station]):
            if record.get("BAND", "") in TLF_BANDS and record.get("MODE", "") in TLF_MODES:
                contact = tlf_contact(TLF_BANDS[record["BAND"]], TLF_MODES[record["MODE"]],
                                      printable(record.get("CALL", ""))[:14], f"{float(record['FREQ']) * 1000:.1f}")
                expected.append(contact)
                contest_times[contact].append(when)
    for path in tlf_log_paths:
        node = os.path.basename(os.path.dirname(path))
        lines = [line for line in open(path, encoding="latin-1").read().split("\n") if line]
        logged = [tlf_contact(line[0:3], line[3:6], line[29:43].rstrip(), line[80:87].strip()) for line in lines]
        problems.check(f"{node}: contacts", len(logged), len(expected))
        for contact in sorted((collections.Counter(expected) - collections.Counter(logged)).elements())[:5]:
            problems.found.append(f"{node}: missing {contact}")
        for contact in sorted((collections.Counter(logged) - collections.Counter(expected)).elements())[:5]:
            problems.found.append(f"{node}: not logged by a station: {contact}")
        # Each line's contest time, taking the contacts alike in the order they were logged.
        queues = {contact: collections.deque(times) for contact, times in contest_times.items()}
        order = [(contact, queues[contact].popleft()) for contact in logged if queues.get(contact)]
        backwards = [(a, b) for a, b in zip(order, order[1:]) if b[1] < a[1]]
        for (a, at), (b, bt) in backwards[:5]:
            problems.found.append(f"{node}: {b[2]} of {bt:%H:%M} after {a[2]} of {at:%H:%M}")
        problems.check(f"{node}: contacts after one of a later minute", len(backwards), 0)
    minutes = len({when for times in contest_times.values() for when in times})
    problems.end(f"both Tlf logs hold all {len(expected)} contacts of the two stations ({len(printed['0'])} and "
                 f"{len(printed['1'])}) with band, mode, call and kHz as the stand-ins logged them; over "
                 f"{minutes} minutes of contest time, the contacts of different minutes stand in contest-time order")


def main(argv):
    commands = {
        "listen-xml": lambda port, out: listen(port, out, contactinfo),
        "listen-raw": lambda port, out: listen(port, out, lambda data: data.decode("utf-8")),
        "listen-wsjtx": lambda port, out: listen(port, out, wsjtx),
        "udp": check_udp,
        "watch-radio": watch_radio,
        "tlf-radio": check_tlf_radio,
        "cut-cabrillo": cut_cabrillo,
        "tlf-network": check_tlf_network,
    }
    if len(argv) < 2 or argv[1] not in commands:
        sys.exit(__doc__)
    commands[argv[1]](*argv[2:])


if __name__ == "__main__":
    main(sys.argv)
