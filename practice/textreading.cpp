// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

#include "base/characters.h"
#include "base/checked.h"
#include "base/practicetext.h"
#include "platform/runtime.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

const QString TextFilter = QStringLiteral("文本文件(*.txt) |*.txt|所有文件(*.*)|*.*");
constexpr int LastStoredLine = PracticeText::MaxStoredLines;

QString loadFailure(const PracticeText &text, const QString &fileName)
{
    const QString shownName = QDir::toNativeSeparators(fileName);
    if (text.status == PracticeText::Status::LineTooLong) {
        return QStringLiteral(
            "练习文件中有一行太长，超过 %1 个字符，无法练习：\n\n%2\n\n请选择其他文件。")
            .arg(PracticeText::MaxLineLength)
            .arg(shownName);
    }
    const QString reason = text.status == PracticeText::Status::NotRegularFile
        ? QStringLiteral("这不是普通文件（而是文件夹、管道、套接字或设备）。")
        : text.errorString;
    return QStringLiteral("无法读取练习文件：\n\n%1\n\n%2\n\n请检查文件是否存在、能否读取。")
        .arg(shownName, reason);
}

} // namespace

void Form1::menuOpen_Click()
{
    ChuShiHua();
}

void Form1::chooseTextSource()
{
    // A file that cannot be read is reported and the dialog opens again, until a text
    // loads or the learner cancels into free input.
    for (;;) {
        auto &dialog = ui.CommonDialog1;
        QString folder = QCoreApplication::applicationDirPath();
        if (!m_practiceFile.isEmpty()) {
            folder = QFileInfo(m_practiceFile).absolutePath();
            dialog.selectedFile = std::exchange(m_practiceFile, QString());
        }
        dialog.fileName
            = QDir::toNativeSeparators(folder) + QDir::separator() + QStringLiteral("*.txt");
        dialog.filter = TextFilter;
        dialog.filterIndex = 1;
        dialog.fileName = m_runtime.showOpenDialog(this, dialog.fileName, dialog.filter,
            dialog.filterIndex, std::exchange(dialog.selectedFile, QString()));

        // Cancelling leaves the preset name, which ends in "*.txt".
        const bool chosen = dialog.fileName.right(5).left(1) != QLatin1String("*");
        if (!chosen) {
            enterFreeInput();
            return;
        }
        if (loadText(dialog.fileName))
            return;
    }
}

bool Form1::loadText(const QString &fileName)
{
    const PracticeText text = readPracticeText(fileName);
    if (text.status != PracticeText::Status::Ok) {
        m_runtime.msgBox(this, loadFailure(text, fileName), MsgBoxStyle::Critical, QString());
        return false;
    }

    for (qsizetype n = 0; n < text.lines.size(); ++n) {
        TextLines[size_t(n + 1)] = text.lines.at(n);
        m_module.TotalChars
            = checkedAdd(m_module.TotalChars, qint32(characterCount(text.lines.at(n))));
    }
    ui.lblResult[1]->setCaption(
        QStringLiteral("字符总数：") + QString::number(m_module.TotalChars));
    setWindowTitle(QStringLiteral("Keyvale－") + fileName);
    return true;
}

void Form1::enterFreeInput()
{
    m_runtime.msgBox(this, QStringLiteral("自由录入"), MsgBoxStyle::Plain, QString());
    setWindowTitle(QStringLiteral("Keyvale－自由录入"));
    ui.txtinput[1]->setLocked(false);
    ui.txtinput[1]->setFocus();
    FreeInput = VbTrue;
    CurRow = 1;
    ui.Timer1->setEnabled(true);
}

void Form1::ReadString()
{
    if (!FreeInput && (NextLine > LastStoredLine || TextLines[size_t(NextLine)].isEmpty())) {
        EndPractice();
        return;
    }

    for (int row = 1; row <= 3; ++row)
        ui.txtinput[row]->clear();

    if (!FreeInput) {
        for (int row = 1; row <= 3; ++row) {
            ui.lblShow[row]->setCaption(
                NextLine > LastStoredLine ? QString() : TextLines[size_t(NextLine)]);
            NextLine = checkedAdd<qint16>(NextLine, 1);
        }
    }

    ui.txtinput[1]->setLocked(false);
    ui.txtinput[2]->setLocked(true);
    ui.txtinput[3]->setLocked(true);

    CurRow = 1;
    RowLen = checkedNarrow<qint16>(characterCount(ui.lblShow[1]->caption()));
    CharPos = 1;
    ui.lblSign[1]->setVisible(true);
    ui.txtinput[1]->setFocus();
}

void Form1::AdvanceRow()
{
    ui.lblSign[CurRow]->setVisible(false);
    ui.txtinput[CurRow]->setLocked(true);

    CurRow = checkedAdd<qint16>(CurRow, 1);
    if (CurRow > 3) {
        ReadString();
        return;
    }
    if (!FreeInput && ui.lblShow[CurRow]->caption().isEmpty()) {
        EndPractice();
        return;
    }

    ui.lblSign[CurRow]->setVisible(true);
    ui.txtinput[CurRow]->setLocked(false);
    CharPos = 1;
    ui.txtinput[CurRow]->setFocus();
    RowLen = checkedNarrow<qint16>(characterCount(ui.lblShow[CurRow]->caption()));
}
