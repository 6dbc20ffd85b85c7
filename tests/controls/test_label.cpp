// quilLabel: shortening, wrapping and forced breaks (by the lines it prints
// and where its ink lands, since text is antialiased), the look's colours by
// hand, auto-size, the link's hover, click and opening with the opener
// replaced so that nothing is launched.
#include "Helpers.h"
#include "composite/LinkOpener.h"
#include "composite/quilLabel_p.h"

#include <quilObjects/ImageList.h>
#include <quilObjects/quilLabel.h>
#include <quilObjects/Routines.h>

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace quil;
using quiltest::at;
using quiltest::OpenerRecorder;
using quiltest::rgb;

namespace {

// Default colours worked by hand. Back: 240/255 white + 15/255 of (0, 0, 192):
// blue 240 + 11.3. Text: (0, 0, 192) at 115/255: 86.6. Link hover Tint3:
// 130/255 white + 125/255 of (255, 128, 0): green 130 + 62.7. Disabled EdgeEnd:
// 120/255 white + 135/255 of the fore colour: blue 120 + 101.6.
constexpr quint32 Back = rgb(240, 240, 251);
constexpr quint32 Text = rgb(0, 0, 87);
constexpr quint32 Hover = rgb(255, 193, 130);
constexpr quint32 Disabled = rgb(120, 120, 222);

std::unique_ptr<quilLabel> label(const QString& caption, int w, int h, bool wrap)
{
    auto l = std::make_unique<quilLabel>();
    l->resize(w, h);
    l->setTextWrap(wrap);
    l->setCaption(caption);
    return l;
}

// What the label printed at its current size (a hidden label paints a new
// size when its face is next shown).
const std::vector<quilLabelPrivate::PrintedLine>& printedNow(const quilLabel& l)
{
    l.Face();
    return quilLabelPrivate::of(&l).PrintedLines();
}

QStringList lines(const quilLabel& l)
{
    l.Face();
    QStringList out;
    for (const auto& p : quilLabelPrivate::of(&l).PrintedLines())
        out << p.text;
    return out;
}

int TH(const quilLabel& l) { return QFontMetrics(l.Font()).height(); }
int TW(const quilLabel& l, const QString& s) { return QFontMetrics(l.Font()).horizontalAdvance(s); }

// Whether any pixel of the rows [top, bottom) differs from the back colour.
bool inkInRows(const quilLabel& l, int top, int bottom)
{
    for (int y = std::max(0, top); y < std::min(bottom, l.height()); ++y)
        for (int x = 0; x < l.width(); ++x)
            if (at(l, x, y) != Back)
                return true;
    return false;
}

int rightmostInk(const quilLabel& l)
{
    int right = -1;
    for (int y = 0; y < l.height(); ++y)
        for (int x = 0; x < l.width(); ++x)
            if (at(l, x, y) != Back)
                right = std::max(right, x);
    return right;
}

// Text is antialiased: its ink is judged by the pixel that stands out most
// from the back colour, and named by the nearest of the label's text colours.
quint32 inkColour(const quilLabel& l)
{
    auto distance = [](quint32 a, quint32 b) {
        int d = 0;
        for (int shift : {0, 8, 16})
            d += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
        return d;
    };
    quint32 strongest = Back;
    for (int y = 0; y < l.height(); ++y)
        for (int x = 0; x < l.width(); ++x)
            if (distance(at(l, x, y), Back) > distance(strongest, Back))
                strongest = at(l, x, y);
    quint32 nearest = Back;
    for (quint32 c : {Text, Hover, Disabled})
        if (distance(strongest, c) < distance(strongest, nearest))
            nearest = c;
    return nearest;
}

} // namespace

