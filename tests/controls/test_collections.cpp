// The keyed lists: positions and keys, errors that change nothing, held
// entries outliving their list, enumeration while removing, sorted insertion
// in a pinned locale and the events of the list-box entries.
#include <quilObjects/ComboDatas.h>
#include <quilObjects/MenuItems.h>
#include <quilObjects/Search.h>

#include <QPointer>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

using namespace quil;

namespace {

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

QStringList captions(const ComboDatas& c)
{
    QStringList out;
    for (const auto& e : c)
        out << e->Caption();
    return out;
}

std::unique_ptr<ComboDatas> sortedList(eSortDirection d)
{
    auto c = std::make_unique<ComboDatas>();
    c->setCollationLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    c->setSorted(true);
    c->setSorting(d);
    return c;
}

} // namespace

TEST(KeyedCollection, KeysIgnoreCaseAndAStringIsAlwaysAKey)
{
    MenuItems m;
    m.Add("first", "One");
    m.Add("2", "Two");
    m.Add("third", "Three");
    EXPECT_EQ(m.Item("FIRST")->Caption(), "One");
    EXPECT_EQ(m.Item("2")->Caption(), "Two") << "the key \"2\"";
    EXPECT_EQ(m.Item(3)->Caption(), "Three") << "the third position";
    EXPECT_EQ(errorOf([&] { m.Item("3"); }), 5) << "\"3\" is no key, though 3 is a position";
    EXPECT_EQ(errorOf([&] { m.Item(0); }), 9);
    EXPECT_EQ(errorOf([&] { m.Item(4); }), 9);

    // A key that differs only in case is the same key: refused, nothing added.
    EXPECT_EQ(errorOf([&] { m.Add("Third", "again"); }), 457);
    EXPECT_EQ(m.Count(), 3);
    EXPECT_EQ(m.Item(3)->Caption(), "Three");
    EXPECT_EQ(errorOf([&] { m.Remove("nothing"); }), 5);
    EXPECT_EQ(errorOf([&] { m.Remove(9); }), 9);
    EXPECT_EQ(m.Count(), 3);

    // Removing closes the gap and frees the key.
    m.Remove(1);
    EXPECT_EQ(m.Item(1)->Caption(), "Two");
    EXPECT_EQ(errorOf([&] { m.Item("first"); }), 5);
    m.Add("FIRST", "back");
    EXPECT_EQ(m.Item("first")->Caption(), "back");
    m.Remove("THIRD");
    EXPECT_EQ(m.Count(), 2);
    EXPECT_EQ(m.Item(2)->Key(), "FIRST");
}

TEST(KeyedCollection, EmptyKeysAreUnkeyedAndItemOfNothingDependsOnTheList)
{
    MenuItems m;
    m.Add("", "a");
    m.Add("", "b");
    EXPECT_EQ(m.Count(), 2) << "any number of entries without a key";
    EXPECT_EQ(m.Item(""), nullptr) << "a menu's Item(\"\") is no entry";
    EXPECT_EQ(m.Item(1)->Caption(), "a");

    MenuItemListings rows;
    rows.Add("", 1, 2, 10, true);
    EXPECT_EQ(errorOf([&] { rows.Item(""); }), 5) << "the rows have no special case";
    EXPECT_EQ(rows.Item(1)->Top(), 2);

    ComboDatas c;
    c.Add("");
    c.Add("");
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(errorOf([&] { c.Item(""); }), 5);
}

TEST(KeyedCollection, DefaultsOfAdd)
{
    MenuItems m;
    const auto i = m.Add("k");
    EXPECT_EQ(std::tuple(i->Caption(), i->Icon(), i->Enabled(), i->Child(), i->Group(), i->ItemType(), i->Checked(),
                         i->Bold()),
              std::tuple(QString(), short(0), true, QString(), QString(), itNormal, false, false));
    ComboDatas c;
    const auto e = c.Add("k", "Caption", "value", 3, "note");
    EXPECT_EQ(std::tuple(e->Key(), e->Caption(), e->Value(), e->Icon(), e->Comment(), e->Index()),
              std::tuple(QString("k"), QString("Caption"), QString("value"), short(3), QString("note"), short(0)));
    // The entry's Key is a copy: changing it does not re-key the list.
    e->setKey("other");
    EXPECT_EQ(c.Item("k").get(), e.get());
    EXPECT_EQ(errorOf([&] { c.Item("other"); }), 5);
}

TEST(KeyedCollection, HeldEntriesOutliveRemoveAndClear)
{
    QSharedPointer<ComboData> held;
    QSharedPointer<MenuItemListing> row;
    {
        ComboDatas c;
        held = c.Add("a", "kept");
        c.Add("b", "other");
        c.Clear();
        EXPECT_EQ(c.Count(), 0);
        MenuItemListings rows;
        row = rows.Add("r", 1, 5, 6, true);
        rows.Remove("R");
    }
    // Both lists are gone; what the client holds is whole.
    EXPECT_EQ(held->Caption(), "kept");
    held->setCaption("changed");
    EXPECT_EQ(held->Caption(), "changed");
    EXPECT_EQ(row->Height(), 6);
}

