// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

#include <functional>

// A single-line typing box. A locked box shows its text but takes no typing.
//
// Every character that would reach the box is first handed to the key-press handler,
// one character (one Unicode code point) at a time and before the box takes it:
// ordinary keys, Enter, Escape and other control codes, and each character of text
// committed by an input method. The handler's verdict says whether the box takes the
// character, drops it, or drops it with the rest of the text it came with; a disabled
// box drops everything. Keys that produce no character (arrows, Home, Delete, modifiers) bypass
// the handler, and so do the clipboard's Ctrl+V and Shift+Insert. Text cannot reach
// the box by ways that bypass the handler and have no counterpart on a keyboard: the
// X selection's middle-click paste and drag-and-drop are refused.
//
// A phrase committed at once is typed as if key by key: when a character finishes
// a row and the focus moves on, the rest of the phrase follows the focus.
class TypingBox final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TypingBox)
public:
    // Where a character comes from: a key, or the text an input method commits.
    enum class Source { Key, Commit };
    enum class Verdict { Take, Drop, DropRest };
    using KeyPressHandler = std::function<Verdict(int index, char32_t code, Source source)>;

    TypingBox(int index, QWidget *parent);

    int index() const { return m_index; }

    bool isLocked() const { return isReadOnly(); }
    void setLocked(bool locked) { setReadOnly(locked); }

    void setKeyPressHandler(KeyPressHandler handler) { m_handler = std::move(handler); }

Q_SIGNALS:
    void mouseDown(int index, Qt::MouseButton button);
    // The Menu key or Shift+F10: the keyboard's way to a pop-up menu. Neither is a
    // character, and neither reaches the key-press handler.
    void menuKey(int index);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    // The one way in for every character: the handler's verdict on it.
    Verdict offer(char32_t code, Source source);
    // Types several characters, each a keystroke of its own.
    void typeCharacters(QStringView text, Source source);

    const int m_index;
    KeyPressHandler m_handler;
};
