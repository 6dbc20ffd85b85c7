// The main window's "About" page and its links.
#include "Form1.h"
#include "Form1Pages.h"

namespace murivo {

using namespace platform;

void Form1::buildAboutPage()
{
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
}

void Form1::ThemedButton1_Click() { ThemedButton1.OpenLink(kMakerSite); }

void Form1::Label11_Click()
{
    if (ThemedButton1.OpenLink(kMakerSite) <= 31)
        sv.MsgBox("Unable to launch Web Browser.", vbOKOnly);
}

} // namespace murivo
