#pragma once
// What the drop-down asks of the system (printers, mounted volumes, fonts),
// behind replaceable calls so that tests can fix the answers. The live ones
// ask Qt's printer support (CUPS), the mount table and the font database.

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace quil {

struct PrinterEntry {
    QString name;
    bool remote = false;
};

struct PrinterList {
    std::vector<PrinterEntry> printers;
    QString defaultName;
};

struct VolumeEntry {
    enum Kind { Fixed, Removable, CD, Network };
    QString mountPoint;
    QString name;    // the volume's label
    QString device;  // for a network volume its share: //server/share, host:/path
    Kind kind = Fixed;
    bool ready = true;
};

struct DropDownSources {
    std::function<PrinterList()> printers;
    std::function<std::vector<VolumeEntry>()> volumes;
    std::function<QStringList()> fonts;
};

// Empty calls stand for the live ones.
DropDownSources& DropDownSystem();
PrinterList LivePrinters();
std::vector<VolumeEntry> LiveVolumes();
QStringList LiveFonts();

// The mount table's view of a volume, classified. Pseudo file systems
// (tmpfs, proc, overlay, ...) are not volumes a user picks.
bool IsPseudoFileSystem(const QString& type);
// removable: the block device's removable flag.
VolumeEntry::Kind ClassifyVolume(const QString& type, const QString& device, bool removable);
// The drive list's caption: "(" mount point ") " label, a share as "share [server]".
QString VolumeCaption(const VolumeEntry& v);
// One entry a mount point: a mount over another hides it, so the later one
// stands, in the place of the first.
std::vector<VolumeEntry> TopVolumes(const std::vector<VolumeEntry>& volumes);
// Families without private ones, blank ones and second spellings that differ only in case.
QStringList UniqueFamilies(const QStringList& families);

} // namespace quil
