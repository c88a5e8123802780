// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

#include "forms/design.h"

#include <QBackingStore>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <qpa/qplatformbackingstore.h>

class TestKeystrokes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void singleKey_data();
    void singleKey();
    void manyBackspaces();
    void markerGoesRedAndBack();
    void failureThreshold_data();
    void failureThreshold();
    void lockedBoxTakesNothing();
    void keyIntoAnotherRowsBox();
    void inputMethodCommit_data();
    void inputMethodCommit();
    void freeInputRows_data();
    void freeInputRows();
    void pasteOnlyByKeyboard();
    void wholeTextToTheEnd();
    void failuresAreTrapped();
    void screenShowsTheStatistics_data();
    void screenShowsTheStatistics();
};

void TestKeystrokes::singleKey_data()
{
    QTest::addColumn<QString>("row"); // the first row of the text
    QTest::addColumn<QString>("before"); // typed into the first box beforehand
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("typed"); // TypedChars afterwards
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("boxAfter"); // the first box afterwards
    QTest::addColumn<int>("curRow");

    QTest::addRow("right key mid-row") << "abc"
                                       << "a"
                                       << "b" << 2 << 0 << "ab" << 1;
    QTest::addRow("wrong key mid-row") << "abc"
                                       << "a"
                                       << "x" << 2 << 1 << "ax" << 1;
    QTest::addRow("right key at the end") << "abc"
                                          << "ab"
                                          << "c" << 3 << 0 << "abc" << 2;
    QTest::addRow("wrong key at the end") << "abc"
                                          << "ab"
                                          << "x" << 3 << 1 << "abx" << 2;
    QTest::addRow("Enter is an error") << "abcdef"
                                       << "a"
                                       << "\r" << 2 << 1 << "a" << 1;
    QTest::addRow("Escape is an error") << "abcdef"
                                        << "a"
                                        << "\x1b" << 2 << 1 << "a" << 1;
    QTest::addRow("capital for small") << "abc"
                                       << ""
                                       << "A" << 1 << 1 << "A" << 1;
    QTest::addRow("small for capital") << "Abc"
                                       << ""
                                       << "a" << 1 << 1 << "a" << 1;
    QTest::addRow("Chinese character") << "春眠"
                                       << ""
                                       << "春" << 1 << 0 << "春" << 1;
    QTest::addRow("character beyond the BMP") << "\U00020000b"
                                              << ""
                                              << "\U00020000" << 1 << 0 << "\U00020000" << 1;
    QTest::addRow("character beyond the BMP ends a row")
        << "a\U0001F600"
        << "a"
        << "\U0001F600" << 2 << 0 << "a\U0001F600" << 2;
    QTest::addRow("Backspace in an empty box") << "abc"
                                               << ""
                                               << "\b" << 0 << 0 << "" << 1;
    QTest::addRow("Backspace takes back a keystroke") << "abcdef"
                                                      << "ax"
                                                      << "\b" << 1 << 1 << "a" << 1;
}

void TestKeystrokes::singleKey()
{
    QFETCH(QString, row);
    QFETCH(QString, before);
    QFETCH(QString, key);
    QFETCH(int, typed);
    QFETCH(int, errors);
    QFETCH(QString, boxAfter);
    QFETCH(int, curRow);

    PracticeFixture f;
    // Long enough that a few errors never fail the practice.
    f.start(row.toUtf8() + "\r\n" + QByteArray(100, 'z') + "\r\nthird\r\n");
    f.type(f.box(1), before);
    f.type(f.box(1), key);

    QCOMPARE(f.form.state().TypedChars, typed);
    QCOMPARE(f.module.ErrorCount, errors);
    QCOMPARE(f.box(1)->text(), boxAfter);
    QCOMPARE(f.form.state().CurRow, qint16(curRow));
    const bool nothingCounted = before.isEmpty() && key == QLatin1String("\b");
    QCOMPARE(f.form.ui.lblResult[2]->caption(),
        nothingCounted ? QStringLiteral("键入字符：") : QStringLiteral("键入字符：%1").arg(typed));
    QCOMPARE(f.form.ui.lblErr2->caption(), errors ? QString::number(errors) : QString());
    QCOMPARE(f.runtime.beeps, errors);
    if (curRow == 2) {
        // The finished box keeps the row as typed and is locked; the next row is open.
        QVERIFY(f.box(1)->isLocked());
        QCOMPARE(f.unlockedBox(), 2);
        QCOMPARE(f.visibleMarker(), 2);
        QCOMPARE(f.form.focusWidget(), f.box(2));
    }
}

