#pragma once

#include "CheckedPage.h"

#include <QString>

#include <chrono>
#include <optional>

// What became of one picture given to tingolamo-disegno: whether its page was
// written, why not, and the Italian line that says so.
struct PageOutcome
{
    enum class Kind { Written, Skipped, Refused };
    Kind kind = Kind::Refused;
    QString reason; // why it was not written
    QString line;   // "<picture>: scritto ...", "<picture>: rifiutato, <reason>" ...

    bool written() const { return kind == Kind::Written; }
};

// How long the worker may take over one picture unless told otherwise.
inline constexpr std::chrono::seconds kWorkerBound{30};

// Writes `page`, checked, as the drawing `name` of `folder`, never over an
// existing file; the line speaks of `label`.
PageOutcome writePage(const QString &label, const QString &folder, const QString &name,
                      const CheckedPage &page);

// Why the picture at `picturePath` cannot become the drawing `name` of
// `folder`, known before anything is read: a name no drawing may have, or a
// drawing of that name is there already. Nothing when there is no such reason.
std::optional<PageOutcome> outcomeBeforeReading(const QString &picturePath, const QString &folder,
                                                const QString &name);

// Turns the picture at `picturePath` into a colouring page in a worker
// process given at most `bound`, checks what comes back and adds it to
// `folder`, unless a drawing of that name is there already.
PageOutcome addPage(const QString &picturePath, const QString &folder,
                    std::chrono::milliseconds bound);

// The outcomes of a picture, each with its line: its page was written as
// `target`; a drawing `target` was there already; it cannot become a page.
PageOutcome writtenOutcome(const QString &picturePath, const QString &target,
                           const CheckedPage &page);
PageOutcome skippedOutcome(const QString &picturePath, const QString &target);
PageOutcome refused(const QString &picturePath, const QString &why);
