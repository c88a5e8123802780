// SPDX-License-Identifier: GPL-3.0-or-later
#include "practicefixture.h"

#include "forms/design.h"
#include "forms/dlgscoreui.h"
#include "platform/fixedsizeguard.h"
#include "platform/qtruntime.h"
#include "platform/standardicons.h"

#include <QAccessible>
#include <QAction>
#include <QGlyphRun>
#include <QMenu>
#include <QScopeGuard>
#include <QStyleFactory>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QToolButton>

class TestForm1 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void controlsAsCreated_data();
    void controlsAsCreated();
    void window();
    void colours_data();
    void colours();
    void fontsAndToolTips();
    void designedFacesDrawn_data();
    void designedFacesDrawn();
    void standardIconsAsDrawn_data();
    void standardIconsAsDrawn();
    void timersAndMenu();
    void controlArrays();
    void autoSizeGrowsToTheRight();
    void formLoadLayout_data();
    void formLoadLayout();
    void formLoadCentres_data();
    void formLoadCentres();
    void formLoadRecordsDateAndFolder();
    void screenReaderNames();
};

namespace {

QWidget *control(const Form1 &form, const QString &name)
{
    const Ui::Form1 &ui = form.ui;
    const QHash<QString, QWidget *> byName {
        { "lblTitle", ui.lblTitle },
        { "lblSpeed1", ui.lblSpeed1 },
        { "lblSpeed3", ui.lblSpeed3 },
        { "lblSpeed2", ui.lblSpeed2 },
        { "lblRight1", ui.lblRight1 },
        { "lblRight2", ui.lblRight2 },
        { "lblErr1", ui.lblErr1 },
        { "lblErr2", ui.lblErr2 },
        { "lblErr3", ui.lblErr3 },
        { "lblTime", ui.lblTime },
        { "lblDate", ui.lblDate },
        { "lblResult(1)", ui.lblResult[1] },
        { "lblResult(2)", ui.lblResult[2] },
        { "lblResult(3)", ui.lblResult[3] },
        { "lblShow(1)", ui.lblShow[1] },
        { "lblShow(2)", ui.lblShow[2] },
        { "lblShow(3)", ui.lblShow[3] },
        { "lblShow(4)", ui.lblShow[4] },
        { "lblSign(1)", ui.lblSign[1] },
        { "lblSign(2)", ui.lblSign[2] },
        { "lblSign(3)", ui.lblSign[3] },
        { "lblSign(4)", ui.lblSign[4] },
        { "txtinput(1)", ui.txtinput[1] },
        { "txtinput(2)", ui.txtinput[2] },
        { "txtinput(3)", ui.txtinput[3] },
    };
    return byName.value(name);
}

QString captionOf(QWidget *widget)
{
    if (auto *label = qobject_cast<Label *>(widget))
        return label->caption();
    return qobject_cast<QLineEdit *>(widget)->text();
}

} // namespace

