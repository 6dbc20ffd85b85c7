#include <quilObjects/ComboDatas.h>
#include <quilObjects/ImageList.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>

#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "DropPanel.h"
#include "basic/quilXButton.h"
#include "frame/LateImageList.h"
#include "platform/surface/Surface.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <cmath>
#include <limits>

namespace quil {

namespace {

// The watch's period: quick enough to feel immediate, idle enough to cost nothing.
constexpr int WatchInterval = 10;
} // namespace

// ================================================================ the control

quilDropDown::quilDropDown(QWidget* parent) : quilControl(parent)
{
    field = new QLineEdit(this);
    field->setObjectName(QStringLiteral("Text1"));
    field->setFrame(false);
    // The box shows a pick; the value is chosen in the panel, never typed.
    field->setReadOnly(true);
    field->setFocusPolicy(Qt::ClickFocus);
    field->setMouseTracking(true);
    field->setContextMenuPolicy(Qt::NoContextMenu);
    field->installEventFilter(this);
    setFocusProxy(field);
    setFocusPolicy(Qt::StrongFocus);

    arrow = new quilXButton(this);
    arrow->setObjectName(QStringLiteral("quilXButton1"));
    QFont webdings(QStringLiteral("webdings"));
    webdings.setPointSize(8);
    arrow->setFont(webdings);
    arrow->setCaption(QStringLiteral("6"));
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->installEventFilter(this);
    connect(arrow, &quilButtonBase::Click, this, &quilDropDown::OpenPanel);

    panel = new DropPanel;
    AddDropShadow(panel);
    list = new quilListbox(panel);
    list->setObjectName(QStringLiteral("quilListbox1"));
    list->InitProperties();
    list->hide();
    // A press anywhere on the panel, its list or the list's scroll bar holds it open.
    panel->installEventFilter(this);
    for (QWidget* w : panel->findChildren<QWidget*>())
        w->installEventFilter(this);
    connect(list, &quilListbox::ItemClicked, this, [this](short& index, QString&) { ListItemClicked(index); });

    images = new ImageList(16, 16, this);
    pressWatch = new PressWatch([this](QWidget* w) { pressedOn(w); }, this);
    focusTimer.setInterval(WatchInterval);
    connect(&focusTimer, &QTimer::timeout, this, &quilDropDown::FocusTick);
    connect(this, &quilControl::PropertyChanged, this, [this](const QString& name) {
        if (name == QLatin1String("Font"))
            applyFieldFont();
    });
    quilDropDown::InitProperties();
    // As wide as the container makes it, one line high.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    resize(width(), sizeHint().height());
}

quilDropDown::~quilDropDown()
{
    focusTimer.stop();
    qApp->removeEventFilter(pressWatch);
    panel->hide();
    ClearWindowOpacity(panel);
    // A ValueChanged handler may delete the box while the panel's list is still in its own click.
    if (picking > 0)
        panel->deleteLater();
    else
        delete panel;
}

QLineEdit* quilDropDown::TextField() const { return field; }

quilPUMenu* quilDropDown::Menu() const
{
    // Nothing uses it; it is made only for a host that asks for it.
    if (!menu) {
        auto* self = const_cast<quilDropDown*>(this);
        self->menu = new quilPUMenu(self);
        menu->setObjectName(QStringLiteral("quilPUMenu1"));
        // Out of sight: minus its own size, minus 10 twips.
        menu->move(-menu->width() - 1, -menu->height() - 1);
    }
    return menu;
}

ImageList* quilDropDown::TypeImages() const
{
    loadPendingImages();
    return images;
}

quilMonthview* quilDropDown::Calendar() const { return const_cast<quilDropDown*>(this)->makeCalendar(); }

quilMonthview* quilDropDown::makeCalendar()
{
    if (calendar)
        return calendar;
    // Only the date type needs it: the other types never pay for it.
    calendar = new quilMonthview(panel);
    calendar->setObjectName(QStringLiteral("mw"));
    calendar->InitProperties();
    calendar->hide();
    calendar->installEventFilter(this);
    for (QWidget* w : calendar->findChildren<QWidget*>())
        w->installEventFilter(this);
    connect(calendar, &quilMonthview::DblClick, this, &quilDropDown::CalendarDblClick);
    if (appliedType == ctDateBox)
        placeCalendar();
    return calendar;
}

void quilDropDown::placeCalendar()
{
    calendar->resize(calendar->sizeHint());
    calendar->move(0, 0);
    panel->resize(calendar->size());
    calendar->show();
}
quilButtonBase* quilDropDown::ArrowButton() const { return arrow; }
QWidget* quilDropDown::Panel() const { return panel; }
QString quilDropDown::Text() const { return field->text(); }
QSharedPointer<ComboDatas> quilDropDown::Entries() const { return list->ListboxItems(); }

// ------------------------------------------------------------ persistence

const QList<PersistedProperty>& quilDropDown::Persisted() const
{
    static const QList<PersistedProperty> table = {
        {"BackColor", QVariant::fromValue<quint32>(0xFFFFFF)},
        {"ForeColor", QVariant::fromValue<quint32>(0xC00000)},
        {"Enabled", false},
        {"Font", {}, PersistedProperty::Font},
        {"SelectionColor", QVariant::fromValue<quint32>(33023)},
        {"TabSelectColor", QVariant::fromValue<quint32>(38631)},
        {"ComboType", 1},
        {"DateFormat", QStringLiteral("dd.mm.yyyy")},
        {"Day", 1},
        {"Year", 2005},
        {"Month", 1},
        {"PrinterName", QString()},
        {"DriveLetter", QStringLiteral("C:")},
        {"FontName", QStringLiteral("Arial")},
    };
    return table;
}

void quilDropDown::InitProperties()
{
    quilControl::InitProperties();
    backColor = 0xFFFFFF;
    foreColor = 0xC00000;
    selectionColor = 33023;
    tabSelectColor = 38631;
    enabledFlag = false;
    comboType = ctDateBox;
    dateFormat = QStringLiteral("dd.mm.yyyy");
    day = 1;
    month = 1;
    year = 2005;
    printerName.clear();
    driveLetter = QStringLiteral("C:");
    fontName = QStringLiteral("Arial");
    applyFieldFont();
    // A new drop-down's panel is set up as a loaded one's is.
    applyType();
    showValue();
}

void quilDropDown::ReadProperties(PropertyBag& bag)
{
    backColor = readColor(bag, "BackColor");
    foreColor = readColor(bag, "ForeColor");
    enabledFlag = readInt(bag, "Enabled") != 0;
    applyFont(readFont(bag));
    selectionColor = readColor(bag, "SelectionColor");
    tabSelectColor = readColor(bag, "TabSelectColor");
    comboType = static_cast<eComboType>(readInt(bag, "ComboType"));
    dateFormat = readText(bag, "DateFormat");
    day = static_cast<short>(readInt(bag, "Day"));
    year = static_cast<short>(readInt(bag, "Year"));
    month = static_cast<short>(readInt(bag, "Month"));
    printerName = readText(bag, "PrinterName");
    driveLetter = readText(bag, "DriveLetter");
    fontName = readText(bag, "FontName");
    applyFieldFont();
    applyType();
    showValue();
}

void quilDropDown::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(foreColor));
    writeProp(bag, "Enabled", enabledFlag);
    writeProp(bag, "Font", Font());
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(selectionColor));
    writeProp(bag, "TabSelectColor", QVariant::fromValue<quint32>(tabSelectColor));
    writeProp(bag, "ComboType", static_cast<int>(comboType));
    writeProp(bag, "DateFormat", dateFormat);
    writeProp(bag, "Day", day);
    writeProp(bag, "Year", year);
    writeProp(bag, "Month", month);
    writeProp(bag, "PrinterName", printerName);
    writeProp(bag, "DriveLetter", driveLetter);
    writeProp(bag, "FontName", fontName);
}

