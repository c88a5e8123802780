// SPDX-License-Identifier: GPL-3.0-or-later
#include "dlgscoreui.h"

#include "design.h"

#include "platform/fixedsizeguard.h"

#include <QCoreApplication>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QWidget>

#include <array>

using namespace Colour;

namespace {

struct CellDesign
{
    int left, top;
    const char *picture;
    const char16_t *shows; // what the picture shows, for screen readers
};

// Two rows of seven cells; elements 1 to 7 zigzag between the rows from the left,
// 8 to 14 fill the cells left over, so showing the first k spreads them out.
constexpr CellDesign Cells[14] = {
    { 0, 0, "award01.jpg", u"奖励：金星" },
    { 810, 750, "award02.jpg", u"奖励：挂在绶带上的奖牌" },
    { 1734, 0, "award03.jpg", u"奖励：写着“A+”的桂冠" },
    { 2580, 750, "award04.jpg", u"奖励：蓝色花结" },
    { 3468, 0, "award05.jpg", u"奖励：花朵" },
    { 4330, 750, "award06.jpg", u"奖励：王冠" },
    { 5205, 0, "award07.jpg", u"奖励：红心" },
    { -30, 750, "award08.jpg", u"奖励：笑脸太阳" },
    { 867, 0, "award09.gif", u"奖励：彩虹" },
    { 1720, 750, "award10.gif", u"奖励：宝石" },
    { 2601, 0, "award11.gif", u"奖励：火箭" },
    { 3455, 750, "award12.gif", u"奖励：山顶上的旗帜" },
    { 4335, 0, "award13.jpg", u"奖励：光芒中的大奖杯" },
    { 5205, 750, "award14.jpg", u"奖励：领奖台" },
};

QString picturePath(const char *name)
{
    return QStringLiteral(":/pictures/") + QLatin1String(name);
}

// A picture for a label, which stretches it to its own size. Where a screen has more
// than one pixel per point, this is the picture's twice-size companion (award01@2x.jpg
// beside award01.jpg), by the rule QIcon follows for the icons, so that the label
// shrinks a sharp picture rather than enlarging a small one.
QPixmap labelPicture(const char *name)
{
    const QString path = picturePath(name);
    if (qGuiApp->devicePixelRatio() > 1) {
        const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
        const QString twice = path.left(dot) + QLatin1String("@2x") + path.mid(dot);
        if (QFile::exists(twice))
            return QPixmap(twice);
    }
    return QPixmap(path);
}

// The dialog's pictures, decoded once and shared by every dialog: a dialog opens after
// every practice, and icons made anew each time would each fill the pixmap cache
// with pictures of their own.
struct Pictures
{
    QIcon window { picturePath("dlgscore.ico") };
    QIcon save { picturePath("cmdsave.bmp") };
    QIcon exit { picturePath("cmdexit.jpg") };
    QIcon ok { picturePath("cmdok.ico") };
    QIcon score { picturePath("cmdscore.ico") };
    QPixmap player { labelPicture("imgplayer.jpg") };
    std::array<QPixmap, 14> awards;

    Pictures()
    {
        for (size_t i = 0; i < awards.size(); ++i)
            awards[i] = labelPicture(Cells[i].picture);
    }
};

const Pictures &pictures()
{
    // Freed with the application object, while the window system is still there.
    static Pictures *shared = nullptr;
    if (!shared) {
        shared = new Pictures;
        qAddPostRoutine([] {
            delete shared;
            shared = nullptr;
        });
    }
    return *shared;
}

// A button with its picture above its caption. Return or Enter presses a focused
// button, as Space does: on the key's press, and only then. (Some desktops' platform
// themes, GNOME's, make them press buttons on their release too, which would press
// this one twice.)
class PictureButton final : public QToolButton
{
public:
    using QToolButton::QToolButton;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (!isReturn(event)) {
            QToolButton::keyPressEvent(event);
            return;
        }
        event->accept();
        if (!event->isAutoRepeat())
            animateClick();
    }
    void keyReleaseEvent(QKeyEvent *event) override
    {
        if (isReturn(event))
            event->accept();
        else
            QToolButton::keyReleaseEvent(event);
    }

private:
    static bool isReturn(const QKeyEvent *event)
    {
        return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    }
};

QToolButton *pictureButton(QWidget *parent, const QString &caption, const QIcon &icon,
    const QRect &geometry, quint32 backColor)
{
    auto *button = new PictureButton(parent);
    button->setText(caption);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::StrongFocus);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, vbColor(backColor));
    palette.setColor(
        QPalette::ButtonText, vbColorBeside(SystemColor::ButtonText, !isSystemColour(backColor)));
    button->setPalette(palette);
    button->setAutoFillBackground(true);
    return button;
}

} // namespace

