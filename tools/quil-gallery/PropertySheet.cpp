#include "PropertySheet.h"

#include <quilObjects/Routines.h>
#include <quilObjects/quilControl.h>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMetaProperty>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

namespace gallery {

QString ColorText(quint32 colour)
{
    return QStringLiteral("&H%1&").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

bool ParseColor(const QString& text, quint32& colour)
{
    const QString t = text.trimmed();
    static const QRegularExpression vb(QStringLiteral(R"(^&[Hh]([0-9A-Fa-f]{1,8})&?$)")),
        web(QStringLiteral(R"(^#([0-9A-Fa-f]{6})$)")), dec(QStringLiteral(R"(^\d{1,10}$)"));
    if (const auto m = vb.match(t); m.hasMatch()) {
        colour = m.captured(1).toUInt(nullptr, 16);
        return true;
    }
    if (const auto m = web.match(t); m.hasMatch()) {
        const quint32 rgb = m.captured(1).toUInt(nullptr, 16);
        // #RRGGBB as the web writes it; the control keeps 0x00BBGGRR.
        colour = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
        return true;
    }
    if (dec.match(t).hasMatch()) {
        bool ok = false;
        const qulonglong v = t.toULongLong(&ok);
        if (!ok || v > UINT_MAX)
            return false;
        colour = static_cast<quint32>(v);
        return true;
    }
    return false;
}

namespace {
QColor toQColor(quint32 ole)
{
    const quint32 c = quil::TranslateColor(ole);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
quint32 fromQColor(const QColor& c)
{
    return quint32(c.red()) | (quint32(c.green()) << 8) | (quint32(c.blue()) << 16);
}
bool isColour(const QMetaProperty& p)
{
    return p.metaType().id() == QMetaType::UInt && QByteArray(p.name()).contains("Color");
}
QString fontText(const QFont& f)
{
    QString s = QStringLiteral("%1, %2 pt").arg(f.family()).arg(f.pointSizeF());
    if (f.bold())
        s += QStringLiteral(", bold");
    if (f.italic())
        s += QStringLiteral(", italic");
    return s;
}
} // namespace

PropertySheet::PropertySheet(QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    showInherited = new QCheckBox(tr("Show Qt's own properties too"), this);
    outer->addWidget(showInherited);
    body = new QWidget(this);
    form = new QFormLayout(body);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    outer->addWidget(body);
    outer->addStretch(1);
    connect(showInherited, &QCheckBox::toggled, this, [this] { rebuild(); });
}

void PropertySheet::setObject(QObject* object)
{
    if (watch)
        disconnect(watch);
    target = object;
    // The object's own changes (a scroll, a clamp, a load) show at once.
    if (auto* c = qobject_cast<quil::quilControl*>(object))
        watch = connect(c, &quil::quilControl::PropertyChanged, this, [this](const QString& name) { refresh(name); });
    rebuild();
}

QWidget* PropertySheet::editor(const QString& property) const { return editors.value(property); }

void PropertySheet::rebuild()
{
    while (form->rowCount() > 0)
        form->removeRow(0);
    editors.clear();
    loaders.clear();
    if (!target)
        return;
    const QMetaObject* mo = target->metaObject();
    const int first = showInherited->isChecked() ? 0 : QWidget::staticMetaObject.propertyCount();
    auto* name = new QLabel(QStringLiteral("%1 (%2)").arg(target->objectName(), QString::fromLatin1(mo->className())));
    name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(tr("Control"), name);
    for (int i = first; i < mo->propertyCount(); ++i) {
        QWidget* e = makeEditor(i);
        const QString pname = QString::fromLatin1(mo->property(i).name());
        e->setObjectName(pname);
        editors[pname] = e;
        form->addRow(pname, e);
    }
}

void PropertySheet::refresh(const QString& property)
{
    const auto it = loaders.find(property);
    if (it != loaders.end())
        it.value()();
}

void PropertySheet::write(int propertyIndex, const QVariant& value)
{
    if (!target || loading)
        return;
    const QMetaProperty p = target->metaObject()->property(propertyIndex);
    QVariant v = value;
    if (!p.isEnumType() && v.metaType() != p.metaType() && !v.convert(p.metaType())) {
        emit problem(tr("%1 does not take %2").arg(QString::fromLatin1(p.name()), value.toString()));
        return;
    }
    // Leaving a field after Return finishes it again: the same value is not set twice.
    if (p.read(target) == v) {
        refresh(QString::fromLatin1(p.name()));   // shown as the sheet writes it
        return;
    }
    // A setter that refuses a value (a bad entry number, a repeated name)
    // says so with an error; it must not cross the event loop.
    try {
        if (!p.write(target, v))
            emit problem(tr("%1 could not be set to %2").arg(QString::fromLatin1(p.name()), value.toString()));
    } catch (const quil::Error& e) {
        emit problem(tr("%1: %2").arg(QString::fromLatin1(p.name()), e.description()));
    }
    // Setters may adjust what they were given (limits, clamping): show what the object holds.
    for (auto& load : loaders)
        load();
}

QWidget* PropertySheet::makeEditor(int i)
{
    const QMetaProperty p = target->metaObject()->property(i);
    const QString pname = QString::fromLatin1(p.name());
    const int type = p.metaType().id();
    auto guard = [this](auto&& f) {
        return [this, f] {
            if (!target)
                return;
            loading = true;
            f();
            loading = false;
        };
    };
    if (!p.isWritable()) {
        auto* l = new QLabel;
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        loaders[pname] = guard([this, l, p] { l->setText(p.read(target).toString()); });
        loaders[pname]();
        return l;
    }
    if (p.isEnumType()) {
        auto* c = new QComboBox;
        const QMetaEnum en = p.enumerator();
        for (int k = 0; k < en.keyCount(); ++k)
            c->addItem(QStringLiteral("%1 - %2").arg(en.value(k)).arg(QString::fromLatin1(en.key(k))), en.value(k));
        loaders[pname] = guard([this, c, p] {
            const int v = p.read(target).toInt();
            int at = c->findData(v);
            if (at < 0) {
                // A value outside the enumeration (a loaded form may hold one): show it as it is.
                c->addItem(QStringLiteral("%1 - (not a member)").arg(v), v);
                at = c->count() - 1;
            }
            c->setCurrentIndex(at);
        });
        loaders[pname]();
        connect(c, &QComboBox::activated, this, [this, c, i] { write(i, c->currentData().toInt()); });
        return c;
    }
    if (isColour(p)) {
        auto* box = new QWidget;
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        auto* text = new QLineEdit;
        auto* swatch = new QPushButton;
        swatch->setToolTip(tr("Choose a colour"));
        swatch->setFixedWidth(32);
        row->addWidget(text, 1);
        row->addWidget(swatch);
        loaders[pname] = guard([this, text, swatch, p] {
            const quint32 c = p.read(target).value<quint32>();
            text->setText(ColorText(c));
            swatch->setStyleSheet(QStringLiteral("background: %1").arg(toQColor(c).name()));
        });
        loaders[pname]();
        connect(text, &QLineEdit::editingFinished, this, [this, text, i, pname] {
            quint32 c = 0;
            if (!ParseColor(text->text(), c)) {
                emit problem(tr("%1: '%2' is not a colour (write &H00BBGGRR&, #RRGGBB or a number)")
                                 .arg(pname, text->text()));
                refresh(pname);
                return;
            }
            write(i, QVariant::fromValue<quint32>(c));
        });
        connect(swatch, &QPushButton::clicked, this, [this, i, p, pname] {
            if (!target)
                return;
            const QColor chosen = QColorDialog::getColor(toQColor(p.read(target).value<quint32>()), this,
                                                         tr("%1 of %2").arg(pname, target->objectName()));
            if (chosen.isValid())
                write(i, QVariant::fromValue<quint32>(fromQColor(chosen)));
        });
        return box;
    }
    switch (type) {
    case QMetaType::Bool: {
        auto* c = new QCheckBox;
        loaders[pname] = guard([this, c, p] { c->setChecked(p.read(target).toBool()); });
        loaders[pname]();
        connect(c, &QCheckBox::toggled, this, [this, i](bool on) { write(i, on); });
        return c;
    }
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong: {
        auto* s = new QSpinBox;
        const bool isShort = type == QMetaType::Short;
        s->setRange(isShort ? SHRT_MIN : type == QMetaType::UShort || type == QMetaType::UInt ? 0 : INT_MIN,
                    isShort ? SHRT_MAX : type == QMetaType::UShort ? USHRT_MAX : INT_MAX);
        s->setKeyboardTracking(false);
        loaders[pname] = guard([this, s, p] { s->setValue(p.read(target).toInt()); });
        loaders[pname]();
        connect(s, &QSpinBox::valueChanged, this, [this, i](int v) { write(i, v); });
        return s;
    }
    case QMetaType::QString: {
        auto* t = new QLineEdit;
        loaders[pname] = guard([this, t, p] {
            if (t->text() != p.read(target).toString())
                t->setText(p.read(target).toString());
        });
        loaders[pname]();
        connect(t, &QLineEdit::textEdited, this, [this, i](const QString& s) { write(i, s); });
        return t;
    }
    case QMetaType::QFont: {
        auto* b = new QPushButton;
        loaders[pname] = guard([this, b, p] { b->setText(fontText(p.read(target).value<QFont>())); });
        loaders[pname]();
        connect(b, &QPushButton::clicked, this, [this, i, p, pname] {
            if (!target)
                return;
            bool ok = false;
            const QFont f = QFontDialog::getFont(&ok, p.read(target).value<QFont>(), this,
                                                 tr("%1 of %2").arg(pname, target->objectName()));
            if (ok)
                write(i, f);
        });
        return b;
    }
    case QMetaType::QObjectStar: {
        auto* c = new QComboBox;
        loaders[pname] = guard([this, c, p] {
            c->clear();
            c->addItem(tr("(none)"));
            const QStringList names = objectNames ? objectNames() : QStringList();
            c->addItems(names);
            QObject* now = p.read(target).value<QObject*>();
            c->setCurrentIndex(now ? std::max(0, int(names.indexOf(now->objectName())) + 1) : 0);
        });
        loaders[pname]();
        connect(c, &QComboBox::activated, this, [this, c, i](int at) {
            QObject* obj = at > 0 && objectNamed ? objectNamed(c->itemText(at)) : nullptr;
            write(i, QVariant::fromValue(obj));
        });
        return c;
    }
    default: {
        // Anything else that reads and writes as text (sizes, points, ...), or shown only.
        auto* t = new QLineEdit;
        const QVariant now = p.read(target);
        if (!now.canConvert<QString>()) {
            t->setReadOnly(true);
            t->setText(QString::fromLatin1(now.typeName()));
            return t;
        }
        loaders[pname] = guard([this, t, p] { t->setText(p.read(target).toString()); });
        loaders[pname]();
        connect(t, &QLineEdit::editingFinished, this, [this, t, i] { write(i, t->text()); });
        return t;
    }
    }
}

} // namespace gallery
