#!/usr/bin/env python3
"""Makes tune.mid, the short tune the About window plays when its badge is pressed.

Python 3 standard library only; run `python3 make_about_tune.py` in this folder to remake the file.
The tune is an original sixteen-bar melody in C major over a I-vi-IV-V progression, with piano chords,
bass, a harp arpeggio, a string pad in the second half and a light drum part, slowing down in the last bar.

The file's shape is fixed by the window's layout: a standard MIDI file, format 1, 17 tracks (a conductor
track and one track for each of the 16 channels; the channels the tune does not use hold only their name,
a program change and the end of the track), 120 ticks per quarter note, exactly 3952 bytes. The conductor
track's text event, which describes the tune, is padded with spaces to reach that size.
"""

import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

FILE_BYTES = 3952
DIVISION = 120  # ticks per quarter note
EIGHTH = DIVISION // 2
BAR = 4 * DIVISION
TEMPO_BPM = 104
FINAL_BAR_BPM = 84  # the last bar slows down

NOTE_NUMBERS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def note(name):
    """'C5' -> 72 (MIDI numbers with C4 = 60); a trailing '#' is not used by this tune."""
    return 12 * (int(name[1:]) + 1) + NOTE_NUMBERS[name[0]]


# The melody: one string per bar, each item pitch:length in eighths; 'r' is a rest.
MELODY = [
    "E5:2 G5:1 E5:1 D5:2 C5:2", "A4:2 C5:1 E5:1 A5:3 G5:1", "F5:2 A5:1 F5:1 E5:2 D5:2",
    "D5:1 E5:1 G5:2 B4:2 D5:2", "E5:2 G5:1 C6:1 B5:2 G5:2", "A5:2 E5:1 C5:1 E5:2 A5:2",
    "F5:1 E5:1 D5:2 G5:1 F5:1 D5:1 B4:1", "C5:6 r:2",
    "A5:2 C6:1 A5:1 G5:2 F5:2", "E5:2 G5:1 E5:1 C5:2 E5:2", "D5:1 F5:1 A5:2 F5:2 D5:2",
    "G5:3 F5:1 E5:2 D5:2", "E5:2 G5:1 C6:1 D6:2 C6:2", "A5:1 B5:1 C6:2 G5:2 E5:2",
    "F5:2 A5:2 G5:2 B4:2", "C5:8",
]
# One or two chords per bar (root position triads, given by their notes in the fourth octave).
CHORDS = [
    ["C4 E4 G4"], ["A3 C4 E4"], ["F3 A3 C4"], ["G3 B3 D4"],
    ["C4 E4 G4"], ["A3 C4 E4"], ["D4 F4 A4", "G3 B3 D4"], ["C4 E4 G4"],
    ["F3 A3 C4"], ["C4 E4 G4"], ["D4 F4 A4"], ["G3 B3 D4"],
    ["C4 E4 G4"], ["A3 C4 E4"], ["F3 A3 C4", "G3 B3 D4"], ["C4 E4 G4"],
]

# Channel: (track name, General MIDI program). Channel 10 (index 9) is the drum channel.
CHANNELS = [
    ("Melody (flute)", 73), ("Chords (piano)", 0), ("Bass", 32), ("Arpeggio (harp)", 46),
    ("Pad (strings)", 48), ("Unused 6", 0), ("Unused 7", 0), ("Unused 8", 0), ("Unused 9", 0),
    ("Drums", 0), ("Unused 11", 0), ("Unused 12", 0), ("Unused 13", 0), ("Unused 14", 0),
    ("Unused 15", 0), ("Unused 16", 0),
]
KICK, SIDE_STICK, CLOSED_HAT = 36, 37, 42


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


def meta(kind, data):
    return b"\xff" + bytes([kind]) + varlen(len(data)) + data


def track_chunk(events, end_tick):
    """events: (tick, order, bytes) with order 0 for note-offs, so they come before note-ons at a tick.
    Note-offs are written as note-ons of velocity 0, which lets running status drop the status bytes."""
    body = bytearray()
    now = 0
    running = None
    for tick, _, data in sorted(events, key=lambda e: (e[0], e[1])):
        body += varlen(tick - now)
        now = tick
        if data[0] < 0xF0 and data[0] == running:
            body += data[1:]
        else:
            body += data
            running = data[0] if data[0] < 0xF0 else None
    body += varlen(end_tick - now) + b"\xff\x2f\x00"
    return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def notes_on(channel, events, tick, pitch, length, velocity):
    events.append((tick, 1, bytes([0x90 | channel, pitch, velocity])))
    events.append((tick + length, 0, bytes([0x90 | channel, pitch, 0])))


def channel_header(channel):
    name, program = CHANNELS[channel]
    return [(0, -2, meta(0x03, name.encode("ascii"))), (0, -1, bytes([0xC0 | channel, program]))]


def melody_track():
    events = channel_header(0)
    tick = 0
    for bar_index, bar in enumerate(MELODY):
        for item in bar.split():
            pitch, length = item.split(":")
            length = int(length) * EIGHTH
            if pitch != "r":
                accent = 96 if tick % BAR == 0 else 84
                # Slightly detached, so repeated notes are heard.
                notes_on(0, events, tick, note(pitch), length - 6, accent + (4 if bar_index >= 8 else 0))
            tick += length
    return events


