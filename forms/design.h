// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Units of the window designs.
//
// Positions and sizes are given in twips, 15 to a logical pixel, so Qt's high-DPI
// scaling enlarges them on dense screens. Colours are 0x00BBGGRR values; 0x800000nn
// stands for one of the window system's colours, taken from the palette (or, paired
// with a fixed colour, its classic value). Fonts name a face that may not be installed,
// followed by stand-ins with the same character coverage; of these the installed ones
// are given to Qt.

#include <QColor>
#include <QFont>
#include <QRect>

constexpr int TwipsPerPixel = 15;

// Twips to logical pixels, to the nearest pixel.
int px(double twips);
QRect pxRect(int left, int top, int width, int height);

namespace SystemColor {
constexpr quint32 WindowBackground = 0x80000005;
constexpr quint32 WindowText = 0x80000008;
constexpr quint32 HighlightText = 0x8000000E;
constexpr quint32 ButtonFace = 0x8000000F;
constexpr quint32 ButtonText = 0x80000012;
} // namespace SystemColor

// The colours the two windows use, as 0x00BBGGRR values.
namespace Colour {
constexpr quint32 DarkBlue = 0x00C00000;
constexpr quint32 White = 0x00FFFFFF;
constexpr quint32 Silver = 0x00C0C0C0;
constexpr quint32 PaleGreen = 0x00C0FFC0;
constexpr quint32 LightOrange = 0x0080C0FF;
constexpr quint32 Orange = 0x000080FF;
constexpr quint32 Red = 0x000000FF;
constexpr quint32 Green = 0x0000C000;
constexpr quint32 DarkGreen = 0x00004000;
constexpr quint32 LightBlue = 0x00FFC0C0;
constexpr quint32 LightYellow = 0x00C0FFFF;
} // namespace Colour

QColor vbColor(quint32 value);

bool isSystemColour(quint32 value);

// A control's colour drawn beside its other colour (text beside background). A system
// colour beside a colour the design fixes takes its classic value instead of the
// desktop's, so the pair keeps the contrast the design gives it under any theme, a dark
// one too; beside another system colour it follows the desktop.
QColor vbColorBeside(quint32 value, bool otherFixed);

enum class Weight { Regular, Bold };
enum class Underline { Off, On };

// The designed face followed by its stand-ins, closest first.
QStringList designedFamilies(const QString &face);

// The designed face at a size: the installed families of its list, in order.
QFont vbFont(const QString &face, double points, Weight weight = Weight::Regular,
    Underline underline = Underline::Off);

// A Chinese face (宋体, 黑体, 华文行楷) for the design's own captions: its first installed
// family alone. Every family of such a face's list draws Chinese, Latin letters and
// digits, so that family draws every such caption; and a font of one family spares Qt
// gathering the fallback fonts of every other one. Text from elsewhere (a name, a date
// in the learner's language) keeps the whole list.
QFont captionFont(QFont font);
