#pragma once
// The drop-down tests' form and the fixed answers they give for the system.

#include "Helpers.h"
#include "composite/DropDownSources.h"
#include "composite/quilPUMenu_p.h"
#include <quilObjects/ComboDatas.h>
#include <quilObjects/quilDropDown.h>
#include <QFont>
#include <QStringList>
#include <QWidget>
#include <vector>

using namespace quil;

namespace {

// Fixed answers from the system for one test, the live ones again after.
struct FixedSystem {
    PrinterList printers;
    std::vector<VolumeEntry> volumes;
    QStringList fonts{"Zeta Sans", "alpha", "Beta Serif", "ALPHA", "  ", "Mono"};
    Qt::MouseButtons buttons;
    FixedSystem()
    {
        printers.printers = {{"office", false}, {"\\\\srv\\laser", false}, {"lab", true}};
        printers.defaultName = "office";
        DropDownSystem().printers = [this] { return printers; };
        DropDownSystem().volumes = [this] { return volumes; };
        DropDownSystem().fonts = [this] { return fonts; };
        quilPUMenuPrivate::SetButtonSource([this] { return buttons; });
    }
    ~FixedSystem()
    {
        DropDownSystem() = DropDownSources{};
        quilPUMenuPrivate::SetButtonSource(nullptr);
    }
};

struct Form {
    FixedSystem system;
    quiltest::Pointer pointer;
    QWidget host;
    quilDropDown* box;
    explicit Form(int width = 140)
    {
        host.setFont(QFont("DejaVu Sans", 9));
        box = new quilDropDown(&host);
        box->setGeometry(10, 10, width, box->sizeHint().height());
        host.resize(300, 80);
        host.show();
    }
    int indexOf(const QString& value) const
    {
        const auto items = box->Entries();
        for (int i = 1; i <= items->Count(); ++i)
            if (items->Item(i)->Value() == value)
                return i;
        return 0;
    }
    QStringList captions() const
    {
        QStringList out;
        const auto items = box->Entries();
        for (int i = 1; i <= items->Count(); ++i)
            out << items->Item(i)->Caption();
        return out;
    }
};

} // namespace