void TestKeystrokes::manyBackspaces()
{
    PracticeFixture f;
    f.start("abcdefgh\r\n" + QByteArray(100, 'z'));
    f.type(f.box(1), QStringLiteral("abx"));
    QCOMPARE(f.module.ErrorCount, 1);
    QCOMPARE(f.form.ui.lblSign[1]->backColor(), 0x000000FFu);

    f.type(f.box(1), QString(10, QLatin1Char('\b')));
    QCOMPARE(f.box(1)->text(), QString());
    QCOMPARE(f.form.state().TypedChars, 0); // three taken back, the rest found the box empty
    QCOMPARE(f.module.ErrorCount, 1);
    QCOMPARE(f.form.ui.lblErr2->caption(), QStringLiteral("1"));
    QCOMPARE(f.form.ui.lblSign[1]->backColor(), 0x000000FFu); // Backspace leaves the marker red
}

void TestKeystrokes::markerGoesRedAndBack()
{
    PracticeFixture f;
    f.start("abcdef\r\n" + QByteArray(100, 'z'));
    Label *marker = f.form.ui.lblSign[1];
    f.type(f.box(1), QStringLiteral("x"));
    QCOMPARE(marker->backColor(), 0x000000FFu);
    QCOMPARE(marker->palette().color(QPalette::Window), QColor(255, 0, 0));
    f.type(f.box(1), QStringLiteral("b"));
    QCOMPARE(marker->backColor(), SystemColor::ButtonFace);
    QCOMPARE(marker->palette().color(QPalette::Window),
        QGuiApplication::palette().color(QPalette::Button));
    // A second wrong key in a row keeps it red; the next right one clears it.
    f.type(f.box(1), QStringLiteral("yy"));
    QCOMPARE(marker->backColor(), 0x000000FFu);
    f.type(f.box(1), QStringLiteral("e"));
    QCOMPARE(marker->backColor(), SystemColor::ButtonFace);
}

void TestKeystrokes::failureThreshold_data()
{
    QTest::addColumn<int>("totalChars");
    QTest::addColumn<int>("allowedErrors"); // floor(totalChars x 0.33)
    QTest::addColumn<QString>("failing"); // the text of the key that fails, or a phrase
    QTest::addColumn<bool>("committed"); // the failing text comes from an input method
    QTest::addRow("100 characters") << 100 << 33 << "x" << false;
    QTest::addRow("3 characters") << 3 << 0 << "x" << false;
    QTest::addRow("1 character") << 1 << 0 << "x" << false;
    QTest::addRow("4 characters") << 4 << 1 << "x" << false;
    // The rest belongs to the abandoned practice too.
    QTest::addRow("a phrase failing at its first character") << 3 << 0 << "xyz" << true;
    QTest::addRow("a key of several characters failing at its first") << 3 << 0 << "xyz" << false;
}

