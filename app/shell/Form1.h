#pragma once
// The main window: owner of the wallpaper list cursor, its four pages, and
// the rotation engine it configures and shows. Loaded hidden at start; hidden
// rather than closed while a notification area lets the user back in.

#include "engine/Services.h"
#include "engine/Rotation.h"
#include "engine/WallpaperList.h"
#include "platform/db/Database.h"
#include "platform/forms/Forms.h"
#include "thumbs/ThumbsCtl.h"
#include "widgets/GlossButton.h"
#include "widgets/ThemedButton.h"

#include <QFileSystemModel>
#include <QTreeView>

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace murivo {

class frmpath;
class progress;
class slideshow;

// The list file exists but cannot serve as the list.
class ListFileError : public std::runtime_error {
public:
    ListFileError(const QString& file, const QString& why)
        : std::runtime_error(why.toStdString()), path(file), reason(why) {}
    QString path;
    QString reason;
};

// Shown in a page's status text for a command refused while the list is being walked.
inline const QString kBusyRefusal = "Busy reading the wallpaper list; please try again when it is done.";

class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(Services& services, frmpath& paths, progress& loading, QWidget* parent = nullptr);
    ~Form1() override;

    // The load sequence. Throws ListFileError when the list cannot be opened.
    // The list is then read a few rows an event-loop turn with the loading
    // window shown; the schedule starts when it has been read (ListLoaded).
    void Form_Load();
    // The list has been read at start: its rows are in the grid, the schedule runs.
    bool IsListLoaded() const { return listLoaded; }

    void chage_wall();
    // Reads the whole list at once (after a removal): rows certainly gone are
    // deleted, the others added to the grid in list order.
    void ADD_THUMB();
    void Timer1_Timer();
    void Timer2_Timer();
    void StartupChange();
    void GlossButton6_Click();   // Save
    void ApplyStyle();

    // The main window's commands.
    void GlossButton1_Click();   // Remove
    void GlossButton2_Click();   // Remove all
    void GlossButton3_Click();   // Slideshow
    void GlossButton4_Click();   // Add all
    void GlossButton5_Click();   // Set Wallpaper
    void Help_Click();           // GlossButton7, GlossButton8
    void SendToTray_Click();     // GlossButton9, GlossButton10
    void ThemedButton1_Click();  // Homepage
    void Label11_Click();
    void ThumbsCtl1_ImageClick(int PicIndex, const QString& FileName);
    void ThumbsCtl1_ImageDblClick(int PicIndex, const QString& FileName);
    void ThumbsCtl1_ImageMouseDown(int PicIndex, int Button, int Shift, float x, float y, const QString& FileName);
    void ThumbsCtl2_ImageDblClick(int PicIndex, const QString& FileName);
    void Drive1_Change();
    void Dir1_Change();
    void ScanPathnew(QString Path);
    QString Dir1Path() const { return dirPath; }
    void setDir1Path(const QString& path);
    slideshow* Slideshow() const { return slides.get(); }
    // The viewer is shown modally; tests replace the loop.
    std::function<void(QWidget&)> showModal;

    // With no notification area the window is the only way in: closing it ends the program.
    void setNoNotificationArea(bool none) { noNotificationArea = none; }
    // True while a command walks or changes the list.
    bool ListBusy() const { return listBusy > 0; }
    bool HasQueuedCommands() const { return !queued.empty(); }
    // Held by a command while it walks or changes the list.
    struct BusyGuard {
        explicit BusyGuard(Form1& f);
        ~BusyGuard();
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;
        Form1& form;
    };
    // Wallpaper changes under way on the worker.
    int ChangesInFlight() const { return rotation ? rotation->ChangesInFlight() : 0; }
    // The schedules and the wallpaper change; this window configures and shows them.
    Rotation& Schedule() { return *rotation; }
    // The folder "Select wallpapers" starts in: the user's Pictures folder, else home.
    static QString PicturesFolder();

    QString BitmapPath() const;
    QString ListFilePath() const;
    int RowCount() const { return rowCount; }

    std::unique_ptr<platform::db::Connection> ListConnection;
    std::unique_ptr<platform::db::Recordset> ListCursor;
    // Where ADD_THUMB learns which drives are mounted; tests use their own tables.
    MountTables mountTables;

    QTabWidget XTab1;
    QWidget page0;
    QFrame Shape1;
    ThumbsCtl ThumbsCtl1;
    QLabel Label1;
    QLineEdit Text1, Text3;
    GlossButton GlossButton1, GlossButton2, GlossButton3, GlossButton5, GlossButton9;
    QWidget page1;
    QFrame Shape2;
    QComboBox Drive1;
    QTreeView Dir1;
    QFileSystemModel dirModel;
    ThumbsCtl ThumbsCtl2;
    QLabel Label2;
    QLineEdit Text2;
    GlossButton GlossButton4, GlossButton7, GlossButton10;
    QWidget page3;
    QFrame Shape4;
    QLabel Picture2, Label8, Label9, Label13, Label11;
    ThemedButton ThemedButton1;
    QWidget page2;
    QFrame Shape3;
    QCheckBox Check1, Check2, Check3, Check4;
    QComboBox Combo2, Combo3, Combo4;
    QComboBox hourcom, mincom, amcom;
    QRadioButton Option1, Option2, Option3;
    QLabel Label3, Label4, Label5, Label6, Label7;
    QLineEdit Text4, Text5, Text6;
    GlossButton GlossButton6, GlossButton8;
    platform::FormTimer Timer1, Timer2;

signals:
    // The program is to end (the window was closed with no notification area to return to).
    void EndProgram();
    // The list read at start has ended.
    void ListLoaded();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    // One file per page builds its page and holds its commands.
    void buildSelectedItemsPage();
    void buildSelectWallpapersPage();
    void buildSettingsPage();
    void buildAboutPage();
    void fillPickers();
    void loadSettingsPage();

    Services& sv;
    frmpath& paths;
    progress& loading;
    int rowCount = 0;
    // Held by the commands that walk or change the list. The grids load their
    // thumbnails on their own and never yield inside a command; what can still
    // run meanwhile is a message box's loop. The count restores, never resets,
    // so a nested command cannot end the outer one's protection; commands
    // arriving meanwhile are refused or queued.
    int listBusy = 0;
    bool refuseWhileBusy();
    // The status text that says a command was refused, and what it said before.
    void clearRefusal();
    QLabel* refusedOn = nullptr;
    QString refusedBefore;
    void runQueued();
    void releaseBusy();
    std::vector<std::function<void()>> queued;
    // One walk over the list, from its first row.
    struct ListWalk;
    std::unique_ptr<ListWalk> walk;
    bool walkRow(ListWalk& w);
    void walkSome();
    void endLoad();
    bool listLoaded = false;
    bool noNotificationArea = false;
    bool folderShown = false;
    // The list row of the selection.
    qint64 selectedRow = -1;
    QString dirPath;
    std::unique_ptr<slideshow> slides;
    // Last, so it goes first: its worker ends before anything its outcomes touch.
    std::unique_ptr<Rotation> rotation;
};

} // namespace murivo
