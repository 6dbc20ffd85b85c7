#include "composite/quilLabel_p.h"

#include <quilObjects/Routines.h>

#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "LinkOpener.h"
#include "frame/LateImageList.h"
#include "frame/KeyHook.h"
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

quilLabel::quilLabel(QWidget* parent) : quilControl(parent), d(std::make_unique<quilLabelPrivate>(this))
{
    // Code generated from forms names a control after creating it.
    connect(this, &QObject::objectNameChanged, this, [this] {
        if (d->captionIsName) {
            d->caption = AmbientDisplayName();
            d->applySize();
        }
    });
    d->hookKeys();
    quilLabel::InitProperties();
}

quilLabel::~quilLabel() = default;

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
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->selectionColor = 33023;
    d->imageList = nullptr;
    d->imageIndex = 0;
    d->caption = AmbientDisplayName();
    d->captionIsName = true;
    d->hyperlink.clear();
    d->applyLinkFocus();
    d->textWrap = false;
    d->autoSize = false;
    d->mousePointer = 0;
    d->mouseIcon = QImage();
    d->applyPointer();
    Refresh();
}

void quilLabel::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    applyEnabled(readBool(bag, "Enabled"));
    const QVariant list = readProp(bag, "ImageList");
    d->imageList = list.canConvert<QObject*>() ? list.value<QObject*>() : nullptr;
    d->imageIndex = static_cast<int>(readInt(bag, "ImageIndex"));
    d->caption = readText(bag, "Caption");
    d->captionIsName = false;
    d->hyperlink = readText(bag, "Hyperlink");
    d->applyLinkFocus();
    d->selectionColor = readColor(bag, "SelectionColor");
    d->textWrap = readBool(bag, "TextWrap");
    d->autoSize = readBool(bag, "AutoSize");
    applyFont(readFont(bag));
    d->mousePointer = static_cast<int>(readInt(bag, "MousePointer"));
    d->mouseIcon = platform::BagImage(readProp(bag, "MouseIcon"));
    d->applyPointer();
    d->applySize();
}

void quilLabel::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "Enabled", Enabled());
    writeProp(bag, "ImageList", QVariant::fromValue<QObject*>(d->imageList.data()));
    writeProp(bag, "ImageIndex", d->imageIndex);
    writeProp(bag, "Caption", d->caption);
    writeProp(bag, "Hyperlink", d->hyperlink);
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(d->selectionColor));
    writeProp(bag, "TextWrap", d->textWrap);
    writeProp(bag, "AutoSize", d->autoSize ? -1 : 0);
    writeProp(bag, "Font", Font());
    writeProp(bag, "MousePointer", d->mousePointer);
    writeProp(bag, "MouseIcon", QVariant::fromValue(d->mouseIcon));
}

// ------------------------------------------------------------ properties

bool quilLabel::AutoSize() const { return d->autoSize; }
bool quilLabel::TextWrap() const { return d->textWrap; }
OLE_COLOR quilLabel::BackColor() const { return d->backColor; }
OLE_COLOR quilLabel::ForeColor() const { return d->foreColor; }
QObject* quilLabel::ImageList() const { return d->imageList.data(); }
int quilLabel::ImageIndex() const { return d->imageIndex; }
QString quilLabel::Caption() const { return d->caption; }
QString quilLabel::Hyperlink() const { return d->hyperlink; }
OLE_COLOR quilLabel::SelectionColor() const { return d->selectionColor; }
int quilLabel::MousePointer() const { return d->mousePointer; }
QImage quilLabel::MouseIcon() const { return d->mouseIcon; }
int quilLabel::LinkState() const { return d->linkState; }
bool quilLabel::LabelDown() const { return d->labelDown; }

void quilLabel::setAutoSize(bool on)
{
    d->autoSize = on;
    if (!notify("AutoSize"))
        return;
    // The two exclude each other; turning one on turns the other off.
    if (on && d->textWrap) {
        d->textWrap = false;
        if (!notify("TextWrap"))
            return;
    }
    d->applySize();
}

void quilLabel::setTextWrap(bool on)
{
    d->textWrap = on;
    if (!notify("TextWrap"))
        return;
    if (on && d->autoSize) {
        d->autoSize = false;
        if (!notify("AutoSize"))
            return;
    }
    Refresh();
}

void quilLabel::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    changed("BackColor");
}

void quilLabel::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    changed("ForeColor");
}

void quilLabel::setSelectionColor(OLE_COLOR c)
{
    d->selectionColor = c;
    changed("SelectionColor");
}

void quilLabel::setImageList(QObject* list)
{
    d->imageList = list;
    if (notify("ImageList"))
        d->applySize();
}