void TestKeystrokes::failureThreshold()
{
    QFETCH(int, totalChars);
    QFETCH(int, allowedErrors);
    QFETCH(QString, failing);
    QFETCH(bool, committed);

    PracticeFixture f;
    // One row of the whole text: no allowed error reaches its end.
    f.start(QByteArray(totalChars, 'a'));
    QCOMPARE(f.module.TotalChars, totalChars);
    f.type(f.box(1), QString(allowedErrors, QLatin1Char('x')));
    QCOMPARE(f.module.ErrorCount, allowedErrors);
    QVERIFY(f.runtime.messages.isEmpty());

    // One more fails: the message, then a new practice through the open-file dialog,
    // which the double cancels into free input.
    if (!committed) {
        QTest::sendKeyEvent(QTest::Click, f.currentBox(), Qt::Key_X, failing, Qt::NoModifier);
    } else {
        // Not inside the input method's event, which may hand the phrase over again
        // when a modal message takes the focus; meanwhile nothing more counts.
        f.commit(f.currentBox(), failing);
        QVERIFY(f.runtime.messages.isEmpty());
        f.commit(f.currentBox(), failing);
        QCOMPARE(f.module.ErrorCount, allowedErrors + 1);
        QCoreApplication::sendPostedEvents();
    }
    QCOMPARE(f.runtime.messages.size(), 2);
    QCOMPARE(f.runtime.messages[0].prompt, QStringLiteral("任务失败！！"));
    QCOMPARE(f.runtime.messages[0].title, QStringLiteral("错误"));
    QCOMPARE(f.runtime.messages[0].style, MsgBoxStyle::Critical);
    QCOMPARE(f.runtime.messages[1].prompt, QStringLiteral("自由录入"));
    QCOMPARE(f.runtime.dialogs.size(), 2);
    QCOMPARE(f.module.ErrorCount, 0);
    QCOMPARE(f.form.state().TypedChars, 0);
    // The failing key is not carried into the new practice, and the next phrase is whole.
    QCOMPARE(f.box(1)->text(), QString());
    f.commit(f.box(1), QStringLiteral("ab"));
    QCOMPARE(f.box(1)->text(), QStringLiteral("ab"));
}

void TestKeystrokes::lockedBoxTakesNothing()
{
    PracticeFixture f;
    f.start("abcdef\r\n");
    f.type(f.box(1), QStringLiteral("ab"));
    f.box(1)->setLocked(true); // as a pause leaves it
    f.type(f.box(1), QStringLiteral("cx\r\b"));
    QCOMPARE(f.box(1)->text(), QStringLiteral("ab"));
    QCOMPARE(f.form.state().TypedChars, 2);
    QCOMPARE(f.module.ErrorCount, 0);
    QCOMPARE(f.runtime.beeps, 0);

    f.box(1)->setLocked(false);
    f.type(f.box(1), QStringLiteral("c"));
    QCOMPARE(f.form.state().TypedChars, 3);
    QCOMPARE(f.box(1)->text(), QStringLiteral("abc"));
}

void TestKeystrokes::keyIntoAnotherRowsBox()
{
    PracticeFixture f;
    f.start("a\r\nbcd\r\nefg\r\n");
    // Row 1 is current; a key typed into row 3's (locked) box is still checked against
    // row 1, at the position after that box's text, and completes row 1 into that box.
    f.type(f.box(3), QStringLiteral("x"));
    QCOMPARE(f.form.state().TypedChars, 1);
    QCOMPARE(f.module.ErrorCount, 1);
    QCOMPARE(f.box(3)->text(), QStringLiteral("x"));
    QCOMPARE(f.box(1)->text(), QString());
    QCOMPARE(f.form.state().CurRow, qint16(2));
    QCOMPARE(f.box(2)->text(), QString());
    // Backspace looks at the current box, which is empty: nothing is taken back.
    f.type(f.box(3), QStringLiteral("\b"));
    QCOMPARE(f.form.state().TypedChars, 1);

    // Row 2 is current; row 3's box now holds one character, so the key is compared
    // with row 2's second character.
    f.type(f.box(3), QStringLiteral("c"));
    QCOMPARE(f.module.ErrorCount, 1);
    QCOMPARE(f.box(3)->text(), QStringLiteral("x")); // a locked box takes nothing
    QCOMPARE(f.form.state().CurRow, qint16(2));
}

void TestKeystrokes::inputMethodCommit_data()
{
    QTest::addColumn<QString>("committed");
    QTest::addColumn<int>("errors");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("nextBox");
    QTest::addColumn<int>("curRow");
    // The row holds a character beyond the BMP (a surrogate pair), typed as one.
    QTest::addRow("a phrase") << "春眠\U00020000" << 0 << "春眠\U00020000"
                              << "" << 1;
    QTest::addRow("a wrong character inside") << "春x\U00020000" << 1 << "春x\U00020000"
                                              << "" << 1;
    QTest::addRow("the whole row") << "春眠\U00020000觉晓" << 0 << "春眠\U00020000觉晓"
                                   << "" << 2;
    // Characters past the row's end follow the focus to the next row, as keys would.
    QTest::addRow("beyond the row's end") << "春眠\U00020000觉晓处处" << 0 << "春眠\U00020000觉晓"
                                          << "处处" << 2;
    QTest::addRow("two rows at once")
        << "春眠\U00020000觉晓处处闻啼鸟z" << 0 << "春眠\U00020000觉晓"
        << "处处闻啼鸟" << 3;
}

