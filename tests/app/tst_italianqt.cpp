#include "ItalianQt.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QtTest>

class TestItalianQt : public QObject
{
    Q_OBJECT

private slots:
    void scrollBarMenuSpeaksItalian();
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
    QCOMPARE(QLocale::system().language(), QLocale::C);
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

QTEST_MAIN(TestItalianQt)
#include "tst_italianqt.moc"