def chord_track():
    events = channel_header(1)
    for bar_index, chords in enumerate(CHORDS):
        start = bar_index * BAR
        if len(chords) == 1:
            hits = [(start, chords[0], 2 * DIVISION), (start + 2 * DIVISION, chords[0], 2 * DIVISION)]
        else:
            hits = [(start, chords[0], 2 * DIVISION), (start + 2 * DIVISION, chords[1], 2 * DIVISION)]
        if bar_index == len(CHORDS) - 1:
            hits = [(start, chords[0], BAR)]
        for tick, chord, length in hits:
            for pitch in chord.split():
                notes_on(1, events, tick, note(pitch), length, 58)
    return events


def bass_track():
    events = channel_header(2)
    for bar_index, chords in enumerate(CHORDS):
        start = bar_index * BAR
        if bar_index == len(CHORDS) - 1:
            notes_on(2, events, start, note(chords[0].split()[0]) - 12, BAR, 80)
            continue
        for beat in range(4):
            chord = chords[0] if len(chords) == 1 or beat < 2 else chords[1]
            root = note(chord.split()[0]) - 12
            pitch = root + 7 if beat % 2 == 1 else root  # root and fifth
            notes_on(2, events, start + beat * DIVISION, pitch, DIVISION - 10, 78 if beat == 0 else 68)
    return events


def arpeggio_track():
    events = channel_header(3)
    for bar_index, chords in enumerate(CHORDS[:-1]):
        start = bar_index * BAR
        for step in range(8):
            chord = chords[0] if len(chords) == 1 or step < 4 else chords[1]
            pitches = [note(p) + 12 for p in chord.split()]
            pattern = (0, 1, 2, 1)[step % 4]
            notes_on(3, events, start + step * EIGHTH, pitches[pattern], EIGHTH, 50)
    notes_on(3, events, (len(CHORDS) - 1) * BAR, note("C6"), BAR, 50)
    return events


def pad_track():
    events = channel_header(4)
    for bar_index in range(8, len(CHORDS)):
        for pitch in CHORDS[bar_index][0].split():
            notes_on(4, events, bar_index * BAR, note(pitch) + 12, BAR, 44)
    return events


def drum_track():
    events = channel_header(9)
    # A soft hi-hat alone in the first half, the full pattern in the second.
    for tick in range(0, 8 * BAR, EIGHTH):
        notes_on(9, events, tick, CLOSED_HAT, EIGHTH, 34 if tick % DIVISION == 0 else 26)
    for bar_index in range(8, len(CHORDS) - 1):
        start = bar_index * BAR
        for beat in range(4):
            tick = start + beat * DIVISION
            notes_on(9, events, tick, KICK if beat % 2 == 0 else SIDE_STICK, EIGHTH, 70 if beat == 0 else 58)
            notes_on(9, events, tick + EIGHTH, CLOSED_HAT, EIGHTH, 40)
    notes_on(9, events, (len(CHORDS) - 1) * BAR, KICK, DIVISION, 64)
    return events


def conductor_track(description):
    last_bar = (len(MELODY) - 1) * BAR
    return [
        (0, 0, meta(0x03, b"Corvelle About tune")),
        (0, 1, meta(0x01, description)),
        (0, 2, meta(0x58, bytes([4, 2, 24, 8]))),  # 4/4
        (0, 3, meta(0x59, bytes([0, 0]))),  # C major
        (0, 4, meta(0x51, (60_000_000 // TEMPO_BPM).to_bytes(3, "big"))),
        (last_bar, 5, meta(0x51, (60_000_000 // FINAL_BAR_BPM).to_bytes(3, "big"))),
    ]


def build(description):
    end_tick = len(MELODY) * BAR
    tracks = [conductor_track(description), melody_track(), chord_track(), bass_track(), arpeggio_track(),
              pad_track()]
    used = {0, 1, 2, 3, 4, 9}
    by_channel = {0: tracks[1], 1: tracks[2], 2: tracks[3], 3: tracks[4], 4: tracks[5], 9: drum_track()}
    chunks = [track_chunk(tracks[0], end_tick)]
    for channel in range(16):
        if channel in used:
            chunks.append(track_chunk(by_channel[channel], end_tick))
        else:
            chunks.append(track_chunk(channel_header(channel), 0))
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(chunks), DIVISION)
    return header + b"".join(chunks)


def main():
    description = (b"An original sixteen-bar tune written for Corvelle's About window; "
                   b"free to use and change with the program. Made by make_about_tune.py. "
                   b"C major, 4/4, 104 bpm, slowing to 84 in the last bar. "
                   b"Chords: C Am F G | C Am Dm-G C | F C Dm G | C Am F-G C.")
    bare = len(build(description))
    if bare > FILE_BYTES:
        raise SystemExit(f"tune is {bare} bytes, more than {FILE_BYTES}")
    # Grow the text until the file has its size; a longer text can need one more length byte.
    padded = description + b" " * (FILE_BYTES - bare)
    while len(build(padded)) > FILE_BYTES:
        padded = padded[:-1]
    data = build(padded)
    assert len(data) == FILE_BYTES, len(data)
    with open(os.path.join(HERE, "tune.mid"), "wb") as f:
        f.write(data)
    seconds = (len(MELODY) - 1) * 4 * 60 / TEMPO_BPM + 4 * 60 / FINAL_BAR_BPM
    print(f"tune.mid: {len(data)} bytes, {len(padded) - len(description)} bytes of padding, {seconds:.2f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
