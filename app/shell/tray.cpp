#include "tray.h"

#include "Form1.h"
#include "engine/SettingsKeys.h"
#include "platform/forms/PropertyBag.h"
#include "platform/shell/NotificationArea.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>
#include <cstdio>

namespace murivo {

QIcon ProgramIcon()
{
    QIcon icon(":/murivo/murivo.svg");
    icon.addFile(":/murivo/icons/48x48/murivo.png", QSize(48, 48));
    icon.addFile(":/murivo/icons/128x128/murivo.png", QSize(128, 128));
    return icon;
}

QIcon IconForKey(const QString& key)
{
    static const std::map<QString, std::pair<QString, QStyle::StandardPixmap>> names = {
        {"exit", {"application-exit", QStyle::SP_DialogCloseButton}},
        {"info", {"help-about", QStyle::SP_MessageBoxInformation}},
        {"help", {"help-contents", QStyle::SP_DialogHelpButton}},
        {"ie", {"internet-web-browser", QStyle::SP_DriveNetIcon}},
        {"wall", {"preferences-desktop-wallpaper", QStyle::SP_DesktopIcon}},
        {"home", {"go-home", QStyle::SP_DirHomeIcon}},
    };
    const auto it = names.find(key);
    if (it == names.end())
        return QApplication::style()->standardIcon(QStyle::SP_FileIcon);
    const QIcon themed = QIcon::fromTheme(it->second.first);
    return themed.isNull() ? QApplication::style()->standardIcon(it->second.second) : themed;
}

// ------------------------------------------------------------------- About

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent), Label1("By :", this), Label2("Murivo 1.0", this), Label3(kMakerMail, this), Label6(kMakerSite, this),
      Picture1(this), ThemedButton1(this), ThemedButton3(this)
{
    setWindowTitle("About");
    setFixedSize(360, 200);
    setStyleSheet("frmAbout { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fbfdfb, stop:1 #c9daee); }");
    Picture1.setPixmap(ProgramIcon().pixmap(64, 64));
    Picture1.setGeometry(20, 20, 64, 64);
    Label2.setFont(QFont("Arial", 16, QFont::Bold));
    Label2.setGeometry(110, 20, 230, 30);
    Label1.setGeometry(110, 60, 40, 20);
    QLabel* maker = new QLabel(kMakerName, this);
    maker->setGeometry(150, 60, 200, 20);
    Label3.setGeometry(110, 84, 240, 20);
    Label6.setGeometry(110, 108, 240, 20);
    Label6.setStyleSheet("color: #0000ee; text-decoration: underline;");
    Label6.setCursor(Qt::PointingHandCursor);
    Label6.installEventFilter(this);
    for (auto [b, text, x] : {std::tuple{&ThemedButton1, "Close", 180}, {&ThemedButton3, "Homepage", 270}}) {
        platform::MemoryPropertyBag bag;
        bag.values["Style"] = 8;
        bag.values["Caption"] = QString(text);
        bag.values["Font"] = QFont("Verdana", 8);
        b->ReadProperties(bag);
        b->setGeometry(x, 155, 80, 26);
    }
    connect(&ThemedButton1, &ThemedButton::Click, this, &QDialog::accept);
    connect(&ThemedButton3, &ThemedButton::Click, this, [this] { ThemedButton1.OpenLink(kMakerSite); });
}

void frmAbout::mousePressEvent(QMouseEvent*) { accept(); }

void frmAbout::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape)
        accept();
    else
        QDialog::keyPressEvent(e);
}

bool frmAbout::eventFilter(QObject* o, QEvent* e)
{
    if (o == &Label6 && e->type() == QEvent::MouseButtonRelease) {
        ThemedButton1.OpenLink(kMakerSite);
        return true;
    }
    return QDialog::eventFilter(o, e);
}

// ------------------------------------------------------------------- Form2

QString Form2::VisibleText(const QString& caption) { return caption.section('|', 0, 0); }

QString Form2::IconKey(const QString& caption)
{
    const int at = static_cast<int>(caption.indexOf("|#"));
    return at < 0 ? QString() : caption.mid(at + 2);
}

