// SPDX-License-Identifier: GPL-3.0-or-later
#include "dlgscore.h"

#include "awards.h"
#include "report.h"

#include "base/format.h"
#include "platform/retirewindow.h"
#include "platform/runtime.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QToolButton>

#include <cstdio>
#include <utility>

namespace {

// The working directory. A folder deleted while the program runs has no path any more;
// the system still knows the one it last had. Empty when it is not deleted.
struct WorkingFolder
{
    QString path;
    bool deleted = false;
};

WorkingFolder workingFolder()
{
    const QString current = QDir::currentPath();
    if (!current.isEmpty())
        return { QDir::toNativeSeparators(current), false };
    const QString last = QFile::symLinkTarget(QStringLiteral("/proc/self/cwd"));
    const QString deleted = QStringLiteral(" (deleted)");
    return { QDir::toNativeSeparators(last.endsWith(deleted) ? last.chopped(deleted.size()) : last),
        true };
}

// The tick that ends the program: ten minutes after the dialog opened.
constexpr qint16 LastTick = 10;

} // namespace

dlgScore::dlgScore(Runtime &runtime, const PracticeResult &result)
    : m_runtime(runtime)
    , m_result(result)
{
    ui.setupUi(this);
    // The name box is an ordinary text box; Enter in it saves.
    connect(ui.txtResult, &QLineEdit::returnPressed, this, &dlgScore::cmdSave_Click);
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

void dlgScore::Timer1_Timer()
{
    // Only the tick that reaches the last one acts; the program ends with it, once the
    // result is saved (or the save has failed and said so).
    if (Ticks >= LastTick)
        return;
    ++Ticks;
    if (Ticks == LastTick)
        save([this] { Q_EMIT exitRequested(); });
}

void dlgScore::cmdSave_Click()
{
    save();
}

bool dlgScore::deferredBySave(std::function<void()> command)
{
    if (!m_saving)
        return false;
    m_afterSave.append(std::move(command));
    return true;
}

void dlgScore::save(std::function<void()> then)
{
    if (then)
        m_afterSave.append(std::move(then));
    if (m_saving)
        return;
    if (Saved) {
        // Nothing more to save: what waits runs now.
        saveFinished({});
        return;
    }

    ReportEntry entry;
    entry.date = ui.lblDate->caption();
    entry.time = ui.lblTime->caption();
    for (int i = 0; i <= 4; ++i)
        entry.titles[size_t(i)] = ui.lblTitle[i]->caption();
    entry.values[0] = ui.txtResult->text();
    for (int i = 1; i <= 4; ++i)
        entry.values[size_t(i)] = ui.lblScore[i]->caption();

    // The report lies in the working directory of the moment.
    m_saving = appendWhenFree(
        reportFileName(), reportEntryBytes(entry), reportHeaderBytes(), this,
        [this] { return m_runtime.monotonicMs(); },
        [this](const SaveResult &result) { saveFinished(result); });
}

void dlgScore::saveFinished(const SaveResult &result)
{
    m_saving = false;
    if (result) {
        Saved = VbTrue;
    } else {
        const WorkingFolder folder = workingFolder();
        // One plain line for a teacher or an administrator: the file, and why.
        std::fprintf(stderr, "keyvale: could not save the result to %s: %s\n",
            qPrintable(QDir(folder.path).filePath(reportFileName())),
            qPrintable(
                folder.deleted ? QStringLiteral("its folder has been deleted") : result.reason));
        const QString crlf = QStringLiteral("\r\n");
        const QString shown
            = folder.path + (folder.deleted ? QStringLiteral("（此文件夹已被删除）") : QString());
        m_runtime.msgBox(this,
            QStringLiteral("  无法保存成绩到： ") + crlf + crlf + shown + crlf + crlf
                + QStringLiteral("请检查一下文件(夹)!"),
            MsgBoxStyle::Exclamation, QStringLiteral("提示"));
    }
    for (const auto &command : std::exchange(m_afterSave, {}))
        command();
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
    if (deferredBySave([this] { cmdOK_Click(); }))
        return;
    ClosingByOK = VbTrue;
    close();
    retireWindow(this);
    Q_EMIT accepted();
}

void dlgScore::cmdExit_Click()
{
    if (deferredBySave([this] { cmdExit_Click(); }))
        return;
    Q_EMIT exitRequested();
}

void dlgScore::closeEvent(QCloseEvent *event)
{
    // Closed by other means than OK (its close box), the dialog acts as OK: now, or once
    // the save under way is done, staying open till then.
    if (!ClosingByOK)
        cmdOK_Click();
    event->setAccepted(ClosingByOK);
}
