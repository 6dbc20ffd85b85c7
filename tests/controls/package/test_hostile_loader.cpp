// The hostile form through QUiLoader and the plugin, as a program that loads
// forms at run time meets it. QUiLoader takes an enumeration only by key, so
// the wrong numbers go in as plain numbers, as a hand-edited form has them.
#include "HostileFormCheck.h"

#include <QBuffer>
#include <QUiLoader>
#include <memory>

namespace {

TEST(HostileForm, QUiLoaderBuildsItAndEveryValidValueArrives)
{
    const QString path = QStringLiteral(QUIL_HOSTILE_FORM);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QString xml = QString::fromUtf8(file.readAll());
    xml.replace(QRegularExpression(QStringLiteral(R"(<enum>quil::\w+\((-?\d+)\)</enum>)")),
                QStringLiteral("<number>\\1</number>"));
    ASSERT_FALSE(xml.contains(QStringLiteral("<enum>")));
    QByteArray bytes = xml.toUtf8();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);

    QUiLoader loader;
    loader.clearPluginPaths();
    loader.addPluginPath(qEnvironmentVariable("QUIL_DESIGNER_PLUGINS"));
    std::unique_ptr<QWidget> form;
    hostile::Warnings warnings;
    try {
        form.reset(loader.load(&buffer));
    } catch (...) {
        FAIL() << "an exception left QUiLoader::load";
    }
    ASSERT_NE(form, nullptr) << loader.errorString().toStdString();
    hostile::CheckForm(form.get(), path, warnings.seen, [&loader](const char* cls) {
        return loader.createWidget(QString::fromLatin1(cls));
    });
}

} // namespace
