#pragma once
// The drop-down's state and workings, out of the installed header; tests
// reach the watch's tick and the panel's picks here.

#include <quilObjects/quilDropDown.h>

#include <QSize>
#include <QTimer>
#include <vector>

class QKeyEvent;
class QLineEdit;

namespace quil {

class DropPanel;
class ImageList;
class quilListbox;
class quilMonthview;
class quilPUMenu;
class quilXButton;

class quilDropDownPrivate {
public:
    explicit quilDropDownPrivate(quilDropDown* box) : q(box) {}
    static quilDropDownPrivate& of(const quilDropDown* box) { return *box->d; }

    // The list's pick, the calendar's double click.
    void ListItemClicked(short index);
    void CalendarDblClick();
    // One tick of the watch over an open panel.
    void FocusTick();

    // Makes the calendar on first use; for the date type it fills the panel.
    quilMonthview* makeCalendar();
    void placeCalendar();
    // Loads the pictures and fills the panel for a type not yet applied.
    void applyType();
    void raiseValueChanged();
    void applyFieldFont();
    void loadTypeImages();
    // Reads the type's pictures not read yet.
    void loadPendingImages();
    void showValue();
    void showDate();
    void showText(const QString& text);
    // Selects the entry whose value is v, quietly; none when nothing matches.
    void selectValue(const QString& v);
    void fillPrinters();
    void fillDrives();
    void fillFonts();
    void fillList(void (quilDropDownPrivate::*fill)());
    void applyColours();
    void handColoursDown();
    bool outsideCheck();
    void pressedOn(QWidget* w);
    // Keys in the box while the panel is open; true when taken.
    bool panelKey(int key, Qt::KeyboardModifiers modifiers);
    // A key in the box's field, with its platform number and shift state:
    // KeyDown (KeyUp on release) first, then the panel's keys, then KeyPress
    // for a character; true when the key was taken.
    bool fieldKey(QKeyEvent* k, short code, short shift);
    void setLook(int l);
    QString valueOfType() const;

    quilDropDown* q;
    QLineEdit* field = nullptr;
    quilXButton* arrow = nullptr;
    DropPanel* panel = nullptr;
    quilListbox* list = nullptr;
    quilMonthview* calendar = nullptr;
    quilPUMenu* menu = nullptr;
    ImageList* images = nullptr;
    std::vector<short> pendingIcons;
    QObject* pressWatch = nullptr;
    QTimer focusTimer;
    OLE_COLOR backColor = 0xFFFFFF;
    OLE_COLOR foreColor = 0xC00000;
    OLE_COLOR selectionColor = 33023;
    OLE_COLOR tabSelectColor = 38631;
    ColorScheme scheme;
    QString dateFormat = QStringLiteral("dd.mm.yyyy");
    QString printerName;
    QString driveLetter = QStringLiteral("C:");
    QString fontName = QStringLiteral("Arial");
    QString fillError;
    eComboType comboType = ctDateBox;
    short day = 1, month = 1, year = 2005;
    short typeIcon = 0;
    int look = quilDropDown::LookNormal;
    int appliedType = 0;
    // ValueChanged handlers running; the panel's list may be inside its own click.
    int picking = 0;
    bool enabledFlag = false;
    bool mouseIsDown = false;
    bool panelOpen = false;
    bool listMouseDown = false;
    // Presses are watched only after both buttons were seen up once.
    bool armed = false;
    // Selections made from code, not by the user.
    bool quiet = false;
    QSize hinted;
};

} // namespace quil
