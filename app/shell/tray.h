#pragma once
// Host of the notification-area icon; its menu belongs to the hidden Form2.

#include "engine/Services.h"
#include "widgets/ThemedButton.h"

#include <QDialog>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QObject>
#include <QCoreApplication>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

namespace platform {
class NotificationArea;
}

namespace murivo {

class Form1;

QIcon ProgramIcon();
// An icon for a menu caption's key, from the desktop's icon theme, with a fallback.
QIcon IconForKey(const QString& key);

// The About window.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);
    QLabel Label1, Label2, Label3, Label6, Picture1;
    ThemedButton ThemedButton1, ThemedButton3;

protected:
    void mousePressEvent(QMouseEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    bool eventFilter(QObject* o, QEvent* e) override;
};

// The hidden owner of the tray menu.
class Form2 : public QObject {
    Q_OBJECT
public:
    Form2(Services& services, Form1& main);
    QMenu menu;   // "new"
    ThemedButton ThemedButton1;   // used for OpenLink only
    void mnuExit_Click();
    void mnuabout_Click();
    void help_Click();
    void visitwebsite_Click();
    void settings_Click();
    void main_Click();
    // The visible text of a caption "text|@description|#key".
    static QString VisibleText(const QString& caption);
    static QString IconKey(const QString& caption);
    std::function<void(QDialog&)> showModal;   // tests replace the modal loop
    std::function<void()> beforeExit;
    // Ends the program after Exit; the program ends the process at once.
    std::function<void()> endProcess = [] { QCoreApplication::exit(0); };

private:
    Services& sv;
    Form1& form;
};

class tray : public QObject {
    Q_OBJECT
public:
    tray(Services& services, Form1& main);
    ~tray() override;
    void Form_Load();
    void mnuExit_Click() { menuOwner().mnuExit_Click(); }
    Form2& menuOwner();
    bool TrayAvailable() const { return available; }
    // What Exit does after its question; the program ends the process at once.
    std::function<void()> EndProcess = [] { QCoreApplication::exit(0); };
    // Looks again for a notification area and puts the icon there; the
    // watcher calls it whenever a tray or a StatusNotifierWatcher comes or goes.
    void PlaceIcon();

    // Made once a notification area exists: the platform picks the icon's
    // kind (X11 tray or StatusNotifierItem) when it is made.
    std::unique_ptr<QSystemTrayIcon> Icon;

private:
    void makeIcon();
    Services& sv;
    Form1& form;
    std::unique_ptr<Form2> owner;
    std::unique_ptr<platform::NotificationArea> area;
    bool available = false;
    bool said = false;
};

} // namespace murivo