// The list-box entries are kept as data: a handle exists only while a client
// holds one, and while it does, every way of asking gives that same handle.
TEST(KeyedCollection, AHandleIsMadeWhenAskedForAndIsTheSameWhileHeld)
{
    ComboDatas c;
    QPointer<ComboData> dropped = c.Add("a", "A").get();
    c.Add("b", "B");
    EXPECT_TRUE(dropped.isNull()) << "the list keeps no handle nobody holds";

    const auto held = c.Item(2);
    EXPECT_EQ(c.Item("B").get(), held.get());
    EXPECT_EQ(c.PositionOf(held.get()), 2);
    bool seen = false;
    for (const auto& e : c)
        seen = seen || e.get() == held.get();
    EXPECT_TRUE(seen) << "enumeration gives the held handle too";

    // What goes through a handle stays with the entry after the handle is gone.
    c.Item(1)->setComment("note");
    EXPECT_EQ(c.Item("a")->Comment(), "note");

    // Removed, the held handle is whole and no longer in the list.
    c.Remove("b");
    EXPECT_EQ(held->Caption(), "B");
    EXPECT_EQ(c.PositionOf(held.get()), 0);
    EXPECT_EQ(c.PositionOf(nullptr), 0);
}

TEST(KeyedCollection, EnumerationWalksASnapshotSoRemovingInsideIsSafe)
{
    MenuItems m;
    for (int i = 1; i <= 5; ++i)
        m.Add(QString("k%1").arg(i), QString::number(i));
    QStringList seen;
    for (const auto& item : m) {
        seen << item->Caption();
        m.Remove(1);
        if (item->Caption() == "2")
            m.Add("late", "late");
    }
    EXPECT_EQ(seen, QStringList({"1", "2", "3", "4", "5"})) << "the list as it was when the loop began";
    EXPECT_EQ(m.Count(), 1);
    EXPECT_EQ(m.Item(1)->Caption(), "late");
    int n = 0;
    for (const auto& item : MenuItems()) {
        (void)item;
        ++n;
    }
    EXPECT_EQ(n, 0);
}

TEST(KeyedCollection, ThePositionLimitIsReportedAtAdd)
{
    MenuItemListings rows;
    for (int i = 0; i < KeyedCollection<MenuItemListing>::MaxCount; ++i)
        rows.Add(QString(), 1, 0, 1, true);
    EXPECT_EQ(rows.Count(), 32767);
    EXPECT_EQ(errorOf([&] { rows.Add(QString(), 1, 0, 1, true); }), 6);
    EXPECT_EQ(rows.Count(), 32767);
    rows.Clear();
    EXPECT_EQ(rows.Count(), 0);
    rows.Clear();
    EXPECT_EQ(rows.Count(), 0) << "clearing an empty list does nothing";
}

TEST(ComboDatasSorting, AscendingIgnoresCaseAndKeepsTiesInOrder)
{
    auto c = sortedList(sd_Ascending);
    for (const char* s : {"beta", "Alpha", "gamma"})
        c->Add(QString(), s);
    EXPECT_EQ(captions(*c), QStringList({"Alpha", "beta", "gamma"}));
    c->Add("first", "X");
    c->Add("second", "x");
    EXPECT_EQ(c->Item(4)->Key(), "first") << "an equal caption goes after the ones there";
    EXPECT_EQ(c->Item(5)->Key(), "second");
    c->Add(QString(), "aardvark");
    EXPECT_EQ(c->Item(1)->Caption(), "aardvark") << "smaller than all: at position 1";
}

TEST(ComboDatasSorting, DescendingPutsTiesNewestFirstAndSmallestLast)
{
    auto c = sortedList(sd_Descending);
    for (const char* s : {"beta", "Alpha", "gamma"})
        c->Add(QString(), s);
    EXPECT_EQ(captions(*c), QStringList({"gamma", "beta", "Alpha"}));
    c->Add("first", "X");
    c->Add("second", "X");
    EXPECT_EQ(c->Item(1)->Key(), "second") << "the later of two equal captions comes first";
    EXPECT_EQ(c->Item(2)->Key(), "first");
    c->Add(QString(), "aardvark");
    EXPECT_EQ(c->Item(c->Count())->Caption(), "aardvark") << "smaller than all: appended";
}

TEST(ComboDatasSorting, CollationIsTheLocalesAndSortingAppliesOnlyAtInsertion)
{
    // Swedish puts å after z; English next to a.
    auto sv = sortedList(sd_Ascending);
    sv->setCollationLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    auto en = sortedList(sd_Ascending);
    for (const char* s : {"zebra", "\u00e5l", "apa"}) {
        sv->Add(QString(), QString::fromUtf8(s));
        en->Add(QString(), QString::fromUtf8(s));
    }
    EXPECT_EQ(captions(*sv), QStringList({"apa", "zebra", QString::fromUtf8("\u00e5l")}));
    EXPECT_EQ(captions(*en), QStringList({QString::fromUtf8("\u00e5l"), "apa", "zebra"}));

    ComboDatas plain;
    plain.Add(QString(), "b");
    plain.Add(QString(), "a");
    plain.setSorted(true);
    EXPECT_EQ(captions(plain), QStringList({"b", "a"})) << "nothing is reordered";
}

