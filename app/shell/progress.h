#pragma once
// The loading window shown while a long list is read. Its bar shows the rows
// read so far; the window closes once the list has been read.

#include "platform/forms/Forms.h"
#include "widgets/XP_ProgressBar.h"

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace murivo {

class progress : public QWidget {
    Q_OBJECT
public:
    explicit progress(QWidget* parent = nullptr);
    void Form_Load();
    // done of total rows read; drawn when the event loop next turns.
    void Progress(int done, int total);
    void Timer1_Timer();
    void Unload();
    bool Loaded() const { return loaded; }

    XP_ProgressBar pro;
    QLineEdit Text1;
    QLabel Label1;
    platform::FormTimer Timer1;

protected:
    void mousePressEvent(QMouseEvent* e) override;

private:
    bool loaded = false;
};

} // namespace murivo
