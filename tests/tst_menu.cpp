// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

#include <QAction>
#include <QDir>
#include <QTest>

class TestMenu : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rightClickOpensMenu_data();
    void rightClickOpensMenu();
    void menuKeysOpenMenu_data();
    void menuKeysOpenMenu();
    void pauseAndContinue();
    void pauseTwiceAndContinueWithoutPause();
    void scoreReportFromStartFolder();
    void exitEndsAtOnce();
    void closingTheWindow();
};

namespace {

QWidget *target(PracticeFixture &f, const QString &name)
{
    Ui::Form1 &ui = f.form.ui;
    if (name == QLatin1String("window"))
        return &f.form;
    if (name == QLatin1String("lblTitle"))
        return ui.lblTitle;
    if (name == QLatin1String("lblShow(2)"))
        return ui.lblShow[2];
    if (name == QLatin1String("txtinput(3)"))
        return ui.txtinput[3];
    if (name == QLatin1String("lblSign(1)"))
        return ui.lblSign[1];
    if (name == QLatin1String("lblSpeed1"))
        return ui.lblSpeed1;
    return ui.lblDate;
}

} // namespace

void TestMenu::rightClickOpensMenu_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<bool>("opens");
    for (const char *where : { "window", "lblTitle", "lblShow(2)", "txtinput(3)" }) {
        QTest::addRow("right on %s", where) << where << Qt::RightButton << true;
        QTest::addRow("left on %s", where) << where << Qt::LeftButton << false;
        QTest::addRow("middle on %s", where) << where << Qt::MiddleButton << false;
    }
    for (const char *where : { "lblSign(1)", "lblSpeed1", "lblDate" })
        QTest::addRow("right on %s", where) << where << Qt::RightButton << false;
}

void TestMenu::rightClickOpensMenu()
{
    QFETCH(QString, where);
    QFETCH(Qt::MouseButton, button);
    QFETCH(bool, opens);
    PracticeFixture f;
    f.start("abc\r\ndef\r\nghi\r\n");
    QWidget *widget = target(f, where);
    // A point of the window's background that no control covers.
    const QPoint point = widget == &f.form ? QPoint(780, 100) : widget->rect().center();
    QTest::mousePress(widget, button, Qt::NoModifier, point);
    QCOMPARE(f.runtime.popups.size(), opens ? 1 : 0);
    QCOMPARE(f.form.windowTitle().startsWith(QStringLiteral("Keyvale－")), true);
}

void TestMenu::menuKeysOpenMenu_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("opens");
    QTest::addRow("Menu") << int(Qt::Key_Menu) << Qt::KeyboardModifiers() << true;
    QTest::addRow("Shift+F10") << int(Qt::Key_F10) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                               << true;
    QTest::addRow("F10 alone") << int(Qt::Key_F10) << Qt::KeyboardModifiers() << false;
}

void TestMenu::menuKeysOpenMenu()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, opens);
    PracticeFixture f;
    f.start("abc\r\ndef\r\n");
    f.type(f.box(1), QStringLiteral("ab"));
    QTest::keyClick(f.box(1), Qt::Key(key), modifiers);
    QCOMPARE(f.runtime.popups.size(), opens ? 1 : 0);
    if (opens) { // below the box, at its caret
        const QPoint bottomLeft = f.box(1)->mapToGlobal(QPoint(0, f.box(1)->height()));
        QCOMPARE(f.runtime.popups.constFirst().y(), bottomLeft.y());
        QVERIFY(f.runtime.popups.constFirst().x() > bottomLeft.x());
    }
    // Neither key is a character: nothing is counted or typed.
    QCOMPARE(f.form.state().TypedChars, 2);
    QCOMPARE(f.box(1)->text(), QStringLiteral("ab"));
}

