#pragma once
// The main window: owner of the wallpaper list cursor, the schedules and the
// Settings page. Loaded hidden at start; hidden, never closed.

#include "engine/Services.h"
#include "platform/db/Database.h"
#include "platform/forms/Forms.h"
#include "thumbs/ThumbsCtl.h"
#include "widgets/GlossButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>
#include <memory>
#include <stdexcept>

namespace murivo {

class frmpath;
class progress;

// The list file exists but cannot serve as the list.
class ListFileError : public std::runtime_error {
public:
    ListFileError(const QString& file, const QString& why)
        : std::runtime_error(why.toStdString()), path(file), reason(why) {}
    QString path;
    QString reason;
};

class Form1 : public QWidget {
    Q_OBJECT
public:
    Form1(Services& services, frmpath& paths, progress& loading, QWidget* parent = nullptr);
    ~Form1() override;

    // The load sequence. Throws ListFileError when the list cannot be opened.
    void Form_Load();

    void chage_wall();
    void ADD_THUMB();
    void Timer1_Timer();
    void Timer2_Timer();
    void StartupChange();
    void GlossButton6_Click();   // Save
    void ApplyStyle();

    QString BitmapPath() const;
    QString ListFilePath() const;
    int RowCount() const { return rowCount; }

    std::unique_ptr<platform::db::Connection> ListConnection;
    std::unique_ptr<platform::db::Recordset> ListCursor;
    QDateTime LastChange;

    QTabWidget XTab1;
    QWidget page0;
    ThumbsCtl ThumbsCtl1;
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

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void fillPickers();
    void loadSettingsPage();
    void readRow();    // (R)
    void advance();    // (V)
    void applyText6(); // (A) on Text6
    void pictureFailed(const QString& why);

    Services& sv;
    frmpath& paths;
    progress& loading;
    int rowCount = 0;
    bool inTimer1 = false;
    bool inTimer2 = false;
    bool listBusy = false;
    QString lastPictureFailure;
};

} // namespace murivo
