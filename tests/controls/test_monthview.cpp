// quilMonthview: the month-start table from its own calendar routine
// (year 0 included), stored months out of range, the arrows at the ends of
// months and years, the title's popup list, today's box from an injected
// clock, and the month names the popup cannot hold.
#include "Helpers.h"
#include "composite/quilPUMenu_p.h"

#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>

#include "composite/quilMonthview_p.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSignalSpy>
#include <functional>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::keyAccepted;
using quiltest::rgb;

namespace {

constexpr quint32 White = rgb(255, 255, 255);
constexpr quint32 FaceTop = rgb(230, 230, 249);
constexpr quint32 EdgeEnd = rgb(120, 120, 222);

std::unique_ptr<quilMonthview> calendar(short year, short month, short day = 1)
{
    auto m = std::make_unique<quilMonthview>();
    m->setFont(QFont("DejaVu Sans", 8));
    m->setIYear(year);
    m->setIMonth(month);
    m->setIDay(day);
    return m;
}

quilMonthviewPrivate& inside(const quilMonthview& m) { return quilMonthviewPrivate::of(&m); }
const quilMonthviewPrivate::Cell& cellOf(const quilMonthview& m, int k) { return inside(m).CellAt(k); }
QRect headerOf(const quilMonthview& m, int h) { return inside(m).HeaderRect(h); }

// Cells 1..42 as day numbers.
std::vector<int> days(const quilMonthview& m)
{
    std::vector<int> out;
    for (int k = 1; k <= 42; ++k)
        out.push_back(cellOf(m, k).Day);
    return out;
}

int errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

void pressOn(quilMonthview& m, const QRect& r)
{
    const float x = r.x() + r.width() / 2.0f, y = r.y() + r.height() / 2.0f;
    m.MouseMoveNotify(0, 0, x, y);
    m.MouseDownNotify(1, 0, x, y);
}

} // namespace

