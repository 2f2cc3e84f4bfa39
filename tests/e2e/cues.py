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


def _fits(heard, wanted):
    """A frame of the cue as heard, but for samples the server silenced."""
    return all(heard[k:k + 2] in (wanted[k:k + 2], b"\0\0") for k in range(0, FRAME_BYTES, 2))


def heard_at(recording, start, body, most):
    """Where `body`, heard from `start`, ends and how many frames the sound
    server silenced in it. A stretch of silence may stand for some of the
    cue's frames (silenced in place) and hold the rest back (samples that came
    late), or both; a frame may also have lost one channel's sample. None when
    the cue differs otherwise or more than `most` frames were silenced."""
    if recording[start:start + len(body)] == body:
        return start + len(body), 0
    silent = bytes(FRAME_BYTES)
    got = frames(recording[start:start + len(body) + most * FRAME_BYTES])
    want = frames(body)
    i = j = lost = 0
    while j < len(want) and lost <= most:
        if i < len(got) and got[i] == want[j]:
            i, j = i + 1, j + 1
            continue
        if i < len(got) and got[i] != silent:
            if not _fits(got[i], want[j]):
                return None
            i, j, lost = i + 1, j + 1, lost + 1
            continue
        run = 0
        while i + run < len(got) and got[i + run] == silent:
            run += 1
        if run == 0:  # the recording ends before the cue
            return None
        if len(want) - j <= run:  # the cue's end silenced
            i, lost = i + len(want) - j, lost + len(want) - j
            break

        # Where the cue goes on after the silence: the first of its next
        # frames that the samples after the silence match.
        def resumes(k):
            n = min(64, len(want) - j - k)
            return all(map(_fits, got[i + run:i + run + n], want[j + k:j + k + n]))

        skipped = next((k for k in range(run + 1) if resumes(k)), None)
        if skipped is None:
            return None
        i, j, lost = i + run, j + skipped, lost + run
    return (start + i * FRAME_BYTES, lost) if lost <= most else None


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
