#include "typingbox.h"

TypingBox::TypingBox(int index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{
}
