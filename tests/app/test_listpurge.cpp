// Rows whose pictures cannot be found are deleted at start only when the
// picture is certainly gone: mount tables written by the tests stand in for
// the system's, so a drive can be mounted or not.
#include "Fixture.h"
#include "engine/WallpaperList.h"

#include <unistd.h>

using namespace murivo;

namespace {

struct Tables {
    TestHome& home;
    MountTables paths{home.path("mounts"), home.path("fstab")};

    // Mount points as the system writes them: blanks as \040.
    static QByteArray Escaped(const QString& point) { return point.toUtf8().replace(" ", "\\040"); }
    void mounted(const QStringList& points)
    {
        QByteArray text = "/dev/vda / ext4 rw,relatime 0 0\nproc /proc proc rw 0 0\n";
        for (const QString& p : points)
            text += "/dev/sdb1 " + Escaped(p) + " ext4 rw,relatime 0 0\n";
        write(paths.mounted, text);
    }
    void fstab(const QStringList& points)
    {
        QByteArray text = "# <file system> <mount point> <type> <options> <dump> <pass>\nUUID=1234 / ext4 defaults 0 1\n"
                          "/dev/sda2 none swap sw 0 0\n";
        for (const QString& p : points)
            text += "LABEL=photos\t" + Escaped(p) + "\text4\tnoauto,user 0 2\n";
        write(paths.fstab, text);
    }
    static void write(const QString& file, const QByteArray& text)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
};

QString Folder(TestHome& home, const QString& rel)
{
    const QString p = home.path(rel);
    QDir().mkpath(p);
    return p;
}

// The list file made read-only whoever opens it: its header says it was
// written by a newer program, which leaves it readable only.
void MakeReadOnly(const QString& list)
{
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(18));
    ASSERT_EQ(f.write("\x03", 1), 1);
}

} // namespace

TEST(ListPurge, AFileIsGoneOnlyFromAReadableMountedFolderThatHoldsOtherThings)
{
    TestHome home;
    Tables t{home};
    const QString drive = Folder(home, "mnt/photos"), blank = Folder(home, "mnt/my drive");
    t.fstab({drive, blank});
    t.mounted({});
    const QString pics = Folder(home, "pics");
    home.picture("pics/other.jpg", Qt::red);

    GoneCheck away(t.paths);
    EXPECT_FALSE(away.KnownGone(drive + "/a.jpg")) << "the empty mount point of a drive that is away";
    EXPECT_FALSE(away.KnownGone(drive + "/2023/a.jpg")) << "a folder that is not there";
    EXPECT_FALSE(away.KnownGone(Folder(home, "empty") + "/a.jpg")) << "an empty folder says nothing";
    EXPECT_TRUE(away.KnownGone(pics + "/gone.jpg"));
    EXPECT_TRUE(away.KnownGone("")) << "an empty row names nothing";
    EXPECT_TRUE(away.KnownGone("relative/a.jpg"));

    // A mount point holding something of its own (a leftover, a marker file)
    // is still not the drive while the drive is listed and not mounted.
    home.picture("mnt/photos/leftover.jpg", Qt::red);
    home.picture("mnt/my drive/leftover.jpg", Qt::red);
    EXPECT_FALSE(GoneCheck(t.paths).KnownGone(drive + "/a.jpg"));
    EXPECT_FALSE(GoneCheck(t.paths).KnownGone(blank + "/a.jpg")) << "blanks in fstab are \\040";

    t.mounted({drive, blank});
    GoneCheck here(t.paths);
    EXPECT_TRUE(here.KnownGone(drive + "/a.jpg")) << "mounted, and holding other files";
    EXPECT_TRUE(here.KnownGone(blank + "/a.jpg"));
    EXPECT_FALSE(here.KnownGone(drive + "/2023/a.jpg"));

    // A folder holding only the name, as a folder: nothing else to go by.
    Folder(home, "lonely/pic.jpg");
    EXPECT_FALSE(here.KnownGone(home.path("lonely/pic.jpg")));
    home.picture("lonely/x.jpg", Qt::red);
    EXPECT_TRUE(GoneCheck(t.paths).KnownGone(home.path("lonely/pic.jpg"))) << "a folder is no picture";

    // Without a mount table nothing is known.
    EXPECT_FALSE(GoneCheck({home.path("no mounts"), t.paths.fstab}).KnownGone(pics + "/gone.jpg"));
    // Without an fstab the mount table still counts.
    EXPECT_TRUE(GoneCheck({t.paths.mounted, home.path("no fstab")}).KnownGone(pics + "/gone.jpg"));
}

