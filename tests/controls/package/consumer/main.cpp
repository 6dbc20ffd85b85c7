// Uses the installed control library the way an outside program does: one
// header, the package's target, nothing else. Exits non-zero on a mismatch.
#include <quilObjects/quilObjects.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <cstdio>
#include <memory>

static int failures = 0;

// A control of the program's own, drawn on the library's surface.
class Swatch : public quil::quilControl {
public:
    explicit Swatch(QWidget* parent) : quilControl(parent) {}

protected:
    void Paint() override
    {
        quil::Surface& s = surface();
        s.Clear(0xFFFFFF);
        s.Line(0, 0, 5, 0, 0x0000FF);
        s.FilledBox(1, 2, 3, 4, 0x00FF00);
        s.PrintAt(QStringLiteral("W"), 8, 0, 0);
    }
};

static void check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "consumer: %s\n", what);
        ++failures;
    }
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget host;

    auto* button = new quil::quilButton(&host);
    button->setCaption(QStringLiteral("Öffnen \"x\""));
    check(button->Caption() == QStringLiteral("Öffnen \"x\""), "Caption does not read back");
    button->setBackColor(0x8000000Fu);
    check(button->BackColor() == 0x8000000Fu, "a system colour is not kept unchanged");
    check(button->property("BackColor").toUInt() == 0x8000000Fu, "BackColor through the meta-object");
    check(button->ID() == 0, "quilButton's ID");

    QWidget* made = quil::CreateControl(QStringLiteral("quilScrollBar"), &host);
    auto* bar = qobject_cast<quil::quilScrollBar*>(made);
    check(bar != nullptr, "the factory made no quilScrollBar");
    if (bar) {
        check(bar->Min() == 1 && bar->Max() == 100 && bar->Value() == 50, "the factory did not initialise the bar");
        bar->setValue(75);
        check(bar->Value() == 75, "Value does not read back");
    }
    check(quil::CreateControl(QStringLiteral("quilXButton")) == nullptr, "the private quilXButton was made");

    // Lines leave out their end point, filled boxes take in both corners.
    auto* swatch = new Swatch(&host);
    swatch->resize(30, 20);
    const QImage face = swatch->Face();
    check(face.size() == QSize(30, 20), "a derived control's face is not its size");
    check(face.pixel(0, 0) == qRgb(255, 0, 0) && face.pixel(4, 0) == qRgb(255, 0, 0), "the line is not drawn");
    check(face.pixel(5, 0) == qRgb(255, 255, 255), "the line's end point is drawn");
    check(face.pixel(1, 2) == qRgb(0, 255, 0) && face.pixel(3, 4) == qRgb(0, 255, 0), "the filled box lost a corner");
    check(face.pixel(4, 4) == qRgb(255, 255, 255) && face.pixel(0, 2) == qRgb(255, 255, 255), "the filled box is too big");
    bool printed = false;
    for (int y = 0; y < 20 && !printed; ++y)
        for (int x = 8; x < 30 && !printed; ++x)
            printed = face.pixel(x, y) != qRgb(255, 255, 255);
    check(printed, "the text is not printed");

    // A form saved to a bag and read into a new control.
    quil::MemoryPropertyBag bag;
    button->WriteProperties(bag);
    check(bag.contains(QStringLiteral("Caption")) && !bag.contains(QStringLiteral("Enabled")),
          "a bag stores what differs from the defaults only");
    quil::quilButton copy(&host);
    copy.ReadProperties(bag);
    check(copy.Caption() == button->Caption() && copy.BackColor() == 0x8000000Fu, "a bag did not carry the button");

    check(quil::BlendColors(0xFFFFFF, 0, 128) == 0x808080, "BlendColors(white, black, 128)");
    check(quil::HexDigits(4096) == QStringLiteral("001000"), "HexDigits(4096)");

    // The error type's identity lives in the library: a throw on this side
    // must be caught by the library's type and by its standard base.
    try {
        throw quil::Error(quil::Error::DuplicateKey, QStringLiteral("key in use"));
    } catch (const std::runtime_error& e) {
        const auto* err = dynamic_cast<const quil::Error*>(&e);
        check(err && err->number() == 457 && err->description() == QStringLiteral("key in use"),
              "quil::Error lost its number or text");
    }

    // The read-only folders are the installed ones, whatever the build tree had.
    if (argc > 1) {
        const QString want = QFileInfo(QString::fromLocal8Bit(argv[1])).canonicalFilePath();
        check(!want.isEmpty(), "the expected data folder does not exist");
        check(quil::WindowsFolder().endsWith('/') && quil::SystemFolder().endsWith('/'), "folders without a final /");
        check(QFileInfo(quil::WindowsFolder()).canonicalFilePath() == want, "WindowsFolder is not the installed one");
        check(QFileInfo(quil::SystemFolder()).canonicalFilePath() == QDir(want).filePath(QStringLiteral("system")),
              "SystemFolder is not the installed one");
    }

    if (failures == 0)
        std::printf("consumer: all checks passed\n");
    return failures == 0 ? 0 : 1;
}