void TestKeystrokes::inputMethodCommit()
{
    QFETCH(QString, committed);
    QFETCH(int, errors);
    QFETCH(QString, box);
    QFETCH(QString, nextBox);
    QFETCH(int, curRow);
    PracticeFixture f;
    f.start(QStringLiteral("春眠\U00020000觉晓\r\n处处闻啼鸟\r\n").toUtf8() + QByteArray(100, 'z'));
    f.commit(f.box(1), committed);
    QCOMPARE(f.form.state().TypedChars, committed.toUcs4().size());
    QCOMPARE(f.module.ErrorCount, errors);
    QCOMPARE(f.box(1)->text(), box);
    QCOMPARE(f.form.state().CurRow, qint16(curRow));
    QCOMPARE(f.box(2)->text(), nextBox);
}

void TestKeystrokes::freeInputRows_data()
{
    QTest::addColumn<QString>("character");
    QTest::addRow("letters") << "a";
    QTest::addRow("characters beyond the BMP") << "\U00020000";
}

void TestKeystrokes::freeInputRows()
{
    QFETCH(QString, character);
    PracticeFixture f;
    f.load(); // cancelled: free input
    f.type(f.box(1), character.repeated(29));
    QCOMPARE(f.box(1)->text(), character.repeated(29));
    QCOMPARE(f.form.state().CurRow, qint16(1));

    // The 30th key moves to the next row, is counted and is shown nowhere.
    f.type(f.box(1), QStringLiteral("b"));
    QCOMPARE(f.form.state().TypedChars, 30);
    QCOMPARE(f.form.state().CurRow, qint16(2));
    QCOMPARE(f.box(1)->text(), character.repeated(29));
    QCOMPARE(f.box(2)->text(), QString());
    QCOMPARE(f.module.ErrorCount, 0);
    QCOMPARE(f.runtime.beeps, 0);

    f.type(f.box(2), QString(30, QLatin1Char('c')));
    f.type(f.box(3), QString(29, QLatin1Char('d')));
    QCOMPARE(f.form.state().CurRow, qint16(3));
    // After the third row the boxes are emptied and row 1 is current again.
    f.type(f.box(3), QStringLiteral("e"));
    QCOMPARE(f.form.state().CurRow, qint16(1));
    QCOMPARE(f.form.state().TypedChars, 90);
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(f.box(row)->text(), QString());
    QCOMPARE(f.unlockedBox(), 1);
    QCOMPARE(f.form.ui.lblSpeed3->caption(), QString());
}

