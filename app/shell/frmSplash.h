#pragma once
// The splash, the program's start object: refuses a second copy, loads the
// hidden main window and the tray, shows itself for three seconds.

#include "engine/Services.h"
#include "platform/forms/Forms.h"

#include <QLabel>
#include <QWidget>
#include <functional>

namespace murivo {

class frmSplash : public QWidget {
    Q_OBJECT
public:
    // loadProgram: loads Form1 and the tray; called only when no other copy runs.
    frmSplash(Services& services, bool prevInstance, std::function<void()> loadProgram, QWidget* parent = nullptr);
    void Form_Load();
    void Timer1_Timer();
    bool Refused() const { return refused; }
    bool Unloaded() const { return unloaded; }

    QLabel Picture1;
    QLabel Label1;
    QLabel Label2, Label3, Label4;
    platform::FormTimer Timer1;

signals:
    void Unload();

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Services& sv;
    bool prev;
    std::function<void()> load;
    bool refused = false;
    bool unloaded = false;
};

} // namespace murivo