TEST(ListPurge, AnUnreadableFolderKeepsItsRows)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    TestHome home;
    Tables t{home};
    t.fstab({});
    t.mounted({});
    home.picture("locked/other.jpg", Qt::red);
    const QString locked = home.path("locked");
    QFile::setPermissions(locked, QFile::WriteOwner);
    EXPECT_FALSE(GoneCheck(t.paths).KnownGone(locked + "/gone.jpg"));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(ListPurge, AtStartOnlyRowsCertainlyGoneAreDeleted)
{
    MainWindowFixture f;
    Tables t{f.home};
    const QString drive = Folder(f.home, "mnt/photos");
    t.fstab({drive});
    t.mounted({});
    const QString a = f.pic("a.jpg", Qt::red), d = f.pic("d.jpg", Qt::blue);
    const QString away = drive + "/b.jpg", gone = f.home.path("pics/gone.jpg"), empty = Folder(f.home, "empty") + "/c.jpg";
    f.makeList({a, away, gone, empty, d});
    f.form = std::make_unique<Form1>(f.sv, f.paths, f.loading);
    f.form->mountTables = t.paths;
    f.form->Form_Load();
    f.settle();
    EXPECT_EQ(f.rowsInFile(), QStringList({a, away, empty, d}));
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), QStringList({a, away, empty, d})) << "numbered as the rows kept";
    EXPECT_TRUE(f.boxes.shown.empty());
}

TEST(ListPurge, AReadOnlyListIsSaidOnceAndEveryRowGetsItsThumbnail)
{
    MainWindowFixture f;
    Tables t{f.home};
    t.fstab({});
    t.mounted({});
    const QString a = f.pic("a.jpg", Qt::red), c = f.pic("c.jpg", Qt::green), e = f.pic("e.jpg", Qt::blue);
    const QString gone1 = f.home.path("pics/gone1.jpg"), gone2 = f.home.path("pics/gone2.jpg");
    // Long enough to be read over several event-loop turns, each meeting rows it cannot delete.
    QStringList rows{a, gone1, c, gone2};
    for (int i = 0; i < 40; ++i)
        rows << gone1 << c;
    rows << e;
    f.makeList(rows);
    MakeReadOnly(f.listFile());
    f.form = std::make_unique<Form1>(f.sv, f.paths, f.loading);
    f.form->mountTables = t.paths;
    f.form->Form_Load();
    f.form->show();   // a shown window lays its grid out
    ASSERT_TRUE(QTest::qWaitForWindowExposed(f.form.get()));
    f.settle();
    ASSERT_EQ(f.boxes.shown.size(), 1u) << f.boxes.texts().join(" | ").toStdString();
    EXPECT_TRUE(f.boxes.shown[0].text.contains("could not be cleaned")) << f.boxes.shown[0].text.toStdString();
    EXPECT_TRUE(f.boxes.shown[0].text.contains("readonly")) << "the database's own reason";
    EXPECT_EQ(f.form->ThumbsCtl1.Paths(), rows) << "the fill went on to the last row";
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.form->ThumbsCtl1.Pending() == 0; }, 60000));
    EXPECT_FALSE(f.form->ThumbsCtl1.ThumbImageOf(rows.size()).isNull()) << "the last row has its thumbnail";
    EXPECT_TRUE(f.form->ThumbsCtl1.ThumbImageOf(2).isNull());
    EXPECT_TRUE(f.form->ListCursor->Eof());
}
