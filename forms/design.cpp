// SPDX-License-Identifier: GPL-3.0-or-later
#include "design.h"

#include <QGuiApplication>
#include <QHash>
#include <QPalette>

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

QFont vbFont(const QString &face, double points, Weight weight, Underline underline)
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
    QFont font;
    font.setFamilies(QStringList { face } + standIns.value(face));
    font.setPointSizeF(points);
    font.setWeight(weight == Weight::Bold ? QFont::Bold : QFont::Normal);
    font.setUnderline(underline == Underline::On);
    return font;
}
