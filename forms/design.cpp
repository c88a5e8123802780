// SPDX-License-Identifier: GPL-3.0-or-later
#include "design.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QPalette>
#include <QSet>

#include <cmath>

int px(double twips)
{
    return int(std::lround(twips / TwipsPerPixel));
}

QRect pxRect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(width), px(height));
}

QColor vbColor(quint32 value)
{
    if (isSystemColour(value)) {
        const QPalette palette = QGuiApplication::palette();
        switch (value) {
        case SystemColor::WindowBackground:
            return palette.color(QPalette::Base);
        case SystemColor::WindowText:
            return palette.color(QPalette::Text);
        case SystemColor::HighlightText:
            return palette.color(QPalette::HighlightedText);
        case SystemColor::ButtonFace:
            return palette.color(QPalette::Button);
        case SystemColor::ButtonText:
            return palette.color(QPalette::ButtonText);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

bool isSystemColour(quint32 value)
{
    return value & 0x80000000u;
}

QColor vbColorBeside(quint32 value, bool otherFixed)
{
    if (!isSystemColour(value) || !otherFixed)
        return vbColor(value);
    // The system colours of the classic desktop the designs were drawn on.
    switch (value) {
    case SystemColor::WindowBackground:
    case SystemColor::HighlightText:
        return QColor(255, 255, 255);
    case SystemColor::ButtonFace:
        return QColor(192, 192, 192);
    default:
        return QColor(0, 0, 0);
    }
}

namespace {

// The families of a list that are installed, in order; the list as it is when none is.
// Qt looks an absent family up again for every face, size and script it is asked for,
// and each time sorts all the installed fonts: with a desktop's thousands of fonts
// that is most of the program's start. Leaving absent families out changes nothing
// that is drawn: Qt takes the first installed family of a list, and a missing glyph
// from the next installed one that has it, then from its own fallbacks.
QStringList installedFamilies(const QStringList &families)
{
    static const QSet<QString> installed = [] {
        QSet<QString> names;
        for (const QString &family : QFontDatabase::families()) {
            // A family offered by several foundries is listed as "Family [Foundry]".
            const qsizetype foundry = family.indexOf(QLatin1String(" ["));
            names.insert(foundry < 0 ? family : family.left(foundry));
        }
        return names;
    }();
    QStringList found;
    for (const QString &family : families) {
        if (installed.contains(family))
            found.append(family);
    }
    return found.isEmpty() ? families : found;
}

} // namespace

QStringList designedFamilies(const QString &face)
{
    // Installed faces that stand in for the designed ones, closest first: a metric-
    // compatible sans for Arial, a Ming (Song) face for 宋体, a Hei (sans) face for 黑体
    // and a brush (Kai) face for the calligraphic 华文行楷. Each list ends in a face
    // that covers Chinese, so no caption falls back to boxes.
    static const QHash<QString, QStringList> standIns {
        { QStringLiteral("Arial"),
            { QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei") } },
        { QStringLiteral("宋体"),
            { QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("WenQuanYi Micro Hei") } },
        { QStringLiteral("黑体"),
            { QStringLiteral("SimHei"), QStringLiteral("WenQuanYi Micro Hei"),
                QStringLiteral("Noto Sans CJK SC") } },
        { QStringLiteral("华文行楷"),
            { QStringLiteral("STXingkai"), QStringLiteral("AR PL UKai CN"),
                QStringLiteral("WenQuanYi Micro Hei") } },
    };
    return QStringList { face } + standIns.value(face);
}

QFont captionFont(QFont font)
{
    font.setFamilies(font.families().mid(0, 1));
    return font;
}

QFont vbFont(const QString &face, double points, Weight weight, Underline underline)
{
    QFont font;
    font.setFamilies(installedFamilies(designedFamilies(face)));
    font.setPointSizeF(points);
    font.setWeight(weight == Weight::Bold ? QFont::Bold : QFont::Normal);
    font.setUnderline(underline == Underline::On);
    return font;
}
