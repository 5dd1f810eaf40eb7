// vorelle2-art: writes the board pictures and the application icons as PNG
// files, so the art can be looked at (and packaged) without running the
// program. Works with QT_QPA_PLATFORM=offscreen.

#include "app/BoardArt.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>

#include <cstdio>

namespace {

bool Save(const QImage& image, const QDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "vorelle2-art: cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorelle2-art <output directory>\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "vorelle2-art: cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = Save(vorelle::PaintBoardPicture(vorelle::BoardSize::Narrow), dir, QStringLiteral("board-narrow.png"));
    ok = Save(vorelle::PaintBoardPicture(vorelle::BoardSize::Wide), dir, QStringLiteral("board-wide.png")) && ok;
    for (int pixels : vorelle::kAppIconSizes)
        ok = Save(vorelle::PaintAppIcon(pixels), dir, QStringLiteral("vorelle2-%1.png").arg(pixels)) && ok;
    return ok ? 0 : 1;
}
