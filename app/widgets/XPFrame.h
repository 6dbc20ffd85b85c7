#pragma once
// A group box: a thin rounded border in a light colour with the caption
// printed in its top line. A container; it raises no events.

#include "platform/forms/PropertyBag.h"
#include "platform/surface/Surface.h"

#include <QWidget>

namespace murivo {

using platform::OLE_COLOR;

class XPFrame : public QWidget {
    Q_OBJECT
public:
    explicit XPFrame(QWidget* parent = nullptr);

    void InitProperties(const QString& instanceName);
    void ReadProperties(platform::PropertyBag& bag);
    void WriteProperties(platform::PropertyBag& bag) const;

    QString Caption() const { return caption; }
    void setCaption(const QString& v);
    bool RightToLeft() const { return rtl; }
    void setRightToLeft(bool v);
    OLE_COLOR BorderColor() const { return border; }
    void setBorderColor(OLE_COLOR v);
    OLE_COLOR TextColor() const { return text; }
    void setTextColor(OLE_COLOR v);
    OLE_COLOR Backcolor() const { return back; }
    void setBackcolor(OLE_COLOR v);
    QFont Font() const { return surface.Font; }
    void setFontProperty(const QFont& f);

    void Draw();
    const platform::Surface& Surface() const { return surface; }

signals:
    void PropertyChanged(const QString& name);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void changed(const char* name);

    platform::Surface surface;
    QString caption;
    bool rtl = false;
    OLE_COLOR border = 12570832;
    OLE_COLOR text = 0xD54600;
    OLE_COLOR back = 0x8000000F;
    bool busy = false;
};

} // namespace murivo
