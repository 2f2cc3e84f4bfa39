#pragma once

#include <QString>

#include <optional>

// Once a document has been handed to the print server from this thread: the
// server's reason for refusing it, or nothing when it took the job.
std::optional<QString> rifiutoDelServer();
