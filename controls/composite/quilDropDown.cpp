#include <quilObjects/ComboDatas.h>
#include <quilObjects/IconExtractor.h>
#include <quilObjects/ImageList.h>
#include <quilObjects/Routines.h>
#include <quilObjects/Search.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>

#include "DropDownSources.h"
#include "basic/quilXButton.h"
#include "frame/Floating.h"
#include "frame/Gradient.h"
#include "frame/LateImageList.h"
#include "platform/surface/Surface.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <cmath>
#include <functional>

namespace quil {

namespace {

constexpr int TwipsPerPixel = quilPUMenu::TwipsPerPixel;
// The watch's period: quick enough to feel immediate, idle enough to cost nothing.
constexpr int WatchInterval = 10;

const QString ShellFolders = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
const QString MuiCache = QStringLiteral("Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache");

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

QColor colourOf(OLE_COLOR c)
{
    const OLE_COLOR rgb = TranslateColor(c);
    return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

bool insideEdges(const QRect& r, const QPoint& p)
{
    // The edges belong to the rectangle on all four sides.
    return p.x() >= r.left() && p.x() <= r.left() + r.width() && p.y() >= r.top() && p.y() <= r.top() + r.height();
}

// A user folder that is really there; the home folder stands for "none".
QString userFolder(const char* name)
{
    const QString path = RegReadString(HKEY_CURRENT_USER, ShellFolders, QString::fromLatin1(name), QString());
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return {};
    if (QDir(path) == QDir::home() && QLatin1String(name) == QLatin1String("Desktop"))
        return {};
    return QDir::cleanPath(path);
}

} // namespace

// The panel: a floating window under the box, in the scheme's back colour.
class DropPanel : public QWidget {
public:
    DropPanel()
    {
        setObjectName(QStringLiteral("picList"));
        MakeFloating(this);
        setAutoFillBackground(true);
    }
    void setBack(OLE_COLOR c)
    {
        QPalette p = palette();
        if (p.color(QPalette::Window) == colourOf(c))
            return;
        p.setColor(QPalette::Window, colourOf(c));
        setPalette(p);
    }
};

// Presses anywhere in the program while the panel is open.
class PressWatch : public QObject {
public:
    explicit PressWatch(std::function<void(QWidget*)> pressed, QObject* parent)
        : QObject(parent), pressed(std::move(pressed)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonPress && watched->isWidgetType())
            pressed(static_cast<QWidget*>(watched));
        return false;
    }

private:
    std::function<void(QWidget*)> pressed;
};

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

    menu = new quilPUMenu(this);
    menu->setObjectName(QStringLiteral("quilPUMenu1"));
    // Out of sight: minus its own size, minus 10 twips.
    menu->move(-menu->width() - 1, -menu->height() - 1);

    panel = new DropPanel;
    AddDropShadow(panel);
    list = new quilListbox(panel);
    list->setObjectName(QStringLiteral("quilListbox1"));
    list->InitProperties();
    list->hide();
    calendar = new quilMonthview(panel);
    calendar->setObjectName(QStringLiteral("mw"));
    calendar->InitProperties();
    calendar->hide();
    // A press anywhere on the panel, its list or the list's scroll bar holds it open.
    panel->installEventFilter(this);
    for (QWidget* w : panel->findChildren<QWidget*>())
        w->installEventFilter(this);
    connect(list, &quilListbox::ItemClicked, this, [this](short& index, QString&) { ListItemClicked(index); });
    connect(calendar, &quilMonthview::DblClick, this, &quilDropDown::CalendarDblClick);

