// quil-gallery: every control of quilObjects on one form, with a property
// sheet, an event log and the form saved to and loaded from a file.
//
//   quil-gallery [FORM-FILE]

#include "GalleryWindow.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quil-gallery"));
    gallery::GalleryWindow w;
    w.show();
    const QStringList args = app.arguments().mid(1);
    if (!args.isEmpty()) {
        QString error;
        if (!w.loadFrom(args.first(), &error))
            QMessageBox::warning(&w, QStringLiteral("quil-gallery"),
                                 QStringLiteral("The form was not opened; showing the gallery's own.\n\n%1").arg(error));
    }
    return app.exec();
}
