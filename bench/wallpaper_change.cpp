// One wallpaper change of a 24-megapixel JPEG (load, BMP write, X11 set) onto
// a 1920 x 1080 private X server, against ImageMagick's `convert in.jpg out.bmp`
// in the same run. The change is timed as the worker runs it; its steps are
// also timed one after the other. Prints times and ratios; asserts nothing.
#include "Xvfb.h"
#include "engine/WallpaperChange.h"
#include "platform/desktop/X11Backend.h"
#include "platform/picture/Picture.h"
#include "platform/registry/Registry.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;

    Xvfb x(1920, 1080);
    if (!x.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(x.error()));
        return 1;
    }
    QTemporaryDir dir;
    const QString jpg = dir.filePath("photo.jpg");
    {
        // A photo-like 6000 x 4000 picture: gradients with noise, so the JPEG is not trivially small.
        QImage img(6000, 4000, QImage::Format_RGB32);
        auto* rng = QRandomGenerator::global();
        for (int y = 0; y < img.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int xx = 0; xx < img.width(); ++xx) {
                const int n = static_cast<int>(rng->bounded(24));
                line[xx] = qRgb((xx * 255 / 6000 + n) & 0xff, (y * 255 / 4000 + n) & 0xff, ((xx + y) / 40 + n) & 0xff);
            }
        }
        img.save(jpg, "JPG", 90);
    }
    const QString bmp = dir.filePath("Wallpaper.bmp");
    platform::X11Backend backend(x.name());

    platform::Registry registry(dir.filePath("registry.json"), dir.filePath("autostart"));
    platform::Desktop desktop(registry, std::make_unique<platform::X11Backend>(x.name()));
    std::vector<double> load, save, set, total, change, convert;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer w;
        w.start();
        const murivo::ChangeResult r = murivo::WallpaperChanger::Run(desktop, jpg, bmp, platform::Placement::Stretched, false);
        change.push_back(w.nsecsElapsed() / 1e6);
        if (!r.pictureWritten || !r.desktopTook) {
            std::fprintf(stderr, "change failed: %s%s\n", qPrintable(r.error), qPrintable(r.desktopError));
            return 1;
        }

        QElapsedTimer t;
        t.start();
        const QImage pic = platform::LoadPicture(jpg);
        const double a = t.nsecsElapsed() / 1e6;
        platform::SavePicture(pic, bmp);
        const double b = t.nsecsElapsed() / 1e6;
        QString err;
        if (!backend.apply(bmp, platform::Placement::Stretched, &err, &pic)) {
            std::fprintf(stderr, "set failed: %s\n", qPrintable(err));
            return 1;
        }
        const double c = t.nsecsElapsed() / 1e6;
        load.push_back(a);
        save.push_back(b - a);
        set.push_back(c - b);
        total.push_back(c);

        QElapsedTimer u;
        u.start();
        const int rc = QProcess::execute("convert", {jpg, dir.filePath("im.bmp")});
        convert.push_back(u.nsecsElapsed() / 1e6);
        if (rc != 0) {
            std::fprintf(stderr, "convert failed (%d); is imagemagick installed?\n", rc);
            return 1;
        }
    }
    std::printf("wallpaper change of a 6000x4000 JPEG onto 1920x1080, median of %d runs\n", runs);
    std::printf("  murivo load   %8.1f ms\n", median(load));
    std::printf("  murivo save   %8.1f ms\n", median(save));
    std::printf("  murivo set    %8.1f ms\n", median(set));
    std::printf("  murivo steps  %8.1f ms  (one after the other)\n", median(total));
    std::printf("  murivo change %8.1f ms  (as the worker runs it)\n", median(change));
    std::printf("  convert       %8.1f ms  (load + BMP write only)\n", median(convert));
    std::printf("  ratio murivo change / convert = %.2f\n", median(change) / median(convert));
    std::printf("  ratio murivo steps / convert = %.2f\n", median(total) / median(convert));
    std::printf("  ratio murivo load+save / convert = %.2f\n", (median(load) + median(save)) / median(convert));
    return 0;
}