void TestForm1::controlsAsCreated_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips"); // left, top, width, height; width 0: auto-sized
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("hidden");
    QTest::addRow("lblShow(1)") << "lblShow(1)" << QRect(600, 2040, 13920, 825) << "" << false;
    QTest::addRow("lblShow(2)") << "lblShow(2)" << QRect(600, 4268, 14055, 975) << "" << false;
    QTest::addRow("lblShow(3)") << "lblShow(3)" << QRect(600, 6496, 14055, 975) << "" << false;
    QTest::addRow("lblShow(4)") << "lblShow(4)" << QRect(600, 8724, 14055, 975) << "" << true;
    QTest::addRow("lblSign(1)") << "lblSign(1)" << QRect(120, 3120, 375, 975) << ">" << false;
    QTest::addRow("lblSign(2)") << "lblSign(2)" << QRect(120, 5280, 375, 975) << ">" << false;
    QTest::addRow("lblSign(3)") << "lblSign(3)" << QRect(120, 7680, 375, 975) << ">" << false;
    QTest::addRow("lblSign(4)") << "lblSign(4)" << QRect(120, 9840, 375, 975) << ">" << false;
    QTest::addRow("txtinput(1)") << "txtinput(1)" << QRect(600, 3120, 14055, 975) << "" << false;
    QTest::addRow("txtinput(2)") << "txtinput(2)" << QRect(600, 5382, 14055, 975) << "" << false;
    QTest::addRow("txtinput(3)") << "txtinput(3)" << QRect(600, 7610, 14055, 975) << "" << false;
    QTest::addRow("lblTitle") << "lblTitle" << QRect(600, 720, 0, 0) << "LarkmoorKeyvale" << false;
    QTest::addRow("lblSpeed1") << "lblSpeed1" << QRect(2400, 120, 0, 0) << "速度：" << false;
    QTest::addRow("lblSpeed3") << "lblSpeed3" << QRect(3120, 120, 0, 0) << "" << false;
    QTest::addRow("lblSpeed2") << "lblSpeed2" << QRect(4200, 120, 0, 0) << "个/分钟" << false;
    QTest::addRow("lblRight1") << "lblRight1" << QRect(2400, 480, 0, 0) << "得分：" << false;
    QTest::addRow("lblRight2") << "lblRight2" << QRect(3120, 480, 0, 0) << "" << false;
    QTest::addRow("lblErr1") << "lblErr1" << QRect(2400, 840, 0, 0) << "失误：" << false;
    QTest::addRow("lblErr2") << "lblErr2" << QRect(3480, 840, 0, 0) << "" << false;
    QTest::addRow("lblErr3") << "lblErr3" << QRect(4200, 840, 0, 0) << "个" << false;
    QTest::addRow("lblTime") << "lblTime" << QRect(8160, 120, 0, 0) << "" << false;
    QTest::addRow("lblDate") << "lblDate" << QRect(8160, 480, 0, 0) << "" << false;
    QTest::addRow("lblResult(1)") << "lblResult(1)" << QRect(0, 0, 0, 0) << "字符总数" << false;
    QTest::addRow("lblResult(2)") << "lblResult(2)" << QRect(0, 360, 0, 0) << "键入字符" << false;
    QTest::addRow("lblResult(3)") << "lblResult(3)" << QRect(0, 720, 0, 0) << "时间：" << false;
}

void TestForm1::controlsAsCreated()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    QFETCH(bool, hidden);

    PracticeFixture f;
    QWidget *widget = control(f.form, name);
    QVERIFY(widget);
    QCOMPARE(widget->pos(), QPoint(px(twips.x()), px(twips.y())));
    if (twips.width())
        QCOMPARE(widget->size(), QSize(px(twips.width()), px(twips.height())));
    else
        QCOMPARE(widget->size(), widget->sizeHint()); // auto-sized to its caption
    QCOMPARE(captionOf(widget), caption);
    QCOMPARE(widget->isHidden(), hidden);
}

void TestForm1::window()
{
    PracticeFixture f;
    QCOMPARE(f.form.windowTitle(), QStringLiteral("Keyvale"));
    QCOMPARE(f.form.size(), QSize(792, 573)); // 11880 x 8595 twips
    QCOMPARE(f.form.minimumSize(), f.form.maximumSize());
    const Qt::WindowFlags flags = f.form.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    // A title bar that offers maximising anyway is undone, for fixed-size windows only.
    QWidget resizable;
    keepUnmaximised(&resizable);
    for (QWidget *window : { static_cast<QWidget *>(&f.form), &resizable })
        window->setWindowState(Qt::WindowMaximized);
    QVERIFY(!f.form.isMaximized() && resizable.isMaximized());
    // A message box is wide enough for its whole title in such a title bar, centred
    // clear of 77 pixels of buttons and margins on the right.
    QtRuntime runtime;
    int boxWidth = 0;
    QTimer::singleShot(0, this, [&] {
        boxWidth = QApplication::activeModalWidget()->width();
        QApplication::activeModalWidget()->close();
    });
    runtime.msgBox(
        nullptr, QStringLiteral("任务失败！！"), MsgBoxStyle::Critical, QStringLiteral("错误"));
    QFont titleFont;
    titleFont.setPixelSize(14);
    QVERIFY(boxWidth >= QFontMetrics(titleFont).horizontalAdvance(QStringLiteral("错误")) + 2 * 77);
    // Nothing but the menu and the fourth row starts hidden.
    QVERIFY(f.form.ui.menuFile->isHidden());
}

