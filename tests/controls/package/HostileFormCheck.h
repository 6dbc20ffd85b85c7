#pragma once
// The hostile form (hostile.ui): every public control with out-of-range and
// hostile values for every writable property a form file can hold. Built by
// QUiLoader and by uic's code, it must come up without an exception or an
// abort, every valid value must arrive as written, the values the controls'
// rules limit arrive limited, and a value a control cannot take is refused
// with a warning naming the property while the old value stays.
//
// The written values are read from the file itself, not from the controls.
#include <QApplication>
#include <QFile>
#include <QFont>
#include <QImage>
#include <QRegularExpression>
#include <QTest>
#include <QWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <memory>

namespace hostile {

struct Written {
    QString kind;   // UInt, number, bool, string, enum, font
    QString text;   // the element's text; for a font its family
    bool bold = false;
};

// control name -> property -> what the file says.
using FormValues = std::map<QString, std::map<QString, Written>>;

inline FormValues ReadForm(const QString& path)
{
    FormValues values;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return values;
    }
    QXmlStreamReader r(&f);
    QString control, property;
    while (!r.atEnd()) {
        r.readNext();
        if (!r.isStartElement())
            continue;
        if (r.name() == u"widget") {
            control = r.attributes().value(QStringLiteral("name")).toString();
            values[control];
        } else if (r.name() == u"property") {
            property = r.attributes().value(QStringLiteral("name")).toString();
            if (property == u"geometry")
                continue;
            r.readNextStartElement();
            Written w;
            w.kind = r.name().toString();
            if (w.kind == u"font") {
                while (r.readNextStartElement()) {
                    if (r.name() == u"family")
                        w.text = r.readElementText();
                    else if (r.name() == u"bold")
                        w.bold = r.readElementText() == u"true";
                    else
                        r.skipCurrentElement();
                }
            } else {
                w.text = r.readElementText();
            }
            values[control][property] = w;
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return values;
}

// What the controls' own rules make of a written value.
enum class Outcome { Arrives, Limited, Refused };
struct Rule {
    Outcome outcome;
    QVariant limited = {};
};

inline std::map<QString, Rule> Rules()
{
    return {
        // The progress bar limits its value to 0 ... 100, the calendar its month to 1 ... 12.
        {QStringLiteral("Progress1.Value"), {Outcome::Limited, 100}},
        {QStringLiteral("Month1.iMonth"), {Outcome::Limited, 12}},
        // AutoSize and TextWrap exclude each other: TextWrap, written after it, clears it.
        {QStringLiteral("Label1.AutoSize"), {Outcome::Limited, false}},
        // An empty list keeps the number for the entries a form adds after
        // it (shown at the next Refresh): it arrives as written.
        // Values the controls cannot hold.
        {QStringLiteral("Month1.MonthName"), {Outcome::Refused}},        // a month named twice
        {QStringLiteral("Text1.Alignment"), {Outcome::Refused}},         // 0, 1 or 2
        {QStringLiteral("Text1.SelLength"), {Outcome::Refused}},
        {QStringLiteral("Text1.SelStart"), {Outcome::Refused}},
        {QStringLiteral("Text1.PasswordChar"), {Outcome::Refused}},      // one character at most
        {QStringLiteral("Text1.MaxLength"), {Outcome::Refused}},
        // Enumeration values outside their tables are kept as numbers and
        // handled as the controls' rules say (an unknown orientation draws no
        // thumb, an unknown filter takes every character): stored as written.
    };
}

// The written value as the property's type holds it.
inline QVariant AsWritten(const Written& w)
{
    if (w.kind == u"UInt")
        return QVariant(w.text.toUInt());
    if (w.kind == u"number")
        return QVariant(w.text.toInt());
    if (w.kind == u"bool")
        return QVariant(w.text == u"true");
    if (w.kind == u"enum") {
        const auto m = QRegularExpression(QStringLiteral(R"(\((-?\d+)\)$)")).match(w.text);
        return QVariant(m.captured(1).toInt());
    }
    return QVariant(w.text);
}

// Collects the warnings printed while a form is built.
class Warnings {
public:
    Warnings() { previous = qInstallMessageHandler(&Warnings::handler); active() = this; }
    ~Warnings()
    {
        active() = nullptr;
        qInstallMessageHandler(previous);
    }
    QStringList seen;

private:
    static Warnings*& active()
    {
        static Warnings* w = nullptr;
        return w;
    }
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& msg)
    {
        if (type != QtDebugMsg && active())
            active()->seen << msg;
    }
    QtMessageHandler previous;
};

// form: the built form. fresh: a new control of a class, as a form makes it.
inline void CheckForm(QWidget* form, const QString& uiPath, const QStringList& warnings,
                      const std::function<QWidget*(const char* className)>& fresh)
{
    ASSERT_NE(form, nullptr);
    const FormValues values = ReadForm(uiPath);
    ASSERT_EQ(values.size(), 14u);   // the form and its thirteen controls
    const auto rules = Rules();
    int checked = 0;
    for (const auto& [control, props] : values) {
        if (control == u"HostileForm")
            continue;
        QWidget* w = form->findChild<QWidget*>(control);
        ASSERT_NE(w, nullptr) << control.toStdString();
        std::unique_ptr<QWidget> blank(fresh(w->metaObject()->className()));
        ASSERT_NE(blank, nullptr) << w->metaObject()->className();
        for (const auto& [property, written] : props) {
            const std::string where = (control + u'.' + property).toStdString();
            const QByteArray name = property.toLatin1();
            ASSERT_GE(w->metaObject()->indexOfProperty(name.constData()), 0) << where;
            const QVariant now = w->property(name.constData());
            ++checked;
            if (written.kind == u"font") {
                const QFont f = now.value<QFont>();
                EXPECT_EQ(f.family(), written.text) << where;
                EXPECT_EQ(f.bold(), written.bold) << where;
                continue;
            }
            const auto rule = rules.find(control + u'.' + property);
            const Outcome outcome = rule == rules.end() ? Outcome::Arrives : rule->second.outcome;
            QVariant want = AsWritten(written);
            if (outcome == Outcome::Limited)
                want = rule->second.limited;
            if (outcome == Outcome::Refused) {
                want = blank->property(name.constData());
                EXPECT_NE(now.toString(), written.text) << where << " took a value it should refuse";
                bool said = false;
                for (const QString& m : warnings)
                    said = said || m.contains(property);
                EXPECT_TRUE(said) << where << ": refused without a warning naming it";
            }
            if (now.metaType().id() == QMetaType::QString || now.metaType().id() == QMetaType::Bool)
                EXPECT_EQ(now, want) << where << ": " << now.toString().left(80).toStdString();
            else
                EXPECT_EQ(now.toLongLong(), want.toLongLong()) << where;
        }
    }
    EXPECT_GT(checked, 100);

    // Shown, the popup menu placed on the form draws nothing of its own.
    QWidget* menu = form->findChild<QWidget*>(QStringLiteral("Menu1"));
    ASSERT_NE(menu, nullptr);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    const QRect at = menu->geometry();
    const QImage with = form->grab(at).toImage();
    menu->hide();
    const QImage without = form->grab(at).toImage();
    EXPECT_EQ(with, without) << "the popup menu shows on the running form";
}

} // namespace hostile