TEST(quilLabelText, OneLineIsShortenedWithDotsAndNeverWiderThanTheLabel)
{
    auto l = label("A caption that is much too long for this label", 90, 20, false);
    ASSERT_EQ(printedNow(*l).size(), 1u);
    const auto& p = printedNow(*l).front();
    EXPECT_EQ(std::pair(p.x, p.y), std::pair(0, 2));
    EXPECT_TRUE(p.text.endsWith("...")) << p.text.toStdString();
    EXPECT_LT(TW(*l, p.text), 90 - 2);
    // As long as it can be: one more character of the caption would not fit.
    const QString kept = p.text.chopped(3);
    EXPECT_TRUE(QString("A caption that is much too long for this label").startsWith(kept));
    EXPECT_GE(TW(*l, QString("A caption that is much too long for this label").left(kept.size() + 1) + "..."), 88);
    EXPECT_LT(rightmostInk(*l), 90) << "no ink past the label";
    EXPECT_EQ(at(*l, 89, 0), Back);
    EXPECT_EQ(inkColour(*l), Text) << "printed in the scheme's text colour";

    // Text that fits is left alone; fewer than four characters are never shortened.
    EXPECT_EQ(quilLabelPrivate::of(l.get()).Ellipsis("Hi", 200), "Hi");
    EXPECT_EQ(quilLabelPrivate::of(l.get()).Ellipsis("WWW", 1), "WWW");
    EXPECT_EQ(quilLabelPrivate::of(l.get()).Ellipsis("WWWW", 1), "...");
}

TEST(quilLabelText, BreaksAndTheOneLineMarker)
{
    auto l = label("Hello\r\nWorld", 200, 60, true);
    EXPECT_EQ(lines(*l), QStringList({"Hello", "World"}));
    ASSERT_EQ(printedNow(*l).size(), 2u);
    EXPECT_EQ(printedNow(*l)[1].y, 2 + TH(*l));
    EXPECT_TRUE(inkInRows(*l, 2 + TH(*l), 2 + 2 * TH(*l))) << "the second line is on the face";

    l->setTextWrap(false);
    EXPECT_EQ(lines(*l), QStringList({QString::fromUtf8("HelloëWorld")})) << "the line feed is dropped";
    EXPECT_FALSE(inkInRows(*l, 2 + TH(*l), 60));

    // A blank line between two breaks stays; blanks at both ends go.
    l->setTextWrap(true);
    l->setCaption("  one\r\rtwo  ");
    EXPECT_EQ(lines(*l), QStringList({"one", "", "two"}));
    EXPECT_EQ(l->OneLineText(), QString::fromUtf8("oneëëtwo"));
}

TEST(quilLabelText, TheLettersOfTheMarkerAreOrdinaryText)
{
    const QString noel = QString::fromUtf8("Noël");
    auto l = label(noel + " " + noel, 400, 60, true);
    EXPECT_EQ(lines(*l), QStringList({noel + " " + noel})) << "no break inside the word";
    l->resize(TW(*l, noel + " ") + 6, 60);
    EXPECT_EQ(lines(*l), QStringList({noel, noel}));
    l->setTextWrap(false);
    l->resize(400, 20);
    EXPECT_EQ(lines(*l), QStringList({noel + " " + noel}));
}

TEST(quilLabelText, LineFittingAlwaysMovesOn)
{
    quilLabel l;
    const quilLabelPrivate& inside = quilLabelPrivate::of(&l);
    // A narrow label: the word is returned whole, never an endless search.
    auto f = inside.FitLine("aaaaaaaa b", 10);
    EXPECT_EQ(f.line, "aaaaaaaa");
    EXPECT_EQ(f.consumed, 9);
    f = inside.FitLine("aaaa    b", 5);
    EXPECT_EQ(f.line, "aaaa");
    EXPECT_EQ(f.consumed, 5);
    f = inside.FitLine(" b", 0);
    EXPECT_EQ(f.consumed, 1);
    // Whole words while they fit; what follows a forced break does not count.
    const int w = TW(l, "aaa bbb") + 1;
    f = inside.FitLine("aaa bbb ccc", w);
    EXPECT_EQ(f.line, "aaa");
    EXPECT_EQ(f.consumed, 4);
    f = inside.FitLine("aaa bbb\rcccccccccccccccccccccccccccccccccccc", w);
    EXPECT_EQ(f.line, "aaa bbb");
    EXPECT_EQ(f.consumed, 8);
    // A run without blanks is taken a thousand characters at a time.
    EXPECT_EQ(inside.FitLine(QString(1500, 'x'), 50).consumed, 1000);

    auto narrow = label("aaaaaaaa b", 20, 80, true);
    ASSERT_EQ(printedNow(*narrow).size(), 2u);
    EXPECT_TRUE(printedNow(*narrow)[0].text.endsWith("...")) << "the long word shortened when drawn";
    EXPECT_EQ(printedNow(*narrow)[1].text, "b");
}