void TestForm1::colours_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addRow("the default theme") << false;
    QTest::addRow("a dark theme") << true;
}

void TestForm1::colours()
{
    QFETCH(bool, dark);
    const QPalette light = QGuiApplication::palette();
    QPalette night(QColor(50, 50, 50)); // light text on dark buttons and windows
    night.setColor(QPalette::HighlightedText, QColor(20, 20, 20));
    QApplication::setPalette(dark ? night : light);
    const auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
    PracticeFixture f;
    const Ui::Form1 &ui = f.form.ui;
    QCOMPARE(f.form.palette().color(QPalette::Window), QColor(0, 0, 192));
    QCOMPARE(ui.lblShow[1]->palette().color(QPalette::Window), QColor(192, 192, 192));
    QCOMPARE(ui.lblShow[1]->palette().color(QPalette::WindowText), QColor(192, 255, 192));
    QVERIFY(ui.lblShow[1]->autoFillBackground());
    QCOMPARE(ui.txtinput[2]->palette().color(QPalette::Base), QColor(0, 0, 192));
    QCOMPARE(ui.txtinput[2]->palette().color(QPalette::Text), QColor(255, 255, 255));
    // Markers use the system's button colours, resolved from the palette.
    QCOMPARE(ui.lblSign[1]->backColor(), SystemColor::ButtonFace);
    QCOMPARE(ui.lblSign[1]->palette().color(QPalette::Window),
        QGuiApplication::palette().color(QPalette::Button));
    QCOMPARE(ui.lblSign[1]->palette().color(QPalette::WindowText),
        QGuiApplication::palette().color(QPalette::ButtonText));
    QCOMPARE(ui.lblSpeed1->palette().color(QPalette::WindowText), QColor(255, 192, 128));
    QVERIFY(!ui.lblSpeed1->autoFillBackground());
    QCOMPARE(ui.lblRight2->palette().color(QPalette::WindowText), QColor(255, 128, 0));
    // A system colour beside a fixed one keeps its classic value, whatever the theme:
    // the title on the window's blue, a marker's ">" on red, a caption on a coloured button.
    QCOMPARE(ui.lblTitle->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    ui.lblSign[1]->setBackColor(0x000000FF);
    QCOMPARE(ui.lblSign[1]->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    QWidget dialog;
    Ui::dlgScore score;
    score.setupUi(&dialog);
    QCOMPARE(score.cmdScore->palette().color(QPalette::ButtonText), QColor(0, 0, 0));
    QCOMPARE(score.cmdOK->palette().color(QPalette::ButtonText),
        QGuiApplication::palette().color(QPalette::ButtonText));
}

void TestForm1::fontsAndToolTips()
{
    PracticeFixture f;
    const Ui::Form1 &ui = f.form.ui;
    // The faces drawn are those the designed lists give.
    const auto designed = [](QFont font, const char *face) {
        font.setFamilies(designedFamilies(QString::fromUtf8(face)));
        return QFontInfo(font).family();
    };
    QCOMPARE(QFontInfo(f.form.font()).family(), designed(f.form.font(), "Arial"));
    QCOMPARE(f.form.font().pointSizeF(), 36.0);
    QCOMPARE(ui.txtinput[1]->font().pointSizeF(), 36.0);
    QCOMPARE(ui.lblShow[4]->font().pointSizeF(), 36.0);
    QCOMPARE(QFontInfo(ui.lblTitle->font()).family(), designed(ui.lblTitle->font(), "华文行楷"));
    QCOMPARE(ui.lblTitle->font().pointSizeF(), 56.25);
    QCOMPARE(QFontInfo(ui.lblSpeed1->font()).family(), designed(ui.lblSpeed1->font(), "宋体"));
    QCOMPARE(ui.lblSpeed1->font().pointSizeF(), 14.25);
    QCOMPARE(ui.lblRight2->font().weight(), QFont::Bold);
    QCOMPARE(ui.lblSpeed3->font().weight(), QFont::Normal);
    // Every face draws Chinese captions.
    QVERIFY(QFontMetrics(ui.lblTitle->font()).inFontUcs4(U'练'));
    QCOMPARE(ui.lblSpeed3->toolTip(), QStringLiteral("速度：个/分钟"));
    QCOMPARE(ui.lblRight2->toolTip(), QStringLiteral("得分，是速度乘以正确率"));
    QCOMPARE(ui.lblErr2->toolTip(), QStringLiteral("显示错误的字符数"));
    QCOMPARE(ui.lblResult[2]->toolTip(), QStringLiteral("键入字符lblResult(2)"));
}

void TestForm1::designedFacesDrawn_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("captions"); // the design's own captions, or any text
    for (const char *face : { "Arial", "宋体", "黑体", "华文行楷" })
        QTest::addRow("%s", face) << QString::fromUtf8(face) << false;
    for (const char *face : { "宋体", "黑体", "华文行楷" })
        QTest::addRow("%s, captions", face) << QString::fromUtf8(face) << true;
}

void TestForm1::designedFacesDrawn()
{
    // Every glyph of a text in every script the shipped texts use (and some they do not),
    // drawn in a designed face, comes from the same font as from the whole designed list.
    QFETCH(QString, face);
    QFETCH(bool, captions);
    const QString text = captions
        ? QStringLiteral("LarkmoorKeyvale 速度：个/分钟 得分：失误：姓名:字数:错误: 0123456789.")
        : QStringLiteral("Keyvale 0123 ,.;:!?\"'()<>[]{}@#$%^&*_+=~ 你好，世界。“练习”（１２）"
                         "é ü ß Ωλ Жд € © ° № ① ← ★ ♪ 𠀀𠀁 😀");
    QFont designed = vbFont(face, 14.25);
    const QFont resolved = captions ? captionFont(designed) : designed;
    designed.setFamilies(designedFamilies(face));
    const auto glyphs = [&text](const QFont &font) {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QStringList drawn;
        for (const QGlyphRun &run : layout.glyphRuns()) {
            QStringList indexes;
            for (const quint32 index : run.glyphIndexes())
                indexes.append(QString::number(index));
            drawn.append(
                run.rawFont().familyName() + QLatin1Char(':') + indexes.join(QLatin1Char(',')));
        }
        return drawn;
    };
    QCOMPARE(glyphs(resolved), glyphs(designed));
}

void TestForm1::standardIconsAsDrawn_data()
{
    QTest::addColumn<int>("icon");
    using S = QStyle;
    for (const S::StandardPixmap icon :
        { S::SP_DialogOkButton, S::SP_DialogCancelButton, S::SP_DialogOpenButton,
            S::SP_FileDialogNewFolder, S::SP_FileDialogDetailedView, S::SP_FileDialogListView,
            S::SP_FileDialogToParent, S::SP_FileDialogBack, S::SP_ArrowBack, S::SP_ArrowForward,
            S::SP_DirIcon, S::SP_DirHomeIcon, S::SP_DirClosedIcon, S::SP_DirOpenIcon,
            S::SP_DriveHDIcon, S::SP_ComputerIcon, S::SP_FileIcon })
        QTest::addRow("icon %d", int(icon)) << int(icon);
}

void TestForm1::standardIconsAsDrawn()
{
    // With no desktop icon theme, the icons made cheaply are the style's own, as drawn at
    // 16 and 32 pixels, enabled and disabled, closed and open.
    QFETCH(int, icon);
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("hicolor"));
    const std::unique_ptr<QStyle> own(QStyleFactory::create(QStringLiteral("fusion")));
    const StandardIconStyle cheap(QStyleFactory::create(QStringLiteral("fusion")));
    const auto sp = QStyle::StandardPixmap(icon);
    const QIcon expected = own->standardIcon(sp, nullptr, nullptr);
    const QIcon made = cheap.standardIcon(sp, nullptr, nullptr);
    QIcon::setThemeName(theme);
    for (const int size : { 16, 32 }) {
        for (const QIcon::Mode mode : { QIcon::Normal, QIcon::Disabled }) {
            for (const QIcon::State state : { QIcon::Off, QIcon::On }) {
                QCOMPARE(made.pixmap(QSize(size, size), mode, state).toImage(),
                    expected.pixmap(QSize(size, size), mode, state).toImage());
            }
        }
    }
}

