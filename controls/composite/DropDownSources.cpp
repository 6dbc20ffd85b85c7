#include "DropDownSources.h"

#include <QDir>
#include <algorithm>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPrinterInfo>
#include <QSet>
#include <QStorageInfo>
#include <quilObjects/Routines.h>

namespace quil {

DropDownSources& DropDownSystem()
{
    static DropDownSources sources;
    return sources;
}

PrinterList LivePrinters()
{
    PrinterList list;
    for (const QPrinterInfo& p : QPrinterInfo::availablePrinters()) {
        const QString name = p.printerName();
        list.printers.push_back({name, p.isRemote() || name.startsWith(QLatin1String("\\\\"))});
    }
    list.defaultName = QPrinterInfo::defaultPrinterName();
    return list;
}

bool IsPseudoFileSystem(const QString& type)
{
    static const QSet<QString> pseudo = {
        "tmpfs", "devtmpfs", "ramfs", "proc", "sysfs", "overlay", "squashfs", "cgroup", "cgroup2", "devpts",
        "mqueue", "debugfs", "tracefs", "securityfs", "pstore", "bpf", "autofs", "hugetlbfs", "configfs",
        "fusectl", "binfmt_misc", "efivarfs", "nsfs", "rpc_pipefs", "selinuxfs", "fuse.gvfsd-fuse",
        "fuse.portal", "fuse.lxcfs", "fuse.snapfuse", "nfsd", "none", "rootfs"};
    return type.isEmpty() || pseudo.contains(type);
}

VolumeEntry::Kind ClassifyVolume(const QString& type, const QString& device, bool removable)
{
    static const QSet<QString> network = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "sshfs", "fuse.sshfs", "9p",
                                          "afs", "ceph", "glusterfs", "fuse.glusterfs", "davfs", "fuse.davfs2",
                                          "fuse.rclone", "virtiofs", "ncpfs", "coda"};
    if (network.contains(type))
        return VolumeEntry::Network;
    if (type == QLatin1String("iso9660") || type == QLatin1String("udf") ||
        QFileInfo(device).fileName().startsWith(QLatin1String("sr")))
        return VolumeEntry::CD;
    return removable ? VolumeEntry::Removable : VolumeEntry::Fixed;
}

namespace {

// The removable flag of the disk a block device (or its partition) lives on.
bool removableDevice(const QString& device)
{
    if (!device.startsWith(QLatin1String("/dev/")))
        return false;
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    QString sys = QFileInfo(QStringLiteral("/sys/class/block/") + name).canonicalFilePath();
    if (sys.isEmpty())
        return false;
    if (QFileInfo::exists(sys + QStringLiteral("/partition")))
        sys = QFileInfo(sys).path();
    QFile f(sys + QStringLiteral("/removable"));
    return f.open(QIODevice::ReadOnly) && f.readAll().trimmed() == "1";
}

} // namespace

std::vector<VolumeEntry> LiveVolumes()
{
    std::vector<VolumeEntry> volumes;
    for (const QStorageInfo& s : QStorageInfo::mountedVolumes()) {
        const QString type = QString::fromUtf8(s.fileSystemType());
        if (IsPseudoFileSystem(type))
            continue;
        const QString device = QString::fromUtf8(s.device());
        VolumeEntry v;
        v.mountPoint = s.rootPath();
        v.kind = ClassifyVolume(type, device, removableDevice(device));
        v.ready = s.isValid() && s.isReady();
        v.name = s.name();
        if (v.kind == VolumeEntry::Network)
            v.device = device;
        volumes.push_back(v);
    }
    return volumes;
}

QString VolumeCaption(const VolumeEntry& v)
{
    const QString head = QLatin1Char('(') + v.mountPoint + QLatin1Char(')');
    if (!v.ready)
        return head;
    if (v.kind == VolumeEntry::Network && !v.device.isEmpty()) {
        if (!v.device.contains(QLatin1Char('/')))
            return head + QLatin1Char(' ') + v.device;
        QString server = FolderPart(v.device);
        server.remove(QStringLiteral("//"));
        const QString share = FileNamePart(v.device);
        return head + QLatin1Char(' ') + share + (server.isEmpty() ? QString() : QStringLiteral(" [") + server + ']');
    }
    return v.name.isEmpty() ? head : head + QLatin1Char(' ') + v.name;
}

std::vector<VolumeEntry> TopVolumes(const std::vector<VolumeEntry>& volumes)
{
    std::vector<VolumeEntry> out;
    for (const VolumeEntry& v : volumes) {
        const auto same = std::find_if(out.begin(), out.end(),
                                       [&](const VolumeEntry& o) { return o.mountPoint == v.mountPoint; });
        if (same == out.end())
            out.push_back(v);
        else
            *same = v;
    }
    return out;
}

QStringList UniqueFamilies(const QStringList& families)
{
    QStringList out;
    QSet<QString> seen;
    for (const QString& f : families) {
        const QString name = f.trimmed();
        if (name.isEmpty())
            continue;
        const QString folded = name.toCaseFolded();
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        out << name;
    }
    return out;
}

QStringList LiveFonts()
{
    QStringList names;
    for (const QString& f : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(f))
            names << f;
    return UniqueFamilies(names);
}

} // namespace quil