TEST(quilLabelText, WrappedLinesAreWhatThePainterDraws)
{
    // Each line is drawn from the shaping that measured it (with its ending
    // blank): kerning pairs either side of the blanks, at widths seen once and
    // seen again.
    const QString caption = "AVA To Wa fi fl. Ty, Vo; We LT Av Yo r. AWAY Tea ffi. P, V.";
    auto l = label(caption, 90, 200, true);
    const QFontMetrics fm(l->Font());
    for (int w : {90, 61, 90, 133, 61}) {
        l->resize(w, 200);
        const auto& printed = printedNow(*l);
        ASSERT_GT(printed.size(), 1u);
        QImage expected(l->Face().size(), l->Face().format());
        // The colours as the label paints them, exactly.
        expected.fill(platform::ToQRgb(BlendColors(l->BackColor(), l->ForeColor(), 240)));
        QPainter p(&expected);
        p.setFont(l->Font());
        p.setPen(QColor::fromRgb(platform::ToQRgb(SchemeNormal(l->BackColor(), l->ForeColor(), l->SelectionColor()).Text)));
        for (const auto& line : printed)
            p.drawText(QPoint(line.x, line.y + fm.ascent()), line.text);
        p.end();
        EXPECT_EQ(l->Face(), expected) << "width " << w;
    }
}

TEST(quilLabelText, WrappedLinesStopWhereTheirMiddleNoLongerFits)
{
    auto l = label("L1\rL2\rL3\rL4\rL5", 100, 200, true);
    const int th = TH(*l);
    // Line k (from 0) is printed at 2 + k TH when its middle, 2 + (k + 0.5) TH,
    // is not below SH - 6. Three lines need SH >= 8 + 2.5 TH.
    const int three = 8 + (5 * th + 1) / 2;
    l->resize(100, three);
    EXPECT_EQ(lines(*l), QStringList({"L1", "L2", "L3"}));
    EXPECT_EQ(printedNow(*l)[2].y, 2 + 2 * th);
    EXPECT_TRUE(inkInRows(*l, 2 + 2 * th, 2 + 3 * th));
    l->resize(100, three - 1);
    EXPECT_EQ(lines(*l), QStringList({"L1", "L2"}));
    EXPECT_FALSE(inkInRows(*l, 2 + 2 * th, three - 1));
    l->resize(100, 7);
    EXPECT_TRUE(printedNow(*l).empty()) << "not even one middle fits";
    l->resize(100, 200);
    EXPECT_EQ(printedNow(*l).size(), 5u);
}

namespace {

QImage redSquare()
{
    QImage p(16, 16, QImage::Format_RGB32);
    p.fill(qRgb(255, 0, 0));
    return p;
}

} // namespace

TEST(quilLabelLook, ColoursPictureAndDisabled)
{
    auto l = label("HIll", 100, 24, false);
    EXPECT_EQ(at(*l, 99, 23), Back);
    // A system colour as the back: button face (212, 208, 200) at 240/255, plus
    // 15/255 of (0, 0, 192): 199.5, 195.8, 199.5.
    l->setBackColor(0x8000000F);
    EXPECT_EQ(l->BackColor(), 0x8000000Fu) << "kept unresolved";
    EXPECT_EQ(at(*l, 99, 23), rgb(200, 196, 200));
    l->setBackColor(0xFFFFFF);

    l->setEnabled(false);
    EXPECT_EQ(inkColour(*l), Disabled);
    l->setEnabled(true);

    ImageList list(16, 16);
    list.Add(redSquare());
    l->setImageList(&list);
    l->setImageIndex(1);
    l->resize(100, 24);
    EXPECT_EQ(at(*l, 2, 2), rgb(255, 0, 0)) << "picture at (2, 2)";
    EXPECT_EQ(at(*l, 17, 17), rgb(255, 0, 0));
    EXPECT_EQ(at(*l, 18, 18), Back);
    EXPECT_EQ(at(*l, 1, 1), Back);
    ASSERT_EQ(printedNow(*l).size(), 1u);
    EXPECT_EQ(printedNow(*l)[0].x, 20) << "text beside the picture, IW + 4";
    l->setEnabled(false);
    EXPECT_EQ(at(*l, 10, 10), rgb(0, 0, 0)) << "disabled: the picture's silhouette";
}

