// render-control: draws one owner-drawn control, loaded as a saved instance
// from the given properties, to a PNG (alpha 0 outside its window shape).
// The library's controls are drawn with their child controls, at the size
// they settle on after laying themselves out.
//
//   render-control --class CLASS --size WxH [--state N] [--focus] [--container RRGGBB]
//                  [--set NAME=VALUE]... [--item KEY=CAPTION[,STYLE]]... [--open X,Y] --out FILE.png
//
// --item adds an entry to a quilListbox or quilPUMenu, or a button to a
// quilToolbar (KEY=CAPTION[,STYLE], STYLE an eMenuItemType such as mitMenu;
// the bar is drawn at its own height); --open X,Y draws a quilPUMenu's menu,
// or a quilDropDown's panel, open at that screen point (pixels) instead of
// its handle or box.
//
// --state N brings a control into one of its looks through its own
// notifications: quilButton and quilXButton 0-4, quilScrollBar 0-5,
// quilSlider 0 and 2-5, quilLabel (a link) 0, 1, 2, 4, quilDropDown 0-4,
// quilMonthview 0 or 1 (hover over the selected day). quilTextBox,
// quilColorPicker, quilProgressBar, quilListbox, quilPUMenu, quilToolbar
// and quilTab (which draws nothing: a clear PNG) have no states.
//
// --set ImageList=FILE.png@WxH gives a control a host image list cut from a
// strip of W x H pictures.

#include "platform/forms/PropertyBag.h"
#include "widgets/GlossButton.h"
#include "widgets/ThemedButton.h"
#include "widgets/XPFrame.h"
#include "widgets/XP_ProgressBar.h"

#include "QuilRender.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QRegularExpression>
#include <cstdio>
#include <map>
#include <optional>

using namespace murivo;
using namespace render;

