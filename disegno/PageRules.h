#pragma once

#include "DrawingCheck.h"

#include <QString>

// The drawing check as it applies to a page made from a parent's picture: it
// fits the room beside the picture list and has at least two areas to colour.
DrawingRules pageRules();

// "1 area", "12 aree".
QString areasText(int areas);