// ------------------------------------------------------------ properties

void quilDropDown::setBackColor(OLE_COLOR c)
{
    backColor = c;
    changed("BackColor");
}

void quilDropDown::setForeColor(OLE_COLOR c)
{
    foreColor = c;
    changed("ForeColor");
}

void quilDropDown::setSelectionColor(OLE_COLOR c)
{
    selectionColor = c;
    changed("SelectionColor");
}

void quilDropDown::setTabSelectColor(OLE_COLOR c)
{
    tabSelectColor = c;
    changed("TabSelectColor");
}

void quilDropDown::setEnabledFlag(bool on)
{
    enabledFlag = on;
    changed("Enabled");
}

void quilDropDown::setDateFormat(const QString& f)
{
    dateFormat = f;
    if (notify("DateFormat"))
        SetComboType();
}

void quilDropDown::setComboType(eComboType t)
{
    comboType = t;
    if (!notify("ComboType"))
        return;
    applyType();
    showValue();
}

void quilDropDown::setDay(int v)
{
    if (v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max()) {
        refuseValue("Day", v, QStringLiteral("a 16-bit number"));
        return;
    }
    day = static_cast<short>(v);
    if (notify("Day"))
        showValue();
}

void quilDropDown::setMonth(int v)
{
    if (v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max()) {
        refuseValue("Month", v, QStringLiteral("a 16-bit number"));
        return;
    }
    month = static_cast<short>(v);
    if (notify("Month"))
        showValue();
}

