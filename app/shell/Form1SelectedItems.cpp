// The main window's "Selected items" page: the wallpaper list, its selection and its commands.
#include "Form1.h"
#include "Form1Pages.h"

namespace murivo {

using namespace platform;

void Form1::buildSelectedItemsPage()
{
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
        CommandButton(*b, text);
        place(*b, &page0, x, 470, 120, 30);
        x += 130;
    }
    CommandButton(GlossButton9, "Send to Tray");
    place(GlossButton9, &page0, 640, 470, 120, 30);
    connect(&GlossButton1, &GlossButton::Click, this, &Form1::GlossButton1_Click);
    connect(&GlossButton2, &GlossButton::Click, this, &Form1::GlossButton2_Click);
    connect(&GlossButton3, &GlossButton::Click, this, &Form1::GlossButton3_Click);
    connect(&GlossButton5, &GlossButton::Click, this, &Form1::GlossButton5_Click);
    connect(&GlossButton9, &GlossButton::Click, this, &Form1::SendToTray_Click);
    connect(&ThumbsCtl1, &ThumbsCtl::ImageClick, this, &Form1::ThumbsCtl1_ImageClick);
    connect(&ThumbsCtl1, &ThumbsCtl::ImageDblClick, this, &Form1::ThumbsCtl1_ImageDblClick);
    connect(&ThumbsCtl1, &ThumbsCtl::ImageMouseDown, this, &Form1::ThumbsCtl1_ImageMouseDown);

    // Modal by its window modality; the event loop goes on.
    showModal = [](QWidget& w) {
        w.show();
        w.raise();
        w.activateWindow();
    };
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

void Form1::GlossButton5_Click()
{
    if (Text1.text().isEmpty()) {
        sv.MsgBox("Please select an item by clicking on it", vbCritical);
        return;
    }
    rotation->SetPicture(Text3.text());
}

void Form1::ThumbsCtl1_ImageDblClick(int, const QString& FileName)
{
    // Shown once decoded on a worker at the screen's size; gone when closed.
    auto* viewer = new frmImagem(this);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    connect(viewer, &frmImagem::Ready, this, [this, viewer] { showModal(*viewer); });
    connect(viewer, &frmImagem::Failed, this, [this, viewer](const QString& why) {
        viewer->deleteLater();
        sv.MsgBox("This picture cannot be shown:\n" + why, vbExclamation);
    });
    viewer->Open(FileName);
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

} // namespace murivo
