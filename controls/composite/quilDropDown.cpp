#include <quilObjects/ComboDatas.h>
#include <quilObjects/ImageList.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>

#include "frame/AccessibleParts.h"
#include "frame/quilControl_p.h"
#include "frame/Rounding.h"
#include "DropPanel.h"
#include "quilDropDown_p.h"
#include "basic/quilXButton.h"
#include "basic/ComboDatas_p.h"
#include "frame/FaceCompleter.h"
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

quilDropDown::quilDropDown(QWidget* parent) : quilControl(parent), d(std::make_unique<quilDropDownPrivate>(this))
{
    d->field = new QLineEdit(this);
    QLineEdit* field = d->field;
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

    d->arrow = new quilXButton(this);
    quilXButton* arrow = d->arrow;
    arrow->setObjectName(QStringLiteral("quilXButton1"));
    QFont webdings(QStringLiteral("webdings"));
    webdings.setPointSize(8);
    arrow->setFont(webdings);
    arrow->setCaption(QStringLiteral("6"));
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->installEventFilter(this);
    connect(arrow, &quilButtonBase::Click, this, &quilDropDown::OpenPanel);

    d->panel = new DropPanel;
    DropPanel* panel = d->panel;
    AddDropShadow(panel);
    // Assistive technology hears the box expand and collapse.
    WatchPanel(this, panel);
    d->list = new quilListbox(panel);
    quilListbox* list = d->list;
    list->setObjectName(QStringLiteral("quilListbox1"));
    list->InitProperties();
    list->hide();
    // A press anywhere on the panel, its list or the list's scroll bar holds it open.
    panel->installEventFilter(this);
    for (QWidget* w : panel->findChildren<QWidget*>())
        w->installEventFilter(this);
    connect(list, &quilListbox::ItemClicked, this, [this](short& index, QString&) { d->ListItemClicked(index); });

    d->images = new ImageList(16, 16, this);
    d->pressWatch = new PressWatch([this](QWidget* w) { d->pressedOn(w); }, this);
    d->focusTimer.setInterval(WatchInterval);
    connect(&d->focusTimer, &QTimer::timeout, this, [this] { d->FocusTick(); });
    connect(this, &quilControl::PropertyChanged, this, [this](const QString& name) {
        if (name == QLatin1String("Font"))
            d->applyFieldFont();
    });
    // The type's picture is read when the face is first looked at.
    SetFaceCompleter(this, [this] {
        if (d->typeIcon != 0 && !d->pendingIcons.empty()) {
            d->loadPendingImages();
            Refresh();
        }
    });
    quilDropDown::InitProperties();
    // As wide as the container makes it, one line high.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    resize(width(), sizeHint().height());
}

quilDropDown::~quilDropDown()
{
    SetFaceCompleter(this, {});
    d->focusTimer.stop();
    qApp->removeEventFilter(d->pressWatch);
    // The parts outlive the box's data: nothing of theirs reaches it any more.
    disconnect(d->list, nullptr, this, nullptr);
    if (d->calendar)
        disconnect(d->calendar, nullptr, this, nullptr);
    DropPanel* panel = d->panel;
    panel->hide();
    ClearWindowOpacity(panel);
    // A ValueChanged handler may delete the box while the panel's list is still in its own click.
    if (d->picking > 0)
        panel->deleteLater();
    else
        delete panel;
}

QLineEdit* quilDropDown::TextField() const { return d->field; }

quilPUMenu* quilDropDown::Menu() const
{
    // Nothing uses it; it is made only for a host that asks for it.
    if (!d->menu) {
        quilPUMenu* menu = new quilPUMenu(const_cast<quilDropDown*>(this));
        d->menu = menu;
        menu->setObjectName(QStringLiteral("quilPUMenu1"));
        // Out of sight: minus its own size, minus 10 twips.
        menu->move(-menu->width() - 1, -menu->height() - 1);
    }
    return d->menu;
}

ImageList* quilDropDown::TypeImages() const
{
    d->loadPendingImages();
    return d->images;
}

quilMonthview* quilDropDown::Calendar() const { return d->makeCalendar(); }

