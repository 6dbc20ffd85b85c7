// The surface's text: measuring, wrapping and drawing lines in the current
// font, with access-key marks and the disabled look.
#include "Surface.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>

namespace platform {

// --------------------------------------------------------------------- text

PrefixText PrefixText::Parse(const QString& marked)
{
    PrefixText p;
    for (int i = 0; i < marked.size(); ++i) {
        if (marked[i] == '&' && i + 1 < marked.size()) {
            ++i;
            if (marked[i] != '&' && p.underline < 0)
                p.underline = static_cast<int>(p.text.size());
        } else if (marked[i] == '&') {
            continue;   // a lone trailing ampersand shows nothing
        }
        p.text += marked[i];
    }
    return p;
}

const QFontMetrics& Surface::Metrics() const
{
    // A copy of the font shares its data, so the usual case compares one pointer.
    if (!measured.metrics || !(measured.font == Font) || measured.font.resolveMask() != Font.resolveMask()) {
        measured.font = Font;
        measured.metrics.emplace(Font);
        measured.widths.clear();
        measured.glyphs.clear();
        measured.chars.fill(-1);
    }
    return *measured.metrics;
}

const QList<QGlyphRun>* Surface::shaped(const QString& line)
{
    if (line.isEmpty() || line.size() > 400 || Font.underline() || Font.overline() || Font.strikeOut())
        return nullptr;
    // Only text whose layout cannot depend on the paragraph's direction.
    for (const QChar ch : line)
        if (ch.unicode() < 0x20 || ch.unicode() >= 0x0590)
            return nullptr;
    Metrics();
    // Laying a line out for keeps costs more than drawing it once: a line
    // is kept from its second drawing on (an empty entry marks the first).
    auto it = measured.glyphs.find(line);
    if (it == measured.glyphs.end()) {
        if (measured.glyphs.size() >= 1024)
            measured.glyphs.clear();
        measured.glyphs.insert(line, {});
        return nullptr;
    }
    if (!it->isEmpty())
        return &*it;
    QTextLayout layout(line, Font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setTextDirection(Qt::LeftToRight);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine first = layout.createLine();
    if (!first.isValid()) {
        layout.endLayout();
        return nullptr;
    }
    first.setLineWidth(1e6);
    layout.endLayout();
    QList<QGlyphRun> runs = first.glyphRuns();
    // Positions relative to the baseline, as the painter's own text has them.
    for (QGlyphRun& run : runs) {
        QList<QPointF> at = run.positions();
        for (QPointF& p : at)
            p.setY(p.y() - first.ascent());
        run.setPositions(at);
    }
    if (runs.isEmpty())
        return nullptr;
    *it = std::move(runs);
    return &*it;
}

int Surface::advance(const QString& line) const
{
    const QFontMetrics& fm = Metrics();
    if (line.size() > 200)
        return fm.horizontalAdvance(line);
    const auto it = measured.widths.constFind(line);
    if (it != measured.widths.cend())
        return *it;
    // Bounded: a long session measures many strings once each.
    if (measured.widths.size() >= 4096)
        measured.widths.clear();
    const int w = fm.horizontalAdvance(line);
    measured.widths.insert(line, w);
    return w;
}

int Surface::CharWidth(QChar ch) const
{
    const QFontMetrics& fm = Metrics();
    if (ch.unicode() >= measured.chars.size())
        return fm.horizontalAdvance(ch);
    int& w = measured.chars[ch.unicode()];
    if (w < 0)
        w = fm.horizontalAdvance(ch);
    return w;
}

int Surface::TextWidth(const QString& text) const
{
    if (!text.contains('\n'))
        return advance(text);
    int w = 0;
    for (const QString& line : text.split('\n'))
        w = std::max(w, advance(line));
    return w;
}

int Surface::TextHeight(const QString& text) const
{
    return Metrics().height() * static_cast<int>(std::max<qsizetype>(1, text.count('\n') + 1));
}

void Surface::BeginText()
{
    if (batch.depth++ == 0 && !img.isNull()) {
        batch.painter = std::make_shared<QPainter>(&img);
        batch.painter->setFont(Font);
    }
}

void Surface::EndText()
{
    if (batch.depth > 0 && --batch.depth == 0)
        batch.painter.reset();
}

void Surface::drawTextAt(const PrefixText& t, int x, int y, QRgb c, bool rtl)
{
    std::optional<QPainter> own;
    QPainter* p = batch.painter.get();
    if (p) {
        if (!(p->font() == Font))
            p->setFont(Font);
    } else {
        own.emplace(&img);
        p = &*own;
        p->setFont(Font);
    }
    p->setPen(QColor::fromRgb(c));
    if (TextClip)
        p->setClipRect(QRect(QPoint(TextClip->left, TextClip->top), QPoint(TextClip->right - 1, TextClip->bottom - 1)));
    else if (p->hasClipping())
        p->setClipping(false);
    const QFontMetrics& fm = Metrics();
    // An embedding mark makes the paragraph read right to left.
    const QList<QGlyphRun>* glyphs = rtl ? nullptr : shaped(t.text);
    if (glyphs) {
        for (const QGlyphRun& run : *glyphs)
            p->drawGlyphRun(QPointF(x, y + fm.ascent()), run);
    } else {
        const QString shown = rtl ? QChar(0x202B) + t.text + QChar(0x202C) : t.text;
        p->drawText(QPoint(x, y + fm.ascent()), shown);
    }
    if (t.underline >= 0 && t.underline < t.text.size()) {
        own.reset();
        const int ux = x + advance(t.text.left(t.underline));
        const int uw = advance(t.text.mid(t.underline, 1));
        const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
        Line(ux, uy, ux + uw, uy, FromQRgb(c));
    }
}

void Surface::Print(const QString& text)
{
    drawTextAt(PrefixText{text, -1}, CurrentX, CurrentY, ToQRgb(ForeColor));
    CurrentX = 0;
    CurrentY += TextHeight(text);
}

std::vector<QString> Surface::wrap(const QString& text, int width) const
{
    const QFontMetrics& fm = Metrics();
    std::vector<QString> lines;
    for (const QString& para : text.split('\n')) {
        QString line;
        for (const QString& word : para.split(' ')) {
            const QString candidate = line.isEmpty() ? word : line + ' ' + word;
            if (!line.isEmpty() && fm.horizontalAdvance(candidate) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = candidate;
            }
        }
        lines.push_back(line);
    }
    return lines;
}

int Surface::DrawTextA(const QString& text, RECT& r, unsigned flags)
{
    const PrefixText pt = (flags & DT_NOPREFIX) ? PrefixText{text, -1} : PrefixText::Parse(text);
    const QFontMetrics& fm = Metrics();
    const int lh = fm.height();
    std::vector<QString> lines;
    if (flags & DT_SINGLELINE)
        lines.push_back(QString(pt.text).replace('\n', ' '));
    else if (flags & DT_WORDBREAK)
        lines = wrap(pt.text, r.right - r.left);
    else
        for (const QString& l : pt.text.split('\n'))
            lines.push_back(l);
    int widest = 0;
    for (const QString& l : lines)
        widest = std::max(widest, fm.horizontalAdvance(l));
    const int height = lh * static_cast<int>(lines.size());
    if (flags & DT_CALCRECT) {
        r.right = r.left + widest;
        r.bottom = r.top + height;
        return height;
    }
    int y = r.top;
    if ((flags & DT_SINGLELINE) && (flags & DT_VCENTER))
        y = r.top + (r.bottom - r.top - lh) / 2;
    else if ((flags & DT_SINGLELINE) && (flags & DT_BOTTOM))
        y = r.bottom - lh;
    const QRgb colour = ToQRgb(ForeColor);
    int offset = 0;   // index of the line's first character in pt.text
    for (const QString& l : lines) {
        const int lw = fm.horizontalAdvance(l);
        const int x = (flags & DT_CENTER) ? r.left + (r.right - r.left - lw) / 2 : (flags & DT_RIGHT) ? r.right - lw : r.left;
        PrefixText piece{l, -1};
        if (pt.underline >= offset && pt.underline < offset + l.size())
            piece.underline = pt.underline - offset;
        drawTextAt(piece, x, y, colour, (flags & DT_RTLREADING) != 0);
        offset += static_cast<int>(l.size()) + 1;
        y += lh;
    }
    return height;
}

void Surface::DrawStateText(const QString& text, int x, int y, unsigned flags, OLE_COLOR mono)
{
    const PrefixText pt = (flags & 0xf) == DST_PREFIXTEXT ? PrefixText::Parse(text) : PrefixText{text, -1};
    if (flags & DSS_DISABLED) {
        drawTextAt(pt, x + 1, y + 1, ToQRgb(GetSysColor(COLOR_BTNHIGHLIGHT)));
        drawTextAt(pt, x, y, ToQRgb(GetSysColor(COLOR_BTNSHADOW)));
    } else if (flags & DSS_MONO) {
        drawTextAt(pt, x, y, ToQRgb(mono));
    } else {
        drawTextAt(pt, x, y, ToQRgb(ForeColor));
    }
}

} // namespace platform
