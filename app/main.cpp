#include "engine/Services.h"
#include "shell/Form1.h"
#include "shell/frmSplash.h"
#include "shell/frmpath.h"
#include "shell/progress.h"
#include "shell/tray.h"

#include "platform/shell/SingleInstance.h"

#include <QApplication>
#include <cstdio>
#include <memory>

using namespace murivo;

int main(int argc, char** argv)
{
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

    platform::SingleInstance instance("murivo.lock");
    frmpath paths;
    progress loading;
    std::unique_ptr<Form1> form;
    std::unique_ptr<tray> trayHost;
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
