#pragma once

#include <QLineEdit>

// A single-line typing box. A locked box shows its text but takes no typing.
class TypingBox final : public QLineEdit
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TypingBox)
public:
    TypingBox(int index, QWidget *parent);

    int index() const { return m_index; }

    bool isLocked() const { return isReadOnly(); }
    void setLocked(bool locked) { setReadOnly(locked); }

private:
    const int m_index;
};