TEST(quilLabelSize, AutoSizeAndWrapExcludeEachOther)
{
    auto l = label("Sized", 10, 10, true);
    QStringList notes;
    QObject::connect(l.get(), &quilControl::PropertyChanged, [&](const QString& n) { notes << n; });
    l->setAutoSize(true);
    EXPECT_FALSE(l->TextWrap());
    EXPECT_EQ(notes, QStringList({"AutoSize", "TextWrap"}));
    EXPECT_EQ(l->size(), QSize(TW(*l, "Sized") + 4, TH(*l) + 4));
    EXPECT_EQ(lines(*l), QStringList({"Sized"})) << "never shortened at its own size";

    l->setCaption("Sized again, longer");
    EXPECT_EQ(l->size(), QSize(TW(*l, "Sized again, longer") + 4, TH(*l) + 4)) << "follows its caption";
    l->show();
    l->resize(5, 5);
    EXPECT_EQ(l->size(), QSize(5, 5)) << "a size its container gives is kept";
    EXPECT_EQ(l->sizeHint(), QSize(TW(*l, "Sized again, longer") + 4, TH(*l) + 4));

    ImageList tall(16, 40);
    l->setImageList(&tall);
    EXPECT_EQ(l->size(), QSize(TW(*l, "Sized again, longer") + 16 + 8, 44));

    notes.clear();
    l->setTextWrap(true);
    EXPECT_FALSE(l->AutoSize());
    EXPECT_EQ(notes, QStringList({"TextWrap", "AutoSize"}));
    // Turning one off leaves the other as it is.
    l->setAutoSize(false);
    EXPECT_TRUE(l->TextWrap());
}

TEST(quilLabelLink, HoverTintsOnlyALink)
{
    quiltest::Pointer pointer;
    auto l = label("HIll", 100, 24, false);
    const QImage before = l->Face();
    l->MouseMoveNotify(0, 0, 5, 5);
    EXPECT_FALSE(l->Polling()) << "without a link there is no hover";
    EXPECT_EQ(l->Face(), before);

    l->setHyperlink("https://example.org");
    l->MouseMoveNotify(0, 0, 5, 5);
    EXPECT_TRUE(l->Polling());
    quiltest::pollTick(l);
    EXPECT_EQ(l->LinkState(), quilLabel::LinkHover);
    EXPECT_EQ(inkColour(*l), Hover);
    l->MouseDownNotify(1, 0, 5, 5);
    quiltest::pollTick(l);
    EXPECT_EQ(l->LinkState(), quilLabel::LinkPressed);
    EXPECT_EQ(inkColour(*l), Text) << "only the resting pointer tints";
    l->MouseUpNotify(2, 0, 5, 5);
    pointer.pos += QPoint(2, 0);
    quiltest::pollTick(l);
    EXPECT_EQ(l->LinkState(), quilLabel::LinkLeft);
    EXPECT_FALSE(l->Polling());
    EXPECT_EQ(l->Face(), before);
}

TEST(quilLabelLink, ClickRaisesHyperlinkClickAndCancelOpensNothing)
{
    OpenerRecorder opener;
    auto l = label("Home", 100, 24, false);
    l->setHyperlink("https://example.org/a b");
    QStringList events;
    short setCancel = 1;
    QObject::connect(l.get(), &quilLabel::MouseDown, [&](short&, short&, float&, float&) { events << "down"; });
    QObject::connect(l.get(), &quilLabel::MouseUp, [&](short&, short&, float&, float&) { events << "up"; });
    QObject::connect(l.get(), &quilLabel::Click, [&] { events << "click"; });
    QObject::connect(l.get(), &quilLabel::HyperlinkClick, [&](QString& link, short& cancel) {
        events << "link " + link;
        EXPECT_EQ(cancel, 0);
        cancel = setCancel;
    });

    l->MouseDownNotify(1, 0, 5, 5);
    l->MouseUpNotify(1, 0, 5, 5);
    EXPECT_EQ(events, QStringList({"down", "click", "link https://example.org/a b", "up"}));
    EXPECT_TRUE(opener.opened.isEmpty()) << "cancelled";
    EXPECT_FALSE(l->LabelDown());

    // A right click raises nothing at all; a release without a press is no click.
    events.clear();
    l->MouseDownNotify(2, 0, 5, 5);
    l->MouseUpNotify(2, 0, 5, 5);
    EXPECT_TRUE(events.isEmpty());
    l->MouseUpNotify(1, 0, 5, 5);
    EXPECT_EQ(events, QStringList({"up"}));

    // Not cancelled: opened once, through the window system's path too.
    setCancel = 0;
    QWidget host;
    host.resize(200, 60);
    l->setParent(&host);
    l->move(0, 0);
    host.show();
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened[0], QUrl("https://example.org/a b"));
    l->setParent(nullptr);
}

