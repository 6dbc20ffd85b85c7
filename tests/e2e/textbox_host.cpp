// A small host form for the text box's session test: a digits-only text box
// whose every change is printed ("text [TEXT]"), and where its field is
// on the screen ("field X Y W H"). Started with
// --own-clipboard TEXT it is instead another X client that owns the
// clipboard and the primary selection with TEXT until it is ended.
#include <quilObjects/quilTextBox.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

namespace {

void say(const QString& line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--own-clipboard")) {
        QGuiApplication::clipboard()->setText(args[2], QClipboard::Clipboard);
        QGuiApplication::clipboard()->setText(args[2], QClipboard::Selection);
        say(QStringLiteral("owned"));
        return app.exec();
    }
    QWidget host;
    host.setWindowTitle(QStringLiteral("textbox-host"));
    auto* box = new quil::quilTextBox(&host);
    box->setFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    box->setGeometry(10, 10, 280, 20);
    box->setText(QString());
    box->setDataFormat(quil::df_NumOnly);
    QObject::connect(box->Field(), &QLineEdit::textChanged,
                     [](const QString& t) { say(QStringLiteral("text [%1]").arg(t)); });
    host.setGeometry(100, 100, 300, 80);
    host.show();
    // Where the field is on the screen, once the window manager has placed the window.
    QTimer::singleShot(1500, box, [box] {
        const QPoint p = box->Field()->mapToGlobal(QPoint(0, 0));
        say(QStringLiteral("field %1 %2 %3 %4").arg(p.x()).arg(p.y()).arg(box->Field()->width()).arg(box->Field()->height()));
    });
    return app.exec();
}