TEST(ComboDatasEvents, AddedAndChangedAreRaisedOnlyForWhatHappened)
{
    ComboDatas c;
    QSignalSpy added(&c, &ComboDatas::ItemAdded), changed(&c, &ComboDatas::ItemChanged);
    c.Clear();
    EXPECT_EQ(changed.count(), 1) << "Clear of an empty list still tells";
    c.Add("a");
    c.Add("b");
    EXPECT_EQ(added.count(), 2);
    EXPECT_EQ(errorOf([&] { c.Add("A"); }), 457);
    EXPECT_EQ(added.count(), 2) << "a refused Add raises nothing";
    EXPECT_EQ(errorOf([&] { c.Remove(3); }), 9);
    EXPECT_EQ(changed.count(), 1) << "a failed Remove raises nothing";
    c.Remove("a");
    EXPECT_EQ(changed.count(), 2);
    c.Add("c");
    c.Clear();
    EXPECT_EQ(changed.count(), 3) << "one event for the whole Clear";
    c.Add("d")->setCaption("no event for a field");
    EXPECT_EQ(added.count(), 4);
    EXPECT_EQ(changed.count(), 3);
}

// A container that knows the lists only through their meta-objects: a
// number is a position, text a key; a refused call gives null or false,
// never an exception; a handed-out entry is the caller's and is the entry.
TEST(KeyedCollectionLateBound, ItemRemoveAndAddThroughTheMetaObject)
{
    auto m = QSharedPointer<MenuItems>::create();
    m->Add("open", "Open");
    m->Add("save", "Save");
    const auto item = [&](const QVariant& v) {
        MenuItem* r = nullptr;
        EXPECT_TRUE(QMetaObject::invokeMethod(m.get(), "Item", Q_RETURN_ARG(quil::MenuItem*, r), Q_ARG(QVariant, v)));
        return std::unique_ptr<MenuItem>(r);
    };
    EXPECT_EQ(item(2.0)->Caption(), "Save") << "a script's number";
    EXPECT_EQ(item(QVariant(qint64(1)))->Caption(), "Open");
    EXPECT_EQ(item("SAVE")->Caption(), "Save");
    EXPECT_EQ(item(1.5), nullptr) << "no such position";
    EXPECT_EQ(item(3), nullptr);
    EXPECT_EQ(item("none"), nullptr);
    EXPECT_EQ(item(""), nullptr) << "an empty key is no entry here";

    // The handle writes through to the entry and outlives its removal and its list.
    auto held = item("open");
    held->setCaption("Open...");
    EXPECT_EQ(m->Item(1)->Caption(), "Open...");
    EXPECT_TRUE(held->SameEntry(m->Item(1).get()));
    bool removed = false;
    EXPECT_TRUE(QMetaObject::invokeMethod(m.get(), "Remove", Q_RETURN_ARG(bool, removed), Q_ARG(QVariant, "open")));
    EXPECT_TRUE(removed);
    EXPECT_TRUE(QMetaObject::invokeMethod(m.get(), "Remove", Q_RETURN_ARG(bool, removed), Q_ARG(QVariant, "open")));
    EXPECT_FALSE(removed) << "gone already";
    m.reset();
    EXPECT_EQ(held->Caption(), "Open...");

    // Add with the optional arguments left out, and a duplicate key refused.
    ComboDatas c;
    ComboData* added = nullptr;
    EXPECT_TRUE(QMetaObject::invokeMethod(&c, "Add", Q_RETURN_ARG(quil::ComboData*, added), Q_ARG(QString, "k")));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(std::tuple(added->Caption(), added->Icon()), std::tuple(QString(), short(0)));
    delete added;
    EXPECT_EQ(c.Count(), 1) << "the caller's handle goes, the entry stays";
    ComboData* again = added;
    EXPECT_TRUE(QMetaObject::invokeMethod(&c, "Add", Q_RETURN_ARG(quil::ComboData*, again), Q_ARG(QString, "K"),
                                          Q_ARG(QString, "dup")));
    EXPECT_EQ(again, nullptr);
    EXPECT_EQ(c.Count(), 1);
    EXPECT_EQ(c.property("Count").toInt(), 1);
}

TEST(KeyedCollectionLateBound, ResultListsArePositionsOnly)
{
    sf_Information r;
    r.Add("/a/", "x.txt", "", 32, "1", "x.txt");
    sf_InformationValue* v = nullptr;
    EXPECT_TRUE(QMetaObject::invokeMethod(&r, "Item", Q_RETURN_ARG(quil::sf_InformationValue*, v),
                                          Q_ARG(QVariant, "x.txt")));
    EXPECT_EQ(v, nullptr);
    EXPECT_TRUE(QMetaObject::invokeMethod(&r, "Item", Q_RETURN_ARG(quil::sf_InformationValue*, v), Q_ARG(QVariant, 1)));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Filename(), "x.txt");
    delete v;
}