    images = new ImageList(16, 16, this);
    pressWatch = new PressWatch([this](QWidget* w) { pressedOn(w); }, this);
    focusTimer.setInterval(WatchInterval);
    connect(&focusTimer, &QTimer::timeout, this, &quilDropDown::FocusTick);
    connect(this, &quilControl::PropertyChanged, this, [this](const QString& name) {
        if (name == QLatin1String("Font"))
            applyFieldFont();
    });
    quilDropDown::InitProperties();
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
QWidget* quilDropDown::Panel() const { return panel; }
QString quilDropDown::Text() const { return field->text(); }
std::shared_ptr<ComboDatas> quilDropDown::Entries() const { return list->ListboxItems(); }

// ------------------------------------------------------------ persistence

const std::vector<PersistedProperty>& quilDropDown::Persisted() const
{
    static const std::vector<PersistedProperty> table = {
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

void quilDropDown::setEnabled(bool on)
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

void quilDropDown::setDay(short d)
{
    day = d;
    if (notify("Day"))
        showValue();
}

void quilDropDown::setMonth(short m)
{
    month = m;
    if (notify("Month"))
        showValue();
}

void quilDropDown::setYear(short y)
{
    year = y;
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

// ------------------------------------------------------------ the type

void quilDropDown::applyType()
{
    // The type on show keeps its list and pictures.
    if (comboType == appliedType)
        return;
    loadTypeImages();
    SetComboType();
}

void quilDropDown::loadTypeImages()
{
    static const std::vector<short> date = {167};
    static const std::vector<short> printers = {16, 60, 81, 82};
    static const std::vector<short> drives = {8, 6, 11, 9, 34, 126, 15, 18, 3};
    const std::vector<short>* icons = nullptr;
    switch (comboType) {
    case ctDateBox: icons = &date; break;
    case ctPrinterSelect: icons = &printers; break;
    case ctDriveSelect: icons = &drives; break;
    case ctFontSelect: break;
    default: return;
    }
    list->ListboxItems()->Clear();
    images->Clear();
    if (!icons)
        return;
    IconExtractor extractor;
    extractor.setMaskColor(images->MaskColor());
    const QString shell = SystemFolder() + QStringLiteral("shell32.dll");
    for (short i : *icons)
        images->Add(extractor.ExtractIcon(shell, i, SmallIcon));
    list->setImageList(images);
}

void quilDropDown::SetComboType()
{
    if (comboType == appliedType)
        return;
    list->hide();
    calendar->hide();
    typeIcon = 1;
    // Another type's value is no value of this one.
    field->clear();
    switch (comboType) {
    case ctDateBox:
        panel->resize(calendar->size());
        calendar->move(0, 0);
        calendar->show();
        field->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        break;
    case ctPrinterSelect:
    case ctDriveSelect:
    case ctFontSelect:
        panel->resize(std::max(width(), PanelMinWidth), ListPanelHeight);
        list->setGeometry(panel->contentsRect());
        list->show();
        field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (comboType == ctPrinterSelect)
            fillList(&quilDropDown::fillPrinters);
        else if (comboType == ctDriveSelect)
            fillList(&quilDropDown::fillDrives);
        else
            fillList(&quilDropDown::fillFonts);
        break;
    default:
        // No picture of another type's for a type without one.
        typeIcon = 0;
        break;
    }
    appliedType = comboType;
}

void quilDropDown::fillList(void (quilDropDown::*fill)())
{
    fillError.clear();
    try {
        (this->*fill)();
    } catch (const Error& e) {
        // What was listed before the failure stays listed.
        fillError = QString::fromStdString(e.what());
        qWarning("quilDropDown: the list stopped short: %s", e.what());
    }
    list->Refresh();
}

void quilDropDown::fillPrinters()
{
    auto items = list->ListboxItems();
    items->Clear();
    items->setSorted(false);
    list->setValueFont(false);
    const DropDownSources& sources = DropDownSystem();
    const PrinterList printers = sources.printers ? sources.printers() : LivePrinters();
    for (const PrinterEntry& p : printers.printers) {
        const bool network = p.remote || p.name.startsWith(QLatin1String("\\\\"));
        short picture = network ? 2 : 1;
        if (!printers.defaultName.isEmpty() && p.name == printers.defaultName)
            picture = network ? 4 : 3;
        QString caption = p.name;
        caption.remove(QStringLiteral("\\\\"));
        items->Add(p.name, caption, p.name, picture, QString());
    }
}

void quilDropDown::fillFonts()
{
    auto items = list->ListboxItems();
    items->Clear();
    items->setSorted(true);
    list->setValueFont(true);
    const DropDownSources& sources = DropDownSystem();
    for (const QString& name : UniqueFamilies(sources.fonts ? sources.fonts() : LiveFonts()))
        items->Add(name, name, name, 0, QString());
}

void quilDropDown::fillDrives()
{
    auto items = list->ListboxItems();
    items->Clear();
    items->setSorted(false);
    list->setValueFont(false);
    const QString tab = QStringLiteral("\t");

    const QString desktop = userFolder("Desktop");
    Search::Results folders = std::make_shared<sf_Information>();
    if (!desktop.isEmpty()) {
        items->Add(QStringLiteral("X_Desktop"), QStringLiteral("Desktop"), desktop, 5, QString());
        Search().Search_Directory(desktop, QStringLiteral("*"), folders);
    }
    const QString computer = RegReadString(HKEY_CURRENT_USER, MuiCache,
                                           QStringLiteral("@C:\\WINDOWS\\system32\\SHELL32.dll,-9216"), QString());
    items->Add(QStringLiteral("X_MyComputer"), tab + computer, QStringLiteral("X_MyComputer"), 7, QString());

    const DropDownSources& sources = DropDownSystem();
    for (const VolumeEntry& v : sources.volumes ? sources.volumes() : LiveVolumes()) {
        static const short pictures[] = {1, 2, 3, 4};
        const QString caption = VolumeCaption(v);
        items->Add(caption, tab + tab + caption, v.mountPoint, pictures[v.kind], QString());
    }

    const QString personal = userFolder("Personal");
    if (!personal.isEmpty())
        items->Add(QStringLiteral("X_Personal"), FileNamePart(personal), personal, 6, QString());
    const QString network = RegReadString(HKEY_CURRENT_USER, MuiCache,
                                          QStringLiteral("@C:\\WINDOWS\\system32\\SHELL32.dll,-9217"), QString());
    items->Add(QStringLiteral("X_Network"), network, QStringLiteral("X_Network"), 8, QString());

    for (int i = 1; i <= folders->Count(); ++i) {
        const auto f = folders->Item(i);
        // Hidden folders are not for picking.
        if (f->Attri() & 2)
            continue;
        const QString path = f->Path() + f->Filename();
        items->Add(path, f->Filename(), path, 9, QString());
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

// ------------------------------------------------------------ picking

void quilDropDown::ListItemClicked(short index)
{
    // A selection made from code, or the list's keys while the panel is closed, picks nothing.
    if (quiet || !panel->isVisible())
        return;
    const auto items = list->ListboxItems();
    if (index < 1 || index > items->Count())
        return;
    panel->hide();
    const auto e = items->Item(index);
    showText(e->Caption().remove(QLatin1Char('\t')));
    if (comboType == ctPrinterSelect)
        printerName = e->Value();
    else if (comboType == ctDriveSelect)
        driveLetter = e->Value();
    else if (comboType == ctFontSelect)
        fontName = e->Value();
    typeIcon = e->Icon();
    Refresh();
    raiseValueChanged();
}

void quilDropDown::CalendarDblClick()
{
    if (!panel->isVisible())
        return;
    panel->hide();
    day = calendar->iDay();
    month = calendar->iMonth();
    year = calendar->iYear();
    showDate();
    raiseValueChanged();
}

void quilDropDown::raiseValueChanged()
{
    ++picking;
    QPointer<quilDropDown> self(this);
    emit ValueChanged();
    if (self)
        --picking;
}

// ------------------------------------------------------------ the panel

void quilDropDown::CreateMenu(int& X, int& Y)
{
    panel->move(Round(double(X) / TwipsPerPixel), Round(double(Y) / TwipsPerPixel));
    handColoursDown();
    if (comboType == ctDateBox) {
        calendar->setiDay(day);
        calendar->setiMonth(month);
        calendar->setiYear(year);
    } else if (comboType == ctPrinterSelect || comboType == ctDriveSelect || comboType == ctFontSelect) {
        selectValue(valueOfType());
    }
    FloatOver(panel, this);
    // A press elsewhere in this program is seen at once, however short.
    qApp->installEventFilter(pressWatch);
    panel->show();
    panel->raise();
    panelOpen = true;
    SetWindowOpacity(panel, 230);
    // No waiting here for the opening click's button to come up: the watch
    // starts disarmed and ignores presses until it has seen both buttons up.
    armed = false;
    listMouseDown = false;
    focusTimer.start();
}

void quilDropDown::OpenPanel()
{
    const QPoint topLeft = mapToGlobal(QPoint(0, 0));
    QPoint at(topLeft.x(), topLeft.y() + height());
    // Kept on the screen: above the box when there is no room below.
    if (QScreen* screen = QGuiApplication::screenAt(topLeft) ? QGuiApplication::screenAt(topLeft)
                                                            : QGuiApplication::primaryScreen()) {
        const QRect g = screen->geometry();
        if (at.y() + panel->height() > g.bottom() + 1 && topLeft.y() - panel->height() >= g.top())
            at.setY(topLeft.y() - panel->height());
        if (at.x() + panel->width() > g.right() + 1)
            at.setX(std::max(g.left(), g.right() + 1 - panel->width()));
    }
    int X = at.x() * TwipsPerPixel, Y = at.y() * TwipsPerPixel;
    CreateMenu(X, Y);
}

void quilDropDown::ClosePanel() { panel->hide(); }

void quilDropDown::handColoursDown()
{
    if (list->BackColor() != backColor)
        list->setBackColor(backColor);
    if (list->ForeColor() != foreColor)
        list->setForeColor(foreColor);
    if (list->SelectionColor() != selectionColor)
        list->setSelectionColor(selectionColor);
    if (calendar->BackColor() != backColor)
        calendar->setBackColor(backColor);
    if (calendar->ForeColor() != foreColor)
        calendar->setForeColor(foreColor);
}

void quilDropDown::pressedOn(QWidget* w)
{
    // The box, the panel and the calendar's month list are inside.
    const QWidget* months = calendar->MonthList()->PopupWindow();
    const auto within = [w](const QWidget* o) { return w == o || o->isAncestorOf(w); };
    if (panel->isVisible() && !within(this) && !within(panel) && !within(months) && !calendar->bMenuOpen())
        panel->hide();
}

bool quilDropDown::outsideCheck()
{
    const QPoint p = PointerPosition();
    const QRect box(mapToGlobal(QPoint(0, 0)), size());
    if (calendar->bMenuOpen() || insideEdges(box, p))
        return true;
    if ((quilPUMenu::GlobalButtons() & (Qt::LeftButton | Qt::RightButton)) && !listMouseDown) {
        if (!insideEdges(panel->frameGeometry(), p))
            panel->hide();
        return false;
    }
    return listMouseDown;
}

void quilDropDown::FocusTick()
{
    if (!focusTimer.isActive())
        return;
    bool keep;
    if (!armed && panel->isVisible()) {
        armed = !(quilPUMenu::GlobalButtons() & (Qt::LeftButton | Qt::RightButton));
        keep = true;
    } else {
        keep = outsideCheck();
    }
    if (!panel->isVisible() && !keep) {
        panelOpen = false;
        focusTimer.stop();
        qApp->removeEventFilter(pressWatch);
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
    if (height() != th + 4)
        setFixedHeight(th + 4);
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
    const QColor face = colourOf(scheme.FaceTop), text = colourOf(scheme.Text);
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
    platform::Surface& s = surface();
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
    if (typeIcon != 0 && images->Count() >= 1)
        LateImageList{images}.draw(s, typeIcon, 4, Round(h / 2.0 - 8), isEnabled());
    GradientLine(s, 1, 0, w - 2, pbHorizontal, scheme.EdgeStart, scheme.EdgeMiddle);
    GradientLine(s, 0, 1, h - 2, pbVertical, scheme.EdgeStart, scheme.EdgeEnd);
    s.Line(1, h - 1, w - 1, h - 1, scheme.EdgeEnd);
    GradientLine(s, w - 1, 1, h - 2, pbVertical, scheme.EdgeMiddle, scheme.EdgeEnd);
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

void quilDropDown::mousePressEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    MouseDownNotify(ButtonOf(e->button()), ShiftOf(e->modifiers()), float(p.x()), float(p.y()));
}

void quilDropDown::mouseMoveEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    MouseMoveNotify(ButtonsOf(e->buttons()), ShiftOf(e->modifiers()), float(p.x()), float(p.y()));
}

void quilDropDown::mouseReleaseEvent(QMouseEvent* e)
{
    const QPointF p = e->position();
    MouseUpNotify(ButtonOf(e->button()), ShiftOf(e->modifiers()), float(p.x()), float(p.y()));
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
            const bool alt = k->modifiers() & Qt::AltModifier;
            if (k->key() == Qt::Key_F4 || (alt && (k->key() == Qt::Key_Down || k->key() == Qt::Key_Up))) {
                if (panel->isVisible())
                    ClosePanel();
                else
                    OpenPanel();
                return true;
            }
            if (k->key() == Qt::Key_Escape && panel->isVisible()) {
                ClosePanel();
                return true;
            }
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
