#pragma once

#include <QLineEdit>

#include <functional>

// A single-line typing box. A locked box shows its text but takes no typing.
//
// Every character that would reach the box is first handed to the key-press handler,
// one character at a time and before the box takes it: ordinary keys, Enter, Escape
// and other control codes, and each character of text committed by an input method.
// The handler may discard a character by setting its code to 0. Keys that produce no
// character (arrows, Home, Delete, modifiers) and pasted text bypass the handler.
//
// A phrase committed at once is typed as if key by key: when a character finishes
// a row and the focus moves on, the rest of the phrase follows the focus.
class TypingBox final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TypingBox)
public:
    // Receives the box's index and the character's code, which it may set to 0.
    using KeyPressHandler = std::function<void(int index, char16_t &keyAscii)>;

    TypingBox(int index, QWidget *parent);

    int index() const { return m_index; }

    bool isLocked() const { return isReadOnly(); }
    void setLocked(bool locked) { setReadOnly(locked); }

    void setKeyPressHandler(KeyPressHandler handler) { m_handler = std::move(handler); }

Q_SIGNALS:
    void mouseDown(int index, Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    // Runs the handler for one character; true when the box is to take it.
    bool offer(char16_t code);
    // Types several characters, each a keystroke of its own.
    void typeCharacters(QStringView text);

    const int m_index;
    KeyPressHandler m_handler;
};
