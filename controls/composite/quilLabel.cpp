#include <quilObjects/Routines.h>
#include <quilObjects/quilLabel.h>

#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "LinkOpener.h"
#include "frame/LateImageList.h"
#include "platform/forms/PropertyBag.h"
#include "platform/surface/Surface.h"

#include <QCursor>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPixmap>
#include <cmath>

namespace quil {

namespace {

// A carriage return is the caption's line break. It stays in the text that
// is wrapped, so a break can never be confused with a character of the
// caption; only the one-line look shows it, as this marker.
constexpr QChar Break = QChar(13);
const QChar BreakMarker = QChar(0xEB);   // "ë"
// Longer runs without a blank are cut into pieces of this length.
constexpr int LineLimit = 1000;

QString trimBlanks(QString s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}


} // namespace

quilLabel::quilLabel(QWidget* parent) : quilControl(parent)
{
    // Code generated from forms names a control after creating it.
    connect(this, &QObject::objectNameChanged, this, [this] {
        if (captionIsName) {
            caption = AmbientDisplayName();
            applySize();
        }
    });
    quilLabel::InitProperties();
}

const QList<PersistedProperty>& quilLabel::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"Enabled", true},
        {"ImageList", QVariant::fromValue<QObject*>(nullptr)},
        {"ImageIndex", 0},
        {"Caption", {}, PersistedProperty::DisplayName},
        {"Hyperlink", QString()},
        {"SelectionColor", QVariant::fromValue<quint32>(33023)},
        {"TextWrap", false},
        // Stored as a number, as saved forms have it.
        {"AutoSize", 0},
        {"Font", {}, PersistedProperty::Font},
        {"MousePointer", 0},
        {"MouseIcon", QVariant::fromValue(QImage())},
    };
    return table;
}

void quilLabel::InitProperties()
{
    quilControl::InitProperties();
    backColor = 0xFFFFFF;
    foreColor = 0xC00000;
    selectionColor = 33023;
    imageList = nullptr;
    imageIndex = 0;
    caption = AmbientDisplayName();
    captionIsName = true;
    hyperlink.clear();
    textWrap = false;
    autoSize = false;
    mousePointer = 0;
    mouseIcon = QImage();
    applyPointer();
    Refresh();
}

void quilLabel::ReadProperties(PropertyBag& bag)
{
    backColor = readColor(bag, "BackColor");
    foreColor = readColor(bag, "ForeColor");
    applyEnabled(readBool(bag, "Enabled"));
    const QVariant list = readProp(bag, "ImageList");
    imageList = list.canConvert<QObject*>() ? list.value<QObject*>() : nullptr;
    imageIndex = static_cast<int>(readInt(bag, "ImageIndex"));
    caption = readText(bag, "Caption");
    captionIsName = false;
    hyperlink = readText(bag, "Hyperlink");
    selectionColor = readColor(bag, "SelectionColor");
    textWrap = readBool(bag, "TextWrap");
    autoSize = readBool(bag, "AutoSize");
    applyFont(readFont(bag));
    mousePointer = static_cast<int>(readInt(bag, "MousePointer"));
    mouseIcon = platform::BagImage(readProp(bag, "MouseIcon"));
    applyPointer();
    applySize();
}

void quilLabel::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(foreColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "ImageList", QVariant::fromValue<QObject*>(imageList.data()));
    writeProp(bag, "ImageIndex", imageIndex);
    writeProp(bag, "Caption", caption);
    writeProp(bag, "Hyperlink", hyperlink);
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(selectionColor));
    writeProp(bag, "TextWrap", textWrap);
    writeProp(bag, "AutoSize", autoSize ? -1 : 0);
    writeProp(bag, "Font", Font());
    writeProp(bag, "MousePointer", mousePointer);
    writeProp(bag, "MouseIcon", QVariant::fromValue(mouseIcon));
}

