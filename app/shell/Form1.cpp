#include "Form1.h"

#include "engine/RegistryValues.h"
#include "engine/SettingsKeys.h"
#include "engine/TimeText.h"
#include "engine/WallpaperList.h"
#include "frmpath.h"
#include "platform/picture/Picture.h"
#include "progress.h"
#include "slideshow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QStandardPaths>
#include <QTimer>
#include <QEventLoop>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QFile>
#include <cstdio>

namespace murivo {

using namespace platform;

namespace {

QString two(int v) { return QString::number(v).rightJustified(2, '0'); }

void fillRange(QComboBox& c, int from, int to)
{
    for (int i = from; i <= to; ++i)
        c.addItem(two(i));
}

// Selects the entry with this text; false when there is none.
bool selectText(QComboBox& c, const QString& text)
{
    const int i = c.findText(text, Qt::MatchExactly);
    if (i < 0)
        return false;
    c.setCurrentIndex(i);
    return true;
}

// The three two-character pieces of "ab:cd:ef" select entries of the three pickers.
bool piecesSelectable(const QString& t, QComboBox& a, QComboBox& b, QComboBox& c)
{
    return t.size() == 8 && t[2] == ':' && t[5] == ':' && a.findText(t.mid(0, 2)) >= 0
        && b.findText(t.mid(3, 2)) >= 0 && c.findText(t.mid(6, 2)) >= 0;
}

// "0" or "1"; anything else is the default, unchecked.
bool flagValue(const QString& stored)
{
    bool ok = false;
    const int v = stored.trimmed().toInt(&ok);
    return ok && v == 1;
}

void place(QWidget& w, QWidget* parent, int x, int y, int width, int height)
{
    w.setParent(parent);
    w.setGeometry(x, y, width, height);
}

} // namespace

Form1::Form1(Services& services, frmpath& holder, progress& loadingWindow, QWidget* parent)
    : QWidget(parent), Timer1(100, this), Timer2(100, this), sv(services), paths(holder), loading(loadingWindow)
{
    setWindowTitle("Murivo");
    // A fixed size: no maximise button that would do nothing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // Client area of 11775 x 8280 twips at 15 twips a pixel.
    setFixedSize(785, 552);
    XTab1.setParent(this);
    XTab1.setGeometry(0, 0, 785, 552);
    XTab1.addTab(&page0, "Selected items");
    XTab1.addTab(&page1, "Select wallpapers");
    XTab1.addTab(&page2, "Settings");
    XTab1.addTab(&page3, "About");
    // The strip's stored look: active tab 0xFBFDFB, inactive 0xFFFFFF to 0xEAF0F0, border 0x9B9C91.
    XTab1.setStyleSheet("QTabBar::tab { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #f0f0ea);"
                        " border: 1px solid #919c9b; border-bottom: none; padding: 4px 12px; font: 8.25pt 'Liberation Sans'; }"
                        "QTabBar::tab:selected { background: #fbfdfb; font-weight: bold; }"
                        "QTabBar::tab:disabled { background: #c8d0d4; color: #a0a0a0; }"
                        "QTabWidget::pane { border: 1px solid #919c9b; background: #fbfdfb; }");
    for (QFrame* f : {&Shape1, &Shape2, &Shape3, &Shape4}) {
        f->setFrameShape(QFrame::Box);
        f->setStyleSheet("color: #9B9C91");
    }
    auto button = [](GlossButton& b, const char* text) {
        platform::MemoryPropertyBag bag;
        bag.values["Style"] = 7;
        bag.values["Caption"] = QString(text);
        bag.values["Font"] = QFont("Arial", 9, QFont::Bold);
        bag.values["ForeColor"] = static_cast<qint64>(0x8000000D);
        b.ReadProperties(bag);
    };

    // Page 0: the wallpaper list.
    place(Shape1, &page0, 10, 10, 760, 420);
    place(ThumbsCtl1, &page0, 20, 20, 740, 400);
    ThumbsCtl1.setMessageBoxes(&sv.msg);
    ThumbsCtl1.setColumns(6);   // stored, but the column count follows the width
    Label1.setText("                                   Click on an item to select it");
    place(Label1, &page0, 20, 438, 740, 24);
    for (QLineEdit* t : {&Text1, &Text3}) {
        t->setParent(&page0);
        t->hide();
    }
    const std::pair<GlossButton*, const char*> page0Buttons[] = {
        {&GlossButton1, "Remove"}, {&GlossButton2, "Remove all"}, {&GlossButton3, "Slideshow"}, {&GlossButton5, "Set Wallpaper"}};
    int x = 20;
    for (auto [b, text] : page0Buttons) {
        button(*b, text);
        place(*b, &page0, x, 470, 120, 30);
        x += 130;
    }
    button(GlossButton9, "Send to Tray");
    place(GlossButton9, &page0, 640, 470, 120, 30);
    connect(&GlossButton1, &GlossButton::Click, this, &Form1::GlossButton1_Click);
    connect(&GlossButton2, &GlossButton::Click, this, &Form1::GlossButton2_Click);
    connect(&GlossButton3, &GlossButton::Click, this, &Form1::GlossButton3_Click);
    connect(&GlossButton5, &GlossButton::Click, this, &Form1::GlossButton5_Click);
    connect(&GlossButton9, &GlossButton::Click, this, &Form1::SendToTray_Click);
    connect(&ThumbsCtl1, &ThumbsCtl::ImageClick, this, &Form1::ThumbsCtl1_ImageClick);
    connect(&ThumbsCtl1, &ThumbsCtl::ImageDblClick, this, &Form1::ThumbsCtl1_ImageDblClick);
    connect(&ThumbsCtl1, &ThumbsCtl::ImageMouseDown, this, &Form1::ThumbsCtl1_ImageMouseDown);

    // Page 1: pictures from the disk.
    place(Shape2, &page1, 10, 10, 760, 420);
    place(Drive1, &page1, 20, 20, 220, 26);
    place(Dir1, &page1, 20, 52, 220, 368);
    place(ThumbsCtl2, &page1, 250, 20, 510, 400);
    ThumbsCtl2.setMessageBoxes(&sv.msg);
    Label2.setText("                         Double click on an item to add it to the list");
    place(Label2, &page1, 20, 438, 740, 24);
    Text2.setParent(&page1);
    Text2.hide();
    button(GlossButton4, "Add all");
    button(GlossButton7, "Help");
    button(GlossButton10, "Send to Tray");
    place(GlossButton4, &page1, 20, 470, 120, 30);
    place(GlossButton7, &page1, 150, 470, 120, 30);
    place(GlossButton10, &page1, 640, 470, 120, 30);
    connect(&GlossButton4, &GlossButton::Click, this, &Form1::GlossButton4_Click);
    connect(&GlossButton7, &GlossButton::Click, this, &Form1::Help_Click);
    connect(&GlossButton10, &GlossButton::Click, this, &Form1::SendToTray_Click);
    connect(&ThumbsCtl2, &ThumbsCtl::ImageDblClick, this, &Form1::ThumbsCtl2_ImageDblClick);
    page1.installEventFilter(this);
    dirModel.setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
    dirModel.setRootPath("/");
    Dir1.setModel(&dirModel);
    for (int c = 1; c < dirModel.columnCount(); ++c)
        Dir1.hideColumn(c);
    Dir1.setHeaderHidden(true);
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes()) {
        const QString root = v.rootPath();
        if (!v.isValid() || !v.isReady())
            continue;
        if (root == "/" || root.startsWith("/media/") || root.startsWith("/run/media/") || root.startsWith("/mnt"))
            Drive1.addItem(root == "/" ? QString("/ (%1)").arg(v.displayName()) : root, root);
    }
    if (Drive1.findData(QDir::homePath()) < 0)
        Drive1.addItem(QString("%1 (home)").arg(QDir::homePath()), QDir::homePath());
    connect(&Drive1, &QComboBox::currentIndexChanged, this, &Form1::Drive1_Change);
    connect(Dir1.selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& i) {
        if (i.isValid()) {
            dirPath = dirModel.filePath(i);
            Dir1_Change();
        }
    });
    {
        // Both start at the user's Pictures folder, whose pictures show once the page is first seen.
        const QString here = PicturesFolder();
        int best = -1, bestLength = -1;
        for (int i = 0; i < Drive1.count(); ++i) {
            const QString root = Drive1.itemData(i).toString();
            if ((here == root || here.startsWith(root == "/" ? root : root + "/")) && root.size() > bestLength) {
                best = i;
                bestLength = static_cast<int>(root.size());
            }
        }
        QSignalBlocker block(&Drive1);
        if (best >= 0)
            Drive1.setCurrentIndex(best);
        Dir1.setRootIndex(dirModel.index(Drive1.currentData().toString()));
        dirPath = here;
        QSignalBlocker blockDir(Dir1.selectionModel());
        Dir1.setCurrentIndex(dirModel.index(here));
        Dir1.scrollTo(dirModel.index(here));
    }

    // Page 3: About.
    place(Shape4, &page3, 10, 10, 760, 490);
    place(Picture2, &page3, 60, 50, 128, 128);
    Picture2.setPixmap(QPixmap(":/murivo/icons/128x128/murivo.png"));
    Label8.setText("Murivo 1.1");
    Label8.setFont(QFont("Arial", 22, QFont::Bold));
    place(Label8, &page3, 220, 50, 400, 40);
    Label9.setText(kMakerName);
    place(Label9, &page3, 220, 110, 400, 24);
    Label13.setText(kMakerMail);
    place(Label13, &page3, 220, 140, 400, 24);
    Label11.setText(kMakerSite);
    Label11.setStyleSheet("color: #0000ee; text-decoration: underline;");
    Label11.setCursor(Qt::PointingHandCursor);
    Label11.installEventFilter(this);
    place(Label11, &page3, 220, 170, 400, 24);
    {
        platform::MemoryPropertyBag bag;
        bag.values["Style"] = 8;
        bag.values["Caption"] = QString("Homepage");
        bag.values["Font"] = QFont("Verdana", 8);
        ThemedButton1.ReadProperties(bag);
    }
    place(ThemedButton1, &page3, 220, 220, 100, 28);
    connect(&ThemedButton1, &ThemedButton::Click, this, &Form1::ThemedButton1_Click);
    showModal = [](QWidget& w) {
        w.show();
        QEventLoop loop;
        QObject::connect(&w, &QObject::destroyed, &loop, &QEventLoop::quit);
        while (w.isVisible())
            loop.processEvents(QEventLoop::WaitForMoreEvents);
    };

    place(Shape3, &page2, 10, 10, 760, 470);

    Check1.setText("Change wallpaper on system startup");
    Check2.setText("Change wallpaper after");
    Check3.setText("Change wallpaper AT");
    Check4.setText("Start with windows");
    place(Check1, &page2, 40, 40, 320, 24);
    place(Check2, &page2, 40, 90, 200, 24);
    place(Check3, &page2, 40, 140, 200, 24);
    place(Check4, &page2, 40, 190, 320, 24);

    place(Combo2, &page2, 250, 88, 56, 26);
    place(Combo3, &page2, 312, 88, 56, 26);
    place(Combo4, &page2, 374, 88, 56, 26);
    Label5.setText("( hr:min:sec )");
    place(Label5, &page2, 440, 90, 110, 24);
    place(Label3, &page2, 580, 90, 140, 24);
    Label3.setToolTip("Time since the last change");

    place(hourcom, &page2, 250, 138, 56, 26);
    place(mincom, &page2, 312, 138, 56, 26);
    place(amcom, &page2, 374, 138, 56, 26);
    Label6.setText("( hr:min am/pm )");
    place(Label6, &page2, 440, 140, 130, 24);
    place(Label4, &page2, 580, 140, 140, 24);
    Label4.setToolTip("Clock");

    Label7.setText("Wallpaper style");
    place(Label7, &page2, 40, 250, 200, 24);
    Option1.setText("Stretched");
    Option2.setText("Tiled");
    Option3.setText("Centered");
    place(Option1, &page2, 60, 280, 160, 24);
    place(Option2, &page2, 60, 310, 160, 24);
    place(Option3, &page2, 60, 340, 160, 24);

    // State fields, not for the user's eyes.
    Text6.setText("Text6");
    for (QLineEdit* t : {&Text4, &Text5, &Text6}) {
        t->setParent(&page2);
        t->hide();
    }

    // The window's command buttons: Style 7, Arial 9 bold, the highlight colour.
    for (auto [b, text] : {std::pair{&GlossButton6, "Save"}, {&GlossButton8, "Help"}}) {
        platform::MemoryPropertyBag bag;
        bag.values["Style"] = 7;
        bag.values["Caption"] = QString(text);
        bag.values["Font"] = QFont("Arial", 9, QFont::Bold);
        bag.values["ForeColor"] = static_cast<qint64>(0x8000000D);
        b->ReadProperties(bag);
    }
    place(GlossButton6, &page2, 520, 420, 110, 30);
    place(GlossButton8, &page2, 640, 420, 110, 30);
    connect(&GlossButton6, &GlossButton::Click, this, &Form1::GlossButton6_Click);
    connect(&GlossButton8, &GlossButton::Click, this, &Form1::Help_Click);

    changer = std::make_unique<WallpaperChanger>(sv.desktop);
    Timer1.setEnabled(false);
    connect(&Timer1, &FormTimer::Timer, this, &Form1::Timer1_Timer);
    connect(&Timer2, &FormTimer::Timer, this, &Form1::Timer2_Timer);
}

