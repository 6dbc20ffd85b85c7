#pragma once
// The list view of picture files. A plain list of file names for now; items
// are numbered from 1 in the order added.

#include <QStringList>
#include <QWidget>

class QListWidget;

namespace murivo {

class ThumbsCtl : public QWidget {
    Q_OBJECT
public:
    explicit ThumbsCtl(QWidget* parent = nullptr);

    void AddItem(const QString& path);
    void Clear();
    void RemoveItem(int index);   // 1-based
    int ListCount() const { return static_cast<int>(Items.size()); }
    QString ItemData(int index) const;   // 1-based; throws std::out_of_range

    QStringList Items;

signals:
    void ImageClick(int PicIndex, const QString& FileName);
    void ImageDblClick(int PicIndex, const QString& FileName);

private:
    QListWidget* list;
};

} // namespace murivo
