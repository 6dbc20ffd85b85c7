// The drop-down's types: their pictures, their panels and their lists of
// printers, drives and folders, and fonts.
#include <quilObjects/ComboDatas.h>
#include <quilObjects/IconExtractor.h>
#include <quilObjects/ImageList.h>
#include <quilObjects/Routines.h>
#include <quilObjects/Search.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>

#include "DropDownSources.h"
#include "DropPanel.h"
#include "quilDropDown_p.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

namespace quil {

namespace {

const QString ShellFolders = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
const QString MuiCache = QStringLiteral("Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache");

// A user folder that is really there; the home folder stands for "none".
QString userFolder(const char* name)
{
    const QString path = RegReadString(HKEY_CURRENT_USER, ShellFolders, QString::fromLatin1(name), QString());
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return {};
    if (QDir(path) == QDir::home() && QLatin1String(name) == QLatin1String("Desktop"))
        return {};
    return QDir::cleanPath(path);
}

} // namespace

// ------------------------------------------------------------ the type

void quilDropDownPrivate::applyType()
{
    // The type on show keeps its list and pictures.
    if (comboType == appliedType)
        return;
    loadTypeImages();
    q->SetComboType();
}

void quilDropDownPrivate::loadTypeImages()
{
    static const std::vector<short> date = {167};
    static const std::vector<short> printers = {16, 60, 81, 82};
    static const std::vector<short> drives = {8, 6, 11, 9, 34, 126, 15, 18, 3};
    const std::vector<short>* icons = nullptr;
    switch (comboType) {
    case ctDateBox: icons = &date; break;
    case ctPrinterSelect: icons = &printers; break;
    case ctDriveSelect: icons = &drives; break;
    case ctFontSelect: break;
    default: return;
    }
    list->ListboxItems()->Clear();
    images->Clear();
    if (icons)
        list->setImageList(images);
    // The pictures are read when first shown: a type changed again before
    // then never reads them.
    pendingIcons = icons ? *icons : std::vector<short>();
}

void quilDropDownPrivate::loadPendingImages()
{
    if (pendingIcons.empty())
        return;
    const std::vector<short> icons = std::move(pendingIcons);
    pendingIcons.clear();
    IconExtractor extractor;
    extractor.setMaskColor(images->MaskColor());
    const QString shell = SystemFolder() + QStringLiteral("shell32.dll");
    for (short i : icons)
        images->Add(extractor.ExtractIcon(shell, i, SmallIcon));
}

void quilDropDown::SetComboType()
{
    if (d->comboType == d->appliedType)
        return;
    d->list->hide();
    if (d->calendar)
        d->calendar->hide();
    d->typeIcon = 1;
    // Another type's value is no value of this one.
    d->field->clear();
    switch (d->comboType) {
    case ctDateBox:
        // A calendar not made yet is placed when it is made.
        if (d->calendar)
            d->placeCalendar();
        d->field->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        break;
    case ctPrinterSelect:
    case ctDriveSelect:
    case ctFontSelect:
        d->panel->resize(std::max(width(), PanelMinWidth), ListPanelHeight);
        d->list->setGeometry(d->panel->contentsRect());
        d->list->show();
        d->field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (d->comboType == ctPrinterSelect)
            d->fillList(&quilDropDownPrivate::fillPrinters);
        else if (d->comboType == ctDriveSelect)
            d->fillList(&quilDropDownPrivate::fillDrives);
        else
            d->fillList(&quilDropDownPrivate::fillFonts);
        break;
    default:
        // No picture of another type's for a type without one.
        d->typeIcon = 0;
        break;
    }
    d->appliedType = d->comboType;
}

void quilDropDownPrivate::fillList(void (quilDropDownPrivate::*fill)())
{
    fillError.clear();
    try {
        (this->*fill)();
    } catch (const Error& e) {
        // What was listed before the failure stays listed.
        fillError = QString::fromStdString(e.what());
        qWarning("quilDropDown: the list stopped short: %s", e.what());
    }
    list->Refresh();
}

void quilDropDownPrivate::fillPrinters()
{
    auto items = list->ListboxItems();
    items->Clear();
    items->setSorted(false);
    list->setValueFont(false);
    const DropDownSources& sources = DropDownSystem();
    const PrinterList printers = sources.printers ? sources.printers() : LivePrinters();
    for (const PrinterEntry& p : printers.printers) {
        const bool network = p.remote || p.name.startsWith(QLatin1String("\\\\"));
        short picture = network ? 2 : 1;
        if (!printers.defaultName.isEmpty() && p.name == printers.defaultName)
            picture = network ? 4 : 3;
        QString caption = p.name;
        caption.remove(QStringLiteral("\\\\"));
        items->Add(p.name, caption, p.name, picture, QString());
    }
}

void quilDropDownPrivate::fillFonts()
{
    auto items = list->ListboxItems();
    items->Clear();
    items->setSorted(true);
    list->setValueFont(true);
    const DropDownSources& sources = DropDownSystem();
    for (const QString& name : UniqueFamilies(sources.fonts ? sources.fonts() : LiveFonts()))
        items->Add(name, name, name, 0, QString());
}

void quilDropDownPrivate::fillDrives()
{
    auto items = list->ListboxItems();
    items->Clear();
    items->setSorted(false);
    list->setValueFont(false);
    const QString tab = QStringLiteral("\t");

    const QString desktop = userFolder("Desktop");
    Search::Results folders = QSharedPointer<sf_Information>::create();
    if (!desktop.isEmpty()) {
        items->Add(QStringLiteral("X_Desktop"), QStringLiteral("Desktop"), desktop, 5, QString());
        Search().Search_Directory(desktop, QStringLiteral("*"), folders);
    }
    const QString computer = RegReadString(HKEY_CURRENT_USER, MuiCache,
                                           QStringLiteral("@C:\\WINDOWS\\system32\\SHELL32.dll,-9216"), QString());
    items->Add(QStringLiteral("X_MyComputer"), tab + computer, QStringLiteral("X_MyComputer"), 7, QString());

    const DropDownSources& sources = DropDownSystem();
    for (const VolumeEntry& v : TopVolumes(sources.volumes ? sources.volumes() : LiveVolumes())) {
        static const short pictures[] = {1, 2, 3, 4};
        const QString caption = VolumeCaption(v);
        items->Add(caption, tab + tab + caption, v.mountPoint, pictures[v.kind], QString());
    }

    const QString personal = userFolder("Personal");
    if (!personal.isEmpty())
        items->Add(QStringLiteral("X_Personal"), FileNamePart(personal), personal, 6, QString());
    const QString network = RegReadString(HKEY_CURRENT_USER, MuiCache,
                                          QStringLiteral("@C:\\WINDOWS\\system32\\SHELL32.dll,-9217"), QString());
    items->Add(QStringLiteral("X_Network"), network, QStringLiteral("X_Network"), 8, QString());

    for (int i = 1; i <= folders->Count(); ++i) {
        const auto f = folders->Item(i);
        // Hidden folders are not for picking.
        if (f->Attri() & 2)
            continue;
        const QString path = f->Path() + f->Filename();
        items->Add(path, f->Filename(), path, 9, QString());
    }
}

} // namespace quil
