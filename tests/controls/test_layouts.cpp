// The controls as a Qt program places them: every public control in a
// vertical and in a grid layout of a shown dialog gets a place of its own,
// keeps it when painted, and paints without a painter warning.
#include <quilObjects/Library.h>
#include <quilObjects/quilControl.h>

#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// Fails the test on any painter complaint while it is installed.
struct PainterWarnings {
    static inline QStringList seen;
    QtMessageHandler previous;
    PainterWarnings()
    {
        seen.clear();
        previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) {
            if (m.contains(QLatin1String("QPainter")) || m.contains(QLatin1String("Paint device")))
                seen << m;
        });
    }
    ~PainterWarnings() { qInstallMessageHandler(previous); }
};

QStringList publicControls()
{
    QStringList names;
    for (const quil::ClassEntry& e : quil::ClassTable())
        if (e.kind == quil::ClassEntry::Control && e.create)
            names << QString::fromLatin1(e.name);
    return names;
}

struct Placed {
    QString cls;
    QPointer<QWidget> w;
};

void checkPlaces(QDialog& dialog, const std::vector<Placed>& placed, QWidget* after)
{
    std::vector<std::pair<QString, QRect>> shown;
    for (const Placed& p : placed) {
        ASSERT_TRUE(p.w) << qPrintable(p.cls) << " was deleted";
        if (!p.w->isVisible())
            continue;   // a control invisible at run time takes no place
        const QSize hint = p.w->sizeHint(), least = p.w->minimumSizeHint();
        EXPECT_TRUE(hint.isValid() && !hint.isEmpty()) << qPrintable(p.cls) << " hint " << hint.width() << "x"
                                                       << hint.height();
        EXPECT_TRUE(least.isValid() && !least.isEmpty()) << qPrintable(p.cls);
        EXPECT_LE(least.width(), hint.width()) << qPrintable(p.cls);
        EXPECT_LE(least.height(), hint.height()) << qPrintable(p.cls);
        const QRect g = p.w->geometry();
        EXPECT_FALSE(g.isEmpty()) << qPrintable(p.cls) << " got no place";
        EXPECT_GE(g.height(), least.height()) << qPrintable(p.cls);
        // A thickness the control fixes is what the layout gives it.
        if (p.w->sizePolicy().verticalPolicy() == QSizePolicy::Fixed) {
            EXPECT_EQ(g.height(), hint.height()) << qPrintable(p.cls);
        }
        if (p.w->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed) {
            EXPECT_EQ(g.width(), hint.width()) << qPrintable(p.cls);
        }
        // The face is drawn at the size the layout gave.
        if (auto* c = qobject_cast<quil::quilControl*>(p.w.data())) {
            EXPECT_EQ(c->Face().size(), g.size()) << qPrintable(p.cls);
        }
        shown.emplace_back(p.cls, g);
    }
    shown.emplace_back(QStringLiteral("QTextEdit"), after->geometry());
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i].second.intersects(shown[j].second))
                << qPrintable(shown[i].first) << " overlaps " << qPrintable(shown[j].first);
    EXPECT_TRUE(dialog.rect().contains(after->geometry()));
}

std::vector<QRect> geometries(const std::vector<Placed>& placed)
{
    std::vector<QRect> out;
    for (const Placed& p : placed)
        out.push_back(p.w ? p.w->geometry() : QRect());
    return out;
}

void placeAll(bool grid)
{
    PainterWarnings warnings;
    QDialog dialog;
    QLayout* layout = nullptr;
    QGridLayout* g = nullptr;
    if (grid)
        layout = g = new QGridLayout(&dialog);
    else
        layout = new QVBoxLayout(&dialog);
    std::vector<Placed> placed;
    int i = 0;
    for (const QString& cls : publicControls()) {
        QWidget* w = quil::CreateControl(cls, &dialog);
        ASSERT_NE(w, nullptr) << qPrintable(cls);
        w->setObjectName(cls + QLatin1Char('1'));
        if (g)
            g->addWidget(w, i / 3, i % 3);
        else
            layout->addWidget(w);
        placed.push_back({cls, w});
        ++i;
    }
    ASSERT_EQ(placed.size(), 13u);
    // A plain Qt widget after them: nothing of ours may reach into its place.
    auto* edit = new QTextEdit(&dialog);
    if (g)
        g->addWidget(edit, i / 3 + 1, 0, 1, 3);
    else
        layout->addWidget(edit);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QApplication::processEvents();
    checkPlaces(dialog, placed, edit);

    // Painting changes no place: nothing sizes itself from its paint.
    const std::vector<QRect> before = geometries(placed);
    (void)dialog.grab();
    QApplication::processEvents();
    EXPECT_EQ(geometries(placed), before);

    // A dialog made smaller still leaves each control its own place.
    dialog.resize(dialog.minimumSizeHint());
    QApplication::processEvents();
    (void)dialog.grab();
    QApplication::processEvents();
    checkPlaces(dialog, placed, edit);
    EXPECT_TRUE(PainterWarnings::seen.isEmpty()) << qPrintable(PainterWarnings::seen.join('\n'));
}

} // namespace

TEST(LibraryInLayouts, EveryControlInAVerticalLayoutOfADialog) { placeAll(false); }

TEST(LibraryInLayouts, EveryControlInAGridLayoutOfADialog) { placeAll(true); }