// ------------------------------------------------------------ properties

void quilLabel::setAutoSize(bool on)
{
    autoSize = on;
    if (!notify("AutoSize"))
        return;
    // The two exclude each other; turning one on turns the other off.
    if (on && textWrap) {
        textWrap = false;
        if (!notify("TextWrap"))
            return;
    }
    applySize();
}

void quilLabel::setTextWrap(bool on)
{
    textWrap = on;
    if (!notify("TextWrap"))
        return;
    if (on && autoSize) {
        autoSize = false;
        if (!notify("AutoSize"))
            return;
    }
    Refresh();
}

void quilLabel::setBackColor(OLE_COLOR c)
{
    backColor = c;
    changed("BackColor");
}

void quilLabel::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    changed("ForeColor");
}

void quilLabel::setSelectionColor(OLE_COLOR c)
{
    selectionColor = c;
    changed("SelectionColor");
}

void quilLabel::setImageList(QObject* list)
{
    imageList = list;
    if (notify("ImageList"))
        applySize();
}

void quilLabel::setImageIndex(int index)
{
    imageIndex = index;
    changed("ImageIndex");
}

void quilLabel::setCaption(const QString& text)
{
    caption = text;
    captionIsName = false;
    // A label that sizes itself follows its caption.
    if (notify("Caption"))
        applySize();
}

void quilLabel::setHyperlink(const QString& link)
{
    hyperlink = link;
    changed("Hyperlink");
}

void quilLabel::setMousePointer(int shape)
{
    mousePointer = shape;
    applyPointer();
    notify("MousePointer");
}

void quilLabel::setMouseIcon(const QImage& picture)
{
    mouseIcon = picture;
    applyPointer();
    notify("MouseIcon");
}

void quilLabel::applyPointer()
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,    Qt::ArrowCursor,     Qt::CrossCursor,    Qt::IBeamCursor,    Qt::ArrowCursor,
        Qt::SizeAllCursor,  Qt::SizeBDiagCursor, Qt::SizeVerCursor,  Qt::SizeFDiagCursor, Qt::SizeHorCursor,
        Qt::UpArrowCursor,  Qt::WaitCursor,      Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor,
        Qt::SizeAllCursor,
    };
    if (mousePointer == 99 && !mouseIcon.isNull())
        setCursor(QCursor(QPixmap::fromImage(mouseIcon)));
    else if (mousePointer >= 1 && mousePointer <= 15)
        setCursor(shapes[mousePointer]);
    else
        unsetCursor();
}

// ------------------------------------------------------------ size

QSize quilLabel::ContentSize() const
{
    const platform::Surface& s = faceOf(this);
    const int TH = s.TextHeight(QStringLiteral("I"));
    // Measured as it is printed on one line, so that it is never shortened.
    const int TW = s.TextWidth(OneLineText());
    if (!imageList)
        return {TW + 4, TH + 4};
    const LateImageList list{imageList.data()};
    const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
    return {TW + IW + 8, (IH > TH ? IH : TH) + 4};
}

// The caption on one line (and the picture) is the hint; an AutoSize label
// is fixed at it, another one is drawn at any size and shortens or wraps.
QSize quilLabel::sizeHint() const { return ContentSize(); }

QSize quilLabel::minimumSizeHint() const
{
    if (autoSize)
        return ContentSize();
    const platform::Surface& s = faceOf(this);
    return {s.TextWidth(QStringLiteral("...")) + 4, ContentSize().height()};
}

void quilLabel::applySize()
{
    const QSizePolicy::Policy p = autoSize ? QSizePolicy::Fixed : QSizePolicy::Preferred;
    if (sizePolicy().horizontalPolicy() != p)
        setSizePolicy(p, p);
    updateGeometry();
    // A host without a layout sets the size itself; AutoSize does it for it.
    if (autoSize && size() != ContentSize())
        resize(ContentSize());
    Refresh();
}