Form1::~Form1() = default;

// ------------------------------------------------------------- commands

QString Form1::FileNameOf(const QString& path)
{
    for (qsizetype i = path.size() - 1; i >= 0; --i)
        if (path[i] == '/')
            return path.mid(i + 1);
    return path;
}

void Form1::ThumbsCtl1_ImageClick(int PicIndex, const QString& FileName)
{
    const QString name = FileNameOf(FileName);
    if (name.size() < 21)
        Label1.setText("Selected Wallpaper :: " + name + QString(24, ' ') + "Index ::" + " " + QString::number(PicIndex));
    else
        Label1.setText("File name is too large to show.");
    // A long name is still selected, so Remove and Set Wallpaper act on the picture clicked.
    Text1.setText(QString::number(PicIndex));
    Text3.setText(FileName);
    selectedRow = ThumbsCtl1.ItemId(PicIndex);
}

Form1::BusyGuard::BusyGuard(Form1& f) : form(f) { ++form.listBusy; }

Form1::BusyGuard::~BusyGuard()
{
    if (--form.listBusy == 0 && form.ChangesInFlight() == 0 && !form.queued.empty())
        QTimer::singleShot(0, &form, [f = &form] { f->runQueued(); });
}

bool Form1::refuseWhileBusy()
{
    if (listBusy == 0)
        return false;
    // One list command at a time: this one would walk the cursor the running one still uses.
    QApplication::beep();
    return true;
}

