#include "FusionLook.h"
#include "ItalianQt.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QtTest>

class TestItalianQt : public QObject
{
    Q_OBJECT

private slots:
    void scrollBarMenuSpeaksItalian();
    void windowsOwnStyleGivesWayToFusion();
};

namespace {

// The texts of the menu a right click on the list's scroll bar opens.
QStringList scrollBarMenuTexts(QListWidget &list)
{
    QStringList texts;
    QTimer::singleShot(0, [&texts] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (const QAction *action : menu->actions())
            texts.append(action->text());
        menu->close();
    });
    QScrollBar *bar = list.verticalScrollBar();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(2, 2), bar->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(bar, &click);
    texts.removeAll(QString());
    return texts;
}

} // namespace

void TestItalianQt::scrollBarMenuSpeaksItalian()
{
    // The test runs under a locale that is not Italian: C on Linux, the
    // English that wine makes of it on Windows.
    QVERIFY(QLocale::system().language() != QLocale::Italian);
    const ItalianQt italiano;
    QVERIFY(italiano.loaded());

    QListWidget list;
    for (int row = 0; row < 100; ++row)
        list.addItem(QStringLiteral("disegno %1").arg(row));
    list.resize(200, 150);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(list.verticalScrollBar()->isVisible());

    const QStringList texts = scrollBarMenuTexts(list);
    QVERIFY2(texts.contains(QStringLiteral("Scorri qui")), qPrintable(texts.join(u'|')));
    QVERIFY2(!texts.contains(QStringLiteral("Scroll here")), qPrintable(texts.join(u'|')));
}

// Qt starts in Windows' own style on Windows: the start-up puts Fusion, with
// its own colours, in its place.
void TestItalianQt::windowsOwnStyleGivesWayToFusion()
{
    QApplication::setStyle(QStringLiteral("windows"));
    QCOMPARE(QApplication::style()->name(), QStringLiteral("windows"));
    useFusionLook();
    QCOMPARE(QApplication::style()->name(), QStringLiteral("fusion"));
    const QPalette fusion = QApplication::style()->standardPalette();
    for (const auto role : {QPalette::Window, QPalette::Button, QPalette::Highlight})
        QCOMPARE(QApplication::palette().color(role), fusion.color(role));
}

QTEST_MAIN(TestItalianQt)
#include "tst_italianqt.moc"