void TestForm1::timersAndMenu()
{
    PracticeFixture f;
    const Ui::Form1 &ui = f.form.ui;
    QCOMPARE(ui.Timer1->interval(), 100);
    QCOMPARE(ui.Timer2->interval(), 1000);
    QVERIFY(ui.Timer1->isEnabled());
    QVERIFY(ui.Timer2->isEnabled());

    QCOMPARE(ui.menuFile->title(), QStringLiteral("文件"));
    QStringList captions;
    for (QAction *action : ui.menuFile->actions()) {
        captions.append(action->text());
        QVERIFY(action->isEnabled() && action->isVisible() && !action->isCheckable());
        QVERIFY(action->shortcut().isEmpty());
    }
    QCOMPARE(captions, QStringList({ "打开&O", "暂停&S", "继续&C", "成绩&D", "退出&X" }));
    QCOMPARE(ui.menuFile->actions().at(0), ui.menuOpen);
    QCOMPARE(ui.menuFile->actions().at(4), ui.menuExit);
}

void TestForm1::controlArrays()
{
    PracticeFixture f;
    const Ui::Form1 &ui = f.form.ui;
    QVERIFY_THROWS_EXCEPTION(RuntimeError, ui.lblShow[0]);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, ui.txtinput[4]);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, ui.lblResult[0]);
    QCOMPARE(ui.txtinput[3]->index(), 3);
    // Focus moves row 2, row 1, row 3.
    const auto nextFocusable = [](QWidget *widget) {
        do
            widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    QCOMPARE(nextFocusable(ui.txtinput[2]), ui.txtinput[1]);
    QCOMPARE(nextFocusable(ui.txtinput[1]), ui.txtinput[3]);
    QCOMPARE(ui.lblShow[1]->focusPolicy(), Qt::NoFocus);
}

