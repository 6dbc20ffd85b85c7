#pragma once
// The slideshow of the wallpaper list: its own connection and cursor, so the
// rotation position never moves; a toolbar with play, pause, previous, next
// and close that hides itself and comes back with the mouse.

#include "platform/db/Database.h"
#include "platform/forms/Forms.h"

#include <QLabel>
#include <QWidget>
#include <memory>

namespace murivo {

class frmpath;

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
    void showCurrent();   // throws on failure
    void unload();        // timers and connection end with the window
    // Steps the cursor (wrapping), shows the picture and runs the advance again.
    void step(bool back);
    frmpath& paths;
    QString shownPath;
};

// The viewer: one picture at its natural size.
class frmImagem : public QWidget {
    Q_OBJECT
public:
    explicit frmImagem(QWidget* parent = nullptr);
    // Loads the picture; false (nothing shown) when it cannot be loaded, with the reason.
    bool Load(const QString& path, QString* why);
    QLabel picImagemOriginal;

protected:
    void showEvent(QShowEvent*) override;
};

} // namespace murivo
