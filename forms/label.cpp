// SPDX-License-Identifier: GPL-3.0-or-later
#include "label.h"

#include "design.h"

#include <QMouseEvent>

Label::Label(QWidget *parent)
    : QLabel(parent)
{
    // Practice text is shown exactly as it stands, never as markup or with mnemonics.
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setFocusPolicy(Qt::NoFocus);
    setBackColor(SystemColor::ButtonFace);
    setForeColor(SystemColor::ButtonText);
    setOpaque(true);
}

Label *Label::autoSized(QWidget *parent, int left, int top, const QFont &font, quint32 foreColor,
    const QString &caption)
{
    auto *label = new Label(parent);
    label->setOpaque(false);
    label->setForeColor(foreColor);
    label->setFont(font);
    label->move(px(left), px(top));
    label->m_autoSize = true;
    label->fitCaption();
    label->setCaption(caption);
    return label;
}

void Label::setCaption(const QString &caption)
{
    if (caption == text())
        return;
    setText(caption);
    if (m_autoSize)
        fitCaption();
    Q_EMIT captionChanged(caption);
}

void Label::fitCaption()
{
    // One measurement of the caption, the size QLabel would hint: its own size hint
    // lays the caption out three times, and the count label is fitted again at every
    // keystroke.
    if (text().isEmpty()) {
        resize(sizeHint()); // QLabel keeps some room for an empty caption
        return;
    }
    const QMargins margins = contentsMargins();
    const int around = 2 * margin();
    const QSize size
        = fontMetrics()
              .boundingRect(QRect(0, 0, 2000, 2000), Qt::AlignLeft | Qt::TextExpandTabs, text())
              .size()
        + QSize(
            margins.left() + margins.right() + around, margins.top() + margins.bottom() + around);
    if (size != this->size())
        resize(size);
}

void Label::setOpaque(bool opaque)
{
    setAutoFillBackground(opaque);
    applyColours();
}

void Label::setBackColor(quint32 colour)
{
    // Every counted keystroke sets the row marker's colour; most of the time it is the
    // colour it has.
    if (colour == m_backColor
        && palette().color(QPalette::Window) == vbColorBeside(colour, !isSystemColour(m_foreColor)))
        return;
    m_backColor = colour;
    applyColours();
}

void Label::setForeColor(quint32 colour)
{
    m_foreColor = colour;
    applyColours();
}

void Label::applyColours()
{
    // A transparent label shows the window's background, which both designs fix.
    const bool backFixed = !autoFillBackground() || !isSystemColour(m_backColor);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, vbColorBeside(m_backColor, !isSystemColour(m_foreColor)));
    pal.setColor(QPalette::WindowText, vbColorBeside(m_foreColor, backFixed));
    setPalette(pal);
}

void Label::mousePressEvent(QMouseEvent *event)
{
    // The press is the label's own: it does not pass on to the window behind it.
    event->accept();
    Q_EMIT mouseDown(event->button());
}
