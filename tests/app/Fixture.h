#pragma once
// The main window on real files: a private home, the real settings file and
// registry, a real list file, pictures made for the test, and a desktop that
// records what it was handed.

#include "engine/Services.h"
#include "engine/SettingsKeys.h"
#include "shell/Form1.h"
#include "shell/frmpath.h"
#include "shell/progress.h"
#include "../support/Doubles.h"
#include "../support/TestHome.h"

#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

struct MainWindowFixture {
    TestHome home;
    platform::ManualClock clock{QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0))};
    platform::ScriptedMessageBoxService boxes;
    platform::IniProgramSettings settings;
    platform::Registry registry{home.config() + "/Murivo/registry.json", home.config() + "/autostart"};
    platform::RecordingDesktopBackend* desktopCalls = new platform::RecordingDesktopBackend;
    platform::Desktop desktop{registry, std::unique_ptr<platform::DesktopBackend>(desktopCalls)};
    murivo::Services sv{clock, boxes, settings, registry, desktop, "/opt/murivo dir/bin/murivo"};
    murivo::frmpath paths;
    murivo::progress loading;
    std::unique_ptr<murivo::Form1> form;

    void set(const QString& key, const QString& value) { settings.SaveSetting(murivo::kApp, murivo::kSection, key, value); }
    QString get(const QString& key) { return settings.GetSetting(murivo::kApp, murivo::kSection, key, "<missing>"); }
    QString listFile() const { return home.data() + "/murivo/wmdvm.sys"; }

    void makeList(const QStringList& rows) { TestHome::WriteList(listFile(), rows); }

    QStringList rowsInFile() const
    {
        QStringList out;
        sqlite3* db = nullptr;
        sqlite3_open(listFile().toUtf8().constData(), &db);
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db, "SELECT path FROM table1 ORDER BY id", -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW)
            out << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_finalize(s);
        sqlite3_close(db);
        return out;
    }

    // Solid pictures named by colour: red.jpg, green.gif, ...
    QString pic(const QString& name, QColor c, const char* fmt = "JPG") { return home.picture("pics/" + name, c, QSize(40, 30), fmt); }

    // Delivers what was posted (queued commands, the outcome of wallpaper
    // changes from the worker) until nothing runs or waits. Timers do not fire
    // here, so the schedule's real timers never add a change of their own.
    void settle()
    {
        for (int i = 0; i < 20000 && form && (form->ListBusy() || form->HasQueuedCommands() || form->ChangesInFlight() > 0); ++i) {
            QCoreApplication::sendPostedEvents();
            if (form->ChangesInFlight() > 0)
                QThread::msleep(1);
        }
        QCoreApplication::sendPostedEvents();
    }

    // The window shown, so its grids lay out as a user sees them.
    void loadShown()
    {
        load();
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            ADD_FAILURE() << "the main window was never shown";
    }

    void load()
    {
        form = std::make_unique<murivo::Form1>(sv, paths, loading);
        form->Form_Load();
        settle();   // the start-up change
    }

    // The colour of each bitmap the desktop was handed, in order.
    std::vector<QRgb> shown() const
    {
        std::vector<QRgb> out;
        for (const auto& c : desktopCalls->calls) {
            const QRgb p = c.shown.pixel(c.shown.width() / 2, c.shown.height() / 2);
            // JPEG is lossy: snap to the nearest pure colour used in the tests.
            auto snap = [](int v) { return v > 127 ? 255 : 0; };
            out.push_back(qRgb(snap(qRed(p)), snap(qGreen(p)), snap(qBlue(p))));
        }
        return out;
    }
};

inline const QRgb kRed = qRgb(255, 0, 0), kGreen = qRgb(0, 255, 0), kBlue = qRgb(0, 0, 255), kWhite = qRgb(255, 255, 255);