void quilDropDown::setYear(int v)
{
    if (v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max()) {
        refuseValue("Year", v, QStringLiteral("a 16-bit number"));
        return;
    }
    year = static_cast<short>(v);
    if (notify("Year"))
        showValue();
}

void quilDropDown::setPrinterName(const QString& n)
{
    printerName = n;
    if (notify("PrinterName"))
        showValue();
}

void quilDropDown::setDriveLetter(const QString& v)
{
    driveLetter = v;
    if (notify("DriveLetter"))
        showValue();
}

void quilDropDown::setFontName(const QString& n)
{
    fontName = n;
    if (notify("FontName"))
        showValue();
}

QString quilDropDown::valueOfType() const
{
    switch (comboType) {
    case ctPrinterSelect: return printerName;
    case ctDriveSelect: return driveLetter;
    case ctFontSelect: return fontName;
    default: return {};
    }
}

// ------------------------------------------------------------ the value

QString quilDropDown::FormatDate(const QString& pattern, int d, int m, int y)
{
    QString s = pattern;
    s.replace(QStringLiteral("dd"), PadZeros(QString::number(d), 2));
    s.replace(QStringLiteral("mm"), PadZeros(QString::number(m), 2));
    s.replace(QStringLiteral("yyyy"), QString::number(y));
    s.replace(QStringLiteral("d"), QString::number(d));
    s.replace(QStringLiteral("m"), QString::number(m));
    s.replace(QStringLiteral("yy"), QString::number(y).right(2));
    return s;
}

void quilDropDown::showText(const QString& text)
{
    field->setText(text);
    // A long name shows its beginning, not its end.
    field->setCursorPosition(0);
}

void quilDropDown::showDate() { showText(FormatDate(dateFormat, day, month, year)); }

void quilDropDown::showValue()
{
    if (comboType == ctDateBox)
        showDate();
    else if (comboType == ctPrinterSelect || comboType == ctDriveSelect || comboType == ctFontSelect)
        selectValue(valueOfType());
    Refresh();
}

void quilDropDown::selectValue(const QString& v)
{
    const auto items = list->ListboxItems();
    if (v.isEmpty() || !items)
        return;
    for (int i = 1; i <= items->Count(); ++i) {
        const auto e = items->Item(i);
        if (e->Value() != v)
            continue;
        // The box shows the value it holds; a value nothing matches changes nothing.
        showText(e->Caption().remove(QLatin1Char('\t')));
        typeIcon = e->Icon();
        quiet = true;
        QPointer<quilDropDown> self(this);
        list->setSelectedItem(static_cast<short>(i));
        if (self)
            quiet = false;
        return;
    }
}

// ------------------------------------------------------------ layout and look

void quilDropDown::applyFieldFont()
{
    QFont f = field->font();
    const QFont& src = Font();
    f.setFamilies(src.families().isEmpty() ? QStringList{src.family()} : src.families());
    f.setPointSizeF(src.pointSizeF() > 0 ? src.pointSizeF() : f.pointSizeF());
    f.setBold(src.bold());
    f.setItalic(src.italic());
    f.setStrikeOut(src.strikeOut());
    f.setUnderline(src.underline());
    field->setFont(f);
    layout();
}

void quilDropDown::layout()
{
    // The box is as high as a line of the container's font, whatever Font is.
    const int th = QFontMetrics(AmbientFont()).height();
    if (sizeHint() != hinted) {
        hinted = sizeHint();
        updateGeometry();
    }
    const int sw = width(), sh = height();
    const int a = std::max(sh - 4, 0);
    arrow->setGeometry(sw - a - 2, 2, a, a);
    field->setGeometry(22, 2, std::max(sw - 13 - 16 - a, 0), th);
    if (comboType != ctDateBox || appliedType != ctDateBox) {
        panel->resize(std::max(sw, PanelMinWidth), panel->height());
        list->setGeometry(panel->contentsRect());
    }
    Refresh();
}

QSize quilDropDown::sizeHint() const
{
    const int th = QFontMetrics(AmbientFont()).height();
    // Room for the picture, a short value and the square arrow.
    return {22 + 10 * QFontMetrics(field->font()).averageCharWidth() + 13 + th + 4, th + 4};
}