namespace Ui {

void dlgScore::setupUi(QWidget *dialog)
{
    dialog->setWindowTitle(QStringLiteral("成绩"));
    const Pictures &shared = pictures();
    dialog->setWindowIcon(shared.window);
    // A tool window: a fixed frame with a close box and no entry in the task bar.
    dialog->setWindowFlags(
        Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog->setGeometry(pxRect(ScreenLeft, ScreenTop, ClientWidth, ClientHeight));
    dialog->setFixedSize(px(ClientWidth), px(ClientHeight));
    keepUnmaximised(dialog);
    QPalette palette = dialog->palette();
    palette.setColor(QPalette::Window, vbColor(LightBlue));
    dialog->setPalette(palette);
    dialog->setAutoFillBackground(true);

    const QFont song = vbFont(QStringLiteral("宋体"), 14.25);
    const QFont hei = captionFont(vbFont(QStringLiteral("黑体"), 14.25));
    const QFont arial = vbFont(QStringLiteral("Arial"), 14.25);

    lblDate = Label::autoSized(dialog, 120, 120, song, LightOrange);
    lblTime = Label::autoSized(dialog, 120, 600, arial, LightOrange);

    const struct
    {
        const char16_t *caption;
        int left, top;
    } titles[] = {
        { u"姓名:", 120, 1200 },
        { u"字数:", 120, 1680 },
        { u"速度:", 120, 2160 },
        { u"得分:", 3000, 1680 },
        { u"错误:", 3000, 2160 },
    };
    for (int i = 0; i <= 4; ++i) {
        auto *title = new Label(dialog);
        title->setOpaque(false);
        title->setForeColor(Green);
        title->setFont(hei);
        title->setGeometry(pxRect(titles[i].left, titles[i].top, 615, 375));
        title->setCaption(QString::fromUtf16(titles[i].caption));
        lblTitle.set(i, title);
    }

    lblScore.set(1, Label::autoSized(dialog, 840, 1680, arial, LightOrange));
    lblScore.set(2, Label::autoSized(dialog, 840, 2160, arial, LightOrange));
    lblScore.set(3,
        Label::autoSized(dialog, 3720, 1680,
            vbFont(QStringLiteral("Arial"), 15.75, Weight::Regular, Underline::On), Red));
    lblScore.set(4, Label::autoSized(dialog, 3720, 2160, arial, LightOrange));
    // A screen reader hears each value with its title: "速度: 85.5".
    for (int i = 1; i <= 4; ++i) {
        Label *value = lblScore[i];
        const Label *title = lblTitle[i];
        QObject::connect(
            value, &Label::captionChanged, value, [value, title](const QString &caption) {
                value->setAccessibleName(title->caption() + QLatin1Char(' ') + caption);
            });
    }

    txtResult = new QLineEdit(dialog);
    txtResult->setFont(song);
    txtResult->setGeometry(pxRect(840, 1200, 1455, 375));
    txtResult->setText(QStringLiteral("用户"));
    txtResult->setAccessibleName(QStringLiteral("姓名"));

    cmdSave = pictureButton(dialog, QStringLiteral("保存"), shared.save,
        pxRect(4440, 120, 615, 615), SystemColor::ButtonFace);
    cmdExit = pictureButton(
        dialog, QStringLiteral("退出"), shared.exit, pxRect(5280, 120, 615, 615), DarkGreen);
    cmdOK = pictureButton(dialog, QStringLiteral("确定"), shared.ok, pxRect(3600, 120, 615, 615),
        SystemColor::ButtonFace);
    cmdScore = pictureButton(
        dialog, QStringLiteral("成绩"), shared.score, pxRect(3600, 870, 615, 585), LightYellow);

    imgPlayer = new Label(dialog);
    imgPlayer->setOpaque(false);
    imgPlayer->setScaledContents(true);
    imgPlayer->setPixmap(shared.player);
    imgPlayer->setAccessibleName(QStringLiteral("坐在键盘前的学习者"));
    imgPlayer->setGeometry(pxRect(5175, 1230, 810, 1155));

    picFrame1 = new QFrame(dialog);
    picFrame1->setGeometry(pxRect(90, 2580, 6030, 1425));
    picFrame1->setPalette(palette);
    picFrame1->setAutoFillBackground(true);
    picFrame1->hide();
    for (int i = 1; i <= 14; ++i) {
        const CellDesign &cell = Cells[i - 1];
        auto *image = new Label(picFrame1);
        image->setOpaque(false);
        image->setScaledContents(true);
        image->setPixmap(shared.awards[size_t(i - 1)]);
        image->setAccessibleName(QString::fromUtf16(cell.shows));
        image->setGeometry(pxRect(cell.left, cell.top, 735, 615));
        image->hide();
        Image2.set(i, image);
    }

    // Focus moves Save, Exit, name, OK, report.
    QWidget::setTabOrder(cmdSave, cmdExit);
    QWidget::setTabOrder(cmdExit, txtResult);
    QWidget::setTabOrder(txtResult, cmdOK);
    QWidget::setTabOrder(cmdOK, cmdScore);

    Timer1 = new Timer(60000, dialog);
    Timer1->setEnabled(true);
}

} // namespace Ui