void Form1::runQueued()
{
    while (listBusy == 0 && ChangesInFlight() == 0 && !queued.empty()) {
        auto next = std::move(queued.front());
        queued.erase(queued.begin());
        next();
    }
}

void Form1::GlossButton1_Click()
{
    if (refuseWhileBusy())
        return;
    try {
        if (Text1.text().isEmpty()) {
            sv.MsgBox("Please select an item by clicking on it", vbCritical);
            return;
        }
        // The row of the picture selected, found by its identity: after a
        // right-click removal the view's numbers no longer match the rows.
        if (!ListCursor->Bof())
            ListCursor->MoveFirst();
        while (!ListCursor->Eof() && ListCursor->Fields(1).Value().toLongLong() != selectedRow)
            ListCursor->MoveNext();
        if (ListCursor->Eof())
            throw db::Error("The selected picture is no longer in the wallpaper list.");
        ListCursor->Delete(db::adAffectCurrent);
        ThumbsCtl1.Clear();
        Text1.clear();
        selectedRow = -1;
        ADD_THUMB();
    } catch (const std::exception& e) {
        sv.MsgBox(QString::fromStdString(e.what()), vbOKOnly);
    }
}

void Form1::GlossButton2_Click()
{
    if (refuseWhileBusy())
        return;
    if (sv.MsgBox("All items in the list will be deleted !!!! Are you sure ?", vbYesNo + vbExclamation) != vbYes)
        return;
    if (refuseWhileBusy())
        return;
    try {
        ListConnection->Execute(kDeleteAll);
        ThumbsCtl1.Clear();
    } catch (const db::Error& e) {
        sv.MsgBox(e.description(), vbOKOnly);
    }
}

