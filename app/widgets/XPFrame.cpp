#include "XPFrame.h"

#include "platform/forms/Forms.h"

#include <QApplication>
#include <QPainter>

namespace murivo {

using namespace platform;

XPFrame::XPFrame(QWidget* parent) : QWidget(parent)
{
    surface.Font = QApplication::font();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void XPFrame::InitProperties(const QString& instanceName)
{
    caption = instanceName;
    Draw();
}

void XPFrame::ReadProperties(PropertyBag& bag)
{
    caption = bag.ReadProperty("Caption", objectName()).toString();
    rtl = BagBool(bag.ReadProperty("RightToLeft", false), false);
    surface.Font = BagFont(bag.ReadProperty("Font", surface.Font), surface.Font);
    border = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("BorderColor", 12570832), 12570832));
    text = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("TextColor", 0xD54600), 0xD54600));
    back = static_cast<OLE_COLOR>(BagInt(bag.ReadProperty("BackColor", static_cast<qint64>(0x8000000F)), 0x8000000F));
    surface.Font.setFamily(bag.ReadProperty("FontName", surface.Font.family()).toString());
    const double size = bag.ReadProperty("FontSize", surface.Font.pointSizeF()).toDouble();
    if (size > 0)
        surface.Font.setPointSizeF(size);
    surface.Font.setBold(BagBool(bag.ReadProperty("FontBold", surface.Font.bold()), surface.Font.bold()));
    surface.Font.setItalic(BagBool(bag.ReadProperty("FontItalic", surface.Font.italic()), surface.Font.italic()));
    Draw();
}

void XPFrame::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty("Caption", caption, objectName());
    bag.WriteProperty("RightToLeft", rtl, false);
    bag.WriteProperty("Font", surface.Font, QApplication::font());
    bag.WriteProperty("BorderColor", static_cast<qint64>(border), static_cast<qint64>(12570832));
    bag.WriteProperty("TextColor", static_cast<qint64>(text), static_cast<qint64>(0xD54600));
    bag.WriteProperty("BackColor", static_cast<qint64>(back), static_cast<qint64>(0x8000000F));
    bag.WriteProperty("FontName", surface.Font.family(), QApplication::font().family());
    bag.WriteProperty("FontSize", surface.Font.pointSizeF(), QApplication::font().pointSizeF());
    bag.WriteProperty("FontBold", surface.Font.bold(), QApplication::font().bold());
    bag.WriteProperty("FontItalic", surface.Font.italic(), QApplication::font().italic());
}

void XPFrame::changed(const char* name)
{
    emit PropertyChanged(name);
    Draw();
}

void XPFrame::setCaption(const QString& v)
{
    caption = v;
    changed("Caption");
}

void XPFrame::setRightToLeft(bool v)
{
    rtl = v;
    changed("RightToLeft");
}

void XPFrame::setBorderColor(OLE_COLOR v)
{
    border = v;
    changed("BorderColor");
}

void XPFrame::setTextColor(OLE_COLOR v)
{
    text = v;
    changed("TextColor");
}

void XPFrame::setBackcolor(OLE_COLOR v)
{
    back = v;
    changed("BackColor");
}

void XPFrame::setFontProperty(const QFont& f)
{
    surface.Font = f;
    changed("Font");
}

void XPFrame::Draw()
{
    if (busy)
        return;
    busy = true;
    surface.Resize(width(), height());
    surface.BackColor = back;
    surface.Cls();
    const int W = surface.ScaleWidth(), H = surface.ScaleHeight();
    const int h = caption.isEmpty() ? 0 : static_cast<int>(RoundHalfEven(surface.TextHeight(caption) / 2.0));
    platform::Surface& s = surface;
    s.Line(2, h, W - 2, h, border);
    s.Line(W - 1, h + 2, W - 1, H - 2, border);
    s.Line(0, h + 2, 0, H - 2, border);
    s.Line(2, H - 1, W - 2, H - 1, border);
    for (QPoint p : {QPoint(2, h + 1), QPoint(1, h + 2), QPoint(1, h + 1), QPoint(W - 3, h + 1), QPoint(W - 2, h + 1),
                     QPoint(W - 2, h + 2), QPoint(1, H - 3), QPoint(2, H - 2), QPoint(1, H - 2), QPoint(W - 2, H - 2),
                     QPoint(W - 3, H - 2), QPoint(W - 2, H - 3)})
        s.SetPixelV(p.x(), p.y(), border);
    if (!caption.isEmpty()) {
        s.ForeColor = text;
        s.CurrentY = 0;
        s.CurrentX = rtl ? W - s.TextWidth(caption) - 7 : 7;
        s.Print(caption);
    }
    busy = false;
    update();
}

void XPFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, surface.Image());
}

void XPFrame::resizeEvent(QResizeEvent*) { Draw(); }

} // namespace murivo
