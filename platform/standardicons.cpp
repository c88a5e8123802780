// SPDX-License-Identifier: GPL-3.0-or-later
#include "standardicons.h"

#include <QApplication>
#include <QFile>
#include <QStyleOption>

namespace {

// The theme Qt falls back on when the desktop names none.
bool onlyFallbackTheme()
{
    return QIcon::themeName() == QLatin1String("hicolor");
}

// The pictures Qt's own style draws a standard icon from, by the start of their names;
// empty for icons it makes otherwise.
QLatin1String pictureName(QStyle::StandardPixmap icon, bool rightToLeft)
{
    switch (icon) {
    case QStyle::SP_DialogOkButton:
        return QLatin1String("standardbutton-ok-");
    case QStyle::SP_DialogCancelButton:
        return QLatin1String("standardbutton-cancel-");
    case QStyle::SP_DialogOpenButton:
        return QLatin1String("standardbutton-open-");
    case QStyle::SP_FileDialogNewFolder:
        return QLatin1String("newdirectory-");
    case QStyle::SP_FileDialogDetailedView:
        return QLatin1String("viewdetailed-");
    case QStyle::SP_FileDialogListView:
        return QLatin1String("viewlist-");
    case QStyle::SP_FileDialogToParent:
        return QLatin1String("up-");
    case QStyle::SP_FileDialogBack:
    case QStyle::SP_ArrowBack:
        return QLatin1String(rightToLeft ? "right-" : "left-");
    case QStyle::SP_ArrowForward:
        return QLatin1String(rightToLeft ? "left-" : "right-");
    case QStyle::SP_FileIcon:
        return QLatin1String("file-");
    default:
        return QLatin1String();
    }
}

// Adds the pictures of a name drawn at 16 and 32 pixels (on screens of twice the
// density); false when Qt has no such pictures.
bool addPictures(QIcon &icon, QLatin1String name, QIcon::State state = QIcon::Off)
{
    const QString start = QLatin1String(":/qt-project.org/styles/commonstyle/images/") + name;
    bool found = false;
    for (const int size : { 16, 32 }) {
        const QString file = start + QString::number(size) + QLatin1String(".png");
        if (QFile::exists(file)) {
            icon.addFile(file, QSize(size, size), QIcon::Normal, state);
            found = true;
        }
    }
    return found;
}

} // namespace

StandardIconStyle::StandardIconStyle(QStyle *style)
    : QProxyStyle(style)
    , m_themed(!onlyFallbackTheme())
{ }

QIcon StandardIconStyle::standardIcon(
    StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (m_themed)
        return QProxyStyle::standardIcon(icon, option, widget);
    const bool rightToLeft
        = option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
    QIcon made;
    if (icon == SP_DirIcon || icon == SP_DirHomeIcon) {
        // A folder, and the same opened.
        if (addPictures(made, QLatin1String("dirclosed-"))
            && addPictures(made, QLatin1String("diropen-"), QIcon::On))
            return made;
    } else if (const QLatin1String name = pictureName(icon, rightToLeft); name.size()) {
        if (addPictures(made, name))
            return made;
    }
    return QProxyStyle::standardIcon(icon, option, widget);
}

void useStandardIconStyle()
{
    // Looked up in no theme, the icons of files and folders come from the style too, as
    // they do after a vain search of "hicolor". (An empty list of paths means Qt's own;
    // the program's resources hold no theme.)
    if (onlyFallbackTheme())
        QIcon::setThemeSearchPaths({ QStringLiteral(":/icons") });
    QApplication::setStyle(new StandardIconStyle);
}
