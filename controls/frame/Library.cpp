#include <quilObjects/IconExtractor.h>
#include <quilObjects/ComboDatas.h>
#include <quilObjects/Library.h>
#include <quilObjects/MenuItems.h>
#include <quilObjects/Search.h>
#include <quilObjects/quilButton.h>
#include <quilObjects/quilColorPicker.h>
#include <quilObjects/quilDropDown.h>
#include <quilObjects/quilLabel.h>
#include <quilObjects/quilListbox.h>
#include <quilObjects/quilMonthview.h>
#include <quilObjects/quilPUMenu.h>
#include <quilObjects/quilScrollBar.h>
#include <quilObjects/quilTab.h>
#include <quilObjects/quilTextBox.h>
#include <quilObjects/quilSlider.h>
#include <quilObjects/quilProgressBar.h>
#include <quilObjects/quilSlider.h>
#include <quilObjects/quilToolbar.h>

#include "basic/quilXButton.h"

namespace quil {

Error::Error(int number, const QString& description) : std::runtime_error(description.toStdString()), num(number) {}
Error::~Error() = default;

namespace {
template <class T>
QObject* make(QWidget* parent)
{
    auto* c = new T(parent);
    c->InitProperties();
    return c;
}
template <class T>
QObject* makeObject(QWidget* parent)
{
    return new T(parent);
}
template <class T>
QObject* makeParentless(QWidget*)
{
    return new T;
}
} // namespace

const QList<ClassEntry>& ClassTable()
{
    // Identity numbers follow the alphabetical order of the control classes.
    static const QList<ClassEntry> table = {
        {"quilButton", ClassEntry::Control, ClassEntry::ByContainer, 0, "__quilButton", &quilButton::staticMetaObject,
         &make<quilButton>},
        {"quilColorPicker", ClassEntry::Control, ClassEntry::ByContainer, 1, "__quilColorPicker",
         &quilColorPicker::staticMetaObject, &make<quilColorPicker>},
        {"quilDropDown", ClassEntry::Control, ClassEntry::ByContainer, 2, "__quilDropDown",
         &quilDropDown::staticMetaObject, &make<quilDropDown>},
        {"quilLabel", ClassEntry::Control, ClassEntry::ByContainer, 5, "__quilLabel", &quilLabel::staticMetaObject,
         &make<quilLabel>},
        {"quilListbox", ClassEntry::Control, ClassEntry::ByContainer, 6, "__quilListbox",
         &quilListbox::staticMetaObject, &make<quilListbox>},
        {"quilMonthview", ClassEntry::Control, ClassEntry::ByContainer, 7, "__quilMonthview",
         &quilMonthview::staticMetaObject, &make<quilMonthview>},
        {"quilProgressBar", ClassEntry::Control, ClassEntry::ByContainer, 8, "__quilProgressBar",
         &quilProgressBar::staticMetaObject, &make<quilProgressBar>},
        {"quilPUMenu", ClassEntry::Control, ClassEntry::ByContainer, 9, "__quilPUMenu", &quilPUMenu::staticMetaObject,
         &make<quilPUMenu>},
        {"quilScrollBar", ClassEntry::Control, ClassEntry::ByContainer, 10, "__quilScrollBar",
         &quilScrollBar::staticMetaObject, &make<quilScrollBar>},
        {"quilSlider", ClassEntry::Control, ClassEntry::ByContainer, 11, "__quilSlider", &quilSlider::staticMetaObject,
         &make<quilSlider>},
        {"quilTab", ClassEntry::Control, ClassEntry::ByContainer, 12, "__quilTab", &quilTab::staticMetaObject,
         &make<quilTab>},
        {"quilToolbar", ClassEntry::Control, ClassEntry::ByContainer, 14, "__quilToolbar",
         &quilToolbar::staticMetaObject, &make<quilToolbar>},
        {"quilTextBox", ClassEntry::Control, ClassEntry::ByContainer, 13, "__quilTextBox",
         &quilTextBox::staticMetaObject, &make<quilTextBox>},
        {"quilXButton", ClassEntry::PrivateControl, ClassEntry::No, 15, nullptr, &quilXButton::staticMetaObject,
         nullptr},
        {"IconExtractor", ClassEntry::Service, ClassEntry::No, -1, nullptr, &IconExtractor::staticMetaObject, nullptr},
        {"Search", ClassEntry::Service, ClassEntry::YesGlobal, -1, nullptr, &Search::staticMetaObject,
         &makeObject<Search>},
        {"sf_Information", ClassEntry::Collection, ClassEntry::Yes, -1, nullptr, &sf_Information::staticMetaObject,
         &makeParentless<sf_Information>},
        {"sf_InformationValue", ClassEntry::Item, ClassEntry::No, -1, nullptr, &sf_InformationValue::staticMetaObject,
         nullptr},
        {"ComboDatas", ClassEntry::Collection, ClassEntry::No, -1, "__ComboDatas", &ComboDatas::staticMetaObject,
         nullptr},
        {"ComboData", ClassEntry::Item, ClassEntry::No, -1, nullptr, &ComboData::staticMetaObject, nullptr},
        {"MenuItems", ClassEntry::Collection, ClassEntry::No, -1, nullptr, &MenuItems::staticMetaObject, nullptr},
        {"MenuItem", ClassEntry::Item, ClassEntry::No, -1, nullptr, &MenuItem::staticMetaObject, nullptr},
        {"MenuItemListings", ClassEntry::Collection, ClassEntry::No, -1, nullptr, &MenuItemListings::staticMetaObject,
         nullptr},
        {"MenuItemListing", ClassEntry::Item, ClassEntry::No, -1, nullptr, &MenuItemListing::staticMetaObject,
         nullptr},
        {"ToolbarItems", ClassEntry::Collection, ClassEntry::No, -1, "__ToolbarItems",
         &ToolbarItems::staticMetaObject, nullptr},
        {"ToolbarItem", ClassEntry::Item, ClassEntry::No, -1, nullptr, &ToolbarItem::staticMetaObject, nullptr},
        {"ClsMain", ClassEntry::Empty, ClassEntry::No, -1, nullptr, &ClsMain::staticMetaObject, nullptr},
    };
    return table;
}

const ClassEntry* FindClass(const QString& name)
{
    QString n = name.trimmed();
    // "quilObjects.quilButton" and "quil::quilButton" name the class too.
    for (const QString& prefix : {QStringLiteral("quilObjects."), QStringLiteral("quil::")})
        if (n.startsWith(prefix, Qt::CaseInsensitive))
            n = n.mid(prefix.size());
    for (const ClassEntry& e : ClassTable())
        if (n.compare(QLatin1String(e.name), Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

QWidget* CreateControl(const QString& className, QWidget* parent)
{
    const ClassEntry* e = FindClass(className);
    if (!e || !e->create || e->kind != ClassEntry::Control)
        return nullptr;
    return qobject_cast<QWidget*>(e->create(parent));
}

} // namespace quil

QObject* quilCreateObject(const char* className, QObject* parent)
{
    // A class clients may create that is not a control (Search, sf_Information) takes any parent.
    const quil::ClassEntry* e = quil::FindClass(QString::fromUtf8(className ? className : ""));
    if (e && e->kind != quil::ClassEntry::Control && e->create &&
        (e->creatable == quil::ClassEntry::Yes || e->creatable == quil::ClassEntry::YesGlobal)) {
        QObject* o = e->create(nullptr);
        o->setParent(parent);
        return o;
    }
    QWidget* host = parent && parent->isWidgetType() ? static_cast<QWidget*>(parent) : nullptr;
    if (parent && !host)
        return nullptr;
    return quil::CreateControl(QString::fromUtf8(className ? className : ""), host);
}
