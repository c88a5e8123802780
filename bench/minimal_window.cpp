// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for this toolkit: a Qt Widgets window with one QLineEdit in the font of
// the practice window's typing boxes, and nothing else. The box empties itself after
// every 20 characters, as a practice row does.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.setFixedSize(792, 573);
    auto *box = new QLineEdit(&window);
    QFont font;
    font.setFamilies({ QStringLiteral("Arial"), QStringLiteral("Liberation Sans") });
    font.setPointSizeF(28.125);
    box->setFont(font);
    box->setGeometry(40, 208, 732, 51);
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString &text) {
        if (text.size() >= 20)
            box->clear();
    });
    window.show();
    return QApplication::exec();
}
