#pragma once

#include <QLabel>

// The engine's own message over the picture: light text on a dark box, near
// the top of the area it is placed in. It shows the text it is given until
// the text changes to empty or the user clicks it away; a text clicked away
// does not come back until a different one is given. An offer shows over
// any such text until it is withdrawn; a click on it takes it instead.
class EngineMessage : public QLabel
{
    Q_OBJECT
public:
    explicit EngineMessage(QWidget *parent = nullptr);

    // Shows this text (hides for an empty one), unless the user has
    // dismissed this very text.
    void showMessage(const QString &text);
    // Shows this offer in place of any text; an empty one withdraws it and
    // brings back the text it covered.
    void showOffer(const QString &text);
    // Hides the message as a click on it does.
    void dismiss();
    // Places the box over this rectangle of the parent: centred across it,
    // near its top, at most as wide as it is.
    void placeOver(const QRect &area);

signals:
    // The user clicked the offer.
    void offerClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    void refresh();

    QString m_message;
    QString m_offer;
    QString m_dismissed;
    QRect m_area;
};