void quilLabel::resizeEvent(QResizeEvent* e) { quilControl::resizeEvent(e); }

void quilLabel::changeEvent(QEvent* e)
{
    quilControl::changeEvent(e);
    if (e->type() == QEvent::FontChange && autoSize)
        applySize();
}

// ------------------------------------------------------------ text

QString quilLabel::wrapText() const
{
    QString t = caption;
    t.remove(QChar(10));
    return trimBlanks(t);
}

QString quilLabel::OneLineText() const
{
    QString t = wrapText();
    t.replace(Break, BreakMarker);
    return t;
}

quilLabel::Fit quilLabel::FitLine(const QString& text, int width) const
{
    const platform::Surface& s = faceOf(this);
    QString line = text.left(LineLimit);
    // A forced break ends the line, whatever follows it.
    const qsizetype br = line.indexOf(Break);
    if (br >= 0)
        line.truncate(br + 1);
    auto shown = [](QString l) { return l.remove(Break); };

    // The lines to try, shortest first: through each blank before the last
    // character, then the whole. The line taken is the longest that is
    // narrower than the width, or the shortest when none is. Each try is
    // shorter than the one before it, so the search always ends.
    std::vector<qsizetype> ends;
    for (qsizetype i = 0; i + 1 < line.size(); ++i)
        if (line.at(i) == QLatin1Char(' '))
            ends.push_back(i + 1);
    ends.push_back(line.size());
    // The width of the line through ends[k], as the surface measures one line
    // of text; a break can only be its last character.
    const QFontMetrics& fm = s.Metrics();
    auto fits = [&](size_t k) {
        qsizetype n = ends[k];
        if (n > 0 && line.at(n - 1) == Break)
            --n;
        return s.TextWidth(line.left(n)) < width;
    };

    // A longer line is never narrower, so the answer is where "fits" turns
    // false. Summed character advances find that place without measuring the
    // whole thousand characters; the whole lines around it are then measured,
    // so that kerning or shaping cannot change the answer.
    size_t k = 0;
    int sum = 0;
    qsizetype from = 0;
    for (size_t i = 0; i < ends.size() && sum < width; ++i) {
        for (; from < ends[i]; ++from)
            if (line.at(from) != Break)
                sum += fm.horizontalAdvance(line.at(from));
        if (sum < width)
            k = i;
    }
    bool narrower = fits(k);
    if (narrower) {
        while (k + 1 < ends.size() && fits(k + 1))
            ++k;
    } else {
        while (k > 0 && !(narrower = fits(k - 1)))
            --k;
        if (narrower)
            --k;
    }
    line.truncate(ends[k]);
    return {trimBlanks(shown(line)), static_cast<int>(line.size()), narrower};
}

QString quilLabel::Ellipsis(const QString& text, int width) const
{
    const platform::Surface& s = faceOf(this);
    if (s.TextWidth(text) <= width || text.size() < 4)
        return text;
    // Each step drops one more character before the dots: the text becomes
    // its first m characters and "...", for m from size - 4 down to 0, and
    // stops at the first that is narrower than the width (m = 0 at the latest).
    const QString dots = QStringLiteral("...");
    const QFontMetrics& fm = s.Metrics();
    auto fits = [&](qsizetype m) { return s.TextWidth(text.left(m) + dots) < width; };
    const qsizetype longest = text.size() - 4;
    // Summed advances point at the place; the texts either side of it are
    // measured whole, as in line fitting.
    qsizetype m = 0;
    int sum = fm.horizontalAdvance(dots);
    for (qsizetype i = 0; i < longest; ++i) {
        sum += fm.horizontalAdvance(text.at(i));
        if (sum >= width)
            break;
        m = i + 1;
    }
    if (fits(m)) {
        while (m < longest && fits(m + 1))
            ++m;
    } else {
        while (m > 0 && !fits(m))
            --m;
    }
    return text.left(m) + dots;
}