void quilLabel::setImageIndex(int index)
{
    d->imageIndex = index;
    changed("ImageIndex");
}

void quilLabel::setCaption(const QString& text)
{
    d->caption = text;
    d->captionIsName = false;
    // A label that sizes itself follows its caption.
    if (notify("Caption"))
        d->applySize();
}

void quilLabel::setHyperlink(const QString& link)
{
    d->hyperlink = link;
    d->applyLinkFocus();
    changed("Hyperlink");
}

void quilLabel::setMousePointer(int shape)
{
    d->mousePointer = shape;
    d->applyPointer();
    notify("MousePointer");
}

void quilLabel::setMouseIcon(const QImage& picture)
{
    d->mouseIcon = picture;
    d->applyPointer();
    notify("MouseIcon");
}

void quilLabelPrivate::applyPointer()
{
    static const Qt::CursorShape shapes[] = {
        Qt::ArrowCursor,    Qt::ArrowCursor,     Qt::CrossCursor,    Qt::IBeamCursor,    Qt::ArrowCursor,
        Qt::SizeAllCursor,  Qt::SizeBDiagCursor, Qt::SizeVerCursor,  Qt::SizeFDiagCursor, Qt::SizeHorCursor,
        Qt::UpArrowCursor,  Qt::WaitCursor,      Qt::ForbiddenCursor, Qt::BusyCursor,    Qt::WhatsThisCursor,
        Qt::SizeAllCursor,
    };
    if (mousePointer == 99 && !mouseIcon.isNull())
        q->setCursor(QCursor(QPixmap::fromImage(mouseIcon)));
    else if (mousePointer >= 1 && mousePointer <= 15)
        q->setCursor(shapes[mousePointer]);
    else
        q->unsetCursor();
}

// ------------------------------------------------------------ size

QSize quilLabel::ContentSize() const
{
    const platform::Surface& s = faceOf(this);
    const int TH = s.TextHeight(QStringLiteral("I"));
    // Measured as it is printed on one line, so that it is never shortened.
    const int TW = s.TextWidth(OneLineText());
    if (!d->imageList)
        return {TW + 4, TH + 4};
    const LateImageList list{d->imageList.data()};
    const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
    return {TW + IW + 8, (IH > TH ? IH : TH) + 4};
}

// The caption on one line (and the picture) is the hint; an AutoSize label
// is fixed at it, another one is drawn at any size and shortens or wraps.
QSize quilLabel::sizeHint() const { return ContentSize(); }

QSize quilLabel::minimumSizeHint() const
{
    if (d->autoSize)
        return ContentSize();
    const platform::Surface& s = faceOf(this);
    return {s.TextWidth(QStringLiteral("...")) + 4, ContentSize().height()};
}

void quilLabelPrivate::applySize()
{
    const QSizePolicy::Policy p = autoSize ? QSizePolicy::Fixed : QSizePolicy::Preferred;
    if (q->sizePolicy().horizontalPolicy() != p)
        q->setSizePolicy(p, p);
    q->updateGeometry();
    // A host without a layout sets the size itself; AutoSize does it for it.
    if (autoSize && q->size() != q->ContentSize())
        q->resize(q->ContentSize());
    q->Refresh();
}

void quilLabel::resizeEvent(QResizeEvent* e) { quilControl::resizeEvent(e); }

void quilLabel::changeEvent(QEvent* e)
{
    quilControl::changeEvent(e);
    if (e->type() == QEvent::FontChange && d->autoSize)
        d->applySize();
}

// ------------------------------------------------------------ text

QString quilLabelPrivate::wrapText() const
{
    QString t = caption;
    t.remove(QChar(10));
    return trimBlanks(t);
}

QString quilLabel::OneLineText() const
{
    QString t = d->wrapText();
    t.replace(Break, BreakMarker);
    return t;
}

