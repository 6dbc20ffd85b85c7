#include "engine/Services.h"
#include "shell/Commands.h"
#include "shell/Form1.h"
#include "shell/frmSplash.h"
#include "shell/frmpath.h"
#include "shell/progress.h"
#include "shell/tray.h"

#include "platform/shell/SingleInstance.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace murivo;

namespace {

// Ends the process now. The settings file and the list are written through at
// every change and the bitmap is replaced by a rename, so nothing is half
// written; the thumbnail pool and a desktop call still running are left
// behind, and the kernel drops the one-copy lock with the process.
[[noreturn]] void EndNow(int code)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

// An orderly end waits for the thumbnail pool and the wallpaper worker; a
// hung desktop call or a long load must not keep the process (and its lock)
// alive. Started when the end is asked for, since a load running then may
// keep the event loop from returning.
void LimitShutdown()
{
    static std::atomic<bool> started{false};
    if (started.exchange(true))
        return;
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        std::fputs("murivo: ending without waiting any longer for work still running\n", stderr);
        EndNow(0);
    }).detach();
}

// Every end but Exit: in order, within the limit.
void Quit()
{
    LimitShutdown();
    QCoreApplication::quit();
}

int signalPipe[2] = {-1, -1};

void OnQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP (a session that ends) quit the event loop, so
// the program ends in order rather than mid-write.
void QuitOnSignals(QCoreApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte;
        [[maybe_unused]] auto n = ::read(signalPipe[0], &byte, 1);
        notifier->setEnabled(false);
        Quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = OnQuitSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}

} // namespace

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
        const QString lock = instance.lockPath();
        const auto waits = CommandWaits::Real([lock] { return platform::SingleInstance::HeldElsewhere(lock); });
        if (SendCommand(instance.socketPath(), line.command(), &why, waits))
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
    QuitOnSignals(app);

    // Later starts with --change-now or --show reach this copy from now on;
    // what they ask is kept until the main window exists.
    CommandServer commands;
    if (!instance.PrevInstance()) {
        QString why;
        if (!commands.listen(instance.socketPath(), &why))
            std::fprintf(stderr, "murivo: later starts cannot send commands to this copy: %s\n", qPrintable(why));
    }

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
        QObject::connect(form.get(), &Form1::EndProgram, &app, &Quit, Qt::QueuedConnection);
        trayHost = std::make_unique<tray>(sv, *form);
        // Exit ends the process at once, whatever is loading or waiting.
        trayHost->EndProcess = [] { EndNow(0); };
        trayHost->Form_Load();

        Form1* f = form.get();
        auto showMain = [f] {
            f->show();
            f->raise();
            f->activateWindow();
        };
        QObject::connect(&commands, &CommandServer::ChangeNow, f, &Form1::chage_wall);
        QObject::connect(&commands, &CommandServer::Show, f, showMain);
        commands.setReady();
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
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &LimitShutdown);
    const int code = app.exec();
    LimitShutdown();
    return code;
}