void TestKeystrokes::pasteOnlyByKeyboard()
{
    PracticeFixture f;
    f.start("abcdef\r\n");
    f.type(f.box(1), QStringLiteral("ab"));
    // A drop would put text into the box without the keystroke check.
    QMimeData dropped;
    dropped.setText(QStringLiteral("zz"));
    const QPointF inside(10, 10);
    QDragEnterEvent enter(
        inside.toPoint(), Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.box(1), &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(inside, Qt::CopyAction, &dropped, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.box(1), &drop);
    QCOMPARE(f.box(1)->text(), QStringLiteral("ab"));
    QVERIFY(!f.box(1)->acceptDrops());

    // Ctrl+V pastes: the key counts once (a wrong key), then the text goes in.
    QGuiApplication::clipboard()->setText(QStringLiteral("cd"));
    QTest::keyClick(f.box(1), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.box(1)->text(), QStringLiteral("abcd"));
    QCOMPARE(f.form.state().TypedChars, 3);
    QCOMPARE(f.module.ErrorCount, 1);
}

void TestKeystrokes::wholeTextToTheEnd()
{
    PracticeFixture f;
    f.start("ab\r\ncd\r\nef\r\ngh\r\n");
    f.type(f.currentBox(), QStringLiteral("ab"));
    f.type(f.currentBox(), QStringLiteral("cd"));
    f.type(f.currentBox(), QStringLiteral("ex"));
    // The second block shows the fourth line.
    QCOMPARE(f.rows(), QStringList({ "gh", "", "" }));
    QCOMPARE(f.form.state().CurRow, qint16(1));
    QCOMPARE(f.visibleMarker(), 1);
    f.type(f.currentBox(), QStringLiteral("gh"));

    QCOMPARE(f.form.state().TypedChars, 8);
    QCOMPARE(f.module.ErrorCount, 1);
    QCOMPARE(f.form.state().CurRow, qint16(2));
    QVERIFY(!f.form.ui.Timer1->isEnabled());
    QVERIFY(!f.form.ui.Timer2->isEnabled());
    QVERIFY(!f.form.isEnabled());
    for (int row = 1; row <= 3; ++row)
        QVERIFY(!f.box(row)->isEnabled());
    QCOMPARE(f.visibleMarker(), 0);
    QCOMPARE(f.box(1)->text(), QStringLiteral("gh"));
}

void TestKeystrokes::failuresAreTrapped()
{
    // A key before any practice has a row: there is no current box.
    {
        PracticeFixture f;
        f.type(f.box(1), QStringLiteral("a"));
        QCOMPARE(f.runtime.beeps, 1);
        QCOMPARE(f.box(1)->text(), QString());
        QCOMPARE(f.form.state().TypedChars, 0);
    }
    // A box filled past 32766 characters by a paste: the position does not fit its
    // 16-bit counter, so the key is discarded with a beep and nothing is counted.
    {
        PracticeFixture f;
        f.start("abc\r\n");
        f.box(1)->setMaxLength(40000);
        f.box(1)->setText(QString(32767, QLatin1Char('p')));
        f.type(f.box(1), QStringLiteral("a"));
        QCOMPARE(f.runtime.beeps, 1);
        QCOMPARE(f.box(1)->text().size(), 32767);
        QCOMPARE(f.form.state().TypedChars, 0);
        QCOMPARE(f.module.ErrorCount, 0);
    }
    // A phrase that fails the practice, whose restart then fails too.
    {
        PracticeFixture f;
        f.start("abc\r\n");
        f.runtime.onOpenDialog = [] {
            throw RuntimeError("overflow");
        };
        f.commit(f.box(1), QStringLiteral("x"));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(f.runtime.beeps, 2);
    }
    // A phrase running past the end of a text: the rest is dropped without a beep.
    {
        PracticeFixture f;
        f.start("a\r\nb\r\nc\r\n");
        f.commit(f.box(1), QStringLiteral("abcxy"));
        QVERIFY(f.form.scoreDialog());
        QCOMPARE(f.runtime.beeps, 0);
    }
    // A failure that is not the program's own run-time error is not the handler's.
    {
        PracticeFixture f;
        f.start("abc\r\n");
        f.runtime.onMessage = [](const FakeRuntime::Message &) {
            throw std::logic_error("guard");
        };
        QVERIFY_THROWS_EXCEPTION(
            std::logic_error, f.form.txtinput_KeyPress(1, U'x', TypingBox::Source::Key));
    }
}

void TestKeystrokes::screenShowsTheStatistics_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("keys");
    QTest::addRow("a wrong key, then the row's end hides the red marker")
        << QByteArray("abc\r\nde\r\n") << "xbc";
    QTest::addRow("Backspace shortens the typed count")
        << QByteArray("abcdefghijkl\r\n") << "abcdefghij\b\b";
}

void TestKeystrokes::screenShowsTheStatistics()
{
    // The statistics are painted after the box, and what moved, shrank or hid meanwhile
    // leaves nothing behind: once painting is done the window on the screen is what its
    // widgets draw.
    QFETCH(QByteArray, text);
    QFETCH(QString, keys);
    PracticeFixture f;
    f.start(text);
    QVERIFY(QTest::qWaitForWindowExposed(&f.form));
    for (const QChar key : keys)
        f.type(f.currentBox(), key);
    const auto onScreen = [&f] {
        return f.form.backingStore()->handle()->toImage();
    };
    const auto drawn = [&f] {
        return f.form.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    QTRY_VERIFY(onScreen().convertToFormat(QImage::Format_RGB32) == drawn());
}

KEYVALE_TEST_MAIN(TestKeystrokes)
#include "tst_keystrokes.moc"