quilLabelPrivate::Fit quilLabelPrivate::FitLine(const QString& text, int width) const
{
    const platform::Surface& s = faceOf(q);
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
                sum += s.CharWidth(line.at(from));
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

QString quilLabelPrivate::Ellipsis(const QString& text, int width) const
{
    const platform::Surface& s = faceOf(q);
    if (s.TextWidth(text) <= width || text.size() < 4)
        return text;
    // Each step drops one more character before the dots: the text becomes
    // its first m characters and "...", for m from size - 4 down to 0, and
    // stops at the first that is narrower than the width (m = 0 at the latest).
    const QString dots = QStringLiteral("...");
    auto fits = [&](qsizetype m) { return s.TextWidth(text.left(m) + dots) < width; };
    const qsizetype longest = text.size() - 4;
    // Summed advances point at the place; the texts either side of it are
    // measured whole, as in line fitting.
    qsizetype m = 0;
    int sum = s.TextWidth(dots);
    for (qsizetype i = 0; i < longest; ++i) {
        sum += s.CharWidth(text.at(i));
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

void quilLabelPrivate::printLine(const QString& text, int x, int y)
{
    platform::Surface& s = faceOf(q);
    s.CurrentX = x;
    s.CurrentY = y;
    s.Print(text);
    printed.push_back({text, x, y});
}

void quilLabelPrivate::drawWrapped(QString text, int height, int width, int left, int top)
{
    const int TH = faceOf(q).TextHeight(QStringLiteral("I"));
    // All the lines under one painter.
    const platform::Surface::TextBatch batch(faceOf(q));
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
    const ColorScheme scheme = SchemeNormal(d->backColor, d->foreColor, d->selectionColor);
    // A faint tint of the fore colour.
    s.BackColor = BlendColors(d->backColor, d->foreColor, 240);
    s.Cls();
    d->printed.clear();
    if (!drawsEnabled())
        s.ForeColor = scheme.EdgeEnd;
    // The focused link shows as the link under the pointer does.
    else if (!d->hyperlink.isEmpty() && (d->linkState == LinkHover || hasFocus()))
        s.ForeColor = scheme.Tint3;
    else
        s.ForeColor = scheme.Text;

    const int SW = s.ScaleWidth(), SH = s.ScaleHeight();
    const int TH = s.TextHeight(QStringLiteral("I"));
    if (d->imageList && d->imageIndex != 0) {
        const LateImageList list{d->imageList.data()};
        const int IW = list.number("ImageWidth"), IH = list.number("ImageHeight");
        const int x = IW + 4;
        if (!d->textWrap) {
            // Centred on the picture when that is the taller; the surface prints at whole pixels.
            const double y = IH > TH ? IH / 2.0 - s.TextHeight(d->caption) / 2.0 + 2 : 2;
            d->printLine(d->Ellipsis(OneLineText(), SW - x), x, Fix(y));
        } else {
            d->drawWrapped(d->wrapText(), SH - 8, SW - x, x, 2);
        }
        list.draw(s, d->imageIndex, 2, 2, drawsEnabled());
    } else if (!d->textWrap) {
        d->printLine(d->Ellipsis(OneLineText(), SW - 2), 0, 2);
    } else {
        d->drawWrapped(d->wrapText(), SH - 8, SW - 2, 0, 2);
    }
}

// ------------------------------------------------------------ pointer

void quilLabel::HoverTick(bool pointerLeft)
{
    const int before = d->linkState;
    if (d->hyperlink.isEmpty())
        stopPolling();
    if (pointerLeft || d->hyperlink.isEmpty())
        d->linkState = pointerLeft ? LinkLeft : LinkNone;
    else
        d->linkState = d->labelDown ? LinkPressed : LinkHover;
    // Only the resting pointer changes the look.
    if ((before == LinkHover) != (d->linkState == LinkHover))
        Refresh();
}

void quilLabel::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    d->labelDown = true;
    emit MouseDown(button, shift, x, y);
}

void quilLabel::MouseMoveNotify(short button, short shift, float x, float y)
{
    if (!d->hyperlink.isEmpty())
        pointerSeen();
    emit MouseMove(button, shift, x, y);
}

void quilLabel::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    if (d->labelDown && !d->followLink())
        return;
    d->labelDown = false;
    emit MouseUp(button, shift, x, y);
}

// ------------------------------------------------------------ keys

bool quilLabelPrivate::followLink()
{
    QPointer<quilLabel> self(q);
    emit q->Click();
    if (!self)
        return false;
    if (!hyperlink.isEmpty()) {
        short cancel = 0;
        // The handler sees the field itself: a change it makes is the new link.
        emit q->HyperlinkClick(hyperlink, cancel);
        if (!self)
            return false;
        if (cancel == 0)
            OpenLink(hyperlink);
    }
    return true;
}

void quilLabelPrivate::hookKeys()
{
    new KeyHook(
        q,
        [this](QKeyEvent* e) {
            const int k = e->key();
            if (hyperlink.isEmpty() || !q->isEnabled()
                || (k != Qt::Key_Return && k != Qt::Key_Enter && k != Qt::Key_Space))
                return false;
            followLink();
            return true;
        },
        [this](bool) {
            if (!hyperlink.isEmpty())
                q->Refresh();
        });
}

void quilLabelPrivate::applyLinkFocus()
{
    // A click on the link opens it without taking the focus from the user's field.
    q->setFocusPolicy(hyperlink.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
}

} // namespace quil