void TestMenu::pauseAndContinue()
{
    PracticeFixture f;
    f.start(QByteArray(50, 'a'));
    f.type(f.box(1), QStringLiteral("aa"));
    f.advanceClock(1500);

    f.runtime.menuChoices.enqueue(f.form.ui.menuPause);
    QTest::mousePress(f.box(1), Qt::RightButton);
    QVERIFY(!f.form.ui.Timer1->isEnabled());
    QVERIFY(!f.form.ui.Timer2->isEnabled());
    QVERIFY(f.box(1)->isLocked());

    // Paused: keys change nothing and the clock stands still.
    f.type(f.box(1), QStringLiteral("ax"));
    f.advanceClock(5000);
    QCOMPARE(f.form.state().TypedChars, 2);
    QCOMPARE(f.module.ErrorCount, 0);
    QCOMPARE(f.box(1)->text(), QStringLiteral("aa"));
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:1:5"));

    f.runtime.menuChoices.enqueue(f.form.ui.menuContinue);
    QTest::mousePress(f.form.ui.lblShow[1], Qt::RightButton);
    QVERIFY(f.form.ui.Timer1->isEnabled());
    QVERIFY(f.form.ui.Timer2->isEnabled());
    QVERIFY(!f.box(1)->isLocked());
    f.type(f.box(1), QStringLiteral("a"));
    f.advanceClock(100);
    QCOMPARE(f.form.state().TypedChars, 3);
    QCOMPARE(f.form.ui.lblResult[3]->caption(), QStringLiteral("时间：0:1:6"));
}

void TestMenu::pauseTwiceAndContinueWithoutPause()
{
    PracticeFixture f;
    f.start("abcdef\r\nghijkl\r\n");
    f.type(f.box(1), QStringLiteral("abcdef"));
    QCOMPARE(f.form.state().CurRow, qint16(2));

    f.form.menuContinue_Click(); // without a pause: nothing changes
    QCOMPARE(f.unlockedBox(), 2);
    QVERIFY(f.form.ui.Timer1->isEnabled());

    f.form.menuPause_Click();
    f.form.menuPause_Click();
    QCOMPARE(f.unlockedBox(), 0);
    f.form.menuContinue_Click();
    QCOMPARE(f.unlockedBox(), 2);
    f.form.menuContinue_Click();
    QCOMPARE(f.unlockedBox(), 2);
    f.type(f.box(2), QStringLiteral("g"));
    QCOMPARE(f.form.state().TypedChars, 7);
}

void TestMenu::scoreReportFromStartFolder()
{
    const QString saved = QDir::currentPath();
    PracticeFixture f;
    QVERIFY(QDir(f.dir.path()).mkdir(QStringLiteral("with blank")));
    const QString start = f.dir.filePath(QStringLiteral("with blank"));
    QVERIFY(QDir::setCurrent(start));
    f.load();
    QVERIFY(QDir::setCurrent(saved));

    // The folder of the start, blank and all, even after the working directory moved.
    f.form.mnuScore_Click();
    QCOMPARE(f.runtime.opened, QStringList { start + QStringLiteral("/成绩单.htm") });

    // Nothing can be started: still no message.
    const int messages = f.runtime.messages.size();
    f.runtime.viewerStarts = false;
    f.runtime.menuChoices.enqueue(f.form.ui.mnuScore);
    QTest::mousePress(f.form.ui.lblTitle, Qt::RightButton);
    QCOMPARE(f.runtime.opened.size(), 2);
    QCOMPARE(f.runtime.messages.size(), messages);
}

void TestMenu::exitEndsAtOnce()
{
    PracticeFixture f;
    f.start("abc\r\n");
    f.type(f.box(1), QStringLiteral("ab"));
    f.runtime.menuChoices.enqueue(f.form.ui.menuExit);
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, f.form.txtinput_MouseDown(1, Qt::RightButton));
    QCOMPARE(f.runtime.endCalls, 1);
    QVERIFY(!f.form.scoreDialog());
    QVERIFY(f.runtime.messages.isEmpty());
}

void TestMenu::closingTheWindow()
{
    PracticeFixture f;
    f.start("abc\r\n");
    QVERIFY(!f.form.ui.CommonDialog1.fileName.isEmpty());
    QVERIFY(f.form.close());
    QVERIFY(f.form.ui.CommonDialog1.fileName.isEmpty());
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.runtime.endCalls, 0);
    // The program ends with its last ordinary window: this one, since the score dialog
    // is a tool window.
    QVERIFY(QGuiApplication::quitOnLastWindowClosed());
    QVERIFY(f.form.testAttribute(Qt::WA_QuitOnClose));
}

KEYVALE_TEST_MAIN(TestMenu)
#include "tst_menu.moc"
