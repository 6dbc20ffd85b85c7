#pragma once
// Small helpers of the control tests: colours by hand, pixels of a face, a
// pointer the tests move, the hover poll's tick and a bag that records.
#include <quilObjects/Clock.h>
#include <quilObjects/quilControl.h>

#include "composite/LinkOpener.h"
#include "frame/quilControl_p.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QRgb>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <utility>
#include <vector>

namespace quiltest {

constexpr quint32 rgb(int r, int g, int b) { return quint32(r | (g << 8) | (b << 16)); }

// A face pixel as an OLE colour.
inline quint32 at(const quil::quilControl& c, int x, int y)
{
    const QRgb p = c.Face().pixel(x, y);
    return rgb(qRed(p), qGreen(p), qBlue(p));
}

// The pointer every control's hover poll reads, moved by the test.
struct Pointer {
    QPoint pos{100, 100};
    Pointer()
    {
        quil::quilControlPrivate::SetPointerSource([this] { return pos; });
    }
    ~Pointer() { quil::quilControlPrivate::SetPointerSource(nullptr); }
};

// One tick of a control's hover poll, as its timer runs it.
inline void pollTick(quil::quilControl* c) { quil::quilControlPrivate::PollTick(c); }
inline void pollTick(quil::quilControl& c) { pollTick(&c); }
template <class C>
void pollTick(const std::unique_ptr<C>& c)
{
    pollTick(c.get());
}

// A bag that also records the names read and written, in order.
struct RecordingBag : quil::PropertyBag {
    QVariant ReadProperty(const QString& name, const QVariant& def) override
    {
        read << name;
        return values.contains(name) ? values.value(name) : def;
    }
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& def = QVariant()) override
    {
        written << name;
        if (def.isValid() && value == def)
            values.remove(name);
        else
            values[name] = value;
    }
    bool contains(const QString& name) const { return values.contains(name); }
    QVariant value(const QString& name) const { return values.value(name); }
    QMap<QString, QVariant> values;
    QStringList written;
    QStringList read;
};

// Property writes in the order Designer's setupUi makes them.
using PropertyWrites = std::vector<std::pair<const char*, QVariant>>;

// Writes the properties forwards into one control and backwards into the
// other; the forms the two save must not differ.
inline void ExpectSameFormEitherOrder(const PropertyWrites& props, quil::quilControl& forward,
                                      quil::quilControl& backward)
{
    // A misspelt name would become a dynamic property, and setProperty says
    // so by returning false.
    for (const auto& [name, value] : props)
        EXPECT_TRUE(forward.setProperty(name, value)) << name;
    for (auto it = props.rbegin(); it != props.rend(); ++it)
        EXPECT_TRUE(backward.setProperty(it->first, it->second)) << it->first;
    RecordingBag a, b;
    forward.WriteProperties(a);
    backward.WriteProperties(b);
    EXPECT_EQ(a.values, b.values);
}

// A key pressed at a widget; whether the widget kept it from its window.
inline bool keyAccepted(QObject* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(target, &press);
    return press.isAccepted();
}
inline bool keyAccepted(QObject& target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return keyAccepted(&target, key, modifiers);
}

// Records what would be handed to the desktop, and launches nothing.
struct OpenerRecorder {
    QList<QUrl> opened;
    OpenerRecorder()
    {
        quil::SetLinkOpener([this](const QUrl& u) {
            opened << u;
            return true;
        });
    }
    ~OpenerRecorder() { quil::SetLinkOpener(nullptr); }
    OpenerRecorder(const OpenerRecorder&) = delete;
    OpenerRecorder& operator=(const OpenerRecorder&) = delete;
};

// "Now", set by the test.
struct ManualClock : quil::Clock {
    QDateTime t;
    explicit ManualClock(QDateTime start) : t(std::move(start)) {}
    QDateTime now() const override { return t; }
    void set(const QDateTime& v) { t = v; }
};

} // namespace quiltest