TEST(quilLabelLink, TheHandlersLinkIsTheOneOpenedAndKept)
{
    OpenerRecorder opener;
    auto l = label("Docs", 100, 24, false);
    l->setHyperlink("https://example.org");
    QStringList notes;
    QObject::connect(l.get(), &quilControl::PropertyChanged, [&](const QString& n) { notes << n; });
    QObject::connect(l.get(), &quilLabel::HyperlinkClick, [](QString& link, short&) { link = "https://example.net/"; });
    l->MouseDownNotify(1, 0, 5, 5);
    l->MouseUpNotify(1, 0, 5, 5);
    EXPECT_EQ(l->Hyperlink(), "https://example.net/");
    EXPECT_TRUE(notes.isEmpty()) << "changed without notification";
    ASSERT_EQ(opener.opened.size(), 1);
    EXPECT_EQ(opener.opened[0], QUrl("https://example.net/"));
}

TEST(quilLabelLink, AHandlerMayDeleteTheLabel)
{
    OpenerRecorder opener;
    QPointer<quilLabel> l = new quilLabel;
    l->setHyperlink("https://example.org");
    QObject::connect(l.data(), &quilLabel::Click, [&] { delete l.data(); });
    l->MouseDownNotify(1, 0, 5, 5);
    l->MouseUpNotify(1, 0, 5, 5);
    EXPECT_TRUE(l.isNull());
    EXPECT_TRUE(opener.opened.isEmpty());
}

TEST(quilLabelLink, OnlyDocumentsAndAddressesAreOpened)
{
    QTemporaryDir dir;
    auto make = [&](const QString& name, const QByteArray& content, bool exec) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        if (exec)
            f.setPermissions(f.permissions() | QFile::ExeOwner);
        return dir.filePath(name);
    };
    const QString doc = make("notes \"one\".txt", "plain words\n", false);
    const QString program = make("tool", "#!/bin/sh\necho hi\n", true);
    const QString launcher = make("app.desktop", "[Desktop Entry]\nType=Application\nExec=xterm\n", false);
    const QString disguised = make("readme.txt.desktop", "[Desktop Entry]\nType=Application\nExec=xterm\n", false);
    const QString script = make("run.sh", "#!/bin/sh\nrm -rf ~\n", false);
    const QString dashed = make("-rf.txt", "text\n", false);
    QFile::link(launcher, dir.filePath("harmless.txt"));

    EXPECT_EQ(LinkTarget("https://example.org/x?q='a';b"), QUrl("https://example.org/x?q='a';b"));
    EXPECT_EQ(LinkTarget("mailto:someone@example.org"), QUrl("mailto:someone@example.org"));
    EXPECT_EQ(LinkTarget("www.example.org"), QUrl("http://www.example.org"));
    EXPECT_EQ(LinkTarget(doc), QUrl::fromLocalFile(doc));
    EXPECT_EQ(LinkTarget(dir.path()), QUrl::fromLocalFile(dir.path())) << "a folder opens";
    EXPECT_EQ(LinkTarget(QUrl::fromLocalFile(doc).toString()), QUrl::fromLocalFile(doc));
    for (const QString& refused : {program, launcher, disguised, script, dir.filePath("harmless.txt"),
                                   QUrl::fromLocalFile(launcher).toString(), QString("--help"), QString("-rf.txt"),
                                   QString("C:\\Windows\\notepad.exe"), QString("/no/such/file"), QString("  ")})
        EXPECT_FALSE(LinkTarget(refused).isValid()) << refused.toStdString();

    // A name beginning with "-" is a file of the current folder, handed over whole.
    const QString was = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const QUrl dashedUrl = LinkTarget("-rf.txt");
    QDir::setCurrent(was);
    EXPECT_EQ(dashedUrl, QUrl::fromLocalFile(dashed));
    EXPECT_TRUE(dashedUrl.toString().startsWith("file:///"));

    OpenerRecorder opener;
    auto l = label("Run", 100, 24, false);
    l->setHyperlink(launcher);
    l->MouseDownNotify(1, 0, 5, 5);
    l->MouseUpNotify(1, 0, 5, 5);
    EXPECT_TRUE(opener.opened.isEmpty()) << "a launcher is never run";
    l->setHyperlink(doc);
    l->MouseDownNotify(1, 0, 5, 5);
    l->MouseUpNotify(1, 0, 5, 5);
    EXPECT_EQ(opener.opened, QList<QUrl>({QUrl::fromLocalFile(doc)}));
}

