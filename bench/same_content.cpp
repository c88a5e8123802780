// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for Keyvale's first screen: a plain Qt Widgets program that shows what
// the practice window shows when it starts, and nothing of Keyvale's. The same window size
// and colours, the same faces and sizes (the calligraphic title, the Ming and sans
// statistics captions, three rows of empty text lines and typing boxes), the same
// window icon, Qt's dialogs in Chinese, and the same open-file dialog, opened as soon
// as the window shows, in a folder of practice texts.
//
// Usage: same_content [--window-only] [folder]
// (folder: where the dialog opens, by default the program's own folder; --window-only
// shows the window without the dialog, to tell the two costs apart)

#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QTranslator>
#include <QWidget>

namespace {

// The faces the window asks for, as in forms/design.cpp: a designed face, then the
// installed stand-ins for it.
QFont face(const QStringList &families, double points)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    return font;
}

const QStringList Sans { QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
    QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans"), QStringLiteral("WenQuanYi Micro Hei") };
const QStringList Ming { QStringLiteral("宋体"), QStringLiteral("SimSun"),
    QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
    QStringLiteral("WenQuanYi Micro Hei") };
const QStringList Brush { QStringLiteral("华文行楷"), QStringLiteral("STXingkai"),
    QStringLiteral("AR PL UKai CN"), QStringLiteral("WenQuanYi Micro Hei") };

const QColor DarkBlue(0, 0, 0xC0);
const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor PaleGreen(0xC0, 0xFF, 0xC0);
const QColor LightOrange(0xFF, 0xC0, 0x80);

QLabel *label(
    QWidget *parent, const QString &text, int x, int y, const QFont &font, const QColor &colour)
{
    auto *caption = new QLabel(text, parent);
    caption->setTextFormat(Qt::PlainText);
    caption->setFont(font);
    QPalette palette = caption->palette();
    palette.setColor(QPalette::WindowText, colour);
    caption->setPalette(palette);
    caption->move(x, y);
    caption->adjustSize();
    return caption;
}

QLabel *block(QWidget *parent, const QString &text, const QRect &geometry, const QColor &back,
    const QColor &fore)
{
    auto *box = new QLabel(text, parent);
    box->setTextFormat(Qt::PlainText);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::WindowText, fore);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    box->setGeometry(geometry);
    return box;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool windowOnly = arguments.removeAll(QStringLiteral("--window-only")) > 0;
    auto *translator = new QTranslator(&app);
    if (translator->load(
            QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);

    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/keyvale-16.png"));
    icon.addFile(QStringLiteral(":/pictures/keyvale-32.png"));
    QApplication::setWindowIcon(icon);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Keyvale"));
    window.setFixedSize(792, 573);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, DarkBlue);
    palette.setColor(QPalette::WindowText, Qt::white);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setFont(face(Sans, 36));

    const QFont title = face(Brush, 56.25);
    const QFont ming = face(Ming, 14.25);
    const QFont sans = face(Sans, 14.25);
    const QFont row = face(Sans, 28.125);
    const QColor highlightText = QGuiApplication::palette().color(QPalette::HighlightedText);

    label(&window, QStringLiteral("LarkmoorKeyvale"), 40, 48, title, highlightText);
    label(&window, QStringLiteral("速度："), 160, 8, ming, LightOrange);
    label(&window, QStringLiteral("个/分钟"), 280, 8, ming, LightOrange);
    label(&window, QStringLiteral("得分："), 160, 32, ming, LightOrange);
    label(&window, QStringLiteral("失误："), 160, 56, ming, LightOrange);
    label(&window, QStringLiteral("个"), 280, 56, ming, LightOrange);
    label(&window, QStringLiteral("字符总数："), 0, 0, sans, LightOrange);
    label(&window, QStringLiteral("键入字符："), 0, 24, sans, LightOrange);
    label(&window, QStringLiteral("时间："), 0, 48, sans, LightOrange);
    const QDate today = QDate::currentDate();
    const QLocale locale = QLocale::system();
    label(&window,
        QStringLiteral("%1 - %2 - %3-%4")
            .arg(today.year(), 4, 10, QLatin1Char('0'))
            .arg(locale.monthName(today.month()))
            .arg(today.day(), 2, 10, QLatin1Char('0'))
            .arg(locale.dayName(today.dayOfWeek())),
        533, 31, sans, LightOrange);

    // Three rows of an empty text line over a typing box, and the row marker of the
    // first; the practice window shrinks its designed rows to these sizes.
    const int lineTops[] = { 136, 285, 433 };
    const int lineHeights[] = { 43, 51, 51 };
    const int boxTops[] = { 208, 359, 507 };
    for (int i = 0; i < 3; ++i) {
        block(&window, QString(), QRect(40, lineTops[i], i == 0 ? 725 : 732, lineHeights[i]),
            Silver, PaleGreen)
            ->setFont(row);
        auto *box = new QLineEdit(&window);
        QPalette boxPalette = box->palette();
        boxPalette.setColor(QPalette::Base, DarkBlue);
        boxPalette.setColor(QPalette::Text, Qt::white);
        box->setPalette(boxPalette);
        box->setFont(row);
        box->setGeometry(40, boxTops[i], 732, 51);
        box->setReadOnly(true);
    }
    const QPalette &system = QGuiApplication::palette();
    block(&window, QStringLiteral(">"), QRect(8, 208, 20, 51), system.color(QPalette::Button),
        system.color(QPalette::ButtonText));

    const QSize screen = QGuiApplication::primaryScreen()->size();
    window.move((screen.width() - 800) / 2, (screen.height() - 600) / 2);
    window.show();

    if (windowOnly)
        return QApplication::exec();

    QFileDialog dialog(&window);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(
        arguments.isEmpty() ? QCoreApplication::applicationDirPath() : arguments.constFirst());
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(
        { QStringLiteral("文本文件(*.txt) (*.txt)"), QStringLiteral("所有文件(*.*) (*)") });
    dialog.exec();
    return 0;
}