void TestForm1::autoSizeGrowsToTheRight()
{
    PracticeFixture f;
    Label *label = f.form.ui.lblSpeed3;
    const QPoint topLeft = label->pos();
    label->setCaption(QStringLiteral("1"));
    const int narrow = label->width();
    label->setCaption(QStringLiteral("123456.78"));
    QVERIFY(label->width() > narrow);
    QCOMPARE(label->pos(), topLeft);
    label->setCaption(QStringLiteral("1"));
    QCOMPARE(label->width(), narrow);
    // The label fits its caption exactly as QLabel's own size hint would.
    for (const QString &caption :
        { QString(), QStringLiteral("键入字符：123"), QStringLiteral("时间：0:7:2") }) {
        f.form.ui.lblResult[2]->setCaption(caption);
        QCOMPARE(f.form.ui.lblResult[2]->size(), f.form.ui.lblResult[2]->sizeHint());
    }

    // Fixed-size labels keep their size.
    Label *row = f.form.ui.lblShow[1];
    const QSize size = row->size();
    row->setCaption(QString(200, QLatin1Char('m')));
    QCOMPARE(row->size(), size);
}

void TestForm1::formLoadLayout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("twips"); // design left, top, width, height
    QTest::addColumn<bool>("scaled");
    QTest::addRow("lblShow(1)") << "lblShow(1)" << QRect(600, 2040, 13920, 825) << true;
    QTest::addRow("lblShow(2)") << "lblShow(2)" << QRect(600, 4268, 14055, 975) << true;
    QTest::addRow("lblShow(3)") << "lblShow(3)" << QRect(600, 6496, 14055, 975) << true;
    QTest::addRow("lblShow(4)") << "lblShow(4)" << QRect(600, 8724, 14055, 975) << false;
    QTest::addRow("lblSign(1)") << "lblSign(1)" << QRect(120, 3120, 375, 975) << true;
    QTest::addRow("lblSign(3)") << "lblSign(3)" << QRect(120, 7680, 375, 975) << true;
    QTest::addRow("lblSign(4)") << "lblSign(4)" << QRect(120, 9840, 375, 975) << false;
    QTest::addRow("txtinput(1)") << "txtinput(1)" << QRect(600, 3120, 14055, 975) << true;
    QTest::addRow("txtinput(3)") << "txtinput(3)" << QRect(600, 7610, 14055, 975) << true;
}

