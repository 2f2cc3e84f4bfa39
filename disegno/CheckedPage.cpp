#include "CheckedPage.h"

#include "GifEncoder.h"
#include "PageRules.h"

CheckedPage checkPage(const QByteArray &gif)
{
    CheckedPage checked;
    if (gif.size() > kMostPageBytes) {
        checked.problem = QStringLiteral("il disegno ricevuto è troppo grande");
        return checked;
    }
    const QStringList problems = drawingBytesProblems(gif, pageRules(), &checked.page);
    if (!problems.isEmpty()) {
        checked.problem = QStringLiteral("il disegno ricevuto non passa il controllo: %1")
                              .arg(problems.join(QStringLiteral("; ")));
        return checked;
    }
    // Only the picture is kept: whatever else the file held is not written.
    checked.gif = encodeTwoColourGif(checked.page);
    if (checked.gif.isEmpty())
        checked.problem = QStringLiteral("il GIF non si è potuto comporre");
    checked.areas = countAreas(checked.page).areas;
    return checked;
}