Form2::Form2(Services& services, Form1& main) : sv(services), form(main)
{
    platform::MemoryPropertyBag bag;
    bag.values["Style"] = 0;
    ThemedButton1.ReadProperties(bag);
    const std::vector<std::pair<QString, void (Form2::*)()>> items = {
        {"Exit|@Exit from Tolvane|#exit", &Form2::mnuExit_Click},
        {"About||#info", &Form2::mnuabout_Click},
        {"Help|@Shutdown Computer|#help", &Form2::help_Click},
        {"Visit Website|@Shutdown Computer|#ie", &Form2::visitwebsite_Click},
        {"Change wallpaper now|@Lock your computer|#wall", &Form2::settings_Click},
        {" Main|@Delete All|#home", &Form2::main_Click},
    };
    for (const auto& [caption, slot] : items)
        menu.addAction(IconForKey(IconKey(caption)), VisibleText(caption), this, slot);
    showModal = [](QDialog& d) { d.exec(); };
}

void Form2::mnuExit_Click()
{
    if (sv.MsgBox("Are you sure ?", platform::vbYesNo + platform::vbExclamation) != platform::vbYes)
        return;
    if (beforeExit)
        beforeExit();
    endProcess();
}

void Form2::mnuabout_Click()
{
    frmAbout about;
    showModal(about);
}

void Form2::help_Click() { ThemedButton1.OpenLink(kHelpPage); }
void Form2::visitwebsite_Click() { ThemedButton1.OpenLink(kMakerSite); }
void Form2::settings_Click() { form.chage_wall(); }

void Form2::main_Click()
{
    form.show();
    form.raise();
    form.activateWindow();
}

// -------------------------------------------------------------------- tray

tray::tray(Services& services, Form1& main) : sv(services), form(main) {}

tray::~tray()
{
    if (Icon)
        Icon->hide();
}

Form2& tray::menuOwner()
{
    if (!owner) {
        owner = std::make_unique<Form2>(sv, form);
        // Exit takes the icon away with the program.
        owner->beforeExit = [this] {
            if (Icon)
                Icon->hide();
        };
        owner->endProcess = [this] { EndProcess(); };
    }
    return *owner;
}

void tray::makeIcon()
{
    Icon = std::make_unique<QSystemTrayIcon>();
    Icon->setIcon(ProgramIcon());
    Icon->setToolTip("Murivo Right click for options");
    // As the icon's context menu, the menu is exported with a StatusNotifierItem,
    // so the panel draws it.
    Icon->setContextMenu(&menuOwner().menu);
    connect(Icon.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick) {
            form.show();
            form.raise();
        }
    });
    Icon->show();
}

void tray::Form_Load()
{
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (Icon)
            Icon->hide();
    });
    const QString platform = QGuiApplication::platformName();
    if (platform == "xcb" || platform.startsWith("wayland")) {
        area = std::make_unique<platform::NotificationArea>(platform == "xcb" ? qEnvironmentVariable("DISPLAY") : QString());
        connect(area.get(), &platform::NotificationArea::Changed, this, &tray::PlaceIcon);
    }
    PlaceIcon();
}

void tray::PlaceIcon()
{
    // The kind of icon is fixed when it is made: an icon made before any tray
    // existed is made again for the one that came.
    const bool present = !area || area->Present();
    if (present && (!Icon || !available)) {
        Icon.reset();
        makeIcon();
    }
    const bool was = available;
    // Qt may still name a tray that has just gone; our own look decides.
    available = Icon && present && QSystemTrayIcon::isSystemTrayAvailable();
    form.setNoNotificationArea(!available);
    if (available) {
        if (!was && said)
            std::fprintf(stderr, "murivo: a notification area appeared; murivo's icon is there now.\n");
        return;
    }
    // Without a notification area the main window is the only way in: shown
    // at start, and again when the tray goes away.
    if (!said)
        std::fprintf(stderr, "murivo: this desktop shows no notification area yet; the main window stays open,\n"
                             "and closing it ends murivo unless a notification area appears first.\n");
    if (!said || was)
        form.show();
    said = true;
}

} // namespace murivo