void TestForm1::formLoadLayout()
{
    QFETCH(QString, name);
    QFETCH(QRect, twips);
    QFETCH(bool, scaled);

    PracticeFixture f;
    f.load();
    QWidget *widget = control(f.form, name);
    const double factor = scaled ? 0.78125 : 1.0;
    QCOMPARE(widget->pos(), QPoint(px(twips.x()), px(twips.y())));
    QCOMPARE(widget->size(), QSize(px(twips.width() * factor), px(twips.height() * factor)));
    if (!name.startsWith(QLatin1String("lblSign")))
        QCOMPARE(widget->font().pointSizeF(), 36.0 * factor);
}

void TestForm1::formLoadCentres_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<QPoint>("before");
    QTest::addColumn<QPoint>("after");
    // The window's outer size is 12000 x 9000 twips: 800 x 600 pixels.
    QTest::addRow("large screen") << QSize(1280, 1024) << QPoint(3, 4) << QPoint(240, 212);
    QTest::addRow("odd difference rounds down")
        << QSize(1025, 769) << QPoint(3, 4) << QPoint(112, 84);
    QTest::addRow("screen exactly the window's size")
        << QSize(800, 600) << QPoint(3, 4) << QPoint(0, 0);
    QTest::addRow("screen too low keeps the top")
        << QSize(1024, 599) << QPoint(3, 4) << QPoint(112, 4);
    QTest::addRow("screen too narrow keeps the left")
        << QSize(799, 768) << QPoint(3, 4) << QPoint(3, 84);
    QTest::addRow("screen too small keeps both") << QSize(640, 480) << QPoint(3, 4) << QPoint(3, 4);
}

void TestForm1::formLoadCentres()
{
    QFETCH(QSize, screen);
    QFETCH(QPoint, before);
    QFETCH(QPoint, after);

    PracticeFixture f;
    f.runtime.screen = screen;
    f.form.move(before);
    f.load();
    QCOMPARE(f.form.pos(), after);
}

void TestForm1::formLoadRecordsDateAndFolder()
{
    PracticeFixture f;
    f.runtime.clock = QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59));
    const QString folder = QDir::currentPath();
    f.load();
    QCOMPARE(f.form.ui.lblDate->caption(), QStringLiteral("2026 - December - 06-Sunday"));
    QCOMPARE(f.form.ui.lblDate->pos(), QPoint(px(8000), px(460)));
    QCOMPARE(f.form.ui.lblTime->pos(), QPoint(px(8160), px(120)));
    QCOMPARE(f.module.AppPath, folder);
    QVERIFY(f.form.isVisible());

    // A restart sets neither the date nor the folder again.
    f.runtime.clock = f.runtime.clock.addDays(1);
    QVERIFY(QDir::setCurrent(f.dir.path()));
    f.form.menuOpen_Click();
    QVERIFY(QDir::setCurrent(folder));
    QCOMPARE(f.form.ui.lblDate->caption(), QStringLiteral("2026 - December - 06-Sunday"));
    QCOMPARE(f.module.AppPath, folder);
}

void TestForm1::screenReaderNames()
{
    PracticeFixture f;
    f.start("A & B\r\nsecond\r\nthird\r\nfourth\r\n");
    const auto read = [](QWidget *widget, QAccessible::Text text) {
        return QAccessible::queryAccessibleInterface(widget)->text(text);
    };
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(read(f.box(row), QAccessible::Name), QStringLiteral("第%1行").arg(row));
    // The row's text, "&" and all, is the box's description, and follows the rows.
    QCOMPARE(read(f.box(1), QAccessible::Description), QStringLiteral("A & B"));
    QCOMPARE(read(f.box(3), QAccessible::Description), QStringLiteral("third"));
    f.type(f.box(1), QStringLiteral("A & B"));
    f.type(f.box(2), QStringLiteral("second"));
    f.type(f.box(3), QStringLiteral("third"));
    QCOMPARE(read(f.box(1), QAccessible::Description), QStringLiteral("fourth"));
    QCOMPARE(read(f.box(2), QAccessible::Description), QString());
    QCOMPARE(read(f.form.ui.lblShow[1], QAccessible::Name), QStringLiteral("fourth"));
}

KEYVALE_TEST_MAIN(TestForm1)
#include "tst_form1.moc"
