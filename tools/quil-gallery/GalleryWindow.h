#pragma once
// The library's showcase and container: a form holding every control class
// the library has, a property sheet for the selected control, a log of the
// controls' events, and the form saved to and loaded from a file.

#include "EventSink.h"
#include "FormFile.h"

#include <QMainWindow>
#include <QPointer>

class QComboBox;
class QCheckBox;
class QFrame;
class QPlainTextEdit;

namespace quil {
class ImageList;
}

namespace gallery {

class PropertySheet;

// Three 16 x 16 pictures drawn here, on the list's mask colour.
quil::ImageList* MakeImageList(QObject* parent);

class GalleryWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit GalleryWindow(QWidget* parent = nullptr);
    ~GalleryWindow() override;

    // The controls on the form, in the order they were placed.
    QList<QWidget*> controls() const;
    QWidget* control(const QString& name) const;
    QWidget* form() const { return formArea; }
    PropertySheet* sheet() const { return properties; }
    quil::ImageList* imageList() const { return images; }
    QWidget* selected() const { return current.data(); }
    void select(QWidget* control);

    // The log as shown, one line per event.
    QStringList logLines() const { return lines; }
    void clearLog();
    // Whether events of every control are logged, or only the selected one's.
    void setLogAll(bool on);

    // The whole form to and from a file; false with a message on failure,
    // and a failed load leaves the form as it was.
    bool saveTo(const QString& path, QString* error);
    bool loadFrom(const QString& path, QString* error);
    // Back to the showcase the gallery starts with.
    void showcase();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A click on the opener opens the menu under it; the form file keeps the link.
    void wireOpener(QWidget* opener, QWidget* menu);
    // A click on a toolbar's check button turns it on or off.
    void wireToolbar(QWidget* bar);
    // The links of controls just loaded from a form.
    void wireLoaded(const QList<QWidget*>& made);
    void place(QWidget* control);
    void replaceControls(const QList<QWidget*>& next);
    // Tab goes through the form as it is read: rows top to bottom, each left to right.
    void orderTabs();
    void logEvent(const LoggedEvent& e);
    void updateMarker();
    void refreshChooser();
    void openFile();
    void saveFile(bool askName);
    ObjectNames objectNames() const;
    void setFilePath(const QString& path);

    QWidget* formArea = nullptr;
    QFrame* marker = nullptr;
    PropertySheet* properties = nullptr;
    QPlainTextEdit* log = nullptr;
    QComboBox* chooser = nullptr;
    QComboBox* logScope = nullptr;
    QCheckBox* logChanges = nullptr;
    quil::ImageList* images = nullptr;
    EventSink* sink = nullptr;
    QList<QPointer<QWidget>> placed;
    QPointer<QWidget> current;
    QStringList lines;
    QString filePath;
};

} // namespace gallery
