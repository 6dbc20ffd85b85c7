#include "engine/Services.h"
#include "shell/Commands.h"
#include "shell/Form1.h"
#include "shell/frmSplash.h"
#include "shell/frmpath.h"
#include "shell/progress.h"
#include "shell/tray.h"

#include "platform/shell/SingleInstance.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>

using namespace murivo;

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine line = ParseCommandLine(arguments);
    if (!line.error.isEmpty()) {
        std::fprintf(stderr, "murivo: %s\n%s", qPrintable(line.error), qPrintable(UsageText()));
        return 2;
    }
    if (line.help) {
        std::fputs(qPrintable(UsageText()), stdout);
        return 0;
    }
    if (line.version) {
        std::puts("murivo 1.1");
        return 0;
    }

    // A plain start without a display says so before it touches anything.
    QString noDisplay = MissingDisplay(QProcessEnvironment::systemEnvironment());
    if (!noDisplay.isEmpty() && line.command().isEmpty()) {
        std::fprintf(stderr, "murivo needs a graphical session: %s.\n", qPrintable(noDisplay));
        return 1;
    }
    platform::SingleInstance instance("murivo.lock");
    if (!line.command().isEmpty() && instance.PrevInstance()) {
        // The running copy does it; this one needs no window.
        QCoreApplication client(argc, argv);
        QString why;
        if (SendCommand(instance.socketPath(), line.command(), &why))
            return 0;
        std::fprintf(stderr, "murivo: the running copy could not be asked: %s\n", qPrintable(why));
        return 1;
    }
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "murivo needs a graphical session: %s.\n", qPrintable(noDisplay));
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName("Murivo");
    QApplication::setApplicationVersion("1.1");
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(ProgramIcon());

    platform::SystemClock clock;
    platform::QtMessageBoxService boxes;
    platform::IniProgramSettings settings;
    platform::Registry& registry = platform::Registry::user();
    QString note;
    auto backend = platform::ChooseDesktopBackend(&note);
    if (!note.isEmpty())
        std::fprintf(stderr, "murivo: %s\n", qPrintable(note));
    platform::Desktop desktop(registry, std::move(backend));
    Services sv{clock, boxes, settings, registry, desktop, QCoreApplication::applicationFilePath()};

    frmpath paths;
    progress loading;
    std::unique_ptr<Form1> form;
    std::unique_ptr<tray> trayHost;
    CommandServer commands;
    int failure = 0;

    frmSplash splash(sv, instance.PrevInstance(), [&] {
        form = std::make_unique<Form1>(sv, paths, loading);
        try {
            form->Form_Load();
        } catch (const ListFileError& e) {
            std::fprintf(stderr, "murivo: the wallpaper list %s cannot be used: %s\n", qPrintable(e.path),
                         qPrintable(e.reason));
            sv.MsgBox(QString("The wallpaper list %1 cannot be used:\n%2\n\nThe file was left as it is.")
                          .arg(e.path, e.reason),
                      platform::vbCritical);
            failure = 2;
            return;
        }
        QObject::connect(form.get(), &Form1::EndProgram, &app, &QCoreApplication::quit, Qt::QueuedConnection);
        trayHost = std::make_unique<tray>(sv, *form);
        trayHost->Form_Load();

        // Later starts with --change-now or --show reach this copy here.
        QString why;
        if (!commands.listen(instance.socketPath(), &why))
            std::fprintf(stderr, "murivo: later starts cannot send commands to this copy: %s\n", qPrintable(why));
        Form1* f = form.get();
        auto showMain = [f] {
            f->show();
            f->raise();
            f->activateWindow();
        };
        QObject::connect(&commands, &CommandServer::ChangeNow, f, &Form1::chage_wall);
        QObject::connect(&commands, &CommandServer::Show, f, showMain);
        if (line.show)
            showMain();
        if (line.changeNow)
            QTimer::singleShot(0, f, &Form1::chage_wall);
    });
    splash.Form_Load();
    if (failure)
        return failure;
    if (splash.Refused())
        std::fprintf(stderr, "murivo: already running (%s)\n", qPrintable(instance.lockPath()));
    QObject::connect(&splash, &frmSplash::Unload, &app, [&] {
        if (splash.Refused())
            QCoreApplication::exit(0);
    });
    if (splash.Unloaded()) {
        if (splash.Refused())
            return 0;
    } else {
        splash.show();
    }
    return app.exec();
}
