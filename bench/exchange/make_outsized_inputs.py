#!/usr/bin/env python3
"""Makes the outsized inputs that outsized_inputs reads, in the folder given (removed by the caller).

Each is what a damaged or hostile download can hold: oto.ini files of 40 and 200 MB and one 200 MB
line, project files with a 50 MB lyric line and a million pitch points, a VSQ file with a million
bend points, plug-in replies of 8 MB; and a bank as large as those in use (33,000 entries)."""
import os
import struct
import sys

out = sys.argv[1]


def write(name, data):
    path = os.path.join(out, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def oto_lines(count, start=0):
    return b"".join(("_あいう%d_C4.wav=- あ%d_C4,1523.5,180,-250,120,40\r\n" % (i, i)).encode("cp932")
                    for i in range(start, start + count))


def oto_of_size(size):
    parts, total, i = [], 0, 0
    while total < size:
        chunk = oto_lines(10000, i)
        parts.append(chunk)
        total += len(chunk)
        i += 10000
    return b"".join(parts)[:size]


write("real/oto.ini", oto_lines(33000))
write("oto40/oto.ini", oto_of_size(40 << 20))
write("oto200/oto.ini", oto_of_size(200 << 20))
write("line200/oto.ini", b"a.wav=" + b"x" * (200 << 20))

head = b"[#SETTING]\r\nTempo=120.00\r\nVoiceDir=\r\n"
write("lyric.tvx", head + b"[#0000]\r\nLength=480\r\nLyric=" + "あ".encode("cp932") * (25 << 20)
      + b"\r\nNoteNum=60\r\n[#TRACKEND]\r\n")
points = 1000000
write("pitches.tvx", head + b"[#0000]\r\nLength=%d\r\nLyric=a\r\nNoteNum=60\r\nPBType=5\r\nPiches=" % (points * 5)
      + b",".join(b"%d" % (i % 100) for i in range(points)) + b"\r\n[#TRACKEND]\r\n")
write("pbw.tvx", head + b"[#0000]\r\nLength=1920\r\nLyric=a\r\nNoteNum=60\r\nPBS=-40;0\r\nPBW="
      + b",".join(b"10" for _ in range(points)) + b"\r\nPBY=" + b",".join(b"1" for _ in range(points))
      + b"\r\n[#TRACKEND]\r\n")


def vlq(n):
    b = [n & 0x7F]
    n >>= 7
    while n:
        b.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(b))


def track(events):
    body = b"".join(events) + b"\x00\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + body


text = ("[Common]\nVersion=DSB301\n[EventList]\n0=ID#0000\n480000=EOS\n[ID#0000]\nType=Anote\nLength=480000\n"
        "Note#=60\nDynamics=64\nPMBendDepth=8\nLyricHandle=h#0000\n[h#0000]\nL0=\"a\",\"a\",0.000000,64,0,0\n"
        "[PitchBendBPList]\n").encode("cp932") + b"".join(b"%d=%d\n" % (i, i % 8000) for i in range(points))
events, n = [], 0
for at in range(0, len(text), 100):
    chunk = b"DM:%04d:" % (n % 10000) + text[at:at + 100]
    events.append(b"\x00\xff\x01" + vlq(len(chunk)) + chunk)
    n += 1
master = track([b"\x00\xff\x51\x03\x07\xa1\x20"])
write("bends.vsq", b"MThd" + struct.pack(">IHHH", 6, 1, 2, 480) + master + track(events))

reply = b""
section = b"[#INSERT]\r\nLength=480\r\nLyric=a\r\nNoteNum=60\r\n"
reply = section * ((8 << 20) // len(section))
write("reply_notes.txt", b"[#SETTING]\r\n" + reply)
write("reply_lyric.txt", b"[#SETTING]\r\n[#0000]\r\nLength=480\r\nLyric=" + b"a" * (8 << 20) + b"\r\nNoteNum=60\r\n")
