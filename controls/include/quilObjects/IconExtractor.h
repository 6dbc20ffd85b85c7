#pragma once
// Icons of files and of file types as pictures on a plain MaskColor square,
// so that an image list with the same mask colour shows them transparently.
//
// A source names a picture file (.ico, .png, .svg), an icon of the desktop's
// icon theme by name, or "shell32.dll": the library's own set of shell
// pictures in its system folder, numbered as the shell numbers them (a
// negative number is a resource number; the set's resource numbers are its
// icon numbers).

#include "Types.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <memory>

namespace quil {

class IconExtractorPrivate;

class QUILOBJECTS_EXPORT IconExtractor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("Interface", "_IconExtractor")
    Q_PROPERTY(quint32 MaskColor READ MaskColor WRITE setMaskColor)
public:
    explicit IconExtractor(QObject* parent = nullptr);
    ~IconExtractor() override;

    OLE_COLOR MaskColor() const;
    void setMaskColor(OLE_COLOR c);

    // How many icons the source holds; 0 when it cannot be read.
    Q_INVOKABLE int GetIconCount(const QString& sIconPath) const;
    // Icon number iIconIndex of the source, 32 x 32 (16 x 16 for SmallIcon);
    // a plain MaskColor square when the source has no such icon.
    Q_INVOKABLE QImage ExtractIcon(const QString& sIconPath, short iIconIndex, quil::IconSize iIconSize = LargeIcon) const;
    // The icon of a file type (".txt", say): the registry's DefaultIcon of
    // the type's class, then the MIME database's icons in the icon theme,
    // then the icon of "Unknown", then the shell's icon 0.
    Q_INVOKABLE QImage ExtractIconOfFileType(const QString& sFileType, quil::IconSize iIconSize = LargeIcon) const;

private:
    friend class IconExtractorPrivate;
    std::unique_ptr<IconExtractorPrivate> d;
};

} // namespace quil
