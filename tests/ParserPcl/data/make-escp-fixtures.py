#!/usr/bin/env python3
"""Writes the hand-made ESC/P 2 and ESC/Page fixtures (see make-fixtures.sh).

Every stretch of data the parser must skip (remote-mode commands, raw and
run-length encoded raster blocks) holds form feeds and escapes, so a parser
that read them as commands would count pages that are not there.
"""

ESC = b"\x1b"
FF = b"\x0c"
CR = b"\r"


def le16(value):
    return bytes([value & 0xFF, value >> 8])


def paren(letter, parameters):
    """ESC ( letter nL nH parameters."""
    return ESC + b"(" + letter + le16(len(parameters)) + parameters


def remote(commands):
    """Remote mode: ESC ( R with REMOTE1, the commands, then ESC 00 00 00."""
    return paren(b"R", b"\x00REMOTE1") + commands + ESC + b"\x00\x00\x00"


def raster(color, compression, bytes_per_line, lines, data):
    """ESC i with a colour, a compression mode and its data."""
    return ESC + b"i" + bytes([color, compression, 1]) + le16(bytes_per_line) + le16(lines) + data


def escp2_job():
    job = ESC + b"@" + ESC + b"@"
    # Remote-mode settings; the time stamp holds form feeds and an escape.
    job += remote(b"PP\x03\x00\x00\x01\xff" + b"TI\x08\x00\x00\x07\xe6\x0c\x0c\x0c\x1b\x01" + b"JS\x04\x00\x00\x00\x00\x00")
    job += paren(b"G", b"\x01") + paren(b"U", b"\x0a") + paren(b"C", b"\x00\x10")
    # Page 1, a few dots of colour (less than the minimal colour area, so
    # mono): colour mode on, a run-length encoded magenta block
    # (a run of eight form feeds, then a literal of eight bytes) ended by a
    # carriage return, and a raw yellow block.
    job += paren(b"K", b"\x00\x02")
    job += raster(1, 1, 8, 2, b"\xf9\x0c" + b"\x07" + b"\x1b\x0c\x1b\x0c\x1bE\x0c\x0c") + CR
    job += raster(4, 0, 4, 3, b"\x0c\x1b\x0c\x1b" * 3) + CR
    job += FF
    # Page 2, mono: colour mode off, black only, a raw block.
    job += paren(b"K", b"\x00\x01") + ESC + b"r\x00"
    job += raster(0, 0, 4, 2, b"\x0c\x0c\x1b\x0c" * 2) + CR
    job += FF
    # Page 3, mono: a run-length encoded black block with no carriage return
    # after it, then a paper-feed setting and a horizontal position.
    job += raster(0, 1, 2, 2, b"\xfd\x0c")
    job += paren(b"e", b"\x00\x10") + ESC + b"$\x10\x00"
    job += FF
    # End of job: reset and the job-end remote command.
    job += ESC + b"@" + remote(b"LD\x00\x00" + b"JE\x01\x00\x00")
    return job


def escpage_job():
    job = b"\x00\x00\x00" + ESC + b"\x01@EJL 1284.4\n@EJL     \n"
    job += b'@EJL SJ ID="1" USER="test"\n@EJL SE LA=ESC/PAGE\n@EJL SET RS=FN PS=A4\n@EJL EN LA=ESC/PAGE\n'
    page = b"\x1d1tsE\x1d0;0;0;0;0;0psE\x1d14isE\x1d2iaF\x1d600;600;1;0rab\x1d0pmE"
    job += b"\x1drhE" + page + b"\x1d1;1dmG Mono page one" + FF
    job += page + b"\x1d1;1dmG Mono page two" + FF
    job += b"\x1drpE" + ESC + b"\x01@EJL \n@EJL EJ\n" + ESC + b"\x01@EJL \n"
    return job


with open("escp2-three-pages.prn", "wb") as out:
    out.write(escp2_job())
with open("escpage-two-pages.prn", "wb") as out:
    out.write(escpage_job())
