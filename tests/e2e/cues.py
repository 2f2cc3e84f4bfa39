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


def frames(data):
    return [data[i:i + FRAME_BYTES] for i in range(0, len(data), FRAME_BYTES)]


def heard_at(recording, start, body, most):
    """Where `body`, heard from `start`, ends and how many of its frames the
    sound server silenced: in place of samples, or as a gap that holds the
    rest back (samples that came late). None when it differs otherwise or
    more than `most` frames were silenced."""
    silent = bytes(FRAME_BYTES)
    heard = recording[start:start + len(body)]
    if heard == body:
        return start + len(body), 0
    # A gap: every audible frame of the cue, in order, with silence between.
    wanted = [f for f in frames(body) if f != silent]
    got, end = [], start
    for frame in frames(recording[start:start + len(body) + most * FRAME_BYTES]):
        if len(got) == len(wanted):
            break
        end += FRAME_BYTES
        if frame != silent:
            got.append(frame)
    if got == wanted and end - start - len(body) <= most * FRAME_BYTES:
        return end, (end - start - len(body)) // FRAME_BYTES
    # Samples silenced in place, the rest in time.
    differing = [(a, b) for a, b in zip(frames(heard), frames(body)) if a != b]
    if len(heard) == len(body) and len(differing) <= most and all(
            a == silent for a, _ in differing):
        return start + len(body), len(differing)
    return None


def heard_despite_dropouts(recording, cue_path, most):
    """Where each copy of the cue starts that is bit-exact but for at most
    `most` frames the sound server silenced (see heard_at)."""
    cue = samples(cue_path)
    anchor = 256 * FRAME_BYTES
    starts = set()
    # Anchors spread over the cue, so a dropout hides at most some of them; a
    # gap moves the anchors after it, and one before it finds the start.
    for offset in range(0, len(cue) - anchor, len(cue) // 8 // FRAME_BYTES * FRAME_BYTES):
        at = recording.find(cue[offset:offset + anchor])
        while at >= 0:
            if (at - offset) % FRAME_BYTES == 0 and at >= offset:
                starts.add(at - offset)
            at = recording.find(cue[offset:offset + anchor], at + 1)
    return [start // FRAME_BYTES for start in sorted(starts)
            if heard_at(recording, start, cue, most) is not None]


def sequence(recording, cues, dropouts=0):
    """The cues heard complete, by name, in the order they were played; with
    `dropouts`, a copy may have that many frames silenced by the server."""
    events = []
    for name, path in cues.items():
        events += [(frame, name) for frame in heard(recording, path, dropouts)]
    return [name for _, name in sorted(events)]