void Form1::GlossButton3_Click()
{
    if (!slides)
        slides = std::make_unique<slideshow>(paths);
    slides->Form_Load();
    slides->show();
    slides->raise();
}

void Form1::ScanPathnew(QString Path)
{
    if (refuseWhileBusy())
        return;
    BusyGuard busy(*this);
    if (!Path.endsWith('/'))
        Path += '/';
    QStringList pictures;
    for (const QString& name : QDir(Path).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString upper = name.toUpper();
        if (upper.endsWith(".JPG") || upper.endsWith(".GIF") || upper.endsWith(".BMP") || upper.endsWith(".JPEG"))
            pictures << Path + name;
    }
    if (pictures.isEmpty())
        return;
    // The rows first, in one transaction; a thumbnail is shown only for a row
    // that is stored. A refused row ends the adding, and the rows before it stay.
    std::vector<std::pair<QString, qint64>> stored;
    QString failure;
    try {
        ListConnection->BeginTrans();
        for (const QString& p : pictures) {
            try {
                ListCursor->AddNew();
                ListCursor->Fields(0).setValue(p);
                ListCursor->MoveNext();
            } catch (const db::Error& e) {
                failure = e.description();
                break;
            }
            stored.emplace_back(p, ListCursor->LastInsertedId());
        }
        ListConnection->CommitTrans();
    } catch (const db::Error& e) {
        ListConnection->RollbackTrans();
        stored.clear();
        failure = e.description();
    }
    for (const auto& [p, id] : stored)
        ThumbsCtl1.AddItem(p, id);
    if (!failure.isEmpty())
        sv.MsgBox(QString("%1 of %2 pictures were added to the wallpaper list; the list file refused the rest:\n%3")
                      .arg(stored.size())
                      .arg(pictures.size())
                      .arg(failure),
                  vbExclamation);
}

