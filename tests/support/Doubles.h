#pragma once
// Test doubles for what the program takes from outside: a clock set by hand,
// message boxes answered from a script, a desktop that records what it was
// handed. They keep the platform's names and namespace.

#include "platform/desktop/Desktop.h"
#include "platform/forms/Clock.h"
#include "platform/forms/MessageBox.h"

#include <QDateTime>
#include <QImage>
#include <QStringList>
#include <deque>
#include <vector>

namespace platform {

class ManualClock : public Clock {
public:
    explicit ManualClock(QDateTime start) : t(std::move(start)) {}
    QDateTime now() const override { return t; }
    void set(const QDateTime& v) { t = v; }
    void advance(qint64 seconds) { t = t.addSecs(seconds); }

private:
    QDateTime t;
};

// Records every box and answers from a queue (OK / the default button when empty).
class ScriptedMessageBoxService : public MessageBoxService {
public:
    struct Shown {
        QString text;
        int flags;
        QString title;
    };
    int show(const QString& text, int flags, const QString& title) override;
    void answer(int result) { answers.push_back(result); }
    QStringList texts() const;

    std::vector<Shown> shown;
    std::deque<int> answers;
};

// Records what would be set; for tests of callers.
class RecordingDesktopBackend : public DesktopBackend {
public:
    struct Call {
        QString bitmap;
        Placement placement;
        QImage shown;   // the bitmap as read at the call
    };
    QString name() const override { return "recording"; }
    bool apply(const QString& bitmap, Placement placement, QString* error, const QImage* content = nullptr) override;
    std::vector<Call> calls;
    bool fail = false;
};

} // namespace platform
