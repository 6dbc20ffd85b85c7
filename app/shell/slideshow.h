#pragma once
// The slideshow of the wallpaper list: its own connection and cursor, so the
// rotation position never moves; a toolbar with play, pause, previous, next
// and close that hides itself and comes back with the mouse.

#include "platform/db/Database.h"
#include "platform/forms/Forms.h"

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <atomic>
#include <memory>

class QScreen;

namespace murivo {

class frmpath;

// Decodes pictures on a worker thread at the size they are shown, so a big
// photo never holds up the window. The newest request wins: one still waiting
// is dropped, and the outcome of a superseded one is never delivered.
class PictureLoader : public QObject {
    Q_OBJECT
public:
    enum Fit {
        TopLeft,   // natural size, the part that fits from the top-left corner
        Fitted,    // scaled down, aspect kept, to fit
    };
    explicit PictureLoader(QObject* parent = nullptr);
    ~PictureLoader() override;
    int Load(const QString& path, QSize size, Fit fit);
    void Cancel();
    bool Loading() const { return waiting != 0; }

signals:
    // error is empty when the picture was loaded.
    void Loaded(int request, const QString& path, const QImage& picture, const QString& error);

private:
    std::shared_ptr<std::atomic<int>> latest;
    int waiting = 0;
};

class slideshow : public QWidget {
    Q_OBJECT
public:
    slideshow(frmpath& paths, QWidget* parent = nullptr);
    ~slideshow() override;

    void Form_Load();
    void Timer1_Timer();   // advance
    void Timer2_Timer();   // hide the toolbar
    void Image1_Click();   // pause
    void Image2_Click();   // play
    void Image3_Click();   // previous
    void Image4_Click();   // next
    void Image5_Click();   // close
    void pic_MouseMove();

    // The toolbar's five click areas, left to right: play, pause, previous, next, close.
    static QRect AreaOf(int image);
    static QImage ToolbarPicture();
    QString ShownPath() const { return shownPath; }
    // A picture is being decoded for the window.
    bool Loading() const { return loader.Loading(); }

    QLabel pic;
    QLabel Picture1;
    QLabel Label1;
    platform::FormTimer Timer1, Timer2;
    std::unique_ptr<platform::db::Connection> SlideConnection;
    std::unique_ptr<platform::db::Recordset> SlideCursor;

signals:
    void Unloaded();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // Reads the current row and asks for its picture; throws when there is no row.
    // A tick's picture that cannot be loaded runs the advance's failure steps.
    void showCurrent(bool fromTick = false);
    void advanceFailed();
    void loaded(int request, const QString& path, const QImage& picture, const QString& error);
    void unload();        // timers and connection end with the window
    // Steps the cursor (wrapping), shows the picture and runs the advance again.
    void step(bool back);
    frmpath& paths;
    QString shownPath;
    PictureLoader loader;
    int tickRequest = 0;   // the request of the last tick, whose failure moves the cursor
};

// The viewer: one picture, scaled down to fit the screen's free area (frame
// included), decoded on a worker at that size. Closed by Esc or its close button.
class frmImagem : public QWidget {
    Q_OBJECT
public:
    explicit frmImagem(QWidget* parent = nullptr);
    // Starts loading; Ready (the window is sized and placed, for the caller
    // to show) or Failed follows.
    void Open(const QString& path);
    bool Loading() const { return loader.Loading(); }
    QString Path() const { return path; }
    // The most the picture may take: the screen's free area less the window's frame.
    QSize Room() const;
    QLabel picImagemOriginal;

signals:
    void Ready();
    void Failed(const QString& why);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;

private:
    void loaded(int request, const QString& path, const QImage& picture, const QString& error);
    void fit();   // to the picture, within the room
    QScreen* screenShown() const;
    QString path;
    QImage picture;
    PictureLoader loader;
};

} // namespace murivo