QSize quilDropDown::minimumSizeHint() const
{
    const int th = QFontMetrics(AmbientFont()).height();
    return {22 + th + 4 + 13, th + 4};
}

void quilDropDown::hideEvent(QHideEvent* e)
{
    // A panel left floating over a closed or hidden form would lead nowhere.
    panel->hide();
    quilControl::hideEvent(e);
}

void quilDropDown::resizeEvent(QResizeEvent* e)
{
    quilControl::resizeEvent(e);
    layout();
}

void quilDropDown::applyColours()
{
    QPalette p = field->palette();
    const QColor face = QtColor(scheme.FaceTop), text = QtColor(scheme.Text);
    if (p.color(QPalette::Base) == face && p.color(QPalette::Text) == text)
        return;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(g, QPalette::Base, face);
        p.setColor(g, QPalette::Window, face);
        p.setColor(g, QPalette::Text, text);
    }
    field->setPalette(p);
}

void quilDropDown::Paint()
{
    platform::Surface& s = faceOf(this);
    if (isEnabled() && look == LookDisabled)
        look = LookNormal;
    if (!isEnabled())
        look = LookDisabled;
    const OLE_COLOR W = 0xFFFFFF;
    switch (look) {
    case LookHover:
    case LookPressed: scheme = SchemeHover(backColor, foreColor, W); break;
    case LookDisabled: scheme = SchemeDisabled(backColor, foreColor, W); break;
    default: scheme = SchemeNormal(backColor, foreColor, W); break;
    }
    applyColours();
    if (arrow->BackColor() != scheme.Back)
        arrow->setBackColor(scheme.Back);
    if (arrow->ForeColor() != scheme.Accent)
        arrow->setForeColor(scheme.Accent);
    panel->setBack(scheme.Back);

    const int w = s.ScaleWidth(), h = s.ScaleHeight();
    s.BackColor = scheme.FaceTop;
    s.Cls();
    if (typeIcon != 0)
        loadPendingImages();
    if (typeIcon != 0 && images->Count() >= 1)
        LateImageList{images}.draw(s, typeIcon, 4, Round(h / 2.0 - 8), isEnabled());
    GradientFrame(s, w, h, scheme);
    GradientLine(s, arrow->x() - 2, 1, h - 1, pbVertical, scheme.EdgeStart, scheme.EdgeEnd);
}

void quilDropDown::setLook(int l)
{
    if (look == l)
        return;
    look = l;
    Refresh();
}

void quilDropDown::HoverTick(bool pointerLeft)
{
    if (pointerLeft && !panelOpen) {
        setLook(LookLeft);
        return;
    }
    // While the panel is open the box keeps its hover look.
    if (pointerLeft)
        pointerSeen();
    setLook(mouseIsDown ? LookPressed : LookHover);
}

// ------------------------------------------------------------ mouse and keys

void quilDropDown::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    mouseIsDown = true;
    emit MouseDown(button, shift, x, y);
}

void quilDropDown::MouseMoveNotify(short button, short shift, float x, float y)
{
    pointerSeen();
    emit MouseMove(button, shift, x, y);
}

void quilDropDown::MouseUpNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    mouseIsDown = false;
    emit MouseUp(button, shift, x, y);
}

bool quilDropDown::eventFilter(QObject* watched, QEvent* e)
{
    const QEvent::Type t = e->type();

    if (watched == field || watched == arrow) {
        // The text field's and the arrow's mouse are the box's, in their own coordinates.
        if (t == QEvent::MouseButtonPress || t == QEvent::MouseMove || t == QEvent::MouseButtonRelease) {
            auto* m = static_cast<QMouseEvent*>(e);
            QPointer<quilDropDown> self(this);
            const QPointF p = m->position();
            const short shift = ShiftOf(m->modifiers());
            if (t == QEvent::MouseButtonPress)
                MouseDownNotify(ButtonOf(m->button()), shift, float(p.x()), float(p.y()));
            else if (t == QEvent::MouseMove)
                MouseMoveNotify(ButtonsOf(m->buttons()), shift, float(p.x()), float(p.y()));
            else
                MouseUpNotify(ButtonOf(m->button()), shift, float(p.x()), float(p.y()));
            // A handler that deleted the box took the part with it: nothing of the part may run.
            return !self;
        }
        if (watched == field && t == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(e);
            return panelKey(k->key(), k->modifiers());
        }
        return false;
    }
    // A button held on the panel or anything in it.
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick)
        listMouseDown = true;
    else if (t == QEvent::MouseButtonRelease)
        listMouseDown = false;
    return false;
}

} // namespace quil