void Form1::GlossButton4_Click() { ScanPathnew(dirPath); }

void Form1::GlossButton5_Click()
{
    if (Text1.text().isEmpty()) {
        sv.MsgBox("Please select an item by clicking on it", vbCritical);
        return;
    }
    startChange(Text3.text(), false, [this](const ChangeResult& r) {
        if (!r.pictureWritten)
            sv.MsgBox("This picture could not be set as the wallpaper:\n" + r.error, vbExclamation);
    });
}

void Form1::Help_Click() { ThemedButton1.OpenLink(kHelpPage); }
void Form1::SendToTray_Click() { hide(); }
void Form1::ThemedButton1_Click() { ThemedButton1.OpenLink(kMakerSite); }

void Form1::Label11_Click()
{
    if (ThemedButton1.OpenLink(kMakerSite) <= 31)
        sv.MsgBox("Unable to launch Web Browser.", vbOKOnly);
}

void Form1::ThumbsCtl1_ImageDblClick(int, const QString& FileName)
{
    frmImagem viewer(this);
    QString why;
    if (!viewer.Load(FileName, &why)) {
        sv.MsgBox("This picture cannot be shown:\n" + why, vbExclamation);
        return;
    }
    showModal(viewer);
}

void Form1::ThumbsCtl1_ImageMouseDown(int PicIndex, int Button, int, float, float, const QString&)
{
    if (Button != 2)
        return;
    if (refuseWhileBusy())
        return;
    if (sv.MsgBox("Remove Item?", vbYesNo + vbQuestion + vbDefaultButton2) != vbYes)
        return;
    if (refuseWhileBusy())
        return;
    // From the view only: the row stays in the list and returns at the next start.
    // The view reloads its thumbnails; the one clicked goes once its press is over.
    BusyGuard busy(*this);
    ThumbsCtl1.RemoveItem(PicIndex);
}

void Form1::ThumbsCtl2_ImageDblClick(int PicIndex, const QString& FileName)
{
    if (listBusy > 0) {
        // A quick second double-click: added as soon as the running command is done.
        queued.push_back([this, PicIndex, FileName] { ThumbsCtl2_ImageDblClick(PicIndex, FileName); });
        return;
    }
    BusyGuard busy(*this);
    Text2.setText(FileName);
    try {
        ListCursor->AddNew();
        ListCursor->Fields(0).setValue(Text2.text());
        ListCursor->MoveFirst();
    } catch (const db::Error& e) {
        sv.MsgBox("The picture could not be added to the wallpaper list:\n" + e.description(), vbExclamation);
        return;
    }
    // The row's id is taken before the view yields.
    ThumbsCtl1.AddItem(FileName, ListCursor->LastInsertedId());
}

void Form1::Drive1_Change()
{
    const QString root = Drive1.currentData().toString();
    if (root.isEmpty())
        return;
    Dir1.setRootIndex(dirModel.index(root));
    setDir1Path(root);
}

void Form1::setDir1Path(const QString& path)
{
    dirPath = path;
    QSignalBlocker block(Dir1.selectionModel());
    Dir1.setCurrentIndex(dirModel.index(path));
    Dir1_Change();
}

void Form1::Dir1_Change()
{
    folderShown = true;
    // Each step's failure is skipped.
    ThumbsCtl2.Clear();
    ThumbsCtl2.ScanPath(dirPath);
}

QString Form1::PicturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return QDir::cleanPath(pictures);
    return QDir::homePath();
}

