// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1ui.h"

#include "design.h"

#include "platform/fixedsizeguard.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QWidget>

using namespace Colour;

namespace {

struct RowDesign
{
    int showTop, showWidth, showHeight;
    int signTop;
    int inputTop; // 0: the row has no typing box
};

// Row 1's text line is narrower and lower than the others in the design; the fourth
// row's controls start hidden or below the client area.
constexpr RowDesign Rows[] = {
    { 2040, 13920, 825, 3120, 3120 },
    { 4268, 14055, 975, 5280, 5382 },
    { 6496, 14055, 975, 7680, 7610 },
    { 8724, 14055, 975, 9840, 0 },
};

// A statistics label: transparent, auto-sized, light orange unless told otherwise.
Label *statLabel(QWidget *form, const QString &caption, int left, int top, const QFont &font,
    quint32 foreColor = LightOrange)
{
    return Label::autoSized(form, left, top, font, foreColor, caption);
}

} // namespace

namespace Ui {

void Form1::setupUi(QWidget *form)
{
    form->setWindowTitle(QStringLiteral("Keyvale"));
    form->setWindowIcon(QIcon(QStringLiteral(":/pictures/keyvale.ico")));
    form->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
        | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    form->setFixedSize(px(ClientWidth), px(ClientHeight));
    keepUnmaximised(form);
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, vbColor(DarkBlue));
    palette.setColor(QPalette::WindowText, vbColor(White));
    form->setPalette(palette);
    form->setAutoFillBackground(true);
    form->setFont(vbFont(QStringLiteral("Arial"), 36));

    const QFont song = captionFont(vbFont(QStringLiteral("宋体"), 14.25));
    const QFont arial = vbFont(QStringLiteral("Arial"), 14.25);

    lblTitle = statLabel(form, QStringLiteral("LarkmoorKeyvale"), 600, 720,
        captionFont(vbFont(QStringLiteral("华文行楷"), 56.25)), SystemColor::HighlightText);

    for (int row = 1; row <= 4; ++row) {
        const RowDesign &design = Rows[row - 1];

        auto *show = new Label(form);
        show->setBackColor(Silver);
        show->setForeColor(PaleGreen);
        show->setGeometry(pxRect(600, design.showTop, design.showWidth, design.showHeight));
        show->setVisible(row != 4);
        lblShow.set(row, show);

        auto *sign = new Label(form);
        sign->setCaption(QStringLiteral(">"));
        sign->setGeometry(pxRect(120, design.signTop, 375, 975));
        lblSign.set(row, sign);

        if (design.inputTop) {
            auto *input = new TypingBox(row, form);
            QPalette boxPalette = input->palette();
            boxPalette.setColor(QPalette::Base, vbColor(DarkBlue));
            boxPalette.setColor(QPalette::Text, vbColor(White));
            input->setPalette(boxPalette);
            input->setGeometry(pxRect(600, design.inputTop, 14055, 975));
            // The window's pop-up menu takes the place of the box's edit menu.
            input->setContextMenuPolicy(Qt::PreventContextMenu);
            // A screen reader names the box by its row and reads the row's text with it.
            // (A buddy would do the naming, but it would take a "&" in the text for a
            // shortcut.)
            input->setAccessibleName(QStringLiteral("第%1行").arg(row));
            QObject::connect(
                show, &Label::captionChanged, input, &QWidget::setAccessibleDescription);
            txtinput.set(row, input);
        }
    }

    lblSpeed1 = statLabel(form, QStringLiteral("速度："), 2400, 120, song);
    lblSpeed3 = statLabel(form, QString(), 3120, 120, arial);
    lblSpeed3->setToolTip(QStringLiteral("速度：个/分钟"));
    lblSpeed2 = statLabel(form, QStringLiteral("个/分钟"), 4200, 120, song);
    lblRight1 = statLabel(form, QStringLiteral("得分："), 2400, 480, song);
    lblRight2 = statLabel(
        form, QString(), 3120, 480, vbFont(QStringLiteral("Arial"), 14.25, Weight::Bold), Orange);
    lblRight2->setToolTip(QStringLiteral("得分，是速度乘以正确率"));
    lblErr1 = statLabel(form, QStringLiteral("失误："), 2400, 840, song);
    lblErr2 = statLabel(form, QString(), 3480, 840, song);
    lblErr2->setToolTip(QStringLiteral("显示错误的字符数"));
    lblErr3 = statLabel(form, QStringLiteral("个"), 4200, 840, song);
    lblTime = statLabel(form, QString(), 8160, 120, arial);
    lblDate = statLabel(form, QString(), 8160, 480, arial);
    lblResult.set(1, statLabel(form, QStringLiteral("字符总数"), 0, 0, arial));
    lblResult.set(2, statLabel(form, QStringLiteral("键入字符"), 0, 360, arial));
    lblResult[2]->setToolTip(QStringLiteral("键入字符lblResult(2)"));
    lblResult.set(3, statLabel(form, QStringLiteral("时间："), 0, 720, arial));

    // Among the focusable controls the design's tab order is row 2, row 1, row 3.
    QWidget::setTabOrder(txtinput[2], txtinput[1]);
    QWidget::setTabOrder(txtinput[1], txtinput[3]);

    Timer1 = new Timer(100, form);
    Timer2 = new Timer(1000, form);
    Timer1->setEnabled(true);
    Timer2->setEnabled(true);

    menuFile = new QMenu(QStringLiteral("文件"), form);
    menuOpen = menuFile->addAction(QStringLiteral("打开&O"));
    menuPause = menuFile->addAction(QStringLiteral("暂停&S"));
    menuContinue = menuFile->addAction(QStringLiteral("继续&C"));
    mnuScore = menuFile->addAction(QStringLiteral("成绩&D"));
    menuExit = menuFile->addAction(QStringLiteral("退出&X"));
}

} // namespace Ui