namespace {

const std::map<QString, std::map<QString, Kind>>& classes()
{
    static const std::map<QString, std::map<QString, Kind>> table = [] {
    std::map<QString, std::map<QString, Kind>> t = {
        {"GlossButton",
         {{"Enabled", Kind::Bool}, {"Font", Kind::Font}, {"Caption", Kind::Text}, {"IconHighLite", Kind::Bool},
          {"IconHighLiteColor", Kind::Int}, {"CaptionHighLite", Kind::Bool}, {"CaptionHighLiteColor", Kind::Int},
          {"ForeColor", Kind::Int}, {"Picture", Kind::Picture}, {"PictureAlignment", Kind::Int}, {"Style", Kind::Int},
          {"Checked", Kind::Bool}, {"ColorButtonHover", Kind::Int}, {"ColorButtonUp", Kind::Int},
          {"ColorButtonDown", Kind::Int}, {"BorderBrightness", Kind::Int}, {"ColorBright", Kind::Int},
          {"DisplayHand", Kind::Bool}, {"ColorScheme", Kind::Int}}},
        {"ThemedButton",
         {{"Icon", Kind::Picture}, {"Style", Kind::Int}, {"Caption", Kind::Text}, {"IconSize", Kind::Int},
          {"IconAlign", Kind::Int}, {"CaptionAlign", Kind::Int}, {"iNonThemeStyle", Kind::Int}, {"Enabled", Kind::Bool},
          {"ShowFocus", Kind::Bool}, {"USeCustomColors", Kind::Bool}, {"BackColor", Kind::Int},
          {"HighlightColor", Kind::Int}, {"FontColor", Kind::Int}, {"FontHighlightColor", Kind::Int},
          {"ToolTipText", Kind::Text}, {"Tooltiptitle", Kind::Text}, {"ToolTipIcon", Kind::Int},
          {"ToolTipType", Kind::Int}, {"ttBackColor", Kind::Int}, {"ttForeColor", Kind::Int}, {"Font", Kind::Font},
          {"ButtonType", Kind::Int}, {"Value", Kind::Bool}, {"MaskColor", Kind::Int}, {"UseMaskColor", Kind::Bool},
          {"MousePointer", Kind::Int}, {"RoundedBordersByTheme", Kind::Bool}, {"bRTLText", Kind::Bool}}},
        {"XP_ProgressBar",
         {{"Font", Kind::Font}, {"BrushStyle", Kind::Int}, {"Color", Kind::Int}, {"Image", Kind::Picture},
          {"Max", Kind::Int}, {"Min", Kind::Int}, {"Orientation", Kind::Int}, {"Scrolling", Kind::Int},
          {"ShowText", Kind::Bool}, {"Value", Kind::Int}}},
        {"XPFrame",
         {{"Caption", Kind::Text}, {"RightToLeft", Kind::Bool}, {"Font", Kind::Font}, {"BorderColor", Kind::Int},
          {"TextColor", Kind::Int}, {"BackColor", Kind::Int}, {"FontName", Kind::Text}, {"FontSize", Kind::Int},
          {"FontBold", Kind::Bool}, {"FontItalic", Kind::Bool}}},
    };
    for (const QString& name : QuilClasses())
        t[name] = QuilProperties(name);
    return t;
    }();
    return table;
}

std::optional<qint64> integer(const QString& v)
{
    static const QRegularExpression dec(R"(^-?\d+$)"), hex(R"(^&H([0-9A-Fa-f]{1,8})&?$)");
    if (dec.match(v).hasMatch())
        return v.toLongLong();
    const auto m = hex.match(v);
    if (m.hasMatch())
        return static_cast<qint64>(m.captured(1).toULongLong(nullptr, 16));
    return std::nullopt;
}

int fail(const QString& why)
{
    std::fprintf(stderr, "render-control: %s\n", qPrintable(why));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString cls, out, container;
    QSize size;
    std::optional<int> state;
    bool focus = false;
    QStringList sets;
    ListExtras extras;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args[i];
        auto next = [&]() -> std::optional<QString> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        std::optional<QString> v;
        if (a == "--class" && (v = next()))
            cls = *v;
        else if (a == "--out" && (v = next()))
            out = *v;
        else if (a == "--container" && (v = next()))
            container = *v;
        else if (a == "--set" && (v = next()))
            sets << *v;
        else if (a == "--focus")
            focus = true;
        else if (a == "--item" && (v = next())) {
            const int eq = v->indexOf('=');
            if (eq < 0)
                return fail("--item takes KEY=CAPTION, not '" + *v + "'");
            extras.items.append({v->left(eq), v->mid(eq + 1)});
        } else if (a == "--open" && (v = next())) {
            static const QRegularExpression re(R"(^(-?\d+),(-?\d+)$)");
            const auto m = re.match(*v);
            if (!m.hasMatch())
                return fail("--open takes X,Y in pixels, not '" + *v + "'");
            extras.open = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
        }
        else if (a == "--size" && (v = next())) {
            static const QRegularExpression re(R"(^(\d+)x(\d+)$)");
            const auto m = re.match(*v);
            if (!m.hasMatch() || m.captured(1).toInt() <= 0 || m.captured(2).toInt() <= 0)
                return fail("--size takes WxH with positive whole numbers, not '" + *v + "'");
            size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        } else if (a == "--state" && (v = next())) {
            const auto n = integer(*v);
            if (!n)
                return fail("--state takes a whole number, not '" + *v + "'");
            state = static_cast<int>(*n);
        } else {
            return fail("unknown or incomplete argument '" + a + "'\nusage: render-control --class CLASS --size WxH "
                        "[--state N] [--focus] [--container RRGGBB] [--set NAME=VALUE]... [--item KEY=CAPTION[,STYLE]]... "
                        "[--open X,Y] --out FILE.png");
        }
    }
    const auto known = classes().find(cls);
    if (known == classes().end()) {
        QStringList names;
        for (const auto& [name, props] : classes())
            names << name;
        return fail("unknown class '" + cls + "' (known: " + names.join(", ") + ")");
    }
    if (focus && !IsQuilClass(cls))
        return fail("--focus is for the library's controls (" + QuilClasses().join(", ") + ")");
    if (size.isEmpty())
        return fail("--size WxH is required");
    if (out.isEmpty())
        return fail("--out FILE.png is required");
    platform::OLE_COLOR back = platform::GetSysColor(platform::COLOR_BTNFACE);
    if (!container.isEmpty()) {
        static const QRegularExpression rgb(R"(^#?([0-9A-Fa-f]{6})$)");
        const auto m = rgb.match(container);
        if (!m.hasMatch())
            return fail("--container takes RRGGBB, not '" + container + "'");
        back = platform::FromQRgb(static_cast<QRgb>(m.captured(1).toUInt(nullptr, 16)));
    }

