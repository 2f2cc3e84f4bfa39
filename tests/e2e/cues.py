"""Finds the program's cues in a recording of the private sound server."""

import wave

FRAME_BYTES = 4  # s16le stereo


def samples(path):
    """The sample bytes of a WAV cue, from its first to its last audible frame."""
    with wave.open(path, "rb") as cue:
        data = cue.readframes(cue.getnframes())
    frames = [data[i:i + FRAME_BYTES] for i in range(0, len(data), FRAME_BYTES)]
    silent = bytes(FRAME_BYTES)
    first = next(i for i, f in enumerate(frames) if f != silent)
    last = max(i for i, f in enumerate(frames) if f != silent)
    return b"".join(frames[first:last + 1])


def heard(recording, cue_path, dropouts=0):
    """Where each complete, bit-exact copy of the cue starts in the recording;
    with `dropouts`, a copy may have that many frames silenced by the server."""
    if dropouts:
        return heard_despite_dropouts(recording, cue_path, dropouts)
    cue = samples(cue_path)
    found, at = [], recording.find(cue)
    while at >= 0:
        if at % FRAME_BYTES == 0:
            found.append(at // FRAME_BYTES)
        at = recording.find(cue, at + 1)
    return found


def _audible(data):
    """The frames of `data` that are not silent, in order."""
    silent = bytes(FRAME_BYTES)
    return b"".join(frame for frame in (data[i:i + FRAME_BYTES]
                                        for i in range(0, len(data), FRAME_BYTES))
                    if frame != silent)


def heard_through_gaps(recording, cue_path):
    """How many complete copies of the cue the recording holds, bit for bit but
    for stretches of silence inside: a player that falls behind leaves the
    sound server playing silence until its next samples come."""
    cue, audible = _audible(samples(cue_path)), _audible(recording)
    found, at = 0, audible.find(cue)
    while at >= 0:
        found += at % FRAME_BYTES == 0
        at = audible.find(cue, at + 1)
    return found


def heard_despite_dropouts(recording, cue_path, most):
    """Where each copy of the cue starts that is bit-exact but for at most
    `most` frames that came out silent: a sound server that misses a step of
    its clock under load (PipeWire's graph does) plays silence in place of
    the samples it had, with the rest of the cue in time."""
    cue = samples(cue_path)
    silent = bytes(FRAME_BYTES)
    anchor = 256 * FRAME_BYTES
    starts = set()
    # Anchors spread over the cue, so a dropout hides at most some of them.
    for offset in range(0, len(cue) - anchor, len(cue) // 8 // FRAME_BYTES * FRAME_BYTES):
        at = recording.find(cue[offset:offset + anchor])
        while at >= 0:
            if (at - offset) % FRAME_BYTES == 0 and at >= offset:
                starts.add(at - offset)
            at = recording.find(cue[offset:offset + anchor], at + 1)
    found = []
    for start in sorted(starts):
        copy = recording[start:start + len(cue)]
        if len(copy) != len(cue):
            continue
        differing = [i for i in range(0, len(cue), FRAME_BYTES)
                     if copy[i:i + FRAME_BYTES] != cue[i:i + FRAME_BYTES]]
        if len(differing) <= most and all(copy[i:i + FRAME_BYTES] == silent for i in differing):
            found.append(start // FRAME_BYTES)
    return found


def sequence(recording, cues, dropouts=0):
    """The cues heard complete, by name, in the order they were played; with
    `dropouts`, a copy may have that many frames silenced by the server."""
    events = []
    for name, path in cues.items():
        events += [(frame, name) for frame in heard(recording, path, dropouts)]
    return [name for _, name in sorted(events)]
