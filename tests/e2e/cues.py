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


def heard(recording, cue_path):
    """Where each complete, bit-exact copy of the cue starts in the recording."""
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


def sequence(recording, cues):
    """The cues heard complete, by name, in the order they were played."""
    events = []
    for name, path in cues.items():
        events += [(frame, name) for frame in heard(recording, path)]
    return [name for _, name in sorted(events)]
