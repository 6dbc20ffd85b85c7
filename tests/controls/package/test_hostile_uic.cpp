// The hostile form compiled by uic into a program that links the installed
// library's headers, as an application built with Designer forms has it.
// Enumerations arrive as uic writes them: the wrong number cast to the type.
#include "HostileFormCheck.h"
#include "ui_hostile.h"

#include <quilObjects/quilObjects.h>
#include <memory>

namespace {

TEST(HostileForm, UicsCodeBuildsItAndEveryValidValueArrives)
{
    auto form = std::make_unique<QWidget>();
    Ui::HostileForm ui;
    hostile::Warnings warnings;
    try {
        ui.setupUi(form.get());
    } catch (const std::exception& e) {
        FAIL() << "an exception left setupUi: " << e.what();
    } catch (...) {
        FAIL() << "an exception left setupUi";
    }
    hostile::CheckForm(form.get(), QStringLiteral(QUIL_HOSTILE_FORM), warnings.seen, [](const char* cls) {
        QString name = QString::fromLatin1(cls);
        name.remove(QStringLiteral("quil::"));
        return quil::CreateControl(name, nullptr);
    });
}

} // namespace
