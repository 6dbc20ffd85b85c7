#pragma once
// A one-line selector: a text field, a picture of the kind of value and an
// arrow button that opens a panel under the box. By ComboType the panel holds
// a month calendar (a date), the installed printers, the desktop with its
// drives and folders, or the installed fonts; the user's pick is shown in the
// box and reported with ValueChanged. Values set from code, loading and
// opening the panel are not picks: they raise nothing.

#include "quilButton.h"
#include "quilControl.h"

#include <QSharedPointer>
#include <QPointer>
#include <QTimer>
#include <memory>

class QLineEdit;

namespace quil {

class ComboDatas;
class ImageList;
class quilListbox;
class quilMonthview;
class quilPUMenu;
class quilDropDownPrivate;

class QUILOBJECTS_EXPORT quilDropDown : public quilControl {
    Q_OBJECT
    Q_CLASSINFO("ID", "2")
    Q_CLASSINFO("Interface", "_quilDropDown")
    Q_CLASSINFO("EventInterface", "__quilDropDown")
    Q_CLASSINFO("Creatable", "container")
    Q_CLASSINFO("AccessibleRole", "ComboBox")
    Q_PROPERTY(quint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(quint32 ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(quint32 SelectionColor READ SelectionColor WRITE setSelectionColor)
    Q_PROPERTY(quint32 TabSelectColor READ TabSelectColor WRITE setTabSelectColor)
    Q_PROPERTY(bool Enabled READ EnabledFlag WRITE setEnabledFlag)
    Q_PROPERTY(QFont Font READ Font WRITE setFont)
    Q_PROPERTY(QString DateFormat READ DateFormat WRITE setDateFormat)
    Q_PROPERTY(quil::eComboType ComboType READ ComboType WRITE setComboType)
    Q_PROPERTY(int Day READ Day WRITE setDay)
    Q_PROPERTY(int Month READ Month WRITE setMonth)
    Q_PROPERTY(int Year READ Year WRITE setYear)
    Q_PROPERTY(QString PrinterName READ PrinterName WRITE setPrinterName)
    Q_PROPERTY(QString DriveLetter READ DriveLetter WRITE setDriveLetter)
    Q_PROPERTY(QString FontName READ FontName WRITE setFontName)
public:
    // The panel is never narrower than this; a list panel is this high.
    static constexpr int PanelMinWidth = 177;
    static constexpr int ListPanelHeight = 113;
    enum Looks { LookNormal = 0, LookHover = 1, LookPressed = 2, LookDisabled = 3, LookLeft = 4 };

    explicit quilDropDown(QWidget* parent = nullptr);
    ~quilDropDown() override;
    Q_INVOKABLE short ID() const { return 2; }
    // Late binding: opens the panel at (X, Y) twips, positions by value.
    Q_INVOKABLE void CreateMenu(qint64 X, qint64 Y);

    void InitProperties() override;
    void ReadProperties(PropertyBag& bag) override;
    void WriteProperties(PropertyBag& bag) const override;
    const QList<PersistedProperty>& Persisted() const override;

    OLE_COLOR BackColor() const;
    void setBackColor(OLE_COLOR c);
    OLE_COLOR ForeColor() const;
    void setForeColor(OLE_COLOR c);
    OLE_COLOR SelectionColor() const;
    void setSelectionColor(OLE_COLOR c);
    // Kept and persisted for the host; nothing draws with it.
    OLE_COLOR TabSelectColor() const;
    void setTabSelectColor(OLE_COLOR c);
    // The stored "Enabled" flag (the property of that name), kept, persisted
    // and announced for the host. It changes neither input nor the look, so
    // its default False never disables a new drop-down; setEnabled is the
    // widget's own and disables the drop-down as any widget.
    bool EnabledFlag() const;
    void setEnabledFlag(bool on);
    QString DateFormat() const;
    // Shown in the new format the next time the date is shown.
    void setDateFormat(const QString& f);
    eComboType ComboType() const;
    // A new type fills its list anew; the current type keeps its list. A
    // value outside the members is kept and gives an empty panel, as the
    // colour picker type does.
    void setComboType(eComboType t);
    // 16-bit numbers: a value beyond -32768..32767 is refused with a warning
    // and the old value kept. No setter of the drop-down throws; a failed
    // list fill is reported by FillError.
    int Day() const;
    void setDay(int d);
    int Month() const;
    void setMonth(int m);
    int Year() const;
    void setYear(int y);
    QString PrinterName() const;
    void setPrinterName(const QString& n);
    // The chosen entry's value: a mount point or folder, "X_MyComputer", "X_Network".
    QString DriveLetter() const;
    void setDriveLetter(const QString& v);
    QString FontName() const;
    void setFontName(const QString& n);

    // Applies ComboType to the panel unless it is applied already.
    Q_INVOKABLE void SetComboType();
    // Opens the panel with its top-left corner at (X, Y) screen twips.
    void CreateMenu(int& X, int& Y);
    // Opens the panel under the box, as a click on the arrow does.
    void OpenPanel();
    // Hides the panel, as a click elsewhere does; nothing is picked.
    void ClosePanel();

    // The date as DateFormat shows it: dd, mm, yyyy, d, m, yy replaced in that order.
    static QString FormatDate(const QString& pattern, int day, int month, int year);

    // One line of the container's font high; the container gives the width.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What the box shows, and its parts.
    QString Text() const;
    QLineEdit* TextField() const;
    quilButtonBase* ArrowButton() const;
    QWidget* Panel() const;
    quilListbox* List() const;
    // The calendar and the unused popup are made when first needed.
    quilMonthview* Calendar() const;
    quilPUMenu* Menu() const;
    ImageList* TypeImages() const;
    QSharedPointer<ComboDatas> Entries() const;
    int Look() const;
    ColorScheme Scheme() const;
    short TypeIcon() const;
    int AppliedType() const;
    bool PanelOpen() const;
    bool Watching() const;
    // Why the last fill stopped short ("" when it did not).
    QString FillError() const;

    // Host notifications; tests may call them.
    void MouseDownNotify(short button, short shift, float x, float y) override;
    void MouseMoveNotify(short button, short shift, float x, float y) override;
    void MouseUpNotify(short button, short shift, float x, float y) override;

signals:
    void ValueChanged();
    void KeyUp(short& KeyCode, short& Shift);
    void MouseDown(short& Button, short& Shift, float& X, float& Y);
    void MouseMove(short& Button, short& Shift, float& X, float& Y);
    void MouseUp(short& Button, short& Shift, float& X, float& Y);
    void KeyDown(short& KeyCode, short& Shift);
    void KeyPress(short& KeyAscii);

protected:
    void Paint() override;
    void HoverTick(bool pointerLeft) override;
    void resizeEvent(QResizeEvent*) override;
    void hideEvent(QHideEvent*) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void layout();

    friend class quilDropDownPrivate;
    std::unique_ptr<quilDropDownPrivate> d;
};

} // namespace quil