quilMonthview* quilDropDownPrivate::makeCalendar()
{
    if (calendar)
        return calendar;
    // Only the date type needs it: the other types never pay for it.
    calendar = new quilMonthview(panel);
    calendar->setObjectName(QStringLiteral("mw"));
    calendar->InitProperties();
    calendar->hide();
    // The box keeps the focus while its panel is open: the box's keys move the calendar's day.
    calendar->setFocusPolicy(Qt::NoFocus);
    calendar->installEventFilter(q);
    for (QWidget* w : calendar->findChildren<QWidget*>())
        w->installEventFilter(q);
    QObject::connect(calendar, &quilMonthview::DblClick, q, [this] { CalendarDblClick(); });
    if (appliedType == ctDateBox)
        placeCalendar();
    return calendar;
}

void quilDropDownPrivate::placeCalendar()
{
    calendar->resize(calendar->sizeHint());
    calendar->move(0, 0);
    panel->resize(calendar->size());
    calendar->show();
}
quilButtonBase* quilDropDown::ArrowButton() const { return d->arrow; }
QWidget* quilDropDown::Panel() const { return d->panel; }
QString quilDropDown::Text() const { return d->field->text(); }
QSharedPointer<ComboDatas> quilDropDown::Entries() const { return d->list->ListboxItems(); }
quilListbox* quilDropDown::List() const { return d->list; }
int quilDropDown::Look() const { return d->look; }
ColorScheme quilDropDown::Scheme() const { return d->scheme; }
short quilDropDown::TypeIcon() const { return d->typeIcon; }
int quilDropDown::AppliedType() const { return d->appliedType; }
bool quilDropDown::PanelOpen() const { return d->panelOpen; }
bool quilDropDown::Watching() const { return d->focusTimer.isActive(); }
QString quilDropDown::FillError() const { return d->fillError; }

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
    d->backColor = 0xFFFFFF;
    d->foreColor = 0xC00000;
    d->selectionColor = 33023;
    d->tabSelectColor = 38631;
    d->enabledFlag = false;
    d->comboType = ctDateBox;
    d->dateFormat = QStringLiteral("dd.mm.yyyy");
    d->day = 1;
    d->month = 1;
    d->year = 2005;
    d->printerName.clear();
    d->driveLetter = QStringLiteral("C:");
    d->fontName = QStringLiteral("Arial");
    d->applyFieldFont();
    // A new drop-down's panel is set up as a loaded one's is.
    d->applyType();
    d->showValue();
}

void quilDropDown::ReadProperties(PropertyBag& bag)
{
    d->backColor = readColor(bag, "BackColor");
    d->foreColor = readColor(bag, "ForeColor");
    d->enabledFlag = readInt(bag, "Enabled") != 0;
    applyFont(readFont(bag));
    d->selectionColor = readColor(bag, "SelectionColor");
    d->tabSelectColor = readColor(bag, "TabSelectColor");
    d->comboType = static_cast<eComboType>(readInt(bag, "ComboType"));
    d->dateFormat = readText(bag, "DateFormat");
    d->day = static_cast<short>(readInt(bag, "Day"));
    d->year = static_cast<short>(readInt(bag, "Year"));
    d->month = static_cast<short>(readInt(bag, "Month"));
    d->printerName = readText(bag, "PrinterName");
    d->driveLetter = readText(bag, "DriveLetter");
    d->fontName = readText(bag, "FontName");
    d->applyFieldFont();
    d->applyType();
    d->showValue();
}

void quilDropDown::WriteProperties(PropertyBag& bag) const
{
    writeProp(bag, "BackColor", QVariant::fromValue<quint32>(d->backColor));
    writeProp(bag, "ForeColor", QVariant::fromValue<quint32>(d->foreColor));
    writeProp(bag, "Enabled", d->enabledFlag);
    writeProp(bag, "Font", Font());
    writeProp(bag, "SelectionColor", QVariant::fromValue<quint32>(d->selectionColor));
    writeProp(bag, "TabSelectColor", QVariant::fromValue<quint32>(d->tabSelectColor));
    writeProp(bag, "ComboType", static_cast<int>(d->comboType));
    writeProp(bag, "DateFormat", d->dateFormat);
    writeProp(bag, "Day", d->day);
    writeProp(bag, "Year", d->year);
    writeProp(bag, "Month", d->month);
    writeProp(bag, "PrinterName", d->printerName);
    writeProp(bag, "DriveLetter", d->driveLetter);
    writeProp(bag, "FontName", d->fontName);
}

