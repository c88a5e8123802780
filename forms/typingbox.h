// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

#include <functional>

// A single-line typing box. A locked box shows its text but takes no typing.
//
// Every character that would reach the box is first handed to the key-press handler,
// one character (one Unicode code point) at a time and before the box takes it:
// ordinary keys, Enter, Escape and other control codes, and each character of text
// committed by an input method. The handler may discard a character by setting its
// code to 0. Keys that produce no character (arrows, Home, Delete, modifiers) bypass
// the handler, and so do the clipboard's Ctrl+V and Shift+Insert. Text cannot reach
// the box by ways that bypass the handler and have no counterpart on a keyboard: the
// X selection's middle-click paste and drag-and-drop are refused.
//
// A phrase committed at once is typed as if key by key: when a character finishes
// a row and the focus moves on, the rest of the phrase follows the focus. The handler
// can drop the rest of a phrase, when a character has ended the practice it was for.
class TypingBox final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TypingBox)
public:
    // Receives the box's index and the character's code, which it may set to 0.
    using KeyPressHandler = std::function<void(int index, char32_t &keyAscii)>;

    TypingBox(int index, QWidget *parent);

    int index() const { return m_index; }

    bool isLocked() const { return isReadOnly(); }
    void setLocked(bool locked) { setReadOnly(locked); }

    void setKeyPressHandler(KeyPressHandler handler) { m_handler = std::move(handler); }

    // Called by the handler: the characters still to come from the text being typed
    // (the rest of a committed phrase) are dropped.
    void discardRestOfInput() { m_discardRest = true; }
    // Whether the character being offered comes from an input method's commit.
    bool isTakingCommit() const { return m_takingCommit; }

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
    // Runs the handler for one character; true when the box is to take it.
    bool offer(char32_t code);
    enum class Source { Keys, Commit };
    // Types several characters, each a keystroke of its own.
    void typeCharacters(QStringView text, Source source);

    const int m_index;
    KeyPressHandler m_handler;
    bool m_discardRest = false;
    bool m_takingCommit = false;
};
