#pragma once

#include <QString>

// The folder that holds the executable, without a trailing separator.
QString programFolder();

// Appends a resource path written with backslashes ("\Suoni\colori.wav",
// "\gif\cromello.gif") to `folder`. Backslashes become '/', and each component
// is matched against the real entries without regard to letter case (an exact
// match wins). A component with no match is kept as written, so the result
// names a missing file and the caller's open fails as it should.
QString resolveResource(const QString &folder, const QString &relative);