TEST(quilMonthviewCalendar, TheMonthStartTable)
{
    // 1 February 2010 was a Monday, 1 August 2010 a Sunday; 1 January of 1900
    // a Monday, of 2000 a Saturday, and of year 0 (2000 years, five whole
    // 400-year cycles, earlier) a Saturday as well.
    EXPECT_EQ(quilMonthview::FirstWeekday(2010, 2), 1);
    EXPECT_EQ(quilMonthview::FirstWeekday(2010, 8), 7);
    EXPECT_EQ(quilMonthview::FirstWeekday(1900, 1), 1);
    EXPECT_EQ(quilMonthview::FirstWeekday(2000, 1), 6);
    EXPECT_EQ(quilMonthview::FirstWeekday(0, 1), 6);
    EXPECT_EQ(quilMonthview::FirstWeekday(0, 3), 3) << "year 0 is a leap year: 1 March is a Wednesday";
    EXPECT_EQ(quilMonthview::FirstWeekday(-1, 1), 5) << "1 January 1 BC (year -1) was a Friday";
    EXPECT_EQ(quilMonthview::FirstWeekday(2005, 2), 2);
    EXPECT_EQ(quilMonthview::DaysInMonth(2000, 2), 29);
    EXPECT_EQ(quilMonthview::DaysInMonth(1900, 2), 28);
    EXPECT_EQ(quilMonthview::DaysInMonth(2004, 2), 29);
    EXPECT_EQ(quilMonthview::DaysInMonth(0, 2), 29);

    auto feb = calendar(2010, 2);
    std::vector<int> four(42, 0);
    for (int k = 1; k <= 28; ++k)
        four[static_cast<size_t>(k - 1)] = k;
    EXPECT_EQ(days(*feb), four) << "February 2010 fills exactly four rows";

    auto aug = calendar(2010, 8);
    const auto a = days(*aug);
    EXPECT_EQ(std::vector<int>(a.begin(), a.begin() + 7), std::vector<int>({0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(a[36], 31) << "the 31st in cell 37";

    auto zero = calendar(0, 1);
    EXPECT_EQ(cellOf(*zero, 6).Day, 1);
}

TEST(quilMonthviewProperties, DefaultsStoredMonthsOutOfRangeAndTheYearLimits)
{
    quilMonthview m;
    EXPECT_EQ(m.ID(), 7);
    EXPECT_EQ(std::tuple(m.iDay(), m.iMonth(), m.iYear()), std::tuple(short(1), short(2), short(2005)));
    EXPECT_EQ(m.MonthList()->MenuItem()->Count(), 12);
    m.setIMonth(0);
    EXPECT_EQ(m.iMonth(), 1);
    m.setIMonth(13);
    EXPECT_EQ(m.iMonth(), 12);

    for (auto [stored, month] : {std::pair(13, 12), std::pair(0, 1), std::pair(-7, 1), std::pair(40000, 12)}) {
        quiltest::RecordingBag bag;
        bag.WriteProperty("Month", stored, 2);
        quilMonthview loaded;
        loaded.ReadProperties(bag);
        EXPECT_EQ(loaded.iMonth(), month) << stored;
        EXPECT_NO_THROW(loaded.Face());
    }
    quiltest::RecordingBag bag;
    bag.WriteProperty("Day", 40, 1);
    quilMonthview loaded;
    loaded.ReadProperties(bag);
    EXPECT_EQ(loaded.iDay(), 40) << "a day is stored as it is and matches no cell";

    // The arrows: December stays December, and the year stops at its limits.
    auto dec = calendar(32767, 12);
    pressOn(*dec, headerOf(*dec, quilMonthviewPrivate::HeaderNextMonth));
    dec->MouseUpNotify(1, 0, 0, 0);
    EXPECT_EQ(std::tuple(dec->iMonth(), dec->iYear()), std::tuple(short(12), short(32767)));
    pressOn(*dec, headerOf(*dec, quilMonthviewPrivate::HeaderNextYear));
    dec->MouseUpNotify(1, 0, 0, 0);
    EXPECT_EQ(dec->iYear(), 32767);
    dec->setIYear(-32768);
    pressOn(*dec, headerOf(*dec, quilMonthviewPrivate::HeaderPrevYear));
    inside(*dec).RepeatTick();
    dec->MouseUpNotify(1, 0, 0, 0);
    EXPECT_EQ(dec->iYear(), -32768);
    pressOn(*dec, headerOf(*dec, quilMonthviewPrivate::HeaderPrevMonth));
    inside(*dec).RepeatTick();
    EXPECT_EQ(dec->iMonth(), 10) << "a held arrow repeats";
    dec->MouseUpNotify(1, 0, 0, 0);
    EXPECT_FALSE(inside(*dec).RepeatRunning());
}

TEST(quilMonthviewProperties, MonthNamesThePopupCannotHoldAreRefused)
{
    quilMonthview m;
    const QString before = m.MonthName();
    const QString twice = "Jan,Feb,Mar,Apr,May,Jun,Jul,Aug,Sep,Oct,Nov,jan";
    EXPECT_EQ(errorOf([&] { m.setMonthName(twice); }), 0) << "refused with a warning, never thrown";
    EXPECT_EQ(m.MonthName(), before);
    EXPECT_EQ(m.MonthList()->MenuItem()->Count(), 12);
    EXPECT_EQ(m.MonthList()->MenuItem()->Item(1)->Caption(), "January") << "the old list is whole";

    m.setMonthName("Jan,Feb,Mar");
    EXPECT_EQ(inside(m).MonthNameAt(2), "Mar");
    EXPECT_EQ(inside(m).MonthNameAt(3), "") << "missing names are empty";
    EXPECT_EQ(m.MonthList()->MenuItem()->Count(), 12);
    m.setWeekdayName("A,B,C");
    EXPECT_EQ(inside(m).WeekdayNameAt(2), "C");
    for (int i = 3; i < 7; ++i)
        EXPECT_EQ(inside(m).WeekdayNameAt(i), "") << i;

    quiltest::RecordingBag bag;
    bag.WriteProperty("MonthName", twice, QString());
    quilMonthview loaded;
    EXPECT_NO_THROW(loaded.ReadProperties(bag));
    EXPECT_EQ(loaded.MonthName(), before) << "a stored list with a repeated name keeps the defaults";
}

TEST(quilMonthviewMouse, DaysTitleAndRightButton)
{
    auto m = calendar(2005, 2);
    QStringList order;
    QObject::connect(m.get(), &quilMonthview::MouseDown, [&] { order << "down"; });
    QObject::connect(m.get(), &quilMonthview::MouseUp, [&] { order << "up"; });
    QObject::connect(m.get(), &quilMonthview::Click, [&] { order << "click"; });
    // 1 February 2005 was a Tuesday: the 15th is in cell 16.
    const auto& c = cellOf(*m, 16);
    ASSERT_EQ(c.Day, 15);
    m->MouseDownNotify(2, 0, c.X + 2, c.Y + 2);
    m->MouseUpNotify(2, 0, c.X + 2, c.Y + 2);
    EXPECT_TRUE(order.isEmpty()) << "the right button does nothing";
    EXPECT_EQ(m->iDay(), 1);
    m->MouseDownNotify(1, 0, c.X + 2, c.Y + 2);
    m->MouseUpNotify(1, 0, c.X + 2, c.Y + 2);
    EXPECT_EQ(m->iDay(), 15);
    EXPECT_EQ(order, QStringList({"click", "down", "up"}));
    m->MouseDownNotify(1, 0, c.X, c.Y + 2);
    EXPECT_EQ(m->iDay(), 15) << "the cell's own edge is not inside it";
    m->MouseUpNotify(1, 0, 0, 0);

    // The title: the month list opens under it, the container hears
    // MouseDown before MouseUp, and no timer is left running.
    order.clear();
    pressOn(*m, headerOf(*m, quilMonthviewPrivate::HeaderTitle));
    EXPECT_TRUE(m->bMenuOpen());
    EXPECT_TRUE(m->MonthList()->MenuVisible());
    m->MouseUpNotify(1, 0, 0, 0);
    EXPECT_EQ(order, QStringList({"down", "up"}));
    EXPECT_FALSE(inside(*m).RepeatRunning());
    quilPUMenuPrivate::of(m->MonthList()).MenuMouseMove(m->MonthList()->Rows()->Item(5)->Top() + 3);
    quilPUMenuPrivate::of(m->MonthList()).MenuClick();
    EXPECT_EQ(m->iMonth(), 5) << "May picked from the list";
    quilPUMenuPrivate::of(m->MonthList()).FocusTick();
    EXPECT_FALSE(m->bMenuOpen()) << "the list's Closed";
    EXPECT_EQ(inside(*m).HotHeader(), 0);
}

TEST(quilMonthviewFace, TodaysBoxFromTheClockAndTheSelectedDay)
{
    quiltest::ManualClock clock(QDateTime(QDate(2005, 2, 14), QTime(9, 0)));
    auto m = calendar(2005, 2, 1);
    m->setClock(&clock);
    const auto& today = cellOf(*m, 15);
    ASSERT_EQ(today.Day, 14);
    EXPECT_EQ(at(*m, today.X + 1, today.Y + 1), FaceTop) << "today's plain box";
    EXPECT_EQ(at(*m, today.X, today.Y), EdgeEnd);
    const auto& other = cellOf(*m, 16);
    EXPECT_EQ(at(*m, other.X + 1, other.Y + 1), White);
    const auto& selected = cellOf(*m, 2);
    ASSERT_EQ(selected.Day, 1);
    // The selected day shades from FaceTop (red 230) toward FaceBottom (red 170) left to right.
    auto red = [&](int x, int y) { return int(at(*m, x, y) & 0xFF); };
    EXPECT_EQ(at(*m, selected.X, selected.Y + 1), EdgeEnd) << "its frame";
    EXPECT_GT(red(selected.X + 1, selected.Y + 1), red(selected.X + selected.Width - 1, selected.Y + 1));
    EXPECT_LE(red(selected.X + 1, selected.Y + 1), 230);
    EXPECT_GE(red(selected.X + selected.Width - 1, selected.Y + 1), 170);

    clock.set(QDateTime(QDate(2005, 3, 14), QTime(9, 0)));
    m->Refresh();
    EXPECT_EQ(at(*m, today.X + 1, today.Y + 1), White) << "today is not in the month shown";
    clock.set(QDateTime(QDate(2005, 2, 1), QTime(9, 0)));
    m->Refresh();
    EXPECT_LT(red(selected.X + selected.Width - 1, selected.Y + 1), 230) << "the selected look wins over today's";
    EXPECT_EQ(at(*m, 0, 0), EdgeEnd);
    EXPECT_EQ(m->sizeHint(), QSize(cellOf(*m, 7).X + cellOf(*m, 7).Width + cellOf(*m, 1).X / 2,
                                   cellOf(*m, 42).Y + cellOf(*m, 42).Height + cellOf(*m, 1).X / 2))
        << "the grid is the control's hint";
}

// ------------------------------------------------------------ as Qt programs use it

namespace {

// A program's own clock, written as an outside project writes one: the
// published interface only, owned and destroyed through it.
class LeapNightClock : public quil::Clock {
public:
    explicit LeapNightClock(int* asked) : asked(asked) {}
    QDateTime now() const override
    {
        ++*asked;
        return QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59));
    }

private:
    int* asked;
};

} // namespace

TEST(quilMonthviewQt, AProgramsOwnClockDrivesToday)
{
    int asked = 0;
    std::unique_ptr<quil::Clock> clock = std::make_unique<LeapNightClock>(&asked);
    auto m = calendar(2024, 1, 1);
    m->setClock(clock.get());
    // 1 January 2024 was a Monday, 1 February a Thursday.
    const auto& january29 = cellOf(*m, 29);
    ASSERT_EQ(january29.Day, 29);
    EXPECT_EQ(at(*m, january29.X + 1, january29.Y + 1), White) << "the clock's today is in February";
    EXPECT_GT(asked, 0) << "the calendar asks the program's clock";

    pressOn(*m, headerOf(*m, quilMonthviewPrivate::HeaderNextMonth));
    m->MouseUpNotify(1, 0, 0, 0);
    ASSERT_EQ(m->iMonth(), 2);
    const auto& february29 = cellOf(*m, 32);
    ASSERT_EQ(february29.Day, 29);
    EXPECT_EQ(at(*m, february29.X + 1, february29.Y + 1), FaceTop) << "today's box on the leap day";

    // Taken back, the clock is not asked again and can go.
    m->setClock(nullptr);
    const int before = asked;
    m->Refresh();
    m->Face();
    EXPECT_EQ(asked, before);
    clock.reset();
    m->Refresh();
}

TEST(quilMonthviewQt, DesignerTypesSettersAndRefusedNames)
{
    quilMonthview m;
    const QMetaObject* mo = m.metaObject();
    for (const char* p : {"iDay", "iMonth", "iYear"})
        EXPECT_EQ(mo->property(mo->indexOfProperty(p)).metaType(), QMetaType::fromType<int>()) << p;
    // The names uic calls.
    m.setIDay(9);
    m.setIMonth(7);
    m.setIYear(2024);
    EXPECT_EQ(std::tuple(m.iDay(), m.iMonth(), m.iYear()), std::tuple(9, 7, 2024));
    // Beyond 16 bits is refused, not wrapped.
    EXPECT_TRUE(m.setProperty("iYear", 70000));
    EXPECT_EQ(m.iYear(), 2024);
    // A list naming a month twice is refused with the old names kept; nothing is thrown.
    const QString before = m.MonthName();
    EXPECT_NO_THROW(m.setProperty("MonthName", "Jan,Feb,Jan"));
    EXPECT_NO_THROW(m.setMonthName("A,a"));
    EXPECT_EQ(m.MonthName(), before);
    EXPECT_EQ(m.MonthList()->MenuItem()->Count(), 12);
}

TEST(quilMonthviewQt, TheGridIsTheHintAndAGivenSizeIsKept)
{
    QWidget host;
    auto* m = new quilMonthview(&host);
    const QSize grid = m->sizeHint();
    EXPECT_EQ(grid.width(), cellOf(*m, 7).X + cellOf(*m, 7).Width + cellOf(*m, 1).X / 2);
    EXPECT_EQ(grid.height(), cellOf(*m, 42).Y + cellOf(*m, 42).Height + cellOf(*m, 1).X / 2);
    EXPECT_EQ(m->size(), grid) << "a new calendar starts at its grid";
    EXPECT_EQ(m->sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    m->setGeometry(0, 0, grid.width() + 60, grid.height() + 30);
    host.show();
    m->setFont(QFont("DejaVu Sans", 14));
    EXPECT_EQ(m->size(), QSize(grid.width() + 60, grid.height() + 30)) << "no resize of its own";
    EXPECT_GT(m->sizeHint().width(), grid.width());
    // The title stays centred on the width it was given.
    const QRect title = headerOf(*m, quilMonthviewPrivate::HeaderTitle);
    EXPECT_LE(std::abs(title.center().x() - m->width() / 2), 1);
}

TEST(quilMonthviewQt, PropertiesReachTheSameStateInEitherOrder)
{
    const quiltest::PropertyWrites props = {
        {"BackColor", QVariant::fromValue<quint32>(0x102030)}, {"iDay", 31}, {"iMonth", 3}, {"iYear", 1999},
        {"WeekdayName", "M,T,W,T,F,S,S"}, {"MonthName", "I,II,III,IV,V,VI,VII,VIII,IX,X,XI,XII"}};
    quilMonthview forward, backward;
    quiltest::ExpectSameFormEitherOrder(props, forward, backward);
    EXPECT_EQ(forward.Face(), backward.Face());
}

namespace {

QString date(const quilMonthview& m) { return QStringLiteral("%1-%2-%3").arg(m.iYear()).arg(m.iMonth()).arg(m.iDay()); }

} // namespace

TEST(quilMonthviewKeys, ArrowsCrossMonthsYearsAndLeapFebruary)
{
    auto m = calendar(2024, 2, 28);
    EXPECT_EQ(m->focusPolicy(), Qt::StrongFocus);
    EXPECT_TRUE(keyAccepted(*m, Qt::Key_Right));
    EXPECT_EQ(date(*m), "2024-2-29") << "2024 is a leap year";
    keyAccepted(*m, Qt::Key_Right);
    EXPECT_EQ(date(*m), "2024-3-1");
    // The grid is March's now: 1 March 2024 was a Friday, cell 5.
    EXPECT_EQ(cellOf(*m, 5).Day, 1);
    EXPECT_EQ(cellOf(*m, 4).Day, 0);
    keyAccepted(*m, Qt::Key_Left);
    EXPECT_EQ(date(*m), "2024-2-29");

    auto plain = calendar(2023, 2, 28);
    keyAccepted(*plain, Qt::Key_Right);
    EXPECT_EQ(date(*plain), "2023-3-1") << "2023 is not";
    keyAccepted(*plain, Qt::Key_Up);
    EXPECT_EQ(date(*plain), "2023-2-22");
    keyAccepted(*plain, Qt::Key_Down);
    EXPECT_EQ(date(*plain), "2023-3-1");
    plain->setIDay(3);
    keyAccepted(*plain, Qt::Key_Up);
    EXPECT_EQ(date(*plain), "2023-2-24") << "a week back from 3 March";

    // Across the year's end, each of day, month and year notified as from code.
    auto year = calendar(2024, 12, 31);
    QStringList changed;
    QObject::connect(year.get(), &quilControl::PropertyChanged, [&](const QString& n) { changed << n; });
    keyAccepted(*year, Qt::Key_Right);
    EXPECT_EQ(date(*year), "2025-1-1");
    EXPECT_EQ(changed, QStringList({"iYear", "iMonth", "iDay"}));
    changed.clear();
    keyAccepted(*year, Qt::Key_Down);
    EXPECT_EQ(date(*year), "2025-1-8");
    EXPECT_EQ(changed, QStringList({"iDay"}));
    keyAccepted(*year, Qt::Key_Up);
    keyAccepted(*year, Qt::Key_Up);
    EXPECT_EQ(date(*year), "2024-12-25");

    // The last year a 16-bit number holds is as far as it goes.
    auto last = calendar(32767, 12, 31);
    EXPECT_TRUE(keyAccepted(*last, Qt::Key_Right));
    EXPECT_EQ(date(*last), "32767-12-31");
    auto first = calendar(-32768, 1, 1);
    keyAccepted(*first, Qt::Key_Left);
    EXPECT_EQ(date(*first), "-32768-1-1");
}

TEST(quilMonthviewKeys, PagesKeepTheDayWithinTheMonthAndHomeEndGoToItsEnds)
{
    auto m = calendar(2005, 3, 31);
    keyAccepted(*m, Qt::Key_PageUp);
    EXPECT_EQ(date(*m), "2005-2-28") << "31 March, a month back";
    keyAccepted(*m, Qt::Key_PageDown);
    EXPECT_EQ(date(*m), "2005-3-28") << "the day stays as the shorter month left it";
    auto leap = calendar(2024, 3, 31);
    keyAccepted(*leap, Qt::Key_PageUp);
    EXPECT_EQ(date(*leap), "2024-2-29");
    auto jan = calendar(2005, 1, 15);
    keyAccepted(*jan, Qt::Key_PageUp);
    EXPECT_EQ(date(*jan), "2004-12-15");
    keyAccepted(*jan, Qt::Key_PageDown);
    keyAccepted(*jan, Qt::Key_PageDown);
    EXPECT_EQ(date(*jan), "2005-2-15");
    keyAccepted(*jan, Qt::Key_End);
    EXPECT_EQ(date(*jan), "2005-2-28");
    keyAccepted(*jan, Qt::Key_Home);
    EXPECT_EQ(date(*jan), "2005-2-1");
    // A day from code beyond the month's end counts as its last.
    auto far = calendar(2005, 4, 31);
    keyAccepted(*far, Qt::Key_Left);
    EXPECT_EQ(date(*far), "2005-4-29");
}

TEST(quilMonthviewKeys, EnterPicksAsTheMouseDoesAndOtherKeysGoOn)
{
    auto m = calendar(2005, 2, 14);
    QStringList order;
    QObject::connect(m.get(), &quilMonthview::Click, [&] { order << "click"; });
    QObject::connect(m.get(), &quilMonthview::DblClick, [&] { order << "dblclick"; });
    keyAccepted(*m, Qt::Key_Right);
    EXPECT_TRUE(order.isEmpty()) << "moving is not picking";
    EXPECT_TRUE(keyAccepted(*m, Qt::Key_Return));
    EXPECT_TRUE(keyAccepted(*m, Qt::Key_Enter));
    EXPECT_EQ(order, QStringList({"click", "dblclick", "click", "dblclick"}));
    EXPECT_EQ(date(*m), "2005-2-15");
    // The mouse's double click on the same day raises the same two.
    order.clear();
    const auto& c = cellOf(*m, 16);
    ASSERT_EQ(c.Day, 15);
    m->MouseMoveNotify(0, 0, c.X + 2, c.Y + 2);
    m->MouseDownNotify(1, 0, c.X + 2, c.Y + 2);
    m->MouseUpNotify(1, 0, c.X + 2, c.Y + 2);
    m->DblClickNotify();
    EXPECT_EQ(order, QStringList({"click", "dblclick"}));
    order.clear();
    for (Qt::Key k : {Qt::Key_Escape, Qt::Key_Tab, Qt::Key_A, Qt::Key_F1})
        EXPECT_FALSE(keyAccepted(*m, k)) << "goes on to the window: " << k;
    EXPECT_TRUE(order.isEmpty());
    EXPECT_EQ(date(*m), "2005-2-15");
    // A disabled calendar takes no key.
    m->setEnabled(false);
    keyAccepted(*m, Qt::Key_Right);
    EXPECT_EQ(date(*m), "2005-2-15");
}
