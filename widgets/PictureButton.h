#pragma once

#include "widgets/Pictures.h"

#include <QWidget>

// A small picture box on a white ground that acts as a button.
class PictureButton : public QWidget
{
    Q_OBJECT
public:
    explicit PictureButton(Picture picture, QWidget *parent = nullptr);
    // The picture it shows.
    Picture picture() const { return m_picture; }
    // What a click does: raises clicked() while the button is enabled.
    void click();

signals:
    // A left click released over it, or Space or Enter while it has focus.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    Picture m_picture;
};