// ------------------------------------------------------------ properties

void quilDropDown::setBackColor(OLE_COLOR c)
{
    d->backColor = c;
    changed("BackColor");
}

void quilDropDown::setForeColor(OLE_COLOR c)
{
    d->foreColor = c;
    changed("ForeColor");
}

void quilDropDown::setSelectionColor(OLE_COLOR c)
{
    d->selectionColor = c;
    changed("SelectionColor");
}

void quilDropDown::setTabSelectColor(OLE_COLOR c)
{
    d->tabSelectColor = c;
    changed("TabSelectColor");
}

void quilDropDown::setEnabledFlag(bool on)
{
    d->enabledFlag = on;
    changed("Enabled");
}

void quilDropDown::setDateFormat(const QString& f)
{
    d->dateFormat = f;
    if (notify("DateFormat"))
        SetComboType();
}

void quilDropDown::setComboType(eComboType t)
{
    d->comboType = t;
    if (!notify("ComboType"))
        return;
    d->applyType();
    d->showValue();
}

void quilDropDown::setDay(int v)
{
    if (v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max()) {
        refuseValue("Day", v, QStringLiteral("a 16-bit number"));
        return;
    }
    d->day = static_cast<short>(v);
    if (notify("Day"))
        d->showValue();
}

void quilDropDown::setMonth(int v)
{
    if (v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max()) {
        refuseValue("Month", v, QStringLiteral("a 16-bit number"));
        return;
    }
    d->month = static_cast<short>(v);
    if (notify("Month"))
        d->showValue();
}

void quilDropDown::setYear(int v)
{
    if (v < std::numeric_limits<short>::min() || v > std::numeric_limits<short>::max()) {
        refuseValue("Year", v, QStringLiteral("a 16-bit number"));
        return;
    }
    d->year = static_cast<short>(v);
    if (notify("Year"))
        d->showValue();
}

void quilDropDown::setPrinterName(const QString& n)
{
    d->printerName = n;
    if (notify("PrinterName"))
        d->showValue();
}

void quilDropDown::setDriveLetter(const QString& v)
{
    d->driveLetter = v;
    if (notify("DriveLetter"))
        d->showValue();
}

void quilDropDown::setFontName(const QString& n)
{
    d->fontName = n;
    if (notify("FontName"))
        d->showValue();
}

OLE_COLOR quilDropDown::BackColor() const { return d->backColor; }
OLE_COLOR quilDropDown::ForeColor() const { return d->foreColor; }
OLE_COLOR quilDropDown::SelectionColor() const { return d->selectionColor; }
OLE_COLOR quilDropDown::TabSelectColor() const { return d->tabSelectColor; }
bool quilDropDown::EnabledFlag() const { return d->enabledFlag; }
QString quilDropDown::DateFormat() const { return d->dateFormat; }
eComboType quilDropDown::ComboType() const { return d->comboType; }
int quilDropDown::Day() const { return d->day; }
int quilDropDown::Month() const { return d->month; }
int quilDropDown::Year() const { return d->year; }
QString quilDropDown::PrinterName() const { return d->printerName; }
QString quilDropDown::DriveLetter() const { return d->driveLetter; }
QString quilDropDown::FontName() const { return d->fontName; }

QString quilDropDownPrivate::valueOfType() const
{
    switch (comboType) {
    case ctPrinterSelect: return printerName;
    case ctDriveSelect: return driveLetter;
    case ctFontSelect: return fontName;
    default: return {};
    }
}

// ------------------------------------------------------------ the value

