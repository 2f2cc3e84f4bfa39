#pragma once

// Ends the whole program at once: no window receives a close event, no
// destructor or exit handler runs, nothing more is shown, played or written.
// The standard streams are flushed first so that nothing already written is
// lost. The exit status is 0.
[[noreturn]] void TerminaProgramma();