bool Form1::eventFilter(QObject* o, QEvent* e)
{
    if (o == &page1 && e->type() == QEvent::Show && !folderShown) {
        // The folder's pictures are shown the first time the page is seen,
        // so "Add all" never adds pictures the user has not seen.
        folderShown = true;
        QTimer::singleShot(0, this, [this] {
            if (ThumbsCtl2.ListCount() == 0)
                Dir1_Change();
        });
    }
    if (o == &Label11 && e->type() == QEvent::MouseButtonRelease) {
        Label11_Click();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

QString Form1::BitmapPath() const { return paths.Text1.text() + "/" + kBitmapName; }
QString Form1::ListFilePath() const { return paths.lbldir.text() + "/" + kListFileName; }

void Form1::closeEvent(QCloseEvent* e)
{
    if (noNotificationArea) {
        // Hidden, it could never be reached again while it holds the one-copy lock.
        e->accept();
        emit EndProgram();
        return;
    }
    // The window can be hidden but not closed: the program lives on in the tray.
    e->ignore();
    hide();
}

void Form1::Form_Load()
{
    loading.Form_Load();

    paths.Form_Load();
    const QString file = ListFilePath();
    try {
        EnsureListFile(file);
        ListConnection = std::make_unique<db::Connection>();
        ListCursor = std::make_unique<db::Recordset>();
        ListConnection->Open(ListConnectionString(paths.lbldir.text()), "", "", -1);
        ListCursor->Open(kListStatement, *ListConnection, db::adOpenDynamic, db::adLockPessimistic, -1);

        // The count is a plain int: a list longer than 32767 rows is kept whole.
        rowCount = 0;
        if (!ListCursor->Bof())
            ListCursor->MoveFirst();
        while (!ListCursor->Eof()) {
            ++rowCount;
            ListCursor->MoveNext();
        }
    } catch (const db::Error& e) {
        throw ListFileError(file, e.description());
    }

    if (rowCount < 11) {
        loading.Text1.setText("1");
    } else {
        loading.Text1.setText(QString::number(RoundHalfEven(rowCount * 0.1)));
        loading.show();
    }

    try {
        ADD_THUMB();
    } catch (const db::Error& e) {
        sv.MsgBox(QString("The wallpaper list %1 could not be cleaned of missing pictures:\n%2")
                      .arg(file, e.description()),
                  vbExclamation);
    }

    LastChange = sv.clock.now();
    Timer1.setEnabled(true);
    fillPickers();
    loadSettingsPage();
    if (!Check2.isChecked())
        Timer1.setEnabled(false);
    if (Check1.isChecked())
        StartupChange();
}

void Form1::fillPickers()
{
    for (QComboBox* c : {&amcom, &hourcom, &mincom, &Combo2, &Combo3, &Combo4})
        c->clear();
    amcom.addItem("AM");
    amcom.addItem("PM");
    fillRange(hourcom, 1, 12);
    fillRange(mincom, 0, 59);
    fillRange(Combo2, 0, 12);
    fillRange(Combo3, 0, 59);
    fillRange(Combo4, 1, 59);
}

void Form1::loadSettingsPage()
{
    // Values the pickers cannot show fall back to the defaults.
    QString daily = sv.settings.GetSetting(kApp, kSection, kDailyTime, "00:01:01");
    if (!piecesSelectable(daily, Combo2, Combo3, Combo4))
        daily = "00:01:01";
    QString repeat = sv.settings.GetSetting(kApp, kSection, kRepeatTime, "01:00:AM");
    if (!piecesSelectable(repeat, hourcom, mincom, amcom))
        repeat = "01:00:AM";
    Text4.setText(daily);
    Text5.setText(repeat);

    selectText(Combo2, Text4.text().mid(0, 2));
    selectText(Combo3, Text4.text().mid(3, 2));
    selectText(Combo4, Text4.text().mid(6, 2));
    selectText(hourcom, Text5.text().mid(0, 2));
    selectText(mincom, Text5.text().mid(3, 2));
    selectText(amcom, Text5.text().mid(6, 2));

    Check1.setChecked(flagValue(sv.settings.GetSetting(kApp, kSection, kStartupCheck, "0")));
    Check2.setChecked(flagValue(sv.settings.GetSetting(kApp, kSection, kDailyCheck, "0")));
    Check3.setChecked(flagValue(sv.settings.GetSetting(kApp, kSection, kRepeatCheck, "0")));
    Check4.setChecked(flagValue(sv.settings.GetSetting(kApp, kSection, kStartWithWindows, "0")));

    bool ok = false;
    int mode = sv.settings.GetSetting(kApp, kSection, kMode, "0").trimmed().toInt(&ok);
    if (!ok)
        mode = 0;
    for (QRadioButton* o : {&Option1, &Option2, &Option3}) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
    if (mode == 0)
        Option1.setChecked(true);
    else if (mode == 1)
        Option2.setChecked(true);
    else if (mode == 2)
        Option3.setChecked(true);
}

namespace {

// A file is known to be gone only when its folder can be read and does not
// hold it as a visible file; an unreadable folder or an unmounted drive says nothing.
bool KnownGone(const QString& path)
{
    const QFileInfo fi(path);
    if (path.isEmpty() || !fi.isAbsolute())
        return true;
    const QFileInfo folder(fi.absolutePath());
    return folder.isDir() && folder.isReadable() && folder.isExecutable();
}

} // namespace

void Form1::ADD_THUMB()
{
    // The view yields after each picture; the timers must not move the cursor meanwhile.
    BusyGuard busy(*this);
    if (!ListCursor->Bof())
        ListCursor->MoveFirst();
    while (!ListCursor->Eof()) {
        const QString path = ListCursor->Fields(0).Value().toString();
        const qint64 id = ListCursor->Fields(1).Value().toLongLong();
        if (CheckFile(path) || !KnownGone(path)) {
            // A row whose folder cannot be read stays, shown as a picture that cannot be loaded.
            ListCursor->MoveNext();
            ThumbsCtl1.AddItem(path, id);
        } else {
            // Deleting leaves the cursor where the row was; EOF only when the list is now empty.
            ListCursor->Delete(db::adAffectCurrent);
            if (!ListCursor->Eof())
                ListCursor->MoveNext();
        }
    }
}

void Form1::readRow()
{
    if (ListCursor->Eof())
        ListCursor->MoveFirst();
    Text6.setText(ListCursor->Fields(0).Value().toString());
}

void Form1::advance()
{
    if (ListCursor->Eof())
        ListCursor->MoveFirst();
    else
        ListCursor->MoveNext();
}

void Form1::startChange(const QString& source, bool keepPrevious, std::function<void(const ChangeResult&)> done)
{
    // The placement is read here: the registry belongs to this thread.
    changer->Change(source, BitmapPath(), PlacementFromRegistry(sv.registry), keepPrevious,
                    [this, done](const ChangeResult& r) {
                        done(r);
                        if (listBusy == 0 && ChangesInFlight() == 0 && !queued.empty())
                            QTimer::singleShot(0, this, [this] { runQueued(); });
                    });
}

void Form1::pictureFailed(const QString& why)
{
    // Said once while the same picture keeps failing.
    if (why == lastPictureFailure)
        return;
    lastPictureFailure = why;
    std::fprintf(stderr, "murivo: %s\n", qPrintable(why));
}

void Form1::chage_wall()
{
    if (listBusy > 0 || ChangesInFlight() > 0) {
        // The cursor is being walked, or a change is under way: change once that is done.
        queued.push_back([this] { chage_wall(); });
        return;
    }
    try {
        readRow();
    } catch (const db::Error&) {
        sv.MsgBox("There are no wallpapers in the list.Please add some items first.", vbExclamation);
        return;
    }
    if (Text6.text().isEmpty()) {
        sv.MsgBox("There are no wallpapers in the list", vbCritical);
        return;
    }
    // The cursor moves on whatever the picture does (one that cannot be shown
    // must not hold up the rotation); nothing else moves it until the change
    // is over, so it may move now, before the worker is done.
    try {
        advance();
    } catch (const db::Error&) {
    }
    startChange(Text6.text(), false, [this](const ChangeResult& r) {
        if (!r.pictureWritten)
            sv.MsgBox("This picture could not be set as the wallpaper and was skipped:\n" + r.error, vbExclamation);
    });
}

// The timers poll while a change is under way and skip those polls, as they
// would if the change held the thread: LastChange is set when it is over.
void Form1::Timer1_Timer()
{
    if (inTimer1 || listBusy > 0 || ChangesInFlight() > 0)
        return;
    inTimer1 = true;
    const QDateTime now = sv.clock.now();
    qint64 elapsed = LastChange.secsTo(now);
    if (elapsed < 0) {
        // The clock went back: count the interval from now.
        LastChange = now;
        elapsed = 0;
    }
    Label3.setText(ElapsedText(elapsed));
    // The first poll at or after the interval changes, so a busy or suspended
    // machine never skips a change.
    const auto interval = IntervalSeconds(Text4.text());
    if (!interval || *interval <= 0 || elapsed < *interval) {
        inTimer1 = false;
        return;
    }
    bool haveRow = true;
    try {
        readRow();
    } catch (const db::Error&) {
        haveRow = false;   // an empty list
    }
    if (!Check2.isChecked()) {
        inTimer1 = false;
        return;
    }
    // Each step that fails is skipped: a picture that cannot be loaded leaves
    // the previous bitmap, which is set again.
    const QString source = haveRow ? Text6.text() : QString();
    try {
        advance();
    } catch (const db::Error&) {
    }
    startChange(source, true, [this, haveRow](const ChangeResult& r) {
        if (haveRow && !r.pictureWritten)
            pictureFailed(r.error);
        LastChange = sv.clock.now();
    });
    inTimer1 = false;
}

void Form1::Timer2_Timer()
{
    if (inTimer2 || listBusy > 0 || ChangesInFlight() > 0)
        return;
    inTimer2 = true;
    const QDateTime now = sv.clock.now();
    Label4.setText(ClockText(now.time()));
    if (Label4.text() != Text5.text()) {
        inTimer2 = false;
        return;
    }
    try {
        readRow();
    } catch (const db::Error&) {
        // Only a mode the user enabled may interrupt with a message.
        if (Check3.isChecked()) {
            Timer2.setInterval(60000);
            sv.MsgBox("There are no wallpapers in the list.Please add them first", vbExclamation);
        }
        inTimer2 = false;
        return;
    }
    if (!Check3.isChecked()) {
        inTimer2 = false;
        return;
    }
    // The read left the cursor on a row: it steps on whether or not the picture can be shown.
    bool moved = true;
    try {
        if (!ListCursor->Eof())
            ListCursor->MoveNext();
    } catch (const db::Error&) {
        moved = false;
    }
    startChange(Text6.text(), false, [this, moved](const ChangeResult& r) {
        if (r.pictureWritten) {
            LastChange = sv.clock.now();
            Timer2.setInterval(moved ? 40000 : 60000);
        } else {
            Timer2.setInterval(60000);
            sv.MsgBox("This picture could not be set as the wallpaper and was skipped:\n" + r.error, vbExclamation);
        }
    });
    inTimer2 = false;
}

void Form1::StartupChange()
{
    try {
        readRow();
    } catch (const db::Error&) {
        return;   // an empty list: nothing to show, nothing to say
    }
    try {
        advance();
    } catch (const db::Error&) {
    }
    startChange(Text6.text(), false, [this](const ChangeResult& r) {
        if (r.pictureWritten)
            LastChange = sv.clock.now();
        else
            pictureFailed(r.error);
    });
}

void Form1::ApplyStyle() { murivo::ApplyStyle(sv.settings, sv.registry); }

void Form1::GlossButton6_Click()
{
    if (!Check4.isChecked()) {
        const int answer = sv.MsgBox("Warning !!!! You are going to remove the program from startup.It will be no more "
                                     "effective if you disable it. Do you want to continue ?",
                                     vbYesNo + vbExclamation);
        if (answer != vbYes) {
            sv.MsgBox("Please put a checkmark on the first checkbox", vbInformation);
            return;
        }
    }
    QString entryProblem;
    if (Check4.isChecked()) {
        sv.settings.SaveSetting(kApp, kSection, kStartWithWindows, "1");
        if (StoreRegistryValue(sv.registry, HKEY_LOCAL_MACHINE, kRunKey, "Murivo", sv.executable, REG_SZ) != ERROR_SUCCESS)
            entryProblem = QString("The start-with-session entry %1 could not be written: %2")
                               .arg(sv.registry.autostartFile("Murivo"), sv.registry.lastError());
    } else {
        sv.settings.SaveSetting(kApp, kSection, kStartWithWindows, "0");
        const long rc = DeleteRegistryValue(sv.registry, HKEY_LOCAL_MACHINE, kRunKey, "Murivo");
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
            entryProblem = QString("The start-with-session entry %1 could not be removed: %2")
                               .arg(sv.registry.autostartFile("Murivo"), sv.registry.lastError());
    }
    Text4.setText(Combo2.currentText() + ":" + Combo3.currentText() + ":" + Combo4.currentText());
    Text5.setText(hourcom.currentText() + ":" + mincom.currentText() + ":" + amcom.currentText());
    sv.settings.SaveSetting(kApp, kSection, kDailyTime, Text4.text());
    sv.settings.SaveSetting(kApp, kSection, kRepeatTime, Text5.text());
    sv.settings.SaveSetting(kApp, kSection, kStartupCheck, Check1.isChecked() ? "1" : "0");
    sv.settings.SaveSetting(kApp, kSection, kDailyCheck, Check2.isChecked() ? "1" : "0");
    sv.settings.SaveSetting(kApp, kSection, kRepeatCheck, Check3.isChecked() ? "1" : "0");
    if (Option1.isChecked())
        sv.settings.SaveSetting(kApp, kSection, kMode, "0");
    else if (Option2.isChecked())
        sv.settings.SaveSetting(kApp, kSection, kMode, "1");
    else if (Option3.isChecked())
        sv.settings.SaveSetting(kApp, kSection, kMode, "2");
    ApplyStyle();
    LastChange = sv.clock.now();
    Timer1.setEnabled(Check2.isChecked());
    if (!entryProblem.isEmpty())
        sv.MsgBox(entryProblem, vbExclamation);
    sv.MsgBox("Settings have been saved.", vbInformation);
}

} // namespace murivo