QString quilDropDown::FormatDate(const QString& pattern, int day, int month, int year)
{
    QString s = pattern;
    s.replace(QStringLiteral("dd"), PadZeros(QString::number(day), 2));
    s.replace(QStringLiteral("mm"), PadZeros(QString::number(month), 2));
    s.replace(QStringLiteral("yyyy"), QString::number(year));
    s.replace(QStringLiteral("d"), QString::number(day));
    s.replace(QStringLiteral("m"), QString::number(month));
    s.replace(QStringLiteral("yy"), QString::number(year).right(2));
    return s;
}

void quilDropDownPrivate::showText(const QString& text)
{
    field->setText(text);
    // A long name shows its beginning, not its end.
    field->setCursorPosition(0);
}

void quilDropDownPrivate::showDate() { showText(quilDropDown::FormatDate(dateFormat, day, month, year)); }

void quilDropDownPrivate::showValue()
{
    if (comboType == ctDateBox)
        showDate();
    else if (comboType == ctPrinterSelect || comboType == ctDriveSelect || comboType == ctFontSelect)
        selectValue(valueOfType());
    q->Refresh();
}

void quilDropDownPrivate::selectValue(const QString& v)
{
    const auto items = list->ListboxItems();
    if (v.isEmpty() || !items)
        return;
    for (int i = 1; i <= items->Count(); ++i) {
        // Read in place: a handle for every entry passed over costs more than the comparison.
        if (ComboDatasPrivate::entry(*items, i).value != v)
            continue;
        const auto e = items->Item(i);
        // The box shows the value it holds; a value nothing matches changes nothing.
        showText(e->Caption().remove(QLatin1Char('\t')));
        typeIcon = e->Icon();
        quiet = true;
        QPointer<quilDropDown> self(q);
        list->setSelectedItem(static_cast<short>(i));
        if (self)
            quiet = false;
        return;
    }
}

// ------------------------------------------------------------ layout and look

void quilDropDownPrivate::applyFieldFont()
{
    QFont f = field->font();
    const QFont& src = q->Font();
    f.setFamilies(src.families().isEmpty() ? QStringList{src.family()} : src.families());
    f.setPointSizeF(src.pointSizeF() > 0 ? src.pointSizeF() : f.pointSizeF());
    f.setBold(src.bold());
    f.setItalic(src.italic());
    f.setStrikeOut(src.strikeOut());
    f.setUnderline(src.underline());
    field->setFont(f);
    q->layout();
}

void quilDropDown::layout()
{
    // The box is as high as a line of the container's font, whatever Font is.
    const int th = QFontMetrics(AmbientFont()).height();
    if (sizeHint() != d->hinted) {
        d->hinted = sizeHint();
        updateGeometry();
    }
    const int sw = width(), sh = height();
    const int a = std::max(sh - 4, 0);
    d->arrow->setGeometry(sw - a - 2, 2, a, a);
    d->field->setGeometry(22, 2, std::max(sw - 13 - 16 - a, 0), th);
    if (d->comboType != ctDateBox || d->appliedType != ctDateBox) {
        d->panel->resize(std::max(sw, PanelMinWidth), d->panel->height());
        d->list->setGeometry(d->panel->contentsRect());
    }
    Refresh();
}

QSize quilDropDown::sizeHint() const
{
    const int th = QFontMetrics(AmbientFont()).height();
    // Room for the picture, a short value and the square arrow.
    return {22 + 10 * QFontMetrics(d->field->font()).averageCharWidth() + 13 + th + 4, th + 4};
}

QSize quilDropDown::minimumSizeHint() const
{
    const int th = QFontMetrics(AmbientFont()).height();
    return {22 + th + 4 + 13, th + 4};
}

void quilDropDown::hideEvent(QHideEvent* e)
{
    // A panel left floating over a closed or hidden form would lead nowhere.
    d->panel->hide();
    quilControl::hideEvent(e);
}

void quilDropDown::resizeEvent(QResizeEvent* e)
{
    quilControl::resizeEvent(e);
    layout();
}

