#include "typingbox.h"

#include <QKeyEvent>
#include <QMouseEvent>

TypingBox::TypingBox(int index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{ }

void TypingBox::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mouseDown(m_index, event->button());
    QLineEdit::mousePressEvent(event);
}

bool TypingBox::offer(char16_t code)
{
    if (m_handler)
        m_handler(m_index, code);
    return code != 0;
}

void TypingBox::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    // Delete deletes forward without producing a character, as in any text box.
    if (text.isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }

    if (text.size() == 1) {
        // The box itself decides what the key does (insert, delete backwards, copy,
        // nothing for Enter and Escape), unless the handler discarded it.
        if (offer(text.front().unicode()))
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }

    typeCharacters(text);
    event->accept();
}

void TypingBox::typeCharacters(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        auto *focus = qobject_cast<TypingBox *>(window()->focusWidget());
        if (i > 0 && focus && focus != this) {
            focus->typeCharacters(text.mid(i));
            return;
        }
        const QChar c = text[i];
        if (offer(c.unicode()) && !isLocked() && c.isPrint())
            insert(QString(c));
    }
}

void TypingBox::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (commit.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }

    // The composition being edited is shown as usual; the committed text is typed
    // character by character.
    QInputMethodEvent preedit(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&preedit);
    typeCharacters(commit);
    event->accept();
}
