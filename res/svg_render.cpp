// Build-time tool: renders an SVG file to a PNG of the given size.
//   svg_render INPUT.svg OUTPUT.png WIDTH HEIGHT
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: svg_render INPUT.svg OUTPUT.png WIDTH HEIGHT\n");
        return 2;
    }
    const int width = args[3].toInt();
    const int height = args[4].toInt();
    QSvgRenderer renderer(args[1]);
    if (!renderer.isValid() || width <= 0 || height <= 0) {
        std::fprintf(stderr, "svg_render: cannot render %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, width, height));
    }
    if (!image.save(args[2], "PNG")) {
        std::fprintf(stderr, "svg_render: cannot write %s\n", qPrintable(args[2]));
        return 1;
    }
    return 0;
}
