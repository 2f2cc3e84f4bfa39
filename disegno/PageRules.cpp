#include "PageRules.h"

#include "PageSteps.h"

DrawingRules pageRules()
{
    DrawingRules rules;
    rules.maxSize = kPageBox;
    rules.minAreas = 2;
    rules.minAreaPixels = kSmallestArea;
    return rules;
}

QString areasText(int areas)
{
    return areas == 1 ? QStringLiteral("1 area") : QStringLiteral("%1 aree").arg(areas);
}