void quilDropDownPrivate::applyColours()
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
    if (isEnabled() && d->look == LookDisabled)
        d->look = LookNormal;
    if (!isEnabled())
        d->look = LookDisabled;
    const OLE_COLOR W = 0xFFFFFF;
    switch (d->look) {
    case LookHover:
    case LookPressed: d->scheme = SchemeHover(d->backColor, d->foreColor, W); break;
    case LookDisabled: d->scheme = SchemeDisabled(d->backColor, d->foreColor, W); break;
    default: d->scheme = SchemeNormal(d->backColor, d->foreColor, W); break;
    }
    d->applyColours();
    if (d->arrow->BackColor() != d->scheme.Back)
        d->arrow->setBackColor(d->scheme.Back);
    if (d->arrow->ForeColor() != d->scheme.Accent)
        d->arrow->setForeColor(d->scheme.Accent);
    d->panel->setBack(d->scheme.Back);

    const int w = s.ScaleWidth(), h = s.ScaleHeight();
    s.BackColor = d->scheme.FaceTop;
    s.Cls();
    // Read when the face is first looked at, not here: a box made and given
    // another type before then never reads the first type's picture.
    if (d->typeIcon != 0 && d->images->Count() >= 1)
        LateImageList{d->images}.draw(s, d->typeIcon, 4, Round(h / 2.0 - 8), isEnabled());
    GradientFrame(s, w, h, d->scheme);
    GradientLine(s, d->arrow->x() - 2, 1, h - 1, pbVertical, d->scheme.EdgeStart, d->scheme.EdgeEnd);
}

void quilDropDownPrivate::setLook(int l)
{
    if (look == l)
        return;
    look = l;
    q->Refresh();
}

void quilDropDown::HoverTick(bool pointerLeft)
{
    if (pointerLeft && !d->panelOpen) {
        d->setLook(LookLeft);
        return;
    }
    // While the panel is open the box keeps its hover look.
    if (pointerLeft)
        pointerSeen();
    d->setLook(d->mouseIsDown ? LookPressed : LookHover);
}

// ------------------------------------------------------------ mouse and keys

void quilDropDown::MouseDownNotify(short button, short shift, float x, float y)
{
    if (button != 1)
        return;
    d->mouseIsDown = true;
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
    d->mouseIsDown = false;
    emit MouseUp(button, shift, x, y);
}

bool quilDropDown::eventFilter(QObject* watched, QEvent* e)
{
    const QEvent::Type t = e->type();

    if (watched == d->field || watched == d->arrow) {
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
        if (watched == d->field && (t == QEvent::KeyPress || t == QEvent::KeyRelease)) {
            auto* k = static_cast<QKeyEvent*>(e);
            return d->fieldKey(k, KeyCodeOf(k->key()), ShiftOf(k->modifiers()));
        }
        return false;
    }
    // Where the panel is a popup (Wayland), the keys come to it rather than to the box.
    if (t == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        return d->panelKey(k->key(), k->modifiers());
    }
    // A button held on the panel or anything in it.
    if (t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick)
        d->listMouseDown = true;
    else if (t == QEvent::MouseButtonRelease)
        d->listMouseDown = false;
    return false;
}

bool quilDropDownPrivate::fieldKey(QKeyEvent* k, short code, short shift)
{
    // The box's keys are its own: the host hears them first, and a key it
    // set to 0 is taken, with nothing of the box's reaction after it.
    QPointer<quilDropDown> self(q);
    if (k->type() == QEvent::KeyRelease) {
        if (k->isAutoRepeat() || code == 0)
            return false;
        short asked = code;
        emit q->KeyUp(asked, shift);
        return !self || asked == 0;
    }
    if (code != 0) {
        short asked = code;
        emit q->KeyDown(asked, shift);
        if (!self || asked == 0)
            return true;
    }
    if (panelKey(k->key(), k->modifiers()))
        return true;
    const QString text = k->text();
    if (!text.isEmpty() && text.at(0).unicode() != 0 && !(k->modifiers() & Qt::ControlModifier)) {
        short ascii = static_cast<short>(text.at(0).unicode());
        emit q->KeyPress(ascii);
        if (!self || ascii == 0)
            return true;
    }
    return false;
}

} // namespace quil
