// SPDX-License-Identifier: GPL-3.0-or-later
#include "characters.h"

namespace {

// The number of UTF-16 units of the character that starts at index i.
qsizetype unitsAt(QStringView text, qsizetype i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

} // namespace

qsizetype characterCount(QStringView text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); i += unitsAt(text, i))
        ++count;
    return count;
}

QString characterAt(QStringView text, qsizetype position)
{
    qsizetype i = 0;
    for (; i < text.size() && position > 1; --position)
        i += unitsAt(text, i);
    if (i >= text.size() || position < 1)
        return QString();
    return text.mid(i, unitsAt(text, i)).toString();
}

void replaceLoneSurrogates(QString &text)
{
    for (qsizetype i = 0; i < text.size(); i += unitsAt(text, i)) {
        if (text.at(i).isSurrogate() && unitsAt(text, i) == 1)
            text[i] = QChar::ReplacementCharacter;
    }
}
