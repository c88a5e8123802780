// SPDX-License-Identifier: GPL-3.0-or-later
#include "dlgscore.h"

#include "awards.h"
#include "report.h"

#include "base/format.h"
#include "platform/runtime.h"

#include <QCloseEvent>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>

namespace {

// The working directory, for the learner to look at. A folder deleted while the
// program runs has no path any more; the system still knows the one it last had.
QString workingFolderForMessages()
{
    const QString current = QDir::currentPath();
    if (!current.isEmpty())
        return QDir::toNativeSeparators(current);
    const QString last = QFile::symLinkTarget(QStringLiteral("/proc/self/cwd"));
    const QString deleted = QStringLiteral(" (deleted)");
    return QDir::toNativeSeparators(last.endsWith(deleted) ? last.chopped(deleted.size()) : last)
        + QStringLiteral("（此文件夹已被删除）");
}

constexpr char32_t Enter = 13;
// The tick that ends the program: ten minutes after the dialog opened.
constexpr qint16 LastTick = 10;

} // namespace

dlgScore::dlgScore(Runtime &runtime, const PracticeResult &result)
    : m_runtime(runtime)
    , m_result(result)
{
    ui.setupUi(this);
    // The name box is an ordinary text box; of its keys only Enter matters here.
    connect(ui.txtResult, &QLineEdit::returnPressed, this, [this] {
        char32_t key = Enter;
        txtResult_KeyPress(key);
    });
    connect(ui.cmdSave, &QToolButton::clicked, this, &dlgScore::cmdSave_Click);
    connect(ui.cmdScore, &QToolButton::clicked, this, &dlgScore::cmdScore_Click);
    connect(ui.cmdOK, &QToolButton::clicked, this, &dlgScore::cmdOK_Click);
    connect(ui.cmdExit, &QToolButton::clicked, this, &dlgScore::cmdExit_Click);
    connect(ui.Timer1, &QTimer::timeout, this, &dlgScore::Timer1_Timer);
}

void dlgScore::Form_Load()
{
    show();
    Saved = VbFalse;
    ClosingByOK = VbFalse;

    ui.txtResult->selectAll();
    ui.txtResult->setFocus();

    // One reading of the clock, the moment the result was shown, for all three.
    const QDateTime now = m_runtime.now();
    ui.lblDate->setCaption(formatLongDate(now.date()));
    ui.lblTime->setCaption(formatTime24(now.time()));

    ui.lblScore[1]->setCaption(QString::number(m_result.totalChars));
    ui.lblScore[2]->setCaption(m_result.speed);
    ui.lblScore[3]->setCaption(m_result.score);
    ui.lblScore[4]->setCaption(QString::number(m_result.errorCount));

    const float speed = float(val(ui.lblScore[2]->caption()));
    const float score = float(val(ui.lblScore[3]->caption()));

    m_runtime.randomize(now.time().msecsSinceStartOfDay() / 1000.0);
    const int chosen = awardPicture(float(m_runtime.rnd()));

    const Awards awards = awardsFor(score, speed, m_result.errorCount, m_result.totalChars);
    if (awards.frameShown)
        ui.picFrame1->setVisible(true);
    const QPixmap picture = ui.Image2[chosen]->pixmap();
    const QString shows = ui.Image2[chosen]->accessibleName();
    for (int cell = 1; cell <= awards.cells; ++cell) {
        ui.Image2[cell]->setPixmap(picture);
        ui.Image2[cell]->setAccessibleName(shows);
        ui.Image2[cell]->setVisible(true);
    }
}

void dlgScore::txtResult_KeyPress(char32_t &KeyAscii)
{
    if (KeyAscii == Enter)
        cmdSave_Click();
}

void dlgScore::Timer1_Timer()
{
    // Only the tick that reaches the last one acts; the program ends with it.
    if (Ticks >= LastTick)
        return;
    ++Ticks;
    if (Ticks == LastTick) {
        cmdSave_Click();
        Q_EMIT exitRequested();
    }
}

void dlgScore::cmdSave_Click()
{
    if (Saved)
        return;

    ReportEntry entry;
    entry.date = ui.lblDate->caption();
    entry.time = ui.lblTime->caption();
    for (int i = 0; i <= 4; ++i)
        entry.titles[size_t(i)] = ui.lblTitle[i]->caption();
    entry.values[0] = ui.txtResult->text();
    for (int i = 1; i <= 4; ++i)
        entry.values[size_t(i)] = ui.lblScore[i]->caption();

    // The report lies in the working directory of the moment.
    const SaveResult result
        = appendWhole(reportFileName(), reportEntryBytes(entry), reportHeaderBytes());
    if (result) {
        Saved = VbTrue;
        return;
    }
    const QString folder = workingFolderForMessages();
    qWarning().noquote() << QStringLiteral("keyvale: the result could not be saved to %1: %2")
                                .arg(folder + QDir::separator() + reportFileName(), result.error);
    const QString crlf = QStringLiteral("\r\n");
    m_runtime.msgBox(this,
        QStringLiteral("  无法保存成绩到： ") + crlf + crlf + folder + crlf + crlf
            + QStringLiteral("请检查一下文件(夹)!"),
        MsgBoxStyle::Exclamation, QStringLiteral("提示"));
}

void dlgScore::cmdScore_Click()
{
    // The report Save writes: in the working directory. A desktop's viewer "opens" a
    // missing file without complaint, so its absence is checked first.
    const QString path
        = QDir::toNativeSeparators(QDir::current().absoluteFilePath(reportFileName()));
    const auto missing = [this] {
        m_runtime.msgBox(this, QStringLiteral("成绩单不存在！"), MsgBoxStyle::Plain, QString());
    };
    if (!QFileInfo::exists(path)) {
        missing();
        return;
    }
    m_runtime.openInViewer(path, this, [missing](bool shown) {
        if (!shown)
            missing();
    });
}

void dlgScore::cmdOK_Click()
{
    ClosingByOK = VbTrue;
    close();
    deleteLater();
    Q_EMIT accepted();
}

void dlgScore::cmdExit_Click()
{
    Q_EMIT exitRequested();
}

void dlgScore::closeEvent(QCloseEvent *event)
{
    if (!ClosingByOK)
        cmdOK_Click();
    event->accept();
}
