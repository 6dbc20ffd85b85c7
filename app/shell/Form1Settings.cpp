// The main window's "Settings" page: the schedule's and the placement's controls, loaded from and saved to the settings.
#include "Form1.h"
#include "Form1Pages.h"

namespace murivo {

using namespace platform;

namespace {

void fillRange(QComboBox& c, int from, int to)
{
    for (int i = from; i <= to; ++i)
        c.addItem(TwoDigits(i));
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

} // namespace

void Form1::buildSettingsPage()
{
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

    CommandButton(GlossButton6, "Save");
    CommandButton(GlossButton8, "Help");
    place(GlossButton6, &page2, 520, 420, 110, 30);
    place(GlossButton8, &page2, 640, 420, 110, 30);
    connect(&GlossButton6, &GlossButton::Click, this, &Form1::GlossButton6_Click);
    connect(&GlossButton8, &GlossButton::Click, this, &Form1::Help_Click);
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
    bool saved = true;
    if (Check4.isChecked()) {
        saved &= sv.settings.SaveSetting(kApp, kSection, kStartWithWindows, "1");
        if (StoreRegistryValue(sv.registry, HKEY_LOCAL_MACHINE, kRunKey, "Murivo", sv.executable, REG_SZ) != ERROR_SUCCESS)
            entryProblem = QString("The start-with-session entry %1 could not be written: %2")
                               .arg(sv.registry.autostartFile("Murivo"), sv.registry.lastError());
    } else {
        saved &= sv.settings.SaveSetting(kApp, kSection, kStartWithWindows, "0");
        const long rc = DeleteRegistryValue(sv.registry, HKEY_LOCAL_MACHINE, kRunKey, "Murivo");
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
            entryProblem = QString("The start-with-session entry %1 could not be removed: %2")
                               .arg(sv.registry.autostartFile("Murivo"), sv.registry.lastError());
    }
    Text4.setText(Combo2.currentText() + ":" + Combo3.currentText() + ":" + Combo4.currentText());
    Text5.setText(hourcom.currentText() + ":" + mincom.currentText() + ":" + amcom.currentText());
    saved &= sv.settings.SaveSetting(kApp, kSection, kDailyTime, Text4.text());
    saved &= sv.settings.SaveSetting(kApp, kSection, kRepeatTime, Text5.text());
    saved &= sv.settings.SaveSetting(kApp, kSection, kStartupCheck, Check1.isChecked() ? "1" : "0");
    saved &= sv.settings.SaveSetting(kApp, kSection, kDailyCheck, Check2.isChecked() ? "1" : "0");
    saved &= sv.settings.SaveSetting(kApp, kSection, kRepeatCheck, Check3.isChecked() ? "1" : "0");
    if (Option1.isChecked())
        saved &= sv.settings.SaveSetting(kApp, kSection, kMode, "0");
    else if (Option2.isChecked())
        saved &= sv.settings.SaveSetting(kApp, kSection, kMode, "1");
    else if (Option3.isChecked())
        saved &= sv.settings.SaveSetting(kApp, kSection, kMode, "2");
    ApplyStyle();
    rotation->LastChange = sv.clock.now();
    Timer1.setEnabled(Check2.isChecked());
    if (!entryProblem.isEmpty())
        sv.MsgBox(entryProblem, vbExclamation);
    if (!saved) {
        sv.MsgBox(QString("The settings could not be saved: %1 cannot be written.")
                      .arg(IniProgramSettings::fileFor(kApp)),
                  vbCritical);
        return;
    }
    sv.MsgBox("Settings have been saved.", vbInformation);
}

} // namespace murivo