TEST(quilLabelFrame, PersistencePointerAndAccessibility)
{
    quilLabel l;
    l.setObjectName("Link1");
    l.InitProperties();
    EXPECT_EQ(l.Caption(), "Link1");
    l.setObjectName("Link2");
    EXPECT_EQ(l.Caption(), "Link2") << "named after creation, as generated form code does";
    quiltest::RecordingBag empty;
    l.WriteProperties(empty);
    EXPECT_TRUE(empty.values.isEmpty()) << "defaults are not stored";
    EXPECT_EQ(empty.written, QStringList({"BackColor", "ForeColor", "Enabled", "ImageList", "ImageIndex", "Caption",
                                          "Hyperlink", "SelectionColor", "TextWrap", "AutoSize", "Font",
                                          "MousePointer", "MouseIcon"}));

    l.setAutoSize(true);
    l.setHyperlink("https://example.org");
    l.setSelectionColor(0x8000000D);
    l.setMousePointer(2);
    EXPECT_EQ(l.cursor().shape(), Qt::CrossCursor);
    quiltest::RecordingBag bag;
    l.WriteProperties(bag);
    EXPECT_EQ(bag.value("AutoSize"), QVariant(-1)) << "a number, as saved forms have it";
    EXPECT_EQ(bag.value("SelectionColor").toUInt(), 0x8000000Du);

    quilLabel m;
    m.ReadProperties(bag);
    EXPECT_TRUE(m.AutoSize());
    EXPECT_EQ(m.Hyperlink(), "https://example.org");
    EXPECT_EQ(m.SelectionColor(), 0x8000000Du);
    EXPECT_EQ(m.MousePointer(), 2);
    EXPECT_EQ(m.cursor().shape(), Qt::CrossCursor);
    EXPECT_EQ(m.Caption(), "quilLabel1") << "a caption never stored reads as the name";

    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(Qt::black);
    m.setMouseIcon(icon);
    m.setMousePointer(99);
    EXPECT_EQ(m.cursor().shape(), Qt::BitmapCursor);

    QWidget window;
    auto* a = new quilLabel(&window);
    a->setCaption("Read me");
    window.show();
    QAccessibleInterface* ai = QAccessible::queryAccessibleInterface(a);
    ASSERT_NE(ai, nullptr);
    EXPECT_EQ(ai->role(), QAccessible::StaticText);
    EXPECT_EQ(ai->text(QAccessible::Name), "Read me");
    a->setHyperlink("https://example.org");
    EXPECT_EQ(ai->role(), QAccessible::Link);
    EXPECT_EQ(ai->text(QAccessible::Description), "https://example.org");
}

TEST(quilLabelQt, TheCaptionIsTheHintAndAutoSizeFixesIt)
{
    quilLabel l;
    l.setFont(QFont("DejaVu Sans", 9));
    l.setCaption("Hello there");
    const QSize one = l.ContentSize();
    EXPECT_EQ(l.sizeHint(), one);
    EXPECT_LT(l.minimumSizeHint().width(), one.width()) << "a label without AutoSize may shorten its caption";
    EXPECT_EQ(l.sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
    l.resize(40, 60);
    EXPECT_EQ(l.size(), QSize(40, 60));
    l.setAutoSize(true);
    EXPECT_EQ(l.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(l.size(), one) << "AutoSize sizes a label placed without a layout";
    l.resize(200, 90);
    EXPECT_EQ(l.size(), QSize(200, 90)) << "no resize from its own resize handler";
}

TEST(quilLabelQt, PropertiesReachTheSameStateInDesignersOrderAndItsReverse)
{
    for (bool autoSize : {false, true}) {
        SCOPED_TRACE(autoSize);
        const quiltest::PropertyWrites props = {
            {"AutoSize", autoSize}, {"TextWrap", !autoSize}, {"BackColor", QVariant::fromValue<quint32>(0x102030)},
            {"ImageIndex", 2}, {"Caption", "Two words\rand a break"}, {"Hyperlink", "https://example.org/"},
            {"Font", QFont("DejaVu Sans", 11)}, {"MousePointer", 3}};
        quilLabel forward, backward;
        quiltest::ExpectSameFormEitherOrder(props, forward, backward);
        EXPECT_EQ(forward.size(), backward.size()) << autoSize;
        EXPECT_EQ(forward.Face(), backward.Face()) << autoSize;
    }
}
