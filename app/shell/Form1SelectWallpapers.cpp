// The main window's "Select wallpapers" page: folders, their pictures, and adding them to the list.
#include "Form1.h"
#include "Form1Pages.h"

#include <QDir>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QStorageInfo>

namespace murivo {

using namespace platform;

void Form1::buildSelectWallpapersPage()
{
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
    CommandButton(GlossButton4, "Add all");
    CommandButton(GlossButton7, "Help");
    CommandButton(GlossButton10, "Send to Tray");
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
}

void Form1::ScanPathnew(QString Path)
{
    if (refuseWhileBusy())
        return;
    BusyGuard busy(*this);
    if (!Path.endsWith('/'))
        Path += '/';
    QStringList pictures;
    if (QDir::cleanPath(ThumbsCtl2.Path()) == QDir::cleanPath(Path)) {
        // The folder view shows this folder: exactly what it shows is added,
        // not what the folder may hold by now.
        pictures = ThumbsCtl2.Paths();
    } else {
        for (const QString& name : QDir(Path).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            if (IsPictureName(name))
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
    // The thumbnail keeps the row's id, by which Remove finds the row.
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
    // Each step's failure is skipped. Nothing here waits for a picture, so a
    // click in the tree meanwhile comes after this one and the tree, the
    // folder shown and "Add all" stay on the same folder.
    ThumbsCtl2.Clear();
    ThumbsCtl2.setPath(dirPath);
    ThumbsCtl2.ScanPath(dirPath);
    const QModelIndex shown = dirModel.index(dirPath);
    if (shown.isValid() && Dir1.currentIndex() != shown) {
        QSignalBlocker block(Dir1.selectionModel());
        Dir1.setCurrentIndex(shown);
    }
}

QString Form1::PicturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return QDir::cleanPath(pictures);
    return QDir::homePath();
}

} // namespace murivo
