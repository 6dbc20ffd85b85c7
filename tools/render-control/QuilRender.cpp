// The library's controls for the renderer, in a file of their own: the
// library publishes the property-bag header under its own name, and one
// translation unit cannot hold both copies.
#include "QuilRender.h"

#include "basic/quilScrollBar_p.h"
#include "basic/quilSlider_p.h"
#include "basic/quilXButton.h"
#include "composite/quilMonthview_p.h"
#include "frame/quilControl_p.h"
#include <quilObjects/quilObjects.h>

#include <QApplication>
#include <QMetaEnum>
#include <QMetaProperty>

namespace render {

// The library's controls are described by their meta-objects: their own properties.
namespace {
const QMetaObject* metaOf(const QString& cls)
{
    if (cls == "quilXButton")
        return &quil::quilXButton::staticMetaObject;
    const quil::ClassEntry* e = quil::FindClass(cls);
    return e && e->kind == quil::ClassEntry::Control ? e->meta : nullptr;
}
} // namespace

std::map<QString, Kind> QuilProperties(const QString& cls)
{
    std::map<QString, Kind> props;
    const QMetaObject* meta = metaOf(cls);
    if (!meta)
        return props;
    const QMetaObject& mo = *meta;
    for (int i = QWidget::staticMetaObject.propertyCount(); i < mo.propertyCount(); ++i) {
        const QMetaProperty p = mo.property(i);
        if (!p.isWritable())
            continue;
        Kind k = Kind::Int;
        switch (p.metaType().id()) {
        case QMetaType::Bool: k = Kind::Bool; break;
        case QMetaType::QString: k = Kind::Text; break;
        case QMetaType::QFont: k = Kind::Font; break;
        case QMetaType::QObjectStar: k = Kind::Images; break;
        case QMetaType::QImage: k = Kind::Picture; break;
        default: break;
        }
        props[QString::fromLatin1(p.name())] = k;
    }
    return props;
}

QStringList QuilClasses()
{
    QStringList names;
    for (const quil::ClassEntry& e : quil::ClassTable())
        if (e.kind == quil::ClassEntry::Control || e.kind == quil::ClassEntry::PrivateControl)
            names << QString::fromLatin1(e.name);
    return names;
}

bool IsQuilClass(const QString& cls) { return QuilClasses().contains(cls); }

std::optional<qint64> QuilEnumValue(const QString& text)
{
    // Every enumeration the library publishes.
    const QMetaObject& m = quil::staticMetaObject;
    for (int i = 0; i < m.enumeratorCount(); ++i) {
        bool ok = false;
        const int v = m.enumerator(i).keyToValue(text.toLatin1().constData(), &ok);
        if (ok)
            return v;
    }
    return std::nullopt;
}

// Brings a control of the library into a state through its own notifications,
// as a pointer and keyboard would; returns what went wrong, or nothing.
QString RenderQuil(const QString& cls, QSize size, const QMap<QString, QVariant>& values,
                   const std::optional<ImageStrip>& strip, std::optional<int> state, bool focus, QImage& result,
                   const ListExtras& extras)
{
    quil::MemoryPropertyBag bag;
    bag.setValues(values);
    quil::ImageList images;
    images.setObjectName("ImageList1");
    if (strip) {
        const QImage picture(strip->path);
        if (picture.isNull())
            return QString("%1: cannot load the picture '%2'").arg(strip->property, strip->path);
        images.setImageWidth(strip->size.width());
        images.setImageHeight(strip->size.height());
        if (images.AddStrip(picture) == 0)
            return QString("%1: '%2' is %3 pixels wide, narrower than one %4 x %5 picture")
                .arg(strip->property, strip->path)
                .arg(picture.width())
                .arg(images.ImageWidth())
                .arg(images.ImageHeight());
        // The toolbar keeps its buttons' pictures under the name forms store them by.
        const QString stored = cls == "quilToolbar" && strip->property == "ImageList" ? QStringLiteral("Imagelist")
                                                                                       : strip->property;
        bag.setValue(stored, QVariant::fromValue<QObject*>(&images));
    }
    static QPoint pointer(500, 500);
    quil::quilControlPrivate::SetPointerSource([] { return pointer; });
    QWidget host;
    host.setAttribute(Qt::WA_DontShowOnScreen, qgetenv("QT_QPA_PLATFORM") != "offscreen");
    quil::quilControl* c = nullptr;
    if (cls == "quilXButton") {
        auto* x = new quil::quilXButton(&host);
        x->InitProperties();
        c = x;
    } else {
        c = qobject_cast<quil::quilControl*>(quil::CreateControl(cls, &host));
    }
    if (!c)
        return "cannot create a " + cls;
    c->setObjectName(cls + "1");
    c->InitProperties();
    c->resize(size);
    c->ReadProperties(bag);
    if (!extras.items.isEmpty() && cls != "quilListbox" && cls != "quilPUMenu" && cls != "quilToolbar")
        return "--item fills a quilListbox, a quilPUMenu or a quilToolbar, not a " + cls;
    auto* drop = qobject_cast<quil::quilDropDown*>(c);
    if (extras.open && cls != "quilPUMenu" && !drop)
        return "--open is for a quilPUMenu or a quilDropDown";
    if (auto* list = qobject_cast<quil::quilListbox*>(c)) {
        try {
            for (const auto& [key, caption] : extras.items)
                list->ListboxItems()->Add(key, caption);
        } catch (const quil::Error& e) {
            return "--item: " + e.description();
        }
        list->Refresh();
    }
    if (auto* bar = qobject_cast<quil::quilToolbar*>(c)) {
        // KEY=CAPTION[,STYLE]: the style by name (mitMenu) or number (3).
        const QMetaEnum styles = QMetaEnum::fromType<quil::eMenuItemType>();
        try {
            for (const auto& [key, text] : extras.items) {
                QString caption = text;
                int style = quil::mitNormalButton;
                if (const int comma = text.lastIndexOf(','); comma >= 0) {
                    const QString name = text.mid(comma + 1).trimmed();
                    bool ok = false;
                    style = name.toInt(&ok);
                    if (!ok)
                        style = styles.keyToValue(name.toLatin1().constData(), &ok);
                    if (!ok || !styles.valueToKey(style))
                        return QString("--item %1: '%2' is no button style (mitNormalButton, mitCheckButton, mitMenu, "
                                       "mitMenu2, mitPlaceholder, mitSeparator, mitCaption or 1 to 7)")
                            .arg(key, name);
                    caption = text.left(comma);
                }
                bar->ToolbarItems()->Add(key, caption, 0, static_cast<quil::eMenuItemType>(style));
            }
        } catch (const quil::Error& e) {
            return "--item: " + e.description();
        }
    }
    // As a form does: a scroll bar keeps its thickness within limits, a
    // slider takes the thickness its ticks and labels need, and any other
    // dimension a control fixes comes from its hint.
    if (auto* sb = qobject_cast<quil::quilScrollBar*>(c)) {
        c->resize(sb->FormSize(c->size()));
    } else if (auto* sl = qobject_cast<quil::quilSlider*>(c)) {
        c->resize(sl->FormSize(c->size()));
    } else if (!qobject_cast<quil::quilButton*>(c)) {
        // A button is as big as the form makes it; others fix a line or a grid.
        QSize given = c->size();
        if (c->sizePolicy().verticalPolicy() == QSizePolicy::Fixed && c->sizeHint().height() > 0)
            given.setHeight(c->sizeHint().height());
        if (c->sizePolicy().horizontalPolicy() == QSizePolicy::Fixed && c->sizeHint().width() > 0)
            given.setWidth(c->sizeHint().width());
        c->resize(given);
    }
    host.resize(c->size());
    host.show();
    if (focus) {
        host.activateWindow();
        c->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        if (auto* b = qobject_cast<quil::quilButtonBase*>(c); b && !b->FocusFlag() && cls == "quilButton")
            b->EnterFocus();   // a platform without window activation
        if (auto* s = qobject_cast<quil::quilSlider*>(c); s && !quil::quilSliderPrivate::of(s).FocusFlag())
            s->EnterFocus();
    }
    auto* button = qobject_cast<quil::quilButtonBase*>(c);
    auto* bar = qobject_cast<quil::quilScrollBar*>(c);
    auto* slider = qobject_cast<quil::quilSlider*>(c);
    if (state && qobject_cast<quil::quilProgressBar*>(c))
        return "quilProgressBar has no states: give its Value, Style and Enabled instead";
    auto* label = qobject_cast<quil::quilLabel*>(c);
    auto* calendar = qobject_cast<quil::quilMonthview*>(c);
    if (state && drop) {
        // The box's looks: 0 normal, 1 hover, 2 pressed, 3 disabled, 4 the pointer has left.
        const int n = *state;
        if (n < 0 || n > 4)
            return "quilDropDown states are 0 normal, 1 hover, 2 pressed, 3 disabled, 4 left";
        const QPoint mid(c->width() / 3, c->height() / 2);
        pointer = c->mapToGlobal(mid);
        if (n == 3) {
            host.setEnabled(false);   // the look follows the widget's own enabled state
            drop->Refresh();
        } else if (n != 0) {
            if (n == 2)
                drop->MouseDownNotify(1, 0, float(mid.x()), float(mid.y()));
            drop->MouseMoveNotify(n == 2 ? 1 : 0, 0, float(mid.x()), float(mid.y()));
            if (n == 4)
                pointer += QPoint(5, 5);   // gone without a move event reaching the box
            quil::quilControlPrivate::PollTick(drop);
        }
        if (drop->Look() != n)
            return QString("quilDropDown did not reach state %1 (it is in %2)").arg(n).arg(drop->Look());
    } else if (state && calendar) {
        // 0 normal, 1 the pointer resting on the selected day.
        const int n = *state;
        if (n != 0 && n != 1)
            return "quilMonthview states are 0 normal, 1 hover over the selected day";
        for (int k = 1; n == 1 && k <= 42; ++k) {
            const quil::quilMonthviewPrivate::Cell& cell = quil::quilMonthviewPrivate::of(calendar).CellAt(k);
            if (cell.Day != calendar->iDay() || cell.Width <= 0)
                continue;
            const QPoint mid(cell.X + cell.Width / 2, cell.Y + cell.Height / 2);
            pointer = c->mapToGlobal(mid);
            calendar->MouseMoveNotify(0, 0, float(mid.x()), float(mid.y()));
            quil::quilControlPrivate::PollTick(calendar);
            break;
        }
        if (n == 1 && quil::quilMonthviewPrivate::of(calendar).HoverCell() == 0)
            return "quilMonthview did not reach state 1: no cell shows the selected day";
    } else if (state && button) {
        const int n = *state;
        if (n < 0 || n > 4)
            return cls + " states are 0 normal, 1 hover, 2 pressed, 3 disabled, 4 idle";
        if (n != 3 && !button->Enabled())
            return QString("state %1 needs an enabled %2").arg(n).arg(cls);
        const QPoint mid(c->width() / 2, c->height() / 2);
        pointer = c->mapToGlobal(mid);
        switch (n) {
        case 0:
            // Re-enabling is what brings a button to state 0.
            button->setEnabled(false);
            button->setEnabled(true);
            break;
        case 1:
        case 2:
            if (n == 2)
                button->MouseDownNotify(1, 0, float(mid.x()), float(mid.y()));
            button->MouseMoveNotify(n == 2 ? 1 : 0, 0, float(mid.x()), float(mid.y()));
            quil::quilControlPrivate::PollTick(button);
            break;
        case 3: button->setEnabled(false); break;
        default: break;
        }
        if (button->State_() != n)
            return QString("%1 did not reach state %2 (it is in %3)").arg(cls).arg(n).arg(button->State_());
    } else if (state && bar) {
        const int n = *state;
        if (n < 0 || n > 5)
            return "quilScrollBar states are 0 to 5";
        if (n != 4 && !bar->Enabled())
            return QString("state %1 needs an enabled quilScrollBar").arg(n);
        const quil::quilScrollBarPrivate& inside = quil::quilScrollBarPrivate::of(bar);
        const quil::quilScrollBarPrivate::Geometry g = inside.Layout();
        const bool across = bar->Orientation() == quil::pbHorizontal;
        const int along = g.b + inside.ThumbOffset() + g.TL / 2, side = g.T / 2;
        const QPoint thumb = across ? QPoint(along, side) : QPoint(side, along);
        if ((n == 2 || n == 3 || n == 5) && !inside.OverThumb(thumb.x(), thumb.y()))
            return QString("state %1 needs a thumb under the pointer, and this bar has none at %2 x %3")
                .arg(n)
                .arg(bar->width())
                .arg(bar->height());
        pointer = bar->mapToGlobal(thumb);
        switch (n) {
        case 2:
        case 3:
        case 5:
            bar->MouseMoveNotify(0, 0, float(thumb.x()), float(thumb.y()));
            if (n == 3)
                bar->MouseDownNotify(1, 0, float(thumb.x()), float(thumb.y()));
            if (n == 5)
                pointer += QPoint(5, 5);   // gone without a move event reaching the bar
            quil::quilControlPrivate::PollTick(bar);
            break;
        case 4: bar->setEnabled(false); break;
        default: break;   // 1 is never entered and looks as 0 does
        }
        const int want = n == 1 ? 0 : n;
        if (inside.State_() != want)
            return QString("quilScrollBar did not reach state %1 (it is in %2)").arg(n).arg(inside.State_());
    } else if (state && label) {
        // The link's states: 0 none, 1 the pointer resting on it, 2 pressed, 4 left.
        const int n = *state;
        if (n != 0 && n != 1 && n != 2 && n != 4)
            return "quilLabel states are 0 normal, 1 hover, 2 pressed, 4 left";
        if (n != 0 && label->Hyperlink().isEmpty())
            return QString("state %1 needs a Hyperlink: without one a label has no hover").arg(n);
        const QPoint mid(c->width() / 2, c->height() / 2);
        pointer = c->mapToGlobal(mid);
        if (n != 0) {
            if (n == 2)
                label->MouseDownNotify(1, 0, float(mid.x()), float(mid.y()));
            label->MouseMoveNotify(n == 2 ? 1 : 0, 0, float(mid.x()), float(mid.y()));
            if (n == 4)
                pointer += QPoint(5, 5);   // gone without a move event reaching the label
            quil::quilControlPrivate::PollTick(label);
        }
        if (label->LinkState() != n)
            return QString("quilLabel did not reach state %1 (it is in %2)").arg(n).arg(label->LinkState());
    } else if (state && !slider) {
        return cls + " has no states";
    }
    if (state && slider) {
        const int n = *state;
        if (n < 0 || n > 5 || n == 1)
            return "quilSlider states are 0 normal, 2 hover, 3 pressed, 4 disabled, 5 idle";
        if (n != 4 && !slider->Enabled())
            return QString("state %1 needs an enabled quilSlider").arg(n);
        // The thumb's centre: 10 pixels on from its offset, 10 pixels across.
        const bool across = slider->Orientation() == quil::pbHorizontal;
        const quil::quilSliderPrivate& inside = quil::quilSliderPrivate::of(slider);
        const int along = inside.ThumbPosition() + 10;
        const QPoint thumb = across ? QPoint(along, 10) : QPoint(10, along);
        if ((n == 2 || n == 3) && !inside.OverThumb(float(thumb.x()), float(thumb.y())))
            return QString("state %1 needs the thumb on the face, and this slider's is at %2").arg(n).arg(along);
        pointer = slider->mapToGlobal(thumb);
        switch (n) {
        case 0:
            // Re-enabling is what brings a slider to state 0.
            slider->setEnabled(false);
            slider->setEnabled(true);
            break;
        case 2:
        case 3:
        case 5:
            if (n == 3)
                slider->MouseDownNotify(1, 0, float(thumb.x()), float(thumb.y()));
            slider->MouseMoveNotify(n == 3 ? 1 : 0, 0, float(thumb.x()), float(thumb.y()));
            if (n == 5)
                pointer += QPoint(5, 5);   // gone without a move event reaching the slider
            quil::quilControlPrivate::PollTick(slider);
            break;
        case 4: slider->setEnabled(false); break;
        default: break;
        }
        if (inside.State_() != n)
            return QString("quilSlider did not reach state %1 (it is in %2)").arg(n).arg(inside.State_());
    }
    if (auto* menu = qobject_cast<quil::quilPUMenu*>(c)) {
        try {
            for (const auto& [key, caption] : extras.items)
                menu->MenuItem()->Add(key, caption);
        } catch (const quil::Error& e) {
            return "--item: " + e.description();
        }
        if (extras.open) {
            // The open menu's own window, as the screen would show it.
            int X = extras.open->x() * quil::quilPUMenu::TwipsPerPixel;
            int Y = extras.open->y() * quil::quilPUMenu::TwipsPerPixel;
            menu->CreateMenu(X, Y);
            result = menu->MenuFace().convertToFormat(QImage::Format_ARGB32);
            menu->KillMenu();
            quil::quilControlPrivate::SetPointerSource({});
            return {};
        }
    }
    if (drop && extras.open) {
        // The open panel, as the screen would show it under the box.
        int X = extras.open->x() * quil::quilPUMenu::TwipsPerPixel;
        int Y = extras.open->y() * quil::quilPUMenu::TwipsPerPixel;
        drop->CreateMenu(X, Y);
        QWidget* panel = drop->Panel();
        result = QImage(panel->size(), QImage::Format_ARGB32);
        result.fill(Qt::transparent);
        panel->render(&result, QPoint(), QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
        drop->ClosePanel();
        quil::quilControlPrivate::SetPointerSource({});
        return {};
    }
    result = QImage(c->size(), QImage::Format_ARGB32);
    result.fill(Qt::transparent);
    // With the child controls (the bar's arrows) drawn in.
    c->render(&result, QPoint(), QRegion(), QWidget::DrawChildren);
    quil::quilControlPrivate::SetPointerSource({});
    return {};
}

} // namespace render
