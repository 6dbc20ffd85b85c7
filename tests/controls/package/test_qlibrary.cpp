// A container that knows the library only by its name: it loads the shared
// object with QLibrary, resolves the C factory and talks to what it creates
// through the meta-object alone.
#include <QLibrary>
#include <QMetaObject>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

using CreateFn = QObject* (*)(const char*, QObject*);

class LoadedByName : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        library = new QLibrary(QStringLiteral(QUIL_LIBRARY_DIR "/quilObjects"), 1);
        ASSERT_TRUE(library->load()) << library->errorString().toStdString();
        create = reinterpret_cast<CreateFn>(library->resolve("quilCreateObject"));
    }
    // The library stays loaded: Qt keeps its meta-objects registered until exit.
    static inline QLibrary* library = nullptr;
    static inline CreateFn create = nullptr;
};

TEST_F(LoadedByName, ItsFileIsTheMajorVersionAndTheFactoryResolves)
{
    EXPECT_TRUE(library->fileName().endsWith(QStringLiteral("libquilObjects.so.1"))) << library->fileName().toStdString();
    ASSERT_NE(create, nullptr) << library->errorString().toStdString();
}

TEST_F(LoadedByName, CreatesAnInitialisedButtonUnderTheGivenParent)
{
    ASSERT_NE(create, nullptr);
    QWidget host;
    QObject* made = create("quilButton", &host);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->metaObject()->className(), "quil::quilButton");
    EXPECT_EQ(made->parent(), &host);
    // InitProperties ran: the class defaults and the container's display name.
    EXPECT_EQ(made->property("BackColor").toUInt(), 0xFFFFFFu);
    EXPECT_EQ(made->property("ForeColor").toUInt(), 0xC00000u);
    EXPECT_EQ(made->property("Caption").toString(), QStringLiteral("quilButton1"));
    short id = -1;
    ASSERT_TRUE(QMetaObject::invokeMethod(made, "ID", Q_RETURN_ARG(short, id)));
    EXPECT_EQ(id, 0);
    EXPECT_TRUE(made->setProperty("Caption", QStringLiteral("Save as…")));
    EXPECT_EQ(made->property("Caption").toString(), QStringLiteral("Save as…"));

    // The qualified spellings a container may use name the same classes.
    std::unique_ptr<QObject> bar(create("quilObjects.quilScrollBar", nullptr));
    ASSERT_NE(bar, nullptr);
    EXPECT_STREQ(bar->metaObject()->className(), "quil::quilScrollBar");
    EXPECT_EQ(bar->property("Value").toInt(), 50);
}

TEST_F(LoadedByName, RefusesPrivateEmptyUnknownAndBadRequests)
{
    ASSERT_NE(create, nullptr);
    QWidget host;
    for (const char* name : {"quilXButton", "ClsMain", "quilNoSuchControl", "", "quilButton2", "quil::"}) {
        EXPECT_EQ(create(name, &host), nullptr) << name;
    }
    EXPECT_EQ(create(nullptr, &host), nullptr);
    EXPECT_TRUE(host.children().isEmpty());
    // A control needs a widget to live on: any other parent is refused.
    QObject notAWidget;
    EXPECT_EQ(create("quilButton", &notAWidget), nullptr);
    EXPECT_TRUE(notAWidget.children().isEmpty());
}

} // namespace
