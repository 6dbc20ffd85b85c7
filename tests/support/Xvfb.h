#pragma once
// A private X server for one test run. Started with -displayfd, so it picks a
// free display number itself, and -noreset, so it survives its last client.

#include <QByteArray>
#include <QImage>
#include <QString>

class Xvfb {
public:
    explicit Xvfb(int width = 320, int height = 240, int depth = 24);
    ~Xvfb();
    Xvfb(const Xvfb&) = delete;
    Xvfb& operator=(const Xvfb&) = delete;

    bool ok() const { return !display.isEmpty(); }
    QByteArray name() const { return display; }   // ":N"
    QString error() const { return err; }

    // What the root window shows, read back from the server.
    QImage rootImage() const;
    // The pixmap published in a root property (0 when none).
    unsigned long rootProperty(const char* atom) const;
    // Whether a resource id still names a drawable on the server.
    bool drawableExists(unsigned long id) const;

private:
    QByteArray display;
    QString err;
    int pid = -1;
};
