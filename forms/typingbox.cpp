// SPDX-License-Identifier: GPL-3.0-or-later
#include "typingbox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QStringView>

TypingBox::TypingBox(int index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{
    setAcceptDrops(false);
}

void TypingBox::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT mouseDown(m_index, event->button());
    // The middle button pastes the X selection on its release; it does nothing here.
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void TypingBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void TypingBox::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void TypingBox::dragMoveEvent(QDragMoveEvent *event)
{
    event->ignore();
}

void TypingBox::dropEvent(QDropEvent *event)
{
    event->ignore();
}

TypingBox::Verdict TypingBox::offer(char32_t code, Source source)
{
    // A character of a phrase may have ended the practice, which disables the boxes: the
    // rest of the phrase goes nowhere.
    if (!isEnabled())
        return Verdict::DropRest;
    return m_handler ? m_handler(m_index, code, source) : Verdict::Take;
}

void TypingBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Menu
        || (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        event->accept();
        Q_EMIT menuKey(m_index);
        return;
    }
    const QString text = event->text();
    // Delete deletes forward without producing a character, as in any text box.
    if (text.isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }

    const QList<uint> codes = text.toUcs4();
    if (codes.size() == 1) {
        // The box itself decides what the key does (insert, delete backwards, copy,
        // nothing for Enter and Escape), unless the handler discarded it.
        if (offer(codes.front(), Source::Key) == Verdict::Take)
            QLineEdit::keyPressEvent(event);
        else
            event->accept();
        return;
    }

    typeCharacters(text, Source::Key);
    event->accept();
}

void TypingBox::typeCharacters(QStringView text, Source source)
{
    const QList<uint> codes = text.toUcs4();
    qsizetype at = 0; // where the character starts in text
    for (qsizetype i = 0; i < codes.size(); ++i) {
        auto *focus = qobject_cast<TypingBox *>(window()->focusWidget());
        if (i > 0 && focus && focus != this) {
            focus->typeCharacters(text.mid(at), source);
            return;
        }
        const char32_t code = codes[i];
        const Verdict verdict = offer(code, source);
        if (verdict == Verdict::DropRest)
            return;
        if (verdict == Verdict::Take && !isLocked() && QChar::isPrint(code))
            insert(QStringView(QChar::fromUcs4(code)).toString());
        at += QChar::requiresSurrogates(code) ? 2 : 1;
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
    typeCharacters(commit, Source::Commit);
    event->accept();
}
