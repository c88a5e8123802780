// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label as the window designs describe it: plain-text caption, colours given as
// design colour values, an opaque or transparent background, and auto-size, where
// the label follows its caption, growing right and down from its top-left corner.
class Label final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Label)
public:
    explicit Label(QWidget *parent);

    QString caption() const { return text(); }
    void setCaption(const QString &caption);

    // Opaque labels fill their rectangle with the back colour.
    void setOpaque(bool opaque);

    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 colour);
    void setForeColor(quint32 colour);

    // A transparent label that follows its caption, at a point given in twips.
    static Label *autoSized(QWidget *parent, int left, int top, const QFont &font,
        quint32 foreColor, const QString &caption = QString());

Q_SIGNALS:
    void mouseDown(Qt::MouseButton button);
    void captionChanged(const QString &caption);

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void fitCaption();
    void applyColours();

    bool m_autoSize = false;
    quint32 m_backColor = 0;
    quint32 m_foreColor = 0;
};