    platform::MemoryPropertyBag bag;
    std::optional<ImageStrip> images;
    for (const QString& s : sets) {
        const int eq = s.indexOf('=');
        if (eq <= 0)
            return fail("--set takes NAME=VALUE, not '" + s + "'");
        const QString name = s.left(eq), value = s.mid(eq + 1);
        const auto prop = known->second.find(name);
        if (prop == known->second.end())
            return fail("unknown property '" + name + "' of " + cls);
        switch (prop->second) {
        case Kind::Int: {
            auto n = integer(value);
            if (!n && IsQuilClass(cls))
                n = QuilEnumValue(value);   // a member by name, e.g. Orientation=pbHorizontal
            if (!n)
                return fail(QString("%1 takes a whole number (decimal or &H hexadecimal), not '%2'").arg(name, value));
            bag.values[name] = *n;
            break;
        }
        case Kind::Bool:
            if (value.compare("True", Qt::CaseInsensitive) == 0)
                bag.values[name] = true;
            else if (value.compare("False", Qt::CaseInsensitive) == 0)
                bag.values[name] = false;
            else if (const auto n = integer(value))
                bag.values[name] = *n != 0;
            else
                return fail(QString("%1 takes True or False, not '%2'").arg(name, value));
            break;
        case Kind::Text: bag.values[name] = value; break;
        case Kind::Font: {
            // "Family,points[,bold][,italic]"
            const QStringList parts = value.split(',');
            bool ok = parts.size() >= 2;
            const double pt = ok ? parts[1].trimmed().toDouble(&ok) : 0;
            if (!ok || pt <= 0 || parts[0].trimmed().isEmpty())
                return fail(QString("%1 takes Family,points[,bold][,italic], not '%2'").arg(name, value));
            QFont f(parts[0].trimmed());
            f.setPointSizeF(pt);
            for (const QString& w : parts.mid(2)) {
                if (w.trimmed().compare("bold", Qt::CaseInsensitive) == 0)
                    f.setBold(true);
                else if (w.trimmed().compare("italic", Qt::CaseInsensitive) == 0)
                    f.setItalic(true);
                else
                    return fail(QString("%1: unknown font style '%2'").arg(name, w));
            }
            bag.values[name] = f;
            break;
        }
        case Kind::Picture: {
            const QImage img(value);
            if (img.isNull())
                return fail(QString("%1: cannot load the picture '%2'").arg(name, value));
            bag.values[name] = img;
            break;
        }
        case Kind::Images: {
            // FILE.png@WxH: a strip cut into pictures of W x H.
            static const QRegularExpression re(R"(^(.+)@(\d+)x(\d+)$)");
            const auto m = re.match(value);
            if (!m.hasMatch() || m.captured(2).toInt() <= 0 || m.captured(3).toInt() <= 0)
                return fail(QString("%1 takes FILE.png@WxH, not '%2'").arg(name, value));
            images = ImageStrip{name, m.captured(1), QSize(m.captured(2).toInt(), m.captured(3).toInt())};
            break;
        }
        }
    }

    QImage result;
    // Pixels outside the window shape are not shown: alpha 0.
    auto shaped = [&result](const QImage& face, const auto& inShape) {
        result = face.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < result.height(); ++y)
            for (int x = 0; x < result.width(); ++x)
                if (!inShape(x, y))
                    result.setPixel(x, y, result.pixel(x, y) & 0x00ffffffu);
    };
    if (IsQuilClass(cls)) {
        const QString why = RenderQuil(cls, size, bag.values, images, state, focus, result, extras);
        if (!why.isEmpty())
            return fail(why);
    } else if (cls == "GlossButton") {
        GlossButton b;
        b.containerBackColor = back;
        b.SetSize(size.width(), size.height());
        b.ReadProperties(bag);
        b.Show();
        if (state) {
            if (*state < 0 || *state > 4)
                return fail("GlossButton states are 0 to 4");
            b.Redraw(*state);
        }
        shaped(b.Surface().Image(), [&b](int x, int y) { return b.InShape(x, y); });
    } else if (cls == "ThemedButton") {
        ThemedButton b;
        b.SetSize(size.width(), size.height());
        b.ReadProperties(bag);
        b.Show();
        if (state) {
            if (*state < 1 || *state > 5)
                return fail("ThemedButton states are 1 to 5");
            b.PaintState(*state);
        }
        shaped(b.Surface().Image(), [&b](int x, int y) { return b.InShape(x, y); });
    } else if (cls == "XP_ProgressBar") {
        XP_ProgressBar bar;
        bar.resize(size);
        bar.ReadProperties(bag);
        bar.DrawProgressBar();
        result = bar.Shown().convertToFormat(QImage::Format_ARGB32);
    } else {
        XPFrame frame;
        frame.setObjectName("XPFrame1");
        frame.resize(size);
        frame.ReadProperties(bag);
        result = frame.Surface().Image().convertToFormat(QImage::Format_ARGB32);
    }
    if (!result.save(out, "PNG"))
        return fail("cannot write '" + out + "'");
    return 0;
}
