#include "ThumbsCtl.h"

#include "platform/forms/Forms.h"

#include <QFileInfo>
#include <QListWidget>
#include <QVBoxLayout>
#include <stdexcept>

namespace murivo {

ThumbsCtl::ThumbsCtl(QWidget* parent) : QWidget(parent), list(new QListWidget(this))
{
    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(list);
    connect(list, &QListWidget::itemClicked, this, [this](QListWidgetItem* it) {
        const int i = list->row(it) + 1;
        emit ImageClick(i, Items.value(i - 1));
    });
    connect(list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* it) {
        const int i = list->row(it) + 1;
        emit ImageDblClick(i, Items.value(i - 1));
    });
}

void ThumbsCtl::AddItem(const QString& path)
{
    Items << path;
    list->addItem(QString("%1  %2").arg(Items.size()).arg(QFileInfo(path).fileName()));
    list->item(list->count() - 1)->setToolTip(path);
    // Long lists yield after each item so timers and the loading window keep running.
    platform::DoEvents();
}

void ThumbsCtl::Clear()
{
    Items.clear();
    list->clear();
}

void ThumbsCtl::RemoveItem(int index)
{
    if (index < 1 || index > Items.size())
        throw std::out_of_range("Invalid picture index");
    QStringList keep = Items;
    keep.removeAt(index - 1);
    Clear();
    for (const QString& p : keep)
        AddItem(p);
}

QString ThumbsCtl::ItemData(int index) const
{
    if (index < 1 || index > Items.size())
        throw std::out_of_range("Invalid picture index");
    return Items[index - 1];
}

} // namespace murivo
