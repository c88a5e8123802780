// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "base/format.h"
#include "forms/design.h"
#include "platform/runtime.h"

#include <QDir>

#include <cmath>

namespace {

// The window's outer size; its client area is the designed one, inside a frame and
// title bar of 120 x 405 twips.
constexpr int FormWidth = 12000;
constexpr int FormHeight = 9000;

// Rows 1 to 3 are designed wider than the window and are shrunk to fit.
constexpr double RowScale = 0.78125;

QSize scaled(const QSize &size)
{
    return QSize(
        int(std::lround(size.width() * RowScale)), int(std::lround(size.height() * RowScale)));
}

void scaleFont(QWidget *widget)
{
    QFont font = widget->font();
    font.setPointSizeF(font.pointSizeF() * RowScale);
    widget->setFont(font);
}

} // namespace

void Form1::Form_Load()
{
    ui.lblDate->setCaption(formatLongDate(m_runtime.now().date()));

    // The window is as large as the design says; before the window system has framed
    // it, its outer size is taken as the designed one.
    const QSize outer = isVisible() ? frameGeometry().size() : QSize(px(FormWidth), px(FormHeight));
    const QSize screen = m_runtime.screenSize();
    QPoint position = pos();
    if (screen.height() >= outer.height())
        position.setY((screen.height() - outer.height()) / 2);
    if (screen.width() >= outer.width())
        position.setX((screen.width() - outer.width()) / 2);
    if (position != pos())
        move(position);

    for (int row = 1; row <= 3; ++row) {
        for (QWidget *control :
            { static_cast<QWidget *>(ui.txtinput[row]), static_cast<QWidget *>(ui.lblShow[row]) }) {
            control->resize(scaled(control->size()));
            scaleFont(control);
        }
        ui.lblSign[row]->resize(scaled(ui.lblSign[row]->size()));
    }

    ui.lblDate->move(px(8000), px(460));
    ui.lblTime->move(px(8160), px(120));

    m_module.AppPath = QDir::toNativeSeparators(QDir::currentPath());

    show();
    ChuShiHua();
}

void Form1::ChuShiHua()
{
    NextLine = 1;
    m_module.TotalChars = 0;
    m_module.ErrorCount = 0;
    CharPos = 1;
    TypedChars = 0;
    Seconds = 0;
    Minutes = 0;
    m_clockBaseTenths = Tenths;
    m_clock.reset(m_runtime.monotonicMs());
    FreeInput = VbFalse;

    ui.lblSign[1]->setVisible(true);
    for (int row = 2; row <= 4; ++row)
        ui.lblSign[row]->setVisible(false);

    for (int row = 1; row <= 3; ++row) {
        TypingBox *box = ui.txtinput[row];
        box->setEnabled(true);
        box->setLocked(false);
        box->clear();
        box->setLocked(true);
        ui.lblShow[row]->setCaption(QString());
    }

    ui.lblResult[1]->setCaption(QStringLiteral("字符总数："));
    ui.lblResult[2]->setCaption(QStringLiteral("键入字符："));
    ui.lblResult[3]->setCaption(QStringLiteral("时间："));
    ui.lblSpeed3->setCaption(QString());
    ui.lblRight2->setCaption(QString());
    ui.lblErr2->setCaption(QString());

    ui.Timer1->setEnabled(false);
    ui.Timer2->setEnabled(false);

    TextLines.fill(QString());

    chooseTextSource();
    ReadString();

    // A text used up at once has already ended the practice, which disabled this
    // window: its timers stay off.
    if (!isEnabled())
        return;
    ui.Timer1->setEnabled(true);
    ui.Timer2->setEnabled(true);
}
