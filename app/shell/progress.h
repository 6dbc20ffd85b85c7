#pragma once
// The loading window shown while a long list loads. Its bar fills in N ticks
// of 600 ms, N taken from Text1, whatever the loading actually does.

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
