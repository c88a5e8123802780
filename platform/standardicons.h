// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

// The style's standard icons (the open-file dialog's buttons, its folders and files),
// made as cheaply as they can be while they look the same.
//
// Where the desktop names no icon theme, Qt's is "hicolor", which holds applications'
// icons and none of these: Qt looks each one up there all the same, parsing the
// theme's index, before it takes its own pictures, which it then decodes at 16, 32 and
// 128 pixels, although only the first two are ever drawn. Here the search is left out
// and only those two are decoded. On a desktop with an icon theme its icons are used
// as before.
class StandardIconStyle final : public QProxyStyle
{
    Q_OBJECT
public:
    // Over the style given, or the application's (taking it over) when none is.
    explicit StandardIconStyle(QStyle *style = nullptr);

    QIcon standardIcon(
        StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const override;

private:
    bool m_themed;
};

// Installs StandardIconStyle as the application's style. Where the icon theme is only
// "hicolor", Qt is also told to look in no theme at all.
void useStandardIconStyle();
