#pragma once
// Host of the notification-area icon and its menu.

#include "engine/Services.h"

#include <QIcon>
#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

namespace murivo {

class Form1;

QIcon ProgramIcon();

class tray : public QObject {
    Q_OBJECT
public:
    tray(Services& services, Form1& main);
    ~tray() override;
    void Form_Load();
    void mnuExit_Click();

    QSystemTrayIcon Icon;
    QMenu Menu;

private:
    Services& sv;
    Form1& form;
};

} // namespace murivo
