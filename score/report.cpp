#include "report.h"

#include <QFile>
#include <QStringEncoder>

#include <unistd.h>

namespace {

const QString FieldLead = QStringLiteral("<p><font color =0000FF  > <body bgcolor=008f70>");

} // namespace

QByteArray reportEntryBytes(const ReportEntry &entry)
{
    QStringList lines;
    lines.append(QStringLiteral("<p><font color =0000FF face =arial >"));
    lines.append(entry.date + QLatin1Char(' ') + entry.time + QStringLiteral("</font></p>"));
    for (size_t i = 0; i < entry.titles.size(); ++i) {
        const QString value = i == 0 ? entry.values[i].toHtmlEscaped() : entry.values[i];
        lines.append(FieldLead);
        lines.append(entry.titles[i] + QStringLiteral("  ") + QStringLiteral(" <font color=FFFF00>")
            + value + QStringLiteral("</p>"));
    }
    lines.append(QString());

    QStringEncoder encoder("GB18030");
    QByteArray bytes;
    for (const QString &line : std::as_const(lines)) {
        bytes += encoder.encode(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool appendWhole(const QString &path, const QByteArray &bytes)
{
    const bool existed = QFile::exists(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 sizeBefore = file.size();

    const bool written = file.write(bytes) == bytes.size() && ::fsync(file.handle()) == 0;
    if (!written) {
        // Take back whatever part of the entry reached the file.
        if (existed)
            file.resize(sizeBefore);
        else
            file.remove();
    }
    file.close();
    return written;
}