void quilLabel::printLine(const QString& text, int x, int y)
{
    platform::Surface& s = faceOf(this);
    s.CurrentX = x;
    s.CurrentY = y;
    s.Print(text);
    printed.push_back({text, x, y});
}

void quilLabel::drawWrapped(QString text, int height, int width, int left, int top)
{
    const int TH = faceOf(this).TextHeight(QStringLiteral("I"));
    // All the lines under one painter.
    const platform::Surface::TextBatch batch(faceOf(this));
    int y = top;
    while (!text.isEmpty()) {
        // Only lines whose middle lies inside the area.
        if (top + height < y + TH / 2.0)
            break;
        const Fit f = FitLine(text, width);
        // A line that fits needs no shortening: the blanks trimmed off it only made it wider.
        printLine(f.fits ? f.line : Ellipsis(f.line, width), left, y);
        y += TH;
        text.remove(0, std::max(1, f.consumed));
    }
}

// ------------------------------------------------------------ face

void quilLabel::Paint()
{
    platform::Surface& s = faceOf(this);
    const ColorScheme scheme = SchemeNormal(backColor, foreColor, selectionColor);
    // A faint tint of the fore colour.
    s.BackColor = BlendColors(backColor, foreColor, 240);
    s.Cls();
    printed.clear();
    if (!drawsEnabled())
        s.ForeColor = scheme.EdgeEnd;
    else if (!hyperlink.isEmpty() && linkState == LinkHover)
        s.ForeColor = scheme.Tint3;
    else
        s.ForeColor = scheme.Text;

    const int SW = s.ScaleWidth(), SH = s.ScaleHeight();
    const int TH = s.TextHeight(QStringLiteral("I"));
    if (imageList && imageIndex != 0) {
        const LateImageList list{imageList.data()};
        const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
        const int x = IW + 4;
        if (!textWrap) {
            // Centred on the picture when that is the taller; the surface prints at whole pixels.
            const double y = IH > TH ? IH / 2.0 - s.TextHeight(caption) / 2.0 + 2 : 2;
            printLine(Ellipsis(OneLineText(), SW - x), x, Fix(y));
        } else {
            drawWrapped(wrapText(), SH - 8, SW - x, x, 2);
        }
        list.draw(s, imageIndex, 2, 2, drawsEnabled());
    } else if (!textWrap) {
        printLine(Ellipsis(OneLineText(), SW - 2), 0, 2);
    } else {
        drawWrapped(wrapText(), SH - 8, SW - 2, 0, 2);
    }
}

// ------------------------------------------------------------ pointer

void quilLabel::HoverTick(bool pointerLeft)
{
    const int before = linkState;
    if (hyperlink.isEmpty())
        stopPolling();
    if (pointerLeft || hyperlink.isEmpty())
        linkState = pointerLeft ? LinkLeft : LinkNone;
    else
        linkState = labelDown ? LinkPressed : LinkHover;
    // Only the resting pointer changes the look.
    if ((before == LinkHover) != (linkState == LinkHover))
        Refresh();
}

void quilLabel::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    labelDown = true;
    emit MouseDown(button, shift, x, y);
}

void quilLabel::MouseMoveNotify(short button, short shift, float x, float y)
{
    if (!hyperlink.isEmpty())
        pointerSeen();
    emit MouseMove(button, shift, x, y);
}

void quilLabel::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    QPointer<quilLabel> self(this);
    if (labelDown) {
        emit Click();
        if (!self)
            return;
        if (!hyperlink.isEmpty()) {
            short cancel = 0;
            // The handler sees the field itself: a change it makes is the new link.
            emit HyperlinkClick(hyperlink, cancel);
            if (!self)
                return;
            if (cancel == 0)
                OpenLink(hyperlink);
        }
    }
    labelDown = false;
    emit MouseUp(button, shift, x, y);
}

} // namespace quil
