#pragma once

// The controls every screen is built from. Each swallows pointer moves that its screen does not
// handle, so a move over a control never reaches the window behind it.

#include "widgets/ScalablePicture.h"
#include "widgets/Twips.h"

#include <QAbstractButton>
#include <QFont>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace vaporica {

using Handler = std::function<void()>;

// "ＭＳ Ｐ明朝" / "ＭＳ 明朝" at a point size, bold or regular. The size is fixed in pixels at the
// layout's 96 pixels per inch (15 twips per pixel), so captions fit their boxes whatever the
// display's own resolution: 12 pt is 16 px, 15.75 pt is 21 px.
QFont minchoFont(const QString &family, double pointSize, bool bold);

// The face colour the layout calls "the platform's button colour".
QColor platformButtonFace();

// A graphical button: face colour and either a picture centred and clipped to the face or a
// caption. Enter and the space bar press it while it has the focus.
class GraphicalButton : public QAbstractButton {
    Q_OBJECT
public:
    GraphicalButton(QWidget *parent, TwipsRect place, std::uint32_t faceColor);
    GraphicalButton(QWidget *parent, TwipsRect place, const QColor &faceColor);
    // Qt's named colours would silently convert to a 0x00BBGGRR number.
    GraphicalButton(QWidget *parent, TwipsRect place, Qt::GlobalColor) = delete;

    void setPicture(const ScalablePicture &picture);
    // A picture button carries no caption; its words, drawn in the picture, become its accessible
    // name so that a screen reader can say them.
    void setPicture(const ScalablePicture &picture, const QString &words);
    const QImage &picture() const { return picture_.pixels(); }
    void setCaption(const QString &caption) { setText(caption); }
    QString caption() const { return text(); }
    void setCaptionFont(const QFont &font) { setFont(font); }
    const QColor &faceColor() const { return face_; }

    Handler onClick;
    Handler onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    ScalablePicture picture_;
    QColor face_;
    QColor captionColor_ = Qt::black;
};

// An image box: takes its picture's pixel size with its top-left fixed, unless stretched.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    ImageBox(QWidget *parent, TwipsRect place, bool stretch = false);

    void setPicture(const ScalablePicture &picture);
    // A picture whose content is also words (an equation, a page of properties): its name stays
    // what it is, the words become its description, read after the name; none for no words.
    void setPicture(const ScalablePicture &picture, const QString &words);
    const QImage &picture() const { return picture_.pixels(); }
    // 0: no border, 1: fixed single border.
    void setBorderStyle(int style);
    int borderStyle() const { return borderStyle_; }

    // A picture that answers a question joins the tab order; a click leaves the focus where it
    // was, so the pointer changes nothing. While focused the screen's focus ring goes round it,
    // clear of the picture and its border, and Enter or the space bar clicks it.
    void makeAnswer();
    bool isAnswer() const { return focusPolicy() != Qt::NoFocus; }

    Handler onClick;
    Handler onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ScalablePicture picture_;
    QPoint shownAt_; // where the kept part of a huge picture lies in the box
    bool stretch_;
    int borderStyle_ = 0;
    bool pressed_ = false;
};

// A frame: caption, background colour, etched border; its children are clipped at its edge.
class Frame : public QWidget {
    Q_OBJECT
public:
    Frame(QWidget *parent, TwipsRect place, const QString &caption, std::uint32_t backColor,
          std::uint32_t foreColor, const QFont &font);

    const QString &caption() const { return caption_; }
    const QColor &backColor() const { return back_; }
    const QColor &foreColor() const { return fore_; }

    Handler onMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QString caption_;
    QColor back_, fore_;
};

// A label that sizes itself to its caption and stays centred on the vertical line through the
// middle of its design box.
class Label : public QWidget {
    Q_OBJECT
public:
    Label(QWidget *parent, TwipsRect place, std::uint32_t backColor, std::uint32_t foreColor,
          const QFont &font);

    void setCaption(const QString &caption);
    const QString &caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QString caption_;
    QColor back_, fore_;
    int centreX_;
};

// A timer whose interval in milliseconds starts it (non-zero) or stops it (0).
class Timer : public QObject {
    Q_OBJECT
public:
    explicit Timer(QObject *parent);
    void setInterval(int milliseconds);
    int interval() const { return interval_; }

    Handler onTick;

private:
    QTimer timer_;
    int interval_ = 0;
};

// Gives a control's handler the guard every event handler runs through.
void runHandler(const Handler &handler);

} // namespace vaporica
