#pragma once

#include <QPrinterInfo>

#include <chrono>
#include <optional>

// The system's default printer, or nothing when there is none or the print
// server does not answer within `attesa`. The lookup runs on a thread of
// its own, so a server that never answers holds up the caller for `attesa`
// only; a lookup still waiting then is left to finish by itself.
std::optional<QPrinterInfo> stampantePredefinita(std::chrono::milliseconds attesa);
