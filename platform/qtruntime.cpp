// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtruntime.h"

#include "afterrepaint.h"
#include "desktopbell.h"
#include "fixedsizeguard.h"
#include "retirewindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

QtRuntime::QtRuntime()
{
    m_monotonic.start();
    // Qt's Wayland plugin has no beep: QApplication::beep() does nothing there.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        const auto steadyMs = [] {
            using namespace std::chrono;
            return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
        };
        m_bell = std::make_unique<SoundBell>(steadyMs, desktopBellParts);
    }
}

void QtRuntime::msgBox(
    QWidget *parent, const QString &prompt, MsgBoxStyle style, const QString &title)
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (style == MsgBoxStyle::Critical)
        icon = QMessageBox::Critical;
    else if (style == MsgBoxStyle::Exclamation)
        icon = QMessageBox::Warning;
    QString shown = prompt;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    const OneUseWindow<QMessageBox> box(new QMessageBox(
        icon, title.isEmpty() ? applicationTitle() : title, shown, QMessageBox::Ok, parent));
    // Room for the whole title beside the three buttons of the title bar that Qt draws
    // itself on a Wayland desktop without server-side decorations, which centres the
    // title in 14-pixel type: a short message would leave room for a character or two.
    QFont titleFont = box->font();
    titleFont.setPixelSize(14);
    const int titleRoom = QFontMetrics(titleFont).horizontalAdvance(box->windowTitle()) + 160;
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(titleRoom, 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
    keepUnmaximised(box.get());
    box->exec();
}

QStringList qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt reads "*.*" literally, which would hide every name without a dot.
        QString pattern = parts.at(i + 1).trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        filters.append(parts.at(i).trimmed() + QLatin1String(" (") + pattern + QLatin1Char(')'));
    }
    return filters;
}

void setUpOpenDialog(
    QFileDialog &dialog, const QString &presetName, const QString &filter, int filterIndex)
{
    // Qt's own dialog on every desktop: GNOME's, in the GTK platform theme, runs on a
    // connection of its own with no parent window, and the keyboard leaves it for the
    // main window after the first key.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(QFileInfo(presetName).absolutePath());
    // The list shows the descriptions as given; the patterns Qt filters by follow them.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(filter);
    dialog.setNameFilters(filters);
    if (filterIndex >= 1 && filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(filterIndex - 1));
}

QString QtRuntime::showOpenDialog(QWidget *parent, const QString &presetName, const QString &filter,
    int filterIndex, const QString &selectedFile)
{
    // A new dialog each time: a QFileDialog shown a second time no longer takes a full
    // path typed into its name field.
    const OneUseWindow<QFileDialog> dialog(new QFileDialog(parent));
    setUpOpenDialog(*dialog, presetName, filter, filterIndex);
    dialog->selectFile(selectedFile);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return presetName;
    return QDir::toNativeSeparators(dialog->selectedFiles().constFirst());
}

QAction *QtRuntime::popupMenu(QMenu *menu, const QPoint &globalPos)
{
    return menu->exec(globalPos);
}

void QtRuntime::beep()
{
    // On X11 the desktop turns the X bell into its theme's sound and honours the
    // learner's switches itself. The bell is asked for once the key that rang it is on
    // the screen, so that the sound's way through the X server does not delay the key.
    if (m_bell)
        m_bell->ring();
    else
        runAfterRepaint(qApp, [] { QApplication::beep(); });
}

void QtRuntime::openInViewer(
    const QString &path, QObject *context, std::function<void(bool shown)> done)
{
    const QPointer<QObject> guard(context);
    const auto answer = [guard, done](bool shown) {
        if (guard && done)
            done(shown);
    };
    if (QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty()) {
        const bool shown = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        QMetaObject::invokeMethod(
            context, [answer, shown] { answer(shown); }, Qt::QueuedConnection);
        return;
    }
    // The desktop's opener says by its exit status whether it found something to show
    // the file with. It is watched, not waited for; it may run as long as the viewer it
    // starts, and outlives this program if need be, so it has no parent to end it.
    auto *opener = new QProcess;
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(opener, &QProcess::finished, opener,
        [opener, answer](int code, QProcess::ExitStatus status) {
            answer(status == QProcess::NormalExit && code == 0);
            opener->deleteLater();
        });
    QObject::connect(
        opener, &QProcess::errorOccurred, opener, [opener, answer](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            answer(false);
            opener->deleteLater();
        });
    opener->start(QStringLiteral("xdg-open"), { path });
    opener->closeWriteChannel();
}

QDateTime QtRuntime::now() const
{
    return QDateTime::currentDateTime();
}

qint64 QtRuntime::monotonicMs() const
{
    return m_monotonic.elapsed();
}

void QtRuntime::randomize(double secondsSinceMidnight)
{
    // Every bit of the reading goes into the seed, so two starts in the same second
    // but at different milliseconds draw different numbers.
    quint64 bits = 0;
    static_assert(sizeof bits == sizeof secondsSinceMidnight);
    std::memcpy(&bits, &secondsSinceMidnight, sizeof bits);
    std::seed_seq seed { quint32(bits), quint32(bits >> 32) };
    m_random.seed(seed);
}

double QtRuntime::rnd()
{
    // The top 53 bits as a fraction: never 1.0, unlike generate_canonical on some libraries.
    return double(m_random() >> 11) * 0x1.0p-53;
}

QSize QtRuntime::screenSize() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize();
}

void QtRuntime::endProgram()
{
    std::fflush(nullptr);
    std::_Exit(EXIT_SUCCESS);
}
